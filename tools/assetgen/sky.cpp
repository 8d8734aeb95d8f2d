/**********************************************************************************************
*
*   sky - the sky box bitmaps
*
*   DEPENDENCIES: asset_output, canvas
*
**********************************************************************************************/
#include "sky.h"

#include <cmath>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

constexpr int SKY_SIZE = 256;
const Color ZENITH = {0.30f, 0.50f, 0.86f};
const Color HORIZON = {0.80f, 0.88f, 0.97f};
const Color CLOUD_LIGHT = {1.0f, 1.0f, 1.0f};
const Color CLOUD_SHADE = {0.78f, 0.82f, 0.90f};

// Sky colour at height v (0 top, 1 bottom): palest at the horizon in the middle, the
// zenith colour at both edges, with no kink at the horizon
Color skyGradient(float v)
{
    float d = (v - 0.5f) * 2.0f;
    float t = (1.0f - std::exp(-d * d / 0.18f)) / (1.0f - std::exp(-1.0f / 0.18f));
    return mixColor(HORIZON, ZENITH, t);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Gradient plus clouds in a band above the horizon, tileable left to right
Canvas drawSkyWall(int size)
{
    Canvas canvas = makeCanvas(size, size, ZENITH);
    const int period = 4;
    float cell = static_cast<float>(size) / period;
    for (int y = 0; y < size; y++) {
        float v = (y + 0.5f) / size;
        Color sky = skyGradient(v);
        // clouds live between 12 % and 48 % of the height, thinning at both ends of the band
        float band = smoothStep(0.10f, 0.22f, v) * (1.0f - smoothStep(0.38f, 0.49f, v));
        for (int x = 0; x < size; x++) {
            Color c = sky;
            if (band > 0.0f) {
                // stretched horizontally: the vertical frequency is higher than the horizontal
                float n = fractalNoise(x / cell, y / (cell * 0.45f), period, 5, 7U);
                float density = smoothStep(0.48f, 0.72f, n) * band;
                float shade = fractalNoise(x / cell, (y - 6.0f) / (cell * 0.45f), period, 5, 7U);
                Color cloud = mixColor(CLOUD_LIGHT, CLOUD_SHADE, smoothStep(0.5f, 0.8f, shade) * 0.8f);
                c = mixColor(c, cloud, density * 0.9f);
            }
            setPixel(canvas, x, y, c);
        }
    }
    return canvas;
}

// Even zenith blue with a mottle of a few percent
Canvas drawSkyCap(int size)
{
    Canvas canvas = makeCanvas(size, size, ZENITH);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            float n = fractalNoise(x / 64.0f, y / 64.0f, 4, 3, 11U) - 0.5f;
            setPixel(canvas, x, y, scaleColor(ZENITH, 1.0f + 0.06f * n));
        }
    return canvas;
}

// Writes Data/izpos2.bmp and Data/iypos2.bmp
bool generateSky(AssetOutput &out)
{
    return saveBitmap(out, "izpos2.bmp", drawSkyWall(SKY_SIZE)) && saveBitmap(out, "iypos2.bmp", drawSkyCap(SKY_SIZE));
}
