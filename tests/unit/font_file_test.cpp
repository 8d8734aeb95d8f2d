// Reading the texture font file: a good file, truncated files and hostile headers.
#include "font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void put32(std::vector<unsigned char> &out, uint32_t v)
{
    for (int i = 0; i < 4; i++) out.push_back((unsigned char)(v >> (8 * i)));
}

void putFloat(std::vector<unsigned char> &out, float f)
{
    uint32_t bits;
    memcpy(&bits, &f, 4);
    put32(out, bits);
}

// A font file with the given header values and as many glyph records and image bytes as asked
std::vector<unsigned char> fontBytes(int width, int height, int first, int last, size_t glyphs, size_t imageBytes)
{
    std::vector<unsigned char> out;
    put32(out, 77);  // texture name: ignored
    put32(out, (uint32_t)width);
    put32(out, (uint32_t)height);
    put32(out, (uint32_t)first);
    put32(out, (uint32_t)last);
    put32(out, 0);
    for (size_t i = 0; i < glyphs; i++) {
        float values[6] = {1.0f + i, 1.8f, 0.1f, 0.9f, 0.2f, 0.8f};
        for (float v : values) putFloat(out, v);
    }
    for (size_t i = 0; i < imageBytes; i++) out.push_back((unsigned char)(i & 0xFF));
    return out;
}

class FontFile : public ::testing::Test {
protected:
    std::string path;
    void SetUp() override
    {
        char name[] = "/tmp/fontfile.XXXXXX";
        int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        path = name;
    }
    void TearDown() override { unlink(path.c_str()); }
    void write(const std::vector<unsigned char> &bytes)
    {
        FILE *f = fopen(path.c_str(), "wb");
        if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    int read(TextureFont &font, std::vector<unsigned char> &image)
    {
        return readTextureFont(path.c_str(), font, image);
    }
};

}  // namespace

TEST_F(FontFile, GoodFileIsReadWhole)
{
    write(fontBytes(4, 2, 32, 34, 3, 4 * 2 * 2));
    TextureFont font;
    std::vector<unsigned char> image;
    ASSERT_EQ(read(font, image), 1);
    EXPECT_EQ(font.textureName, 0);
    EXPECT_EQ(font.textureWidth, 4);
    EXPECT_EQ(font.textureHeight, 2);
    EXPECT_EQ(font.firstChar, 32);
    EXPECT_EQ(font.lastChar, 34);
    ASSERT_EQ(font.glyphs.size(), 3u);
    EXPECT_FLOAT_EQ(font.glyphs[2].dx, 3.0f);
    EXPECT_FLOAT_EQ(font.glyphs[1].dy, 1.8f);
    EXPECT_FLOAT_EQ(font.glyphs[0].ty2, 0.8f);
    ASSERT_EQ(image.size(), 16u);
    EXPECT_EQ(image[15], 15);
}

TEST_F(FontFile, TruncatedFilesAreRefused)
{
    std::vector<unsigned char> good = fontBytes(4, 2, 32, 34, 3, 16);
    for (size_t cut : {0ul, 10ul, 24ul, 24ul + 30, 24ul + 72, good.size() - 1}) {
        write(std::vector<unsigned char>(good.begin(), good.begin() + (long)cut));
        TextureFont font;
        std::vector<unsigned char> image;
        EXPECT_EQ(read(font, image), 0) << "cut at " << cut;
    }
}

TEST_F(FontFile, HostileHeadersAreRefused)
{
    struct { int width, height, first, last; } cases[] = {
        {4, 2, 40, 32},               // first character above the last
        {0, 2, 32, 34},               // no image
        {-4, 2, 32, 34},              // negative size
        {100000, 100000, 32, 34},     // an image far larger than the file
        {4, 2, -2000000000, 2000000000},  // a glyph table no file could hold
    };
    for (auto c : cases) {
        write(fontBytes(c.width, c.height, c.first, c.last, 3, 16));
        TextureFont font;
        std::vector<unsigned char> image;
        EXPECT_EQ(read(font, image), 0) << c.width << "x" << c.height << " " << c.first << ".." << c.last;
    }
}

TEST_F(FontFile, MissingFileIsRefused)
{
    TextureFont font;
    std::vector<unsigned char> image;
    EXPECT_EQ(readTextureFont("/nonexistent/arial.glf", font, image), 0);
}

TEST(FontLayout, AdvanceSkipsCharactersWithoutGlyph)
{
    // Without a loaded font nothing advances, and bytes above 127 are never looked up
    EXPECT_FLOAT_EQ(textAdvance("abc\xC3\xA9"), 0.0f);
}
