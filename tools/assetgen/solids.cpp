/**********************************************************************************************
*
*   solids - the pictures of the primitive menu
*
*   The meshes follow the program's own primitives (kind numbers and proportions), with
*   finer curves than the defaults so the pictures read well at button size.
*
*   DEPENDENCIES: asset_output, raster3d, canvas, text
*
**********************************************************************************************/
#include "solids.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

//----------------------------------------------------------------------------------
// Types and tables
//----------------------------------------------------------------------------------
namespace {

constexpr float PI = 3.14159265f;
constexpr int PICTURE_SIZE = 128;
constexpr int CURVE_STEPS = 32;   // segments of a full turn

struct SolidPicture {
    const char *stem;
    const char *caption;
    int kind;
    MeshView view;
};

// In the order of the primitive menu
const std::array<SolidPicture, 12> SOLID_PICTURES = {{
    {"cubo", "Cubo", 4, {35, 24, 0.80f}},
    {"piramide", "Piramide", 3, {30, 18, 0.82f}},
    {"trapecio", "Trapecio", 7, {30, 24, 0.86f}},
    {"rectangulo", "Rectangulo", 0, {-35, 16, 0.84f}},
    {"paralelepipedo", "Paralelepipedo", 2, {-30, 20, 0.86f}},
    {"triangulo", "Triangulo", 1, {-35, 14, 0.84f}},
    {"circulo", "Circulo", 5, {-38, 14, 0.84f}},
    {"medio circulo", "Medio circulo", 6, {-38, 14, 0.86f}},
    {"cilindro", "Cilindro", 8, {-32, 22, 0.86f}},
    {"medio cilindro", "Medio cilindro", 9, {-32, 20, 0.86f}},
    {"esfera", "Esfera", 10, {30, 20, 0.80f}},
    {"media esfera", "Media esfera", 11, {30, 24, 0.86f}},
}};

//----------------------------------------------------------------------------------
// Private helpers: meshes
//----------------------------------------------------------------------------------

// A prism: the outline (in x, y) extruded from z = front to z = front - depth, with both caps
void addPrism(Mesh &mesh, const std::vector<std::pair<float, float>> &outline, float depth, float front = 0.0f)
{
    std::vector<Vec3> frontCap, back;
    for (const auto &p : outline) {
        frontCap.push_back({p.first, p.second, front});
        back.push_back({p.first, p.second, front - depth});
    }
    addFace(mesh, frontCap);
    addFace(mesh, back);
    for (size_t i = 0; i < outline.size(); i++) {
        size_t j = (i + 1) % outline.size();
        addFace(mesh, {frontCap[i], frontCap[j], back[j], back[i]});
    }
}

// An axis-aligned box between two corners
void addBox(Mesh &mesh, Vec3 lo, Vec3 hi)
{
    addPrism(mesh, {{lo.x, hi.y}, {hi.x, hi.y}, {hi.x, lo.y}, {lo.x, lo.y}}, hi.z - lo.z, hi.z);
}

// A frustum of a square pyramid (top half side 0 gives a pyramid)
void addFrustum(Mesh &mesh, float base, float top, float height)
{
    float y0 = -height * 0.5f, y1 = height * 0.5f;
    std::array<Vec3, 4> b = {{{-base, y0, base}, {base, y0, base}, {base, y0, -base}, {-base, y0, -base}}};
    std::array<Vec3, 4> t = {{{-top, y1, top}, {top, y1, top}, {top, y1, -top}, {-top, y1, -top}}};
    addFace(mesh, {b[0], b[1], b[2], b[3]});
    if (top > 0.0f) addFace(mesh, {t[0], t[1], t[2], t[3]});
    for (size_t i = 0; i < 4; i++) {
        size_t j = (i + 1) % 4;
        if (top > 0.0f) addFace(mesh, {b[i], b[j], t[j], t[i]});
        else addFace(mesh, {b[i], b[j], {0.0f, y1, 0.0f}});
    }
}

// Points of an arc from angle a0 to a1 (radians, 0 = up, clockwise), centre lowered by drop
std::vector<std::pair<float, float>> arc(float radius, float a0, float a1, int steps, float drop)
{
    std::vector<std::pair<float, float>> pts;
    for (int i = 0; i <= steps; i++) {
        float a = a0 + (a1 - a0) * i / steps;
        pts.push_back({radius * std::sin(a), radius * std::cos(a) - drop});
    }
    return pts;
}

// A tube along -z between two radii over an arc; closeCut adds the flat quads of a half tube
void addTube(Mesh &mesh, float inner, float outer, float length, float a0, float a1, int steps, float drop, bool closeCut)
{
    auto in = arc(inner, a0, a1, steps, drop);
    auto out = arc(outer, a0, a1, steps, drop);
    for (int i = 0; i < steps; i++) {
        Vec3 i0f = {in[i].first, in[i].second, 0}, i1f = {in[i + 1].first, in[i + 1].second, 0};
        Vec3 o0f = {out[i].first, out[i].second, 0}, o1f = {out[i + 1].first, out[i + 1].second, 0};
        Vec3 i0b = {i0f.x, i0f.y, -length}, i1b = {i1f.x, i1f.y, -length};
        Vec3 o0b = {o0f.x, o0f.y, -length}, o1b = {o1f.x, o1f.y, -length};
        addFace(mesh, {i0f, i1f, i1b, i0b}, 0.8f);  // inner wall, a little darker
        addFace(mesh, {o0f, o1f, o1b, o0b});
        addFace(mesh, {i0f, o0f, o1f, i1f});
        addFace(mesh, {i0b, o0b, o1b, i1b});
    }
    if (closeCut) {
        for (int end : {0, steps}) {
            Vec3 a = {in[end].first, in[end].second, 0}, b = {out[end].first, out[end].second, 0};
            addFace(mesh, {a, b, {b.x, b.y, -length}, {a.x, a.y, -length}});
        }
    }
}

// An ellipsoid (or its upper half, closed by a flat disc)
void addSphere(Mesh &mesh, float radius, bool upperHalfOnly)
{
    int columns = CURVE_STEPS;
    int rows = upperHalfOnly ? CURVE_STEPS / 4 : CURVE_STEPS / 2;
    float drop = upperHalfOnly ? radius * 0.5f : 0.0f;
    auto ring = [&](int r, int c) {
        float e = PI * 0.5f * r / (CURVE_STEPS / 4);   // from the top pole
        float phi = 2.0f * PI * c / columns;
        return Vec3{radius * std::sin(e) * std::sin(phi), radius * std::cos(e) - drop, radius * std::sin(e) * std::cos(phi)};
    };
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++)
            addFace(mesh, {ring(r, c), ring(r, c + 1), ring(r + 1, c + 1), ring(r + 1, c)});
    if (upperHalfOnly) {
        std::vector<Vec3> disc;
        for (int c = 0; c < columns; c++) disc.push_back(ring(rows, c));
        addFace(mesh, disc, 0.9f);
    }
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Meshes by kind, in the proportions of the default primitives
Mesh solidMesh(int kind)
{
    Mesh mesh;
    switch (kind) {
    case 0:  // rectangle: a thin upright slab, 3 x 5 x 1
        addBox(mesh, {-1.5f, -2.5f, -0.5f}, {1.5f, 2.5f, 0.5f});
        break;
    case 1:  // triangle: a triangular prism
        addPrism(mesh, {{0, 2}, {2, -2}, {-2, -2}}, 1.6f);
        break;
    case 2:  // parallelepiped: a slanted prism with a parallelogram face
        addPrism(mesh, {{-2, 1}, {2, 1}, {4, -1}, {0, -1}}, 2.0f);
        break;
    case 3:  // pyramid
        addFrustum(mesh, 2.0f, 0.0f, 3.2f);
        break;
    case 4:  // cube
        addBox(mesh, {-2, -2, -2}, {2, 2, 2});
        break;
    case 5:  // circle: a disc
        addPrism(mesh, arc(2.0f, 0.0f, 2.0f * PI * (CURVE_STEPS - 1) / CURVE_STEPS, CURVE_STEPS - 1, 0.0f), 0.8f);
        break;
    case 6:  // half circle: a half disc standing on its flat edge
        addPrism(mesh, arc(2.0f, -PI * 0.5f, PI * 0.5f, CURVE_STEPS / 2, 1.0f), 0.8f);
        break;
    case 7:  // trapezoid: a frustum
        addFrustum(mesh, 2.0f, 1.0f, 2.0f);
        break;
    case 8:  // cylinder: a tube
        addTube(mesh, 1.6f, 2.3f, 4.0f, 0.0f, 2.0f * PI, CURVE_STEPS, 0.0f, false);
        break;
    case 9:  // half cylinder: an arch
        addTube(mesh, 1.6f, 2.3f, 4.0f, -PI * 0.5f, PI * 0.5f, CURVE_STEPS / 2, 1.0f, true);
        break;
    case 10:  // sphere
        addSphere(mesh, 2.0f, false);
        break;
    case 11:  // half sphere: a dome on a flat disc
        addSphere(mesh, 2.0f, true);
        break;
    default:
        break;
    }
    return mesh;
}

// Each picture on an idle and a highlighted tile, with its caption underneath
bool generateSolids(AssetOutput &out)
{
    const float size = static_cast<float>(PICTURE_SIZE);
    for (const SolidPicture &p : SOLID_PICTURES) {
        Mesh mesh = solidMesh(p.kind);
        for (int selected = 0; selected < 2; selected++) {
            Canvas canvas = makeCanvas(PICTURE_SIZE, PICTURE_SIZE, {0, 0, 0});
            if (selected) {
                fillVerticalGradient(canvas, {0.36f, 0.46f, 0.66f}, {0.16f, 0.22f, 0.36f});
                fillGlow(canvas, {size * 0.5f, size * 0.42f}, size * 0.5f, {1.0f, 0.95f, 0.75f}, 0.35f);
            } else {
                fillVerticalGradient(canvas, {0.17f, 0.21f, 0.30f}, {0.06f, 0.08f, 0.12f});
            }
            Color solid = selected ? Color{1.0f, 0.70f, 0.28f} : Color{0.62f, 0.76f, 0.95f};
            renderMesh(canvas, mesh, 6, 4, size - 6, size - 26, solid, p.view);
            Color rim = selected ? Color{1.0f, 0.80f, 0.28f} : Color{0.35f, 0.42f, 0.55f};
            strokeRoundedRect(canvas, 0, 0, size, size, 0.08f * size, selected ? 5.0f : 3.0f, rim);
            drawLabel(canvas, out.bold, p.caption, 8, size - 25, size - 8, size - 7, 14,
                      selected ? Color{1.0f, 1.0f, 0.9f} : Color{0.85f, 0.89f, 0.96f}, 1.0f);
            std::string name = std::string(p.stem) + (selected ? "Selected" : "") + ".bmp";
            if (!saveBitmap(out, name, canvas)) return false;
        }
    }
    return true;
}
