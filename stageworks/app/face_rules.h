/**********************************************************************************************
*
*   face_rules - how the renderer draws each face of an object
*
*   The rules the display lists and the material runs share: the material a face is drawn
*   in (its own when it names one that exists, else the object's), whether it is culled (a
*   plate of an open flat kind and the inner wall of an open tube show from both sides), the
*   primitive its ring makes, and whether it misses a vertex.
*
*   DEPENDENCIES: records, objects (faces_to_draw, cull_face), materials
*
**********************************************************************************************/
#pragma once

#include <GL/gl.h>

struct primitiva;
struct cara;
struct material_record;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// What is the same for every face of an object
struct ObjectFaceRules {
    int count;      // faces drawn: the first faces_to_draw of the list
    bool openFlat;  // an open plate of a flat kind: no face is culled
    bool openTube;  // an open tube: the faces of group 0 (the wall) are not culled
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The rules of an object
ObjectFaceRules objectFaceRules(const primitiva *object);

// 1 when the face is drawn with back faces culled
int faceCulled(const ObjectFaceRules &rules, const cara *face);

// The material a face is drawn in: its own when it names one that exists, else the object's
material_record *faceMaterial(const cara *face, material_record *objectMaterial);

// Number of vertices of a face's outer ring; *present those that are not missing
int ringLength(const cara *face, int *present);

// The primitive that draws a face of this many vertices (GL_POLYGON beyond four)
GLenum primitiveOf(int vertices);
