/**********************************************************************************************
*
*   bmp - the BMP reader of stageworks
*
*   Malformed files: a file whose headers do not describe a supported image (header size,
*   planes, bit count, compression, dimensions, a colour table or masks cut off by the end
*   of the file, uncompressed rows that do not fit the file, run-length data too short to
*   describe the picture it claims) is refused with an error box.
*   Inside a file that passes those checks, damage is decoded as far as it is safe:
*     - a palette index past the colour table, or an entry missing from a short table,
*       gives a black pixel;
*     - run-length data: pixels of a run that go past the end of a row are dropped, a delta
*       past the right edge leaves the rest of the row empty, decoding stops at a row past
*       the top, at an absolute run cut off by the end of the file (after its available
*       pixels) and at the end of the file; pixels never written stay black.
*
**********************************************************************************************/
#include "bmp.h"

#include "bitmap_limits.h"
#include "message_box.h"
#include "scene_paths.h"

#include <sys/mman.h>  // Required for: mmap(), munmap()

#include <array>
#include <cstdio>
#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
namespace {

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr size_t PIXEL_OFFSET_FIELD = 10;
constexpr uint32_t WINDOWS_HEADER_SIZE = 40;
constexpr uint32_t OS2_HEADER_SIZE = 12;
constexpr size_t MASKS_SIZE = 12;
constexpr size_t HEADER_MASKS_OFFSET = 40;   // where the masks lie inside a header of 52 bytes or more

enum dib_error { DIB_OK, DIB_UNKNOWN_FORMAT, DIB_NO_MEMORY, DIB_CONVERSION };

// A colour table entry, widened to R, G, B
typedef std::array<unsigned char, 3> rgb_entry;

// One channel of a bit-field pixel: (pixel & mask) >> shift, widened from 0..maximum to 0..255
struct channel_mask {
    uint32_t mask;
    uint32_t shift;
    uint32_t maximum;
    uint32_t bits;    // width of a mask without gaps (0 for a mask with gaps)
};

// Where everything of a file lies, after every offset has been checked against the file
struct dib_layout {
    dib_info_header header;
    size_t pixelOffset;
    std::array<channel_mask, 3> masks;   // red, green, blue (16 and 32 bits)
    std::array<rgb_entry, 256> palette;  // entries past paletteSize are black
    uint32_t paletteSize;
};

// The read-only view of a mapped file; unmapped when it goes out of scope
struct mapped_file {
    void *data = MAP_FAILED;
    size_t size = 0;

    mapped_file() = default;
    mapped_file(const mapped_file &) = delete;
    mapped_file &operator=(const mapped_file &) = delete;
    ~mapped_file()
    {
        if (data != MAP_FAILED) munmap(data, size);
    }
};

} // namespace

//----------------------------------------------------------------------------------
// Private helpers: reading the file
//----------------------------------------------------------------------------------

// Little-endian 16-bit value at offset (the caller has checked the bounds)
static uint32_t read_u16(const unsigned char *bytes, size_t offset)
{
    return (uint32_t)bytes[offset] | ((uint32_t)bytes[offset + 1] << 8);
}

// Little-endian 32-bit value at offset (the caller has checked the bounds)
static uint32_t read_u32(const unsigned char *bytes, size_t offset)
{
    return (uint32_t)bytes[offset] | ((uint32_t)bytes[offset + 1] << 8) |
           ((uint32_t)bytes[offset + 2] << 16) | ((uint32_t)bytes[offset + 3] << 24);
}

// True when the bytes start with the "BM" file header
static bool has_file_header(const unsigned char *bytes, size_t size)
{
    return size >= 2 && bytes[0] == 0x42 && bytes[1] == 0x4D;
}

// True for the sizes of the Windows info header and its later versions (52 and 56 bytes: the
// masks inside the header; 108: version 4; 124: version 5), which all begin with the 40 bytes
// of the first one
static bool is_windows_header(uint32_t size)
{
    return size == WINDOWS_HEADER_SIZE || size == 52 || size == 56 || size == 108 || size == 124;
}

// Parses the info header as stored (no defaults applied); a later Windows header is read as
// its first 40 bytes (its colour space and profile are not used)
static dib_error parse_info_header(const unsigned char *bytes, size_t size, dib_info_header *header)
{
    size_t at = has_file_header(bytes, size) ? FILE_HEADER_SIZE : 0;
    if (size < at + 4) return DIB_UNKNOWN_FORMAT;
    *header = dib_info_header{};
    header->size = read_u32(bytes, at);
    if (!is_windows_header(header->size) && header->size != OS2_HEADER_SIZE) return DIB_UNKNOWN_FORMAT;
    if (size - at < header->size) return DIB_CONVERSION;
    if (header->size == OS2_HEADER_SIZE) {
        header->width = (int32_t)read_u16(bytes, at + 4);
        header->height = (int32_t)read_u16(bytes, at + 6);
        header->planes = (uint16_t)read_u16(bytes, at + 8);
        header->bitCount = (uint16_t)read_u16(bytes, at + 10);
        return DIB_OK;
    }
    header->width = (int32_t)read_u32(bytes, at + 4);
    header->height = (int32_t)read_u32(bytes, at + 8);
    header->planes = (uint16_t)read_u16(bytes, at + 12);
    header->bitCount = (uint16_t)read_u16(bytes, at + 14);
    header->compression = read_u32(bytes, at + 16);
    header->imageSize = read_u32(bytes, at + 20);
    header->xPelsPerMeter = (int32_t)read_u32(bytes, at + 24);
    header->yPelsPerMeter = (int32_t)read_u32(bytes, at + 28);
    header->colorsUsed = read_u32(bytes, at + 32);
    header->colorsImportant = read_u32(bytes, at + 36);
    return DIB_OK;
}

// Rows of the image (the magnitude of the height)
static uint64_t row_count(const dib_info_header &header)
{
    return header.height < 0 ? (uint64_t)(-(int64_t)header.height) : (uint64_t)header.height;
}

// Bytes of one uncompressed row, padded to a multiple of 4
static uint64_t row_stride(const dib_info_header &header)
{
    return ((uint64_t)header.width * header.bitCount + 31) / 32 * 4;
}

// Applies the defaults for image size 0 and colours used 0
static void normalize_header(dib_info_header *header)
{
    if (header->imageSize == 0 && header->width > 0) {
        uint64_t size = ((uint64_t)header->bitCount * (uint64_t)header->width + 7) / 8 * row_count(*header);
        header->imageSize = size > UINT32_MAX ? UINT32_MAX : (uint32_t)size;
    }
    if (header->colorsUsed == 0) header->colorsUsed = dib_color_count(*header);
}

// True for the bit counts and compressions the decoder handles
static bool is_supported_format(const dib_info_header &header)
{
    switch (header.compression) {
    case DIB_COMPRESSION_RGB:
        return header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 ||
               header.bitCount == 16 || header.bitCount == 24 || header.bitCount == 32;
    case DIB_COMPRESSION_RLE8:
        return header.bitCount == 8 && header.height > 0;
    case DIB_COMPRESSION_RLE4:
        return header.bitCount == 4 && header.height > 0;
    case DIB_COMPRESSION_BITFIELDS:
        return header.bitCount == 16 || header.bitCount == 32;
    default:
        return false;
    }
}

// Shift and range of one bit-field mask
static channel_mask make_channel_mask(uint32_t mask)
{
    channel_mask channel = {mask, 0, 0, 0};
    if (mask == 0) return channel;
    while (((mask >> channel.shift) & 1u) == 0) channel.shift++;
    channel.maximum = mask >> channel.shift;
    // NOTE: counted in 64 bits, so that a mask of all 32 bits ends the count too
    if (((uint64_t)channel.maximum & ((uint64_t)channel.maximum + 1)) == 0)
        while (channel.bits < 32 && (channel.maximum >> channel.bits) != 0) channel.bits++;
    return channel;
}

// One channel of a 16- or 32-bit pixel widened to 0..255. A mask without gaps repeats its bits
// downwards (5 bits abcde give abcdeabc; more than 8 bits keep the top 8), as image tools widen
// them; a mask with gaps is scaled to the nearest value
static unsigned char extract_channel(uint32_t pixel, const channel_mask &channel)
{
    if (channel.maximum == 0) return 0;
    // NOTE: (pixel & mask) >> shift never exceeds mask >> shift, even for masks with gaps
    uint64_t value = (pixel & channel.mask) >> channel.shift;
    if (channel.bits == 0) return (unsigned char)((value * 255 + channel.maximum / 2) / channel.maximum);
    const int bits = (int)channel.bits;
    uint64_t widened = 0;
    for (int at = 8 - bits; at > -bits; at -= bits) widened |= at >= 0 ? value << at : value >> -at;
    return (unsigned char)(widened & 0xFF);
}

// Reads the colour table entries that lie inside [start, limit) of the file
static void read_palette(const unsigned char *bytes, size_t start, size_t limit, size_t entrySize,
                         uint32_t count, dib_layout *layout)
{
    uint32_t wanted = count < 256 ? count : 256;
    uint64_t fitting = limit > start ? (limit - start) / entrySize : 0;
    layout->paletteSize = fitting < wanted ? (uint32_t)fitting : wanted;
    for (uint32_t i = 0; i < layout->paletteSize; i++) {
        const unsigned char *entry = bytes + start + (size_t)i * entrySize;
        layout->palette[i] = rgb_entry{entry[2], entry[1], entry[0]};
    }
}

// Finds the header, masks, colour table and pixels of a file and checks them against it
static dib_error read_layout(const unsigned char *bytes, size_t size, dib_layout *layout)
{
    dib_info_header &header = layout->header;
    dib_error error = parse_info_header(bytes, size, &header);
    if (error != DIB_OK) return error;
    if (header.planes != 1 || !is_supported_format(header)) return DIB_CONVERSION;
    if (header.width <= 0 || header.height == 0 || header.height == INT32_MIN) return DIB_CONVERSION;
    if (!bitmapSizeAllowed((uint64_t)header.width, row_count(header))) return DIB_NO_MEMORY;

    bool fileHeader = has_file_header(bytes, size);
    const size_t headerStart = fileHeader ? FILE_HEADER_SIZE : 0;
    size_t tableStart = headerStart + header.size;
    if (header.compression == DIB_COMPRESSION_BITFIELDS && header.size >= HEADER_MASKS_OFFSET + MASKS_SIZE) {
        // NOTE: the header was checked to lie in the file whole, masks included
        for (size_t i = 0; i < 3; i++)
            layout->masks[i] = make_channel_mask(read_u32(bytes, headerStart + HEADER_MASKS_OFFSET + 4 * i));
    } else if (header.compression == DIB_COMPRESSION_BITFIELDS) {
        if (size - tableStart < MASKS_SIZE) return DIB_CONVERSION;
        for (size_t i = 0; i < 3; i++) layout->masks[i] = make_channel_mask(read_u32(bytes, tableStart + 4 * i));
        tableStart += MASKS_SIZE;
    } else if (header.bitCount == 16) {
        layout->masks = {make_channel_mask(0x7C00), make_channel_mask(0x03E0), make_channel_mask(0x001F)};
    } else {
        layout->masks = {make_channel_mask(0xFF0000), make_channel_mask(0xFF00), make_channel_mask(0xFF)};
    }

    uint32_t colorCount = dib_color_count(header);
    size_t entrySize = header.size == OS2_HEADER_SIZE ? 3 : 4;
    size_t tableLimit = size;
    if (fileHeader) {
        layout->pixelOffset = read_u32(bytes, PIXEL_OFFSET_FIELD);
        if (layout->pixelOffset > size) return DIB_CONVERSION;
        // NOTE: a table that runs into the pixels is cut at the pixel offset
        if (layout->pixelOffset >= tableStart) tableLimit = layout->pixelOffset;
    } else {
        uint64_t offset = (uint64_t)tableStart + (uint64_t)colorCount * entrySize;
        if (offset > size) return DIB_CONVERSION;
        layout->pixelOffset = (size_t)offset;
    }
    if (header.compression != DIB_COMPRESSION_RLE8 && header.compression != DIB_COMPRESSION_RLE4) {
        // NOTE: the last row may lack its padding; rows are checked before anything is allocated
        uint64_t stride = row_stride(header);
        uint64_t lastRow = ((uint64_t)header.width * header.bitCount + 7) / 8;
        if (stride * (row_count(header) - 1) + lastRow > size - layout->pixelOffset) return DIB_CONVERSION;
    } else if (!bitmapDescribable((uint64_t)header.width, row_count(header), size - layout->pixelOffset)) {
        // NOTE: run-length data that could not describe the picture it claims (a few bytes
        // asking for 8192 x 8192) is refused before the picture is allocated
        return DIB_CONVERSION;
    }
    layout->paletteSize = 0;
    if (header.bitCount <= 8) read_palette(bytes, tableStart, tableLimit, entrySize, colorCount, layout);
    normalize_header(&header);
    return DIB_OK;
}

//----------------------------------------------------------------------------------
// Private helpers: decoding pixels
//----------------------------------------------------------------------------------

// Writes palette entry index (black when out of range) at pixel x of an output row
static void put_index(const dib_layout &layout, unsigned char *row, uint64_t x, uint32_t index)
{
    unsigned char *out = row + x * 3;
    if (index < layout.paletteSize) {
        out[0] = layout.palette[index][0];
        out[1] = layout.palette[index][1];
        out[2] = layout.palette[index][2];
    } else {
        out[0] = out[1] = out[2] = 0;
    }
}

// Converts one uncompressed source row into R, G, B
static void decode_row(const dib_layout &layout, const unsigned char *source, unsigned char *row)
{
    uint64_t width = (uint64_t)layout.header.width;
    switch (layout.header.bitCount) {
    case 1:
        for (uint64_t x = 0; x < width; x++) put_index(layout, row, x, (source[x / 8] >> (7 - x % 8)) & 1u);
        break;
    case 4:
        for (uint64_t x = 0; x < width; x++) put_index(layout, row, x, (source[x / 2] >> (x % 2 ? 0 : 4)) & 15u);
        break;
    case 8:
        for (uint64_t x = 0; x < width; x++) put_index(layout, row, x, source[x]);
        break;
    case 24:
        for (uint64_t x = 0; x < width; x++) {
            row[x * 3] = source[x * 3 + 2];
            row[x * 3 + 1] = source[x * 3 + 1];
            row[x * 3 + 2] = source[x * 3];
        }
        break;
    default: // 16 and 32 bits through the channel masks
        for (uint64_t x = 0; x < width; x++) {
            uint32_t pixel = layout.header.bitCount == 16 ? read_u16(source, x * 2) : read_u32(source, x * 4);
            for (size_t c = 0; c < 3; c++) row[x * 3 + c] = extract_channel(pixel, layout.masks[c]);
        }
        break;
    }
}

// Decodes uncompressed rows (their extent was checked against the file with the layout)
static void decode_uncompressed(const dib_layout &layout, const unsigned char *bytes, dib_image *image)
{
    uint64_t width = (uint64_t)layout.header.width;
    uint64_t stride = row_stride(layout.header);
    for (uint64_t y = 0; y < row_count(layout.header); y++) {
        decode_row(layout, bytes + layout.pixelOffset + y * stride, image->pixels.data() + y * width * 3);
    }
}

// Palette index of pixel i of a run: RLE8 takes whole bytes, RLE4 alternates the two nibbles
static uint32_t run_index(const unsigned char *data, uint32_t value, uint32_t i, bool absolute, bool fourBits)
{
    if (!fourBits) return absolute ? data[i] : value;
    uint32_t byte = absolute ? data[i / 2] : value;
    return (i % 2 == 0) ? (byte >> 4) & 15u : byte & 15u;
}

// Decodes RLE8 or RLE4 data (bottom-up images only); see the top of this file for damage
static void decode_run_length(const dib_layout &layout, const unsigned char *bytes, size_t size,
                              dib_image *image)
{
    bool fourBits = layout.header.compression == DIB_COMPRESSION_RLE4;
    uint64_t width = (uint64_t)layout.header.width;
    uint64_t rows = row_count(layout.header);
    uint64_t x = 0, y = 0;
    size_t at = layout.pixelOffset;
    // NOTE: every pass consumes at least two bytes, so the loop ends with the data
    while (y < rows && size - at >= 2) {
        uint32_t count = bytes[at];
        uint32_t value = bytes[at + 1];
        at += 2;
        unsigned char *row = image->pixels.data() + y * width * 3;
        if (count > 0) {
            for (uint32_t i = 0; i < count && x < width; i++, x++) {
                put_index(layout, row, x, run_index(nullptr, value, i, false, fourBits));
            }
        } else if (value == 0) { // end of line
            x = 0;
            y++;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta: right and up
            if (size - at < 2) return;
            x += bytes[at];
            y += bytes[at + 1];
            at += 2;
            if (x > width) x = width;
        } else { // absolute run of value pixels, padded to an even byte count
            size_t length = fourBits ? (value + 1) / 2 : value;
            size_t available = size - at < length ? size - at : length;
            uint32_t pixels = fourBits ? (uint32_t)(available * 2 < value ? available * 2 : value) : (uint32_t)available;
            for (uint32_t i = 0; i < pixels && x < width; i++, x++) {
                put_index(layout, row, x, run_index(bytes + at, 0, i, true, fourBits));
            }
            if (available < length) return;
            at += length + (length % 2);
            if (at > size) return;
        }
    }
}

// Shows the error box of an error code
static void report_error(dib_error error)
{
    switch (error) {
    case DIB_UNKNOWN_FORMAT: showMessageBox("Error", "Unknown DIB file format."); break;
    case DIB_NO_MEMORY: showMessageBox("Error", "Out of memory."); break;
    case DIB_CONVERSION: showMessageBox("Error", "Image file conversion error."); break;
    case DIB_OK: break;
    }
}

// Shows the error box for a file that cannot be opened or mapped
static void report_open_failure(const char *path)
{
    const char *name = path ? path : "";
    int length = snprintf(nullptr, 0, "Failed to open DIB file %s.\n", name);
    std::string text(length > 0 ? (size_t)length : 0, '\0');
    snprintf(text.data(), text.size() + 1, "Failed to open DIB file %s.\n", name);
    showMessageBox("Error", text.c_str());
}

// Maps an opened, non-empty regular file read-only
static bool map_file(const OpenedFile &opened, mapped_file *file)
{
    if (opened.descriptor < 0 || opened.identity.size <= 0) return false;
    file->size = (size_t)opened.identity.size;
    file->data = mmap(nullptr, file->size, PROT_READ, MAP_PRIVATE, opened.descriptor, 0);
    return file->data != MAP_FAILED;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
uint32_t dib_color_count(const dib_info_header &header)
{
    if (is_windows_header(header.size) && header.colorsUsed != 0) return header.colorsUsed;
    switch (header.bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

bool read_dib_header(const unsigned char *bytes, size_t size, dib_info_header *header)
{
    if (bytes == nullptr || header == nullptr) return false;
    if (parse_info_header(bytes, size, header) != DIB_OK) return false;
    normalize_header(header);
    return true;
}

std::unique_ptr<dib_image> decode_dib_image(const unsigned char *bytes, size_t size)
{
    dib_layout layout{};
    dib_error error = bytes ? read_layout(bytes, size, &layout) : DIB_UNKNOWN_FORMAT;
    if (error != DIB_OK) {
        report_error(error);
        return nullptr;
    }
    auto image = std::make_unique<dib_image>();
    image->width = layout.header.width;
    image->height = layout.header.height;
    image->pixels.assign((size_t)layout.header.width * (size_t)row_count(layout.header) * 3, 0);
    if (layout.header.compression == DIB_COMPRESSION_RLE8 || layout.header.compression == DIB_COMPRESSION_RLE4) {
        decode_run_length(layout, bytes, size, image.get());
    } else {
        decode_uncompressed(layout, bytes, image.get());
    }
    return image;
}

std::unique_ptr<dib_image> load_dib_image_file(const OpenedFile &opened, const char *shownName)
{
    mapped_file file;
    if (!map_file(opened, &file)) {
        report_open_failure(shownName);
        return nullptr;
    }
    return decode_dib_image((const unsigned char *)file.data, file.size);
}

std::unique_ptr<dib_image> load_dib_image(const char *path)
{
    OpenedFile opened;
    if (path == nullptr || !fileOk(openRegularFile(path, 0, &opened))) {
        report_open_failure(path);
        return nullptr;
    }
    return load_dib_image_file(opened, path);
}
