/**********************************************************************************************
*
*   scene_draw - drawing the scene objects material by material from their display lists
*
*   The scene is walked through the material usage table, so objects that share a material are
*   drawn one after another, and a material's texture is bound once for them. Each object's
*   faces and material settings are compiled once into two display lists: one that draws it
*   with as few glBegin/glEnd as possible, and one with the selection names of its face groups
*   that selection passes call. An object marked dirty gets new lists in the next frame and
*   is drawn from them in that same frame. Objects drawn plainly (filled, neither locked nor
*   scaled by a drag) are drawn together with the objects of the same material next to them
*   in the usage entry, from one vertex buffer (scene_runs); the others from their lists. Faces are named for OpenGL selection: face group g of an
*   object is nameBase + 10000 x (g + 1). Blending is on only for materials that are not
*   opaque. After the first 50 objects and then every 200 the GL is flushed, so that a
*   software renderer draws those while the next are sent. Also here: the locked object's wire outline,
*   the scaling preview list shown while an object is scaled by dragging, and the counter of
*   faces drawn face by face.
*
*   DEPENDENCIES: base (state), scene (objects, materials, usage table, textures, texture
*                 coordinates, operations), face_rules, scene_runs, OpenGL
*
**********************************************************************************************/
#pragma once

struct primitiva;
struct material_record;

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr int FACE_GROUP_NAME_STEP = 10000;
constexpr float LOCKED_OUTLINE_SCALE = 1.1f;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Draws every scene object (rebuilding the lists of dirty objects first).
// A background given (the sky) is drawn once, depth tested, after the opaque materials that
// come before the first see-through one (after all of them when there is none): where those
// objects are nearer it is hidden as if it had been drawn first, but its pixels there are
// never shaded, and see-through materials still blend over it.
void drawScene(void (*background)() = nullptr);

// Draws one object's faces with selection names, in the drawing material
void drawObjectFaces(primitiva *object, int nameBase);

// The same without names, in the given material with its texture animation (preview list)
void drawObjectFacesUnnamed(primitiva *object, material_record *material);

// The material of the usage entry being drawn (faces without a material of their own use it)
material_record *getDrawingMaterial();
void setDrawingMaterial(material_record *material);

// Puts the object in slot index back to its unscaled shape and compiles it into the scaling
// preview list, which drawScene shows scaled by the object's factors while it is dragged
void rebuildScalingPreview(int index);

// The scaling preview list, 0 before the first one
unsigned int getScalingPreviewList();

// Whether plain objects are drawn in runs of their material (scene_runs) when the GL can;
// on by default (0: every object from its own list, as tests compare)
void setSceneRunsWanted(int wanted);

// Faces drawn face by face in this frame (the HUD shows it)
int getPolygonCount();
