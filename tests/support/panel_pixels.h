// Helpers of the GL tests that draw panels: plain colour textures standing in for bitmaps,
// eye points projected to the 1024x768 window, and pixels read back from the back buffer.
#pragma once

#include "view_projection.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace panel_test {

constexpr int W = 1024, H = 768;

struct Rgb {
    int r, g, b;
};
struct Pixel {
    int x, y;
};

// A 4 x 4 texture of one colour; its texture name
inline int colourTexture(std::array<unsigned char, 3> c)
{
    std::array<unsigned char, 48> pixels;
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = c[i % 3];
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return (int)name;
}

// Window position (y down) of an eye-space point
inline Pixel eyeToScreen(float x, float y, float z)
{
    view_test::ScreenPoint s = view_test::projectPoint(x, y, z, 0, 0, 0, 0, 0);
    EXPECT_TRUE(view_test::onScreen(s)) << x << ", " << y << ", " << z;
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

// A pixel of the back buffer
inline Rgb backPixel(Pixel p)
{
    unsigned char c[3] = {0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(p.x, H - 1 - p.y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, c);
    return {c[0], c[1], c[2]};
}

inline bool isRed(Rgb c) { return c.r > 200 && c.g < 40 && c.b < 40; }
inline bool isGreen(Rgb c) { return c.g > 200 && c.r < 40 && c.b < 40; }
inline bool isBlue(Rgb c) { return c.b > 200 && c.r < 40 && c.g < 40; }
inline bool isGrey(Rgb c) { return std::abs(c.r - 128) < 12 && std::abs(c.g - 128) < 12 && std::abs(c.b - 128) < 12; }

// A cleared black frame with the eye at the origin, no lighting, fog or depth test
inline void clearFlatView()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace panel_test
