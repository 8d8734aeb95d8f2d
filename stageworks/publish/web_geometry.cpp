/**********************************************************************************************
*
*   web_geometry - the vertices the editor sends to OpenGL, for the published page
*
**********************************************************************************************/
#include "web_geometry.h"

#include "materials.h"
#include "objects.h"
#include "records.h"
#include "texture_coords.h"

#include <cstring>   // Required for: memcpy()

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Kinds whose open form is the front face alone
static bool isFlatKind(int kind)
{
    return kind == KIND_RECTANGLE || kind == KIND_TRIANGLE || kind == KIND_PARALLELEPIPED || kind == KIND_CIRCLE ||
           kind == KIND_HALF_CIRCLE;
}

// The name of a material the face has of its own and that exists; empty otherwise
static std::string faceMaterialName(const cara *face)
{
    if (face->materials == nullptr || face->materials->value == nullptr) return std::string();
    const char *name = (const char *)face->materials->value;
    return find_material(name) != nullptr ? std::string(name) : std::string();
}

// The part the next face goes to: the last one when it draws alike, else a new one
static WebPart &partFor(WebObjectGeometry &object, uint32_t firstIndex, bool lines, bool cull,
                        const std::string &material)
{
    if (!object.parts.empty()) {
        WebPart &last = object.parts.back();
        if (last.lines == lines && last.cull == cull && last.faceMaterial == material) return last;
    }
    WebPart part;
    part.first = firstIndex;
    part.lines = lines;
    part.cull = cull;
    part.faceMaterial = material;
    object.parts.push_back(part);
    return object.parts.back();
}

// Appends the indices of one ring of count vertices starting at vertex first
static void addRingIndices(std::vector<uint32_t> &indices, uint32_t first, uint32_t count, bool lines)
{
    if (lines) {
        for (uint32_t i = 0; i < count; i++) {
            indices.push_back(first + i);
            indices.push_back(first + (i + 1) % count);
        }
        return;
    }
    if (count == 4) {
        // NOTE: Mesa splits a compiled quad so that its last vertex ends both triangles
        const uint32_t order[6] = {0, 1, 3, 1, 2, 3};
        for (uint32_t k : order) indices.push_back(first + k);
        return;
    }
    for (uint32_t i = 1; i + 1 < count; i++) {
        indices.push_back(first);
        indices.push_back(first + i);
        indices.push_back(first + i + 1);
    }
}

// Appends little-endian bytes of a run of 32-bit values
template <typename T>
static void appendWords(std::string &bytes, const std::vector<T> &values)
{
    static_assert(sizeof(T) == 4, "32-bit values");
    const size_t at = bytes.size();
    bytes.resize(at + values.size() * 4);
    // NOTE: the machines the publisher runs on are little-endian, as every browser's typed arrays
    if (!values.empty()) memcpy(&bytes[at], values.data(), values.size() * 4);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void addObjectGeometry(WebGeometry &geometry, int slot, const primitiva *object)
{
    WebObjectGeometry out;
    out.slot = slot;
    out.firstVertex = (uint32_t)(geometry.vertices.size() / WEB_VERTEX_FLOATS);
    out.firstIndex = (uint32_t)geometry.indices.size();
    out.firstPlane = (uint32_t)(geometry.planes.size() / WEB_PLANE_FLOATS);
    out.wireFrame = object != nullptr && object->wireFrame == 1;
    if (object == nullptr) {
        geometry.objects.push_back(out);
        return;
    }

    const int count = faces_to_draw(object);
    const int kind = object->objeto3D;
    const bool openFlat = isFlatKind(kind) && count == 1;
    const bool openTube = (kind == KIND_CYLINDER || kind == KIND_HALF_CYLINDER) && cull_face(object) == 0;
    const material_record *objectMaterial = find_material(first_material_name(object));
    int ordinal = 0;
    for (const cara *face = object->faces; face != nullptr && ordinal < count; face = face->next, ordinal++) {
        const std::string ownMaterial = faceMaterialName(face);
        const material_record *material = ownMaterial.empty() ? objectMaterial : find_material(ownMaterial.c_str());
        const int wrap = material != nullptr ? material->wrapCount : 1;
        const bool cull = !(openFlat || (openTube && face->group == 0));

        const uint32_t first = (uint32_t)(geometry.vertices.size() / WEB_VERTEX_FLOATS);
        int index = 0;
        for (const arista *edge = face->ring; edge != nullptr; edge = edge->next, index++) {
            const vertice *v = edge->vertex;
            if (v == nullptr) continue;
            const tex_coord t = texture_coordinate_of(object, face, ordinal, index, v, wrap);
            const bool smooth = object->promediado == 1;
            const float values[WEB_VERTEX_FLOATS] = {v->x, v->y, v->z,
                                                     smooth ? v->nx : face->normal[0],
                                                     smooth ? v->ny : face->normal[1],
                                                     smooth ? v->nz : face->normal[2],
                                                     t.s, t.t};
            geometry.vertices.insert(geometry.vertices.end(), values, values + WEB_VERTEX_FLOATS);
            if (out.wireFrame) {
                // the plane through the face's first vertex, facing as its normal
                const cara &f = *face;
                const vertice *p = face->ring->vertex != nullptr ? face->ring->vertex : v;
                const float d = -(f.normal[0] * p->x + f.normal[1] * p->y + f.normal[2] * p->z);
                const float plane[WEB_PLANE_FLOATS] = {f.normal[0], f.normal[1], f.normal[2], d};
                geometry.planes.insert(geometry.planes.end(), plane, plane + WEB_PLANE_FLOATS);
            }
        }
        const uint32_t ring = (uint32_t)(geometry.vertices.size() / WEB_VERTEX_FLOATS) - first;
        if (ring < (out.wireFrame ? 2u : 3u)) continue;
        WebPart &part = partFor(out, (uint32_t)geometry.indices.size() - out.firstIndex, out.wireFrame, cull, ownMaterial);
        const size_t before = geometry.indices.size();
        const uint32_t relative = (uint32_t)before - out.firstIndex;
        if (out.groups.empty() || out.groups.back().second != face->group) out.groups.push_back({relative, face->group});
        addRingIndices(geometry.indices, first - out.firstVertex, ring, out.wireFrame);
        part.count += (uint32_t)(geometry.indices.size() - before);
    }
    out.vertexCount = (uint32_t)(geometry.vertices.size() / WEB_VERTEX_FLOATS) - out.firstVertex;
    geometry.objects.push_back(out);
}

WebGeometry sceneGeometry()
{
    WebGeometry geometry;
    for (int i = 0; i < object_count(); i++) addObjectGeometry(geometry, i, object_at(i));
    return geometry;
}

std::string geometryBytes(const WebGeometry &geometry, size_t *indexOffset, size_t *planeOffset)
{
    std::string bytes;
    appendWords(bytes, geometry.vertices);
    if (indexOffset != nullptr) *indexOffset = bytes.size();
    appendWords(bytes, geometry.indices);
    if (planeOffset != nullptr) *planeOffset = bytes.size();
    appendWords(bytes, geometry.planes);
    return bytes;
}
