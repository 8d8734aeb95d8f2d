// The BMP reader: images built in memory (every depth, compression and header form), a table of
// damaged and lying files with the message each one gets, and files on disk (open failures).
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

// What goes into a BMP built in memory (aggregate: the common fields first)
struct BmpRecipe {
    int32_t width, height;
    uint16_t bitCount;
    Bytes pixels;                  // as stored in the file, padding included
    std::vector<Rgb> palette = {}; // R, G, B; written as B, G, R (+ reserved for 4-byte entries)
    uint32_t compression = 0;
    std::vector<uint32_t> masks = {};  // written right after the info header
    bool fileHeader = true;
    uint32_t headerSize = 40;
    uint32_t colorsUsed = 0;       // 0: the palette's size
    uint32_t imageSize = 0;
    uint16_t planes = 1;
};

void put(Bytes &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++) out.push_back((unsigned char)(value >> (8 * i)));
}

Bytes buildBmp(const BmpRecipe &r)
{
    Bytes info;
    put(info, r.headerSize, 4);
    int dimension = r.headerSize == 12 ? 2 : 4;
    put(info, (uint32_t)r.width, dimension);
    put(info, (uint32_t)r.height, dimension);
    put(info, r.planes, 2);
    put(info, r.bitCount, 2);
    if (r.headerSize != 12) {
        for (uint32_t v : {r.compression, r.imageSize, 2835u, 2835u,
                           r.colorsUsed ? r.colorsUsed : (uint32_t)r.palette.size(), 0u})
            put(info, v, 4);
        info.resize(r.headerSize, 0);
    }
    for (uint32_t mask : r.masks) put(info, mask, 4);
    for (const Rgb &entry : r.palette) {
        info.insert(info.end(), {entry[2], entry[1], entry[0]});
        if (r.headerSize != 12) info.push_back(0);
    }
    Bytes out;
    if (r.fileHeader) {
        uint32_t offset = 14 + (uint32_t)info.size();
        out = {'B', 'M'};
        for (uint32_t v : {offset + (uint32_t)r.pixels.size(), 0u, offset}) put(out, v, 4);
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), r.pixels.begin(), r.pixels.end());
    return out;
}

// Decodes with the error stream captured
std::unique_ptr<dib_image> decode(const Bytes &bytes, std::string *errors)
{
    testing::internal::CaptureStderr();
    std::unique_ptr<dib_image> image = decode_dib_image(bytes.data(), bytes.size());
    *errors = testing::internal::GetCapturedStderr();
    return image;
}

// All pixels in file row order
std::vector<Rgb> pixelsOf(const dib_image &image)
{
    std::vector<Rgb> out;
    for (size_t at = 0; at + 2 < image.pixels.size(); at += 3)
        out.push_back({image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]});
    return out;
}

const Rgb K = {0, 0, 0}, R = {255, 0, 0}, G = {0, 255, 0}, B = {0, 0, 255}, W = {255, 255, 255};
const Rgb GREY = {10, 20, 30};
const std::vector<Rgb> PAL4 = {K, R, G, B}, PAL5 = {K, R, G, B, GREY};
const uint32_t RLE8 = DIB_COMPRESSION_RLE8, RLE4 = DIB_COMPRESSION_RLE4, FIELDS = DIB_COMPRESSION_BITFIELDS;

}  // namespace

TEST(BmpReader, DecodesEveryDepthCompressionAndLayout)
{
    struct Case { const char *what; BmpRecipe recipe; std::vector<Rgb> want; };
    const Case cases[] = {
        {"24 bits: BGR, padded rows", {2, 2, 24, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0}},
         {B, R, G, W}},
        {"24 bits: 3-pixel rows lose their padding",
         {3, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE}},
         {{3, 2, 1}, {6, 5, 4}, {9, 8, 7}, {12, 11, 10}, {15, 14, 13}, {18, 17, 16}}},
        {"last row without its padding", {1, 2, 24, {1, 2, 3, 0, 4, 5, 6}}, {{3, 2, 1}, {6, 5, 4}}},
        {"top-down rows keep file order", {1, -2, 24, {0xFF, 0, 0, 0, 0, 0, 0xFF, 0}}, {B, R}},
        {"8-bit palette", {5, 1, 8, {4, 3, 2, 1, 0, 0, 0, 0}, PAL5}, {GREY, B, G, R, K}},
        {"4 bits, high nibble first", {5, 1, 4, {0x43, 0x21, 0x00, 0x00}, PAL5}, {GREY, B, G, R, K}},
        {"1 bit, high bit first", {5, 1, 1, {0xA8, 0, 0, 0}, {R, B}}, {B, R, B, R, B}},
        {"bad indices and a short table give black", {4, 1, 8, {0, 1, 2, 255}, {R, G}}, {R, G, K, K}},
        {"colour table claimed past the pixels", {4, 1, 8, {0, 1, 2, 255}, {R, G}, 0, {}, true, 40, 300}, {R, G, K, K}},
        {"16 bits 5-5-5", {3, 1, 16, {0x00, 0x7C, 0xE0, 0x03, 0x10, 0x00, 0, 0}}, {R, G, {0, 0, 132}}},
        {"16 bits 5-6-5 masks", {3, 1, 16, {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0, 0}, {}, FIELDS, {0xF800, 0x07E0, 0x1F}},
         {R, G, {0, 4, 0}}},
        {"32 bits XRGB", {1, 1, 32, {30, 20, 10, 99}}, {GREY}},
        {"32 bits masks", {1, 1, 32, {30, 20, 10, 99}, {}, FIELDS, {0xFF, 0xFF00, 0xFF0000}}, {{30, 20, 10}}},
        {"32 bits gappy masks", {1, 1, 32, {0xFF, 0xFF, 0xFF, 0xFF}, {}, FIELDS, {0, 0xFF00FF00, 0x80000001}},
         {{0, 255, 255}}},
        {"packed DIB, 8 bits", {2, 1, 8, {2, 1, 0, 0}, {R, G, B}, 0, {}, false}, {B, G}},
        {"packed DIB, 24 bits skip the table", {2, 1, 24, {1, 2, 3, 4, 5, 6, 0, 0}, {R, G, B}, 0, {}, false},
         {{3, 2, 1}, {6, 5, 4}}},
        {"OS/2 header", {3, 2, 1, {0x40, 0, 0, 0, 0xA0, 0, 0, 0}, {GREY, G}, 0, {}, true, 12}, {GREY, G, GREY, G, GREY, G}},
        {"OS/2 packed DIB", {3, 2, 1, {0x40, 0, 0, 0, 0xA0, 0, 0, 0}, {GREY, G}, 0, {}, false, 12},
         {GREY, G, GREY, G, GREY, G}},
        {"RLE8 runs, absolute, end of line, delta, end", {6, 3, 8, {2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 1, 3, 0, 1, 5, 1}, PAL4, RLE8},
         {R, R, G, B, R, K, K, K, K, K, K, K, K, B, K, K, K, K}},
        {"RLE4 nibbles, odd absolute runs padded", {6, 2, 4, {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 5, 0x11, 0x22, 0x30, 0, 0, 1}, PAL4, RLE4},
         {R, G, R, G, R, K, B, G, R, R, R, G}},
        {"RLE run longer than its row is cut", {2, 2, 8, {255, 1, 0, 1}, PAL4, RLE8}, {R, R, K, K}},
        {"RLE delta off the right edge and past the top", {2, 2, 8, {0, 2, 200, 0, 1, 1, 0, 0, 1, 2, 0, 2, 0, 9, 1, 3}, PAL4, RLE8},
         {K, K, G, K}},
        {"RLE absolute run cut by the end of the file", {4, 1, 8, {0, 4, 3, 2}, PAL4, RLE8}, {B, G, K, K}},
        {"RLE bad index, no end, delta cut by the end", {3, 1, 8, {1, 2, 1, 200, 0, 2, 1}, PAL4, RLE8}, {G, K, K}},
    };
    for (const Case &c : cases) {
        std::string errors;
        std::unique_ptr<dib_image> image = decode(buildBmp(c.recipe), &errors);
        ASSERT_NE(image, nullptr) << c.what << ": " << errors;
        EXPECT_EQ(errors, "") << c.what;
        EXPECT_EQ(image->width, c.recipe.width) << c.what;
        EXPECT_EQ(image->height, c.recipe.height) << c.what;
        EXPECT_EQ(pixelsOf(*image), c.want) << c.what;
    }
}

TEST(BmpReader, CorruptFilesAreRefusedWithTheirMessage)
{
    const char *UNKNOWN = "Unknown DIB file format.", *BAD = "Image file conversion error.", *MEMORY = "Out of memory.";
    std::vector<std::pair<Bytes, const char *>> cases = {{{}, UNKNOWN}, {{'B', 'M', 0}, UNKNOWN}};
    auto add = [&](const BmpRecipe &r, const char *error) { cases.push_back({buildBmp(r), error}); };
    for (uint32_t size : {124u, 108u, 64u, 16u, 0u}) add({2, 2, 24, Bytes(16, 0), {}, 0, {}, true, size}, UNKNOWN);
    struct Format { uint16_t bits; uint32_t compression; uint16_t planes; };
    for (Format f : {Format{2, 0, 1}, {64, 0, 1}, {0, 0, 1}, {24, 0, 2}, {24, 1, 1}, {8, 2, 1}, {24, 3, 1},
                     {24, 4, 1}, {24, 5, 1}, {32, 6, 1}})
        add({2, 2, f.bits, Bytes(16, 0), {}, f.compression, {}, true, 40, 0, 0, f.planes}, BAD);
    // absurd pixel counts are refused before any allocation; rows that cannot be in the file
    struct Size { int32_t width, height; const char *error; };
    for (Size s : {Size{0, 4, BAD}, {-4, 4, BAD}, {4, 0, BAD}, {4, INT32_MIN, BAD}, {100000, 100000, MEMORY},
                   {INT32_MAX, -INT32_MAX, MEMORY}, {8193, 8192, MEMORY}, {8000, 8000, BAD}})
        add({s.width, s.height, 24, Bytes(64, 0)}, s.error);
    add({1, 2, 24, {1, 2, 3, 0, 4, 5}}, BAD);                               // last row short of pixels
    add({2, -2, 8, {0, 1}, PAL4, RLE8}, BAD);                               // top-down run-length data
    add({2, 2, 8, Bytes(64, 0), {}, 0, {}, false, 40, 0x12345678}, BAD);     // packed colour table past the end
    add({1, 1, 32, {}, {}, FIELDS}, BAD);                                   // masks cut off by the end
    Bytes offset = buildBmp({2, 2, 24, Bytes(16, 0)}), truncated = offset;
    offset[10] = offset[11] = 0xFF;                                         // pixel offset past the end
    truncated.resize(40);                                                   // info header cut
    cases.push_back({offset, BAD});
    cases.push_back({truncated, BAD});
    for (size_t i = 0; i < cases.size(); i++) {
        std::string errors;
        // NOTE: each input is a vector of exactly its length, so a read past it is caught by the sanitizer
        EXPECT_EQ(decode(cases[i].first, &errors), nullptr) << "case " << i;
        EXPECT_EQ(errors, std::string("Error: ") + cases[i].second + "\n") << "case " << i;
    }
}

TEST(BmpReader, ColourCountAndHeaderDefaults)
{
    struct Count { uint32_t size; uint16_t bits; uint32_t used, want; };
    for (Count c : {Count{40, 1, 0, 2}, {40, 4, 0, 16}, {40, 8, 0, 256}, {40, 8, 7, 7}, {12, 8, 7, 256},
                    {40, 16, 0, 0}, {40, 24, 0, 0}, {40, 32, 0, 0}}) {
        dib_info_header header{};
        header.size = c.size;
        header.bitCount = c.bits;
        header.colorsUsed = c.used;
        EXPECT_EQ(dib_color_count(header), c.want) << c.size << " " << c.bits << " " << c.used;
    }
    dib_info_header header{};
    Bytes bytes = buildBmp({5, -3, 4, Bytes(12, 0)});
    ASSERT_TRUE(read_dib_header(bytes.data(), bytes.size(), &header));
    EXPECT_EQ(header.imageSize, 9u);  // (4 x 5 + 7) / 8 x 3, without row padding
    EXPECT_EQ(header.colorsUsed, 16u);
    bytes = buildBmp({5, -3, 4, Bytes(12, 0), {}, 0, {}, true, 40, 5, 1234});
    ASSERT_TRUE(read_dib_header(bytes.data(), bytes.size(), &header));
    EXPECT_EQ(header.imageSize, 1234u);
    EXPECT_EQ(header.colorsUsed, 5u);
    bytes = buildBmp({5, -3, 4, Bytes(12, 0), {}, 0, {}, true, 64});
    EXPECT_FALSE(read_dib_header(bytes.data(), bytes.size(), &header));
}

TEST(BmpReader, LoadsAFileAndReportsOpenFailures)
{
    std::string directory = testing::TempDir();
    std::string path = directory + "bmp_test_" + std::to_string(getpid()) + ".bmp";
    Bytes bytes = buildBmp({1, 1, 24, {0xFF, 0, 0, 0}});
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    fclose(file);
    std::unique_ptr<dib_image> image = load_dib_image(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelsOf(*image), std::vector<Rgb>{B});

    file = fopen(path.c_str(), "wb");  // an empty file cannot be mapped
    ASSERT_NE(file, nullptr);
    fclose(file);
    for (const std::string &name : {path, directory + "no_such_dir/missing.bmp", directory}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(load_dib_image(name.c_str()), nullptr) << name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Failed to open DIB file " + name + ".\n");
    }
    remove(path.c_str());
}
