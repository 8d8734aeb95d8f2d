/**********************************************************************************************
*
*   canvas - the in-memory picture that every generated bitmap is drawn on
*
*   An RGB picture of floats (0 to 1) with row 0 at the top, and the drawing primitives
*   used by the generators: fills and gradients, anti-aliased rounded rectangles, thick
*   lines and polygons, alpha blending, and deterministic tileable value
*   noise for the procedural textures.
*
*   DEPENDENCIES: none (standard library only)
*
**********************************************************************************************/
#pragma once

#include <cstdint>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

struct Color {
    float r, g, b;
};

struct Point {
    float x, y;
};

// NOTE: coordinates are in pixels with (0, 0) the top-left corner of the top-left pixel,
// so the centre of pixel (i, j) is (i + 0.5, j + 0.5)
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;  // width * height, row 0 at the top
};

//----------------------------------------------------------------------------------
// Colour helpers
//----------------------------------------------------------------------------------

// A colour from 0-255 components
Color rgb(int r, int g, int b);
// Linear mix: a at t = 0, b at t = 1
Color mixColor(Color a, Color b, float t);
// Every component multiplied by k
Color scaleColor(Color c, float k);
// Component clamped to [0, 1] and rounded to a byte
uint8_t colorByte(float v);
// Mean of the three components
float luminance(Color c);
// Smooth Hermite step between edge0 and edge1
float smoothStep(float edge0, float edge1, float x);

//----------------------------------------------------------------------------------
// Canvas
//----------------------------------------------------------------------------------

// A canvas of the given size filled with one colour
Canvas makeCanvas(int width, int height, Color fill);
// Pixel access (reads outside the canvas return black, writes outside are dropped)
Color getPixel(const Canvas &canvas, int x, int y);
void setPixel(Canvas &canvas, int x, int y, Color c);
// Blends c over the pixel with the given opacity (0 to 1)
void blendPixel(Canvas &canvas, int x, int y, Color c, float alpha);

// Gradient from top colour (row 0) to bottom colour (last row)
void fillVerticalGradient(Canvas &canvas, Color top, Color bottom);
// Anti-aliased axis-aligned rectangle [x0, x1] x [y0, y1]
void fillRect(Canvas &canvas, float x0, float y0, float x1, float y1, Color c, float alpha = 1.0f);
// Anti-aliased rectangle with rounded corners, filled with a vertical gradient
void fillRoundedRect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                     Color top, Color bottom, float alpha = 1.0f);
// Anti-aliased outline of a rounded rectangle, the band lying inside the rectangle
void strokeRoundedRect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                       float thickness, Color c, float alpha = 1.0f);
// Anti-aliased line segment of the given thickness with round caps
void drawLine(Canvas &canvas, Point a, Point b, float thickness, Color c, float alpha = 1.0f);
// Anti-aliased filled polygon (any simple polygon; nonzero winding)
void fillPolygon(Canvas &canvas, const std::vector<Point> &points, Color c, float alpha = 1.0f);
// Anti-aliased filled circle
void fillCircle(Canvas &canvas, Point centre, float radius, Color c, float alpha = 1.0f);
// Soft radial glow: opacity alpha at the centre falling smoothly to 0 at radius
void fillGlow(Canvas &canvas, Point centre, float radius, Color c, float alpha);

//----------------------------------------------------------------------------------
// Noise
//----------------------------------------------------------------------------------

// Deterministic hash of a lattice point to [0, 1)
float latticeValue(int x, int y, uint32_t seed);
// Smooth value noise in [0, 1); the lattice repeats every period cells in x and y (period > 0)
float valueNoise(float x, float y, int period, uint32_t seed);
// Sum of octaves of value noise, each of double frequency and half amplitude, in [0, 1);
// tileable with the base period
float fractalNoise(float x, float y, int period, int octaves, uint32_t seed);
