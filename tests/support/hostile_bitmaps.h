// Bitmaps a stranger may send, made byte by byte: a run-length "bomb" (a few hundred bytes that
// claim a huge picture) and pictures with the version 4 and 5 headers image tools write. Used by
// the export tests and by the fuzz seed maker.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostile_bitmaps {

inline void put(std::string &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++) out.push_back((char)(value >> (8 * i)));
}

// A BMP file: "BM" header, an info header of headerSize bytes (masks inside it from 52 bytes
// on), a colour table of `colours` grey entries and the pixel bytes as given
inline std::string bitmapFile(uint32_t headerSize, int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                              uint32_t colours, const std::vector<uint32_t> &masks, const std::string &pixels)
{
    std::string info;
    put(info, headerSize, 4);
    put(info, (uint32_t)width, 4);
    put(info, (uint32_t)height, 4);
    put(info, 1, 2);
    put(info, bits, 2);
    for (uint32_t v : {compression, (uint32_t)pixels.size(), 2835u, 2835u, colours, 0u}) put(info, v, 4);
    if (headerSize >= 52)
        for (uint32_t mask : masks) put(info, mask, 4);
    if (headerSize >= 108) put(info, 0x73524742, 4);   // 'sRGB': colour space data, not used
    info.resize(headerSize, '\0');
    if (headerSize < 52)
        for (uint32_t mask : masks) put(info, mask, 4);
    for (uint32_t i = 0; i < colours; i++) {
        const char grey = (char)(i * 255 / (colours > 1 ? colours - 1 : 1));
        info += std::string(3, grey) + '\0';
    }
    std::string file = "BM";
    const uint32_t offset = 14 + (uint32_t)info.size();
    put(file, offset + (uint32_t)pixels.size(), 4);
    put(file, 0, 4);
    put(file, offset, 4);
    return file + info + pixels;
}

// fileSize bytes of RLE8 (bits 8) or RLE4 (bits 4) data claiming width x height pixels: one
// short run, then the end of the bitmap, then padding
inline std::string runLengthBomb(int32_t width, int32_t height, uint16_t bits, size_t fileSize)
{
    const uint32_t colours = bits == 8 ? 256 : 16;
    std::string runs = {'\x10', '\x01', '\x00', '\x01'};
    const size_t headers = 14 + 40 + colours * 4;
    if (fileSize > headers + runs.size()) runs.resize(fileSize - headers, '\0');
    return bitmapFile(40, width, height, bits, bits == 8 ? 1 : 2, colours, {}, runs);
}

// A width x height picture with a version 5 header (124 bytes), 32 bits with masks in the header
// (alpha included), a horizontal ramp of red and a vertical ramp of green
inline std::string version5Bitmap(int32_t width, int32_t height)
{
    std::string pixels;
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++) put(pixels, 0xFF000000u | (uint32_t)(x * 255 / width) << 16 | (uint32_t)(y * 255 / height) << 8, 4);
    return bitmapFile(124, width, height, 32, 3, 0, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, pixels);
}

}  // namespace hostile_bitmaps
