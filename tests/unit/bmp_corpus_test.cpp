// The BMP reader on a corpus of files made by another program: good files against reference
// images, and questionable, bad and truncated files that must be refused or decoded safely.
#include "bmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
typedef std::vector<unsigned char> Bytes;

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
    std::sort(files.begin(), files.end());
    return files;
}

// Loads a file with the error stream captured
std::unique_ptr<dib_image> load(const fs::path &path, std::string *errors)
{
    testing::internal::CaptureStderr();
    std::unique_ptr<dib_image> image = load_dib_image(path.c_str());
    *errors = testing::internal::GetCapturedStderr();
    return image;
}

bool wellFormed(const dib_image &image)
{
    return image.width > 0 && image.height != 0 &&
           image.pixels.size() == (size_t)image.width * (size_t)std::abs((long)image.height) * 3;
}

}  // namespace

TEST(BmpCorpus, GoodFilesMatchTheReferenceImagesAndNewerHeadersAreUnknown)
{
    int compared = 0;
    for (const fs::path &path : bmpFiles("g")) {
        std::string name = path.filename().string(), errors;
        SCOPED_TRACE(name);
        std::unique_ptr<dib_image> image = load(path, &errors);
        if (name == "pal8v4.bmp" || name == "pal8v5.bmp") {  // 108- and 124-byte headers
            EXPECT_EQ(image, nullptr);
            EXPECT_EQ(errors, "Error: Unknown DIB file format.\n");
            continue;
        }
        int width = 0, height = 0;
        Bytes reference = readPpm(CORPUS / "ref" / (path.stem().string() + ".ppm"), &width, &height);
        ASSERT_FALSE(reference.empty());
        ASSERT_NE(image, nullptr) << errors;
        EXPECT_EQ(errors, "");
        ASSERT_EQ(image->width, width);
        ASSERT_EQ(std::abs(image->height), height);
        // 5- and 6-bit channels may be widened by bit copying instead of rounding
        int tolerance = name.rfind("rgb16", 0) == 0 ? 2 : 0, mismatches = 0;
        size_t rowBytes = (size_t)width * 3;
        for (int y = 0; y < height; y++) {
            int row = image->height > 0 ? height - 1 - y : y;
            for (size_t i = 0; i < rowBytes; i++) {
                int got = image->pixels[(size_t)row * rowBytes + i], want = reference[(size_t)y * rowBytes + i];
                if (std::abs(got - want) > tolerance && mismatches++ < 3)
                    ADD_FAILURE() << "row " << y << " byte " << i << ": " << got << " != " << want;
            }
        }
        compared++;
    }
    EXPECT_EQ(compared, 25);
}

TEST(BmpCorpus, QuestionableAndBadFilesAreRefusedOrDecodedSafely)
{
    // the files with a known outcome: the message, or "" for a safe decode
    const std::map<std::string, std::string> known = {
        {"b/badbitcount.bmp", "Image file conversion error."}, {"b/badheadersize.bmp", "Unknown DIB file format."},
        {"b/badplanes.bmp", "Image file conversion error."},   {"b/badwidth.bmp", "Image file conversion error."},
        {"b/reallybig.bmp", "Out of memory."},                 {"b/rletopdown.bmp", "Image file conversion error."},
        {"b/shortfile.bmp", "Image file conversion error."},   {"q/pal8os2v2-16.bmp", "Unknown DIB file format."},
        {"q/rgb24png.bmp", "Unknown DIB file format."},        {"q/pal2.bmp", "Image file conversion error."},
        {"q/rgba64.bmp", "Image file conversion error."},      {"b/badbitssize.bmp", ""},
        {"b/badpalettesize.bmp", ""},                          {"b/pal8badindex.bmp", ""},
    };
    int files = 0, checked = 0;
    for (const std::string folder : {"q", "b"}) {
        for (const fs::path &path : bmpFiles(folder)) {
            std::string name = folder + "/" + path.filename().string(), errors;
            std::unique_ptr<dib_image> image = load(path, &errors);
            files++;
            auto expected = known.find(name);
            if (expected != known.end()) {
                checked++;
                EXPECT_EQ(image == nullptr, !expected->second.empty()) << name << ": " << errors;
                if (!expected->second.empty()) {
                    EXPECT_EQ(errors, "Error: " + expected->second + "\n") << name;
                }
            }
            // either a well-formed image or exactly one error box
            bool oneBox = errors.rfind("Error: ", 0) == 0 && std::count(errors.begin(), errors.end(), '\n') == 1;
            EXPECT_TRUE(image ? wellFormed(*image) : oneBox) << name << ": " << errors;
        }
    }
    EXPECT_EQ(files, 63);
    EXPECT_EQ(checked, (int)known.size());
}

TEST(BmpCorpus, EveryTruncationOfTheGoodFilesIsSafe)
{
    testing::internal::CaptureStderr();
    for (const fs::path &path : bmpFiles("g")) {
        Bytes bytes = readFile(path);
        EXPECT_FALSE(bytes.empty()) << path;
        for (size_t length = 0; length < bytes.size(); length += (length < 1200 ? 1 : 97)) {
            // NOTE: a copy of exactly the kept length, so a read past it is caught by the sanitizer
            Bytes cut(bytes.begin(), bytes.begin() + (long)length);
            std::unique_ptr<dib_image> image = decode_dib_image(cut.data(), cut.size());
            EXPECT_TRUE(!image || wellFormed(*image)) << path << " cut at " << length;
        }
    }
    testing::internal::GetCapturedStderr();
}
