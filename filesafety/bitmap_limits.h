/**********************************************************************************************
*
*   bitmap_limits - how large a picture a bitmap file may make
*
*   A bitmap header states its width and height, and a reader would allocate what they ask
*   for before it looks at a single pixel. Two bounds keep a small file from asking for a
*   large picture:
*     - no picture has more than BITMAP_MAX_PIXELS pixels (4096 x 4096: 48 MiB as RGB);
*     - a picture may not claim more pixels than its bytes can describe: at most
*       BITMAP_PIXELS_PER_BYTE pixels per byte of pixel data (run-length data describes at
*       most 255 pixels with two bytes; uncompressed data at most 8 per byte), except that
*       pictures of up to BITMAP_FREE_PIXELS pixels are always allowed, so a small run-length
*       picture that leaves most of its rows empty still loads.
*   A reader that knows where the pixel data lies counts those bytes; one that does not (a
*   toolkit's image reader) counts the whole file, which only loosens the bound a little.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/
#pragma once

#include <cstddef>
#include <cstdint>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr uint64_t BITMAP_MAX_PIXELS = uint64_t(1) << 24;
constexpr uint64_t BITMAP_PIXELS_PER_BYTE = 128;
constexpr uint64_t BITMAP_FREE_PIXELS = uint64_t(1) << 20;

// Largest bitmap file read whole into memory: 32 bits per pixel at the largest size, and room
// for headers, a colour table and a colour profile
constexpr size_t BITMAP_MAX_FILE_BYTES = (size_t)(4 * BITMAP_MAX_PIXELS + (uint64_t(1) << 20));

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// True when a picture of width x height pixels is within the largest size
inline bool bitmapSizeAllowed(uint64_t width, uint64_t height)
{
    return width > 0 && height > 0 && width <= BITMAP_MAX_PIXELS && height <= BITMAP_MAX_PIXELS &&
           width * height <= BITMAP_MAX_PIXELS;
}

// True when dataBytes bytes of pixel data can describe a picture of width x height pixels
inline bool bitmapDescribable(uint64_t width, uint64_t height, uint64_t dataBytes)
{
    if (!bitmapSizeAllowed(width, height)) return false;
    const uint64_t pixels = width * height;
    return pixels <= BITMAP_FREE_PIXELS || pixels / BITMAP_PIXELS_PER_BYTE <= dataBytes;
}
