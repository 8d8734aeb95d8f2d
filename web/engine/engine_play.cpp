/**********************************************************************************************
*
*   engine_play - the player's frame, keys and pointer for the event engine
*
**********************************************************************************************/
#include "engine.h"

#include "app_state.h"
#include "camera.h"
#include "objects.h"
#include "play.h"
#include "records.h"

#include <cstring>  // Required for: memcmp()
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Key codes of the player: the arrows as special keys, the letters as characters
enum EngineKey { KEY_LEFT = 100, KEY_UP = 101, KEY_RIGHT = 102, KEY_DOWN = 103 };

// What an object showed before a frame
struct ObjectLook {
    object_pose pose;
    std::string material;
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static Camera startCamera = {};
static bool cameraPlaced = false;
static std::vector<ObjectLook> lastLooks;
static std::vector<int> changedObjects;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// True when the camera glides or a movement key is held (the display's test)
static bool cameraMoving()
{
    const Camera *camera = getCamera();
    return camera->forwardSpeed != 0.0f || camera->strafeSpeed != 0.0f || getMoveLeft() || getMoveRight() ||
           getMoveForward() || getMoveBack();
}

// The pose and first material of every object
static void takeLooks()
{
    const int count = object_count();
    lastLooks.resize((size_t)count);
    for (int i = 0; i < count; i++) {
        const primitiva *object = object_at(i);
        const char *material = first_material_name(object);
        lastLooks[(size_t)i] = ObjectLook{object->pose, material != nullptr ? material : ""};
    }
}

// The slots whose pose or material differ from the looks taken
static void compareLooks()
{
    changedObjects.clear();
    const int count = object_count();
    for (int i = 0; i < count; i++) {
        const primitiva *object = object_at(i);
        const char *material = first_material_name(object);
        if (i >= (int)lastLooks.size()) {
            changedObjects.push_back(i);
            continue;
        }
        const ObjectLook &look = lastLooks[(size_t)i];
        // NOTE: compared as bits: a pose changed and changed back within a frame is unchanged
        bool samePose = std::memcmp(&look.pose, &object->pose, sizeof(object_pose)) == 0;
        if (!samePose || look.material != (material != nullptr ? material : "")) changedObjects.push_back(i);
    }
}

// An arrow press or release: the walking keys of the player's table (only while looking around)
static void arrowKey(int code, int pressed)
{
    if (getLookMode() != 1 || getObjectHeld() != 0 || getTextEntryOpen() != 0) return;
    int value = pressed ? 1 : 0;
    switch (code) {
    case KEY_LEFT: setMoveLeft(value); break;
    case KEY_RIGHT: setMoveRight(value); break;
    case KEY_UP: setMoveForward(value); break;
    case KEY_DOWN: setMoveBack(value); break;
    default: break;
    }
}

// The letters the keyboard handles itself in every mode; 1 when code was one of them (the
// display list switch C, the new sphere E, which the player refuses, and the HUD L are the
// page's or nobody's business here)
static int letterKey(int code)
{
    switch (code) {
    case 'A': case 'a': setFieldOfView(getFieldOfView() - 1.0f); return 1;
    case 'S': case 's': setFieldOfView(getFieldOfView() + 1.0f); return 1;
    case 'F': case 'f': toggleFlyMode(); return 1;
    case 'I': case 'i': setInvertMouseY(getInvertMouseY() ? 0 : 1); return 1;
    case 'C': case 'c': case 'E': case 'e': case 'L': case 'l': return 1;
    default: return 0;
    }
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void engineUseStartCamera(const float pose[6])
{
    startCamera = Camera{pose[0], pose[1], pose[2], pose[3], pose[4], pose[5], 0.0f, 0.0f};
    setCamera(startCamera);
    clearMovementFlags();
    cameraPlaced = false;
}

// The player's start: the camera at its start pose, then play mode
void engineStartPlay()
{
    takeLooks();
    setCameraMovedHook(evaluateDistanceConditions);
    setCamera(startCamera);
    clearMovementFlags();
    cameraPlaced = false;
    setEditorState(0);
    startPlay();
    compareLooks();
}

void engineStopPlay()
{
    takeLooks();
    stopPlay();
    clearMovementFlags();
    compareLooks();
}

void engineKey(int code, int pressed)
{
    if (code >= KEY_LEFT && code <= KEY_DOWN) arrowKey(code, pressed);
}

void engineCharacter(int code)
{
    if (letterKey(code)) return;
    // NOTE: characters and special keys share the tables' codes
    if (code >= KEY_LEFT && code <= KEY_DOWN) arrowKey(code, 1);
}

void engineMouseLook(int dx, int dy)
{
    // NOTE: the player's motion binding: only while looking around with nothing held
    if (getLookMode() != 1 || getObjectHeld() != 0 || getTextEntryOpen() != 0) return;
    mouseLook(getLookCentreX() + dx, getLookCentreY() + dy);
}

void engineSetCamera(const float pose[6])
{
    Camera *camera = getCamera();
    camera->x = pose[0];
    camera->y = pose[1];
    camera->z = pose[2];
    camera->yaw = pose[3];
    camera->pitch = pose[4];
    camera->roll = pose[5];
    cameraPlaced = true;
}

void engineBeginFrame()
{
    takeLooks();
    if (cameraMoving() || cameraPlaced) updateCamera();
    cameraPlaced = false;
}

// A click at the centre: as the player's pick, only objects with events are activated
void engineActivate(int slot)
{
    if (getPlayMode() == 1 && slot_event_set(slot) != nullptr) activateObject(slot);
}

void engineEndFrame()
{
    if (getPlayMode() == 1) stepRunningEvents();
    compareLooks();
}

const std::vector<int> &engineChangedObjects() { return changedObjects; }
