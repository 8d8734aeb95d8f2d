// Helpers of the scene model tests: an owned object, walking faces and rings, centroids, spans.
#pragma once

#include "hash_table.h"
#include "records.h"

#include <algorithm>
#include <string>
#include <vector>

namespace scene_test {

// Owns a generated object for the length of a test
struct Owned {
    primitiva p;
    explicit Owned(primitiva value) : p(value) {}
    ~Owned() { free_primitiva(&p); }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
};

struct Vec {
    double x, y, z;
};

inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

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

// Average of the ring vertices of the faces given
inline Vec centroidOf(const std::vector<const cara *> &faces)
{
    Vec sum{0, 0, 0};
    int n = 0;
    for (const cara *face : faces)
        for (const vertice *v : ringOf(face)) {
            sum = {sum.x + v->x, sum.y + v->y, sum.z + v->z};
            n++;
        }
    return n == 0 ? sum : Vec{sum.x / n, sum.y / n, sum.z / n};
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

inline bool operator==(const Span &a, const Span &b)
{
    return a.minX == b.minX && a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY && a.minZ == b.minZ &&
           a.maxZ == b.maxZ;
}

}  // namespace scene_test
