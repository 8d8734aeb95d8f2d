// Reading the texture font file: a good file, and a table of truncated, hostile and missing files.
#include "font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

// A font file with the given header values (texture name 77: ignored), three glyph records and 16 image bytes
Bytes fontBytes(int width, int height, int first, int last)
{
    Bytes out;
    auto put = [&out](uint32_t v) { for (int i = 0; i < 4; i++) out.push_back((unsigned char)(v >> (8 * i))); };
    for (int v : {77, width, height, first, last, 0}) put((uint32_t)v);
    for (int i = 0; i < 3; i++)
        for (float f : {1.0f + i, 1.8f, 0.1f, 0.9f, 0.2f, 0.8f}) {
            uint32_t bits;
            memcpy(&bits, &f, 4);
            put(bits);
        }
    for (int i = 0; i < 16; i++) out.push_back((unsigned char)i);
    return out;
}

// Writes the bytes to a file and reads it back as a font
int readFont(const Bytes &bytes, TextureFont &font, Bytes &image)
{
    std::string path = testing::TempDir() + "font_file_test.glf";
    std::ofstream(path, std::ios::binary).write((const char *)bytes.data(), (std::streamsize)bytes.size());
    int result = readTextureFont(path.c_str(), font, image);
    std::remove(path.c_str());
    return result;
}

}  // namespace

TEST(FontFile, GoodFileIsReadWholeAndCorruptOnesAreRefused)
{
    TextureFont font;
    Bytes image, good = fontBytes(4, 2, 32, 34);
    ASSERT_EQ(readFont(good, font, image), 1);
    EXPECT_EQ(font.textureName, 0);
    EXPECT_EQ((std::vector<int>{font.textureWidth, font.textureHeight, font.firstChar, font.lastChar}),
              (std::vector<int>{4, 2, 32, 34}));
    ASSERT_EQ(font.glyphs.size(), 3u);
    EXPECT_TRUE(font.glyphs[2].dx == 3.0f && font.glyphs[1].dy == 1.8f && font.glyphs[0].ty2 == 0.8f);
    EXPECT_EQ(image, (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    std::vector<std::pair<std::string, Bytes>> cases = {
        {"first character above the last", fontBytes(4, 2, 40, 32)},
        {"no image", fontBytes(0, 2, 32, 34)},
        {"negative size", fontBytes(-4, 2, 32, 34)},
        {"an image far larger than the file", fontBytes(100000, 100000, 32, 34)},
        {"a glyph table no file could hold", fontBytes(4, 2, -2000000000, 2000000000)},
    };
    for (size_t cut : {0ul, 10ul, 24ul, 24ul + 30, 24ul + 72, good.size() - 1})
        cases.push_back({"cut at " + std::to_string(cut), Bytes(good.begin(), good.begin() + (long)cut)});
    for (const auto &c : cases) EXPECT_EQ(readFont(c.second, font, image), 0) << c.first;
    EXPECT_EQ(readTextureFont("/nonexistent/arial.glf", font, image), 0);
    // without a loaded font nothing advances, and bytes above 127 are never looked up
    EXPECT_FLOAT_EQ(textAdvance("abc\xC3\xA9"), 0.0f);
}
