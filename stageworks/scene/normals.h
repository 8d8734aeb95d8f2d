/**********************************************************************************************
*
*   normals - building faces, face normals and averaged vertex normals
*
*   build_face turns a plain array of points into a face's edge ring, stores the face normal
*   and records every vertex in the generation's vertex table: the key is the position text
*   printed with "%f%f%f", the data the head of a chain of occurrences (vertex, face) in
*   creation order. average_normals then gives every vertex of a chain the normalised sum of
*   the face normals of the chain's first K occurrences (K = 3 for flat-sided kinds, 4 for
*   cylinders and spheres). The vertex table lives for one generation only.
*
*   DEPENDENCIES: hash_table, records
*
**********************************************************************************************/
#pragma once

#include "hash_table.h"
#include "records.h"

#include <cstdint>  // Required for: uint64_t
#include <string>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct point3 {
    float x, y, z;
};

// One vertex record entered in the vertex table
struct vertex_occurrence {
    vertice *vertex;
    cara *face;
    vertex_occurrence *next;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Normalises in place; a vector of length exactly 0 stays zero
void normalize(float vector[3]);

// Unit normal of three points: (p2 - p1) x (p1 - p0), normalised
void face_normal(const point3 &p0, const point3 &p1, const point3 &p2, float normal[3]);

// The position key of a point: "%f%f%f" of its coordinates, without terminator
std::string position_key(float x, float y, float z);

// The same key in 24 bytes, without making the text: two points have equal identities
// exactly when their position keys are equal
struct position_identity {
    uint64_t coordinate[3];
};
position_identity position_id(float x, float y, float z);

// Builds the face's ring from count points (count >= 3), stores its face normal and records
// every vertex in the table. Returns 1, or 0 when an allocation failed and the ring was
// left as far as it got. numVertices and the group are the caller's.
int build_face(cara *face, const point3 *points, int count, hash_table *vertexTable);

// The smoothing pass over a whole vertex table (facesPerVertex 3 or 4)
void average_normals(hash_table *vertexTable, int facesPerVertex);

// Frees every occurrence chain of the table, then the table
void destroy_vertex_table(hash_table *vertexTable);
