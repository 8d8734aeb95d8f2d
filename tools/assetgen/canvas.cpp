/**********************************************************************************************
*
*   canvas - the in-memory picture that every generated bitmap is drawn on
*
*   Anti-aliasing works by coverage: exact area for axis-aligned rectangles, a signed
*   distance for rounded rectangles, lines and circles, and 4 x 4 sub-samples for polygons.
*
*   DEPENDENCIES: none (standard library only)
*
**********************************************************************************************/
#include "canvas.h"

#include <algorithm>
#include <cmath>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// The pixels a float box touches, clipped to the canvas
struct PixelSpan {
    int x0, y0, x1, y1;
};
PixelSpan pixelSpan(const Canvas &canvas, float x0, float y0, float x1, float y1)
{
    return {std::max(0, static_cast<int>(std::floor(x0))), std::max(0, static_cast<int>(std::floor(y0))),
            std::min(canvas.width - 1, static_cast<int>(std::ceil(x1))),
            std::min(canvas.height - 1, static_cast<int>(std::ceil(y1)))};
}

// Length of the overlap of the pixel span [i, i + 1] with [a, b]
float spanCoverage(int i, float a, float b)
{
    float lo = std::max(a, static_cast<float>(i));
    float hi = std::min(b, static_cast<float>(i + 1));
    return hi > lo ? hi - lo : 0.0f;
}

// Signed distance from p to a rounded rectangle (negative inside)
float roundedRectDistance(float px, float py, float x0, float y0, float x1, float y1, float radius)
{
    float cx = (x0 + x1) * 0.5f;
    float cy = (y0 + y1) * 0.5f;
    float hx = (x1 - x0) * 0.5f - radius;
    float hy = (y1 - y0) * 0.5f - radius;
    float qx = std::fabs(px - cx) - hx;
    float qy = std::fabs(py - cy) - hy;
    float ox = std::max(qx, 0.0f);
    float oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

// Distance from p to the segment ab
float segmentDistance(Point p, Point a, Point b)
{
    float vx = b.x - a.x, vy = b.y - a.y;
    float wx = p.x - a.x, wy = p.y - a.y;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0.0f ? clamp01((wx * vx + wy * vy) / len2) : 0.0f;
    float dx = wx - t * vx, dy = wy - t * vy;
    return std::sqrt(dx * dx + dy * dy);
}

// Nonzero winding test of a point against a closed polygon
bool insidePolygon(const std::vector<Point> &poly, float x, float y)
{
    int winding = 0;
    size_t n = poly.size();
    for (size_t i = 0; i < n; i++) {
        Point a = poly[i];
        Point b = poly[(i + 1) % n];
        float cross = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
        if (a.y <= y) {
            if (b.y > y && cross > 0.0f) winding++;
        } else {
            if (b.y <= y && cross < 0.0f) winding--;
        }
    }
    return winding != 0;
}

// Integer mixing (a 32-bit avalanche hash)
uint32_t mixBits(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

int wrapIndex(int i, int period)
{
    int m = i % period;
    return m < 0 ? m + period : m;
}

float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

}  // namespace

//----------------------------------------------------------------------------------
// Colour helpers
//----------------------------------------------------------------------------------

// A colour from 0-255 components
Color rgb(int r, int g, int b)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

// Linear mix: a at t = 0, b at t = 1
Color mixColor(Color a, Color b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Every component multiplied by k
Color scaleColor(Color c, float k)
{
    return {c.r * k, c.g * k, c.b * k};
}

// Component clamped to [0, 1] and rounded to a byte
uint8_t colorByte(float v)
{
    return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f));
}

// Mean of the three components
float luminance(Color c)
{
    return (c.r + c.g + c.b) / 3.0f;
}

// Smooth Hermite step between edge0 and edge1
float smoothStep(float edge0, float edge1, float x)
{
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

//----------------------------------------------------------------------------------
// Canvas
//----------------------------------------------------------------------------------

// A canvas of the given size filled with one colour
Canvas makeCanvas(int width, int height, Color fill)
{
    Canvas canvas;
    canvas.width = width > 0 ? width : 0;
    canvas.height = height > 0 ? height : 0;
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, fill);
    return canvas;
}

// Reads a pixel; outside the canvas gives black
Color getPixel(const Canvas &canvas, int x, int y)
{
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return {0, 0, 0};
    return canvas.pixels[static_cast<size_t>(y) * canvas.width + x];
}

// Writes a pixel; outside the canvas nothing happens
void setPixel(Canvas &canvas, int x, int y, Color c)
{
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    canvas.pixels[static_cast<size_t>(y) * canvas.width + x] = c;
}

// Blends c over the pixel with the given opacity
void blendPixel(Canvas &canvas, int x, int y, Color c, float alpha)
{
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || alpha <= 0.0f) return;
    Color &p = canvas.pixels[static_cast<size_t>(y) * canvas.width + x];
    p = mixColor(p, c, clamp01(alpha));
}

// Gradient from the top row to the bottom row
void fillVerticalGradient(Canvas &canvas, Color top, Color bottom)
{
    for (int y = 0; y < canvas.height; y++) {
        float t = canvas.height > 1 ? static_cast<float>(y) / (canvas.height - 1) : 0.0f;
        Color c = mixColor(top, bottom, t);
        for (int x = 0; x < canvas.width; x++) setPixel(canvas, x, y, c);
    }
}

// Anti-aliased axis-aligned rectangle
void fillRect(Canvas &canvas, float x0, float y0, float x1, float y1, Color c, float alpha)
{
    const PixelSpan span = pixelSpan(canvas, x0, y0, x1, y1);
    for (int y = span.y0; y <= span.y1; y++) {
        float cy = spanCoverage(y, y0, y1);
        if (cy <= 0.0f) continue;
        for (int x = span.x0; x <= span.x1; x++) {
            float cx = spanCoverage(x, x0, x1);
            if (cx > 0.0f) blendPixel(canvas, x, y, c, alpha * cx * cy);
        }
    }
}

// Anti-aliased rounded rectangle with a vertical gradient fill
void fillRoundedRect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                     Color top, Color bottom, float alpha)
{
    radius = std::min(radius, std::min(x1 - x0, y1 - y0) * 0.5f);
    const PixelSpan span = pixelSpan(canvas, x0, y0, x1, y1);
    for (int y = span.y0; y <= span.y1; y++) {
        float t = y1 > y0 ? clamp01((y + 0.5f - y0) / (y1 - y0)) : 0.0f;
        Color c = mixColor(top, bottom, t);
        for (int x = span.x0; x <= span.x1; x++) {
            float d = roundedRectDistance(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            float coverage = clamp01(0.5f - d);
            if (coverage > 0.0f) blendPixel(canvas, x, y, c, alpha * coverage);
        }
    }
}

// Anti-aliased outline band inside a rounded rectangle
void strokeRoundedRect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                       float thickness, Color c, float alpha)
{
    radius = std::min(radius, std::min(x1 - x0, y1 - y0) * 0.5f);
    const PixelSpan span = pixelSpan(canvas, x0, y0, x1, y1);
    for (int y = span.y0; y <= span.y1; y++) {
        for (int x = span.x0; x <= span.x1; x++) {
            float d = roundedRectDistance(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            float outer = clamp01(0.5f - d);
            float inner = clamp01(0.5f - (d + thickness));
            float coverage = outer - inner;
            if (coverage > 0.0f) blendPixel(canvas, x, y, c, alpha * coverage);
        }
    }
}

// Anti-aliased thick line with round caps
void drawLine(Canvas &canvas, Point a, Point b, float thickness, Color c, float alpha)
{
    float half = thickness * 0.5f;
    const PixelSpan span = pixelSpan(canvas, std::min(a.x, b.x) - half - 1.0f, std::min(a.y, b.y) - half - 1.0f, std::max(a.x, b.x) + half + 1.0f, std::max(a.y, b.y) + half + 1.0f);
    for (int y = span.y0; y <= span.y1; y++) {
        for (int x = span.x0; x <= span.x1; x++) {
            float d = segmentDistance({x + 0.5f, y + 0.5f}, a, b);
            float coverage = clamp01(half - d + 0.5f);
            if (coverage > 0.0f) blendPixel(canvas, x, y, c, alpha * coverage);
        }
    }
}

// Anti-aliased polygon through 4 x 4 sub-samples per pixel
void fillPolygon(Canvas &canvas, const std::vector<Point> &points, Color c, float alpha)
{
    if (points.size() < 3) return;
    float minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (const Point &p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const PixelSpan span = pixelSpan(canvas, minX, minY, maxX, maxY);
    for (int y = span.y0; y <= span.y1; y++) {
        for (int x = span.x0; x <= span.x1; x++) {
            int hits = 0;
            for (int sy = 0; sy < 4; sy++)
                for (int sx = 0; sx < 4; sx++)
                    if (insidePolygon(points, x + (sx + 0.5f) / 4.0f, y + (sy + 0.5f) / 4.0f)) hits++;
            if (hits > 0) blendPixel(canvas, x, y, c, alpha * hits / 16.0f);
        }
    }
}

// Anti-aliased filled circle
void fillCircle(Canvas &canvas, Point centre, float radius, Color c, float alpha)
{
    const PixelSpan span = pixelSpan(canvas, centre.x - radius - 1.0f, centre.y - radius - 1.0f, centre.x + radius + 1.0f, centre.y + radius + 1.0f);
    for (int y = span.y0; y <= span.y1; y++) {
        for (int x = span.x0; x <= span.x1; x++) {
            float dx = x + 0.5f - centre.x, dy = y + 0.5f - centre.y;
            float coverage = clamp01(radius - std::sqrt(dx * dx + dy * dy) + 0.5f);
            if (coverage > 0.0f) blendPixel(canvas, x, y, c, alpha * coverage);
        }
    }
}

// Soft radial glow falling smoothly to nothing at the radius
void fillGlow(Canvas &canvas, Point centre, float radius, Color c, float alpha)
{
    const PixelSpan span = pixelSpan(canvas, centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius);
    for (int y = span.y0; y <= span.y1; y++) {
        for (int x = span.x0; x <= span.x1; x++) {
            float dx = x + 0.5f - centre.x, dy = y + 0.5f - centre.y;
            float d = std::sqrt(dx * dx + dy * dy) / radius;
            if (d < 1.0f) blendPixel(canvas, x, y, c, alpha * (1.0f - smoothStep(0.0f, 1.0f, d)));
        }
    }
}

//----------------------------------------------------------------------------------
// Noise
//----------------------------------------------------------------------------------

// Deterministic hash of a lattice point to [0, 1)
float latticeValue(int x, int y, uint32_t seed)
{
    uint32_t h = mixBits(static_cast<uint32_t>(x) * 0x9e3779b1U ^ mixBits(static_cast<uint32_t>(y) + seed * 0x85ebca6bU));
    return static_cast<float>(h >> 8) / 16777216.0f;
}

// Smooth value noise whose lattice repeats every period cells
float valueNoise(float x, float y, int period, uint32_t seed)
{
    if (period < 1) period = 1;
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = fade(x - fx), ty = fade(y - fy);
    int x0 = wrapIndex(ix, period), x1 = wrapIndex(ix + 1, period);
    int y0 = wrapIndex(iy, period), y1 = wrapIndex(iy + 1, period);
    float a = latticeValue(x0, y0, seed), b = latticeValue(x1, y0, seed);
    float c = latticeValue(x0, y1, seed), d = latticeValue(x1, y1, seed);
    float top = a + (b - a) * tx;
    float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

// Octaves of value noise, normalised back to [0, 1)
float fractalNoise(float x, float y, int period, int octaves, uint32_t seed)
{
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f, frequency = 1.0f;
    for (int o = 0; o < octaves; o++) {
        sum += amplitude * valueNoise(x * frequency, y * frequency, period * static_cast<int>(frequency), seed + o * 101U);
        total += amplitude;
        amplitude *= 0.5f;
        frequency *= 2.0f;
    }
    return total > 0.0f ? sum / total : 0.0f;
}
