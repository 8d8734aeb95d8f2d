// Helpers shared by the asset generator tests: temporary directories, whole-file reads and
// an independent reader of 24-bit BMP files (so the writer is checked against the format,
// not against itself).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace assetgen_test {

// A fresh directory under the system temp directory, removed with everything in it
struct TempDir {
    std::string path;
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "assetgen_test_XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data())) path = buf.data();
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
};

inline std::vector<uint8_t> readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t u32(const std::vector<uint8_t> &b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

inline uint16_t u16(const std::vector<uint8_t> &b, size_t at)
{
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// A decoded 24-bit BMP: rows top-down, R, G, B, no padding
struct DecodedBmp {
    bool valid = false;
    std::string problem;
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

inline DecodedBmp decodeBmp(const std::vector<uint8_t> &b)
{
    DecodedBmp d;
    if (b.size() < 54) { d.problem = "shorter than the headers"; return d; }
    if (b[0] != 'B' || b[1] != 'M') { d.problem = "no BM signature"; return d; }
    if (u32(b, 2) != b.size()) { d.problem = "file size field does not match"; return d; }
    if (u32(b, 14) != 40) { d.problem = "info header is not 40 bytes"; return d; }
    int32_t w = static_cast<int32_t>(u32(b, 18)), h = static_cast<int32_t>(u32(b, 22));
    if (w <= 0 || h <= 0) { d.problem = "not a positive size"; return d; }
    if (u16(b, 26) != 1 || u16(b, 28) != 24 || u32(b, 30) != 0) { d.problem = "not uncompressed 24-bit"; return d; }
    size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    size_t offset = u32(b, 10);
    if (offset < 54 || offset + stride * h != b.size()) { d.problem = "pixel data does not fill the file"; return d; }
    d.width = w;
    d.height = h;
    d.rgb.resize(static_cast<size_t>(w) * h * 3);
    for (int row = 0; row < h; row++) {
        size_t src = offset + static_cast<size_t>(h - 1 - row) * stride;
        for (int x = 0; x < w; x++) {
            size_t dst = (static_cast<size_t>(row) * w + x) * 3;
            d.rgb[dst] = b[src + x * 3 + 2];
            d.rgb[dst + 1] = b[src + x * 3 + 1];
            d.rgb[dst + 2] = b[src + x * 3];
        }
        for (size_t p = static_cast<size_t>(w) * 3; p < stride; p++)
            if (b[src + p] != 0) { d.problem = "non-zero row padding"; return d; }
    }
    d.valid = true;
    return d;
}

}  // namespace assetgen_test
