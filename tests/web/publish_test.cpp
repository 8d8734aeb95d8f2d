// stageworks-publish as a program: the folder it writes for the demo scene (the page's files,
// the compiled engine, scene.json, the geometry as the editor draws it, every texture with
// the mipmap levels the editor's GLU call makes), its arguments and help, and what it does
// with what it cannot handle: a missing bitmap (the export's message, no folder), a scene
// the loader refuses (the loader's message, an existing folder kept as it was), and an
// existing folder that it did not write (left alone).
#include "bmp.h"
#include "web_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using nlohmann::json;

// A fresh copy of the run data (the demo scene with its bitmaps and font)
std::string demoCopy()
{
    const std::string dir = xdriver::makeTempDir("stageworks-publish-test");
    return !dir.empty() && xdriver::copyTree(SW_RUNDATA_DIR, dir) ? dir : std::string();
}

int runPublish(const std::vector<std::string> &args, std::string &out, std::string &err, const std::string &cwd)
{
    xdriver::ChildProcess tool;
    std::vector<std::string> argv = {SW_PUBLISH_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    if (!tool.spawn(argv, cwd, "")) return -1;
    const bool ended = tool.waitExit(120000);
    out = tool.out;
    err = tool.err;
    return ended ? tool.exitStatus : -1;
}

bool exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// Names in a directory that start with prefix
int entriesStartingWith(const std::string &dir, const std::string &prefix)
{
    int count = 0;
    DIR *d = opendir(dir.c_str());
    if (d == nullptr) return -1;
    while (dirent *e = readdir(d))
        if (strncmp(e->d_name, prefix.c_str(), prefix.size()) == 0) count++;
    closedir(d);
    return count;
}

uint32_t word(const std::string &bytes, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; i--) v = v << 8 | (unsigned char)bytes.at(at + (size_t)i);
    return v;
}

}  // namespace

TEST(Publish, DemoFolderHoldsThePageTheSceneAndTheEditorsTexels)
{
    const std::string dir = demoCopy();
    ASSERT_FALSE(dir.empty());
    const std::string out = dir + "/web";
    std::string stdoutText, stderrText;
    ASSERT_EQ(runPublish({dir, out}, stdoutText, stderrText, dir), 0) << stderrText;
    EXPECT_NE(stdoutText.find("30 objects written"), std::string::npos) << stdoutText;
    for (const char *file : {"index.html", "player/main.mjs", "player/renderer.mjs", "player/engine.mjs",
                             "player/stageworks-engine.mjs", "player/stageworks-engine.wasm", "data/font.glf"})
        EXPECT_TRUE(exists(out + "/" + file)) << file;

    std::string text;
    ASSERT_TRUE(xdriver::readFile(out + "/scene.json", text));
    const json scene = json::parse(text);
    const json &render = scene.at("render");
    ASSERT_EQ(render.at("objects").size(), 30u);
    ASSERT_EQ(scene.at("objects").size(), 30u);

    // The geometry file is whole and every object's runs lie inside it
    std::string geometry;
    ASSERT_TRUE(xdriver::readFile(out + "/" + render.at("geometry").at("file").get<std::string>(), geometry));
    const json &g = render.at("geometry");
    ASSERT_EQ(geometry.size(), g.at("bytes").get<size_t>());
    const size_t vertices = g.at("indexOffset").get<size_t>() / 32;
    const size_t indices = (g.at("planeOffset").get<size_t>() - g.at("indexOffset").get<size_t>()) / 4;
    for (const json &o : render.at("objects")) {
        EXPECT_LE(o.at("firstVertex").get<size_t>() + o.at("vertexCount").get<size_t>(), vertices);
        for (const json &part : o.at("parts")) {
            const size_t first = o.at("firstIndex").get<size_t>() + part.at("first").get<size_t>();
            ASSERT_LE(first + part.at("count").get<size_t>(), indices);
            for (size_t i = first; i < first + part.at("count").get<size_t>(); i++)
                ASSERT_LT(word(geometry, g.at("indexOffset").get<size_t>() + i * 4), o.at("vertexCount").get<uint32_t>());
        }
    }
    // The brick cube (slot 20): six quads, each split as Mesa splits a compiled quad
    const json &cube = render.at("objects").at(20);
    EXPECT_EQ(cube.at("vertexCount"), 24);
    ASSERT_EQ(cube.at("parts").size(), 1u);
    EXPECT_EQ(cube.at("parts").at(0).at("count"), 36);
    const size_t cubeIndices = g.at("indexOffset").get<size_t>() + cube.at("firstIndex").get<size_t>() * 4;
    const uint32_t expected[6] = {0, 1, 3, 1, 2, 3};
    for (int i = 0; i < 6; i++) EXPECT_EQ(word(geometry, cubeIndices + (size_t)i * 4), expected[i]);
    // The ground tiles are open plates drawn from both sides
    EXPECT_FALSE(render.at("objects").at(0).at("parts").at(0).at("cull").get<bool>());

    // The sun has a complete material of its own: its yellowish diffuse colour and the other
    // values of the default material (the demo's as the editor left it), whatever comes before it
    const json &sun = render.at("sun").at("material");
    EXPECT_EQ(sun.at("diffuse"), json::array({0.9f, 0.9f, 0.4f, 1.0f}));
    const json *defaultMaterial = nullptr;
    for (const json &m : render.at("materials"))
        if (m.at("name") == "(default)") defaultMaterial = &m;
    ASSERT_NE(defaultMaterial, nullptr);
    for (const char *value : {"ambient", "specular", "emission", "shininess"})
        EXPECT_EQ(sun.at(value), defaultMaterial->at(value)) << value;

    // Every texture: level 0 the bitmap's own texels, each further level the 2 x 2 box of the one above
    ASSERT_EQ(render.at("textures").size(), 10u);
    for (const json &t : render.at("textures")) {
        SCOPED_TRACE(t.at("path").get<std::string>());
        std::string bytes;
        ASSERT_TRUE(xdriver::readFile(out + "/" + t.at("file").get<std::string>(), bytes));
        ASSERT_EQ(bytes.size(), t.at("bytes").get<size_t>());
        ASSERT_EQ(bytes.substr(0, 4), "SWMM");
        ASSERT_EQ(word(bytes, 4), 9u);   // 256 x 256 down to 1 x 1
        std::unique_ptr<dib_image> image = load_dib_image((dir + "/" + t.at("path").get<std::string>()).c_str());
        ASSERT_TRUE(image);
        ASSERT_EQ(word(bytes, 8), 256u);
        const size_t level0 = 8 + 9 * 8;
        ASSERT_EQ(memcmp(bytes.data() + level0, image->pixels.data(), 256 * 256 * 3), 0);
        const size_t level1 = level0 + 256 * 256 * 3;
        for (int y = 0; y < 128; y += 37) {
            for (int x = 0; x < 128; x += 29) {
                for (int c = 0; c < 3; c++) {
                    int sum = 0;
                    for (int k = 0; k < 4; k++)
                        sum += (unsigned char)bytes[level0 + (size_t)(((2 * y + k / 2) * 256 + 2 * x + k % 2) * 3 + c)];
                    EXPECT_NEAR((unsigned char)bytes[level1 + (size_t)((y * 128 + x) * 3 + c)], sum / 4.0, 1.0);
                }
            }
        }
    }
    xdriver::removeTree(dir);
}

// A 24-bit BMP of width x height whose pixel (x, y) is (x * 40, y * 60, 200)
std::string smallBitmap(int width, int height)
{
    const int row = (width * 3 + 3) / 4 * 4;
    std::string b = "BM";
    auto put = [&](uint32_t v, int n) { for (int i = 0; i < n; i++) b.push_back((char)(v >> (8 * i) & 0xFF)); };
    put(54 + (uint32_t)(row * height), 4); put(0, 4); put(54, 4);
    put(40, 4); put((uint32_t)width, 4); put((uint32_t)height, 4); put(1, 2); put(24, 2);
    for (int i = 0; i < 6; i++) put(0, 4);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) { b.push_back((char)200); b.push_back((char)(y * 60)); b.push_back((char)(x * 40)); }
        for (int p = width * 3; p < row; p++) b.push_back(0);
    }
    return b;
}

TEST(Publish, ABitmapOfOtherSidesIsScaledAsGluDoesBeforeItsLevels)
{
    const std::string dir = demoCopy();
    ASSERT_FALSE(dir.empty());
    std::ofstream(dir + "/Data/marmol.bmp", std::ios::binary) << smallBitmap(5, 3);
    std::string out, err;
    ASSERT_EQ(runPublish({dir, dir + "/web"}, out, err, dir), 0) << err;
    std::string text, bytes;
    ASSERT_TRUE(xdriver::readFile(dir + "/web/scene.json", text));
    const json scene = json::parse(text);
    for (const json &t : scene.at("render").at("textures")) {
        if (t.at("path").get<std::string>() != "Data/marmol.bmp") continue;
        ASSERT_TRUE(xdriver::readFile(dir + "/web/" + t.at("file").get<std::string>(), bytes));
    }
    // 5 x 3 becomes 4 x 4 (the nearest powers of two), then 2 x 2 and 1 x 1
    ASSERT_GE(bytes.size(), 32u);
    EXPECT_EQ(word(bytes, 4), 3u);
    EXPECT_EQ(word(bytes, 8), 4u);
    EXPECT_EQ(word(bytes, 12), 4u);
    EXPECT_EQ(word(bytes, 24), 1u);
    EXPECT_EQ(bytes.size(), 8u + 3 * 8 + (16 + 4 + 1) * 3);
    // the scaled image keeps the bitmap's colours: blue is 200 everywhere, red grows to the right
    EXPECT_EQ((unsigned char)bytes[32 + 2], 200);
    EXPECT_LT((unsigned char)bytes[32 + 0], (unsigned char)bytes[32 + 3 * 3 + 0]);
    xdriver::removeTree(dir);
}

TEST(Publish, ABitmapThatIsNotThereOrLiesOutsideLeavesNoFolderAndSaysWhich)
{
    const std::string dir = demoCopy();
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(std::remove((dir + "/Data/agua2.bmp").c_str()), 0);
    std::string out, err;
    EXPECT_EQ(runPublish({dir, dir + "/web"}, out, err, dir), 1);
    EXPECT_NE(err.find("stageworks-publish: material 'agua': the bitmap \"Data/agua2.bmp\": "), std::string::npos) << err;
    EXPECT_NE(err.find("; nothing was written"), std::string::npos) << err;
    const std::string missing = err.substr(err.find("the bitmap"));
    EXPECT_FALSE(exists(dir + "/web"));
    EXPECT_EQ(entriesStartingWith(dir, ".stageworks-publish"), 0) << "a scratch folder was left behind";

    // a good bitmap outside the scene, reached by a link, is neither read nor hinted at
    const std::string outside = dir + "-fuera.bmp";
    std::ifstream good(dir + "/Data/agua1.bmp", std::ios::binary);
    std::ofstream(outside, std::ios::binary) << good.rdbuf();
    ASSERT_EQ(symlink(outside.c_str(), (dir + "/Data/agua2.bmp").c_str()), 0);
    EXPECT_EQ(runPublish({dir, dir + "/web"}, out, err, dir), 1);
    EXPECT_NE(err.find("material 'agua': the bitmap \"Data/agua2.bmp\": "), std::string::npos) << err;
    EXPECT_EQ(err.substr(err.find("the bitmap")), missing) << "the message tells an outside file from a missing one";
    EXPECT_FALSE(exists(dir + "/web"));
    std::remove(outside.c_str());
    xdriver::removeTree(dir);
}

TEST(Publish, ASceneTheLoaderRefusesKeepsTheOldFolderAsItWas)
{
    const std::string dir = demoCopy();
    ASSERT_FALSE(dir.empty());
    const std::string web = dir + "/web";
    std::string out, err;
    ASSERT_EQ(runPublish({dir, web}, out, err, dir), 0) << err;
    std::string before;
    ASSERT_TRUE(xdriver::readFile(web + "/scene.json", before));

    std::ofstream(dir + "/escena.xml") << "<?xml version=\"1.0\"?>\n<escena><broken></escena>\n";
    EXPECT_EQ(runPublish({dir, web}, out, err, dir), 1);
    EXPECT_NE(err.find("Failed to parse escena.xml"), std::string::npos) << err;
    EXPECT_NE(err.find("could not be read; nothing was written"), std::string::npos) << err;
    std::string after;
    ASSERT_TRUE(xdriver::readFile(web + "/scene.json", after));
    EXPECT_TRUE(after == before);
    EXPECT_EQ(entriesStartingWith(dir, ".stageworks-publish"), 0);
    xdriver::removeTree(dir);
}

TEST(Publish, OnlyAnEmptyOrPublishedFolderIsReplaced)
{
    const std::string dir = demoCopy();
    ASSERT_FALSE(dir.empty());
    std::string out, err;
    // someone else's folder stays as it was
    const std::string other = dir + "/photos";
    ASSERT_EQ(mkdir(other.c_str(), 0755), 0);
    std::ofstream(other + "/holiday.txt") << "keep me";
    EXPECT_EQ(runPublish({dir, other}, out, err, dir), 1);
    EXPECT_NE(err.find("did not write; it is left alone"), std::string::npos) << err;
    EXPECT_TRUE(exists(other + "/holiday.txt"));
    EXPECT_FALSE(exists(other + "/index.html"));

    // a published folder is replaced whole: what was added to it is gone
    const std::string web = dir + "/web";
    ASSERT_EQ(runPublish({dir, web + "/"}, out, err, dir), 0) << err;
    std::ofstream(web + "/stale.txt") << "old";
    ASSERT_EQ(runPublish({dir, web}, out, err, dir), 0) << err;
    EXPECT_TRUE(exists(web + "/index.html"));
    EXPECT_FALSE(exists(web + "/stale.txt"));
    EXPECT_EQ(entriesStartingWith(dir, ".stageworks-publish"), 0);

    // DIR defaults to the working directory
    ASSERT_EQ(runPublish({"again"}, out, err, dir), 0) << err;
    EXPECT_TRUE(exists(dir + "/again/scene.json"));
    xdriver::removeTree(dir);
}

TEST(Publish, ArgumentsHelpAndVersion)
{
    std::string out, err;
    EXPECT_EQ(runPublish({}, out, err, "/tmp"), 2);
    EXPECT_NE(err.find("Usage: stageworks-publish [DIR] OUTDIR"), std::string::npos);
    EXPECT_EQ(runPublish({"a", "b", "c"}, out, err, "/tmp"), 2);
    EXPECT_EQ(runPublish({"--fast", "out"}, out, err, "/tmp"), 2);
    EXPECT_NE(err.find("unknown option '--fast'"), std::string::npos);
    EXPECT_EQ(runPublish({"--help"}, out, err, "/tmp"), 0);
    EXPECT_NE(out.find("python3 -m http.server"), std::string::npos);
    EXPECT_EQ(runPublish({"--version"}, out, err, "/tmp"), 0);
    EXPECT_EQ(out, std::string("stageworks-publish ") + SW_VERSION + "\n");
}
