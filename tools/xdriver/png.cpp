/**********************************************************************************************
*
*   png - PNG files of screenshots
*
*   Writing: 8-bit RGB, one IDAT, each row with the filter whose output is smallest by the
*   usual sum of absolute values (keeps screenshots of textured scenes small). Reading: 8-bit
*   RGB or RGBA, not interlaced (alpha dropped); every chunk's length and CRC is checked and
*   the image data must inflate to exactly the size the header gives, so a damaged or foreign
*   file is refused with a reason instead of being read past its end.
*
*   DEPENDENCIES: zlib
*
**********************************************************************************************/
#include "xdriver.h"

#include <zlib.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace xdriver {

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
namespace {

constexpr std::array<uint8_t, 8> SIGNATURE = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Largest side and pixel count read (a screenshot is far below both)
constexpr uint32_t MAX_SIDE = 16384;
constexpr uint64_t MAX_PIXELS = 64ull * 1024 * 1024;

constexpr int FILTER_TYPES = 5;    // none, sub, up, average, Paeth

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

void appendBigEndian(std::vector<uint8_t> &out, uint32_t value)
{
    out.push_back((uint8_t)(value >> 24));
    out.push_back((uint8_t)(value >> 16));
    out.push_back((uint8_t)(value >> 8));
    out.push_back((uint8_t)value);
}

uint32_t bigEndianAt(const uint8_t *p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | (uint32_t)p[3];
}

// Length, type, data and the CRC of type and data
void appendChunk(std::vector<uint8_t> &out, const char type[4], const std::vector<uint8_t> &data)
{
    appendBigEndian(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + start, (uInt)(out.size() - start));
    appendBigEndian(out, (uint32_t)crc);
}

int paeth(int a, int b, int c)
{
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// The predictor of a filter for byte i of a row (prev: the row above, all zero for the first)
int predictor(int type, const uint8_t *row, const uint8_t *prev, size_t i, int bpp)
{
    int left = i >= (size_t)bpp ? row[i - bpp] : 0;
    int up = prev[i];
    int upLeft = i >= (size_t)bpp ? prev[i - bpp] : 0;
    switch (type) {
    case 1: return left;
    case 2: return up;
    case 3: return (left + up) / 2;
    case 4: return paeth(left, up, upLeft);
    default: return 0;
    }
}

// A row filtered with each type; returns the type with the smallest sum of |signed bytes|
int bestFilter(const uint8_t *row, const uint8_t *prev, size_t length, int bpp,
               std::array<std::vector<uint8_t>, FILTER_TYPES> &candidates)
{
    int best = 0;
    uint64_t bestCost = UINT64_MAX;
    for (int type = 0; type < FILTER_TYPES; type++) {
        std::vector<uint8_t> &out = candidates[(size_t)type];
        out.resize(length);
        uint64_t cost = 0;
        for (size_t i = 0; i < length; i++) {
            out[i] = (uint8_t)(row[i] - predictor(type, row, prev, i, bpp));
            cost += (uint64_t)std::abs((int)(int8_t)out[i]);
        }
        if (cost < bestCost) {
            bestCost = cost;
            best = type;
        }
    }
    return best;
}

bool fail(std::string *error, const char *reason)
{
    if (error) *error = reason;
    return false;
}

// Inflates exactly `expected` bytes; false when the stream is damaged, shorter or longer
bool inflateExactly(const std::vector<uint8_t> &packed, size_t expected, std::vector<uint8_t> &raw)
{
    raw.assign(expected, 0);
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef *>(packed.data());
    stream.avail_in = (uInt)packed.size();
    stream.next_out = raw.data();
    stream.avail_out = (uInt)raw.size();
    int result = inflate(&stream, Z_FINISH);
    bool whole = result == Z_STREAM_END && stream.avail_out == 0;
    inflateEnd(&stream);
    return whole;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool writePng(const Image &image, const std::string &path)
{
    if (image.empty() || image.rgb.size() != (size_t)image.width * image.height * 3) return false;
    const size_t stride = (size_t)image.width * 3;
    std::vector<uint8_t> raw;
    raw.reserve((size_t)image.height * (stride + 1));
    std::vector<uint8_t> zeros(stride, 0);
    std::array<std::vector<uint8_t>, FILTER_TYPES> candidates;
    for (int y = 0; y < image.height; y++) {
        const uint8_t *row = &image.rgb[(size_t)y * stride];
        const uint8_t *prev = y > 0 ? row - stride : zeros.data();
        int type = bestFilter(row, prev, stride, 3, candidates);
        raw.push_back((uint8_t)type);
        raw.insert(raw.end(), candidates[(size_t)type].begin(), candidates[(size_t)type].end());
    }
    uLongf packedSize = compressBound((uLong)raw.size());
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 6) != Z_OK) return false;
    packed.resize(packedSize);

    std::vector<uint8_t> file(SIGNATURE.begin(), SIGNATURE.end());
    std::vector<uint8_t> header;
    appendBigEndian(header, (uint32_t)image.width);
    appendBigEndian(header, (uint32_t)image.height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    appendChunk(file, "IHDR", header);
    appendChunk(file, "IDAT", packed);
    appendChunk(file, "IEND", {});

    FILE *out = fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    bool ok = fwrite(file.data(), 1, file.size(), out) == file.size();
    return fclose(out) == 0 && ok;
}

bool readPng(const std::string &path, Image &image, std::string *error)
{
    std::string data;
    if (!readFile(path, data)) return fail(error, "cannot read the file");
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(data.data());
    const size_t size = data.size();
    if (size < SIGNATURE.size() || memcmp(bytes, SIGNATURE.data(), SIGNATURE.size()) != 0)
        return fail(error, "not a PNG file (no signature)");

    uint32_t width = 0, height = 0;
    int channels = 0;
    bool seenHeader = false, seenEnd = false;
    std::vector<uint8_t> packed;
    size_t at = SIGNATURE.size();
    while (!seenEnd) {
        if (size - at < 12) return fail(error, "truncated chunk");
        uint32_t length = bigEndianAt(bytes + at);
        if (length > 0x7FFFFFFFu || length > size - at - 12) return fail(error, "chunk longer than the file");
        const uint8_t *type = bytes + at + 4;
        const uint8_t *body = type + 4;
        uLong crc = crc32(crc32(0L, Z_NULL, 0), type, (uInt)(length + 4));
        if ((uint32_t)crc != bigEndianAt(body + length)) return fail(error, "bad chunk CRC");
        at += 12 + (size_t)length;

        if (!seenHeader) {
            if (memcmp(type, "IHDR", 4) != 0 || length != 13) return fail(error, "the first chunk is not IHDR");
            width = bigEndianAt(body);
            height = bigEndianAt(body + 4);
            if (width == 0 || height == 0 || width > MAX_SIDE || height > MAX_SIDE ||
                (uint64_t)width * height > MAX_PIXELS)
                return fail(error, "unsupported image size");
            if (body[8] != 8 || (body[9] != 2 && body[9] != 6)) return fail(error, "not 8-bit RGB or RGBA");
            if (body[10] != 0 || body[11] != 0 || body[12] != 0) return fail(error, "unsupported compression, filter or interlace");
            channels = body[9] == 2 ? 3 : 4;
            seenHeader = true;
        } else if (memcmp(type, "IDAT", 4) == 0) {
            packed.insert(packed.end(), body, body + length);
        } else if (memcmp(type, "IEND", 4) == 0) {
            seenEnd = true;
        } else if (memcmp(type, "IHDR", 4) == 0 || (type[0] & 0x20) == 0) {
            // NOTE: PLTE is optional for RGB images; any other critical chunk is not understood
            if (memcmp(type, "PLTE", 4) != 0) return fail(error, "unknown critical chunk");
        }
    }
    if (packed.empty()) return fail(error, "no image data");

    const size_t stride = (size_t)width * channels;
    std::vector<uint8_t> raw;
    if (!inflateExactly(packed, (size_t)height * (stride + 1), raw)) return fail(error, "damaged image data");

    std::vector<uint8_t> zeros(stride, 0);
    std::vector<uint8_t> pixels((size_t)height * stride);
    for (uint32_t y = 0; y < height; y++) {
        const uint8_t *in = &raw[(size_t)y * (stride + 1)];
        int type = in[0];
        if (type >= FILTER_TYPES) return fail(error, "unknown row filter");
        uint8_t *row = &pixels[(size_t)y * stride];
        const uint8_t *prev = y > 0 ? row - stride : zeros.data();
        for (size_t i = 0; i < stride; i++) row[i] = (uint8_t)(in[1 + i] + predictor(type, row, prev, i, channels));
    }

    image.width = (int)width;
    image.height = (int)height;
    image.rgb.resize((size_t)width * height * 3);
    for (size_t p = 0; p < (size_t)width * height; p++) memcpy(&image.rgb[p * 3], &pixels[p * channels], 3);
    return true;
}

}  // namespace xdriver
