// The twelve generators: face counts, outward normals, exact positions, closing vertices,
// vertex normals and the parameter builder.
#include "generators.h"
#include "parameters.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace scene_test;

namespace {

struct Case {
    int kind;
    std::vector<int> values;   // full parameter array in field order
    int faces;
};

// Defaults plus variations (odd sizes, ellipses, few and many segments) for every kind
const std::vector<Case> CASES = {
    {0, {1, 3, 5, 1}, 6}, {0, {1, 8, 2, 3}, 6}, {0, {1, 7, 7, 10}, 6},
    {1, {1, 4, 4, 2}, 5}, {1, {1, 9, 3, 1}, 5}, {1, {1, 2, 10, 5}, 5},
    {2, {1, 4, 5, 3, 2}, 6}, {2, {1, 10, 3, 7, 1}, 6}, {2, {1, 3, 9, 4, 6}, 6},
    {3, {4, 4}, 5}, {3, {10, 3}, 5}, {3, {3, 12}, 5},
    {4, {4}, 6}, {4, {5}, 6}, {4, {20}, 6},
    {5, {1, 4, 4, 4, 8}, 34}, {5, {1, 10, 4, 2, 1}, 6}, {5, {1, 6, 12, 3, 5}, 22},
    {6, {1, 4, 4, 4, 8}, 19}, {6, {1, 10, 6, 2, 1}, 5}, {6, {1, 8, 16, 5, 3}, 9},
    {7, {4, 2, 2}, 6}, {7, {10, 4, 6}, 6}, {7, {6, 6, 3}, 6},
    {8, {1, 0, 4, 4, 4, 4, 8}, 128}, {8, {1, 0, 10, 6, 20, 2, 1}, 16}, {8, {1, 0, 6, 12, 3, 10, 5}, 80},
    {9, {1, 0, 4, 4, 4, 4, 8}, 66}, {9, {1, 0, 10, 6, 20, 2, 1}, 10}, {9, {1, 0, 8, 16, 3, 10, 3}, 26},
    {10, {4, 4, 4, 8, 8}, 512}, {10, {10, 6, 8, 1, 1}, 8}, {10, {6, 12, 4, 3, 5}, 120},
    {11, {4, 4, 4, 8, 8}, 288}, {11, {10, 6, 8, 1, 1}, 8}, {11, {6, 12, 4, 5, 3}, 80},
};

bool at(const vertice *v, float x, float y, float z)
{
    return std::fabs(v->x - x) <= 1e-5f && std::fabs(v->y - y) <= 1e-5f && std::fabs(v->z - z) <= 1e-5f;
}

}  // namespace

TEST(Generators, FaceCountsAndOutwardNormalsOfEveryKind)
{
    for (const Case &c : CASES) {
        std::string what = "kind " + std::to_string(c.kind) + " values " + std::to_string(c.values.back());
        primitiva built = {};
        ASSERT_EQ(build_primitive(c.kind, c.values.data(), &built), 1) << what;
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
                Vec axis{0.0, c.kind == 9 ? -(double)(c.values[3] / 4) : 0.0, c0.z};
                EXPECT_EQ(dot(n, c0 - axis) > 0.0, face->group == 1) << what << " wall " << face->group;
            } else {
                EXPECT_GT(dot(n, c0 - centre), 0.0) << what << " group " << face->group;
            }
        }
    }
    const int defaults[PRIMITIVE_KINDS] = {6, 5, 6, 5, 6, 34, 19, 6, 128, 66, 512, 288};
    for (int kind = 0; kind < PRIMITIVE_KINDS; kind++) EXPECT_EQ(Owned(generate_kind(kind)).p.numCaras, defaults[kind]);
    EXPECT_EQ(Owned(generate_kind(12)).p.faces, nullptr);
}

TEST(Generators, BuilderRefusesBadRequests)
{
    int cylinder[] = {0, 1, 4, 4, 4, 4, 8}, hugeSphere[] = {4, 4, 4, 100000, 100000}, noSegments[] = {1, 4, 4, 4, 0};
    primitiva p = {};
    EXPECT_EQ(build_primitive(12, cylinder, &p), 0);
    EXPECT_EQ(build_primitive(KIND_CUBE, nullptr, &p), 0);
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

    // the half circle's arc ends exactly on the bottom line
    Owned half(generate_kind(KIND_HALF_CIRCLE));
    std::vector<const vertice *> arc = ringOf(half.p.faces);
    ASSERT_EQ(arc.size(), 17u);
    EXPECT_TRUE(arc.front()->x == -2.0f && arc.back()->x == 2.0f && arc.front()->y == -1.0f && arc.back()->y == -1.0f);
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
