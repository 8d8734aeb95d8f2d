/**********************************************************************************************
*
*   face_rules - how the renderer draws each face of an object
*
**********************************************************************************************/
#include "face_rules.h"

#include "materials.h"
#include "objects.h"

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Kinds whose open form is the front face alone
static bool isFlatKind(int kind)
{
    return kind == KIND_RECTANGLE || kind == KIND_TRIANGLE || kind == KIND_PARALLELEPIPED || kind == KIND_CIRCLE ||
           kind == KIND_HALF_CIRCLE;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
ObjectFaceRules objectFaceRules(const primitiva *object)
{
    ObjectFaceRules rules = {};
    rules.count = faces_to_draw(object);
    int kind = object->objeto3D;
    rules.openFlat = isFlatKind(kind) && rules.count == 1;
    rules.openTube = (kind == KIND_CYLINDER || kind == KIND_HALF_CYLINDER) && cull_face(object) == 0;
    return rules;
}

int faceCulled(const ObjectFaceRules &rules, const cara *face)
{
    return (rules.openFlat || (rules.openTube && face->group == 0)) ? 0 : 1;
}

material_record *faceMaterial(const cara *face, material_record *objectMaterial)
{
    if (face->materials == nullptr || face->materials->value == nullptr) return objectMaterial;
    material_record *own = find_material((const char *)face->materials->value);
    // NOTE: a face naming a material that is not in the table keeps the object's material
    return own != nullptr ? own : objectMaterial;
}

int ringLength(const cara *face, int *present)
{
    int count = 0;
    *present = 0;
    for (const arista *edge = face->ring; edge != nullptr; edge = edge->next) {
        count++;
        if (edge->vertex != nullptr) (*present)++;
    }
    return count;
}

GLenum primitiveOf(int vertices) { return vertices == 3 ? GL_TRIANGLES : vertices == 4 ? GL_QUADS : GL_POLYGON; }
