/**********************************************************************************************
*
*   export_material - a scene material as a glTF metallic-roughness material
*
**********************************************************************************************/
#include "export_material.h"

#include "bmp.h"
#include "materials.h"
#include "scene_paths.h"

#include <stb_image_write.h>   // Required for: stbi_write_png_to_func()

#include <algorithm>   // Required for: std::copy_n(), std::max(), std::min()
#include <cstdlib>     // Required for: std::abs()
#include <cmath>       // Required for: powf()

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

static float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

// The editor sends colours to the screen as they are (sRGB); glTF factors are linear
static float linearFromSrgb(float c)
{
    c = clamp01(c);
    return c <= 0.04045f ? c / 12.92f : powf((c + 0.055f) / 1.055f, 2.4f);
}

// stb's writer hands the encoded bytes over in pieces
static void appendBytes(void *context, void *data, int size)
{
    auto *out = static_cast<std::vector<unsigned char> *>(context);
    const auto *bytes = static_cast<const unsigned char *>(data);
    out->insert(out->end(), bytes, bytes + size);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
PbrValues pbrValuesOf(const material_record *material)
{
    static const material_record defaults;
    const material_record &m = material != nullptr ? *material : defaults;
    PbrValues values = {};
    for (int i = 0; i < 3; i++) {
        values.baseColor[i] = linearFromSrgb(m.pLuzDif[i]);
        values.emissive[i] = linearFromSrgb(m.pLuzEmi[i] * m.Ka);
    }
    values.baseColor[3] = clamp01(m.pLuzDif[3] * m.pBlend);
    values.blend = values.baseColor[3] < 1.0f;

    const float strength = clamp01(m.Ks * std::max(m.pLuzEsp[0], std::max(m.pLuzEsp[1], m.pLuzEsp[2])));
    const float exponent = std::max(0.0f, m.pShine * 128.0f);
    const float phongRoughness = powf(2.0f / (exponent + 2.0f), 0.25f);
    values.roughness = clamp01(1.0f - strength * (1.0f - phongRoughness));
    values.metallic = clamp01(2.0f * strength - 1.0f);
    return values;
}

std::string firstBitmapOf(const material_record *material)
{
    if (material == nullptr || !material_is_textured(material)) return std::string();
    return material->texture->frames.front();
}

bool openSceneBitmap(const std::string &path, OpenedFile *file, std::string &error)
{
    const FileStatus status = openSceneFile(".", path, 0, file);
    if (fileOk(status)) return true;
    error = "the bitmap " + sceneFileMessage(path, status);
    return false;
}

bool bitmapAsPng(const OpenedFile &file, const std::string &path, std::vector<unsigned char> &png, std::string &error)
{
    png.clear();
    std::unique_ptr<dib_image> image = load_dib_image_file(file, path.c_str());
    const int height = image ? std::abs(image->height) : 0;
    if (!image || image->width <= 0 || height == 0 ||
        image->pixels.size() < (size_t)image->width * 3 * (size_t)height) {
        error = "the bitmap '" + path + "' is not a readable BMP image";
        return false;
    }
    // NOTE: a positive height means the file (and so the decoded pixels) starts at the bottom row
    const size_t row = (size_t)image->width * 3;
    std::vector<unsigned char> topFirst(row * (size_t)height);
    for (int y = 0; y < height; y++) {
        const int from = image->height > 0 ? height - 1 - y : y;
        std::copy_n(image->pixels.begin() + (long)(row * (size_t)from), row, topFirst.begin() + (long)(row * (size_t)y));
    }
    if (!stbi_write_png_to_func(appendBytes, &png, image->width, height, 3, topFirst.data(), (int)row) || png.empty()) {
        error = "the bitmap '" + path + "' could not be encoded as PNG";
        return false;
    }
    return true;
}
