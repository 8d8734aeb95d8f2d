// libFuzzer target: the BMP decoder on arbitrary bytes. A decoded image must have exactly
// width x |height| x 3 bytes of pixels, all of them readable.
#include "bmp.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<dib_image> image = decode_dib_image(data, size);
    if (!image) return 0;
    uint64_t rows = image->height < 0 ? (uint64_t)(-(int64_t)image->height) : (uint64_t)image->height;
    if (image->width <= 0 || rows == 0 || image->pixels.size() != (uint64_t)image->width * rows * 3) abort();
    unsigned sum = 0;
    for (unsigned char byte : image->pixels) sum += byte;
    // NOTE: keeps the pixel walk from being optimised away
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
