/**********************************************************************************************
*
*   text - FreeType text rendering onto canvases
*
*   Glyphs are rendered hinted as 8-bit coverage and placed on whole pixels, so the same
*   FreeType build always produces the same pictures.
*
*   DEPENDENCIES: canvas, FreeType
*
**********************************************************************************************/
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

struct FontFaceData {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

FontFace::~FontFace()
{
    if (!data) return;
    if (data->face) FT_Done_Face(data->face);
    if (data->library) FT_Done_FreeType(data->library);
    delete data;
}

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

bool setPixelSize(FontFace &face, int pixelSize)
{
    return face.data && face.data->face && FT_Set_Pixel_Sizes(face.data->face, 0, static_cast<FT_UInt>(pixelSize)) == 0;
}

// Kerning between two glyph indices, in whole pixels
int kerning(FontFace &face, FT_UInt left, FT_UInt right)
{
    if (!left || !right || !FT_HAS_KERNING(face.data->face)) return 0;
    FT_Vector delta;
    if (FT_Get_Kerning(face.data->face, left, right, FT_KERNING_DEFAULT, &delta) != 0) return 0;
    return static_cast<int>(delta.x >> 6);
}

// Blits a coverage raster with its top-left pixel at (x, y)
void blitCoverage(Canvas &canvas, const GlyphRaster &g, int x, int y, Color c, float alpha)
{
    for (int r = 0; r < g.rows; r++)
        for (int col = 0; col < g.width; col++) {
            unsigned char v = g.coverage[static_cast<size_t>(r) * g.width + col];
            if (v) blendPixel(canvas, x + col, y + r, c, alpha * v / 255.0f);
        }
}

// Splits at the space that best balances the two halves; false when there is none
bool splitInTwo(FontFace &face, const std::string &text, int pixelSize, std::string &first, std::string &second)
{
    int best = -1;
    int bestWidth = 0;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != ' ') continue;
        int w = std::max(measureText(face, text.substr(0, i), pixelSize),
                         measureText(face, text.substr(i + 1), pixelSize));
        if (best < 0 || w < bestWidth) {
            best = static_cast<int>(i);
            bestWidth = w;
        }
    }
    if (best < 0) return false;
    first = text.substr(0, static_cast<size_t>(best));
    second = text.substr(static_cast<size_t>(best) + 1);
    return true;
}

// Largest size up to maxSize at which every line fits the box
int fittingSize(FontFace &face, const std::vector<std::string> &lines, float boxWidth, float boxHeight, int maxSize)
{
    int size = maxSize;
    for (; size > 6; size--) {
        LineMetrics m = lineMetrics(face, size);
        float height = static_cast<float>((m.ascender + m.descender) * static_cast<int>(lines.size()));
        int widest = 0;
        for (const std::string &line : lines) widest = std::max(widest, measureText(face, line, size));
        if (widest <= boxWidth && height <= boxHeight) break;
    }
    return size;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Opens a font file with its own FreeType library instance
bool openFontFace(FontFace &face, const std::string &path, std::string &error)
{
    if (face.data) {
        error = "font face already open";
        return false;
    }
    face.data = new FontFaceData;
    if (FT_Init_FreeType(&face.data->library) != 0) {
        error = "cannot initialise FreeType";
        return false;
    }
    if (FT_New_Face(face.data->library, path.c_str(), 0, &face.data->face) != 0) {
        error = "cannot open font " + path;
        return false;
    }
    return true;
}

// Renders one character as 8-bit coverage
bool renderGlyph(FontFace &face, unsigned int code, int pixelSize, GlyphRaster &out)
{
    out = GlyphRaster();
    if (!setPixelSize(face, pixelSize)) return false;
    FT_Face f = face.data->face;
    if (FT_Load_Char(f, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return false;
    FT_GlyphSlot slot = f->glyph;
    const FT_Bitmap &bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) return false;
    out.width = static_cast<int>(bitmap.width);
    out.rows = static_cast<int>(bitmap.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out.coverage.resize(static_cast<size_t>(out.width) * out.rows);
    for (int r = 0; r < out.rows; r++) {
        const unsigned char *src = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
        std::copy(src, src + out.width, out.coverage.begin() + static_cast<ptrdiff_t>(r) * out.width);
    }
    return true;
}

// Ascender and descender of the face at a pixel size
LineMetrics lineMetrics(FontFace &face, int pixelSize)
{
    LineMetrics m;
    if (!setPixelSize(face, pixelSize)) return m;
    const FT_Size_Metrics &sm = face.data->face->size->metrics;
    m.ascender = static_cast<int>((sm.ascender + 63) >> 6);
    m.descender = static_cast<int>((-sm.descender + 63) >> 6);
    return m;
}

// Sum of advances and kerning
int measureText(FontFace &face, const std::string &text, int pixelSize)
{
    if (!setPixelSize(face, pixelSize)) return 0;
    FT_Face f = face.data->face;
    int width = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt index = FT_Get_Char_Index(f, ch);
        width += kerning(face, previous, index);
        if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT) == 0) width += static_cast<int>((f->glyph->advance.x + 32) >> 6);
        previous = index;
    }
    return width;
}

// Draws a string with the pen starting at (x, baseline)
void drawText(Canvas &canvas, FontFace &face, const std::string &text, int pixelSize,
              float x, float baseline, Color c, float alpha)
{
    if (!setPixelSize(face, pixelSize)) return;
    int penX = static_cast<int>(std::lround(x));
    int baseY = static_cast<int>(std::lround(baseline));
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        FT_UInt index = FT_Get_Char_Index(face.data->face, ch);
        penX += kerning(face, previous, index);
        GlyphRaster g;
        if (renderGlyph(face, ch, pixelSize, g)) {
            blitCoverage(canvas, g, penX + g.left, baseY - g.top, c, alpha);
            penX += g.advance;
        }
        previous = index;
    }
}

// Centres a label in a box, shrinking it, or breaking it over two lines when that keeps it larger
void drawLabel(Canvas &canvas, FontFace &face, const std::string &text,
               float x0, float y0, float x1, float y1, int maxPixelSize, Color c, float shadowOffset)
{
    float boxW = x1 - x0, boxH = y1 - y0;
    std::vector<std::string> lines = {text};
    int size = fittingSize(face, lines, boxW, boxH, maxPixelSize);
    std::string first, second;
    if (size < maxPixelSize && splitInTwo(face, text, maxPixelSize, first, second)) {
        std::vector<std::string> two = {first, second};
        int twoSize = fittingSize(face, two, boxW, boxH, maxPixelSize);
        // two lines only when they make the label clearly larger
        if (twoSize * 10 > size * 12) {
            lines = two;
            size = twoSize;
        }
    }
    LineMetrics m = lineMetrics(face, size);
    int lineHeight = m.ascender + m.descender;
    float blockHeight = static_cast<float>(lineHeight * static_cast<int>(lines.size()));
    float top = y0 + (boxH - blockHeight) * 0.5f;
    for (size_t i = 0; i < lines.size(); i++) {
        float width = static_cast<float>(measureText(face, lines[i], size));
        float x = x0 + (boxW - width) * 0.5f;
        float baseline = top + m.ascender + static_cast<float>(lineHeight * static_cast<int>(i));
        if (shadowOffset > 0.0f)
            drawText(canvas, face, lines[i], size, x + shadowOffset, baseline + shadowOffset, {0, 0, 0}, 0.6f);
        drawText(canvas, face, lines[i], size, x, baseline, c);
    }
}
