// The drawing the pictures are made of: canvas coverage and tileable noise, labels (FreeType)
// stay inside their boxes and are centred, the solid renderer fills its box and lights the
// solid from the upper left, and scene textures tile.
#include "canvas.h"
#include "generate.h"
#include "raster3d.h"
#include "solids.h"
#include "text.h"
#include "textures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

struct InkBox {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};

float difference(Color p, Color q) { return std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b); }

// Bounding box of the pixels that differ from black
InkBox inkBox(const Canvas &c)
{
    InkBox box;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++)
            if (difference(getPixel(c, x, y), {0, 0, 0}) > 0.02f)
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
    return box;
}

// Mean difference between two columns (or rows) of a picture
float lineDifference(const Canvas &c, bool columns, int a, int b)
{
    float sum = 0.0f;
    int n = columns ? c.height : c.width;
    for (int i = 0; i < n; i++)
        sum += columns ? difference(getPixel(c, a, i), getPixel(c, b, i)) : difference(getPixel(c, i, a), getPixel(c, i, b));
    return sum / n;
}

float total(const Canvas &c)
{
    float sum = 0.0f;
    for (const Color &p : c.pixels) sum += p.r;
    return sum;
}

}  // namespace

TEST(Canvas, ShapesCoverTheirExactAreaAndStayInside)
{
    EXPECT_EQ(colorByte(-0.5f), 0);
    EXPECT_EQ(colorByte(1.7f), 255);
    EXPECT_EQ(colorByte(0.5f), 128);
    Canvas c = makeCanvas(4, 4, {0, 0, 0});
    setPixel(c, 5, 5, {1, 1, 1});                    // outside: dropped
    EXPECT_EQ(getPixel(c, -1, 0).r, 0.0f);           // outside: black
    fillRect(c, 1.0f, 1.0f, 2.5f, 3.0f, {1, 1, 1});
    EXPECT_FLOAT_EQ(getPixel(c, 1, 1).r, 1.0f);
    EXPECT_FLOAT_EQ(getPixel(c, 2, 1).r, 0.5f);      // half the pixel covered
    EXPECT_FLOAT_EQ(total(c), 3.0f);

    Canvas half = makeCanvas(20, 20, {0, 0, 0});
    fillPolygon(half, {{0, 0}, {20, 0}, {0, 20}}, {1, 1, 1});
    EXPECT_NEAR(total(half), 200.0f, 4.0f);
    EXPECT_FLOAT_EQ(getPixel(half, 17, 17).r, 0.0f);
    Canvas disc = makeCanvas(40, 40, {0, 0, 0});
    fillCircle(disc, {20, 20}, 10, {1, 1, 1});
    EXPECT_NEAR(total(disc), 3.14159f * 100.0f, 3.0f);
}

TEST(Canvas, NoiseIsDeterministicBoundedAndTiles)
{
    for (int i = 0; i < 50; i++) {
        float x = i * 0.37f, y = i * 0.91f, n = fractalNoise(x, y, 4, 4, 9U);
        EXPECT_GE(n, 0.0f);
        EXPECT_LT(n, 1.0f);
        EXPECT_EQ(n, fractalNoise(x, y, 4, 4, 9U));
        EXPECT_NEAR(n, fractalNoise(x + 4.0f, y - 8.0f, 4, 4, 9U), 1e-4f);
    }
    EXPECT_NE(latticeValue(1, 2, 3U), latticeValue(2, 1, 3U));
    EXPECT_NE(latticeValue(1, 2, 3U), latticeValue(1, 2, 4U));
}

TEST(Drawing, LabelsStayInsideTheirBoxAndAreCentred)
{
    FontFace missing, bold;
    std::string error;
    EXPECT_FALSE(openFontFace(missing, "/nonexistent/font.ttf", error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos);
    EXPECT_EQ(measureText(missing, "abc", 20), 0);
    ASSERT_TRUE(openFontFace(bold, boldFontPath(), error)) << error;

    struct Case { const char *text; float x0, y0, x1, y1; int maxSize, lines; };
    const Case cases[] = {
        {"IF", 10, 10, 110, 50, 40, 1},
        {"Edicion de objetos", 13, 11, 179, 85, 26, 2},  // breaks over two lines rather than shrinking
        {"Paralelepipedo", 8, 100, 120, 118, 14, 1},     // shrinks to fit
        {"Escalado uniforme", 10, 8, 198, 72, 26, 1},
    };
    LineMetrics line = lineMetrics(bold, 20);
    for (const Case &k : cases) {
        Canvas c = makeCanvas(200, 130, {0, 0, 0});
        drawLabel(c, bold, k.text, k.x0, k.y0, k.x1, k.y1, k.maxSize, {1, 1, 1});
        InkBox ink = inkBox(c);
        ASSERT_GE(ink.x1, 0) << k.text;
        EXPECT_TRUE(ink.x0 >= k.x0 - 1 && ink.x1 <= k.x1 + 1 && ink.y0 >= k.y0 - 1 && ink.y1 <= k.y1 + 1) << k.text;
        EXPECT_NEAR((ink.x0 + ink.x1 + 1) * 0.5f, (k.x0 + k.x1) * 0.5f, 3.0f) << k.text;
        if (k.lines == 2) {
            EXPECT_GT(ink.y1 - ink.y0, line.ascender + line.descender) << k.text;
        }
    }
}

TEST(Drawing, SolidsFillTheirBoxAndAreLitFromTheUpperLeft)
{
    for (int kind = 0; kind < 12; kind++) {
        Canvas c = makeCanvas(100, 100, {0, 0, 0});
        renderMesh(c, solidMesh(kind), 10, 10, 90, 90, {1, 1, 1}, MeshView());
        InkBox ink = inkBox(c);
        EXPECT_TRUE(ink.x0 >= 9 && ink.x1 <= 90 && ink.y0 >= 9 && ink.y1 <= 90) << kind;
        // the picture spans most of the box in at least one direction
        EXPECT_GT(std::max(ink.x1 - ink.x0, ink.y1 - ink.y0), 55) << kind;
    }
    EXPECT_TRUE(solidMesh(12).faces.empty());

    // a cube seen from above and to the right: its top face is brighter than its right face
    Canvas c = makeCanvas(100, 100, {0, 0, 0});
    renderMesh(c, solidMesh(4), 0, 0, 100, 100, {1, 1, 1}, MeshView());
    InkBox ink = inkBox(c);
    float top = luminance(getPixel(c, (ink.x0 + ink.x1) / 2, ink.y0 + 6));
    float right = luminance(getPixel(c, ink.x1 - 8, (ink.y0 + ink.y1) / 2 + 10));
    EXPECT_GT(top, right + 0.1f);
}

TEST(Drawing, SceneTexturesTileAcrossTheirEdges)
{
    const int size = 128;
    const std::function<Canvas()> makers[] = {
        [] { return drawBricks(size); }, [] { return drawWood(size); }, [] { return drawStoneFloor(size); },
        [] { return drawGrass(size); }, [] { return drawMarble(size); }, [] { return drawWater(size, 1); },
    };
    for (size_t index = 0; index < 6; index++) {
        Canvas c = makers[index]();
        ASSERT_EQ(c.width, size);
        // the seam between the last and the first column (row) is no harsher than the
        // harshest step between neighbouring columns (rows) inside the picture
        for (bool columns : {true, false}) {
            float inside = 0.0f;
            for (int i = 0; i + 1 < size; i++) inside = std::max(inside, lineDifference(c, columns, i, i + 1));
            EXPECT_LE(lineDifference(c, columns, size - 1, 0), inside * 1.1f) << "texture " << index << " " << columns;
        }
    }
}
