/**********************************************************************************************
*
*   png_writer - RGBA pictures as PNG files (the desktop icons)
*
*   DEPENDENCIES: libpng
*
**********************************************************************************************/
#include "png_writer.h"

#include <png.h>     // Required for: png_create_write_struct(), png_write_png(), ...

#include <cerrno>    // Required for: errno
#include <csetjmp>   // Required for: setjmp() (libpng's error return)
#include <cstdio>    // Required for: fopen(), fflush(), fclose(), remove()
#include <cstring>   // Required for: strerror()

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// NOTE: libpng reports errors by longjmp; nothing with a destructor lives between the
// setjmp and the calls that may jump
bool writePngRgba(const std::string &path, int width, int height, const std::vector<uint8_t> &rgba,
                  std::string &error)
{
    if (width <= 0 || height <= 0 || rgba.size() != (size_t)width * (size_t)height * 4) {
        error = "bad picture size for " + path;
        return false;
    }
    std::vector<png_bytep> rows((size_t)height);
    for (int y = 0; y < height; y++) rows[(size_t)y] = const_cast<png_bytep>(&rgba[(size_t)y * (size_t)width * 4]);

    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = (png != nullptr) ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;  // NOTE: volatile, as it is read after a longjmp
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 9);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    bool written = ok;
    if (fflush(file) != 0) written = false;
    if (fclose(file) != 0) written = false;
    if (!written) {
        error = "cannot write " + path;
        remove(path.c_str());    // no half-written picture left for the build to install
    }
    return written;
}
