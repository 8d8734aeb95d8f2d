/**********************************************************************************************
*
*   scene_draw - drawing the scene objects material by material from their display lists
*
**********************************************************************************************/
#include "scene_draw.h"

#include "app_state.h"
#include "face_rules.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "scene_runs.h"
#include "texture_coords.h"
#include "textures.h"

#include <GL/gl.h>

#include <vector>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
// Objects sent between two flushes: a software renderer draws those while the next are sent
// (fewer flushes keep it idle longer, more cost it a new batch of work each). The first batch
// is smaller, so that the renderer has work soon after the frame starts.
static const int FLUSH_EVERY_OBJECTS = 200;
static const int FIRST_FLUSH_OBJECTS = 50;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static int polygonCount = 0;
static material_record *drawingMaterial = nullptr;
static unsigned int scalingPreviewList = 0;
static material_record *preparedMaterial = nullptr;  // whose texture is bound in this pass
static bool listsCalled = false;                      // a display list was called in this pass
static bool selectionPass = false;                    // this pass draws into a selection
static bool runsWanted = true;                        // plain objects are drawn in material runs
static int objectsSent = 0;                           // objects handed to the GL in this pass

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Switches blending to what the material needs: on only when it is not opaque (with alpha 1
// blending gives the source colour, so an opaque material looks the same without it)
static void blendFor(const material_record *material)
{
    if (material_is_opaque(material)) glDisable(GL_BLEND);
    else glEnable(GL_BLEND);
}

// The faces of an object, named or not, with the given object material. Faces that follow
// each other with the same material, culling, name and primitive share one glBegin/glEnd.
static void drawFaces(primitiva *object, material_record *objectMaterial, int nameBase, bool named)
{
    // NOTE: nothing here moves the matrix; the push and pop are kept only where names are
    if (named) glPushMatrix();
    // NOTE: set once to what the material needs (switching it off and on again would make
    // the GL choose its fragment program twice for every object)
    bool texturing = material_is_textured(objectMaterial) != 0;
    if (texturing) glEnable(GL_TEXTURE_2D);
    else glDisable(GL_TEXTURE_2D);
    if (named) {
        glPopName();
        glPushName((GLuint)(nameBase + FACE_GROUP_NAME_STEP));
    }

    const ObjectFaceRules rules = objectFaceRules(object);
    const int count = rules.count;
    glShadeModel(GL_SMOOTH);

    const material_record *applied = nullptr;
    int previousGroup = 0;
    int culling = -1;
    int ordinal = 0;
    GLenum open = GL_POLYGON;  // the primitive begun and not ended yet (GL_POLYGON: none)
    bool begun = false;
    for (cara *face = object->faces; face != nullptr && ordinal < count; face = face->next, ordinal++) {
        bool rename = named && (ordinal == 0 || face->group != previousGroup);
        previousGroup = face->group;
        material_record *material = faceMaterial(face, objectMaterial);
        bool rematerial = ordinal == 0 || material != applied;
        int cull = faceCulled(rules, face);
        int present = 0;
        int vertices = ringLength(face, &present);
        GLenum primitive = primitiveOf(vertices);
        // a polygon, or a face with a vertex missing, keeps a glBegin/glEnd of its own
        bool alone = primitive == GL_POLYGON || present != vertices;

        // NOTE: names, materials and culling cannot change inside glBegin/glEnd
        if (begun && (rename || rematerial || cull != culling || primitive != open || alone)) {
            glEnd();
            begun = false;
        }
        if (rename) glLoadName((GLuint)(nameBase + FACE_GROUP_NAME_STEP * (face->group + 1)));
        if (rematerial) {
            bool textured = material_is_textured(material) != 0;
            if (textured != texturing) {
                if (textured) glEnable(GL_TEXTURE_2D);
                else glDisable(GL_TEXTURE_2D);
                texturing = textured;
            }
            apply_material(material);
            blendFor(material);
            applied = material;
        }
        if (cull != culling) {
            if (cull) glEnable(GL_CULL_FACE);
            else glDisable(GL_CULL_FACE);
            culling = cull;
        }

        if (!begun) {
            glBegin(primitive);
            open = primitive;
            begun = true;
        }
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
        polygonCount++;
        if (alone) {
            glEnd();
            begun = false;
        }
    }
    if (begun) glEnd();
    if (named) glPopMatrix();
    if (culling != 1) glEnable(GL_CULL_FACE);
}

// Compiles the object into a new pair of display lists; the object is not drawn. The first
// list draws it in as few primitives as its materials and culling allow; the second carries
// the selection names of its face groups, for selection passes.
static void rebuildDisplayList(scene_slot *slot, material_record *material)
{
    glMatrixMode(GL_MODELVIEW);
    setDrawingMaterial(material);
    // NOTE: compiling draws nothing, so the render mode is left alone: switching it here would
    // end a selection pass that is running in this frame
    unsigned int *cell = slot->displayList;
    if (cell == nullptr) return;
    if (*cell != 0) glDeleteLists(*cell, OBJECT_DISPLAY_LISTS);
    *cell = glGenLists(OBJECT_DISPLAY_LISTS);
    if (*cell == 0) return;
    glNewList(*cell, GL_COMPILE);
    int before = polygonCount;
    drawFaces(&slot->object, drawingMaterial, slot->object.nameBase, false);
    glEndList();
    // the faces are counted once, not once per list; without lists the object is about to be
    // drawn face by face, and counted then
    int counted = getUseDisplayLists() == 1 ? polygonCount : before;
    glNewList(*cell + 1, GL_COMPILE);
    glPushMatrix();
    drawObjectFaces(&slot->object, slot->object.nameBase);
    glPopMatrix();
    glEndList();
    polygonCount = counted;
    slot->object.dirty = 0;
    noteObjectRebuilt(slot->object.nameBase);
}

// The object's list for this pass: the named one while a selection pass runs; 0 for none
static unsigned int objectList(const scene_slot *slot)
{
    if (slot->displayList == nullptr || *slot->displayList == 0) return 0;
    return selectionPass ? *slot->displayList + 1 : *slot->displayList;
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
    unsigned int list = objectList(slot);
    if (getUseDisplayLists() == 1 && list != 0) {
        glCallList(list);
        listsCalled = true;
    } else {
        drawObjectFaces(&slot->object, slot->object.nameBase);
    }
}

// The material's texture bound with its matrix, once for the objects of a usage entry that
// follow each other (nothing between them changes the binding or the texture matrix)
static void prepareTexture(material_record *material)
{
    if (material == preparedMaterial) return;
    preparedMaterial = material;
    if (!material_is_textured(material)) return;
    bind_material_texture(material);
    texture_block &block = *material->texture;
    if (getPlayMode() == 0) block.rotationX = block.rotationY = block.rotationZ = 0.0f;
    apply_texture_matrix(block);
}

// The background, once, where the objects drawn so far hide it as if it had been drawn first.
// It finds what it had at the start of a frame: filled polygons, no blending
static void drawBackground(void (*&background)())
{
    if (background == nullptr) return;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_BLEND);
    background();
    background = nullptr;
    // NOTE: the background may leave another texture bound and the texture matrix reset
    preparedMaterial = nullptr;
}

// Counts objects handed to the GL and flushes after the first few and then every so many:
// a software renderer draws what it has been handed while the rest is sent
static void countSent(int objects)
{
    int before = objectsSent;
    objectsSent += objects;
    if ((before < FIRST_FLUSH_OBJECTS) != (objectsSent < FIRST_FLUSH_OBJECTS) ||
        before / FLUSH_EVERY_OBJECTS != objectsSent / FLUSH_EVERY_OBJECTS)
        glFlush();
}

// True when the object is drawn in its material's run: filled, from its list, neither locked
// (its outline) nor scaled by a drag, and lists and runs in use outside a selection pass
static bool drawnInRun(const scene_slot *slot)
{
    const primitiva *object = &slot->object;
    return runsWanted && !selectionPass && getUseDisplayLists() == 1 && object->wireFrame != 1 &&
           objectList(slot) != 0 && !isScaleDragged(object) &&
           object->nameBase != (getLockedObject() + 1) * NAME_BASE_STEP && sceneRunsAvailable() == 1;
}

// Draws the objects gathered for a run of the entry, if any, and empties the gathering
static void drawGatheredRun(int entry, std::vector<scene_slot *> &gathered, material_record *material)
{
    if (gathered.empty()) return;
    setDrawingMaterial(material);
    prepareTexture(material);
    drawSceneRun(entry, gathered, material);
    listsCalled = true;
    countSent((int)gathered.size());
    gathered.clear();
}

// One user of a usage entry drawn on its own: placed, and drawn from its list
static void drawSlot(scene_slot *slot, material_record *material)
{
    primitiva *object = &slot->object;
    setDrawingMaterial(material);
    prepareTexture(material);

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
        if (getUseDisplayLists() == 1 && scalingPreviewList != 0) {
            glCallList(scalingPreviewList);
            listsCalled = true;
            // NOTE: the preview list binds its own texture and sets its wrap
            preparedMaterial = nullptr;
            forget_texture_wraps();
        } else {
            drawObjectFaces(object, object->nameBase);
        }
        glDisable(GL_NORMALIZE);
    } else {
        unsigned int list = objectList(slot);
        if (object->nameBase == (getLockedObject() + 1) * NAME_BASE_STEP && list != 0) {
            glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
            glPushMatrix();
            glScalef(LOCKED_OUTLINE_SCALE, LOCKED_OUTLINE_SCALE, LOCKED_OUTLINE_SCALE);
            glCallList(list);
            listsCalled = true;
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
void drawScene(void (*background)())
{
    polygonCount = 0;
    preparedMaterial = nullptr;
    listsCalled = false;
    if (object_count() == 0) {
        beginSceneRuns();
        endSceneRuns();
        drawBackground(background);
        return;
    }
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    selectionPass = mode == GL_SELECT;
    objectsSent = 0;
    if (!selectionPass) beginSceneRuns();
    static std::vector<scene_slot *> gathered;
    for (int e = 0; e < USAGE_ENTRIES; e++) {
        const usage_entry *entry = usage_entry_at(e);
        if (entry->userCount < 1) continue;
        // NOTE: see-through materials blend over the background, so it is drawn before them
        if (!material_is_opaque(entry->material)) drawBackground(background);
        for (scene_slot *slot : entry->users) {
            if (slot_index(slot) < 0) continue;
            // NOTE: an object is drawn in the frame that rebuilds its list: a frame may be
            // the last one drawn for a while, and a changed object must not be missing from it
            if (slot->object.dirty == 1) rebuildDisplayList(slot, entry->material);
            if (drawnInRun(slot)) {
                gathered.push_back(slot);
                continue;
            }
            // NOTE: an object drawn on its own ends the run before it, so the order stays
            drawGatheredRun(e, gathered, entry->material);
            drawSlot(slot, entry->material);
            countSent(1);
        }
        drawGatheredRun(e, gathered, entry->material);
    }
    if (!selectionPass) endSceneRuns();
    drawBackground(background);
    // NOTE: a wire-frame object last in the table must not leave the HUD drawn in lines
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // the lists leave blending as their last material needs it; what is drawn after the
    // scene finds it on, as it always has
    if (listsCalled) glEnable(GL_BLEND);
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
    reset_to_reference(object);
    drawObjectFacesUnnamed(object, find_material(first_material_name(object)));
    glEndList();
}

unsigned int getScalingPreviewList() { return scalingPreviewList; }

void setSceneRunsWanted(int wanted) { runsWanted = wanted != 0; }

int getPolygonCount() { return polygonCount; }
