// Drawing with the texture font in a real GL context: the quads are read back in feedback
// mode. The right limit of drawText, characters without a glyph and drawing without a font.
#include "font.h"
#include "frame_pacing.h"
#include "gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr float WIDE_GLYPH = 30.0f;

// A font for the printable ASCII characters: glyphs 5 x 8 except a 30-wide "W"
void writeTestFont()
{
    std::vector<uint32_t> words = {0, 4, 4, 32, 126, 0};
    for (int c = 32; c <= 126; c++) {
        for (float v : {c == 'W' ? WIDE_GLYPH : 5.0f, 8.0f, 0.0f, 1.0f, 1.0f, 0.0f}) {
            uint32_t bits;
            memcpy(&bits, &v, 4);
            words.push_back(bits);
        }
    }
    words.resize(words.size() + 8, 0xFFFFFFFFu);  // the 4 x 4 luminance-alpha atlas
    FILE *f = fopen(FONT_FILE, "wb");
    ASSERT_NE(f, nullptr);
    fwrite(words.data(), 4, words.size(), f);  // little-endian machine
    fclose(f);
}

// Polygons a drawing gives (read back in feedback mode) and the right end of the rightmost
struct Drawn {
    size_t polygons = 0;
    float right = 0.0f;
};
template <typename Draw>
Drawn feedback(Draw draw)
{
    static std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    Drawn drawn;
    for (GLint i = 0; i < n; drawn.polygons++) {
        EXPECT_EQ((GLint)buffer[i++], GL_POLYGON_TOKEN);
        for (int v = (int)buffer[i++]; v > 0; v--, i += 3) drawn.right = std::max(drawn.right, buffer[i]);
    }
    return drawn;
}

// One drawText call from (x, 100)
Drawn text(const char *s, float x, float limit)
{
    return feedback([&] { drawText(s, x, 100.0f, 0.0f, limit); });
}

}  // namespace

TEST(FontDraw, LimitStopsAfterTheFirstCharacterEndingRightOfItsTwoPointFourFoldAndNoFontDrawsNothing)
{
    ASSERT_TRUE(openGlContext());
    char dir[] = "/tmp/fontdraw.XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    writeTestFont();
    ASSERT_EQ(loadTextureFont(), 1);
    // One window pixel per unit from (0, 0); clockwise quads must survive back-face culling
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    beginText();
    const size_t one = text("a", 0.0f, 1000.0f).polygons;  // the driver may split a quad
    ASSERT_GT(one, 0u);
    // {text, x, limit, characters drawn, right end}; 10 x 2.4 = 24
    struct { const char *s; float x, limit; size_t count; float right; } cases[] = {
        {"abcdefghij", 0, 10, 5, 25},    // the fifth passes 24 and is the last drawn
        {"abcdefghij", 4, 10, 5, 29},    // ending exactly at 24 is not past it
        {"Wabc", 0, 10, 1, WIDE_GLYPH},  // a first character already past it is drawn alone
        {"abc", 20, 10, 1, 25},          // the limit is a position, not a length
        {"abcdefghij", 0, 100, 10, 50},
        {"a\x80\x7f" "b\x1f\n\xff", 0, 100, 2, 10},  // no glyph: nothing drawn, no advance
    };
    for (const auto &c : cases) {
        Drawn drawn = text(c.s, c.x, c.limit);
        EXPECT_EQ(drawn.polygons, c.count * one) << c.s << " " << c.x;
        EXPECT_NEAR(drawn.right, c.right, 1e-3) << c.s << " " << c.x;
    }

    endText();  // no current font: nothing is drawn
    EXPECT_EQ(text("abc", 0.0f, 100.0f).polygons, 0u);
    snprintf(hudText(), HUD_TEXT_SIZE, "abc");
    EXPECT_EQ(feedback([] { drawHudText(0.0f, 100.0f, 0.0f); }).polygons, 0u);
    ASSERT_EQ(unlink(FONT_FILE), 0);  // a missing font file leaves no font to make current
    rmdir(dir);
    EXPECT_EQ(loadTextureFont(), 0);
    beginText();
    EXPECT_EQ(textIsActive(), 0);
    EXPECT_EQ(text("abc", 0.0f, 100.0f).polygons, 0u);
}
