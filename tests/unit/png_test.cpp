// The PNG writer and reader of the screenshot tools: exact round trips through every row
// filter, files of other PNG kinds, and damaged or truncated files refused with a reason
// (run under AddressSanitizer: no read past the data).
#include "xdriver.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Scratch {
    std::string dir = xdriver::makeTempDir("png-test");
    ~Scratch() { xdriver::removeTree(dir); }
    std::string file(const std::string &name) const { return dir + "/" + name; }
};

void writeBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), (std::streamsize)bytes.size());
}

void putBigEndian(std::vector<uint8_t> &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((uint8_t)(value >> shift));
}

void chunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data)
{
    putBigEndian(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, (uint32_t)crc32(0, out.data() + start, (uInt)(out.size() - start)));
}

std::vector<uint8_t> header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour, uint8_t interlace = 0)
{
    std::vector<uint8_t> h;
    putBigEndian(h, width);
    putBigEndian(h, height);
    h.insert(h.end(), {depth, colour, 0, 0, interlace});
    return h;
}

std::vector<uint8_t> deflated(const std::vector<uint8_t> &raw)
{
    uLongf size = compressBound((uLong)raw.size());
    std::vector<uint8_t> packed(size);
    EXPECT_EQ(compress2(packed.data(), &size, raw.data(), (uLong)raw.size(), 6), Z_OK);
    packed.resize(size);
    return packed;
}

// A whole file from its header and raw (filtered) rows, the data split over two IDAT chunks
std::vector<uint8_t> pngFile(const std::vector<uint8_t> &ihdr, const std::vector<uint8_t> &raw,
                             const std::vector<std::pair<const char *, std::vector<uint8_t>>> &extra = {})
{
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(file, "IHDR", ihdr);
    for (const auto &e : extra) chunk(file, e.first, e.second);
    std::vector<uint8_t> packed = deflated(raw);
    size_t half = packed.size() / 2;
    chunk(file, "IDAT", std::vector<uint8_t>(packed.begin(), packed.begin() + (long)half));
    chunk(file, "IDAT", std::vector<uint8_t>(packed.begin() + (long)half, packed.end()));
    chunk(file, "IEND", {});
    return file;
}

// A picture with flat areas, gradients and noise, so that the writer picks different filters
xdriver::Image testPicture(int width, int height)
{
    xdriver::Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize((size_t)width * height * 3);
    uint32_t seed = 12345;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint8_t *p = &image.rgb[((size_t)y * width + x) * 3];
            seed = seed * 1103515245u + 12345u;
            if (y < height / 3) { p[0] = 200; p[1] = 40; p[2] = 40; }
            else if (y < 2 * height / 3) { p[0] = (uint8_t)(x * 3); p[1] = (uint8_t)(y * 5); p[2] = (uint8_t)(x + y); }
            else { p[0] = (uint8_t)(seed >> 16); p[1] = (uint8_t)(seed >> 8); p[2] = (uint8_t)(seed >> 24); }
        }
    return image;
}

}  // namespace

TEST(Png, WrittenPicturesReadBackExactly)
{
    Scratch scratch;
    for (auto size : {std::pair<int, int>{1, 1}, {3, 2}, {97, 61}, {256, 120}}) {
        xdriver::Image picture = testPicture(size.first, size.second);
        const std::string path = scratch.file("picture.png");
        ASSERT_TRUE(xdriver::writePng(picture, path));
        xdriver::Image back;
        std::string error;
        ASSERT_TRUE(xdriver::readPng(path, back, &error)) << error;
        EXPECT_EQ(back.width, picture.width);
        EXPECT_EQ(back.height, picture.height);
        EXPECT_EQ(back.rgb, picture.rgb) << size.first << "x" << size.second;
    }
}

TEST(Png, EveryRowFilterAndRgbaFilesAreRead)
{
    // 4 x 5 RGBA, one row per filter type 0 to 4, written by hand
    const int width = 4, height = 5, channels = 4;
    std::vector<uint8_t> pixels((size_t)width * height * channels);
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = (uint8_t)(i * 37 + 11);
    std::vector<uint8_t> raw;
    const size_t stride = (size_t)width * channels;
    for (int y = 0; y < height; y++) {
        raw.push_back((uint8_t)y);
        for (size_t i = 0; i < stride; i++) {
            int left = i >= (size_t)channels ? pixels[y * stride + i - channels] : 0;
            int up = y > 0 ? pixels[(y - 1) * stride + i] : 0;
            int upLeft = y > 0 && i >= (size_t)channels ? pixels[(y - 1) * stride + i - channels] : 0;
            int p = left + up - upLeft;
            int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
            int paeth = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
            int predictor[5] = {0, left, up, (left + up) / 2, paeth};
            raw.push_back((uint8_t)(pixels[y * stride + i] - predictor[y]));
        }
    }
    Scratch scratch;
    // an ancillary chunk in between is skipped
    writeBytes(scratch.file("rgba.png"), pngFile(header(width, height, 8, 6), raw, {{"tEXt", {'a', 0, 'b'}}}));
    xdriver::Image image;
    std::string error;
    ASSERT_TRUE(xdriver::readPng(scratch.file("rgba.png"), image, &error)) << error;
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, height);
    for (int p = 0; p < width * height; p++)
        for (int c = 0; c < 3; c++) EXPECT_EQ(image.rgb[(size_t)p * 3 + c], pixels[(size_t)p * 4 + c]) << p;
}

TEST(Png, DamagedAndForeignFilesAreRefusedWithAReason)
{
    Scratch scratch;
    const std::vector<uint8_t> raw = {0, 7, 7, 7, 9, 9, 9, 0, 7, 7, 7, 9, 9, 9};    // 2 x 2 RGB, filter 0
    auto refused = [&](const std::vector<uint8_t> &bytes, const std::string &reason) {
        writeBytes(scratch.file("bad.png"), bytes);
        xdriver::Image image;
        std::string error;
        EXPECT_FALSE(xdriver::readPng(scratch.file("bad.png"), image, &error)) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << "got \"" << error << "\", wanted \"" << reason << "\"";
        EXPECT_TRUE(image.empty());
    };

    const std::vector<uint8_t> good = pngFile(header(2, 2, 8, 2), raw);
    {
        writeBytes(scratch.file("good.png"), good);
        xdriver::Image image;
        ASSERT_TRUE(xdriver::readPng(scratch.file("good.png"), image));
    }
    refused({'G', 'I', 'F', '8', '9', 'a'}, "no signature");
    refused(pngFile(header(2, 2, 16, 2), raw), "not 8-bit RGB");
    refused(pngFile(header(2, 2, 8, 3), raw), "not 8-bit RGB");                 // palette
    refused(pngFile(header(2, 2, 8, 2, 1), raw), "interlace");
    refused(pngFile(header(0, 2, 8, 2), raw), "image size");
    refused(pngFile(header(100000, 100000, 8, 2), raw), "image size");
    refused(pngFile(header(2, 3, 8, 2), raw), "damaged image data");           // too little data
    refused(pngFile(header(2, 1, 8, 2), raw), "damaged image data");           // too much data
    std::vector<uint8_t> badFilter = raw;
    badFilter[0] = 9;
    refused(pngFile(header(2, 2, 8, 2), badFilter), "row filter");
    refused(pngFile(header(2, 2, 8, 2), raw, {{"ABCD", {1}}}), "critical chunk");

    // One flipped bit anywhere in a chunk's type or data fails its CRC
    std::vector<uint8_t> flipped = good;
    flipped[8 + 8 + 5] ^= 0x10;    // inside IHDR's data
    refused(flipped, "CRC");

    // Every truncation is refused, none is read past its end
    for (size_t length = 0; length < good.size(); length++)
        refused(std::vector<uint8_t>(good.begin(), good.begin() + (long)length), "");

    // A chunk length pointing past the end of the file
    std::vector<uint8_t> longChunk = good;
    longChunk[8] = 0x7F;
    refused(longChunk, "longer than the file");

    xdriver::Image none;
    std::string error;
    EXPECT_FALSE(xdriver::readPng(scratch.file("missing.png"), none, &error));
    EXPECT_EQ(error, "cannot read the file");
}
