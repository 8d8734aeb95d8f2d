// The drawing the pictures are made of: labels stay inside their boxes and are centred,
// the solid renderer fills its box and lights the solid from the upper left, scene
// textures tile, the water frames differ, and the font atlas is built from the face.
#include "font_atlas.h"
#include "generate.h"
#include "raster3d.h"
#include "solids.h"
#include "text.h"
#include "textures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <functional>

namespace {

struct InkBox {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool empty() const { return x1 < 0; }
};

// Bounding box of the pixels that differ from the background colour
InkBox inkBox(const Canvas &c, Color background)
{
    InkBox box;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) {
            Color p = getPixel(c, x, y);
            if (std::fabs(p.r - background.r) + std::fabs(p.g - background.g) + std::fabs(p.b - background.b) > 0.02f) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x);
                box.y1 = std::max(box.y1, y);
            }
        }
    return box;
}

// Mean absolute difference between two columns (or rows) of a picture
float lineDifference(const Canvas &c, bool columns, int a, int b)
{
    float sum = 0.0f;
    int n = columns ? c.height : c.width;
    for (int i = 0; i < n; i++) {
        Color p = columns ? getPixel(c, a, i) : getPixel(c, i, a);
        Color q = columns ? getPixel(c, b, i) : getPixel(c, i, b);
        sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b);
    }
    return sum / n;
}

class Drawing : public ::testing::Test {
protected:
    FontFace regular, bold;
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(openFontFace(regular, regularFontPath(), error)) << error;
        ASSERT_TRUE(openFontFace(bold, boldFontPath(), error)) << error;
    }
};

}  // namespace

TEST_F(Drawing, OpeningAMissingFontFails)
{
    FontFace face;
    std::string error;
    EXPECT_FALSE(openFontFace(face, "/nonexistent/font.ttf", error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos);
    GlyphRaster g;
    EXPECT_FALSE(renderGlyph(face, 'A', 20, g));
    EXPECT_EQ(measureText(face, "abc", 20), 0);
}

TEST_F(Drawing, LabelsStayInsideTheirBoxAndAreCentred)
{
    const Color bg = {0, 0, 0};
    struct Case { const char *text; float x0, y0, x1, y1; int maxSize; };
    const Case cases[] = {
        {"IF", 10, 10, 110, 50, 40},
        {"Edicion de objetos", 5, 5, 185, 91, 26},       // too wide for one line at this size
        {"Paralelepipedo", 8, 100, 120, 118, 14},        // shrinks to fit
        {"Escalado uniforme", 10, 8, 198, 72, 26},
    };
    for (const Case &k : cases) {
        Canvas c = makeCanvas(200, 130, bg);
        drawLabel(c, bold, k.text, k.x0, k.y0, k.x1, k.y1, k.maxSize, {1, 1, 1});
        InkBox ink = inkBox(c, bg);
        ASSERT_FALSE(ink.empty()) << k.text;
        EXPECT_GE(ink.x0, k.x0 - 1) << k.text;
        EXPECT_LE(ink.x1, k.x1 + 1) << k.text;
        EXPECT_GE(ink.y0, k.y0 - 1) << k.text;
        EXPECT_LE(ink.y1, k.y1 + 1) << k.text;
        float inkCentreX = (ink.x0 + ink.x1 + 1) * 0.5f, boxCentreX = (k.x0 + k.x1) * 0.5f;
        EXPECT_NEAR(inkCentreX, boxCentreX, 3.0f) << k.text;
    }
}

TEST_F(Drawing, LongLabelsBreakOverTwoLinesRatherThanShrinking)
{
    const Color bg = {0, 0, 0};
    Canvas c = makeCanvas(192, 96, bg);
    drawLabel(c, bold, "Edicion de objetos", 13, 11, 179, 85, 26, {1, 1, 1});
    InkBox ink = inkBox(c, bg);
    ASSERT_FALSE(ink.empty());
    // two lines of text are well over one line height tall
    LineMetrics m = lineMetrics(bold, 20);
    EXPECT_GT(ink.y1 - ink.y0, m.ascender + m.descender);
}

TEST_F(Drawing, SolidsFillTheirBoxAndAreLitFromTheUpperLeft)
{
    const Color bg = {0, 0, 0};
    for (int kind = 0; kind < 12; kind++) {
        Mesh mesh = solidMesh(kind);
        ASSERT_FALSE(mesh.faces.empty()) << kind;
        Canvas c = makeCanvas(100, 100, bg);
        renderMesh(c, mesh, 10, 10, 90, 90, {1, 1, 1}, MeshView());
        InkBox ink = inkBox(c, bg);
        ASSERT_FALSE(ink.empty()) << kind;
        EXPECT_GE(ink.x0, 9) << kind;
        EXPECT_LE(ink.x1, 90) << kind;
        EXPECT_GE(ink.y0, 9) << kind;
        EXPECT_LE(ink.y1, 90) << kind;
        // the picture spans most of the box in at least one direction
        EXPECT_GT(std::max(ink.x1 - ink.x0, ink.y1 - ink.y0), 55) << kind;
    }
    EXPECT_TRUE(solidMesh(12).faces.empty());

    // a cube seen from above and to the right: its top face is brighter than its right face
    Canvas c = makeCanvas(100, 100, bg);
    renderMesh(c, solidMesh(4), 0, 0, 100, 100, {1, 1, 1}, MeshView());
    InkBox ink = inkBox(c, bg);
    float top = luminance(getPixel(c, (ink.x0 + ink.x1) / 2, ink.y0 + 6));
    float right = luminance(getPixel(c, ink.x1 - 8, (ink.y0 + ink.y1) / 2 + 10));
    EXPECT_GT(top, right + 0.1f);
}

TEST_F(Drawing, SceneTexturesTileAcrossTheirEdges)
{
    const int size = 128;
    const std::function<Canvas()> makers[] = {
        [&] { return drawBricks(size); }, [&] { return drawWood(size); }, [&] { return drawStoneFloor(size); },
        [&] { return drawGrass(size); }, [&] { return drawMarble(size); }, [&] { return drawWater(size, 1); },
    };
    int index = 0;
    for (const auto &make : makers) {
        Canvas c = make();
        ASSERT_EQ(c.width, size);
        // the seam between the last and the first column (row) is no harsher than the
        // harshest step between neighbouring columns (rows) inside the picture
        float insideX = 0.0f, insideY = 0.0f;
        for (int x = 0; x + 1 < size; x++) insideX = std::max(insideX, lineDifference(c, true, x, x + 1));
        for (int y = 0; y + 1 < size; y++) insideY = std::max(insideY, lineDifference(c, false, y, y + 1));
        EXPECT_LE(lineDifference(c, true, size - 1, 0), insideX * 1.1f) << "texture " << index << " left-right";
        EXPECT_LE(lineDifference(c, false, size - 1, 0), insideY * 1.1f) << "texture " << index << " top-bottom";
        index++;
    }
}

TEST_F(Drawing, WaterFramesDifferAndLoop)
{
    Canvas f0 = drawWater(64, 0), f1 = drawWater(64, 1), f2 = drawWater(64, 2), f3 = drawWater(64, 3);
    auto difference = [](const Canvas &a, const Canvas &b) {
        float sum = 0.0f;
        for (size_t i = 0; i < a.pixels.size(); i++)
            sum += std::fabs(a.pixels[i].r - b.pixels[i].r) + std::fabs(a.pixels[i].g - b.pixels[i].g) + std::fabs(a.pixels[i].b - b.pixels[i].b);
        return sum / a.pixels.size();
    };
    EXPECT_GT(difference(f0, f1), 0.05f);
    EXPECT_GT(difference(f1, f2), 0.05f);
    EXPECT_GT(difference(f2, f0), 0.05f);
    EXPECT_LT(difference(f3, f0), 0.01f);  // a fourth frame would repeat the first
}

TEST_F(Drawing, FontAtlasIsBuiltFromTheFaceAndEncodedInOrder)
{
    FontAtlas atlas;
    std::string error;
    ASSERT_TRUE(buildFontAtlas(regular, atlas, error)) << error;
    ASSERT_EQ(atlas.glyphs.size(), static_cast<size_t>(FONT_LAST_CHAR - FONT_FIRST_CHAR + 1));
    // advances follow the face's own at the rendering size
    for (char ch : {'a', 'M', 'i', '0', ' '}) {
        GlyphRaster g;
        ASSERT_TRUE(renderGlyph(regular, static_cast<unsigned char>(ch), FONT_PIXEL_SIZE, g));
        LineMetrics m = lineMetrics(regular, FONT_PIXEL_SIZE);
        float expected = g.advance * FONT_LINE_HEIGHT / (m.ascender + m.descender);
        EXPECT_NEAR(atlas.glyphs[static_cast<size_t>(ch - FONT_FIRST_CHAR)].dx, expected, 1e-5f) << ch;
    }
    std::vector<uint8_t> file = encodeFontFile(atlas);
    ASSERT_EQ(file.size(), 24 + 24 * atlas.glyphs.size() + atlas.pixels.size());
    // the last glyph record sits right before the image, dx first
    float lastDx;
    std::memcpy(&lastDx, &file[24 + 24 * (atlas.glyphs.size() - 1)], sizeof lastDx);
    EXPECT_EQ(lastDx, atlas.glyphs.back().dx);
    EXPECT_TRUE(std::equal(atlas.pixels.begin(), atlas.pixels.end(), file.end() - static_cast<long>(atlas.pixels.size())));
}
