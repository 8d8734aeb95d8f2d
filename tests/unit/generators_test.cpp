// The generated geometry: the twelve generators (face counts, outward normals, exact positions,
// closing vertices, vertex normals, the parameter builder), the face builder, position keys and
// the smoothing pass, and the texture coordinates of every kind.
#include "generators.h"
#include "normals.h"
#include "parameters.h"
#include "scene_geometry.h"
#include "texture_coords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace scene_test;

namespace {

struct Case {
    int kind;
    std::vector<int> values;   // full parameter array in field order
    int faces;
};

// Odd sizes, ellipses, few and many segments for every kind
const std::vector<Case> CASES = {
    {0, {1, 8, 2, 3}, 6}, {0, {1, 7, 7, 10}, 6}, {1, {1, 9, 3, 1}, 5}, {1, {1, 2, 10, 5}, 5},
    {2, {1, 10, 3, 7, 1}, 6}, {2, {1, 3, 9, 4, 6}, 6}, {3, {10, 3}, 5}, {3, {3, 12}, 5},
    {4, {5}, 6}, {4, {20}, 6}, {5, {1, 10, 4, 2, 1}, 6}, {5, {1, 6, 12, 3, 5}, 22},
    {6, {1, 10, 6, 2, 1}, 5}, {6, {1, 8, 16, 5, 3}, 9}, {7, {10, 4, 6}, 6}, {7, {6, 6, 3}, 6},
    {8, {1, 0, 10, 6, 20, 2, 1}, 16}, {8, {1, 0, 6, 12, 3, 10, 5}, 80}, {9, {1, 0, 10, 6, 20, 2, 1}, 10},
    {9, {1, 0, 8, 16, 3, 10, 3}, 26},
    {10, {10, 6, 8, 1, 1}, 8}, {10, {6, 12, 4, 3, 5}, 120}, {11, {10, 6, 8, 1, 1}, 8}, {11, {6, 12, 4, 5, 3}, 80},
};

bool at(const vertice *v, float x, float y, float z)
{
    return std::fabs(v->x - x) <= 1e-5f && std::fabs(v->y - y) <= 1e-5f && std::fabs(v->z - z) <= 1e-5f;
}

// Faces built from point lists into the table, owned by the object
void addFaces(primitiva &owner, hash_table *table, std::vector<std::vector<point3>> faces)
{
    cara **tail = &owner.faces;
    for (std::vector<point3> &points : faces) {
        *tail = (cara *)calloc(1, sizeof(cara));
        (*tail)->numVertices = (int)points.size();
        EXPECT_EQ(build_face(*tail, points.data(), (int)points.size(), table), 1);
        tail = &(*tail)->next;
    }
}

const cara *faceAt(const primitiva &object, int ordinal) { return facesOf(object)[(size_t)ordinal]; }

tex_coord coordAt(const primitiva &object, int ordinal, int vertex, int wraps)
{
    return texture_coordinate(&object, faceAt(object, ordinal), ordinal, vertex, wraps);
}

}  // namespace

TEST(Generators, FaceCountsAndOutwardNormalsOfEveryKind)
{
    std::vector<Case> cases = CASES;   // and every kind with its defaults
    const int defaults[PRIMITIVE_KINDS] = {6, 5, 6, 5, 6, 34, 19, 6, 128, 66, 512, 288};
    for (int kind = 0; kind < PRIMITIVE_KINDS; kind++) cases.push_back({kind, {}, defaults[kind]});
    for (const Case &c : cases) {
        std::string what = "kind " + std::to_string(c.kind) +
                           (c.values.empty() ? " defaults" : " ending " + std::to_string(c.values.back()));
        primitiva built = {};
        if (c.values.empty()) built = generate_kind(c.kind);
        else EXPECT_EQ(build_primitive(c.kind, c.values.data(), &built), 1) << what;
        Owned o(built);
        EXPECT_EQ(o.p.numCaras, c.faces) << what;
        EXPECT_EQ(face_list_length(&o.p), c.faces) << what;
        Vec centre = centroidOf(facesOf(o.p));
        for (const cara *face : facesOf(o.p)) {
            Vec n{face->normal[0], face->normal[1], face->normal[2]};
            if (dot(n, n) == 0.0) continue;   // degenerate face
            EXPECT_NEAR(dot(n, n), 1.0, 1e-5) << what;
            Vec c0 = centroidOf({face});
            if ((c.kind == 8 || c.kind == 9) && face->group <= 1) {
                // walls are judged against the axis at the face's own depth: the inner one faces it
                Vec axis{0.0, c.kind == 9 ? -(double)(o.p.caract->values[MCIL_RADIO_VERT] / 4) : 0.0, c0.z};
                EXPECT_EQ(dot(n, c0 - axis) > 0.0, face->group == 1) << what << " wall " << face->group;
            } else {
                EXPECT_GT(dot(n, c0 - centre), 0.0) << what << " group " << face->group;
            }
        }
    }
    EXPECT_EQ(Owned(generate_kind(12)).p.faces, nullptr);
}

TEST(Generators, BuilderRefusesBadRequests)
{
    int cylinder[] = {0, 1, 4, 4, 4, 4, 8}, hugeSphere[] = {4, 4, 4, 100000, 100000}, noSegments[] = {1, 4, 4, 4, 0};
    primitiva p = {};
    EXPECT_EQ(build_primitive(12, cylinder, &p), 0);
    EXPECT_EQ(build_primitive(KIND_SPHERE, hugeSphere, &p), 0);
    EXPECT_EQ(p.faces, nullptr);
    ASSERT_EQ(build_primitive(KIND_CIRCLE, noSegments, &p), 1);
    EXPECT_EQ(p.numCaras, 0);
    free_primitiva(&p);
}

TEST(Generators, SpansUseIntegerHalves)
{
    for (auto [object, span] : {std::pair{generate_kind(KIND_RECTANGLE), Span{-1, 1, -2, 2, -1, 0}},
                                {generate_cube(4), Span{-2, 2, -2, 2, -2, 2}}, {generate_cube(5), Span{-2, 2, -2, 2, -2, 2}},
                                {generate_kind(KIND_HALF_SPHERE), Span{-2, 2, -1, 1, -2, 2}}}) {
        Owned o(object);
        EXPECT_TRUE(spanOf(o.p) == span) << "kind " << o.p.objeto3D;
    }
    // the default cylinder's outer radius is 1.4 times its inner one
    Owned cylinder(generate_kind(KIND_CYLINDER));
    Span s = spanOf(cylinder.p);
    EXPECT_NEAR(s.maxX, 2.8f, 1e-5);
    EXPECT_NEAR(s.minY, -2.8f, 1e-5);
    EXPECT_TRUE(s.minZ == -4.0f && s.maxZ == 0.0f);
    // the cube's back face comes first, clockwise as seen from behind
    Owned cube(generate_cube(5));
    std::vector<const vertice *> back = ringOf(cube.p.faces);
    EXPECT_TRUE(at(back[0], 2, 2, -2) && at(back[1], -2, 2, -2) && at(back[3], 2, -2, -2));
}

TEST(Generators, TriangleCircleAndClosingVertices)
{
    Owned triangle(generate_kind(KIND_TRIANGLE));
    EXPECT_EQ(triangle.p.faces->normal[2], 1.0f);
    std::vector<const vertice *> front = ringOf(triangle.p.faces);
    EXPECT_TRUE(at(front[0], 0, 2, 0) && at(front[1], 2, -2, 0) && at(front[2], -2, -2, 0));

    // the circle starts at the top and turns clockwise
    Owned circle(generate_kind(KIND_CIRCLE));
    std::vector<const vertice *> rim = ringOf(circle.p.faces);
    ASSERT_EQ(rim.size(), 32u);
    EXPECT_TRUE(rim[0]->x == 0.0f && rim[0]->y == 2.0f);
    EXPECT_TRUE(at(rim[8], 2, 0, 0) && at(rim[16], 0, -2, 0) && at(rim[24], -2, 0, 0));
    // the last side quad closes on the first rim point bit for bit, so both share one vertex normal
    int shared = 0;
    for (const vertice *v : ringOf(facesOf(circle.p)[32]))
        if (v->x == rim[0]->x && v->y == rim[0]->y && v->z == 0.0f) {
            EXPECT_TRUE(v->nx == rim[0]->nx && v->ny == rim[0]->ny && v->nz == rim[0]->nz);
            shared++;
        }
    EXPECT_EQ(shared, 1);
    EXPECT_GT(rim[0]->ny, 0.8f);
    EXPECT_GT(rim[0]->nz, 0.3f);
    Owned half(generate_kind(KIND_HALF_CIRCLE));   // the half turn ends exactly on the bottom line
    EXPECT_TRUE(ringOf(half.p.faces).back()->x == 2.0f && ringOf(half.p.faces).back()->y == -1.0f);
}

TEST(Generators, CubeCornerVertexNormalsAverageThreeFaces)
{
    Owned o(generate_kind(KIND_CUBE));
    const float k = 1.0f / std::sqrt(3.0f);
    for (const cara *face : facesOf(o.p))
        for (const vertice *v : ringOf(face)) {
            EXPECT_NEAR(v->nx, v->x > 0 ? k : -k, 1e-6);
            EXPECT_NEAR(v->ny, v->y > 0 ? k : -k, 1e-6);
            EXPECT_NEAR(v->nz, v->z > 0 ? k : -k, 1e-6);
        }
}

TEST(Normals, FaceNormalsAndNormalize)
{
    float n[3], zero[3] = {0.0f, 0.0f, 0.0f};
    face_normal({0, 1, 0}, {1, -1, 0}, {-1, -1, 0}, n);   // clockwise: toward the viewer
    EXPECT_TRUE(n[0] == 0.0f && n[1] == 0.0f && n[2] == 1.0f);
    face_normal({0, 0, 0}, {1, 1, 1}, {2, 2, 2}, n);   // collinear
    EXPECT_TRUE(n[0] == 0.0f && n[1] == 0.0f && n[2] == 0.0f);
    normalize(zero);
    EXPECT_EQ(zero[0], 0.0f);
}

TEST(Normals, PositionKeysAreTheTextOfPrintf)
{
    // a tiny negative value prints as -0.000000 and is another position than 0
    EXPECT_NE(position_key(-0.0f, 0.0f, 0.0f), position_key(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(position_key(-1e-9f, 0.0f, 0.0f), position_key(-0.0f, 0.0f, 0.0f));
    std::vector<float> values = {-0.0f, 2.8f, -5e-7f, 3.4028235e38f, 1.17549435e-38f};
    unsigned int seed = 12345;
    for (int i = 0; i < 20000; i++) {
        seed = seed * 1103515245u + 12345u;
        float f;
        memcpy(&f, &seed, sizeof f);
        if (std::isfinite(f)) values.push_back(f);
        values.push_back((float)((int)(seed % 200001) - 100000) / 128.0f);   // exact ties at the sixth decimal
    }
    for (size_t i = 0; i + 2 < values.size(); i++) {
        char expected[160];
        snprintf(expected, sizeof expected, "%f%f%f", (double)values[i], (double)values[i + 1], (double)values[i + 2]);
        ASSERT_EQ(position_key(values[i], values[i + 1], values[i + 2]), expected) << i;
    }
    // the 24-byte identity tells exactly the same positions apart: a value against its
    // neighbours in the list and its nearest floats (ties at the sixth decimal among them)
    values.push_back(std::nanf(""));
    values.push_back(-std::nanf(""));
    for (size_t i = 0; i + 1 < values.size(); i++) {
        float a = values[i];
        for (float b : {values[i + 1], std::nextafter(a, 1e30f), std::nextafter(a, -1e30f), -a}) {
            position_identity p = position_id(a, 1.0f, b), q = position_id(b, 1.0f, a);
            bool sameText = position_key(a, 1.0f, b) == position_key(b, 1.0f, a);
            ASSERT_EQ(memcmp(&p, &q, sizeof p) == 0, sameText) << a << " " << b;
        }
    }
}

TEST(Normals, AveragingSumsOnlyTheFirstFacesOfEachPosition)
{
    // five triangles at the origin with normals +Z, +X, +Y, -Z and -X: with a limit of four the
    // fifth is left out of the sum (1, 1, 0) but gets the result too
    hash_table *table = hash_table_create(16);
    primitiva owner = new_primitiva();
    addFaces(owner, table, {{{0, 0, 0}, {1, 0, 0}, {0, -1, 0}}, {{0, 0, 0}, {0, 0, -1}, {0, -1, 0}},
                            {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 0, 0}, {0, -1, 0}, {1, 0, 0}},
                            {{0, 0, 0}, {0, -1, 0}, {0, 0, -1}}});
    EXPECT_FLOAT_EQ(facesOf(owner)[4]->normal[0], -1.0f);
    average_normals(table, 4);
    const float k = 1.0f / std::sqrt(2.0f);
    for (const cara *face : facesOf(owner)) {
        const vertice *origin = ringOf(face)[0];
        EXPECT_NEAR(origin->nx, k, 1e-6);
        EXPECT_NEAR(origin->ny, k, 1e-6);
        EXPECT_NEAR(origin->nz, 0.0f, 1e-6);
    }
    EXPECT_FLOAT_EQ(ringOf(facesOf(owner)[2])[2]->ny, 1.0f);   // a position of one face keeps its normal
    destroy_vertex_table(table);
    free_primitiva(&owner);
}

TEST(TextureCoords, EveryKindOfMapping)
{
    Owned cube(generate_kind(KIND_CUBE)), triangle(generate_kind(KIND_TRIANGLE));
    Owned trapezoid(generate_kind(KIND_TRAPEZOID)), circle(generate_kind(KIND_CIRCLE));
    Owned cylinder(generate_kind(KIND_CYLINDER)), sphere(generate_kind(KIND_SPHERE));
    Owned half(generate_half_sphere(4, 4, 8, 8, 8));
    struct Row {
        const char *what;
        const primitiva &object;
        int face, vertex, wraps;
        float s, t;
    } rows[] = {
        {"cube v0", cube.p, 3, 0, 1, 0, 1}, {"cube v2", cube.p, 3, 2, 1, 1, 0}, {"triangle apex", triangle.p, 0, 0, 1, 0.5f, 1},
        {"trapezoid slope v0", trapezoid.p, 2, 0, 1, 0.25f, 1}, {"trapezoid slope v1", trapezoid.p, 2, 1, 1, 0.75f, 1},
        {"circle top", circle.p, 0, 0, 1, 0.5f, 1}, {"circle right", circle.p, 0, 8, 1, 1, 0.5f},
        {"inner wall 0 v2", cylinder.p, 0, 2, 1, 1.0f / 32, 0},
        // the second tile (the outer wall) runs backwards
        {"outer wall 0 v0", cylinder.p, 32, 0, 1, 1, 1}, {"outer wall 31 v1", cylinder.p, 63, 1, 1, 0, 1},
        {"two wraps face 16", cylinder.p, 16, 0, 2, 1, 1}, {"two wraps face 17", cylinder.p, 17, 1, 2, 14.0f / 16, 1},
        // the back ring exchanges the s values of v0/v1 and v2/v3
        {"back ring v0", cylinder.p, 96, 0, 1, 31.0f / 32, 1}, {"back ring v1", cylinder.p, 96, 1, 1, 1, 1},
        {"sphere pole", sphere.p, 0, 0, 1, 0.5f / 32, 1}, {"sphere cap", sphere.p, 0, 1, 1, 1.0f / 32, 15.0f / 16},
        {"sphere band", sphere.p, 33, 2, 1, 2.0f / 32, 14.0f / 16},
        {"sphere bottom pole", sphere.p, 511, 0, 1, 31.5f / 32, 0}, {"sphere bottom", sphere.p, 511, 2, 1, 1, 1.0f / 16},
        // the half sphere's bottom disc: s over the horizontal radius, t over the vertical one
        // (4 here) although the disc spans the Z radius (8): its edge at z = 4 maps to t = 1.5
        {"disc centre", half.p, 256, 0, 1, 0.5f, 0.5f}, {"disc edge", half.p, 256, 1, 1, 0.5f, 1.5f},
    };
    for (const Row &row : rows) {
        tex_coord c = coordAt(row.object, row.face, row.vertex, row.wraps);
        EXPECT_NEAR(c.s, row.s, 1e-6) << row.what;
        EXPECT_NEAR(c.t, row.t, 1e-6) << row.what;
    }
    // the circle's back lists its vertices in reverse and is mirrored
    tex_coord frontLast = coordAt(circle.p, 0, 31, 1), backFirst = coordAt(circle.p, 33, 0, 1);
    EXPECT_NEAR(backFirst.s, 1.0f - frontLast.s, 1e-6);
    EXPECT_NEAR(backFirst.t, frontLast.t, 1e-6);
    // a wrap count larger than the faces around does not divide by zero
    EXPECT_FALSE(std::isnan(coordAt(cylinder.p, 5, 1, 1000).s));
    // a scaled circle maps the same: coordinates are divided by the scale
    circle.p.scaleX = 2.0f;
    for (const vertice *v : ringOf(circle.p.faces)) const_cast<vertice *>(v)->x *= 2.0f;
    EXPECT_NEAR(coordAt(circle.p, 0, 8, 1).s, 1.0f, 1e-6);
}
