/**********************************************************************************************
*
*   bmp_writer - 24-bit Windows bitmap files from canvases
*
*   Encodes a canvas as an uncompressed 24-bit BMP: 14-byte file header, 40-byte info
*   header, rows bottom-up as B, G, R triples, each row padded to a multiple of 4 bytes.
*
*   DEPENDENCIES: canvas
*
**********************************************************************************************/
#pragma once

#include "canvas.h"

#include <cstdint>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------

constexpr int BMP_FILE_HEADER_SIZE = 14;
constexpr int BMP_INFO_HEADER_SIZE = 40;
constexpr int BMP_PIXEL_OFFSET = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Bytes in one stored row of a 24-bit image of this width (padding included)
int bmpRowStride(int width);
// The whole file image of the canvas
std::vector<uint8_t> encodeBmp(const Canvas &canvas);
// Writes bytes to a file; false (with errno set by the C library) on failure
bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);
// Encodes and writes the canvas
bool writeBmp(const std::string &path, const Canvas &canvas);
