// The BMP reader on a corpus of files made by another program: good files against reference
// images, and questionable, bad and truncated files that must be refused or decoded safely.
#include "bmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
typedef std::vector<unsigned char> Bytes;

const fs::path CORPUS = SW_BMPSUITE_DIR;

// A binary PPM (P6, 8 bits), rows top to bottom
struct Ppm {
    int width = 0;
    int height = 0;
    Bytes pixels;
};

Bytes readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Next header number of a PPM, skipping white space and comments
bool ppmNumber(const Bytes &bytes, size_t *at, int *value)
{
    while (*at < bytes.size()) {
        if (bytes[*at] == '#') {
            while (*at < bytes.size() && bytes[*at] != '\n') (*at)++;
        } else if (isspace(bytes[*at])) {
            (*at)++;
        } else {
            break;
        }
    }
    size_t start = *at;
    *value = 0;
    while (*at < bytes.size() && isdigit(bytes[*at])) *value = *value * 10 + (bytes[(*at)++] - '0');
    return *at > start;
}

bool readPpm(const fs::path &path, Ppm *ppm)
{
    Bytes bytes = readFile(path);
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') return false;
    size_t at = 2;
    int maximum = 0;
    if (!ppmNumber(bytes, &at, &ppm->width) || !ppmNumber(bytes, &at, &ppm->height) ||
        !ppmNumber(bytes, &at, &maximum) || maximum != 255) return false;
    at++;  // the single white-space byte before the samples
    size_t length = (size_t)ppm->width * (size_t)ppm->height * 3;
    if (bytes.size() < at + length) return false;
    ppm->pixels.assign(bytes.begin() + (long)at, bytes.begin() + (long)(at + length));
    return true;
}

std::vector<fs::path> bmpFiles(const std::string &folder)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(CORPUS / folder)) {
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Loads a file with the error stream captured
std::unique_ptr<dib_image> loadCapturing(const fs::path &path, std::string *errors)
{
    testing::internal::CaptureStderr();
    std::unique_ptr<dib_image> image = load_dib_image(path.c_str());
    *errors = testing::internal::GetCapturedStderr();
    return image;
}

// Either a well-formed image or exactly one error box
void expectImageOrError(const std::unique_ptr<dib_image> &image, const std::string &errors)
{
    if (image) {
        EXPECT_GT(image->width, 0);
        EXPECT_NE(image->height, 0);
        EXPECT_EQ(image->pixels.size(), (size_t)image->width * (size_t)std::abs((long)image->height) * 3);
    } else {
        EXPECT_EQ(errors.rfind("Error: ", 0), 0u) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    }
}

const std::set<std::string> NEWER_HEADERS = {"pal8v4.bmp", "pal8v5.bmp"};

//----------------------------------------------------------------------------------
// Good files
//----------------------------------------------------------------------------------

TEST(BmpCorpus, GoodFilesMatchTheReferenceImages)
{
    int compared = 0;
    for (const fs::path &path : bmpFiles("g")) {
        std::string name = path.filename().string();
        if (NEWER_HEADERS.count(name)) continue;
        SCOPED_TRACE(name);
        Ppm reference;
        ASSERT_TRUE(readPpm(CORPUS / "ref" / (path.stem().string() + ".ppm"), &reference));
        std::string errors;
        std::unique_ptr<dib_image> image = loadCapturing(path, &errors);
        ASSERT_NE(image, nullptr) << errors;
        EXPECT_EQ(errors, "");
        ASSERT_EQ(image->width, reference.width);
        ASSERT_EQ(std::abs(image->height), reference.height);
        ASSERT_EQ(image->pixels.size(), reference.pixels.size());
        // 5- and 6-bit channels may be widened by bit copying instead of rounding
        int tolerance = name.rfind("rgb16", 0) == 0 ? 2 : 0;
        size_t rowBytes = (size_t)reference.width * 3;
        int mismatches = 0;
        for (int y = 0; y < reference.height; y++) {
            int row = image->height > 0 ? reference.height - 1 - y : y;
            for (size_t i = 0; i < rowBytes; i++) {
                int got = image->pixels[(size_t)row * rowBytes + i];
                int want = reference.pixels[(size_t)y * rowBytes + i];
                if (std::abs(got - want) > tolerance && mismatches++ < 3) {
                    ADD_FAILURE() << "row " << y << " byte " << i << ": " << got << " != " << want;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        compared++;
    }
    EXPECT_EQ(compared, 25);
}

TEST(BmpCorpus, NewerHeadersAreUnknown)
{
    for (const std::string &name : NEWER_HEADERS) {
        std::string errors;
        std::unique_ptr<dib_image> image = loadCapturing(CORPUS / "g" / name, &errors);
        EXPECT_EQ(image, nullptr) << name;
        EXPECT_EQ(errors, "Error: Unknown DIB file format.\n") << name;
    }
}

//----------------------------------------------------------------------------------
// Questionable, bad and truncated files
//----------------------------------------------------------------------------------

TEST(BmpCorpus, QuestionableAndBadFilesAreRefusedOrDecodedSafely)
{
    int files = 0;
    for (const std::string folder : {"q", "b"}) {
        for (const fs::path &path : bmpFiles(folder)) {
            SCOPED_TRACE(path.filename().string());
            std::string errors;
            std::unique_ptr<dib_image> image = loadCapturing(path, &errors);
            expectImageOrError(image, errors);
            files++;
        }
    }
    EXPECT_EQ(files, 63);
}

TEST(BmpCorpus, BadFilesGetTheFittingMessage)
{
    struct Expected { const char *file; const char *text; };
    const Expected cases[] = {
        {"b/badbitcount.bmp", "Image file conversion error."},
        {"b/badheadersize.bmp", "Unknown DIB file format."},
        {"b/badplanes.bmp", "Image file conversion error."},
        {"b/badwidth.bmp", "Image file conversion error."},
        {"b/reallybig.bmp", "Out of memory."},
        {"b/rletopdown.bmp", "Image file conversion error."},
        {"b/shortfile.bmp", "Image file conversion error."},
        {"q/pal8os2v2-16.bmp", "Unknown DIB file format."},
        {"q/rgb24png.bmp", "Unknown DIB file format."},
        {"q/pal2.bmp", "Image file conversion error."},
        {"q/rgba64.bmp", "Image file conversion error."},
    };
    for (const Expected &expected : cases) {
        std::string errors;
        std::unique_ptr<dib_image> image = loadCapturing(CORPUS / expected.file, &errors);
        EXPECT_EQ(image, nullptr) << expected.file;
        EXPECT_EQ(errors, std::string("Error: ") + expected.text + "\n") << expected.file;
    }
    // a huge stored image size, a lying colour count and bad indices still decode
    for (const char *file : {"b/badbitssize.bmp", "b/badpalettesize.bmp", "b/pal8badindex.bmp"}) {
        std::string errors;
        std::unique_ptr<dib_image> image = loadCapturing(CORPUS / file, &errors);
        EXPECT_NE(image, nullptr) << file << ": " << errors;
    }
}

TEST(BmpCorpus, EveryTruncationOfTheGoodFilesIsSafe)
{
    for (const fs::path &path : bmpFiles("g")) {
        SCOPED_TRACE(path.filename().string());
        Bytes bytes = readFile(path);
        ASSERT_FALSE(bytes.empty());
        testing::internal::CaptureStderr();
        for (size_t length = 0; length < bytes.size(); length += (length < 1200 ? 1 : 97)) {
            // NOTE: a copy of exactly the kept length, so a read past it is caught by the sanitizer
            Bytes cut(bytes.begin(), bytes.begin() + (long)length);
            std::unique_ptr<dib_image> image = decode_dib_image(cut.data(), cut.size());
            if (image) {
                ASSERT_EQ(image->pixels.size(), (size_t)image->width * (size_t)std::abs((long)image->height) * 3);
            }
        }
        testing::internal::GetCapturedStderr();
    }
}

} // namespace
