// The BMP reader: images built in memory (every depth, compression and header form), damaged
// and lying files, and files on disk (open failures).
#include "bmp.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;
typedef std::array<unsigned char, 3> Rgb;

// What goes into a BMP built in memory
struct BmpRecipe {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;   // written right after the info header
    std::vector<Rgb> palette;      // R, G, B; written as B, G, R (+ reserved for 4-byte entries)
    Bytes pixels;                  // as stored in the file, padding included
    bool fileHeader = true;
};

void put16(Bytes &out, uint32_t value)
{
    out.push_back((unsigned char)value);
    out.push_back((unsigned char)(value >> 8));
}

void put32(Bytes &out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

Bytes buildBmp(const BmpRecipe &recipe)
{
    Bytes info;
    put32(info, recipe.headerSize);
    if (recipe.headerSize == 12) {
        put16(info, (uint32_t)recipe.width);
        put16(info, (uint32_t)recipe.height);
        put16(info, recipe.planes);
        put16(info, recipe.bitCount);
    } else {
        put32(info, (uint32_t)recipe.width);
        put32(info, (uint32_t)recipe.height);
        put16(info, recipe.planes);
        put16(info, recipe.bitCount);
        put32(info, recipe.compression);
        put32(info, recipe.imageSize);
        put32(info, 2835);
        put32(info, 2835);
        put32(info, recipe.colorsUsed);
        put32(info, 0);
        info.resize(recipe.headerSize, 0);
    }
    for (uint32_t mask : recipe.masks) put32(info, mask);
    for (const Rgb &entry : recipe.palette) {
        info.push_back(entry[2]);
        info.push_back(entry[1]);
        info.push_back(entry[0]);
        if (recipe.headerSize != 12) info.push_back(0);
    }
    Bytes out;
    if (recipe.fileHeader) {
        uint32_t offset = 14 + (uint32_t)info.size();
        out = {'B', 'M'};
        put32(out, offset + (uint32_t)recipe.pixels.size());
        put32(out, 0);
        put32(out, offset);
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), recipe.pixels.begin(), recipe.pixels.end());
    return out;
}

// Decodes with the error stream captured
std::unique_ptr<dib_image> decodeCapturing(const Bytes &bytes, std::string *errors)
{
    testing::internal::CaptureStderr();
    std::unique_ptr<dib_image> image = decode_dib_image(bytes.data(), bytes.size());
    *errors = testing::internal::GetCapturedStderr();
    return image;
}

// Decodes a file that must decode without any message
std::unique_ptr<dib_image> decodeClean(const Bytes &bytes)
{
    std::string errors;
    std::unique_ptr<dib_image> image = decodeCapturing(bytes, &errors);
    EXPECT_EQ(errors, "");
    return image;
}

// Decodes a file that must be refused with exactly the given text
void expectRefused(const Bytes &bytes, const std::string &text)
{
    std::string errors;
    std::unique_ptr<dib_image> image = decodeCapturing(bytes, &errors);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(errors, "Error: " + text + "\n");
}

Rgb pixelAt(const dib_image &image, int x, int row)
{
    size_t at = ((size_t)row * (size_t)image.width + (size_t)x) * 3;
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

const Rgb BLACK = {0, 0, 0};
const Rgb RED = {255, 0, 0};
const Rgb GREEN = {0, 255, 0};
const Rgb BLUE = {0, 0, 255};
const Rgb GREY = {10, 20, 30};

// A 4-colour 8-bit RLE image of the given width and height around the given data
BmpRecipe rle8Recipe(int32_t width, int32_t height, Bytes data)
{
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = 8;
    recipe.compression = DIB_COMPRESSION_RLE8;
    recipe.colorsUsed = 4;
    recipe.palette = {BLACK, RED, GREEN, BLUE};
    recipe.pixels = std::move(data);
    return recipe;
}

//----------------------------------------------------------------------------------
// Uncompressed depths
//----------------------------------------------------------------------------------

TEST(BmpDepths, TwentyFourBitsTurnsBgrIntoRgbInFileRowOrder)
{
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.height = 2;
    // bottom row: blue, red; top row: green, white; each row padded from 6 to 8 bytes
    recipe.pixels = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0};
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->pixels, (Bytes{0, 0, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF}));
}

TEST(BmpDepths, RowPaddingIsDropped)
{
    BmpRecipe recipe;
    recipe.width = 3;
    recipe.height = 3;
    for (int row = 0; row < 3; row++) {
        for (int i = 0; i < 9; i++) recipe.pixels.push_back((unsigned char)(row * 9 + i));
        recipe.pixels.insert(recipe.pixels.end(), {0xEE, 0xEE, 0xEE});
    }
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->pixels.size(), 27u);
    for (int i = 0; i < 27; i++) {
        int triple = i / 3 * 3;
        EXPECT_EQ(image->pixels[i], triple + 2 - i % 3) << "byte " << i;
    }
}

TEST(BmpDepths, PaletteDepthsGoThroughTheColourTable)
{
    BmpRecipe recipe;
    recipe.width = 5;
    recipe.height = 1;
    recipe.bitCount = 8;
    recipe.palette = {BLACK, RED, GREEN, BLUE, GREY};
    recipe.colorsUsed = 5;
    recipe.pixels = {4, 3, 2, 1, 0, 0, 0, 0};
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), GREY);
    EXPECT_EQ(pixelAt(*image, 1, 0), BLUE);
    EXPECT_EQ(pixelAt(*image, 2, 0), GREEN);
    EXPECT_EQ(pixelAt(*image, 3, 0), RED);
    EXPECT_EQ(pixelAt(*image, 4, 0), BLACK);

    // 4 bits: high nibble first
    recipe.bitCount = 4;
    recipe.pixels = {0x43, 0x21, 0x00, 0x00};
    image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), GREY);
    EXPECT_EQ(pixelAt(*image, 3, 0), RED);
    EXPECT_EQ(pixelAt(*image, 4, 0), BLACK);

    // 1 bit: most significant bit first
    recipe.bitCount = 1;
    recipe.colorsUsed = 0;
    recipe.palette = {RED, BLUE};
    recipe.pixels = {0xA8, 0, 0, 0};  // 1 0 1 0 1
    image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), BLUE);
    EXPECT_EQ(pixelAt(*image, 1, 0), RED);
    EXPECT_EQ(pixelAt(*image, 4, 0), BLUE);
}

TEST(BmpDepths, SixteenBitsDefaultToFiveFiveFiveAndHonourMasks)
{
    BmpRecipe recipe;
    recipe.width = 3;
    recipe.height = 1;
    recipe.bitCount = 16;
    recipe.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x10, 0x00, 0, 0};  // 5-5-5 red, green, half blue
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), RED);
    EXPECT_EQ(pixelAt(*image, 1, 0), GREEN);
    EXPECT_EQ(pixelAt(*image, 2, 0), (Rgb{0, 0, 132}));  // 16 of 31

    recipe.compression = DIB_COMPRESSION_BITFIELDS;
    recipe.masks = {0xF800, 0x07E0, 0x001F};
    recipe.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0, 0};  // 5-6-5 red, green, 1 of 63 green
    image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), RED);
    EXPECT_EQ(pixelAt(*image, 1, 0), GREEN);
    EXPECT_EQ(pixelAt(*image, 2, 0), (Rgb{0, 4, 0}));
}

TEST(BmpDepths, ThirtyTwoBitsDefaultToXrgbAndHonourMasks)
{
    BmpRecipe recipe;
    recipe.width = 1;
    recipe.height = 1;
    recipe.bitCount = 32;
    recipe.pixels = {30, 20, 10, 99};
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), GREY);

    // R, G, B in the low three bytes; a mask with a gap still stays in range
    recipe.compression = DIB_COMPRESSION_BITFIELDS;
    recipe.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), (Rgb{30, 20, 10}));

    recipe.masks = {0x00000000, 0xFF00FF00, 0x80000001};
    recipe.pixels = {0xFF, 0xFF, 0xFF, 0xFF};
    image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), (Rgb{0, 255, 255}));
}

//----------------------------------------------------------------------------------
// Header forms and layout
//----------------------------------------------------------------------------------

TEST(BmpLayout, PackedDibFindsPixelsAfterTheColourTable)
{
    BmpRecipe recipe;
    recipe.fileHeader = false;
    recipe.width = 2;
    recipe.height = 1;
    recipe.bitCount = 8;
    recipe.colorsUsed = 3;
    recipe.palette = {RED, GREEN, BLUE};
    recipe.pixels = {2, 1, 0, 0};
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), BLUE);
    EXPECT_EQ(pixelAt(*image, 1, 0), GREEN);

    // 24 bits with colours used: the table is skipped
    recipe.bitCount = 24;
    recipe.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), (Rgb{3, 2, 1}));
}

TEST(BmpLayout, Os2HeaderWidensThreeByteEntries)
{
    for (bool fileHeader : {true, false}) {
        BmpRecipe recipe;
        recipe.fileHeader = fileHeader;
        recipe.headerSize = 12;
        recipe.width = 3;
        recipe.height = 2;
        recipe.bitCount = 1;
        recipe.palette = {GREY, GREEN};
        recipe.pixels = {0x40, 0, 0, 0, 0xA0, 0, 0, 0};
        std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, 3);
        EXPECT_EQ(image->height, 2);
        EXPECT_EQ(pixelAt(*image, 0, 0), GREY);
        EXPECT_EQ(pixelAt(*image, 1, 0), GREEN);
        EXPECT_EQ(pixelAt(*image, 0, 1), GREEN);
        EXPECT_EQ(pixelAt(*image, 2, 1), GREEN);
    }
}

TEST(BmpLayout, TopDownRowsKeepFileOrderAndNegativeHeight)
{
    BmpRecipe recipe;
    recipe.width = 1;
    recipe.height = -2;
    recipe.pixels = {0xFF, 0, 0, 0, 0, 0, 0xFF, 0};
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->height, -2);
    ASSERT_EQ(image->pixels.size(), 6u);
    EXPECT_EQ(pixelAt(*image, 0, 0), BLUE);
    EXPECT_EQ(pixelAt(*image, 0, 1), RED);
}

TEST(BmpLayout, LastRowMayLackItsPadding)
{
    BmpRecipe recipe;
    recipe.width = 1;
    recipe.height = 2;
    recipe.pixels = {1, 2, 3, 0, 4, 5, 6};
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 1), (Rgb{6, 5, 4}));

    recipe.pixels.pop_back();
    expectRefused(buildBmp(recipe), "Image file conversion error.");
}

TEST(BmpLayout, HeaderDefaultsAndColourCount)
{
    dib_info_header header{};
    header.size = 40;
    header.bitCount = 1;
    EXPECT_EQ(dib_color_count(header), 2u);
    header.bitCount = 4;
    EXPECT_EQ(dib_color_count(header), 16u);
    header.bitCount = 8;
    EXPECT_EQ(dib_color_count(header), 256u);
    header.colorsUsed = 7;
    EXPECT_EQ(dib_color_count(header), 7u);
    header.size = 12;
    EXPECT_EQ(dib_color_count(header), 256u);
    header.size = 40;
    for (uint16_t bits : {16, 24, 32}) {
        header.bitCount = bits;
        header.colorsUsed = 0;
        EXPECT_EQ(dib_color_count(header), 0u);
    }

    BmpRecipe recipe;
    recipe.width = 5;
    recipe.height = -3;
    recipe.bitCount = 4;
    recipe.pixels.assign(12, 0);
    Bytes bytes = buildBmp(recipe);
    ASSERT_TRUE(read_dib_header(bytes.data(), bytes.size(), &header));
    EXPECT_EQ(header.imageSize, 9u);  // (4 x 5 + 7) / 8 x 3, without row padding
    EXPECT_EQ(header.colorsUsed, 16u);

    recipe.imageSize = 1234;
    recipe.colorsUsed = 5;
    bytes = buildBmp(recipe);
    ASSERT_TRUE(read_dib_header(bytes.data(), bytes.size(), &header));
    EXPECT_EQ(header.imageSize, 1234u);
    EXPECT_EQ(header.colorsUsed, 5u);

    recipe.headerSize = 64;
    bytes = buildBmp(recipe);
    EXPECT_FALSE(read_dib_header(bytes.data(), bytes.size(), &header));
}

//----------------------------------------------------------------------------------
// Run-length compression
//----------------------------------------------------------------------------------

TEST(BmpRunLength, Rle8RunsAbsoluteRunsLinesDeltaAndEnd)
{
    Bytes data = {
        2, 1, 0, 3, 2, 3, 1, 0,  // red red, absolute green blue red + pad
        0, 0,                    // end of line
        0, 2, 1, 1,              // delta: row 2, x 1
        1, 3,                    // blue
        0, 1,                    // end of bitmap
        5, 1};                   // never read
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(rle8Recipe(6, 3, data)));
    ASSERT_NE(image, nullptr);
    std::vector<Rgb> row0 = {RED, RED, GREEN, BLUE, RED, BLACK};
    for (int x = 0; x < 6; x++) EXPECT_EQ(pixelAt(*image, x, 0), row0[x]) << "x " << x;
    for (int x = 0; x < 6; x++) EXPECT_EQ(pixelAt(*image, x, 1), BLACK) << "x " << x;
    EXPECT_EQ(pixelAt(*image, 0, 2), BLACK);
    EXPECT_EQ(pixelAt(*image, 1, 2), BLUE);
    EXPECT_EQ(pixelAt(*image, 2, 2), BLACK);
}

TEST(BmpRunLength, Rle4AlternatesNibblesAndPadsOddRuns)
{
    BmpRecipe recipe = rle8Recipe(6, 2, {
        5, 0x12,                 // 1 2 1 2 1
        0, 0,                    // end of line
        0, 3, 0x32, 0x10,        // absolute 3 2 1 (two bytes, already even)
        0, 5, 0x11, 0x22, 0x30, 0,  // absolute 1 1 2 2 3 (three bytes + pad), cut at the row end
        0, 1});
    recipe.bitCount = 4;
    recipe.compression = DIB_COMPRESSION_RLE4;
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    std::vector<Rgb> row0 = {RED, GREEN, RED, GREEN, RED, BLACK};
    std::vector<Rgb> row1 = {BLUE, GREEN, RED, RED, RED, GREEN};
    for (int x = 0; x < 6; x++) {
        EXPECT_EQ(pixelAt(*image, x, 0), row0[x]) << "x " << x;
        EXPECT_EQ(pixelAt(*image, x, 1), row1[x]) << "x " << x;
    }
}

TEST(BmpRunLength, DamagedRunsAreClippedOrStopped)
{
    // a run longer than the row is cut at its end and does not spill into the next row
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(rle8Recipe(2, 2, {255, 1, 0, 1})));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 1, 0), RED);
    EXPECT_EQ(pixelAt(*image, 0, 1), BLACK);

    // a delta past the right edge leaves the row; one past the top ends the image
    image = decodeClean(buildBmp(rle8Recipe(2, 2, {0, 2, 200, 0, 1, 1, 0, 0, 1, 2, 0, 2, 0, 9, 1, 3})));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), BLACK);
    EXPECT_EQ(pixelAt(*image, 1, 0), BLACK);
    EXPECT_EQ(pixelAt(*image, 0, 1), GREEN);

    // an absolute run cut by the end of the file keeps its available pixels
    image = decodeClean(buildBmp(rle8Recipe(4, 1, {0, 4, 3, 2})));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), BLUE);
    EXPECT_EQ(pixelAt(*image, 1, 0), GREEN);
    EXPECT_EQ(pixelAt(*image, 2, 0), BLACK);

    // out-of-range indices and a missing end of bitmap; a delta cut by the end of the file
    image = decodeClean(buildBmp(rle8Recipe(3, 1, {1, 2, 1, 200, 0, 2, 1})));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), GREEN);
    EXPECT_EQ(pixelAt(*image, 1, 0), BLACK);

    // top-down run-length data does not exist
    expectRefused(buildBmp(rle8Recipe(2, -2, {0, 1})), "Image file conversion error.");
}

//----------------------------------------------------------------------------------
// Refused and damaged files
//----------------------------------------------------------------------------------

TEST(BmpRefusal, UnknownHeadersAndFormats)
{
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.height = 2;
    recipe.pixels.assign(16, 0);
    for (uint32_t size : {124u, 108u, 64u, 16u, 0u}) {
        recipe.headerSize = size;
        expectRefused(buildBmp(recipe), "Unknown DIB file format.");
    }
    expectRefused(Bytes{'B', 'M', 0}, "Unknown DIB file format.");
    expectRefused(Bytes{}, "Unknown DIB file format.");

    recipe.headerSize = 40;
    Bytes truncated = buildBmp(recipe);
    truncated.resize(40);
    expectRefused(truncated, "Image file conversion error.");

    struct Case { uint16_t bits; uint32_t compression; uint16_t planes; };
    for (Case c : {Case{2, 0, 1}, Case{64, 0, 1}, Case{0, 0, 1}, Case{24, 0, 2}, Case{24, 1, 1}, Case{8, 2, 1},
                   Case{24, 3, 1}, Case{24, 4, 1}, Case{24, 5, 1}, Case{32, 6, 1}}) {
        recipe.bitCount = c.bits;
        recipe.compression = c.compression;
        recipe.planes = c.planes;
        expectRefused(buildBmp(recipe), "Image file conversion error.");
    }
}

TEST(BmpRefusal, LyingSizesAndOffsets)
{
    BmpRecipe recipe;
    recipe.pixels.assign(64, 0);
    struct Dimensions { int32_t width, height; };
    for (Dimensions d : {Dimensions{0, 4}, Dimensions{-4, 4}, Dimensions{4, 0}, Dimensions{4, INT32_MIN}}) {
        recipe.width = d.width;
        recipe.height = d.height;
        expectRefused(buildBmp(recipe), "Image file conversion error.");
    }
    // absurd pixel counts are refused before any allocation
    for (Dimensions d : {Dimensions{100000, 100000}, Dimensions{INT32_MAX, -INT32_MAX}, Dimensions{8193, 8192}}) {
        recipe.width = d.width;
        recipe.height = d.height;
        expectRefused(buildBmp(recipe), "Out of memory.");
    }
    // rows that cannot be in the file
    recipe.width = 8000;
    recipe.height = 8000;
    expectRefused(buildBmp(recipe), "Image file conversion error.");

    // pixel offset past the end of the file
    recipe.width = 2;
    recipe.height = 2;
    Bytes bytes = buildBmp(recipe);
    bytes[10] = 0xFF;
    bytes[11] = 0xFF;
    expectRefused(bytes, "Image file conversion error.");

    // a packed DIB whose colour table would run past the end of the file
    recipe.fileHeader = false;
    recipe.bitCount = 8;
    recipe.colorsUsed = 0x12345678;
    expectRefused(buildBmp(recipe), "Image file conversion error.");

    // bit-field masks cut off by the end of the file
    BmpRecipe masked;
    masked.bitCount = 32;
    masked.compression = DIB_COMPRESSION_BITFIELDS;
    Bytes cut = buildBmp(masked);
    expectRefused(cut, "Image file conversion error.");
}

TEST(BmpRefusal, BadIndicesAndShortTablesGiveBlack)
{
    BmpRecipe recipe;
    recipe.width = 4;
    recipe.height = 1;
    recipe.bitCount = 8;
    recipe.colorsUsed = 2;
    recipe.palette = {RED, GREEN};
    recipe.pixels = {0, 1, 2, 255};
    std::unique_ptr<dib_image> image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 1, 0), GREEN);
    EXPECT_EQ(pixelAt(*image, 2, 0), BLACK);
    EXPECT_EQ(pixelAt(*image, 3, 0), BLACK);

    // a table claimed larger than the file holds: only the entries before the pixels count
    recipe.colorsUsed = 300;
    image = decodeClean(buildBmp(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), RED);
    EXPECT_EQ(pixelAt(*image, 2, 0), BLACK);
}

//----------------------------------------------------------------------------------
// Files
//----------------------------------------------------------------------------------

TEST(BmpFiles, LoadsAMappedFileAndReportsOpenFailures)
{
    std::string directory = testing::TempDir();
    std::string path = directory + "bmp_test_" + std::to_string(getpid()) + ".bmp";
    BmpRecipe recipe;
    recipe.width = 1;
    recipe.height = 1;
    recipe.pixels = {0xFF, 0, 0, 0};
    Bytes bytes = buildBmp(recipe);
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    fclose(file);
    std::unique_ptr<dib_image> image = load_dib_image(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelAt(*image, 0, 0), BLUE);

    // an empty file cannot be mapped
    file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fclose(file);
    std::string empty = path;
    std::string missing = directory + "no_such_dir/missing.bmp";
    for (const std::string &name : {empty, missing, directory}) {
        testing::internal::CaptureStderr();
        image = load_dib_image(name.c_str());
        std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(image, nullptr);
        EXPECT_EQ(errors, "Error: Failed to open DIB file " + name + ".\n");
    }
    remove(path.c_str());
}

} // namespace
