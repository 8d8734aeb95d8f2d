/**********************************************************************************************
*
*   png_writer - RGBA pictures as PNG files (the desktop icons)
*
*   Straight (not premultiplied) 8-bit RGBA, rows top to bottom, written through libpng
*   with no time stamp or other chunk that changes between runs, so a build writes the
*   same bytes every time.
*
*   DEPENDENCIES: libpng
*
**********************************************************************************************/
#pragma once

#include <cstdint>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Writes width x height RGBA pixels (4 bytes each) to path; false with a message in error
bool writePngRgba(const std::string &path, int width, int height, const std::vector<uint8_t> &rgba,
                  std::string &error);
