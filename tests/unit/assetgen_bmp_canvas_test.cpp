// The BMP writer byte by byte, and the canvas primitives the pictures rely on
// (coverage of rectangles, tileable noise).
#include "assetgen_test_support.h"
#include "bmp_writer.h"
#include "canvas.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assetgen_test;

namespace {

// 3 x 2: an odd width, so each stored row carries 3 padding bytes
Canvas tinyCanvas()
{
    Canvas c = makeCanvas(3, 2, {0, 0, 0});
    setPixel(c, 0, 0, rgb(255, 0, 0));     // top row: red, green, blue
    setPixel(c, 1, 0, rgb(0, 255, 0));
    setPixel(c, 2, 0, rgb(0, 0, 255));
    setPixel(c, 0, 1, rgb(10, 20, 30));    // bottom row
    setPixel(c, 1, 1, rgb(40, 50, 60));
    setPixel(c, 2, 1, rgb(255, 255, 255));
    return c;
}

}  // namespace

TEST(BmpWriter, HeaderFieldsOfAnOddWidthImage)
{
    std::vector<uint8_t> b = encodeBmp(tinyCanvas());
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 6), 0u);       // reserved
    EXPECT_EQ(u32(b, 10), 54u);     // pixel offset
    EXPECT_EQ(u32(b, 14), 40u);     // info header size
    EXPECT_EQ(u32(b, 18), 3u);
    EXPECT_EQ(u32(b, 22), 2u);      // positive height: rows bottom-up
    EXPECT_EQ(u16(b, 26), 1u);
    EXPECT_EQ(u16(b, 28), 24u);
    EXPECT_EQ(u32(b, 30), 0u);      // no compression
    EXPECT_EQ(u32(b, 34), 24u);     // image size with padding
    EXPECT_EQ(u32(b, 46), 0u);      // colours used
}

TEST(BmpWriter, PixelsBottomRowFirstInBgrWithZeroPadding)
{
    std::vector<uint8_t> b = encodeBmp(tinyCanvas());
    ASSERT_EQ(b.size(), 78u);
    const uint8_t expected[24] = {
        30, 20, 10, 60, 50, 40, 255, 255, 255, 0, 0, 0,  // bottom canvas row first
        0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,         // then the top row: red, green, blue
    };
    for (int i = 0; i < 24; i++) EXPECT_EQ(b[54 + i], expected[i]) << "pixel byte " << i;
}

TEST(BmpWriter, RowStrideAndRoundTripThroughAFile)
{
    EXPECT_EQ(bmpRowStride(1), 4);
    EXPECT_EQ(bmpRowStride(3), 12);
    EXPECT_EQ(bmpRowStride(4), 12);
    EXPECT_EQ(bmpRowStride(5), 16);

    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    Canvas c = makeCanvas(5, 3, {0, 0, 0});
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++) setPixel(c, x, y, rgb(x * 50, y * 100, 7));
    std::string path = dir.path + "/round.bmp";
    ASSERT_TRUE(writeBmp(path, c));
    DecodedBmp d = decodeBmp(readFile(path));
    ASSERT_TRUE(d.valid) << d.problem;
    ASSERT_EQ(d.width, 5);
    ASSERT_EQ(d.height, 3);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++) {
            size_t at = (static_cast<size_t>(y) * 5 + x) * 3;
            EXPECT_EQ(d.rgb[at], x * 50);
            EXPECT_EQ(d.rgb[at + 1], y * 100);
            EXPECT_EQ(d.rgb[at + 2], 7);
        }
    EXPECT_FALSE(writeBmp(dir.path + "/no/such/dir/x.bmp", c));
}

TEST(Canvas, ColourBytesClampAndRound)
{
    EXPECT_EQ(colorByte(-0.5f), 0);
    EXPECT_EQ(colorByte(1.7f), 255);
    EXPECT_EQ(colorByte(0.5f), 128);
    Canvas c = makeCanvas(2, 2, {0, 0, 0});
    setPixel(c, 5, 5, {1, 1, 1});                   // outside: dropped
    EXPECT_EQ(getPixel(c, -1, 0).r, 0.0f);          // outside: black
}

TEST(Canvas, RectangleCoverageIsExactArea)
{
    Canvas c = makeCanvas(4, 4, {0, 0, 0});
    fillRect(c, 1.0f, 1.0f, 2.5f, 3.0f, {1, 1, 1});
    EXPECT_FLOAT_EQ(getPixel(c, 1, 1).r, 1.0f);
    EXPECT_FLOAT_EQ(getPixel(c, 2, 1).r, 0.5f);     // half the pixel covered
    EXPECT_FLOAT_EQ(getPixel(c, 0, 1).r, 0.0f);
    EXPECT_FLOAT_EQ(getPixel(c, 1, 3).r, 0.0f);
}

TEST(Canvas, PolygonAndCircleCoverTheirArea)
{
    Canvas c = makeCanvas(20, 20, {0, 0, 0});
    fillPolygon(c, {{0, 0}, {20, 0}, {0, 20}}, {1, 1, 1});   // half the canvas
    float sum = 0.0f;
    for (const Color &p : c.pixels) sum += p.r;
    EXPECT_NEAR(sum, 200.0f, 4.0f);
    EXPECT_FLOAT_EQ(getPixel(c, 2, 2).r, 1.0f);
    EXPECT_FLOAT_EQ(getPixel(c, 17, 17).r, 0.0f);

    Canvas d = makeCanvas(40, 40, {0, 0, 0});
    fillCircle(d, {20, 20}, 10, {1, 1, 1});
    float area = 0.0f;
    for (const Color &p : d.pixels) area += p.r;
    EXPECT_NEAR(area, 3.14159f * 100.0f, 3.0f);
}

TEST(Canvas, NoiseIsDeterministicBoundedAndTiles)
{
    for (int i = 0; i < 50; i++) {
        float x = i * 0.37f, y = i * 0.91f;
        float n = fractalNoise(x, y, 4, 4, 9U);
        EXPECT_GE(n, 0.0f);
        EXPECT_LT(n, 1.0f);
        EXPECT_EQ(n, fractalNoise(x, y, 4, 4, 9U));
        EXPECT_NEAR(n, fractalNoise(x + 4.0f, y, 4, 4, 9U), 1e-4f);
        EXPECT_NEAR(n, fractalNoise(x, y - 8.0f, 4, 4, 9U), 1e-4f);
    }
    EXPECT_NE(latticeValue(1, 2, 3U), latticeValue(2, 1, 3U));
    EXPECT_NE(latticeValue(1, 2, 3U), latticeValue(1, 2, 4U));
}
