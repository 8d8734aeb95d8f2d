/**********************************************************************************************
*
*   export_mesh - the triangles of one scene object, as the editor draws them
*
*   Walks the faces the renderer draws (faces_to_draw) and gives every ring vertex its own
*   entry, as every face owns its vertex records: the same coordinates (scale factors already
*   in them), the averaged or the face normal as the object's smoothing choice says, and the
*   renderer's texture coordinate. Faces are split into parts by the material they are drawn
*   in and by whether the renderer draws them without culling (a plate of an open flat kind,
*   the inner wall of an open tube). Each ring becomes a fan of triangles wound
*   counter-clockwise seen from its front (the editor's fronts are clockwise), or, for a
*   wire-frame object, the line segments of its edges.
*
*   DEPENDENCIES: records, objects (faces_to_draw, is_solid, cull_face), materials,
*                 texture_coords
*
**********************************************************************************************/
#pragma once

#include <cstdint>
#include <vector>

struct primitiva;
struct material_record;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// Faces of one material and one culling choice
struct MeshPart {
    const material_record *material = nullptr;   // null: the object has no known material
    bool doubleSided = false;                     // drawn without back-face culling
    bool lines = false;                           // wire frame: index pairs, not triangles
    std::vector<uint32_t> indices;
};

struct ObjectMesh {
    std::vector<float> positions;   // x, y, z per vertex
    std::vector<float> normals;     // x, y, z per vertex
    std::vector<float> texcoords;   // u, v per vertex (v = 1 - t: image rows from the top)
    std::vector<MeshPart> parts;
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    int vertexCount = 0;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The drawn geometry of an object whose first material is objectMaterial (null: untextured,
// default look)
ObjectMesh buildObjectMesh(const primitiva *object, const material_record *objectMaterial);
