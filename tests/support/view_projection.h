// Where a world point lands on the 1024x768 screen for a camera pose, by the same transforms
// as the program: view = Rx(-pitch) Ry(-yaw) T(-eye), perspective of fovy, aspect 4/3.
#pragma once

#include <cmath>

namespace view_test {

struct ScreenPoint {
    bool inFront;     // false when the point is behind the viewer
    double x, y;      // window coordinates, y down
    double distance;  // along the view direction
};

inline ScreenPoint projectPoint(double px, double py, double pz, double ex, double ey, double ez, double yawDeg,
                                double pitchDeg, double fovyDeg = 45.0, int width = 1024, int height = 768)
{
    const double pi = 3.14159265358979323846;
    double x = px - ex, y = py - ey, z = pz - ez;
    double a = -yawDeg * pi / 180.0;
    double rx = x * std::cos(a) + z * std::sin(a);
    double rz = -x * std::sin(a) + z * std::cos(a);
    double b = -pitchDeg * pi / 180.0;
    double ry = y * std::cos(b) - rz * std::sin(b);
    double rz2 = y * std::sin(b) + rz * std::cos(b);
    ScreenPoint s{rz2 < 0.0, 0.0, 0.0, -rz2};
    if (!s.inFront) return s;
    double f = 1.0 / std::tan(fovyDeg * pi / 360.0);
    double nx = f / (4.0 / 3.0) * rx / -rz2;
    double ny = f * ry / -rz2;
    s.x = (nx + 1.0) * 0.5 * width;
    s.y = (1.0 - ny) * 0.5 * height;
    return s;
}

inline bool onScreen(const ScreenPoint &s, int width = 1024, int height = 768)
{
    return s.inFront && s.x >= 0 && s.x < width && s.y >= 0 && s.y < height;
}

}  // namespace view_test
