/**********************************************************************************************
*
*   raster3d - a small flat-shaded renderer for the pictures of the solids
*
*   DEPENDENCIES: canvas
*
**********************************************************************************************/
#include "raster3d.h"

#include <algorithm>
#include <cmath>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

constexpr int SUBSAMPLES = 4;
constexpr float PI = 3.14159265f;
constexpr float VIEW_DISTANCE = 9.0f;  // eye distance in units of the mesh's radius

struct ScreenPoint {
    float x, y, z;  // z grows towards the viewer
};

Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 normalize(Vec3 v)
{
    float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return len > 0.0f ? Vec3{v.x / len, v.y / len, v.z / len} : Vec3{0, 0, 1};
}

// Turns a point by the view's yaw (about Y) and pitch (about X)
Vec3 turn(Vec3 p, float yaw, float pitch)
{
    float cy = std::cos(yaw), sy = std::sin(yaw);
    Vec3 a = {p.x * cy + p.z * sy, p.y, -p.x * sy + p.z * cy};
    float cp = std::cos(pitch), sp = std::sin(pitch);
    return {a.x, a.y * cp - a.z * sp, a.y * sp + a.z * cp};
}

// Polygon normal by Newell's method
Vec3 faceNormal(const std::vector<Vec3> &pts)
{
    Vec3 n = {0, 0, 0};
    for (size_t i = 0; i < pts.size(); i++) {
        Vec3 a = pts[i], b = pts[(i + 1) % pts.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return normalize(n);
}

// Shade of a face lit from the upper left front, with both sides lit
float faceShade(Vec3 normal)
{
    if (normal.z < 0.0f) normal = {-normal.x, -normal.y, -normal.z};
    Vec3 light = normalize({-0.45f, 0.75f, 0.55f});
    float diffuse = std::max(0.0f, normal.x * light.x + normal.y * light.y + normal.z * light.z);
    Vec3 half = normalize({light.x, light.y, light.z + 1.0f});
    float specular = std::max(0.0f, normal.x * half.x + normal.y * half.y + normal.z * half.z);
    specular = std::pow(specular, 24.0f);
    return 0.25f + 0.75f * diffuse + 0.25f * specular;
}

struct SampleBuffer {
    int width, height;
    std::vector<float> depth;      // -inf where nothing was drawn
    std::vector<Color> colour;
};

// Rasterises one triangle into the sample buffer with a depth test
void rasterTriangle(SampleBuffer &buf, ScreenPoint a, ScreenPoint b, ScreenPoint c, Color colour)
{
    float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    if (std::fabs(area) < 1e-6f) return;
    int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    int x1 = std::min(buf.width - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    int y1 = std::min(buf.height - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    for (int y = y0; y <= y1; y++) {
        float py = y + 0.5f;
        for (int x = x0; x <= x1; x++) {
            float px = x + 0.5f;
            float w0 = ((b.x - px) * (c.y - py) - (c.x - px) * (b.y - py)) / area;
            float w1 = ((c.x - px) * (a.y - py) - (a.x - px) * (c.y - py)) / area;
            float w2 = 1.0f - w0 - w1;
            if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f) continue;
            float z = w0 * a.z + w1 * b.z + w2 * c.z;
            size_t at = static_cast<size_t>(y) * buf.width + x;
            if (z > buf.depth[at]) {
                buf.depth[at] = z;
                buf.colour[at] = colour;
            }
        }
    }
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Adds a polygon to a mesh
void addFace(Mesh &mesh, std::vector<Vec3> points, float tint)
{
    MeshFace face;
    face.points = std::move(points);
    face.tint = tint;
    mesh.faces.push_back(std::move(face));
}

// Turns, projects, fits and rasterises the mesh, then blends the samples onto the canvas
void renderMesh(Canvas &canvas, const Mesh &mesh, float x0, float y0, float x1, float y1,
                Color base, const MeshView &view)
{
    float yaw = view.yawDegrees * PI / 180.0f;
    float pitch = view.pitchDegrees * PI / 180.0f;

    // Radius of the mesh about the centre of its bounding box
    Vec3 lo = {1e9f, 1e9f, 1e9f}, hi = {-1e9f, -1e9f, -1e9f};
    for (const MeshFace &f : mesh.faces)
        for (Vec3 p : f.points) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    if (lo.x > hi.x) return;
    Vec3 centre = {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    float radius = 0.0f;
    for (const MeshFace &f : mesh.faces)
        for (Vec3 p : f.points) {
            Vec3 d = sub(p, centre);
            radius = std::max(radius, std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z));
        }
    if (radius <= 0.0f) return;
    float eye = VIEW_DISTANCE * radius;

    // Project every face (y up in the model, down on the canvas)
    std::vector<std::vector<ScreenPoint>> projected;
    std::vector<Color> colours;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const MeshFace &f : mesh.faces) {
        std::vector<Vec3> turned;
        for (Vec3 p : f.points) turned.push_back(turn(sub(p, centre), yaw, pitch));
        std::vector<ScreenPoint> pts;
        for (Vec3 t : turned) {
            float k = eye / (eye - t.z);
            ScreenPoint s = {t.x * k, -t.y * k, t.z};
            minX = std::min(minX, s.x);
            maxX = std::max(maxX, s.x);
            minY = std::min(minY, s.y);
            maxY = std::max(maxY, s.y);
            pts.push_back(s);
        }
        projected.push_back(pts);
        colours.push_back(scaleColor(base, faceShade(faceNormal(turned)) * f.tint));
    }

    // Fit into the box, in sample units
    float boxW = (x1 - x0) * view.fill, boxH = (y1 - y0) * view.fill;
    float scale = std::min(boxW / std::max(maxX - minX, 1e-6f), boxH / std::max(maxY - minY, 1e-6f));
    float offX = (x0 + x1) * 0.5f - (minX + maxX) * 0.5f * scale;
    float offY = (y0 + y1) * 0.5f - (minY + maxY) * 0.5f * scale;

    SampleBuffer buf;
    buf.width = canvas.width * SUBSAMPLES;
    buf.height = canvas.height * SUBSAMPLES;
    buf.depth.assign(static_cast<size_t>(buf.width) * buf.height, -1e30f);
    buf.colour.assign(buf.depth.size(), {0, 0, 0});
    for (size_t i = 0; i < projected.size(); i++) {
        std::vector<ScreenPoint> &pts = projected[i];
        for (ScreenPoint &p : pts) {
            p.x = (p.x * scale + offX) * SUBSAMPLES;
            p.y = (p.y * scale + offY) * SUBSAMPLES;
        }
        for (size_t k = 1; k + 1 < pts.size(); k++) rasterTriangle(buf, pts[0], pts[k], pts[k + 1], colours[i]);
    }

    // Resolve: each pixel blends the mean colour of its covered samples by their share
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            Color sum = {0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < SUBSAMPLES; sy++)
                for (int sx = 0; sx < SUBSAMPLES; sx++) {
                    size_t at = static_cast<size_t>(y * SUBSAMPLES + sy) * buf.width + x * SUBSAMPLES + sx;
                    if (buf.depth[at] > -1e29f) {
                        sum.r += buf.colour[at].r;
                        sum.g += buf.colour[at].g;
                        sum.b += buf.colour[at].b;
                        covered++;
                    }
                }
            if (covered == 0) continue;
            Color mean = scaleColor(sum, 1.0f / covered);
            blendPixel(canvas, x, y, mean, static_cast<float>(covered) / (SUBSAMPLES * SUBSAMPLES));
        }
    }
}
