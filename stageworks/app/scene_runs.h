/**********************************************************************************************
*
*   scene_runs - runs of objects of one material, each drawn from one vertex buffer
*
*   Objects that follow each other among the users of a material are drawn together: the
*   faces of all of them, placed in the world by their poses, lie in one vertex buffer as
*   triangles (with the face's normal or the vertex's averaged one, and the texture
*   coordinate of the kind), cut into pieces where the face material or the culling changes;
*   each piece is one glDrawArrays after its material is sent. A software renderer then
*   shades the same triangles as from the objects' display lists, in the same order, but
*   without a matrix, a material and a dozen draws for every object, and without the
*   indexing display lists are compiled into (slower to draw than plain triangles there).
*
*   A run is kept from frame to frame while its objects are the same ones in the same order
*   and none of them moved or had its display lists rebuilt (any change of geometry, material
*   or appearance rebuilds them); otherwise it is built again, which costs about as much as
*   compiling the lists of its objects. Material values are taken when a run is built, as
*   display lists take them.
*
*   Quads are cut along the diagonal from their second to their fourth vertex and polygons
*   into fans from their first, as the GL cuts them in display lists.
*
*   DEPENDENCIES: face_rules, scene (objects, materials, texture coordinates, usage table),
*                 OpenGL 1.5 (vertex buffers)
*
**********************************************************************************************/
#pragma once

#include <vector>

struct scene_slot;
struct material_record;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// 1 when the GL can draw from vertex buffers (OpenGL 1.5 or later; asked once)
int sceneRunsAvailable();

// Starts a frame's runs: each usage entry's runs are met again in the order they are drawn
void beginSceneRuns();

// Draws the next run of the usage entry: the objects of slots, in order, drawn in the
// entry's material (its texture is bound with its matrix already). Builds its buffer when
// it is not the run drawn here last frame
void drawSceneRun(int entry, const std::vector<scene_slot *> &slots, material_record *material);

// Frees the runs not drawn since beginSceneRuns (their objects went elsewhere or away)
void endSceneRuns();

// The object with this nameBase got new display lists: the run holding it is built again
void noteObjectRebuilt(int nameBase);

// Frees every run (a new GL context, or tests)
void clearSceneRuns();

// Runs built since the start (tests and benchmarks)
long sceneRunBuilds();
