// The demo scene as the program shows it at start-up, for drivers that find things on the
// screen: where world points, eye points and menu buttons land, and pixel counts over boxes
// of two screenshots. Used by the end-to-end menu test and by the README's picture run.
#pragma once

#include "panels.h"
#include "view_projection.h"
#include "xdriver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace start_view {

struct Pixel {
    int x, y;
};
struct Box {
    int x0, y0, x1, y1;  // inclusive
};

constexpr int SCREEN_W = 1024, SCREEN_H = 768;

// The start camera of the program
constexpr double EYE_X = -41.51, EYE_Y = 30.0, EYE_Z = 38.74, YAW = 314.22, PITCH = -8.82;

// Screen strips where the edge menus stand
constexpr Box LEFT_PART = {0, 60, 250, 700};
constexpr Box RIGHT_PART = {790, 60, 1023, 700};
constexpr Box BOTTOM_PART = {80, 540, 940, 767};
constexpr Box TOP_PART = {80, 0, 940, 230};

// Where a point in eye coordinates lands on the screen
inline Pixel eyeToScreen(double x, double y, double z)
{
    view_test::ScreenPoint s = view_test::projectPoint(x, y, z, 0, 0, 0, 0, 0);
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

// Where a world point lands, seen from the start camera
inline Pixel worldToScreen(double x, double y, double z)
{
    view_test::ScreenPoint s = view_test::projectPoint(x, y, z, EYE_X, EYE_Y, EYE_Z, YAW, PITCH);
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

// Screen position of a button of a menu at rest (edge menus swung in)
inline Pixel menuButton(const ButtonPanel *panel, int index)
{
    ButtonPanel atRest = *panel;
    atRest.angle = atRest.placement == PlacementFree ? 0.0f : SWING_REST_ANGLE;
    PanelPoint eye = panelToEye(atRest, buttonCentre(atRest, index));
    return eyeToScreen(eye.x, eye.y, eye.z);
}

// The brick cube of the demo scene, in front of the start camera
inline Pixel brick() { return worldToScreen(-12, 22, -20); }

// True when the screen shows the brick cube where it stands at the start (reddish there)
inline bool brickShows(const xdriver::Image &s)
{
    double rgb[3];
    const Pixel b = brick();
    xdriver::meanColour(s, b.x - 15, b.y - 15, b.x + 15, b.y + 15, rgb);
    return rgb[0] > rgb[2] + 40;
}

inline Box around(Pixel p, int half) { return {p.x - half, p.y - half, p.x + half, p.y + half}; }
inline long boxArea(Box b) { return (long)(b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1); }

// Pixels of a box (clipped to the screen) for which the test holds
template <typename Test>
long countIn(Box box, Test test)
{
    long n = 0;
    for (int y = std::max(box.y0, 0); y <= std::min(box.y1, SCREEN_H - 1); y++)
        for (int x = std::max(box.x0, 0); x <= std::min(box.x1, SCREEN_W - 1); x++) n += test(x, y) ? 1 : 0;
    return n;
}

// Pixels of a box whose colour differs clearly between two shots
inline long changedIn(const xdriver::Image &a, const xdriver::Image &b, Box box)
{
    return countIn(box, [&](int x, int y) {
        const uint8_t *pa = a.pixel(x, y), *pb = b.pixel(x, y);
        return std::abs(pa[0] - pb[0]) + std::abs(pa[1] - pb[1]) + std::abs(pa[2] - pb[2]) > 36;
    });
}

// Pure red pixels of a box (a chooser's hover bar, a prompt box)
inline long redIn(const xdriver::Image &s, Box box)
{
    return countIn(box, [&](int x, int y) {
        const uint8_t *p = s.pixel(x, y);
        return p[0] > 150 && p[1] < 60 && p[2] < 60;
    });
}

}  // namespace start_view
