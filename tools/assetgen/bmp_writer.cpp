/**********************************************************************************************
*
*   bmp_writer - 24-bit Windows bitmap files from canvases
*
*   DEPENDENCIES: canvas
*
**********************************************************************************************/
#include "bmp_writer.h"

#include <cstdio>
#include <memory>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

struct FileCloser {
    void operator()(FILE *f) const { fclose(f); }
};

void putU16(std::vector<uint8_t> &out, size_t at, uint32_t v)
{
    out[at] = static_cast<uint8_t>(v & 0xff);
    out[at + 1] = static_cast<uint8_t>((v >> 8) & 0xff);
}

void putU32(std::vector<uint8_t> &out, size_t at, uint32_t v)
{
    putU16(out, at, v & 0xffff);
    putU16(out, at + 2, v >> 16);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Stored row size: three bytes a pixel rounded up to a multiple of four
int bmpRowStride(int width)
{
    return (width * 3 + 3) & ~3;
}

// The file image: headers, then rows from the bottom of the canvas up
std::vector<uint8_t> encodeBmp(const Canvas &canvas)
{
    int stride = bmpRowStride(canvas.width);
    uint32_t imageSize = static_cast<uint32_t>(stride) * static_cast<uint32_t>(canvas.height);
    std::vector<uint8_t> out(BMP_PIXEL_OFFSET + imageSize, 0);

    out[0] = 'B';
    out[1] = 'M';
    putU32(out, 2, static_cast<uint32_t>(out.size()));
    putU32(out, 10, BMP_PIXEL_OFFSET);

    putU32(out, 14, BMP_INFO_HEADER_SIZE);
    putU32(out, 18, static_cast<uint32_t>(canvas.width));
    putU32(out, 22, static_cast<uint32_t>(canvas.height));
    putU16(out, 26, 1);     // planes
    putU16(out, 28, 24);    // bits per pixel
    putU32(out, 30, 0);     // no compression
    putU32(out, 34, imageSize);
    putU32(out, 38, 2835);  // 72 dots per inch, as pixels per metre
    putU32(out, 42, 2835);

    for (int row = 0; row < canvas.height; row++) {
        int y = canvas.height - 1 - row;
        size_t at = BMP_PIXEL_OFFSET + static_cast<size_t>(row) * stride;
        for (int x = 0; x < canvas.width; x++) {
            Color c = getPixel(canvas, x, y);
            out[at++] = colorByte(c.b);
            out[at++] = colorByte(c.g);
            out[at++] = colorByte(c.r);
        }
    }
    return out;
}

// Writes bytes to a file in one go
bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "wb"));
    if (!file) return false;
    if (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
    return fflush(file.get()) == 0;
}

// Encodes and writes the canvas
bool writeBmp(const std::string &path, const Canvas &canvas)
{
    return writeFileBytes(path, encodeBmp(canvas));
}
