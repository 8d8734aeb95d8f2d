// Writes the BMP fuzz target's own seeds into a folder: run-length bombs (a few hundred bytes
// that claim pictures far larger than they can describe, with 8 and 4 bits) and pictures with
// the version 4 and 5 headers image tools write (bit-field masks inside the header, 16 and 32
// bits, top-down rows, a colour table), so that the fuzzer starts from the shapes of files the
// reader's limits and newer headers are about.
#include "hostile_bitmaps.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace hostile_bitmaps;

namespace {

bool write(const std::string &folder, const char *name, const std::string &bytes)
{
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out << bytes;
    return (bool)out;
}

// 16 x 8 pixels of 16 bits, 5-6-5 masks in a version 5 header
std::string version5Rgb565()
{
    std::string pixels;
    for (int i = 0; i < 16 * 8; i++) put(pixels, (uint32_t)(i * 517) & 0xFFFF, 2);
    return bitmapFile(124, 16, 8, 16, 3, 0, {0xF800, 0x07E0, 0x001F, 0}, pixels);
}

// 5 x 3 pixels of 24 bits (rows padded to 16 bytes), a version 4 header, rows top-down
std::string version4TopDown()
{
    std::string pixels;
    for (int y = 0; y < 3; y++) {
        for (int x = 0; x < 5; x++) pixels += std::string{(char)(x * 50), (char)(y * 100), (char)128};
        pixels += '\0';
    }
    return bitmapFile(108, 5, -3, 24, 0, 0, {}, pixels);
}

// 8 x 4 pixels of 8 bits with a colour table of 4 entries, a version 5 header
std::string version5Palette()
{
    std::string pixels;
    for (int i = 0; i < 8 * 4; i++) pixels += (char)(i % 4);
    return bitmapFile(124, 8, 4, 8, 0, 4, {}, pixels);
}

// 16 x 4 pixels of RLE8 data with runs, an absolute run, a delta and the ends of line and bitmap
std::string runLengthWithDelta()
{
    const std::string runs = {'\x05', '\x01', '\x00', '\x04', '\x02', '\x03', '\x01', '\x02',
                              '\x00', '\x00', '\x00', '\x02', '\x03', '\x01', '\x08', '\x02',
                              '\x00', '\x00', '\x10', '\x03', '\x00', '\x01'};
    return bitmapFile(40, 16, 4, 8, 1, 4, {}, runs);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: bmp_seed_maker FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool written = write(folder, "rle8-bomb.bmp", runLengthBomb(8192, 8192, 8, 1080)) &&
                         write(folder, "rle4-bomb.bmp", runLengthBomb(8192, 8192, 4, 200)) &&
                         write(folder, "rle8-bomb-in-bounds.bmp", runLengthBomb(3000, 3000, 8, 1080)) &&
                         write(folder, "rle8-delta.bmp", runLengthWithDelta()) &&
                         write(folder, "v5-rgb32-masks.bmp", version5Bitmap(16, 8)) &&
                         write(folder, "v5-rgb565.bmp", version5Rgb565()) &&
                         write(folder, "v4-rgb24-topdown.bmp", version4TopDown()) &&
                         write(folder, "v5-pal8.bmp", version5Palette());
    if (!written) fprintf(stderr, "bmp_seed_maker: cannot write in %s\n", folder.c_str());
    return written ? 0 : 1;
}
