/**********************************************************************************************
*
*   textures - the textures of the demo scene
*
*   Every pattern repeats exactly across the picture's edges: noise lattices wrap with the
*   picture, and waves use whole numbers of periods across it.
*
*   DEPENDENCIES: asset_output, canvas
*
**********************************************************************************************/
#include "textures.h"

#include <algorithm>
#include <cmath>
#include <string>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

constexpr int TEXTURE_SIZE = 256;
constexpr float TWO_PI = 6.28318531f;

int wrap(int v, int size)
{
    int m = v % size;
    return m < 0 ? m + size : m;
}

// Noise over the picture with `cells` lattice cells across, tileable with the picture
float tiledNoise(int x, int y, int size, int cells, int octaves, uint32_t seed)
{
    float k = static_cast<float>(cells) / size;
    return fractalNoise(x * k, y * k, cells, octaves, seed);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Running bond: 8 courses of 4 bricks, every other course shifted half a brick
Canvas drawBricks(int size)
{
    Canvas canvas = makeCanvas(size, size, {0, 0, 0});
    const int courses = 8, perCourse = 4;
    int brickH = size / courses, brickW = size / perCourse;
    int mortar = std::max(2, size / 64);
    for (int y = 0; y < size; y++) {
        int course = y / brickH;
        int inY = y % brickH;
        int shift = (course % 2) * brickW / 2;
        for (int x = 0; x < size; x++) {
            int sx = wrap(x + shift, size);
            int brick = sx / brickW;
            int inX = sx % brickW;
            float grain = tiledNoise(x, y, size, 32, 3, 3U);
            bool isMortar = inY < mortar || inX < mortar;
            Color c;
            if (isMortar) {
                c = scaleColor({0.72f, 0.70f, 0.66f}, 0.85f + 0.3f * grain);
            } else {
                float tone = latticeValue(brick, course, 5U);
                Color base = mixColor({0.62f, 0.24f, 0.16f}, {0.76f, 0.38f, 0.24f}, tone);
                float spots = tiledNoise(x, y, size, 64, 2, 9U);
                c = scaleColor(base, 0.78f + 0.35f * grain + 0.12f * (spots - 0.5f));
                // bevel: light top edge, dark bottom and right edges
                if (inY < mortar + 2) c = scaleColor(c, 1.12f);
                if (inY >= brickH - 2 || inX >= brickW - 2) c = scaleColor(c, 0.8f);
            }
            setPixel(canvas, x, y, c);
        }
    }
    return canvas;
}

// Four vertical planks with wavy grain and dark joints
Canvas drawWood(int size)
{
    Canvas canvas = makeCanvas(size, size, {0, 0, 0});
    const int planks = 4;
    int plankW = size / planks;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            int plank = x / plankW;
            float warp = tiledNoise(x, y, size, 8, 3, 21U + static_cast<uint32_t>(plank));
            // grain lines run along y: the phase depends on x, bent by the noise
            float phase = x * 14.0f / plankW + warp * 5.0f + latticeValue(plank, 0, 4U) * 10.0f;
            float ring = 0.5f + 0.5f * std::sin(phase * TWO_PI / 2.0f);
            float fibre = tiledNoise(x, y, size, 128, 2, 31U);
            Color light = {0.72f, 0.50f, 0.30f}, dark = {0.46f, 0.28f, 0.14f};
            Color c = mixColor(light, dark, std::pow(ring, 2.5f) * 0.8f);
            c = scaleColor(c, 0.9f + 0.2f * fibre + 0.1f * (latticeValue(plank, 1, 4U) - 0.5f));
            int inX = x % plankW;
            if (inX < 2) c = scaleColor(c, 0.35f + 0.2f * inX);
            setPixel(canvas, x, y, c);
        }
    }
    return canvas;
}

// A 4 x 4 chequer of light and dark stone slabs with grout between them
Canvas drawStoneFloor(int size)
{
    Canvas canvas = makeCanvas(size, size, {0, 0, 0});
    const int tiles = 4;
    int tile = size / tiles;
    int grout = std::max(2, size / 96);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            int tx = x / tile, ty = y / tile;
            int inX = x % tile, inY = y % tile;
            float n = tiledNoise(x, y, size, 16, 4, 41U);
            float speck = tiledNoise(x, y, size, 128, 1, 43U);
            bool dark = (tx + ty) % 2 == 1;
            Color base = dark ? Color{0.36f, 0.36f, 0.38f} : Color{0.78f, 0.75f, 0.68f};
            Color c = scaleColor(base, 0.82f + 0.3f * n + 0.08f * (speck - 0.5f));
            if (inX < grout || inY < grout) c = {0.22f, 0.21f, 0.20f};
            else if (inX < grout + 2 || inY < grout + 2) c = scaleColor(c, 1.08f);
            else if (inX >= tile - 2 || inY >= tile - 2) c = scaleColor(c, 0.86f);
            setPixel(canvas, x, y, c);
        }
    }
    return canvas;
}

// Mottled green ground covered with short blades
Canvas drawGrass(int size)
{
    Canvas canvas = makeCanvas(size, size, {0, 0, 0});
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float n = tiledNoise(x, y, size, 8, 4, 51U);
            setPixel(canvas, x, y, mixColor({0.16f, 0.34f, 0.10f}, {0.34f, 0.56f, 0.18f}, n));
        }
    const int blades = size * 6;
    for (int i = 0; i < blades; i++) {
        float bx = latticeValue(i, 0, 61U) * size;
        float by = latticeValue(i, 1, 61U) * size;
        float length = 5.0f + 7.0f * latticeValue(i, 2, 61U);
        float lean = (latticeValue(i, 3, 61U) - 0.5f) * 6.0f;
        Color c = mixColor({0.20f, 0.42f, 0.10f}, {0.55f, 0.78f, 0.30f}, latticeValue(i, 4, 61U));
        // drawn again across the edges it crosses, so the picture still tiles
        for (int oy = -1; oy <= 1; oy++)
            for (int ox = -1; ox <= 1; ox++) {
                Point a = {bx + ox * size, by + oy * size};
                Point b = {a.x + lean, a.y - length};
                if (b.x < -2 || a.x > size + 2 || b.y > size + 2 || a.y < -2) continue;
                drawLine(canvas, a, b, 1.2f, c, 0.85f);
            }
    }
    return canvas;
}

// White marble with soft grey veins from turbulent diagonal bands
Canvas drawMarble(int size)
{
    Canvas canvas = makeCanvas(size, size, {0, 0, 0});
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float turbulence = tiledNoise(x, y, size, 4, 6, 71U);
            float fine = tiledNoise(x, y, size, 8, 4, 75U);
            float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
            float band = std::sin(TWO_PI * (1.0f * u + 2.0f * v) + turbulence * 6.0f);
            float thin = std::sin(TWO_PI * (3.0f * u - 1.0f * v) + fine * 7.0f);
            float vein = 0.75f * std::pow(1.0f - std::fabs(band), 6.0f) + 0.3f * std::pow(1.0f - std::fabs(thin), 14.0f);
            float cloud = tiledNoise(x, y, size, 16, 3, 73U);
            Color base = mixColor({0.84f, 0.84f, 0.82f}, {0.97f, 0.96f, 0.94f}, cloud);
            setPixel(canvas, x, y, mixColor(base, {0.42f, 0.44f, 0.50f}, std::min(vein, 1.0f)));
        }
    return canvas;
}

// Water with a moving network of caustic lines; the phases advance a third of a cycle
// per frame, so the three frames loop
Canvas drawWater(int size, int frame)
{
    Canvas canvas = makeCanvas(size, size, {0, 0, 0});
    float shift = TWO_PI * static_cast<float>(frame) / 3.0f;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
            float n = tiledNoise(x, y, size, 4, 3, 81U);
            float depth = tiledNoise(x, y, size, 2, 2, 83U);
            float f1 = std::sin(TWO_PI * (3.0f * u + 2.0f * v) + n * 5.0f + shift);
            float f2 = std::sin(TWO_PI * (-2.0f * u + 4.0f * v) + n * 4.0f - shift);
            float f3 = std::sin(TWO_PI * (4.0f * u - 1.0f * v) + n * 3.0f + 2.0f * shift);
            float lines = std::pow(1.0f - std::fabs(f1 + f2 + f3) / 3.0f, 10.0f);
            Color c = mixColor({0.04f, 0.20f, 0.40f}, {0.10f, 0.42f, 0.62f}, depth);
            c = mixColor(c, {0.16f, 0.50f, 0.70f}, 0.5f + 0.25f * (f1 + f2) * 0.5f - 0.25f);
            setPixel(canvas, x, y, mixColor(c, {0.80f, 0.94f, 1.0f}, lines * 0.85f));
        }
    return canvas;
}

// Writes the stills and the three water frames
bool generateTextures(AssetOutput &out)
{
    const int s = TEXTURE_SIZE;
    if (!saveBitmap(out, "ladrillo.bmp", drawBricks(s)) || !saveBitmap(out, "madera.bmp", drawWood(s)) ||
        !saveBitmap(out, "suelo.bmp", drawStoneFloor(s)) || !saveBitmap(out, "cesped.bmp", drawGrass(s)) ||
        !saveBitmap(out, "marmol.bmp", drawMarble(s)))
        return false;
    for (int frame = 0; frame < 3; frame++)
        if (!saveBitmap(out, "agua" + std::to_string(frame + 1) + ".bmp", drawWater(s, frame))) return false;
    return true;
}
