/**********************************************************************************************
*
*   font_atlas - the texture font file "arial.glf"
*
*   DEPENDENCIES: text (FreeType glyphs)
*
**********************************************************************************************/
#include "font_atlas.h"

#include <algorithm>
#include <cstring>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

constexpr int PADDING = 1;

struct CellPlacement {
    int x, y;          // top-left of the cell (padding excluded), rows counted from the top
};

void putU32(std::vector<uint8_t> &out, uint32_t v)
{
    for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xff));
}

void putFloat(std::vector<uint8_t> &out, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    putU32(out, bits);
}

int nextPowerOfTwo(int v)
{
    int p = 1;
    while (p < v) p *= 2;
    return p;
}

// Copies a glyph's coverage into its cell of the top-down alpha plane, kept inside the cell
void placeGlyph(std::vector<uint8_t> &alpha, int atlasWidth, const GlyphRaster &g, CellPlacement cell,
                int cellWidth, int cellHeight, int ascender)
{
    // NOTE: ink that overhangs the advance (a negative left bearing, a wide italic-like
    // tail) is shifted into the cell rather than cut, as long as it fits
    int inkX = g.left;
    if (inkX + g.width > cellWidth) inkX = cellWidth - g.width;
    if (inkX < 0) inkX = 0;
    int inkY = ascender - g.top;
    for (int r = 0; r < g.rows; r++) {
        int y = inkY + r;
        if (y < 0 || y >= cellHeight) continue;
        for (int c = 0; c < g.width; c++) {
            int x = inkX + c;
            if (x < 0 || x >= cellWidth) continue;
            size_t at = static_cast<size_t>(cell.y + y) * atlasWidth + cell.x + x;
            alpha[at] = std::max(alpha[at], g.coverage[static_cast<size_t>(r) * g.width + c]);
        }
    }
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Renders every character, packs the cells in rows and fills the glyph table
bool buildFontAtlas(FontFace &face, FontAtlas &atlas, std::string &error)
{
    atlas = FontAtlas();
    atlas.firstChar = FONT_FIRST_CHAR;
    atlas.lastChar = FONT_LAST_CHAR;
    int count = FONT_LAST_CHAR - FONT_FIRST_CHAR + 1;

    LineMetrics metrics = lineMetrics(face, FONT_PIXEL_SIZE);
    int cellHeight = metrics.ascender + metrics.descender;
    if (cellHeight <= 0) {
        error = "font has no line height";
        return false;
    }
    float unitsPerPixel = FONT_LINE_HEIGHT / static_cast<float>(cellHeight);

    std::vector<GlyphRaster> rasters(static_cast<size_t>(count));
    std::vector<CellPlacement> cells(static_cast<size_t>(count));
    int penX = PADDING, penY = PADDING;
    for (int i = 0; i < count; i++) {
        GlyphRaster &g = rasters[static_cast<size_t>(i)];
        if (!renderGlyph(face, static_cast<unsigned int>(FONT_FIRST_CHAR + i), FONT_PIXEL_SIZE, g)) {
            error = "cannot render character " + std::to_string(FONT_FIRST_CHAR + i);
            return false;
        }
        g.advance = std::max(g.advance, 1);
        if (penX + g.advance + PADDING > FONT_ATLAS_WIDTH) {
            penX = PADDING;
            penY += cellHeight + 2 * PADDING;
        }
        cells[static_cast<size_t>(i)] = {penX, penY};
        penX += g.advance + 2 * PADDING;
    }
    atlas.width = FONT_ATLAS_WIDTH;
    atlas.height = nextPowerOfTwo(penY + cellHeight + PADDING);

    std::vector<uint8_t> alpha(static_cast<size_t>(atlas.width) * atlas.height, 0);
    atlas.glyphs.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        const GlyphRaster &g = rasters[static_cast<size_t>(i)];
        CellPlacement cell = cells[static_cast<size_t>(i)];
        placeGlyph(alpha, atlas.width, g, cell, g.advance, cellHeight, metrics.ascender);
        FontGlyph &glyph = atlas.glyphs[static_cast<size_t>(i)];
        glyph.dx = static_cast<float>(g.advance) * unitsPerPixel;
        glyph.dy = FONT_LINE_HEIGHT;
        glyph.tx1 = static_cast<float>(cell.x) / atlas.width;
        glyph.tx2 = static_cast<float>(cell.x + g.advance) / atlas.width;
        // t = 0 is the bottom row of the stored image, which is the last row here
        glyph.ty1 = 1.0f - static_cast<float>(cell.y) / atlas.height;
        glyph.ty2 = 1.0f - static_cast<float>(cell.y + cellHeight) / atlas.height;
    }

    atlas.pixels.resize(static_cast<size_t>(atlas.width) * atlas.height * 2);
    for (int row = 0; row < atlas.height; row++) {
        int y = atlas.height - 1 - row;
        for (int x = 0; x < atlas.width; x++) {
            size_t at = (static_cast<size_t>(row) * atlas.width + x) * 2;
            atlas.pixels[at] = 255;
            atlas.pixels[at + 1] = alpha[static_cast<size_t>(y) * atlas.width + x];
        }
    }
    return true;
}

// Header, glyph table and image, all little-endian
std::vector<uint8_t> encodeFontFile(const FontAtlas &atlas)
{
    std::vector<uint8_t> out;
    out.reserve(FONT_HEADER_SIZE + atlas.glyphs.size() * FONT_GLYPH_RECORD_SIZE + atlas.pixels.size());
    putU32(out, 0);  // texture name, replaced by the loader
    putU32(out, static_cast<uint32_t>(atlas.width));
    putU32(out, static_cast<uint32_t>(atlas.height));
    putU32(out, static_cast<uint32_t>(atlas.firstChar));
    putU32(out, static_cast<uint32_t>(atlas.lastChar));
    putU32(out, 0);  // spare slot
    for (const FontGlyph &g : atlas.glyphs) {
        putFloat(out, g.dx);
        putFloat(out, g.dy);
        putFloat(out, g.tx1);
        putFloat(out, g.ty1);
        putFloat(out, g.tx2);
        putFloat(out, g.ty2);
    }
    out.insert(out.end(), atlas.pixels.begin(), atlas.pixels.end());
    return out;
}
