/**********************************************************************************************
*
*   font_atlas - the texture font file "arial.glf"
*
*   Renders the printable ASCII characters of a face into one luminance-alpha texture and
*   writes it with its glyph table: a 24-byte header (texture name, width, height, first
*   and last character, a spare slot; 32-bit little-endian), one record of six floats per
*   character (dx, dy, tx1, ty1, tx2, ty2) and the image, rows bottom first as OpenGL
*   reads them. Every glyph is a cell one line high and one advance wide, with a pixel of
*   empty padding around it; sizes are in the units the HUD draws in.
*
*   DEPENDENCIES: text (FreeType glyphs)
*
**********************************************************************************************/
#pragma once

#include "text.h"

#include <cstdint>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

constexpr int FONT_FIRST_CHAR = 32;
constexpr int FONT_LAST_CHAR = 126;
constexpr int FONT_PIXEL_SIZE = 32;        // em size the glyphs are rendered at
constexpr int FONT_ATLAS_WIDTH = 512;      // the height is the power of two that fits
constexpr float FONT_LINE_HEIGHT = 1.9f;   // dy of every glyph, in HUD units
constexpr int FONT_HEADER_SIZE = 24;
constexpr int FONT_GLYPH_RECORD_SIZE = 24;

struct FontGlyph {
    float dx, dy;      // quad size and pen advance
    float tx1, ty1;    // texture coordinates of the top-left corner
    float tx2, ty2;    // texture coordinates of the bottom-right corner
};

struct FontAtlas {
    int width = 0, height = 0;
    int firstChar = 0, lastChar = 0;
    std::vector<FontGlyph> glyphs;       // lastChar - firstChar + 1
    std::vector<uint8_t> pixels;         // width * height * 2 (luminance, alpha), bottom row first
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Builds the atlas from a face; false with a message when a glyph cannot be rendered
bool buildFontAtlas(FontFace &face, FontAtlas &atlas, std::string &error);
// The file image of an atlas
std::vector<uint8_t> encodeFontFile(const FontAtlas &atlas);
