// The PNG writer and reader of the screenshot tools: exact round trips through every row
// filter, and damaged or truncated files refused with a reason (run under AddressSanitizer:
// no read past the data).
#include "xdriver.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Scratch {
    std::string dir = xdriver::makeTempDir("png-test");
    ~Scratch() { xdriver::removeTree(dir); }
    // Writes bytes to a file of the directory and returns its path
    std::string write(const Bytes &bytes) const
    {
        std::ofstream(dir + "/f.png", std::ios::binary).write((const char *)bytes.data(), (std::streamsize)bytes.size());
        return dir + "/f.png";
    }
};

void putBigEndian(Bytes &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((uint8_t)(value >> shift));
}

void chunk(Bytes &out, const char *type, const Bytes &data)
{
    putBigEndian(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, (uint32_t)crc32(0, out.data() + start, (uInt)(out.size() - start)));
}

Bytes header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour, uint8_t interlace = 0)
{
    Bytes h;
    putBigEndian(h, width), putBigEndian(h, height);
    h.insert(h.end(), {depth, colour, 0, 0, interlace});
    return h;
}

// A whole file from its header, extra chunks and raw (filtered) rows, the data over two IDATs
Bytes pngFile(const Bytes &ihdr, const Bytes &raw, const std::vector<std::pair<const char *, Bytes>> &extra = {})
{
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(file, "IHDR", ihdr);
    for (const auto &e : extra) chunk(file, e.first, e.second);
    uLongf size = compressBound((uLong)raw.size());
    Bytes packed(size);
    EXPECT_EQ(compress2(packed.data(), &size, raw.data(), (uLong)raw.size(), 6), Z_OK);
    chunk(file, "IDAT", Bytes(packed.begin(), packed.begin() + (long)size / 2));
    chunk(file, "IDAT", Bytes(packed.begin() + (long)size / 2, packed.begin() + (long)size));
    chunk(file, "IEND", {});
    return file;
}

}  // namespace

TEST(Png, WrittenPicturesReadBackExactly)
{
    Scratch scratch;
    for (auto size : {std::pair<int, int>{1, 1}, {3, 2}, {97, 61}}) {
        // flat, gradient and noisy thirds, so that the writer picks different filters
        xdriver::Image picture{size.first, size.second, Bytes((size_t)size.first * size.second * 3)}, back;
        uint32_t seed = 12345;
        for (size_t i = 0, n = picture.rgb.size(); i < n; i++)
            picture.rgb[i] = i < n / 3 ? 200 : i < 2 * n / 3 ? (uint8_t)(i * 7) : (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16);
        ASSERT_TRUE(xdriver::writePng(picture, scratch.dir + "/p.png"));
        std::string error;
        ASSERT_TRUE(xdriver::readPng(scratch.dir + "/p.png", back, &error)) << error;
        EXPECT_TRUE(back.width == picture.width && back.height == picture.height && back.rgb == picture.rgb)
            << size.first << "x" << size.second;
    }
}

TEST(Png, EveryRowFilterOfAnRgbaFileReadsBackExactly)
{
    const int width = 4, height = 3, stride = width * 4;
    Bytes pixels((size_t)stride * height);
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = (uint8_t)(i * 37 + 11);
    Scratch scratch;
    for (uint8_t filter = 0; filter <= 4; filter++) {
        Bytes raw;
        for (int y = 0; y < height; y++) {
            raw.push_back(filter);
            for (int i = 0; i < stride; i++) {
                int a = i >= 4 ? pixels[y * stride + i - 4] : 0, b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
                int c = y > 0 && i >= 4 ? pixels[(y - 1) * stride + i - 4] : 0, p = a + b - c;
                int paeth = abs(p - a) <= abs(p - b) && abs(p - a) <= abs(p - c) ? a : abs(p - b) <= abs(p - c) ? b : c;
                const int predictor[5] = {0, a, b, (a + b) / 2, paeth};
                raw.push_back((uint8_t)(pixels[y * stride + i] - predictor[filter]));
            }
        }
        // an ancillary chunk in between is skipped, the alpha dropped
        xdriver::Image image;
        std::string error;
        ASSERT_TRUE(xdriver::readPng(scratch.write(pngFile(header(width, height, 8, 6), raw, {{"tEXt", {'a', 0, 'b'}}})),
                                     image, &error)) << "filter " << (int)filter << ": " << error;
        ASSERT_TRUE(image.width == width && image.height == height);
        for (int p = 0; p < width * height; p++)
            for (int c = 0; c < 3; c++) EXPECT_EQ(image.rgb[p * 3 + c], pixels[p * 4 + c]) << "filter " << (int)filter;
    }
}

TEST(Png, DamagedAndForeignFilesAreRefusedWithAReason)
{
    Scratch scratch;
    const Bytes raw = {0, 7, 7, 7, 9, 9, 9, 0, 7, 7, 7, 9, 9, 9};    // 2 x 2 RGB, filter 0
    const Bytes good = pngFile(header(2, 2, 8, 2), raw);
    xdriver::Image image;
    ASSERT_TRUE(xdriver::readPng(scratch.write(good), image));

    Bytes badFilter = raw, flipped = good, longChunk = good;
    badFilter[0] = 9;
    flipped[8 + 8 + 5] ^= 0x10;    // a bit inside IHDR's data
    longChunk[8] = 0x7F;           // IHDR's length past the end of the file
    std::vector<std::pair<Bytes, std::string>> cases = {
        {{'G', 'I', 'F', '8', '9', 'a'}, "no signature"},
        {pngFile(header(2, 2, 16, 2), raw), "not 8-bit RGB"},
        {pngFile(header(2, 2, 8, 3), raw), "not 8-bit RGB"},    // palette
        {pngFile(header(2, 2, 8, 2, 1), raw), "interlace"},
        {pngFile(header(0, 2, 8, 2), raw), "image size"},
        {pngFile(header(100000, 100000, 8, 2), raw), "image size"},
        {pngFile(header(2, 3, 8, 2), raw), "damaged image data"},    // too little data
        {pngFile(header(2, 1, 8, 2), raw), "damaged image data"},    // too much data
        {pngFile(header(2, 2, 8, 2), badFilter), "row filter"},
        {pngFile(header(2, 2, 8, 2), raw, {{"ABCD", {1}}}), "critical chunk"},
        {flipped, "CRC"},
        {longChunk, "longer than the file"},
    };
    // every truncation is refused, none is read past its end
    for (size_t length = 0; length < good.size(); length++) cases.push_back({Bytes(good.begin(), good.begin() + (long)length), ""});
    for (const auto &c : cases) {
        xdriver::Image image;
        std::string error;
        EXPECT_FALSE(xdriver::readPng(scratch.write(c.first), image, &error)) << c.second;
        EXPECT_NE(error.find(c.second), std::string::npos) << "got \"" << error << "\", wanted \"" << c.second << "\"";
        EXPECT_TRUE(image.empty());
    }
    std::string error;
    EXPECT_FALSE(xdriver::readPng(scratch.dir + "/missing.png", image, &error));
    EXPECT_EQ(error, "cannot read the file");
}
