// Helpers of the scene model tests: walking faces and rings, centroids, spans.
#pragma once

#include "records.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace scene_test {

struct Vec {
    double x, y, z;
};

inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec normalOf(const cara *face) { return {face->normal[0], face->normal[1], face->normal[2]}; }
inline Vec positionOf(const vertice *v) { return {v->x, v->y, v->z}; }

inline std::vector<const cara *> facesOf(const primitiva &object)
{
    std::vector<const cara *> faces;
    for (const cara *face = object.faces; face != nullptr; face = face->next) faces.push_back(face);
    return faces;
}

inline std::vector<const vertice *> ringOf(const cara *face)
{
    std::vector<const vertice *> ring;
    for (const arista *edge = face->ring; edge != nullptr; edge = edge->next) ring.push_back(edge->vertex);
    return ring;
}

inline Vec centroidOf(const cara *face)
{
    Vec sum{0, 0, 0};
    std::vector<const vertice *> ring = ringOf(face);
    for (const vertice *v : ring) sum = {sum.x + v->x, sum.y + v->y, sum.z + v->z};
    double n = ring.empty() ? 1.0 : (double)ring.size();
    return {sum.x / n, sum.y / n, sum.z / n};
}

// Average of every ring vertex of the object
inline Vec centreOf(const primitiva &object)
{
    Vec sum{0, 0, 0};
    int n = 0;
    for (const cara *face : facesOf(object))
        for (const vertice *v : ringOf(face)) {
            sum = {sum.x + v->x, sum.y + v->y, sum.z + v->z};
            n++;
        }
    if (n == 0) return sum;
    return {sum.x / n, sum.y / n, sum.z / n};
}

inline bool isZeroNormal(const cara *face)
{
    return face->normal[0] == 0.0f && face->normal[1] == 0.0f && face->normal[2] == 0.0f;
}

struct Span {
    float minX, maxX, minY, maxY, minZ, maxZ;
};

inline Span spanOf(const primitiva &object)
{
    Span s{1e30f, -1e30f, 1e30f, -1e30f, 1e30f, -1e30f};
    for (const cara *face : facesOf(object))
        for (const vertice *v : ringOf(face)) {
            s.minX = std::min(s.minX, v->x); s.maxX = std::max(s.maxX, v->x);
            s.minY = std::min(s.minY, v->y); s.maxY = std::max(s.maxY, v->y);
            s.minZ = std::min(s.minZ, v->z); s.maxZ = std::max(s.maxZ, v->z);
        }
    return s;
}

// Number of faces of each group, indexed by group
inline std::vector<int> groupCounts(const primitiva &object)
{
    std::vector<int> counts;
    for (const cara *face : facesOf(object)) {
        if (face->group >= (int)counts.size()) counts.resize((size_t)face->group + 1, 0);
        counts[(size_t)face->group]++;
    }
    return counts;
}

}  // namespace scene_test
