/**********************************************************************************************
*
*   web_geometry - the vertices the editor sends to OpenGL, for the published page
*
*   Every scene object becomes a run of vertices in one shared buffer: each ring vertex of
*   every face the renderer draws (faces_to_draw) with the very position, normal and texture
*   coordinate the editor hands to glVertex, glNormal and glTexCoord (the averaged or the
*   face normal as the object's smoothing choice says; texture coordinates for every object,
*   since a material change in play can make it textured). Faces become index runs ("parts")
*   cut by material and culling, split into triangles the way Mesa splits them from a display
*   list: a quad into (0, 1, 3) and (1, 2, 3), a larger polygon into a fan around its first
*   vertex, keeping the editor's clockwise fronts. A wire-frame object gets the edges of its
*   rings as line pairs instead, and the plane of each vertex's face, so that the page can cull
*   the lines of back faces as OpenGL does with a polygon drawn in lines.
*
*   DEPENDENCIES: records, objects (faces_to_draw, cull_face), materials, texture_coords
*
**********************************************************************************************/
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct primitiva;

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Floats per vertex in the shared vertex buffer: position 3, normal 3, texture coordinate 2
constexpr int WEB_VERTEX_FLOATS = 8;
// Floats per vertex of the face planes of a wire-frame object: a, b, c, d of ax + by + cz + d
constexpr int WEB_PLANE_FLOATS = 4;

// A run of indices drawn with one material and one culling choice
struct WebPart {
    uint32_t first = 0;        // first index (counted in indices, from the object's start)
    uint32_t count = 0;        // number of indices
    bool lines = false;        // index pairs of a wire frame; triangles otherwise
    bool cull = true;          // back faces culled
    std::string faceMaterial;  // a material of the faces' own; empty: the object's material
};

// Where one object lies in the shared buffers
struct WebObjectGeometry {
    int slot = 0;
    uint32_t firstVertex = 0;   // in vertices, from the start of the vertex buffer
    uint32_t vertexCount = 0;
    uint32_t firstIndex = 0;    // in indices, from the start of the index buffer
    uint32_t firstPlane = 0;    // in planes (one per vertex), wire frames only
    bool wireFrame = false;
    std::vector<WebPart> parts;
    // (first index, face group) where the group changes: the selection names of the faces
    std::vector<std::pair<uint32_t, int>> groups;
};

// The whole scene's geometry
struct WebGeometry {
    std::vector<float> vertices;   // WEB_VERTEX_FLOATS per vertex
    std::vector<uint32_t> indices; // vertex numbers counted from each object's first vertex
    std::vector<float> planes;     // WEB_PLANE_FLOATS per vertex of the wire-frame objects
    std::vector<WebObjectGeometry> objects;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Appends the drawn geometry of the object in slot to geometry
void addObjectGeometry(WebGeometry &geometry, int slot, const primitiva *object);

// The geometry of every object of the loaded scene, in slot order
WebGeometry sceneGeometry();

// The three buffers as one little-endian file: vertices, then indices, then planes; the
// byte offsets of the second and third are given back
std::string geometryBytes(const WebGeometry &geometry, size_t *indexOffset, size_t *planeOffset);
