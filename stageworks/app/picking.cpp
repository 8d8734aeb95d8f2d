/**********************************************************************************************
*
*   picking - OpenGL selection: the scene pick and the panel pick
*
**********************************************************************************************/
#include "picking.h"

#include "app_state.h"
#include "camera.h"
#include "edit_history.h"
#include "objects.h"
#include "scene_draw.h"
#include "screen_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::array<GLuint, SELECTION_BUFFER_SIZE> selectionBuffer = {};
static int selecting = 0;
static int scenePickX = 0, scenePickY = 0;
static int panelPickX = 0, panelPickY = 0;
static int leftButtonDown = 0;
static PickHooks hooks = {};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Object identifier of a selection name
static int nameBaseOf(int name) { return (name / NAME_BASE_STEP) * NAME_BASE_STEP; }

// Starts the selection pass with the given far plane
static void startSelection(int x, int y, double farPlane)
{
    if (selecting) {
        // NOTE: a second click before the frame that ends the first: start over, keeping the
        // projection stack balanced
        glRenderMode(GL_RENDER);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    scenePickX = x;
    scenePickY = y;
    glSelectBuffer(SELECTION_BUFFER_SIZE, selectionBuffer.data());
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // NOTE: x and y are screen pixels: the pick region is placed on the screen, wherever the
    // window shows it
    GLint viewport[4] = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    gluPickMatrix(x, viewport[3] - y, PICK_REGION, PICK_REGION, viewport);
    gluPerspective(getFieldOfView(), FIXED_ASPECT, CAMERA_NEAR, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glInitNames();
    // NOTE: every object replaces the top name, so the stack starts with a placeholder
    glPushName(0);
    selecting = 1;
}

// Ends the selection pass; the number of complete hit records (an overflowed buffer keeps
// the records that fit), 0 when no pass was running
static int finishSelection()
{
    if (!selecting) return 0;
    selecting = 0;
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    int hits = glRenderMode(GL_RENDER);
    if (hits >= 0) return hits;
    int complete = 0;
    for (int at = 0; at + 3 <= SELECTION_BUFFER_SIZE;) {
        int names = (int)selectionBuffer[(size_t)at];
        if (names < 0 || at + 3 + names > SELECTION_BUFFER_SIZE) break;
        at += 3 + names;
        complete++;
    }
    return complete;
}

// Selects the object of a name (none when no object has it)
static int selectByName(int name)
{
    int index = find_object_by_name_base(nameBaseOf(name));
    primitiva *object = object_at(index);
    setSelectedObject(object);
    if (object != nullptr) setSelectedIndex(index);
    return object != nullptr ? index : -1;
}

// The hit's effect: selection, then the operation of the current mode
static void processHits(int hits)
{
    int name = nearestHitName(selectionBuffer.data(), SELECTION_BUFFER_SIZE, hits);
    setLastHitName(name);
    int index = selectByName(name);

    if (getPlayMode() == 1) {
        if (index >= 0 && slot_event_set(index) != nullptr && hooks.activateObject != nullptr)
            hooks.activateObject(index);
        return;
    }

    int mode = getEditingMode();
    int operation = getCurrentOperation();
    bool editing = mode == ObjectEditing;
    if (operation == Clone && editing && hits > 0 && index >= 0) {
        beginEdit(index);
        clone_object(index);
        endEdit("clonar objeto");
        setSelectedObject(nullptr);
    }
    if (operation == Lock && editing) setLockedObject(hits > 0 ? name / NAME_BASE_STEP - 1 : -1);
    if (operation == Delete && editing && hits > 0 && index >= 0) {
        beginEdit(index);
        delete_object(index);
        endEdit("eliminar objeto");
        setSelectedObject(nullptr);
        index = -1;
    }

    int locked = getLockedObject();
    bool allowed = locked == -1 || (locked + 1) * NAME_BASE_STEP == nameBaseOf(name);
    beginDragEdit(allowed && editing ? index : -1, operation);
    if (index < 0 || !allowed) return;
    if (operation == Appearance && editing) {
        setEditorState(5);
        if (hooks.openAppearanceMenu != nullptr) hooks.openAppearanceMenu();
    }
    if (mode == Events) {
        setEditorState(7);
        if (hooks.openEventEditor != nullptr) hooks.openEventEditor(index);
    }
    // NOTE: only an object that will be held is reset to its unscaled shape; resetting one
    // the lock takes the selection away from would leave its vertices wrong
    if ((operation == ScaleUniform || operation == ScaleAxis) && editing) rebuildScalingPreview(index);
}

// Mouse-look from the position of the scene pick
static void startLooking()
{
    setLookMode(1);
    capturePointer(scenePickX, scenePickY);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void setPickHooks(const PickHooks &value) { hooks = value; }

void beginPick(int x, int y) { startSelection(x, y, PICK_FAR); }

void beginPlayPick(int x, int y) { startSelection(x, y, PLAY_PICK_FAR); }

int pickActive() { return selecting; }

// The edit-mode end of a scene pick with hits: selection, operation and the lock rules
static void endEditPick(int hits)
{
    int locked = getLockedObject();
    setObjectHeld(1);
    processHits(hits);
    if (locked == -1) return;
    int lockedBase = (locked + 1) * NAME_BASE_STEP;
    bool sameObject = lockedBase == nameBaseOf(getLastHitName());
    if (getCurrentOperation() == Lock) {
        if (sameObject) setLockedObject(-1);
        return;
    }
    if (sameObject) return;
    // another object was clicked: the selection goes back to the locked one
    setObjectHeld(0);
    setLockedObject(locked);
    setLastHitName(lockedBase);
    selectByName(lockedBase);
    startLooking();
}

void endScenePick()
{
    int hits = finishSelection();
    if (hits == 0) {
        startLooking();
        return;
    }
    if (getPlayMode() == 1) {
        processHits(hits);
        setObjectHeld(0);
        startLooking();
        return;
    }
    endEditPick(hits);
    // NOTE: a quick click may be released before the frame that ends its pick; the release
    // found no held object then, so the press ends here instead of leaving the object held
    if (getObjectHeld() == 1 && !leftButtonDown && hooks.endObjectPress != nullptr) hooks.endObjectPress();
}

void noteLeftButton(int down) { leftButtonDown = down; }

void endPanelPick()
{
    int hits = finishSelection();
    setPickName(nearestHitName(selectionBuffer.data(), SELECTION_BUFFER_SIZE, hits));
}

int nearestHitName(const uint32_t *buffer, int size, int hits)
{
    if (buffer == nullptr) return 0;
    int result = 0;
    bool found = false;
    uint32_t nearest = 0;
    int at = 0;
    for (int hit = 0; hit < hits; hit++) {
        if (at + 3 > size) break;
        uint32_t names = buffer[at];
        if (names > (uint32_t)(size - at - 3)) break;
        uint32_t minimum = buffer[at + 1];
        if (!found || minimum < nearest) {
            found = true;
            nearest = minimum;
            result = names > 0 ? (int)buffer[at + 3 + (int)names - 1] : 0;
        }
        at += 3 + (int)names;
    }
    return result;
}

int getScenePickX() { return scenePickX; }
int getScenePickY() { return scenePickY; }

void setPanelPickPosition(int x, int y)
{
    panelPickX = x;
    panelPickY = y;
}
int getPanelPickX() { return panelPickX; }
int getPanelPickY() { return panelPickY; }
