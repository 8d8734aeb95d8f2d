// The BMP reader: images built in memory (every depth, compression and header form), a table of
// damaged and lying files with the message each one gets, files on disk (open failures), and a
// corpus made by another program: good files against reference images, questionable, bad and
// truncated files refused or decoded safely.
#include "bmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
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
    uint32_t colorsUsed = 0;
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
    for (int32_t v : {r.width, r.height}) put(info, (uint32_t)v, r.headerSize == 12 ? 2 : 4);
    put(info, r.planes, 2);
    put(info, r.bitCount, 2);
    if (r.headerSize != 12) {
        for (uint32_t v : {r.compression, 0u, 2835u, 2835u, r.colorsUsed, 0u}) put(info, v, 4);
        // later headers hold the masks themselves (and an alpha mask, a colour space...)
        if (r.headerSize >= 52)
            for (uint32_t mask : r.masks) put(info, mask, 4);
        if (r.headerSize >= 108) put(info, 0x73524742, 4);  // 'sRGB'
        info.resize(r.headerSize, 0);
    }
    if (r.headerSize < 52)
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

// All pixels in file row order
std::vector<Rgb> pixelsOf(const dib_image &image)
{
    std::vector<Rgb> out;
    for (size_t at = 0; at + 2 < image.pixels.size(); at += 3)
        out.push_back({image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]});
    return out;
}

// A corpus of files made by another program (see data/bmpsuite/README.md)
const fs::path CORPUS = SW_BMPSUITE_DIR;

Bytes readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The samples of a binary PPM (P6, 8 bits, no comments), rows top to bottom; empty if malformed
Bytes readPpm(const fs::path &path, int *width, int *height)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    if (!(in >> magic >> *width >> *height >> maximum) || magic != "P6" || maximum != 255) return {};
    in.get();  // the single white-space byte before the samples
    Bytes pixels((size_t)*width * (size_t)*height * 3);
    in.read((char *)pixels.data(), (std::streamsize)pixels.size());
    return in ? pixels : Bytes();
}

std::vector<fs::path> bmpFiles(const std::string &folder)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(CORPUS / folder))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    return files;
}

// Decodes bytes held in a vector of exactly their length, so that a read past them is caught by the
// sanitizer, with the error stream captured: either a well-formed image, or null after exactly one error box
std::unique_ptr<dib_image> decodeSafely(const Bytes &bytes, std::string *errors)
{
    testing::internal::CaptureStderr();
    std::unique_ptr<dib_image> image = decode_dib_image(bytes.data(), bytes.size());
    *errors = testing::internal::GetCapturedStderr();
    bool oneBox = errors->rfind("Error: ", 0) == 0 && std::count(errors->begin(), errors->end(), '\n') == 1;
    EXPECT_TRUE(image ? image->width > 0 && image->height != 0 &&
                            image->pixels.size() == (size_t)image->width * (size_t)std::abs((long)image->height) * 3
                      : oneBox) << *errors;
    return image;
}

const Rgb K = {0, 0, 0}, R = {255, 0, 0}, G = {0, 255, 0}, B = {0, 0, 255}, W = {255, 255, 255}, GREY = {10, 20, 30};
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
        {"32 bits, a mask of all 32 bits keeps its top 8", {1, 1, 32, {0x78, 0x56, 0x34, 0x12}, {}, FIELDS,
         {0xFFFFFFFF, 0xFF, 0xFFFF0000}}, {{0x12, 0x78, 0x12}}},
        {"32 bits gappy masks", {1, 1, 32, {0xFF, 0xFF, 0xFF, 0xFF}, {}, FIELDS, {0, 0xFF00FF00, 0x80000001}},
         {{0, 255, 255}}},
        {"packed DIB, 8 bits", {2, 1, 8, {2, 1, 0, 0}, {R, G, B}, 0, {}, false, 40, 3}, {B, G}},
        {"packed DIB, 24 bits skip the table", {2, 1, 24, {1, 2, 3, 4, 5, 6, 0, 0}, {R, G, B}, 0, {}, false, 40, 3},
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
        // the headers image tools write by default: masks inside the header, colour space ignored
        {"version 5 header, 24 bits", {2, 1, 24, {0xFF, 0, 0, 0, 0xFF, 0, 0, 0}, {}, 0, {}, true, 124}, {B, G}},
        {"version 5 header, 16 bits 5-6-5 masks", {3, 1, 16, {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0, 0}, {}, FIELDS,
         {0xF800, 0x07E0, 0x1F, 0}, true, 124}, {R, G, {0, 4, 0}}},
        {"version 4 header, 32 bits masks with alpha", {1, 1, 32, {30, 20, 10, 99}, {}, FIELDS,
         {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, true, 108}, {{30, 20, 10}}},
        {"version 5 header, top-down 32 bits", {1, -2, 32, {1, 2, 3, 0, 4, 5, 6, 0}, {}, 0, {}, true, 124},
         {{3, 2, 1}, {6, 5, 4}}},
        {"version 5 packed DIB, 8 bits", {2, 1, 8, {1, 0, 0, 0}, {R, G}, 0, {}, false, 124, 2}, {G, R}},
        {"52-byte header, 16 bits masks", {1, 1, 16, {0x1F, 0, 0, 0}, {}, FIELDS, {0x7C00, 0x03E0, 0x1F}, true, 52},
         {{0, 0, 255}}},
    };
    for (const Case &c : cases) {
        std::string errors;
        std::unique_ptr<dib_image> image = decodeSafely(buildBmp(c.recipe), &errors);
        ASSERT_TRUE(image && errors.empty()) << c.what << ": " << errors;
        EXPECT_TRUE(image->width == c.recipe.width && image->height == c.recipe.height) << c.what;
        EXPECT_EQ(pixelsOf(*image), c.want) << c.what;
    }
}

TEST(BmpReader, CorruptFilesAreRefusedWithTheirMessage)
{
    const char *UNKNOWN = "Unknown DIB file format.", *BAD = "Image file conversion error.", *MEMORY = "Out of memory.";
    std::vector<std::pair<Bytes, const char *>> cases = {{{}, UNKNOWN}, {{'B', 'M', 0}, UNKNOWN}};
    auto add = [&](const BmpRecipe &r, const char *error) { cases.push_back({buildBmp(r), error}); };
    for (uint32_t size : {64u, 16u, 100u, 0u}) add({2, 2, 24, Bytes(16, 0), {}, 0, {}, true, size}, UNKNOWN);
    struct Format { uint16_t bits; uint32_t compression; uint16_t planes; };
    for (Format f : {Format{2, 0, 1}, {64, 0, 1}, {0, 0, 1}, {24, 0, 2}, {24, 1, 1}, {8, 2, 1}, {24, 3, 1},
                     {24, 4, 1}, {24, 5, 1}, {32, 6, 1}})
        add({2, 2, f.bits, Bytes(16, 0), {}, f.compression, {}, true, 40, 0, f.planes}, BAD);
    // absurd pixel counts are refused before any allocation; rows that cannot be in the file
    struct Size { int32_t width, height; const char *error; };
    for (Size s : {Size{0, 4, BAD}, {-4, 4, BAD}, {4, 0, BAD}, {4, INT32_MIN, BAD}, {100000, 100000, MEMORY},
                   {INT32_MAX, -INT32_MAX, MEMORY}, {4097, 4096, MEMORY}, {1, 16777217, MEMORY}, {4096, 4096, BAD}})
        add({s.width, s.height, 24, Bytes(64, 0)}, s.error);
    // run-length data that cannot describe the picture it claims: refused before it is allocated
    Bytes bomb(1080 - 14 - 40 - 1024, 0);
    bomb[bomb.size() - 1] = 1;                                              // end of bitmap
    add({4096, 4096, 8, bomb, std::vector<Rgb>(256, W), RLE8}, BAD);
    add({4096, 4096, 4, bomb, std::vector<Rgb>(16, W), RLE4}, BAD);
    add({2048, 2048, 8, Bytes(32766, 0), PAL4, RLE8}, BAD);
    add({1, 2, 24, {1, 2, 3, 0, 4, 5}}, BAD);                               // last row short of pixels
    add({2, -2, 8, {0, 1}, PAL4, RLE8}, BAD);                               // top-down run-length data
    add({2, 2, 8, Bytes(64, 0), {}, 0, {}, false, 40, 0x12345678}, BAD);     // packed colour table past the end
    add({1, 1, 32, {}, {}, FIELDS}, BAD);                                   // masks cut off by the end
    Bytes offset = buildBmp({2, 2, 24, Bytes(16, 0)}), truncated = offset;
    offset[10] = offset[11] = 0xFF;                                         // pixel offset past the end
    truncated.resize(40);                                                   // info header cut
    cases.insert(cases.end(), {{offset, BAD}, {truncated, BAD}});
    for (const auto &[file, error] : std::vector<std::pair<const char *, const char *>>{
             {"b/badbitcount.bmp", BAD}, {"b/badheadersize.bmp", UNKNOWN}, {"b/badplanes.bmp", BAD},
             {"b/badwidth.bmp", BAD}, {"b/reallybig.bmp", MEMORY}, {"b/rletopdown.bmp", BAD}, {"b/shortfile.bmp", BAD},
             {"q/pal8os2v2-16.bmp", UNKNOWN}, {"q/rgb24png.bmp", BAD}, {"q/rgb24jpeg.bmp", BAD}, {"q/pal2.bmp", BAD},
             {"q/rgba64.bmp", BAD}})
        cases.push_back({readFile(CORPUS / file), error});
    for (size_t i = 0; i < cases.size(); i++) {
        std::string errors;
        EXPECT_EQ(decodeSafely(cases[i].first, &errors), nullptr) << "case " << i;
        EXPECT_EQ(errors, std::string("Error: ") + cases[i].second + "\n") << "case " << i;
    }
}

TEST(BmpReader, LoadsAFileAndReportsOpenFailures)
{
    std::string directory = testing::TempDir(), path = directory + "bmp_test.bmp";
    Bytes bytes = buildBmp({1, 1, 24, {0xFF, 0, 0, 0}});
    std::ofstream(path, std::ios::binary).write((const char *)bytes.data(), (std::streamsize)bytes.size());
    std::unique_ptr<dib_image> image = load_dib_image(path.c_str());
    EXPECT_TRUE(image && pixelsOf(*image) == std::vector<Rgb>{B});

    std::ofstream(path, std::ios::trunc).close();  // an empty file cannot be mapped
    for (const std::string &name : {path, directory + "no_such_dir/missing.bmp", directory}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(load_dib_image(name.c_str()), nullptr) << name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Failed to open DIB file " + name + ".\n");
    }
    remove(path.c_str());
}

TEST(BmpCorpus, GoodFilesMatchTheReferenceImages)
{
    int compared = 0;
    for (const fs::path &path : bmpFiles("g")) {
        std::string name = path.filename().string(), errors;
        SCOPED_TRACE(name);
        std::unique_ptr<dib_image> image = decodeSafely(readFile(path), &errors);
        int width = 0, height = 0;
        Bytes reference = readPpm(CORPUS / "ref" / (path.stem().string() + ".ppm"), &width, &height);
        ASSERT_FALSE(reference.empty());
        ASSERT_TRUE(image && errors.empty() && image->width == width && std::abs(image->height) == height) << errors;
        // rows in file order (bottom first for a positive height) against the reference's top first
        size_t rowBytes = (size_t)width * 3;
        int worst = 0;
        for (int y = 0; y < height; y++) {
            size_t row = (size_t)(image->height > 0 ? height - 1 - y : y);
            for (size_t i = 0; i < rowBytes; i++)
                worst = std::max(worst, std::abs(image->pixels[row * rowBytes + i] - reference[(size_t)y * rowBytes + i]));
        }
        // 5- and 6-bit channels may be widened by bit copying instead of rounding
        EXPECT_EQ(worst, 0);
        compared++;
    }
    EXPECT_EQ(compared, 27);
}

TEST(BmpCorpus, QuestionableBadAndTruncatedFilesAreRefusedOrDecodedSafely)
{
    std::string errors;
    int files = 0;
    for (const char *folder : {"q", "b"}) {
        for (const fs::path &path : bmpFiles(folder)) {
            SCOPED_TRACE(path);
            decodeSafely(readFile(path), &errors);
            files++;
        }
    }
    EXPECT_EQ(files, 63);
    for (const fs::path &path : bmpFiles("g")) {
        SCOPED_TRACE(path);
        Bytes bytes = readFile(path);
        for (size_t length = 0; length < bytes.size(); length += (length < 1200 ? 1 : 97))
            decodeSafely(Bytes(bytes.begin(), bytes.begin() + (long)length), &errors);
    }
}
