// Texture coordinates: whole-texture quads and triangles, planar circles, tiled and mirrored
// walls, the sphere grid.
#include "generators.h"
#include "scene_geometry.h"
#include "texture_coords.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace scene_test;

namespace {

const cara *faceAt(const primitiva &object, int ordinal) { return facesOf(object)[(size_t)ordinal]; }

tex_coord coordAt(const primitiva &object, int ordinal, int vertex, int wraps)
{
    return texture_coordinate(&object, faceAt(object, ordinal), ordinal, vertex, wraps);
}

}  // namespace

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
        {"cube v0", cube.p, 3, 0, 1, 0, 1}, {"cube v1", cube.p, 3, 1, 1, 1, 1}, {"cube v2", cube.p, 3, 2, 1, 1, 0},
        {"triangle apex", triangle.p, 0, 0, 1, 0.5f, 1}, {"triangle left", triangle.p, 0, 2, 1, 0, 0},
        {"trapezoid slope v0", trapezoid.p, 2, 0, 1, 0.25f, 1}, {"trapezoid slope v1", trapezoid.p, 2, 1, 1, 0.75f, 1},
        {"trapezoid slope v2", trapezoid.p, 2, 2, 1, 1, 0},
        {"circle top", circle.p, 0, 0, 1, 0.5f, 1}, {"circle right", circle.p, 0, 8, 1, 1, 0.5f},
        {"inner wall 0 v1", cylinder.p, 0, 1, 1, 1.0f / 32, 1}, {"inner wall 0 v2", cylinder.p, 0, 2, 1, 1.0f / 32, 0},
        // the second tile (the outer wall) runs backwards
        {"outer wall 0 v0", cylinder.p, 32, 0, 1, 1, 1}, {"outer wall 31 v1", cylinder.p, 63, 1, 1, 0, 1},
        {"two wraps face 16", cylinder.p, 16, 0, 2, 1, 1}, {"two wraps face 17", cylinder.p, 17, 1, 2, 14.0f / 16, 1},
        // the back ring exchanges the s values of v0/v1 and v2/v3
        {"back ring v0", cylinder.p, 96, 0, 1, 31.0f / 32, 1}, {"back ring v1", cylinder.p, 96, 1, 1, 1, 1},
        {"sphere pole", sphere.p, 0, 0, 1, 0.5f / 32, 1}, {"sphere cap", sphere.p, 0, 1, 1, 1.0f / 32, 15.0f / 16},
        {"sphere band", sphere.p, 33, 2, 1, 2.0f / 32, 14.0f / 16},
        {"sphere bottom pole", sphere.p, 511, 0, 1, 31.5f / 32, 0},
        {"sphere bottom", sphere.p, 511, 2, 1, 1, 1.0f / 16},
        // the half sphere's bottom disc is planar over its own extent
        {"disc centre", half.p, 256, 0, 1, 0.5f, 0.5f}, {"disc edge", half.p, 256, 1, 1, 0.5f, 1},
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
