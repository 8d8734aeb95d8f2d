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

// A face built from points into the table, freed with the object that owns it
cara *addFace(primitiva &owner, hash_table *table, std::vector<point3> points)
{
    cara *face = (cara *)calloc(1, sizeof(cara));
    face->numVertices = (int)points.size();
    cara **tail = &owner.faces;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = face;
    EXPECT_EQ(build_face(face, points.data(), (int)points.size(), table), 1);
    return face;
}

int chainLength(hash_table *table, float x, float y, float z)
{
    std::string key = position_key(x, y, z);
    int n = 0;
    for (auto *o = (vertex_occurrence *)hash_table_get(table, (uint32_t)key.size(), key.data()); o; o = o->next) n++;
    return n;
}

}  // namespace

TEST(Normals, FaceNormalOfAClockwiseTriangleAndZeroForCollinearPoints)
{
    float n[3];
    face_normal({0, 1, 0}, {1, -1, 0}, {-1, -1, 0}, n);
    EXPECT_FLOAT_EQ(n[0], 0.0f);
    EXPECT_FLOAT_EQ(n[1], 0.0f);
    EXPECT_FLOAT_EQ(n[2], 1.0f);

    face_normal({0, 0, 0}, {1, 1, 1}, {2, 2, 2}, n);
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_EQ(n[1], 0.0f);
    EXPECT_EQ(n[2], 0.0f);

    float v[3] = {3.0f, 0.0f, 4.0f};
    normalize(v);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[2], 0.8f);
    float zero[3] = {0.0f, 0.0f, 0.0f};
    normalize(zero);
    EXPECT_FALSE(std::isnan(zero[0]));
    EXPECT_EQ(zero[0], 0.0f);
}

TEST(Normals, PositionKeysCompareSixDecimals)
{
    EXPECT_EQ(position_key(1.0f, -2.5f, 0.0f), "1.000000-2.5000000.000000");
    EXPECT_EQ(position_key(0.1234561f, 0.0f, 0.0f), position_key(0.1234564f, 0.0f, 0.0f));
    EXPECT_NE(position_key(0.123456f, 0.0f, 0.0f), position_key(0.123457f, 0.0f, 0.0f));
    // a tiny negative value prints as -0.000000 and is another position than 0
    EXPECT_NE(position_key(-0.0f, 0.0f, 0.0f), position_key(0.0f, 0.0f, 0.0f));
    EXPECT_NE(position_key(-1e-9f, 0.0f, 0.0f), position_key(1e-9f, 0.0f, 0.0f));
    EXPECT_EQ(position_key(-1e-9f, 0.0f, 0.0f), position_key(-0.0f, 0.0f, 0.0f));
}

TEST(Normals, BuildFaceMakesTheRing)
{
    hash_table *table = hash_table_create(16);
    primitiva owner = new_primitiva();
    cara *face = addFace(owner, table, {{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}});
    std::vector<const vertice *> ring = ringOf(face);
    ASSERT_EQ(ring.size(), 4u);
    EXPECT_EQ(ring[2]->x, 1.0f);
    EXPECT_EQ(ring[2]->y, 0.0f);
    EXPECT_EQ(face->ring->next->next->next->next, nullptr);
    EXPECT_EQ(hash_table_size(table), 4u);

    cara rejected = {};
    point3 two[2] = {{0, 0, 0}, {1, 1, 1}};
    EXPECT_EQ(build_face(&rejected, two, 2, table), 0);
    EXPECT_EQ(rejected.ring, nullptr);

    destroy_vertex_table(table);
    free_primitiva(&owner);
}

TEST(Normals, AveragingSumsTheFirstFacesOfEachPosition)
{
    hash_table *table = hash_table_create(16);
    primitiva owner = new_primitiva();
    // two faces meeting along an edge: normals +Z and +X
    cara *front = addFace(owner, table, {{-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, 0}});
    cara *side = addFace(owner, table, {{1, 1, 0}, {1, 1, -2}, {1, -1, -2}, {1, -1, 0}});
    EXPECT_FLOAT_EQ(front->normal[2], 1.0f);
    EXPECT_FLOAT_EQ(side->normal[0], 1.0f);
    EXPECT_EQ(chainLength(table, 1, 1, 0), 2);
    EXPECT_EQ(chainLength(table, -1, 1, 0), 1);

    average_normals(table, 3);
    const float k = 1.0f / std::sqrt(2.0f);
    const vertice *shared = ringOf(front)[1];
    EXPECT_NEAR(shared->nx, k, 1e-6);
    EXPECT_NEAR(shared->nz, k, 1e-6);
    EXPECT_EQ(ringOf(side)[0]->nx, shared->nx);   // both records of the position
    EXPECT_FLOAT_EQ(ringOf(front)[0]->nz, 1.0f);  // a position of one face keeps its normal
    EXPECT_FLOAT_EQ(ringOf(side)[1]->nx, 1.0f);

    destroy_vertex_table(table);
    free_primitiva(&owner);
}

TEST(Normals, OccurrencesBeyondTheLimitAreNotSummedButStillWritten)
{
    hash_table *table = hash_table_create(16);
    primitiva owner = new_primitiva();
    // five triangles at the origin with normals +Z, +X, +Y, -Z and -X
    addFace(owner, table, {{0, 0, 0}, {1, 0, 0}, {0, -1, 0}});
    addFace(owner, table, {{0, 0, 0}, {0, 0, -1}, {0, -1, 0}});
    addFace(owner, table, {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
    addFace(owner, table, {{0, 0, 0}, {0, -1, 0}, {1, 0, 0}});
    addFace(owner, table, {{0, 0, 0}, {0, -1, 0}, {0, 0, -1}});
    std::vector<const cara *> faces = facesOf(owner);
    EXPECT_FLOAT_EQ(faces[0]->normal[2], 1.0f);
    EXPECT_FLOAT_EQ(faces[1]->normal[0], 1.0f);
    EXPECT_FLOAT_EQ(faces[2]->normal[1], 1.0f);
    EXPECT_FLOAT_EQ(faces[3]->normal[2], -1.0f);
    EXPECT_FLOAT_EQ(faces[4]->normal[0], -1.0f);
    ASSERT_EQ(chainLength(table, 0, 0, 0), 5);

    // the first four sum to (1, 1, 0); the fifth (-X) is left out but gets the result too
    average_normals(table, 4);
    const float k = 1.0f / std::sqrt(2.0f);
    for (const cara *face : faces) {
        const vertice *origin = ringOf(face)[0];
        EXPECT_NEAR(origin->nx, k, 1e-6);
        EXPECT_NEAR(origin->ny, k, 1e-6);
        EXPECT_NEAR(origin->nz, 0.0f, 1e-6);
    }

    destroy_vertex_table(table);
    free_primitiva(&owner);
}

// The position key is the text "%f%f%f" prints, for every kind of value a generator can make
TEST(PositionKey, SameTextAsPrintf)
{
    std::vector<float> values = {0.0f, -0.0f, 1.0f, -1.0f, 0.0078125f, -0.0078125f, 2.8f, 1e-7f, -1e-7f, 5e-7f,
                                 123456.789f, -98765.4321f, 3.4028235e38f, -3.4028235e38f, 1.17549435e-38f};
    unsigned int seed = 12345;
    for (int i = 0; i < 20000; i++) {
        seed = seed * 1103515245u + 12345u;
        uint32_t bits = seed;
        float f;
        memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) values.push_back(f);
        values.push_back((float)((int)(seed % 200001) - 100000) / 128.0f);  // exact ties at the sixth decimal
    }
    for (size_t i = 0; i + 2 < values.size(); i++) {
        char expected[160];
        snprintf(expected, sizeof expected, "%f%f%f", (double)values[i], (double)values[i + 1], (double)values[i + 2]);
        ASSERT_EQ(position_key(values[i], values[i + 1], values[i + 2]), expected) << i;
    }
}
