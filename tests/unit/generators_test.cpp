// The twelve generators: face counts, outward normals, exact positions, closing vertices,
// vertex normals, the parameter builder and the parameter names.
#include "generators.h"
#include "parameters.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace scene_test;

namespace {

// Owns a generated object for the length of a test
struct Owned {
    primitiva p;
    explicit Owned(primitiva value) : p(value) {}
    ~Owned() { free_primitiva(&p); }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
};

struct Case {
    int kind;
    std::vector<int> values;   // full parameter array in field order
};

// Defaults plus variations (odd sizes, ellipses, few and many segments) for every kind
std::vector<Case> parameterCases()
{
    return {
        {0, {1, 3, 5, 1}}, {0, {1, 8, 2, 3}}, {0, {1, 7, 7, 10}},
        {1, {1, 4, 4, 2}}, {1, {1, 9, 3, 1}}, {1, {1, 2, 10, 5}},
        {2, {1, 4, 5, 3, 2}}, {2, {1, 10, 3, 7, 1}}, {2, {1, 3, 9, 4, 6}},
        {3, {4, 4}}, {3, {10, 3}}, {3, {3, 12}},
        {4, {4}}, {4, {5}}, {4, {20}},
        {5, {1, 4, 4, 4, 8}}, {5, {1, 10, 4, 2, 1}}, {5, {1, 6, 12, 3, 5}},
        {6, {1, 4, 4, 4, 8}}, {6, {1, 10, 6, 2, 1}}, {6, {1, 8, 16, 5, 3}},
        {7, {4, 2, 2}}, {7, {10, 4, 6}}, {7, {6, 6, 3}},
        {8, {1, 0, 4, 4, 4, 4, 8}}, {8, {1, 0, 10, 6, 20, 2, 1}}, {8, {1, 0, 6, 12, 3, 10, 5}},
        {9, {1, 0, 4, 4, 4, 4, 8}}, {9, {1, 0, 10, 6, 20, 2, 1}}, {9, {1, 0, 8, 16, 3, 10, 3}},
        {10, {4, 4, 4, 8, 8}}, {10, {10, 6, 8, 1, 1}}, {10, {6, 12, 4, 3, 5}},
        {11, {4, 4, 4, 8, 8}}, {11, {10, 6, 8, 1, 1}}, {11, {6, 12, 4, 5, 3}},
    };
}

// The face count each kind must have
int expectedFaces(const Case &c)
{
    const std::vector<int> &v = c.values;
    switch (c.kind) {
    case 0: case 2: case 4: case 7: return 6;
    case 1: case 3: return 5;
    case 5: return 4 * v[4] + 2;
    case 6: return 2 * v[4] + 3;
    case 8: return 16 * v[6];
    case 9: return 8 * v[6] + 2;
    case 10: return 8 * v[3] * v[4];
    case 11: return 4 * v[3] * (v[4] + 1);
    }
    return -1;
}

std::string describe(const Case &c)
{
    std::string text = "kind " + std::to_string(c.kind) + " (";
    for (int value : c.values) text += std::to_string(value) + " ";
    return text + ")";
}

primitiva build(const Case &c)
{
    primitiva p = {};
    EXPECT_EQ(build_primitive(c.kind, c.values.data(), &p), 1) << describe(c);
    return p;
}

// Whether the vertex lies at (x, y, z) within tolerance
bool at(const vertice *v, float x, float y, float z, float tolerance = 1e-5f)
{
    return std::fabs(v->x - x) <= tolerance && std::fabs(v->y - y) <= tolerance && std::fabs(v->z - z) <= tolerance;
}

}  // namespace

TEST(Generators, FaceCountsFollowTheKindFormulas)
{
    for (const Case &c : parameterCases()) {
        Owned o(build(c));
        EXPECT_EQ(o.p.objeto3D, c.kind) << describe(c);
        EXPECT_EQ(o.p.numCaras, expectedFaces(c)) << describe(c);
        EXPECT_EQ(face_list_length(&o.p), expectedFaces(c)) << describe(c);
        for (const cara *face : facesOf(o.p)) {
            EXPECT_EQ(face->numVertices, (int)ringOf(face).size()) << describe(c);
            EXPECT_GE(face->numVertices, 3) << describe(c);
        }
    }
}

TEST(Generators, FaceNormalsPointOutOfTheSolid)
{
    for (const Case &c : parameterCases()) {
        Owned o(build(c));
        Vec centre = centreOf(o.p);
        int checked = 0;
        for (const cara *face : facesOf(o.p)) {
            if (isZeroNormal(face)) continue;
            Vec normal = normalOf(face);
            EXPECT_NEAR(std::sqrt(dot(normal, normal)), 1.0, 1e-5) << describe(c);
            Vec c0 = centroidOf(face);
            bool wall = (c.kind == 8 || c.kind == 9) && (face->group == 0 || face->group == 1);
            if (wall) {
                // walls are judged against the axis at the face's own depth
                double axisY = (c.kind == 9) ? -(double)(c.values[3] / 4) : 0.0;
                double d = dot(normal, c0 - Vec{0.0, axisY, c0.z});
                if (face->group == 0) EXPECT_LT(d, 0.0) << describe(c) << " inner wall";
                else EXPECT_GT(d, 0.0) << describe(c) << " outer wall";
            } else {
                EXPECT_GT(dot(normal, c0 - centre), 0.0) << describe(c) << " group " << face->group;
            }
            checked++;
        }
        EXPECT_GT(checked, 0) << describe(c);
    }
}

TEST(Generators, BuilderKeepsSwitchesAndRefusesBadRequests)
{
    int cylinder[] = {0, 1, 4, 4, 4, 4, 8};
    primitiva p = {};
    ASSERT_EQ(build_primitive(KIND_CYLINDER, cylinder, &p), 1);
    EXPECT_EQ(p.caract->values[CIL_SOLIDO], 0);
    EXPECT_EQ(p.caract->values[CIL_CULL_FACE], 1);
    free_primitiva(&p);

    Owned generated(generate_cylinder(4, 4, 4, 4, 8));
    EXPECT_EQ(generated.p.caract->values[CIL_SOLIDO], 1);
    EXPECT_EQ(generated.p.caract->values[CIL_CULL_FACE], 0);
    EXPECT_EQ(generated.p.caract->values[CIL_SEGMENTOS], 8);

    EXPECT_EQ(build_primitive(12, cylinder, &p), 0);
    EXPECT_EQ(build_primitive(-1, cylinder, &p), 0);
    EXPECT_EQ(build_primitive(KIND_CUBE, nullptr, &p), 0);
    int hugeSphere[] = {4, 4, 4, 100000, 100000};
    EXPECT_EQ(build_primitive(KIND_SPHERE, hugeSphere, &p), 0);
    EXPECT_EQ(p.faces, nullptr);
    EXPECT_EQ(p.caract, nullptr);

    // segment counts below 1 build no faces, and the face count says so
    int noSegments[] = {1, 4, 4, 4, 0};
    ASSERT_EQ(build_primitive(KIND_CIRCLE, noSegments, &p), 1);
    EXPECT_EQ(p.faces, nullptr);
    EXPECT_EQ(p.numCaras, 0);
    free_primitiva(&p);
}

TEST(Generators, GenerateKindUsesTheDefaults)
{
    const int expected[PRIMITIVE_KINDS] = {6, 5, 6, 5, 6, 34, 19, 6, 128, 66, 512, 288};
    for (int kind = 0; kind < PRIMITIVE_KINDS; kind++) {
        Owned o(generate_kind(kind));
        EXPECT_EQ(o.p.objeto3D, kind);
        EXPECT_EQ(o.p.numCaras, expected[kind]) << "kind " << kind;
        EXPECT_FLOAT_EQ(o.p.scaleX, 1.0f);
        EXPECT_EQ(o.p.promediado, 0);
        ASSERT_NE(o.p.caract, nullptr);
        const kind_parameters *info = kind_parameter_info(kind);
        for (int i = 0; i < info->count; i++) EXPECT_EQ(o.p.caract->values[i], info->defaults[(size_t)i]);
    }
    Owned none(generate_kind(12));
    EXPECT_EQ(none.p.objeto3D, -1);
    EXPECT_EQ(none.p.faces, nullptr);
}

TEST(Generators, ParameterNamesInFileOrder)
{
    EXPECT_STREQ(parameter_element_name(KIND_CUBE), "cCubo");
    EXPECT_STREQ(parameter_element_name(KIND_HALF_SPHERE), "cMediaEsfera");
    EXPECT_EQ(parameter_element_name(12), nullptr);
    const char *cylinder[] = {"CILsolido", "CILcullFace", "CILradioHor", "CILradioVert", "CILgrosorX",
                              "CILgrosorY", "CILsegmentos"};
    ASSERT_EQ(parameter_count(KIND_CYLINDER), 7);
    for (int i = 0; i < 7; i++) EXPECT_STREQ(parameter_field_name(KIND_CYLINDER, i), cylinder[i]);
    EXPECT_EQ(parameter_field_name(KIND_CYLINDER, 7), nullptr);
    EXPECT_STREQ(parameter_field_name(KIND_PARALLELEPIPED, 2), "PARAladoLateral");
    EXPECT_STREQ(parameter_field_name(KIND_TRAPEZOID, 1), "TRAladoPico");
    EXPECT_EQ(parameter_count(KIND_PYRAMID), 2);
}

TEST(Generators, DefaultRectangleSpan)
{
    Owned o(generate_kind(KIND_RECTANGLE));
    Span s = spanOf(o.p);
    EXPECT_EQ(s.minX, -1.0f); EXPECT_EQ(s.maxX, 1.0f);
    EXPECT_EQ(s.minY, -2.0f); EXPECT_EQ(s.maxY, 2.0f);
    EXPECT_EQ(s.minZ, -1.0f); EXPECT_EQ(s.maxZ, 0.0f);
}

TEST(Generators, CubeCornersUseIntegerHalves)
{
    for (int side : {4, 5}) {
        Owned o(generate_cube(side));
        Span s = spanOf(o.p);
        EXPECT_EQ(s.minX, -2.0f); EXPECT_EQ(s.maxX, 2.0f);
        EXPECT_EQ(s.minY, -2.0f); EXPECT_EQ(s.maxY, 2.0f);
        EXPECT_EQ(s.minZ, -2.0f); EXPECT_EQ(s.maxZ, 2.0f);
        // back face first, clockwise as seen from behind
        std::vector<const vertice *> back = ringOf(o.p.faces);
        EXPECT_TRUE(at(back[0], 2, 2, -2));
        EXPECT_TRUE(at(back[1], -2, 2, -2));
        EXPECT_TRUE(at(back[3], 2, -2, -2));
    }
}

TEST(Generators, CubeCornerVertexNormalsAverageThreeFaces)
{
    Owned o(generate_kind(KIND_CUBE));
    const float k = 1.0f / std::sqrt(3.0f);
    int records = 0;
    for (const cara *face : facesOf(o.p))
        for (const vertice *v : ringOf(face)) {
            EXPECT_NEAR(v->nx, v->x > 0 ? k : -k, 1e-6);
            EXPECT_NEAR(v->ny, v->y > 0 ? k : -k, 1e-6);
            EXPECT_NEAR(v->nz, v->z > 0 ? k : -k, 1e-6);
            records++;
        }
    EXPECT_EQ(records, 24);   // eight corners, three records each
}

TEST(Generators, TriangleFrontNormalFacesTheViewer)
{
    Owned o(generate_kind(KIND_TRIANGLE));
    ASSERT_EQ(o.p.faces->group, 0);
    EXPECT_FLOAT_EQ(o.p.faces->normal[0], 0.0f);
    EXPECT_FLOAT_EQ(o.p.faces->normal[1], 0.0f);
    EXPECT_FLOAT_EQ(o.p.faces->normal[2], 1.0f);
    std::vector<const vertice *> front = ringOf(o.p.faces);
    EXPECT_TRUE(at(front[0], 0, 2, 0));
    EXPECT_TRUE(at(front[1], 2, -2, 0));
    EXPECT_TRUE(at(front[2], -2, -2, 0));
}

TEST(Generators, DefaultCylinderHasOuterRadiusTimesOnePointFour)
{
    Owned o(generate_kind(KIND_CYLINDER));
    EXPECT_EQ(o.p.numCaras, 128);
    std::vector<int> groups = groupCounts(o.p);
    ASSERT_EQ(groups.size(), 4u);
    for (int count : groups) EXPECT_EQ(count, 32);
    float maxRadius = 0.0f, minRadius = 1e9f;
    for (const cara *face : facesOf(o.p)) {
        for (const vertice *v : ringOf(face)) {
            float r = std::sqrt(v->x * v->x + v->y * v->y);
            maxRadius = std::max(maxRadius, r);
            minRadius = std::min(minRadius, r);
        }
    }
    EXPECT_NEAR(maxRadius, 2.8f, 1e-5);
    EXPECT_NEAR(minRadius, 2.0f, 1e-5);
    Span s = spanOf(o.p);
    EXPECT_EQ(s.minZ, -4.0f);
    EXPECT_EQ(s.maxZ, 0.0f);
}

TEST(Generators, CircleFrontPolygonStartsAtTheTopAndTurnsClockwise)
{
    Owned o(generate_kind(KIND_CIRCLE));
    std::vector<const vertice *> front = ringOf(o.p.faces);
    ASSERT_EQ(front.size(), 32u);
    EXPECT_EQ(front[0]->x, 0.0f);
    EXPECT_EQ(front[0]->y, 2.0f);
    EXPECT_EQ(front[0]->z, 0.0f);
    EXPECT_NEAR(front[8]->x, 2.0f, 1e-6);
    EXPECT_NEAR(front[8]->y, 0.0f, 1e-6);
    EXPECT_NEAR(front[16]->y, -2.0f, 1e-6);
    EXPECT_NEAR(front[24]->x, -2.0f, 1e-6);
}

TEST(Generators, ClosingVerticesRepeatTheFirstOnesBitForBit)
{
    // circle: the last side quad ends on the first rim point
    Owned circle(generate_kind(KIND_CIRCLE));
    std::vector<const cara *> faces = facesOf(circle.p);
    const vertice *first = ringOf(faces[0])[0];
    const cara *lastSide = faces[32];
    ASSERT_EQ(lastSide->group, 1);
    bool found = false;
    for (const vertice *v : ringOf(lastSide))
        if (std::memcmp(&v->x, &first->x, sizeof(float)) == 0 && std::memcmp(&v->y, &first->y, sizeof(float)) == 0 &&
            v->z == 0.0f)
            found = true;
    EXPECT_TRUE(found);
    // so both records are averaged together: the same vertex normal, made of the front and
    // the first and last side quads
    int shared = 0;
    for (const vertice *v : ringOf(lastSide)) {
        if (v->x == first->x && v->y == first->y && v->z == 0.0f) {
            EXPECT_EQ(v->nx, first->nx);
            EXPECT_EQ(v->ny, first->ny);
            EXPECT_EQ(v->nz, first->nz);
            shared++;
        }
    }
    EXPECT_EQ(shared, 1);
    EXPECT_NEAR(first->nx, 0.0f, 1e-6);
    EXPECT_GT(first->ny, 0.8f);
    EXPECT_GT(first->nz, 0.3f);

    // half circle: the arc ends exactly at 90 degrees on the bottom line
    Owned half(generate_kind(KIND_HALF_CIRCLE));
    std::vector<const vertice *> arc = ringOf(half.p.faces);
    ASSERT_EQ(arc.size(), 17u);
    EXPECT_EQ(arc.front()->x, -2.0f);
    EXPECT_EQ(arc.back()->x, 2.0f);
    EXPECT_EQ(arc.front()->y, -1.0f);
    EXPECT_EQ(arc.back()->y, -1.0f);
}

TEST(Generators, HalfSphereSpansMinusOneToOne)
{
    Owned o(generate_kind(KIND_HALF_SPHERE));
    Span s = spanOf(o.p);
    EXPECT_NEAR(s.minY, -1.0f, 1e-6);
    EXPECT_NEAR(s.maxY, 1.0f, 1e-6);
    EXPECT_NEAR(s.maxX, 2.0f, 1e-6);
    EXPECT_NEAR(s.minZ, -2.0f, 1e-6);
    std::vector<int> groups = groupCounts(o.p);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0], 32);
    EXPECT_EQ(groups[1], 7 * 32);
    EXPECT_EQ(groups[2], 32);
}

TEST(Generators, SphereVertexNormalsPointAwayFromTheCentre)
{
    Owned o(generate_kind(KIND_SPHERE));
    for (const cara *face : facesOf(o.p))
        for (const vertice *v : ringOf(face)) {
            Vec n{v->nx, v->ny, v->nz};
            EXPECT_NEAR(std::sqrt(dot(n, n)), 1.0, 1e-5);
            EXPECT_GT(dot(n, positionOf(v)), 0.0);
        }
}

TEST(Generators, SmoothingCountsOnlyTheFirstFacesAtAPosition)
{
    // at the pyramid apex four triangles meet, but only the first three are averaged
    Owned o(generate_kind(KIND_PYRAMID));
    std::vector<const cara *> faces = facesOf(o.p);
    Vec sum{0, 0, 0};
    for (int i = 1; i <= 3; i++) sum = {sum.x + faces[(size_t)i]->normal[0], sum.y + faces[(size_t)i]->normal[1],
                                         sum.z + faces[(size_t)i]->normal[2]};
    double length = std::sqrt(dot(sum, sum));
    const vertice *apex = ringOf(faces[4])[0];
    ASSERT_TRUE(at(apex, 0, 2, 0));
    EXPECT_NEAR(apex->nx, sum.x / length, 1e-6);
    EXPECT_NEAR(apex->ny, sum.y / length, 1e-6);
    EXPECT_NEAR(apex->nz, sum.z / length, 1e-6);
    EXPECT_GT(std::fabs(apex->nx) + std::fabs(apex->nz), 0.01);   // not symmetric
}
