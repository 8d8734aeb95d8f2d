// Drawing with the texture font in a real GL context: the quads are read back in feedback
// mode. The right limit of drawText, characters without a glyph, drawing without a font, the
// texture corners of a quad, and where the HUD puts its eight lines.
#include "app_state.h"
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

constexpr float GLYPH_WIDTH = 5.0f, WIDE_GLYPH = 30.0f, GLYPH_HEIGHT = 8.0f;  // "W" is the wide one

// A font for the printable ASCII characters: glyphs 5 x 8 except a 30-wide "W"; glyph i covers
// the texture columns [i / 100, (i + 1) / 100] upside down (ty1 = 1, ty2 = 0)
void writeTestFont()
{
    std::vector<uint32_t> words = {0, 4, 4, 32, 126, 0};
    for (int c = 32; c <= 126; c++) {
        float i = (float)(c - 32);
        for (float v : {c == 'W' ? WIDE_GLYPH : GLYPH_WIDTH, GLYPH_HEIGHT, i / 100.0f, 1.0f, (i + 1) / 100.0f, 0.0f}) {
            uint32_t bits;
            memcpy(&bits, &v, 4);
            words.push_back(bits);
        }
    }
    FILE *f = fopen(FONT_FILE, "wb");
    ASSERT_NE(f, nullptr);
    fwrite(words.data(), 4, words.size(), f);  // little-endian machine
    std::vector<unsigned char> atlas(4 * 4 * 2, 255);
    fwrite(atlas.data(), 1, atlas.size(), f);
    fclose(f);
}

struct Vertex {
    float x, y, s, t;
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
    for (GLint i = 0; i < n;) {
        EXPECT_EQ((GLint)buffer[i++], GL_POLYGON_TOKEN);
        polygons.emplace_back();
        for (int v = (int)buffer[i++]; v > 0; v--, i += 11)  // x y z, colour (4), texture (4)
            polygons.back().push_back(Vertex{buffer[i], buffer[i + 1], buffer[i + 7], buffer[i + 8]});
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
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        ASSERT_NE(mkdtemp(dir), nullptr);
        ASSERT_EQ(chdir(dir), 0);
    }
    static void TearDownTestSuite() { rmdir(dir); }
    static char dir[];
    void SetUp() override
    {
        writeTestFont();
        ASSERT_EQ(loadTextureFont(), 1);
        // One window pixel per unit from (0, 0); clockwise quads must survive back-face culling
        glViewport(0, 0, 1024, 768);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1024, 0, 768, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glFrontFace(GL_CW);
        glEnable(GL_CULL_FACE);
        beginText();
    }
    void TearDown() override
    {
        endText();
        unlink(FONT_FILE);
    }
    // Quads of one drawText call from (x, 100)
    static std::vector<Polygon> text(const char *s, float x, float limit)
    {
        return feedback([&] { drawText(s, x, 100.0f, 0.0f, limit); });
    }
};

char FontDraw::dir[] = "/tmp/fontdraw.XXXXXX";

}  // namespace

TEST_F(FontDraw, LimitStopsAfterTheFirstCharacterEndingRightOfItsTwoPointFourFold)
{
    const size_t one = text("a", 0.0f, 1000.0f).size();  // the driver may split a quad
    ASSERT_GT(one, 0u);
    // {text, x, limit, characters drawn, right end}; 10 x 2.4 = 24
    struct { const char *s; float x, limit; size_t count; float right; } cases[] = {
        {"abcdefghij", 0, 10, 5, 25},  // the fifth passes 24 and is the last drawn
        {"abcdefghij", 4, 10, 5, 29},  // ending exactly at 24 is not past it
        {"Wabc", 0, 10, 1, WIDE_GLYPH},  // a first character already past it is drawn alone
        {"abc", 20, 10, 1, 25},          // the limit is a position, not a length
        {"abcdefghij", 0, 100, 10, 50},
        {"a\x80\x7f" "b\x1f\n\xff", 0, 100, 2, 10},  // no glyph: nothing drawn, no advance
    };
    for (const auto &c : cases) {
        std::vector<Polygon> drawn = text(c.s, c.x, c.limit);
        EXPECT_EQ(drawn.size(), c.count * one) << c.s << " " << c.x;
        EXPECT_NEAR(maxX(drawn), c.right, 1e-3) << c.s << " " << c.x;
    }
    // The quad of "b" (glyph 66) carries its texture rectangle, upside down
    std::set<std::vector<int>> corners;
    for (const Polygon &p : text("b", 10.0f, 100.0f))
        for (const Vertex &v : p) corners.insert({(int)std::lround(v.x), (int)std::lround(v.y), (int)std::lround(v.s * 100), (int)std::lround(v.t)});
    EXPECT_TRUE(corners.count({10, 100, 66, 1}));
    EXPECT_TRUE(corners.count({15, 92, 67, 0}));
}

TEST_F(FontDraw, NothingIsDrawnWithoutAFont)
{
    endText();
    EXPECT_TRUE(text("abc", 0.0f, 100.0f).empty());
    snprintf(hudText(), HUD_TEXT_SIZE, "abc");
    EXPECT_TRUE(feedback([] { drawHudText(0.0f, 100.0f, 0.0f); }).empty());
    ASSERT_EQ(unlink(FONT_FILE), 0);  // a missing font file leaves no font to make current
    EXPECT_EQ(loadTextureFont(), 0);
    beginText();
    EXPECT_EQ(textIsActive(), 0);
    EXPECT_TRUE(text("abc", 0.0f, 100.0f).empty());
}

TEST_F(FontDraw, HudLinesStartAtTheLeftAtTheirHeights)
{
    resetAppState();
    clear_objects();
    glMatrixMode(GL_PROJECTION);  // x 0..1024 covers -40..40 units, y 0..768 covers -30..30
    glLoadIdentity();
    glOrtho(-40, 40, -30, 30, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    snprintf(hudText(), HUD_TEXT_SIZE, "FPS: 62 frames");  // the frame pacing's line
    EXPECT_TRUE(feedback([] { drawHud(); }).empty());     // hidden
    setHudVisible(1);
    std::set<int> tops;
    float left = 1e30f;
    for (const Polygon &p : feedback([] { drawHud(); })) {
        float top = -1e30f;
        for (const Vertex &v : p) top = std::max(top, v.y), left = std::min(left, v.x);
        tops.insert((int)std::lround((top / 768.0f * 60.0f - 30.0f) * 10.0f));
    }
    EXPECT_EQ(tops, (std::set<int>{255, 215, 195, 175, 155, 135, 115, -5}));
    EXPECT_NEAR(left / 1024.0f * 80.0f - 40.0f, -36.0f, 1e-3);
}
