// The asset generator: labels (FreeType) inside their boxes and centred, the BMP writer byte by
// byte, and a full run into a temporary directory read back with the program's own BMP and font
// readers (every bitmap the program opens, button states that differ, the sky box, scene
// textures that tile, the font file), a second run writing the same bytes, and an unwritable
// directory reported; the desktop icons at their three sizes read back as PNG.
#include "app_icons.h"
#include "bmp.h"
#include "bmp_writer.h"
#include "font.h"
#include "font_atlas.h"
#include "generate.h"
#include "xdriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
typedef std::vector<uint8_t> Bytes;

struct InkBox { int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1; };

// Bounding box of the pixels that are not black
InkBox inkBox(const Canvas &c)
{
    InkBox box;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++)
            if (getPixel(c, x, y).r + getPixel(c, x, y).g + getPixel(c, x, y).b > 0.02f)
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
    return box;
}

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

// A channel of the pixel at (x, y) of a decoded bitmap, y counted from the top
int channel(const dib_image &d, int x, int y, int c)
{
    int row = d.height > 0 ? d.height - 1 - y : y;
    return d.pixels[((size_t)row * (size_t)d.width + (size_t)x) * 3 + (size_t)c];
}

// Sum of the channel differences between two columns (or rows) of a square bitmap
int lineStep(const dib_image &d, bool columns, int a, int b)
{
    int sum = 0;
    for (int i = 0; i < d.width; i++)
        for (int c = 0; c < 3; c++)
            sum += std::abs(columns ? channel(d, a, i, c) - channel(d, b, i, c) : channel(d, i, a, c) - channel(d, i, b, c));
    return sum;
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

TEST(Drawing, LabelsStayInsideTheirBoxAndAreCentred)
{
    FontFace missing, bold;
    std::string error;
    EXPECT_FALSE(openFontFace(missing, "/nonexistent/font.ttf", error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos);
    ASSERT_TRUE(openFontFace(bold, boldFontPath(), error)) << error;
    struct Case { const char *text; float x0, y0, x1, y1; int maxSize, lines; };
    const Case cases[] = {
        {"IF", 10, 10, 110, 50, 40, 1},
        {"Edicion de objetos", 13, 11, 179, 85, 26, 2},  // breaks over two lines rather than shrinking
        {"Paralelepipedo", 8, 100, 120, 118, 14, 1},     // shrinks to fit
    };
    LineMetrics line = lineMetrics(bold, 20);
    for (const Case &k : cases) {
        Canvas c = makeCanvas(200, 130, {0, 0, 0});
        drawLabel(c, bold, k.text, k.x0, k.y0, k.x1, k.y1, k.maxSize, {1, 1, 1});
        InkBox ink = inkBox(c);
        EXPECT_TRUE(ink.x0 >= k.x0 - 1 && ink.x1 <= k.x1 + 1 && ink.y0 >= k.y0 - 1 && ink.y1 <= k.y1 + 1) << k.text;
        EXPECT_NEAR((ink.x0 + ink.x1 + 1) * 0.5f, (k.x0 + k.x1) * 0.5f, 3.0f) << k.text;
        EXPECT_TRUE(k.lines == 1 || ink.y1 - ink.y0 > line.ascender + line.descender) << k.text;
    }
}

TEST(BmpWriter, OddWidthRowsAreBottomUpBgrWithZeroPadding)
{
    Canvas c = makeCanvas(3, 2, {0, 0, 0});  // top row red, green, blue
    c.pixels = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), rgb(10, 20, 30), rgb(40, 50, 60), rgb(255, 255, 255)};
    Bytes b = encodeBmp(c);
    ASSERT_EQ(b.size(), 54u + 24);
    EXPECT_EQ(Bytes(b.begin() + 54, b.end()),
              (Bytes{30, 20, 10, 60, 50, 40, 255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(b.begin() + 2, b.begin() + 6), (Bytes{78, 0, 0, 0}));  // file size
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
                ASSERT_TRUE(states.back() && states.back()->width <= 512 && states.back()->height <= 512) << stem + state;
                names++;
            }
            for (size_t i = 1; i < states.size(); i++) {
                ASSERT_EQ(states[i]->pixels.size(), states[0]->pixels.size()) << stem + family.states[i];
                for (size_t j = 0; j < i; j++) {
                    // not merely different: a visible share of the picture changes
                    const Bytes &p = states[i]->pixels, &q = states[j]->pixels;
                    size_t changed = 0, n = p.size();
                    for (size_t k = 0; k < n; k += 3)
                        changed += std::abs(p[k] - q[k]) + std::abs(p[k + 1] - q[k + 1]) + std::abs(p[k + 2] - q[k + 2]) > 24;
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
    for (int c = 0; c < 3; c++) {
        for (int x = 0; x < wall->width; x += 17) {
            EXPECT_NEAR(channel(*wall, x, 0, c), channel(*cap, x, 0, c), 16);                 // meets the ceiling
            EXPECT_NEAR(channel(*wall, x, wall->height - 1, c), channel(*cap, x, 0, c), 16);  // meets the floor
        }
        for (int y = 0; y < wall->height; y += 7)
            EXPECT_NEAR(channel(*wall, 0, y, c), channel(*wall, wall->width - 1, y, c), 24);
    }
    EXPECT_GT(channel(*wall, 10, 0, 2), channel(*wall, 10, 0, 0));  // blue sky
}

TEST_F(GeneratedAssets, SceneTexturesTileAcrossTheirEdges)
{
    for (const char *name : {"ladrillo.bmp", "madera.bmp", "suelo.bmp", "cesped.bmp", "marmol.bmp", "agua1.bmp"}) {
        std::unique_ptr<dib_image> d = bitmap(name);
        ASSERT_TRUE(d && d->width == d->height) << name;
        // the seam between the last and the first column (row) is no harsher than the
        // harshest step between neighbouring columns (rows) inside the picture
        for (bool columns : {true, false}) {
            int inside = 0, last = d->width - 1;
            for (int i = 0; i < last; i++) inside = std::max(inside, lineStep(*d, columns, i, i + 1));
            EXPECT_LE(lineStep(*d, columns, last, 0), inside * 1.1) << name << " " << columns;
        }
    }
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
    ASSERT_TRUE(font.firstChar == FONT_FIRST_CHAR && font.lastChar == FONT_LAST_CHAR);
    EXPECT_EQ(image, atlas.pixels);
    // OpenGL 1.1 textures: power-of-two sides; luminance white throughout, only alpha carries the glyphs
    EXPECT_TRUE((font.textureWidth & (font.textureWidth - 1)) == 0 && (font.textureHeight & (font.textureHeight - 1)) == 0);
    for (size_t i = 0; i < image.size(); i += 2) ASSERT_EQ(image[i], 255) << "at byte " << i;

    LineMetrics m = lineMetrics(face, FONT_PIXEL_SIZE);
    for (size_t i = 0; i < font.glyphs.size(); i++) {
        const Glyph &g = font.glyphs[i];
        char ch = (char)(FONT_FIRST_CHAR + i);
        // advances follow the face's own at the rendering size
        GlyphRaster raster;
        ASSERT_TRUE(renderGlyph(face, (unsigned char)ch, FONT_PIXEL_SIZE, raster));
        EXPECT_NEAR(g.dx, raster.advance * FONT_LINE_HEIGHT / (m.ascender + m.descender), 1e-5f) << ch;
        EXPECT_TRUE(g.tx1 >= 0 && g.tx1 < g.tx2 && g.tx2 <= 1 && g.ty2 >= 0 && g.ty2 < g.ty1 && g.ty1 <= 1) << ch;
        // the quad and its texture rectangle have the same shape, so letters are not distorted
        float texAspect = (g.tx2 - g.tx1) * font.textureWidth / ((g.ty1 - g.ty2) * font.textureHeight);
        EXPECT_NEAR(texAspect, g.dx / g.dy, 0.01f) << ch;
    }
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
    int files2 = 0, compared = 0;
    ASSERT_TRUE(generateAssets(second.path, error, files2)) << error;
    EXPECT_EQ(files2, files);
    for (const auto &entry : fs::recursive_directory_iterator(dir->path)) {
        if (!entry.is_regular_file()) continue;
        std::string name = fs::relative(entry.path(), dir->path).string();
        EXPECT_TRUE(readFile(entry.path()) == readFile(second.path + "/" + name)) << name << " differs between runs";
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

TEST(AppIcons, EachSizeWrittenAsPngOfTheDrawnPictureWithTransparentCorners)
{
    TempDir dir;
    std::string error;
    int files = 0;
    ASSERT_TRUE(generateAppIcons(dir.path, error, files)) << error;
    EXPECT_EQ(files, 6);
    for (int size : ICON_SIZES) {
        IconPicture icons[2] = {drawAppIcon("stageworks", size), drawAppIcon("matforge", size)};
        for (int i = 0; i < 2; i++) {
            const char *program = i == 0 ? "stageworks" : "matforge";
            const IconPicture &icon = icons[i];
            ASSERT_EQ(icon.colour.width, size);
            EXPECT_EQ(icon.alpha.front(), 0.0f) << program << " " << size;
            EXPECT_EQ(icon.alpha[(size_t)size * size / 2 + size / 2], 1.0f) << program << " " << size;
            // The file holds the drawn colours (libpng's encoding read back by our own reader)
            xdriver::Image png;
            const std::string name = std::to_string(size) + "x" + std::to_string(size) + "/apps/" + program + ".png";
            ASSERT_TRUE(xdriver::readPng(dir.path + "/hicolor/" + name, png, &error)) << name << ": " << error;
            ASSERT_EQ(png.width, size);
            ASSERT_EQ(png.height, size);
            long differing = 0;
            for (int p = 0; p < size * size; p++) {
                const Color &c = icon.colour.pixels[(size_t)p];
                if (png.rgb[(size_t)p * 3] != colorByte(c.r) || png.rgb[(size_t)p * 3 + 2] != colorByte(c.b)) differing++;
            }
            EXPECT_EQ(differing, 0) << name;
        }
        long unlike = 0;
        for (size_t p = 0; p < icons[0].colour.pixels.size(); p++)
            if (std::abs(icons[0].colour.pixels[p].g - icons[1].colour.pixels[p].g) > 0.1f) unlike++;
        EXPECT_GT(unlike, size * size / 4) << "the two programs' icons look alike at " << size;
    }
    EXPECT_TRUE(drawAppIcon("other", 48).colour.pixels.empty());
}
