// The BMP writer byte by byte, and a full run of the asset generator into a temporary
// directory, read back with the program's own BMP and font readers: every bitmap the program
// opens is there, button states differ, the sky joins up, the font file holds the atlas built
// from the face, a second run writes the same bytes, and an unwritable directory is reported.
#include "bmp.h"
#include "bmp_writer.h"
#include "font.h"
#include "font_atlas.h"
#include "generate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
typedef std::vector<uint8_t> Bytes;

// A fresh directory under the system temp directory, removed with everything in it
struct TempDir {
    std::string path = (fs::temp_directory_path() / "assetgen_test_XXXXXX").string();
    TempDir() { EXPECT_NE(mkdtemp(path.data()), nullptr); }
    ~TempDir() { std::error_code ec; fs::remove_all(path, ec); }
};

Bytes readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A channel of the pixel at (x, y), y counted from the top
int channel(const dib_image &d, int x, int y, int c)
{
    int row = d.height > 0 ? d.height - 1 - y : y;
    return d.pixels[((size_t)row * (size_t)d.width + (size_t)x) * 3 + (size_t)c];
}

// Bitmaps the program opens by name: stem + state suffix + ".bmp", the states of one button in order
struct Family { std::vector<std::string> stems, states; };
const Family FAMILIES[] = {
    {{"clonacion", "bloquear", "eliminar", "Apariencia", "translacion", "rotacion", "EscaladoUni", "EscaladoDir",
      "play", "load", "save", "exit", "navegacion", "edObjetos", "eventos", "cambiarMaterial", "solido", "Promedio",
      "malla"}, {"Up", "Move", "Down"}},
    {{"cubo", "piramide", "trapecio", "rectangulo", "paralelepipedo", "triangulo", "circulo", "medio circulo",
      "cilindro", "medio cilindro", "esfera", "media esfera"}, {"", "Selected"}},
    {{"flags", "nuevo", "borrar", "nextEvent", "agua"}, {"1", "2", "3"}},
    {{"IF", "AND", "THEN", "X"}, {"", "2", "3"}},
    {{"Arriba"}, {"2", "3", "4"}},
    {{"flecha"}, {"1", "2", "3", "4"}},
    {{"izpos2", "iypos2", "menuPrimitiva", "menuOperation", "menuFile", "menuOpEsp", "menuApariencia", "events1",
      "ladrillo", "madera", "suelo", "cesped", "marmol"}, {""}},
};

// One generation per test process, shared by its tests
class GeneratedAssets : public ::testing::Test {
protected:
    static TempDir *dir;
    static int files;
    static void SetUpTestSuite()
    {
        dir = new TempDir;
        std::string error;
        if (!generateAssets(dir->path, error, files)) ADD_FAILURE() << error;
    }
    static void TearDownTestSuite() { delete dir; }
    static std::unique_ptr<dib_image> bitmap(const std::string &name)
    {
        Bytes b = readFile(dir->path + "/Data/" + name);
        return decode_dib_image(b.data(), b.size());
    }
};
TempDir *GeneratedAssets::dir = nullptr;
int GeneratedAssets::files = 0;

}  // namespace

TEST(BmpWriter, OddWidthRowsAreBottomUpBgrWithZeroPadding)
{
    Canvas c = makeCanvas(3, 2, {0, 0, 0});
    const int top[] = {255, 0, 0, 0, 255, 0, 0, 0, 255}, bottom[] = {10, 20, 30, 40, 50, 60, 255, 255, 255};
    for (int x = 0; x < 3; x++) {
        setPixel(c, x, 0, rgb(top[3 * x], top[3 * x + 1], top[3 * x + 2]));
        setPixel(c, x, 1, rgb(bottom[3 * x], bottom[3 * x + 1], bottom[3 * x + 2]));
    }
    Bytes b = encodeBmp(c);
    ASSERT_EQ(b.size(), 54u + 24);
    EXPECT_EQ(Bytes(b.begin() + 54, b.end()),
              (Bytes{30, 20, 10, 60, 50, 40, 255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}));
    auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; };
    EXPECT_EQ(u32(2), 78);   // file size
    EXPECT_EQ(u32(10), 54);  // pixel offset
    EXPECT_EQ(u32(34), 24);  // image size with padding
    std::unique_ptr<dib_image> d = decode_dib_image(b.data(), b.size());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(channel(*d, 2, 0, 2), 255);
    EXPECT_EQ(channel(*d, 1, 1, 1), 50);
    EXPECT_FALSE(writeBmp("/nonexistent/dir/x.bmp", c));
}

TEST_F(GeneratedAssets, EveryBitmapTheProgramOpensDecodesAndButtonStatesDiffer)
{
    size_t names = 0;
    for (const Family &family : FAMILIES) {
        for (const std::string &stem : family.stems) {
            std::vector<std::unique_ptr<dib_image>> states;
            for (const std::string &state : family.states) {
                states.push_back(bitmap(stem + state + ".bmp"));
                ASSERT_NE(states.back(), nullptr) << stem + state;
                EXPECT_TRUE(states.back()->width <= 512 && states.back()->height <= 512) << stem + state;
                names++;
            }
            for (size_t i = 1; i < states.size(); i++) {
                ASSERT_EQ(states[i]->pixels.size(), states[0]->pixels.size()) << stem + family.states[i];
                for (size_t j = 0; j < i; j++) {
                    // not merely different: a visible share of the picture changes
                    size_t changed = 0, n = states[i]->pixels.size();
                    for (size_t k = 0; k < n; k += 3) {
                        int sum = 0;
                        for (size_t c = 0; c < 3; c++) sum += std::abs(states[i]->pixels[k + c] - states[j]->pixels[k + c]);
                        changed += sum > 24;
                    }
                    EXPECT_GT(changed, n / 3 / 10) << stem + family.states[i] << " vs " << family.states[j];
                }
            }
        }
    }
    // everything written is accounted for: the bitmaps above and the font, nothing stray
    EXPECT_EQ((size_t)files, names + 1);
    EXPECT_EQ((size_t)std::distance(fs::directory_iterator(dir->path + "/Data"), fs::directory_iterator()), names);
}

TEST_F(GeneratedAssets, SkyWallsJoinTheCapsAndTileSideways)
{
    std::unique_ptr<dib_image> wall = bitmap("izpos2.bmp"), cap = bitmap("iypos2.bmp");
    ASSERT_TRUE(wall && cap);
    int last = wall->height - 1, right = wall->width - 1;
    for (int c = 0; c < 3; c++) {
        for (int x = 0; x < wall->width; x += 17) {
            EXPECT_NEAR(channel(*wall, x, 0, c), channel(*cap, x, 0, c), 16);     // top edge meets the ceiling
            EXPECT_NEAR(channel(*wall, x, last, c), channel(*cap, x, 0, c), 16);  // bottom edge meets the floor
        }
        for (int y = 0; y < wall->height; y += 7) EXPECT_NEAR(channel(*wall, 0, y, c), channel(*wall, right, y, c), 24);
    }
    // blue sky: blue above red, paler at the horizon than at the top
    EXPECT_GT(channel(*wall, 10, 0, 2), channel(*wall, 10, 0, 0));
    EXPECT_GT(channel(*wall, 10, wall->height / 2, 0), channel(*wall, 10, 0, 0) + 40);
}

TEST_F(GeneratedAssets, FontFileHoldsTheAtlasOfTheFaceForTheHud)
{
    TextureFont font;
    Bytes image;
    ASSERT_EQ(readTextureFont((dir->path + "/arial.glf").c_str(), font, image), 1);
    EXPECT_EQ(fs::file_size(dir->path + "/arial.glf"), 24 + 24 * font.glyphs.size() + image.size());
    FontFace face;
    FontAtlas atlas;
    std::string error;
    ASSERT_TRUE(openFontFace(face, regularFontPath(), error) && buildFontAtlas(face, atlas, error)) << error;
    ASSERT_EQ(font.firstChar, FONT_FIRST_CHAR);
    ASSERT_EQ(font.lastChar, FONT_LAST_CHAR);
    ASSERT_EQ(font.glyphs.size(), atlas.glyphs.size());
    EXPECT_EQ(image, atlas.pixels);
    // OpenGL 1.1 textures: power-of-two sides; luminance white throughout, only alpha carries the glyphs
    EXPECT_EQ(font.textureWidth & (font.textureWidth - 1), 0);
    EXPECT_EQ(font.textureHeight & (font.textureHeight - 1), 0);
    for (size_t i = 0; i < image.size(); i += 2) ASSERT_EQ(image[i], 255) << "at byte " << i;

    LineMetrics m = lineMetrics(face, FONT_PIXEL_SIZE);
    for (size_t i = 0; i < font.glyphs.size(); i++) {
        const Glyph &g = font.glyphs[i];
        char ch = (char)(FONT_FIRST_CHAR + i);
        EXPECT_EQ(g.dx, atlas.glyphs[i].dx) << ch;
        EXPECT_EQ(g.ty2, atlas.glyphs[i].ty2) << ch;
        // advances follow the face's own at the rendering size
        GlyphRaster raster;
        ASSERT_TRUE(renderGlyph(face, (unsigned char)ch, FONT_PIXEL_SIZE, raster));
        EXPECT_NEAR(g.dx, raster.advance * FONT_LINE_HEIGHT / (m.ascender + m.descender), 1e-5f) << ch;
        EXPECT_TRUE(g.tx1 >= 0 && g.tx1 < g.tx2 && g.tx2 <= 1 && g.ty2 >= 0 && g.ty2 < g.ty1 && g.ty1 <= 1) << ch;
        // the quad and its texture rectangle have the same shape, so letters are not distorted
        float texAspect = (g.tx2 - g.tx1) * font.textureWidth / ((g.ty1 - g.ty2) * font.textureHeight);
        EXPECT_NEAR(texAspect, g.dx / g.dy, 0.01f) << ch;
    }
    EXPECT_GT(font.glyphs['M' - FONT_FIRST_CHAR].dx, font.glyphs['i' - FONT_FIRST_CHAR].dx * 2.0f);
    // ink only where a glyph has it (rows stored bottom first, t = 0 at row 0)
    auto maxAlpha = [&](char ch) {
        const Glyph &g = font.glyphs[(size_t)(ch - FONT_FIRST_CHAR)];
        int best = 0, w = font.textureWidth, h = font.textureHeight;
        for (int r = (int)(g.ty2 * h + 0.5f); r < (int)(g.ty1 * h + 0.5f); r++)
            for (int x = (int)(g.tx1 * w + 0.5f); x < (int)(g.tx2 * w + 0.5f); x++)
                best = std::max(best, (int)image[((size_t)r * (size_t)w + (size_t)x) * 2 + 1]);
        return best;
    };
    EXPECT_GT(maxAlpha('A'), 200);
    EXPECT_EQ(maxAlpha(' '), 0);
}

TEST_F(GeneratedAssets, TwoRunsWriteTheSameBytes)
{
    TempDir second;
    std::string error;
    int files2 = 0;
    ASSERT_TRUE(generateAssets(second.path, error, files2)) << error;
    EXPECT_EQ(files2, files);
    int compared = 0;
    for (const auto &entry : fs::recursive_directory_iterator(dir->path)) {
        if (!entry.is_regular_file()) continue;
        std::string name = fs::relative(entry.path(), dir->path).string();
        Bytes a = readFile(dir->path + "/" + name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == readFile(second.path + "/" + name)) << name << " differs between runs";
        compared++;
    }
    EXPECT_EQ(compared, files);
}

TEST(AssetGeneration, AnUnwritableDirectoryIsReported)
{
    TempDir dir;
    std::string blocker = dir.path + "/file", error;  // a plain file where the output directory should go
    std::ofstream(blocker) << "x";
    int files = -1;
    EXPECT_FALSE(generateAssets(blocker, error, files));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(files, 0);
}
