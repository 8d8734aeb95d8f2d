// Face builder, face normals, position keys and the smoothing pass.
#include "normals.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace scene_test;

namespace {

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

}  // namespace

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
