/**********************************************************************************************
*
*   text - FreeType text rendering onto canvases
*
*   Opens a TrueType face, measures strings and draws them with anti-aliased coverage,
*   including fitting a label into a box (shrinking it, or breaking it over two lines).
*   Also gives the glyph rasters that the texture font is built from.
*
*   DEPENDENCIES: canvas, FreeType
*
**********************************************************************************************/
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

struct FontFaceData;  // FreeType library and face handles

// An open face; closed when the record goes away
struct FontFace {
    FontFaceData *data = nullptr;
    FontFace() = default;
    FontFace(const FontFace &) = delete;
    FontFace &operator=(const FontFace &) = delete;
    ~FontFace();
};

// One rendered glyph: coverage raster and its placement against the pen
struct GlyphRaster {
    int width = 0, rows = 0;
    int left = 0;        // pixels from the pen to the raster's left column
    int top = 0;         // pixels from the baseline up to the raster's top row
    int advance = 0;     // pen advance in whole pixels
    std::vector<unsigned char> coverage;  // width * rows, row 0 at the top
};

// Vertical metrics of the face at one pixel size, in whole pixels
struct LineMetrics {
    int ascender = 0;    // baseline to the top of the line
    int descender = 0;   // baseline to the bottom of the line (positive)
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Opens a font file; false with a message in error when it cannot be used
bool openFontFace(FontFace &face, const std::string &path, std::string &error);
// Renders one character at a pixel size; false when the face cannot render it
bool renderGlyph(FontFace &face, unsigned int code, int pixelSize, GlyphRaster &out);
// Line metrics at a pixel size
LineMetrics lineMetrics(FontFace &face, int pixelSize);
// Width of a string in pixels (sum of advances with kerning)
int measureText(FontFace &face, const std::string &text, int pixelSize);
// Draws a string with its pen starting at (x, baseline)
void drawText(Canvas &canvas, FontFace &face, const std::string &text, int pixelSize,
              float x, float baseline, Color c, float alpha = 1.0f);
// Draws a label centred in the box, as large as fits up to maxPixelSize; a label with
// spaces that would come out clearly smaller on one line is broken over two. shadowOffset > 0 adds a
// dark drop shadow.
void drawLabel(Canvas &canvas, FontFace &face, const std::string &text,
               float x0, float y0, float x1, float y1, int maxPixelSize, Color c,
               float shadowOffset = 0.0f);
