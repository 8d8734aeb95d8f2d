// Texture coordinates: whole-texture quads and triangles, planar circles, tiled and mirrored
// walls, the sphere grid.
#include "generators.h"
#include "scene_geometry.h"
#include "texture_coords.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace scene_test;

namespace {

struct Owned {
    primitiva p;
    explicit Owned(primitiva value) : p(value) {}
    ~Owned() { free_primitiva(&p); }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
};

const cara *faceAt(const primitiva &object, int ordinal)
{
    const cara *face = object.faces;
    for (int i = 0; face != nullptr && i < ordinal; i++) face = face->next;
    return face;
}

void expectCoord(tex_coord c, float s, float t, const char *where)
{
    EXPECT_NEAR(c.s, s, 1e-6) << where;
    EXPECT_NEAR(c.t, t, 1e-6) << where;
}

}  // namespace

TEST(TextureCoords, FlatKindsMapTheWholeTexture)
{
    Owned cube(generate_kind(KIND_CUBE));
    const cara *face = faceAt(cube.p, 3);
    expectCoord(texture_coordinate(&cube.p, face, 3, 0, 1), 0, 1, "cube v0");
    expectCoord(texture_coordinate(&cube.p, face, 3, 1, 1), 1, 1, "cube v1");
    expectCoord(texture_coordinate(&cube.p, face, 3, 2, 1), 1, 0, "cube v2");
    expectCoord(texture_coordinate(&cube.p, face, 3, 3, 1), 0, 0, "cube v3");

    Owned triangle(generate_kind(KIND_TRIANGLE));
    expectCoord(texture_coordinate(&triangle.p, triangle.p.faces, 0, 0, 1), 0.5f, 1, "apex");
    expectCoord(texture_coordinate(&triangle.p, triangle.p.faces, 0, 1, 1), 1, 0, "right");
    expectCoord(texture_coordinate(&triangle.p, triangle.p.faces, 0, 2, 1), 0, 0, "left");

    Owned trapezoid(generate_kind(KIND_TRAPEZOID));   // top 2 over base 4: r = 0.5
    const cara *slope = faceAt(trapezoid.p, 2);
    expectCoord(texture_coordinate(&trapezoid.p, slope, 2, 0, 1), 0.25f, 1, "slope v0");
    expectCoord(texture_coordinate(&trapezoid.p, slope, 2, 1, 1), 0.75f, 1, "slope v1");
    expectCoord(texture_coordinate(&trapezoid.p, slope, 2, 2, 1), 1, 0, "slope v2");
    expectCoord(texture_coordinate(&trapezoid.p, faceAt(trapezoid.p, 1), 1, 0, 1), 0, 1, "top v0");
}

TEST(TextureCoords, CircleFrontIsPlanarAndTheBackMirrored)
{
    Owned circle(generate_kind(KIND_CIRCLE));
    const cara *front = faceAt(circle.p, 0);
    expectCoord(texture_coordinate(&circle.p, front, 0, 0, 1), 0.5f, 1.0f, "top");
    tex_coord right = texture_coordinate(&circle.p, front, 0, 8, 1);
    expectCoord(right, 1.0f, 0.5f, "right");

    // the back lists its vertices in reverse: its first vertex is the front's last
    const cara *back = faceAt(circle.p, 33);
    ASSERT_EQ(back->group, 2);
    tex_coord frontLast = texture_coordinate(&circle.p, front, 0, 31, 1);
    tex_coord backFirst = texture_coordinate(&circle.p, back, 33, 0, 1);
    EXPECT_NEAR(backFirst.s, 1.0f - frontLast.s, 1e-6);
    EXPECT_NEAR(backFirst.t, frontLast.t, 1e-6);

    // a scaled circle maps the same: coordinates are divided by the scale
    circle.p.scaleX = 2.0f;
    for (const arista *e = front->ring; e; e = e->next) e->vertex->x *= 2.0f;
    expectCoord(texture_coordinate(&circle.p, front, 0, 8, 1), 1.0f, 0.5f, "scaled right");
}

TEST(TextureCoords, CylinderTilesAreMirroredEveryOtherTile)
{
    Owned cylinder(generate_kind(KIND_CYLINDER));   // 32 quads per wall
    const primitiva *p = &cylinder.p;
    expectCoord(texture_coordinate(p, faceAt(*p, 0), 0, 0, 1), 0, 1, "inner 0 v0");
    expectCoord(texture_coordinate(p, faceAt(*p, 0), 0, 1, 1), 1.0f / 32, 1, "inner 0 v1");
    expectCoord(texture_coordinate(p, faceAt(*p, 0), 0, 2, 1), 1.0f / 32, 0, "inner 0 v2");
    // second tile (the outer wall) runs backwards
    expectCoord(texture_coordinate(p, faceAt(*p, 32), 32, 0, 1), 1, 1, "outer 0 v0");
    expectCoord(texture_coordinate(p, faceAt(*p, 32), 32, 1, 1), 31.0f / 32, 1, "outer 0 v1");
    expectCoord(texture_coordinate(p, faceAt(*p, 63), 63, 1, 1), 0, 1, "outer 31 v1");
    // two wraps: 16 faces per tile
    expectCoord(texture_coordinate(p, faceAt(*p, 16), 16, 0, 2), 1, 1, "wrap 2, face 16");
    expectCoord(texture_coordinate(p, faceAt(*p, 17), 17, 1, 2), 14.0f / 16, 1, "wrap 2, face 17");
    // the back ring exchanges the s values of v0/v1 and v2/v3
    expectCoord(texture_coordinate(p, faceAt(*p, 96), 96, 0, 1), 31.0f / 32, 1, "back v0");
    expectCoord(texture_coordinate(p, faceAt(*p, 96), 96, 1, 1), 1, 1, "back v1");
    expectCoord(texture_coordinate(p, faceAt(*p, 96), 96, 3, 1), 31.0f / 32, 0, "back v3");
    // a wrap count larger than the faces around does not divide by zero
    tex_coord many = texture_coordinate(p, faceAt(*p, 5), 5, 1, 1000);
    EXPECT_FALSE(std::isnan(many.s));
}

TEST(TextureCoords, NeighbouringWallQuadsShareTheirEdgeCoordinates)
{
    // inside one tile, quad i's second vertex is quad i+1's first, with the same s
    Owned cylinder(generate_kind(KIND_CYLINDER));
    for (int group = 0; group < 2; group++) {
        for (int i = group * 32; i < group * 32 + 31; i++) {
            const cara *a = faceAt(cylinder.p, i), *b = faceAt(cylinder.p, i + 1);
            std::vector<const vertice *> ra = ringOf(a), rb = ringOf(b);
            EXPECT_EQ(ra[1]->x, rb[0]->x) << "face " << i;
            EXPECT_EQ(ra[1]->y, rb[0]->y) << "face " << i;
            EXPECT_EQ(ra[1]->z, rb[0]->z) << "face " << i;
            EXPECT_NEAR(texture_coordinate(&cylinder.p, a, i, 1, 1).s, texture_coordinate(&cylinder.p, b, i + 1, 0, 1).s,
                        1e-6)
                << "face " << i;
        }
    }
}

TEST(TextureCoords, SphereGridFollowsLongitudeAndLatitude)
{
    Owned sphere(generate_kind(KIND_SPHERE));   // C = 32, R = 16
    const primitiva *p = &sphere.p;
    expectCoord(texture_coordinate(p, faceAt(*p, 0), 0, 0, 1), 0.5f / 32, 1, "cap pole");
    expectCoord(texture_coordinate(p, faceAt(*p, 0), 0, 1, 1), 1.0f / 32, 15.0f / 16, "cap phi+step");
    expectCoord(texture_coordinate(p, faceAt(*p, 0), 0, 2, 1), 0, 15.0f / 16, "cap phi");
    expectCoord(texture_coordinate(p, faceAt(*p, 33), 33, 0, 1), 1.0f / 32, 15.0f / 16, "band 1 v0");
    expectCoord(texture_coordinate(p, faceAt(*p, 33), 33, 2, 1), 2.0f / 32, 14.0f / 16, "band 1 v2");
    expectCoord(texture_coordinate(p, faceAt(*p, 511), 511, 0, 1), 31.5f / 32, 0, "bottom pole");
    expectCoord(texture_coordinate(p, faceAt(*p, 511), 511, 2, 1), 1, 1.0f / 16, "bottom phi+step");

    // every ring vertex carries t = 1 - latitude / 180 and s = longitude / 360
    const double pi = 3.14159265358979;
    int ordinal = 0;
    for (const cara *face = p->faces; face != nullptr; face = face->next, ordinal++) {
        int index = 0;
        for (const arista *e = face->ring; e != nullptr; e = e->next, index++) {
            const vertice *v = e->vertex;
            if (std::fabs(v->y) > 1.99f) continue;   // poles
            tex_coord c = texture_coordinate(p, face, ordinal, index, 1);
            double latitude = std::acos(v->y / 2.0) * 180.0 / pi;
            EXPECT_NEAR(c.t, 1.0 - latitude / 180.0, 1e-4) << "face " << ordinal;
            double longitude = std::atan2((double)v->x, (double)v->z) * 180.0 / pi;
            if (longitude < 0) longitude += 360.0;
            double s = longitude / 360.0;
            if (c.s > 0.99f && s < 0.01) s += 1.0;   // the closing column
            EXPECT_NEAR(c.s, s, 1e-4) << "face " << ordinal;
        }
    }
}

TEST(TextureCoords, HalfSphereBottomDiscIsPlanarOverItsOwnExtent)
{
    Owned half(generate_half_sphere(4, 4, 8, 8, 8));
    const cara *bottom = faceAt(half.p, 288 - 32);
    ASSERT_EQ(bottom->group, 2);
    // the ring point at longitude 0 lies at z = 4, the far edge of the disc
    tex_coord edge = texture_coordinate(&half.p, bottom, 288 - 32, 1, 1);
    EXPECT_NEAR(edge.s, 0.5f, 1e-6);
    EXPECT_NEAR(edge.t, 1.0f, 1e-6);
    tex_coord centre = texture_coordinate(&half.p, bottom, 288 - 32, 0, 1);
    EXPECT_NEAR(centre.s, 0.5f, 1e-6);
    EXPECT_NEAR(centre.t, 0.5f, 1e-6);
}
