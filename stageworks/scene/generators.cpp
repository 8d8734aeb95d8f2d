/**********************************************************************************************
*
*   generators - the twelve parametric primitive generators
*
*   NOTE: every quad of a curved wall (circle sides, cylinder walls) starts at an edge that
*   follows the angle, so that its first two vertices carry the same t and consecutive s
*   values of the tiled texture rule; the ring stays clockwise as seen from the side the
*   normal points to.
*
**********************************************************************************************/
#include "generators.h"

#include "normals.h"
#include "parameters.h"

#include <cmath>
#include <cstdlib>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
namespace {

constexpr double PI_DEGREES = 3.141592653;   // the curved kinds
constexpr float PI_FLOAT = 3.1415927f;       // the circle

// One generation in progress: the object, its vertex table and the tail of its face list
struct generation {
    primitiva object;
    hash_table *table;
    cara **tail;
};

// A point of a flat outline (x, y)
struct point2 {
    float x, y;
};

}  // namespace

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Integer half and quarter of a parameter
static int h(int p) { return p / 2; }
static int q(int p) { return p / 4; }

static double radians(float degrees) { return (double)degrees * PI_DEGREES / 180.0; }

// Smallest bucket count worth having for an expected number of positions
static uint32_t buckets_for(long long positions)
{
    if (positions < 16) return 16;
    if (positions > (1 << 20)) return 1 << 20;
    return (uint32_t)positions;
}

// Steps 1 to 3 of every generator: the vertex table, the parameter record and the record
static generation begin_generation(int kind, const int *parameters, long long positions)
{
    generation g;
    g.object = new_primitiva();
    g.object.objeto3D = kind;
    g.object.caract = new_caract_record();
    if (g.object.caract != nullptr) {
        for (int i = 0; i < parameter_count(kind); i++) g.object.caract->values[i] = parameters[i];
    }
    g.object.numCaras = (int)face_count_for(kind, parameters);
    g.table = hash_table_create(buckets_for(positions));
    g.tail = &g.object.faces;
    return g;
}

// Appends one face of the group built from count points (faces of fewer than 3 are skipped)
static void add_face(generation &g, int group, const point3 *points, int count)
{
    if (count < 3 || g.table == nullptr) return;
    cara *face = (cara *)calloc(1, sizeof(cara));
    if (face == nullptr) return;
    face->group = group;
    face->numVertices = count;
    build_face(face, points, count, g.table);
    *g.tail = face;
    g.tail = &face->next;
}

// A quad from four points
static void add_quad(generation &g, int group, point3 a, point3 b, point3 c, point3 d)
{
    point3 points[4] = {a, b, c, d};
    add_face(g, group, points, 4);
}

static void add_triangle(generation &g, int group, point3 a, point3 b, point3 c)
{
    point3 points[3] = {a, b, c};
    add_face(g, group, points, 3);
}

// Smooths the normals, drops the vertex table and hands the object over
static primitiva end_generation(generation &g, int facesPerVertex)
{
    if (g.table != nullptr) {
        average_normals(g.table, facesPerVertex);
        destroy_vertex_table(g.table);
    }
    return g.object;
}

// The angles of a full turn in segments steps per quarter: 4 * segments + 1 values from 0,
// accumulated in float, the last exactly 0 again
static std::vector<float> full_turn(int segments)
{
    int n = 4 * segments;
    float step = 90.0f / (float)segments;
    std::vector<float> angles((size_t)n + 1);
    float theta = 0.0f;
    for (int i = 0; i < n; i++) {
        angles[(size_t)i] = theta;
        theta += step;
    }
    angles[(size_t)n] = 0.0f;
    return angles;
}

// The angles of a half turn from -90 degrees: 2 * segments + 1 values, the last exactly 90
static std::vector<float> half_turn(int segments)
{
    int n = 2 * segments;
    float step = 90.0f / (float)segments;
    std::vector<float> angles((size_t)n + 1);
    float theta = -90.0f;
    for (int i = 0; i < n; i++) {
        angles[(size_t)i] = theta;
        theta += step;
    }
    angles[(size_t)n] = 90.0f;
    return angles;
}

// Points of an ellipse of half axes (a, b) scaled by k and lowered by drop, at the angles
static std::vector<point2> ellipse(const std::vector<float> &angles, int a, int b, double k, int drop)
{
    std::vector<point2> points(angles.size());
    for (size_t i = 0; i < angles.size(); i++) {
        double t = radians(angles[i]);
        points[i].x = (float)(k * a * std::sin(t));
        points[i].y = (float)(k * b * std::cos(t) - drop);
    }
    return points;
}

static point3 at(const point2 &p, float z) { return point3{p.x, p.y, z}; }

// The quads of a wall between z = 0 and z = -depth along an outline, facing outward
// (away from the axis) or inward
static void add_wall(generation &g, int group, const std::vector<point2> &outline, float depth, bool outward)
{
    for (size_t i = 0; i + 1 < outline.size(); i++) {
        const point2 &a = outline[i], &b = outline[i + 1];
        if (outward) add_quad(g, group, at(a, -depth), at(b, -depth), at(b, 0.0f), at(a, 0.0f));
        else add_quad(g, group, at(a, 0.0f), at(b, 0.0f), at(b, -depth), at(a, -depth));
    }
}

// The ring quads between an outer and an inner outline at z (front: facing +Z; back: -Z)
static void add_ring(generation &g, int group, const std::vector<point2> &outer, const std::vector<point2> &inner,
                     float z, bool front)
{
    for (size_t i = 0; i + 1 < outer.size(); i++) {
        if (front) add_quad(g, group, at(outer[i], z), at(outer[i + 1], z), at(inner[i + 1], z), at(inner[i], z));
        else add_quad(g, group, at(outer[i + 1], z), at(outer[i], z), at(inner[i], z), at(inner[i + 1], z));
    }
}

// A flat polygon at z from the outline points [0, count), in order or reversed
static void add_outline_face(generation &g, int group, const std::vector<point2> &outline, size_t count, float z,
                             bool reversed)
{
    std::vector<point3> points(count);
    for (size_t i = 0; i < count; i++) points[i] = at(outline[reversed ? count - 1 - i : i], z);
    add_face(g, group, points.data(), (int)count);
}

// A point of an ellipsoid of half axes (a, b, c) at latitude e (from the top) and longitude
// phi, lowered by drop
static point3 ellipsoid_point(int a, int b, int c, float e, float phi, int drop)
{
    double re = radians(e), rp = radians(phi);
    return point3{(float)(a * std::sin(re) * std::sin(rp)), (float)(b * std::cos(re) - drop),
                  (float)(c * std::sin(re) * std::cos(rp))};
}

// Caps and bands of a (half) ellipsoid: rings at latitudes[1 .. last], the top pole, and the
// bottom point the lower cap closes on; K = 4
static primitiva finish_ellipsoid(generation &g, int a, int b, int c, int segmentsX,
                                  const std::vector<float> &latitudes, int drop, point3 top, point3 bottom)
{
    std::vector<float> longitudes = full_turn(segmentsX);
    size_t columns = longitudes.size() - 1;
    size_t rings = latitudes.size() - 1;   // ring j at latitudes[j], j = 1 .. rings
    std::vector<point3> grid((rings + 1) * (columns + 1));
    for (size_t j = 1; j <= rings; j++)
        for (size_t i = 0; i <= columns; i++)
            grid[j * (columns + 1) + i] = ellipsoid_point(a, b, c, latitudes[j], longitudes[i], drop);
    auto p = [&](size_t j, size_t i) { return grid[j * (columns + 1) + i]; };

    for (size_t i = 0; i < columns; i++) add_triangle(g, 0, top, p(1, i + 1), p(1, i));
    for (size_t j = 1; j < rings; j++)
        for (size_t i = 0; i < columns; i++) add_quad(g, 1, p(j, i), p(j, i + 1), p(j + 1, i + 1), p(j + 1, i));
    for (size_t i = 0; i < columns; i++) add_triangle(g, 2, bottom, p(rings, i), p(rings, i + 1));
    return end_generation(g, 4);
}

//----------------------------------------------------------------------------------
// Public functions: flat-sided kinds
//----------------------------------------------------------------------------------
primitiva generate_rectangle(int ladoHor, int ladoVert, int grosor)
{
    int parameters[] = {1, ladoHor, ladoVert, grosor};
    generation g = begin_generation(KIND_RECTANGLE, parameters, 8);
    float H = (float)h(ladoHor), V = (float)h(ladoVert), G = (float)grosor;
    add_quad(g, 0, {-H, V, 0}, {H, V, 0}, {H, -V, 0}, {-H, -V, 0});
    add_quad(g, 1, {H, V, -G}, {-H, V, -G}, {-H, -V, -G}, {H, -V, -G});
    add_quad(g, 2, {H, V, 0}, {H, V, -G}, {H, -V, -G}, {H, -V, 0});
    add_quad(g, 3, {-H, V, -G}, {-H, V, 0}, {-H, -V, 0}, {-H, -V, -G});
    add_quad(g, 4, {-H, V, -G}, {H, V, -G}, {H, V, 0}, {-H, V, 0});
    add_quad(g, 5, {-H, -V, 0}, {H, -V, 0}, {H, -V, -G}, {-H, -V, -G});
    return end_generation(g, 3);
}

primitiva generate_triangle(int ladoBase, int altura, int grosor)
{
    int parameters[] = {1, ladoBase, altura, grosor};
    generation g = begin_generation(KIND_TRIANGLE, parameters, 6);
    float W = (float)h(ladoBase), A = (float)h(altura), G = (float)grosor;
    add_triangle(g, 0, {0, A, 0}, {W, -A, 0}, {-W, -A, 0});
    add_quad(g, 1, {0, A, 0}, {0, A, -G}, {W, -A, -G}, {W, -A, 0});
    add_quad(g, 2, {0, A, -G}, {0, A, 0}, {-W, -A, 0}, {-W, -A, -G});
    add_quad(g, 3, {-W, -A, 0}, {W, -A, 0}, {W, -A, -G}, {-W, -A, -G});
    add_triangle(g, 4, {0, A, -G}, {-W, -A, -G}, {W, -A, -G});
    return end_generation(g, 3);
}

primitiva generate_parallelepiped(int ladoBase, int ladoLateral, int altura, int grosor)
{
    int parameters[] = {1, ladoBase, ladoLateral, altura, grosor};
    generation g = begin_generation(KIND_PARALLELEPIPED, parameters, 8);
    float B = (float)ladoBase, L = (float)h(ladoLateral), A = (float)h(altura), G = (float)grosor;
    add_quad(g, 0, {-L, A, 0}, {B - L, A, 0}, {B, -A, 0}, {0, -A, 0});
    add_quad(g, 1, {B - L, A, 0}, {B - L, A, -G}, {B, -A, -G}, {B, -A, 0});
    add_quad(g, 2, {-L, A, -G}, {-L, A, 0}, {0, -A, 0}, {0, -A, -G});
    add_quad(g, 3, {-L, A, -G}, {B - L, A, -G}, {B - L, A, 0}, {-L, A, 0});
    add_quad(g, 4, {0, -A, 0}, {B, -A, 0}, {B, -A, -G}, {0, -A, -G});
    add_quad(g, 5, {B - L, A, -G}, {-L, A, -G}, {0, -A, -G}, {B, -A, -G});
    return end_generation(g, 3);
}

primitiva generate_pyramid(int lado, int altura)
{
    int parameters[] = {lado, altura};
    generation g = begin_generation(KIND_PYRAMID, parameters, 5);
    float S = (float)h(lado), A = (float)h(altura);
    point3 T = {0, A, 0};
    add_quad(g, 0, {-S, -A, S}, {S, -A, S}, {S, -A, -S}, {-S, -A, -S});
    add_triangle(g, 1, T, {S, -A, S}, {-S, -A, S});
    add_triangle(g, 2, T, {S, -A, -S}, {S, -A, S});
    add_triangle(g, 3, T, {-S, -A, -S}, {S, -A, -S});
    add_triangle(g, 4, T, {-S, -A, S}, {-S, -A, -S});
    return end_generation(g, 3);
}

primitiva generate_cube(int lado)
{
    int parameters[] = {lado};
    generation g = begin_generation(KIND_CUBE, parameters, 8);
    float s = (float)h(lado);
    add_quad(g, 0, {s, s, -s}, {-s, s, -s}, {-s, -s, -s}, {s, -s, -s});
    add_quad(g, 1, {s, s, s}, {s, s, -s}, {s, -s, -s}, {s, -s, s});
    add_quad(g, 2, {-s, s, s}, {s, s, s}, {s, -s, s}, {-s, -s, s});
    add_quad(g, 3, {-s, s, -s}, {-s, s, s}, {-s, -s, s}, {-s, -s, -s});
    add_quad(g, 4, {-s, s, -s}, {s, s, -s}, {s, s, s}, {-s, s, s});
    add_quad(g, 5, {-s, -s, s}, {s, -s, s}, {s, -s, -s}, {-s, -s, -s});
    return end_generation(g, 3);
}

primitiva generate_trapezoid(int ladoBase, int ladoPico, int altura)
{
    int parameters[] = {ladoBase, ladoPico, altura};
    generation g = begin_generation(KIND_TRAPEZOID, parameters, 8);
    float b = (float)h(ladoBase), p = (float)h(ladoPico), A = (float)h(altura);
    add_quad(g, 0, {-b, -A, b}, {b, -A, b}, {b, -A, -b}, {-b, -A, -b});
    add_quad(g, 1, {-p, A, -p}, {p, A, -p}, {p, A, p}, {-p, A, p});
    add_quad(g, 2, {-p, A, p}, {p, A, p}, {b, -A, b}, {-b, -A, b});
    add_quad(g, 3, {-p, A, -p}, {-p, A, p}, {-b, -A, b}, {-b, -A, -b});
    add_quad(g, 4, {p, A, -p}, {-p, A, -p}, {-b, -A, -b}, {b, -A, -b});
    add_quad(g, 5, {p, A, p}, {p, A, -p}, {b, -A, -b}, {b, -A, b});
    return end_generation(g, 3);
}

//----------------------------------------------------------------------------------
// Public functions: curved kinds
//----------------------------------------------------------------------------------
primitiva generate_circle(int radioHor, int radioVert, int grosor, int segmentos)
{
    int parameters[] = {1, radioHor, radioVert, grosor, segmentos};
    generation g = begin_generation(KIND_CIRCLE, parameters, 8LL * (segmentos > 0 ? segmentos : 0));
    if (segmentos < 1) return end_generation(g, 3);

    // NOTE: the circle converts with the single-precision pi in float arithmetic
    std::vector<float> angles = full_turn(segmentos);
    std::vector<point2> rim(angles.size());
    float rH = (float)h(radioHor), rV = (float)h(radioVert), G = (float)grosor;
    for (size_t i = 0; i < angles.size(); i++) {
        float t = angles[i] * PI_FLOAT / 180.0f;
        rim[i] = point2{rH * std::sin(t), rV * std::cos(t)};
    }
    size_t n = angles.size() - 1;
    add_outline_face(g, 0, rim, n, 0.0f, false);
    add_wall(g, 1, rim, G, true);
    add_outline_face(g, 2, rim, n, -G, true);
    return end_generation(g, 3);
}

primitiva generate_half_circle(int radioHor, int radioVert, int grosor, int segmentos)
{
    int parameters[] = {1, radioHor, radioVert, grosor, segmentos};
    generation g = begin_generation(KIND_HALF_CIRCLE, parameters, 4LL * (segmentos > 0 ? segmentos : 0));
    if (segmentos < 1) return end_generation(g, 3);

    std::vector<point2> arc = ellipse(half_turn(segmentos), h(radioHor), h(radioVert), 1.0, q(radioVert));
    float G = (float)grosor;
    const point2 &left = arc.front(), &right = arc.back();
    add_outline_face(g, 0, arc, arc.size(), 0.0f, false);
    add_wall(g, 1, arc, G, true);
    add_outline_face(g, 2, arc, arc.size(), -G, true);
    add_quad(g, 3, at(left, 0.0f), at(right, 0.0f), at(right, -G), at(left, -G));
    return end_generation(g, 3);
}

primitiva generate_cylinder(int radioHor, int radioVert, int grosorX, int grosorY, int segmentos)
{
    int parameters[] = {1, 0, radioHor, radioVert, grosorX, grosorY, segmentos};
    generation g = begin_generation(KIND_CYLINDER, parameters, 16LL * (segmentos > 0 ? segmentos : 0));
    if (segmentos < 1) return end_generation(g, 4);

    std::vector<float> angles = full_turn(segmentos);
    double k = grosorY / 10.0 + 1.0;
    std::vector<point2> inner = ellipse(angles, h(radioHor), h(radioVert), 1.0, 0);
    std::vector<point2> outer = ellipse(angles, h(radioHor), h(radioVert), k, 0);
    float L = (float)grosorX;
    add_wall(g, 0, inner, L, false);
    add_wall(g, 1, outer, L, true);
    add_ring(g, 2, outer, inner, 0.0f, true);
    add_ring(g, 3, outer, inner, -L, false);
    return end_generation(g, 4);
}

primitiva generate_half_cylinder(int radioHor, int radioVert, int grosorX, int grosorY, int segmentos)
{
    int parameters[] = {1, 0, radioHor, radioVert, grosorX, grosorY, segmentos};
    generation g = begin_generation(KIND_HALF_CYLINDER, parameters, 8LL * (segmentos > 0 ? segmentos : 0));
    if (segmentos < 1) return end_generation(g, 4);

    std::vector<float> angles = half_turn(segmentos);
    double k = grosorY / 10.0 + 1.0;
    std::vector<point2> inner = ellipse(angles, h(radioHor), h(radioVert), 1.0, q(radioVert));
    std::vector<point2> outer = ellipse(angles, h(radioHor), h(radioVert), k, q(radioVert));
    float L = (float)grosorX;
    add_wall(g, 0, inner, L, false);
    add_wall(g, 1, outer, L, true);
    add_ring(g, 2, outer, inner, 0.0f, true);
    add_ring(g, 3, outer, inner, -L, false);
    // the two faces closing the cut, facing down: x < 0, then x > 0
    const point2 &innerLeft = inner.front(), &outerLeft = outer.front();
    const point2 &innerRight = inner.back(), &outerRight = outer.back();
    add_quad(g, 4, at(outerLeft, 0.0f), at(innerLeft, 0.0f), at(innerLeft, -L), at(outerLeft, -L));
    add_quad(g, 5, at(innerRight, 0.0f), at(outerRight, 0.0f), at(outerRight, -L), at(innerRight, -L));
    return end_generation(g, 4);
}

primitiva generate_sphere(int radioHor, int radioVert, int radioZ, int segmentosX, int segmentosY)
{
    int parameters[] = {radioHor, radioVert, radioZ, segmentosX, segmentosY};
    long long positions = (4LL * segmentosX + 1) * (2LL * segmentosY + 1);
    generation g = begin_generation(KIND_SPHERE, parameters, positions);
    if (segmentosX < 1 || segmentosY < 1) return end_generation(g, 4);

    // latitudes of the rings 1 .. 2 * segmentosY - 1, accumulated from the top pole
    int rows = 2 * segmentosY;
    float step = 90.0f / (float)segmentosY;
    std::vector<float> latitudes((size_t)rows);
    float e = 0.0f;
    for (int j = 0; j < rows; j++) {
        latitudes[(size_t)j] = e;
        e += step;
    }
    int a = h(radioHor), b = h(radioVert), c = h(radioZ);
    return finish_ellipsoid(g, a, b, c, segmentosX, latitudes, 0, point3{0.0f, (float)b, 0.0f},
                            point3{0.0f, (float)-b, 0.0f});
}

primitiva generate_half_sphere(int radioHor, int radioVert, int radioZ, int segmentosX, int segmentosY)
{
    int parameters[] = {radioHor, radioVert, radioZ, segmentosX, segmentosY};
    long long positions = (4LL * segmentosX + 1) * (segmentosY + 2LL);
    generation g = begin_generation(KIND_HALF_SPHERE, parameters, positions);
    if (segmentosX < 1 || segmentosY < 1) return end_generation(g, 4);

    // latitudes of the rings 1 .. segmentosY, the last one exactly the equator
    float step = 90.0f / (float)segmentosY;
    std::vector<float> latitudes((size_t)segmentosY + 1);
    float e = 0.0f;
    for (int j = 0; j < segmentosY; j++) {
        latitudes[(size_t)j] = e;
        e += step;
    }
    latitudes[(size_t)segmentosY] = 90.0f;
    int a = h(radioHor), b = h(radioVert), c = h(radioZ), drop = q(radioVert);
    return finish_ellipsoid(g, a, b, c, segmentosX, latitudes, drop, point3{0.0f, (float)(b - drop), 0.0f},
                            point3{0.0f, (float)-drop, 0.0f});
}

//----------------------------------------------------------------------------------
// Public functions: by kind
//----------------------------------------------------------------------------------
primitiva generate_kind(int kind)
{
    const kind_parameters *info = kind_parameter_info(kind);
    if (info == nullptr) {
        primitiva none = {};
        none.objeto3D = -1;
        return none;
    }
    primitiva object = {};
    build_primitive(kind, info->defaults.data(), &object);
    return object;
}

int build_primitive(int kind, const int *values, primitiva *out)
{
    *out = primitiva{};
    const kind_parameters *info = kind_parameter_info(kind);
    if (info == nullptr || values == nullptr) return 0;
    if (face_count_for(kind, values) > MAX_GENERATED_FACES) return 0;

    const int *v = values;
    switch (kind) {
    case KIND_RECTANGLE: *out = generate_rectangle(v[1], v[2], v[3]); break;
    case KIND_TRIANGLE: *out = generate_triangle(v[1], v[2], v[3]); break;
    case KIND_PARALLELEPIPED: *out = generate_parallelepiped(v[1], v[2], v[3], v[4]); break;
    case KIND_PYRAMID: *out = generate_pyramid(v[0], v[1]); break;
    case KIND_CUBE: *out = generate_cube(v[0]); break;
    case KIND_CIRCLE: *out = generate_circle(v[1], v[2], v[3], v[4]); break;
    case KIND_HALF_CIRCLE: *out = generate_half_circle(v[1], v[2], v[3], v[4]); break;
    case KIND_TRAPEZOID: *out = generate_trapezoid(v[0], v[1], v[2]); break;
    case KIND_CYLINDER: *out = generate_cylinder(v[2], v[3], v[4], v[5], v[6]); break;
    case KIND_HALF_CYLINDER: *out = generate_half_cylinder(v[2], v[3], v[4], v[5], v[6]); break;
    case KIND_SPHERE: *out = generate_sphere(v[0], v[1], v[2], v[3], v[4]); break;
    case KIND_HALF_SPHERE: *out = generate_half_sphere(v[0], v[1], v[2], v[3], v[4]); break;
    default: return 0;
    }
    // the solid and culling switches come from the caller, not from the generator
    if (out->caract != nullptr) {
        for (int i = 0; i < info->count; i++) out->caract->values[i] = values[i];
    }
    return 1;
}
