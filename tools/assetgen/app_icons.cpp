/**********************************************************************************************
*
*   app_icons - the desktop icons of stageworks and matforge
*
*   DEPENDENCIES: canvas, raster3d, solids, png_writer
*
**********************************************************************************************/
#include "app_icons.h"

#include "png_writer.h"
#include "raster3d.h"
#include "solids.h"

#include <sys/stat.h>  // Required for: mkdir()

#include <algorithm>   // Required for: std::max(), std::min()
#include <cerrno>      // Required for: errno, EEXIST
#include <cmath>       // Required for: sqrtf(), powf()
#include <cstring>     // Required for: strerror()

//----------------------------------------------------------------------------------
// Global Variables Definition
//----------------------------------------------------------------------------------
const int ICON_SIZES[3] = {48, 128, 256};

static const char *const PROGRAMS[2] = {"stageworks", "matforge"};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The opacity of the rounded square every icon is drawn on, with anti-aliased corners
static std::vector<float> roundedSquareAlpha(int size)
{
    float margin = size / 24.0f;
    Canvas mask = makeCanvas(size, size, rgb(0, 0, 0));
    fillRoundedRect(mask, margin, margin, size - margin, size - margin, size * 0.18f, rgb(255, 255, 255),
                    rgb(255, 255, 255));
    std::vector<float> alpha((size_t)size * (size_t)size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) alpha[(size_t)y * (size_t)size + (size_t)x] = luminance(getPixel(mask, x, y));
    return alpha;
}

// A darker band just inside the rounded square, so the icon stands out on light themes
static void drawRim(Canvas &canvas, Color c)
{
    float size = (float)canvas.width;
    float margin = size / 24.0f;
    strokeRoundedRect(canvas, margin, margin, size - margin, size - margin, size * 0.18f,
                      std::max(1.0f, size / 48.0f), c, 0.6f);
}

// stageworks: sky, sun, green ground, a brick cube and a yellow pyramid
static void drawStageworks(Canvas &canvas)
{
    float s = (float)canvas.width;
    fillVerticalGradient(canvas, rgb(52, 104, 186), rgb(168, 208, 240));
    fillGlow(canvas, {s * 0.76f, s * 0.24f}, s * 0.22f, rgb(255, 244, 200), 0.9f);
    fillCircle(canvas, {s * 0.76f, s * 0.24f}, s * 0.07f, rgb(255, 250, 225));
    fillPolygon(canvas, {{0, s * 0.62f}, {s, s * 0.58f}, {s, s}, {0, s}}, rgb(74, 150, 64));
    fillPolygon(canvas, {{0, s * 0.80f}, {s, s * 0.74f}, {s, s}, {0, s}}, rgb(60, 128, 52));

    MeshView view;
    view.yawDegrees = 32.0f;
    view.pitchDegrees = 24.0f;
    view.fill = 0.92f;
    renderMesh(canvas, solidMesh(3), s * 0.52f, s * 0.30f, s * 0.92f, s * 0.74f, rgb(236, 196, 64), view);
    renderMesh(canvas, solidMesh(4), s * 0.10f, s * 0.34f, s * 0.60f, s * 0.86f, rgb(196, 92, 60), view);
    drawRim(canvas, rgb(24, 48, 96));
}

// One pixel of a sphere lit from the upper left: ambient, diffuse and a white highlight
static Color litSphere(float nx, float ny, Color base)
{
    float nz = sqrtf(std::max(0.0f, 1.0f - nx * nx - ny * ny));
    const float lx = -0.48f, ly = -0.56f, lz = 0.67f;    // towards the light, unit length
    float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    // Blinn's half vector between the light and the viewer (0, 0, 1)
    float hx = lx, hy = ly, hz = lz + 1.0f;
    float hl = sqrtf(hx * hx + hy * hy + hz * hz);
    float specular = powf(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 48.0f);
    Color c = scaleColor(base, 0.18f + 0.82f * diffuse);
    return mixColor(c, rgb(255, 255, 255), std::min(1.0f, specular));
}

// matforge: a lit sphere on a dark backdrop over three colour swatches
static void drawMatforge(Canvas &canvas)
{
    float s = (float)canvas.width;
    fillVerticalGradient(canvas, rgb(58, 64, 78), rgb(28, 30, 38));
    float cx = s * 0.5f, cy = s * 0.42f, r = s * 0.30f;
    fillGlow(canvas, {cx, cy}, r * 1.5f, rgb(120, 150, 220), 0.35f);
    // NOTE: 4 x 4 samples a pixel keep the outline smooth at 48 pixels
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            float cover = 0.0f;
            for (int sy = 0; sy < 4; sy++)
                for (int sx = 0; sx < 4; sx++) {
                    float dx = x + (sx + 0.5f) / 4.0f - cx, dy = y + (sy + 0.5f) / 4.0f - cy;
                    if (dx * dx + dy * dy <= r * r) cover += 1.0f / 16.0f;
                }
            if (cover <= 0.0f) continue;
            float nx = std::max(-1.0f, std::min(1.0f, (x + 0.5f - cx) / r));
            float ny = std::max(-1.0f, std::min(1.0f, (y + 0.5f - cy) / r));
            blendPixel(canvas, x, y, litSphere(nx, ny, rgb(200, 84, 48)), cover);
        }
    }
    const Color swatches[3] = {rgb(220, 60, 60), rgb(80, 180, 90), rgb(70, 120, 220)};
    for (int i = 0; i < 3; i++) {
        float x0 = s * (0.16f + 0.24f * i), y0 = s * 0.77f;
        fillRoundedRect(canvas, x0, y0, x0 + s * 0.20f, y0 + s * 0.12f, s * 0.03f, swatches[i],
                        scaleColor(swatches[i], 0.75f));
    }
    drawRim(canvas, rgb(10, 12, 16));
}

// Creates one directory unless it exists
static bool makeDirectory(const std::string &path)
{
    struct stat info;
    if (mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates a directory and its missing parents
static bool makeDirectories(const std::string &path)
{
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        if (!makeDirectory(path.substr(0, at))) return false;
    return makeDirectory(path);
}

// The picture as RGBA bytes, the alpha from the rounded square
static std::vector<uint8_t> rgbaBytes(const IconPicture &icon)
{
    const Canvas &c = icon.colour;
    std::vector<uint8_t> bytes((size_t)c.width * (size_t)c.height * 4);
    for (size_t i = 0; i < c.pixels.size(); i++) {
        bytes[i * 4 + 0] = colorByte(c.pixels[i].r);
        bytes[i * 4 + 1] = colorByte(c.pixels[i].g);
        bytes[i * 4 + 2] = colorByte(c.pixels[i].b);
        bytes[i * 4 + 3] = colorByte(icon.alpha[i]);
    }
    return bytes;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The full-bleed picture of the program, cut to the rounded square by its alpha
IconPicture drawAppIcon(const std::string &program, int size)
{
    IconPicture icon;
    if (size <= 0 || (program != "stageworks" && program != "matforge")) return icon;
    icon.colour = makeCanvas(size, size, rgb(0, 0, 0));
    if (program == "stageworks") drawStageworks(icon.colour);
    else drawMatforge(icon.colour);
    icon.alpha = roundedSquareAlpha(size);
    return icon;
}

// Every program at every size, in the hicolor layout
bool generateAppIcons(const std::string &directory, std::string &error, int &filesWritten)
{
    filesWritten = 0;
    for (int size : ICON_SIZES) {
        std::string dir = directory + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        if (!makeDirectories(dir)) {
            error = "cannot create " + dir + ": " + strerror(errno);
            return false;
        }
        for (const char *program : PROGRAMS) {
            IconPicture icon = drawAppIcon(program, size);
            if (!writePngRgba(dir + "/" + program + ".png", size, size, rgbaBytes(icon), error)) return false;
            filesWritten++;
        }
    }
    return true;
}
