/**********************************************************************************************
*
*   export_mesh - the triangles of one scene object, as the editor draws them
*
**********************************************************************************************/
#include "export_mesh.h"

#include "materials.h"
#include "objects.h"
#include "records.h"
#include "texture_coords.h"

#include <algorithm>          // Required for: std::min(), std::max()
#include <cmath>              // Required for: sqrtf()
#include <initializer_list>   // Required for: the normals tried in turn

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Kinds whose open form is the front face alone
static bool isFlatKind(int kind)
{
    return kind == KIND_RECTANGLE || kind == KIND_TRIANGLE || kind == KIND_PARALLELEPIPED || kind == KIND_CIRCLE ||
           kind == KIND_HALF_CIRCLE;
}

// The material a face is drawn in: its own when it names one that exists, else the object's
static const material_record *faceMaterial(const cara *face, const material_record *objectMaterial)
{
    if (face->materials == nullptr || face->materials->value == nullptr) return objectMaterial;
    const material_record *own = find_material((const char *)face->materials->value);
    return own != nullptr ? own : objectMaterial;
}

// The part for a material and culling choice, made on first use
static MeshPart &partFor(ObjectMesh &mesh, const material_record *material, bool doubleSided, bool lines)
{
    for (MeshPart &part : mesh.parts)
        if (part.material == material && part.doubleSided == doubleSided) return part;
    MeshPart part;
    part.material = material;
    part.doubleSided = doubleSided;
    part.lines = lines;
    mesh.parts.push_back(part);
    return mesh.parts.back();
}

// The normal as a unit vector; a zero one (a degenerate face) takes the face normal, or +Z
static void unitNormal(const float *normal, const float *faceNormal, float out[3])
{
    for (const float *n : {normal, faceNormal}) {
        const float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length < 1e-6f) continue;
        for (int axis = 0; axis < 3; axis++) out[axis] = n[axis] / length;
        return;
    }
    out[0] = out[1] = 0.0f;
    out[2] = 1.0f;
}

// Appends one vertex and widens the bounds
static void addVertex(ObjectMesh &mesh, const vertice &v, const float normal[3], tex_coord t)
{
    const float p[3] = {v.x, v.y, v.z};
    for (int axis = 0; axis < 3; axis++) {
        mesh.positions.push_back(p[axis]);
        mesh.normals.push_back(normal[axis]);
        if (mesh.vertexCount == 0) {
            mesh.min[axis] = mesh.max[axis] = p[axis];
        } else {
            mesh.min[axis] = std::min(mesh.min[axis], p[axis]);
            mesh.max[axis] = std::max(mesh.max[axis], p[axis]);
        }
    }
    mesh.texcoords.push_back(t.s);
    mesh.texcoords.push_back(1.0f - t.t);
    mesh.vertexCount++;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
ObjectMesh buildObjectMesh(const primitiva *object, const material_record *objectMaterial)
{
    ObjectMesh mesh;
    if (object == nullptr) return mesh;

    const int count = faces_to_draw(object);
    const int kind = object->objeto3D;
    const bool openFlat = isFlatKind(kind) && count == 1;
    const bool openTube = (kind == KIND_CYLINDER || kind == KIND_HALF_CYLINDER) && cull_face(object) == 0;
    const bool lines = object->wireFrame == 1;

    int ordinal = 0;
    for (const cara *face = object->faces; face != nullptr && ordinal < count; face = face->next, ordinal++) {
        const material_record *material = faceMaterial(face, objectMaterial);
        const bool doubleSided = openFlat || (openTube && face->group == 0);
        const int wrap = material != nullptr ? material->wrapCount : 1;

        const uint32_t first = (uint32_t)mesh.vertexCount;
        int index = 0;
        for (const arista *edge = face->ring; edge != nullptr; edge = edge->next, index++) {
            const vertice *v = edge->vertex;
            if (v == nullptr) continue;
            const float vertexNormal[3] = {v->nx, v->ny, v->nz};
            float normal[3];
            unitNormal(object->promediado == 1 ? vertexNormal : face->normal, face->normal, normal);
            addVertex(mesh, *v, normal, texture_coordinate_of(object, face, ordinal, index, v, wrap));
        }
        const uint32_t ring = (uint32_t)mesh.vertexCount - first;
        if (ring < (lines ? 2u : 3u)) continue;

        MeshPart &part = partFor(mesh, material, doubleSided, lines);
        if (lines) {
            for (uint32_t i = 0; i < ring; i++) {
                part.indices.push_back(first + i);
                part.indices.push_back(first + (i + 1) % ring);
            }
            continue;
        }
        // NOTE: the editor's fronts are clockwise (glFrontFace(GL_CW)); glTF's are counter-clockwise
        for (uint32_t i = 1; i + 1 < ring; i++) {
            part.indices.push_back(first);
            part.indices.push_back(first + i + 1);
            part.indices.push_back(first + i);
        }
    }
    return mesh;
}
