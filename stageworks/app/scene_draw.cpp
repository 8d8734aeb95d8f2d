/**********************************************************************************************
*
*   scene_draw - drawing the scene objects material by material from their display lists
*
**********************************************************************************************/
#include "scene_draw.h"

#include "app_state.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "texture_coords.h"
#include "textures.h"

#include <GL/gl.h>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static int polygonCount = 0;
static material_record *drawingMaterial = nullptr;
static unsigned int scalingPreviewList = 0;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Number of vertices of a face's outer ring
static int ringLength(const cara *face)
{
    int count = 0;
    for (const arista *edge = face->ring; edge != nullptr; edge = edge->next) count++;
    return count;
}

// Kinds whose open form is the front face alone
static bool isFlatKind(int kind)
{
    return kind == KIND_RECTANGLE || kind == KIND_TRIANGLE || kind == KIND_PARALLELEPIPED || kind == KIND_CIRCLE ||
           kind == KIND_HALF_CIRCLE;
}

// The material a face is drawn in: its own when it names one that exists, else the object's
static material_record *faceMaterial(const cara *face, material_record *objectMaterial)
{
    if (face->materials == nullptr || face->materials->value == nullptr) return objectMaterial;
    material_record *own = find_material((const char *)face->materials->value);
    // NOTE: a face naming a material that is not in the table keeps the object's material
    return own != nullptr ? own : objectMaterial;
}

// The faces of an object, named or not, with the given object material
static void drawFaces(primitiva *object, material_record *objectMaterial, int nameBase, bool named)
{
    glPushMatrix();
    glDisable(GL_TEXTURE_2D);
    bool texturing = material_is_textured(objectMaterial) != 0;
    if (texturing) glEnable(GL_TEXTURE_2D);
    if (named) {
        glPopName();
        glPushName((GLuint)(nameBase + FACE_GROUP_NAME_STEP));
    }

    int count = faces_to_draw(object);
    int kind = object->objeto3D;
    bool openFlat = isFlatKind(kind) && count == 1;
    bool openTube = (kind == KIND_CYLINDER || kind == KIND_HALF_CYLINDER) && cull_face(object) == 0;
    glShadeModel(GL_SMOOTH);

    const material_record *applied = nullptr;
    int previousGroup = 0;
    int culling = -1;
    int ordinal = 0;
    for (cara *face = object->faces; face != nullptr && ordinal < count; face = face->next, ordinal++) {
        if (named && (ordinal == 0 || face->group != previousGroup))
            glLoadName((GLuint)(nameBase + FACE_GROUP_NAME_STEP * (face->group + 1)));
        previousGroup = face->group;

        material_record *material = faceMaterial(face, objectMaterial);
        if (ordinal == 0 || material != applied) {
            bool textured = material_is_textured(material) != 0;
            if (textured != texturing) {
                if (textured) glEnable(GL_TEXTURE_2D);
                else glDisable(GL_TEXTURE_2D);
                texturing = textured;
            }
            apply_material(material);
            applied = material;
        }

        int cull = (openFlat || (openTube && face->group == 0)) ? 0 : 1;
        if (cull != culling) {
            if (cull) glEnable(GL_CULL_FACE);
            else glDisable(GL_CULL_FACE);
            culling = cull;
        }

        int vertices = ringLength(face);
        glBegin(vertices == 3 ? GL_TRIANGLES : vertices == 4 ? GL_QUADS : GL_POLYGON);
        int index = 0;
        for (const arista *edge = face->ring; edge != nullptr; edge = edge->next, index++) {
            const vertice *v = edge->vertex;
            if (v == nullptr) continue;
            if (texturing) {
                tex_coord t = texture_coordinate_of(object, face, ordinal, index, v, material ? material->wrapCount : 1);
                glTexCoord2f(t.s, t.t);
            }
            if (object->promediado == 1) glNormal3f(v->nx, v->ny, v->nz);
            else glNormal3f(face->normal[0], face->normal[1], face->normal[2]);
            glVertex3f(v->x, v->y, v->z);
        }
        glEnd();
        polygonCount++;
    }
    glPopMatrix();
    glEnable(GL_CULL_FACE);
}

// Texture matrix of a texture block: scale, then rotation about the texture's centre
static void loadTextureMatrix(const texture_block &block)
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(block.TEXscaleX, block.TEXscaleY, 1.0f);
    glTranslatef(0.5f, 0.5f, 0.0f);
    glRotatef(block.rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(block.rotationY, 0.0f, 1.0f, 0.0f);
    glRotatef(block.rotationZ, 0.0f, 0.0f, 1.0f);
    glTranslatef(-0.5f, -0.5f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
}

// Compiles the object's faces into a new display list; the object is not drawn
static void rebuildDisplayList(scene_slot *slot, material_record *material)
{
    glMatrixMode(GL_MODELVIEW);
    setDrawingMaterial(material);
    // NOTE: compiling draws nothing, so the render mode is left alone: switching it here would
    // end a selection pass that is running in this frame
    unsigned int *cell = slot->displayList;
    if (cell == nullptr) return;
    if (*cell != 0) glDeleteLists(*cell, 1);
    *cell = glGenLists(1);
    if (*cell == 0) return;
    glNewList(*cell, GL_COMPILE);
    glEnable(GL_BLEND);
    glPushMatrix();
    drawObjectFaces(&slot->object, slot->object.nameBase);
    glPopMatrix();
    glEndList();
    slot->object.dirty = 0;
}

// True while the object is the one being scaled by a drag
static bool isScaleDragged(const primitiva *object)
{
    int operation = getCurrentOperation();
    return getObjectHeld() == 1 && (operation == ScaleUniform || operation == ScaleAxis) &&
           getSelectedObject() == object;
}

// The object from its list, or face by face when lists are off (or it has none yet)
static void drawObjectBody(scene_slot *slot)
{
    if (getUseDisplayLists() == 1 && slot->displayList != nullptr && *slot->displayList != 0)
        glCallList(*slot->displayList);
    else
        drawObjectFaces(&slot->object, slot->object.nameBase);
}

// One user of a usage entry: rebuilds its list, or places and draws it
static void drawSlot(scene_slot *slot, material_record *material)
{
    primitiva *object = &slot->object;
    if (object->dirty == 1) {
        rebuildDisplayList(slot, material);
        return;
    }
    setDrawingMaterial(material);
    if (material_is_textured(material)) {
        bind_material_texture(material);
        texture_block &block = *material->texture;
        if (getPlayMode() == 0) block.rotationX = block.rotationY = block.rotationZ = 0.0f;
        loadTextureMatrix(block);
    }

    glPushMatrix();
    glTranslatef(object->pose.x, object->pose.y, object->pose.z);
    glRotatef(object->pose.yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(object->pose.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(object->pose.roll, 0.0f, 0.0f, 1.0f);

    if (isScaleDragged(object)) {
        // the held object's vertices are at unit scale: the factors are applied here
        glPolygonMode(GL_FRONT_AND_BACK, object->wireFrame == 1 ? GL_LINE : GL_FILL);
        glScalef(object->scaleX, object->scaleY, object->scaleZ);
        glEnable(GL_NORMALIZE);
        if (getUseDisplayLists() == 1 && scalingPreviewList != 0) glCallList(scalingPreviewList);
        else drawObjectFaces(object, object->nameBase);
        glDisable(GL_NORMALIZE);
    } else {
        if (object->nameBase == (getLockedObject() + 1) * NAME_BASE_STEP && slot->displayList != nullptr) {
            glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
            glPushMatrix();
            glScalef(LOCKED_OUTLINE_SCALE, LOCKED_OUTLINE_SCALE, LOCKED_OUTLINE_SCALE);
            glCallList(*slot->displayList);
            glPopMatrix();
        }
        glPolygonMode(GL_FRONT_AND_BACK, object->wireFrame == 1 ? GL_LINE : GL_FILL);
        drawObjectBody(slot);
    }
    glPopMatrix();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void drawScene()
{
    polygonCount = 0;
    if (object_count() == 0) return;
    for (int e = 0; e < USAGE_ENTRIES; e++) {
        const usage_entry *entry = usage_entry_at(e);
        if (entry->userCount < 1) continue;
        for (scene_slot *slot : entry->users) {
            if (slot_index(slot) < 0) continue;
            drawSlot(slot, entry->material);
        }
    }
    // NOTE: a wire-frame object last in the table must not leave the HUD drawn in lines
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void drawObjectFaces(primitiva *object, int nameBase)
{
    if (object == nullptr) return;
    drawFaces(object, drawingMaterial, nameBase, true);
}

void drawObjectFacesUnnamed(primitiva *object, material_record *material)
{
    if (object == nullptr) return;
    if (material_is_textured(material)) bind_material_texture(material);
    drawFaces(object, material, 0, false);
}

material_record *getDrawingMaterial() { return drawingMaterial; }
void setDrawingMaterial(material_record *material) { drawingMaterial = material; }

void rebuildScalingPreview(int index)
{
    primitiva *object = object_at(index);
    if (object == nullptr) return;
    glMatrixMode(GL_MODELVIEW);
    if (scalingPreviewList != 0) glDeleteLists(scalingPreviewList, 1);
    scalingPreviewList = glGenLists(1);
    if (scalingPreviewList == 0) return;
    glNewList(scalingPreviewList, GL_COMPILE);
    glEnable(GL_BLEND);
    reset_to_reference(object);
    drawObjectFacesUnnamed(object, find_material(first_material_name(object)));
    glEndList();
}

unsigned int getScalingPreviewList() { return scalingPreviewList; }

int getPolygonCount() { return polygonCount; }
