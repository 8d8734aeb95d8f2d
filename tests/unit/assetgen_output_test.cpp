// A full run of the asset generator into a temporary directory: every file the program
// opens is there and is a valid 24-bit BMP, button states differ, the texture font file
// has the layout and metrics the HUD needs, and a second run writes the same bytes.
#include "assetgen_test_support.h"
#include "generate.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

using namespace assetgen_test;

namespace {

// Bitmaps the program opens by name, grouped by the button they make up (states in order)
const std::vector<std::vector<std::string>> &buttonGroups()
{
    static std::vector<std::vector<std::string>> groups;
    if (!groups.empty()) return groups;
    const char *stems[] = {"clonacion", "bloquear", "eliminar", "Apariencia", "translacion", "rotacion",
                           "EscaladoUni", "EscaladoDir", "play", "load", "save", "exit", "navegacion",
                           "edObjetos", "eventos", "cambiarMaterial", "solido", "Promedio", "malla"};
    for (const char *s : stems) groups.push_back({std::string(s) + "Up.bmp", std::string(s) + "Move.bmp", std::string(s) + "Down.bmp"});
    const char *solids[] = {"cubo", "piramide", "trapecio", "rectangulo", "paralelepipedo", "triangulo",
                            "circulo", "medio circulo", "cilindro", "medio cilindro", "esfera", "media esfera"};
    for (const char *s : solids) groups.push_back({std::string(s) + ".bmp", std::string(s) + "Selected.bmp"});
    for (const char *s : {"flags", "nuevo", "borrar", "nextEvent"})
        groups.push_back({std::string(s) + "1.bmp", std::string(s) + "2.bmp", std::string(s) + "3.bmp"});
    for (const char *s : {"IF", "AND", "THEN", "X"})
        groups.push_back({std::string(s) + ".bmp", std::string(s) + "2.bmp", std::string(s) + "3.bmp"});
    groups.push_back({"Arriba2.bmp", "Arriba3.bmp", "Arriba4.bmp"});
    groups.push_back({"flecha1.bmp", "flecha2.bmp", "flecha3.bmp", "flecha4.bmp"});
    groups.push_back({"agua1.bmp", "agua2.bmp", "agua3.bmp"});
    return groups;
}

const std::vector<std::string> singleBitmaps = {
    "izpos2.bmp", "iypos2.bmp", "menuPrimitiva.bmp", "menuOperation.bmp", "menuFile.bmp", "menuOpEsp.bmp",
    "menuApariencia.bmp", "events1.bmp", "ladrillo.bmp", "madera.bmp", "suelo.bmp", "cesped.bmp", "marmol.bmp",
};

float f32(const std::vector<uint8_t> &b, size_t at)
{
    uint32_t bits = u32(b, at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

struct Glyph {
    float dx, dy, tx1, ty1, tx2, ty2;
};

struct ParsedFont {
    uint32_t width = 0, height = 0, first = 0, last = 0;
    std::vector<Glyph> glyphs;
    size_t imageOffset = 0;
};

// Fixture: one generation per test process, shared by its tests
class GeneratedAssets : public ::testing::Test {
protected:
    static TempDir *dir;
    static bool generated;
    static std::string error;
    static int files;

    static void SetUpTestSuite()
    {
        dir = new TempDir;
        generated = !dir->path.empty() && generateAssets(dir->path, error, files);
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(generated) << error; }

    static std::string data(const std::string &name) { return dir->path + "/Data/" + name; }

    static ParsedFont parseFont(const std::vector<uint8_t> &b)
    {
        ParsedFont f;
        if (b.size() < 24) return f;
        f.width = u32(b, 4);
        f.height = u32(b, 8);
        f.first = u32(b, 12);
        f.last = u32(b, 16);
        if (f.last < f.first || f.last > 255) return f;
        size_t count = f.last - f.first + 1;
        if (b.size() < 24 + count * 24) return f;
        for (size_t i = 0; i < count; i++) {
            size_t at = 24 + i * 24;
            f.glyphs.push_back({f32(b, at), f32(b, at + 4), f32(b, at + 8), f32(b, at + 12), f32(b, at + 16), f32(b, at + 20)});
        }
        f.imageOffset = 24 + count * 24;
        return f;
    }

    // Largest alpha inside a glyph's texture rectangle (rows stored bottom first, t = 0 at row 0)
    static int maxAlphaInGlyph(const std::vector<uint8_t> &b, const ParsedFont &f, const Glyph &g)
    {
        int x0 = static_cast<int>(g.tx1 * f.width + 0.5f), x1 = static_cast<int>(g.tx2 * f.width + 0.5f);
        int r0 = static_cast<int>(g.ty2 * f.height + 0.5f), r1 = static_cast<int>(g.ty1 * f.height + 0.5f);
        int best = 0;
        for (int r = r0; r < r1; r++)
            for (int x = x0; x < x1; x++)
                best = std::max(best, static_cast<int>(b[f.imageOffset + (static_cast<size_t>(r) * f.width + x) * 2 + 1]));
        return best;
    }
};

TempDir *GeneratedAssets::dir = nullptr;
bool GeneratedAssets::generated = false;
std::string GeneratedAssets::error;
int GeneratedAssets::files = 0;

}  // namespace

TEST_F(GeneratedAssets, EveryBitmapTheProgramOpensIsAValid24BitBmp)
{
    std::vector<std::string> names = singleBitmaps;
    for (const auto &group : buttonGroups()) names.insert(names.end(), group.begin(), group.end());
    for (const std::string &name : names) {
        DecodedBmp d = decodeBmp(readFile(data(name)));
        EXPECT_TRUE(d.valid) << name << ": " << (d.problem.empty() ? "missing" : d.problem);
        EXPECT_LE(d.width, 512) << name;
        EXPECT_LE(d.height, 512) << name;
    }
    // everything written is accounted for: the bitmaps above, the font, nothing stray
    EXPECT_EQ(static_cast<size_t>(files), names.size() + 1);
    size_t onDisk = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dir->path + "/Data")) {
        (void)entry;
        onDisk++;
    }
    EXPECT_EQ(onDisk, names.size());
}

TEST_F(GeneratedAssets, StatesOfEveryButtonDifferAndShareASize)
{
    for (const auto &group : buttonGroups()) {
        std::vector<DecodedBmp> states;
        for (const std::string &name : group) states.push_back(decodeBmp(readFile(data(name))));
        for (size_t i = 0; i < states.size(); i++) {
            ASSERT_TRUE(states[i].valid) << group[i];
            EXPECT_EQ(states[i].width, states[0].width) << group[i];
            EXPECT_EQ(states[i].height, states[0].height) << group[i];
            for (size_t j = 0; j < i; j++) {
                // not merely different: a visible share of the picture changes
                size_t changed = 0;
                size_t n = std::min(states[i].rgb.size(), states[j].rgb.size());
                for (size_t k = 0; k < n; k += 3)
                    if (std::abs(states[i].rgb[k] - states[j].rgb[k]) + std::abs(states[i].rgb[k + 1] - states[j].rgb[k + 1]) +
                            std::abs(states[i].rgb[k + 2] - states[j].rgb[k + 2]) > 24)
                        changed++;
                EXPECT_GT(changed, n / 3 / 10) << group[i] << " vs " << group[j];
            }
        }
    }
}

TEST_F(GeneratedAssets, SkyWallsJoinTheCapsAndTileSideways)
{
    DecodedBmp wall = decodeBmp(readFile(data("izpos2.bmp")));
    DecodedBmp cap = decodeBmp(readFile(data("iypos2.bmp")));
    ASSERT_TRUE(wall.valid && cap.valid);
    auto at = [](const DecodedBmp &d, int x, int y, int c) { return static_cast<int>(d.rgb[(static_cast<size_t>(y) * d.width + x) * 3 + c]); };
    int last = wall.height - 1;
    for (int x = 0; x < wall.width; x += 17)
        for (int c = 0; c < 3; c++) {
            EXPECT_NEAR(at(wall, x, 0, c), at(cap, x, 0, c), 16);     // top edge meets the ceiling
            EXPECT_NEAR(at(wall, x, last, c), at(cap, x, 0, c), 16);  // bottom edge meets the floor
        }
    for (int y = 0; y < wall.height; y += 7)
        for (int c = 0; c < 3; c++) EXPECT_NEAR(at(wall, 0, y, c), at(wall, wall.width - 1, y, c), 24) << "row " << y;
    // blue sky: blue above red everywhere, paler at the horizon than at the top
    EXPECT_GT(at(wall, 10, 0, 2), at(wall, 10, 0, 0));
    EXPECT_GT(at(wall, 10, wall.height / 2, 0), at(wall, 10, 0, 0) + 40);
}

TEST_F(GeneratedAssets, FontFileHasTheLoaderLayout)
{
    std::vector<uint8_t> b = readFile(dir->path + "/arial.glf");
    ParsedFont f = parseFont(b);
    ASSERT_FALSE(f.glyphs.empty());
    EXPECT_EQ(u32(b, 0), 0u);
    EXPECT_EQ(u32(b, 20), 0u);
    EXPECT_LE(f.first, 33u);
    EXPECT_GE(f.last, 126u);
    EXPECT_EQ(f.glyphs.size(), f.last - f.first + 1);
    EXPECT_EQ(b.size(), 24 + 24 * f.glyphs.size() + static_cast<size_t>(f.width) * f.height * 2);
    // OpenGL 1.1 textures: power-of-two sides
    EXPECT_EQ(f.width & (f.width - 1), 0u);
    EXPECT_EQ(f.height & (f.height - 1), 0u);
    // luminance is white throughout; only alpha carries the glyphs
    for (size_t i = f.imageOffset; i < b.size(); i += 2) ASSERT_EQ(b[i], 255) << "at byte " << i;
}

TEST_F(GeneratedAssets, FontGlyphMetricsSuitTheHud)
{
    std::vector<uint8_t> b = readFile(dir->path + "/arial.glf");
    ParsedFont f = parseFont(b);
    ASSERT_FALSE(f.glyphs.empty());
    float lowerSum = 0.0f;
    for (size_t i = 0; i < f.glyphs.size(); i++) {
        const Glyph &g = f.glyphs[i];
        char ch = static_cast<char>(f.first + i);
        for (float t : {g.tx1, g.ty1, g.tx2, g.ty2}) {
            EXPECT_GE(t, 0.0f) << ch;
            EXPECT_LE(t, 1.0f) << ch;
        }
        EXPECT_LT(g.tx1, g.tx2) << ch;
        EXPECT_GT(g.ty1, g.ty2) << ch;  // top-left above bottom-right in GL texture space
        if (ch >= ' ') {
            EXPECT_GT(g.dx, 0.0f) << ch;
        }
        EXPECT_GE(g.dy, 1.7f) << ch;
        EXPECT_LE(g.dy, 1.9f) << ch;
        // the quad and its texture rectangle have the same shape, so letters are not distorted
        float texAspect = (g.tx2 - g.tx1) * f.width / ((g.ty1 - g.ty2) * f.height);
        EXPECT_NEAR(texAspect, g.dx / g.dy, 0.01f) << ch;
        if (ch >= 'a' && ch <= 'z') lowerSum += g.dx;
    }
    const Glyph &M = f.glyphs['M' - f.first], &i = f.glyphs['i' - f.first];
    EXPECT_GT(M.dx, i.dx * 2.0f);
    float lowerAverage = lowerSum / 26.0f;
    EXPECT_GT(lowerAverage, 0.8f);
    EXPECT_LT(lowerAverage, 1.1f);
}

TEST_F(GeneratedAssets, FontAtlasHoldsInkOnlyWhereGlyphsHaveIt)
{
    std::vector<uint8_t> b = readFile(dir->path + "/arial.glf");
    ParsedFont f = parseFont(b);
    ASSERT_FALSE(f.glyphs.empty());
    EXPECT_GT(maxAlphaInGlyph(b, f, f.glyphs['A' - f.first]), 200);
    EXPECT_GT(maxAlphaInGlyph(b, f, f.glyphs['.' - f.first]), 100);
    EXPECT_EQ(maxAlphaInGlyph(b, f, f.glyphs[' ' - f.first]), 0);
    // the one-pixel frame around each cell is empty, so linear filtering does not pick up a neighbour
    for (const Glyph &g : f.glyphs) {
        int x0 = static_cast<int>(g.tx1 * f.width + 0.5f), x1 = static_cast<int>(g.tx2 * f.width + 0.5f);
        int r0 = static_cast<int>(g.ty2 * f.height + 0.5f), r1 = static_cast<int>(g.ty1 * f.height + 0.5f);
        for (int r = r0 - 1; r <= r1; r++) {
            ASSERT_GE(r, 0);
            ASSERT_LT(static_cast<uint32_t>(r), f.height);
            EXPECT_EQ(b[f.imageOffset + (static_cast<size_t>(r) * f.width + (x0 - 1)) * 2 + 1], 0);
            EXPECT_EQ(b[f.imageOffset + (static_cast<size_t>(r) * f.width + x1) * 2 + 1], 0);
        }
    }
}

TEST_F(GeneratedAssets, TwoRunsWriteTheSameBytes)
{
    TempDir second;
    ASSERT_FALSE(second.path.empty());
    std::string error2;
    int files2 = 0;
    ASSERT_TRUE(generateAssets(second.path, error2, files2)) << error2;
    EXPECT_EQ(files2, files);
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(dir->path))
        if (entry.is_regular_file()) names.insert(std::filesystem::relative(entry.path(), dir->path).string());
    size_t compared = 0;
    for (const std::string &name : names) {
        std::vector<uint8_t> a = readFile(dir->path + "/" + name);
        std::vector<uint8_t> c = readFile(second.path + "/" + name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == c) << name << " differs between runs";
        compared++;
    }
    EXPECT_EQ(compared, static_cast<size_t>(files));
}

TEST(AssetGeneration, AnUnwritableDirectoryIsReported)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    // a plain file where the output directory should go
    std::string blocker = dir.path + "/file";
    { std::ofstream(blocker) << "x"; }
    std::string error;
    int files = -1;
    EXPECT_FALSE(generateAssets(blocker, error, files));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(files, 0);
}
