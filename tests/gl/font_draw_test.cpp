// Drawing with the texture font in a real GL context: the quads are read back in feedback
// mode. The right limit of drawText, characters without a glyph, drawing without a font, the
// winding and texture corners of a quad, and where the HUD puts its eight lines.
#include "app_state.h"
#include "camera.h"
#include "font.h"
#include "frame_pacing.h"
#include "gl_context.h"
#include "hud.h"
#include "objects.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr float GLYPH_WIDTH = 5.0f;
constexpr float WIDE_GLYPH = 30.0f;    // "W"
constexpr float GLYPH_HEIGHT = 8.0f;

void put32(std::vector<unsigned char> &out, uint32_t v)
{
    for (int i = 0; i < 4; i++) out.push_back((unsigned char)(v >> (8 * i)));
}

void putFloat(std::vector<unsigned char> &out, float f)
{
    uint32_t bits;
    memcpy(&bits, &f, 4);
    put32(out, bits);
}

// A font for the printable ASCII characters: every glyph 5 x 8 except a 30-wide "W"; glyph
// i covers the texture columns [i / 100, (i + 1) / 100] upside down (ty1 = 1, ty2 = 0)
std::vector<unsigned char> testFont()
{
    std::vector<unsigned char> out;
    const int first = 32, last = 126, side = 4;
    for (uint32_t v : {0u, (uint32_t)side, (uint32_t)side, (uint32_t)first, (uint32_t)last, 0u}) put32(out, v);
    for (int c = first; c <= last; c++) {
        float i = (float)(c - first);
        float values[6] = {c == 'W' ? WIDE_GLYPH : GLYPH_WIDTH, GLYPH_HEIGHT, i / 100.0f, 1.0f, (i + 1.0f) / 100.0f, 0.0f};
        for (float v : values) putFloat(out, v);
    }
    out.insert(out.end(), (size_t)side * side * 2, 255);
    return out;
}

struct Vertex {
    float x, y, z;
    float s, t;
};
using Polygon = std::vector<Vertex>;

// Runs draw in feedback mode and returns the polygons it produced
template <typename Draw>
std::vector<Polygon> feedback(Draw draw)
{
    static std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    std::vector<Polygon> polygons;
    // x y z, colour (4), texture (4)
    const int stride = 3 + 4 + 4;
    for (GLint i = 0; i < n;) {
        GLint token = (GLint)buffer[i++];
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        int count = (int)buffer[i++];
        Polygon polygon;
        for (int v = 0; v < count; v++, i += stride) {
            polygon.push_back(Vertex{buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 7], buffer[i + 8]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

float maxX(const std::vector<Polygon> &polygons)
{
    float m = -1e30f;
    for (const Polygon &p : polygons)
        for (const Vertex &v : p) m = std::max(m, v.x);
    return m;
}

class FontDraw : public ::testing::Test {
protected:
    static std::string dir;
    static std::string oldDir;

    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        char name[] = "/tmp/fontdraw.XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        oldDir = cwd;
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
    static void TearDownTestSuite()
    {
        if (!oldDir.empty()) {
            EXPECT_EQ(chdir(oldDir.c_str()), 0);
        }
        unlink((dir + "/" + FONT_FILE).c_str());
        rmdir(dir.c_str());
    }
    void SetUp() override
    {
        std::vector<unsigned char> bytes = testFont();
        FILE *f = fopen(FONT_FILE, "wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        ASSERT_EQ(loadTextureFont(), 1);

        // One window pixel per unit from (0, 0); the text plane z = 0 lies inside
        glViewport(0, 0, 1024, 768);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1024, 0, 768, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
        beginText();
    }
    void TearDown() override { endText(); }

    // Quads of one drawText call from (x, 100)
    static std::vector<Polygon> text(const char *s, float x, float limit)
    {
        return feedback([&] { drawText(s, x, 100.0f, 0.0f, limit); });
    }
    // Polygons one character gives (the driver may split a quad)
    static size_t perCharacter() { return text("a", 0.0f, 1000.0f).size(); }
};
std::string FontDraw::dir;
std::string FontDraw::oldDir;

}  // namespace

TEST_F(FontDraw, LimitStopsAfterTheFirstCharacterEndingRightOf24)
{
    const size_t one = perCharacter();
    ASSERT_GT(one, 0u) << "clockwise quads must survive back-face culling";

    // Characters end at 5, 10, 15, 20, 25: the fifth passes 10 x 2.4 and is the last drawn
    std::vector<Polygon> drawn = text("abcdefghij", 0.0f, 10.0f);
    EXPECT_EQ(drawn.size(), 5 * one);
    EXPECT_NEAR(maxX(drawn), 25.0f, 1e-3);

    // Ending exactly at 24 is not past the limit
    drawn = text("abcdefghij", 4.0f, 10.0f);
    EXPECT_EQ(drawn.size(), 5 * one);
    EXPECT_NEAR(maxX(drawn), 29.0f, 1e-3);

    // A first character that already passes the limit is still drawn, alone
    drawn = text("Wabc", 0.0f, 10.0f);
    EXPECT_EQ(drawn.size(), one);
    EXPECT_NEAR(maxX(drawn), WIDE_GLYPH, 1e-3);

    // The limit is a position, not a length
    drawn = text("abc", 20.0f, 10.0f);
    EXPECT_EQ(drawn.size(), one);

    // Without a limit in reach the whole string is drawn
    EXPECT_EQ(text("abcdefghij", 0.0f, 100.0f).size(), 10 * one);
}

TEST_F(FontDraw, QuadCornersCarryTheGlyphRectangle)
{
    std::vector<Polygon> drawn = text("b", 10.0f, 100.0f);    // glyph index 66
    ASSERT_FALSE(drawn.empty());
    bool topLeft = false, bottomRight = false;
    for (const Polygon &p : drawn) {
        for (const Vertex &v : p) {
            if (std::fabs(v.x - 10.0f) < 1e-3 && std::fabs(v.y - 100.0f) < 1e-3) {
                topLeft = true;
                EXPECT_NEAR(v.s, 0.66f, 1e-5);
                EXPECT_NEAR(v.t, 1.0f, 1e-5);
            }
            if (std::fabs(v.x - 15.0f) < 1e-3 && std::fabs(v.y - (100.0f - GLYPH_HEIGHT)) < 1e-3) {
                bottomRight = true;
                EXPECT_NEAR(v.s, 0.67f, 1e-5);
                EXPECT_NEAR(v.t, 0.0f, 1e-5);
            }
        }
    }
    EXPECT_TRUE(topLeft);
    EXPECT_TRUE(bottomRight);
}

TEST_F(FontDraw, CharactersWithoutAGlyphDrawNothingAndDoNotAdvance)
{
    const size_t one = perCharacter();
    EXPECT_TRUE(text("\x7f", 0.0f, 100.0f).empty());      // above the last character
    EXPECT_TRUE(text("\x80\xff", 0.0f, 100.0f).empty());  // negative as signed bytes
    EXPECT_TRUE(text("\x1f\n", 0.0f, 100.0f).empty());    // below the first
    std::vector<Polygon> drawn = text("a\x80\x7f" "b", 0.0f, 100.0f);
    EXPECT_EQ(drawn.size(), 2 * one);
    EXPECT_NEAR(maxX(drawn), 10.0f, 1e-3);
}

TEST_F(FontDraw, NothingIsDrawnWithoutACurrentFont)
{
    endText();
    EXPECT_EQ(textIsActive(), 0);
    EXPECT_TRUE(text("abc", 0.0f, 100.0f).empty());
    snprintf(hudText(), HUD_TEXT_SIZE, "abc");
    EXPECT_TRUE(feedback([] { drawHudText(0.0f, 100.0f, 0.0f); }).empty());

    // A missing font file leaves no font to make current
    ASSERT_EQ(unlink(FONT_FILE), 0);
    EXPECT_EQ(loadTextureFont(), 0);
    beginText();
    EXPECT_EQ(textIsActive(), 0);
    EXPECT_TRUE(text("abc", 0.0f, 100.0f).empty());
}

TEST_F(FontDraw, HudLinesStartAtTheLeftAtTheirHeights)
{
    resetAppState();
    clear_objects();
    Camera camera = {};
    setCamera(camera);
    // Units map to pixels: x 0..1024 covers -40..40 and y 0..768 covers -30..30
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-40, 40, -30, 30, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    snprintf(hudText(), HUD_TEXT_SIZE, "FPS: 62 frames");

    EXPECT_TRUE(feedback([] { drawHud(); }).empty());    // hidden
    setHudVisible(1);
    std::vector<Polygon> drawn = feedback([] { drawHud(); });
    ASSERT_FALSE(drawn.empty());

    // Every quad top is one of the eight line heights, and every line is there
    std::set<int> tops;
    float left = 1e30f;
    for (const Polygon &p : drawn) {
        float top = -1e30f;
        for (const Vertex &v : p) {
            top = std::max(top, v.y);
            left = std::min(left, v.x);
        }
        tops.insert((int)std::lround((top / 768.0f * 60.0f - 30.0f) * 10.0f));
    }
    EXPECT_EQ(tops, (std::set<int>{255, 215, 195, 175, 155, 135, 115, -5}));
    EXPECT_NEAR(left / 1024.0f * 80.0f - 40.0f, -36.0f, 1e-3);
    clear_objects();
}
