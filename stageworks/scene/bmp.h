/**********************************************************************************************
*
*   bmp - the BMP reader of stageworks
*
*   Turns a Windows BMP file (or a packed DIB without the "BM" file header) into a tightly
*   packed 24-bit RGB image: rows without padding, in the row order of the file (bottom row
*   first for the usual positive height). Reads the 40-byte Windows info header and its later
*   versions (52, 56, 108 and 124 bytes: the version 4 and 5 headers image tools write by
*   default; their colour space, profile and alpha mask are not used) and the 12-byte OS/2
*   header; 1, 4 and 8 bits with a colour table, 16 and 32 bits (default or bit-field masks,
*   inside the header or after it), 24 bits, and run-length compressed 8- and 4-bit data. The
*   file is opened without blocking, mapped read-only and decoded from memory, so the decoder
*   also serves tests and the fuzz target directly.
*
*   Every failure is shown in a message box captioned "Error" and gives a null image. Every
*   offset, size, index and run length taken from the file is checked against the file first,
*   and no picture is allocated that is larger than the limits of bitmap_limits: 4096 x 4096
*   pixels, and for run-length data no more than its bytes can describe.
*
*   DEPENDENCIES: message_box (error boxes), bitmap_limits and scene_paths (file_safety),
*                 POSIX file mapping (mmap)
*
**********************************************************************************************/
#pragma once

#include "bitmap_limits.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct OpenedFile;

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// The 40-byte Windows info header; a 12-byte OS/2 header is widened into it, a later Windows
// header (52 to 124 bytes) cut to it
struct dib_info_header {
    uint32_t size;            // 40, 52, 56, 108, 124 or 12, as stored
    int32_t width;
    int32_t height;           // negative for rows stored top-down
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t colorsUsed;
    uint32_t colorsImportant;
};

// A decoded image: width x |height| pixels of R, G, B bytes
struct dib_image {
    int32_t width;
    int32_t height;           // as stored in the file
    std::vector<unsigned char> pixels;
};

constexpr uint32_t DIB_COMPRESSION_RGB = 0;
constexpr uint32_t DIB_COMPRESSION_RLE8 = 1;
constexpr uint32_t DIB_COMPRESSION_RLE4 = 2;
constexpr uint32_t DIB_COMPRESSION_BITFIELDS = 3;

// Larger images are refused ("Out of memory.") before anything is allocated
constexpr uint64_t DIB_MAX_PIXELS = BITMAP_MAX_PIXELS;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Colour table entries of a header: colours used when set (Windows headers), else 2, 16 or
// 256 for 1, 4 or 8 bits, and 0 for every other bit count
uint32_t dib_color_count(const dib_info_header &header);

// Reads the info header of a BMP file or packed DIB held in memory, with image size 0
// replaced by ((bit count x width + 7) / 8) x |height| and colours used 0 by the colour
// count; false (silently) when there is no complete info header of a known size
bool read_dib_header(const unsigned char *bytes, size_t size, dib_info_header *header);

// Decodes a BMP file or packed DIB held in memory; null after an error box
std::unique_ptr<dib_image> decode_dib_image(const unsigned char *bytes, size_t size);

// Maps a file opened by the file-safety library read-only and decodes it; null after an error
// box (shownName is the name the box gives for a file that cannot be mapped)
std::unique_ptr<dib_image> load_dib_image_file(const OpenedFile &file, const char *shownName);

// Opens the named file (a regular file, without blocking), maps it and decodes it; null after
// an error box
std::unique_ptr<dib_image> load_dib_image(const char *path);
