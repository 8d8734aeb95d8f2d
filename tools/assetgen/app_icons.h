/**********************************************************************************************
*
*   app_icons - the desktop icons of stageworks and matforge
*
*   Draws each program's icon at 48, 128 and 256 pixels (each size drawn for itself, not
*   scaled) and writes them as PNG files in the layout of the hicolor icon theme:
*   DIRECTORY/hicolor/<N>x<N>/apps/<program>.png. stageworks shows a cube and a pyramid
*   under a sky, matforge a lit sphere over three colour swatches; both on a rounded
*   square whose corners are transparent.
*
*   DEPENDENCIES: canvas, raster3d, solids, png_writer
*
**********************************************************************************************/
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// A straight-alpha picture: the colour canvas and the opacity of each pixel (0 to 1)
struct IconPicture {
    Canvas colour;
    std::vector<float> alpha;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The sizes written, in pixels
extern const int ICON_SIZES[3];
// Draws the icon of a program ("stageworks" or "matforge") at size x size pixels; an
// unknown name gives an empty picture
IconPicture drawAppIcon(const std::string &program, int size);
// Writes both programs' icons at every size under directory; false with a message in
// error on the first failure. filesWritten receives the number of files written.
bool generateAppIcons(const std::string &directory, std::string &error, int &filesWritten);
