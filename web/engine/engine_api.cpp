/**********************************************************************************************
*
*   engine_api - the entry points the browser's engine exports (engine.mjs calls them)
*
*   Plain C functions over the engine: numbers in, numbers or pointers into the engine's
*   memory out. A returned pointer stays valid until the next call of the same function.
*
*   DEPENDENCIES: engine, app_state, camera, materials, objects, records
*
**********************************************************************************************/
#include "engine.h"

#include "app_state.h"
#include "camera.h"
#include "materials.h"
#include "objects.h"
#include "records.h"

#include <array>
#include <string>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::string lastError;
static std::string lastState;
static std::array<float, 6> lastCamera = {};
static std::array<float, 6> lastPose = {};
static std::array<float, 3> lastTurn = {};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
extern "C" {

void sw_engine_begin() { engineBegin(); }
void sw_engine_add_flag(const char *name, int value) { engineAddFlag(name, value); }
void sw_engine_add_material(const char *name, int texturado, int multiple) { engineAddMaterial(name, texturado, multiple); }
void sw_engine_add_material_frame(const char *path) { engineAddMaterialFrame(path); }

void sw_engine_add_object(int kind, float x, float y, float z, float yaw, float pitch, float roll)
{
    const float pose[6] = {x, y, z, yaw, pitch, roll};
    engineAddObject(kind, pose);
}

void sw_engine_add_object_material(const char *name) { engineAddObjectMaterial(name); }
void sw_engine_add_condition(int event, int kind, int a, const char *name) { engineAddCondition(event, kind, a, name); }

void sw_engine_add_consequence(int event, int kind, int a, int b, int c, const char *name)
{
    engineAddConsequence(event, kind, a, b, c, name);
}

void sw_engine_set_start_camera(float x, float y, float z, float yaw, float pitch, float roll)
{
    const float pose[6] = {x, y, z, yaw, pitch, roll};
    engineSetStartCamera(pose);
}

// Empty text when the scene was built, else what was wrong
const char *sw_engine_end()
{
    lastError.clear();
    if (!engineEnd(&lastError) && lastError.empty()) lastError = "the scene could not be built";
    return lastError.c_str();
}

void sw_engine_start_play() { engineStartPlay(); }
void sw_engine_stop_play() { engineStopPlay(); }
int sw_engine_playing() { return getPlayMode(); }
void sw_engine_key(int code, int pressed) { engineKey(code, pressed); }
void sw_engine_character(int code) { engineCharacter(code); }
void sw_engine_mouse_look(int dx, int dy) { engineMouseLook(dx, dy); }

void sw_engine_set_camera(float x, float y, float z, float yaw, float pitch, float roll)
{
    const float pose[6] = {x, y, z, yaw, pitch, roll};
    engineSetCamera(pose);
}

void sw_engine_begin_frame() { engineBeginFrame(); }
void sw_engine_activate(int slot) { engineActivate(slot); }
void sw_engine_end_frame() { engineEndFrame(); }

int sw_engine_changed_count() { return (int)engineChangedObjects().size(); }
const int *sw_engine_changed_objects() { return engineChangedObjects().data(); }

const float *sw_engine_camera()
{
    const Camera *c = getCamera();
    lastCamera = {c->x, c->y, c->z, c->yaw, c->pitch, c->roll};
    return lastCamera.data();
}

float sw_engine_field_of_view() { return getFieldOfView(); }
int sw_engine_object_count() { return object_count(); }

// Null outside the slots in use
const float *sw_engine_pose(int slot)
{
    const primitiva *object = object_at(slot);
    if (object == nullptr) return nullptr;
    const object_pose &p = object->pose;
    lastPose = {p.x, p.y, p.z, p.yaw, p.pitch, p.roll};
    return lastPose.data();
}

// Null outside the slots in use or for an object without material names
const char *sw_engine_material(int slot)
{
    const primitiva *object = object_at(slot);
    return object != nullptr ? first_material_name(object) : nullptr;
}

// Null for a material that is missing or has no texture block
const float *sw_engine_texture_turn(const char *name)
{
    const material_record *material = find_material(name);
    if (material == nullptr || !material->texture) return nullptr;
    lastTurn = {material->texture->rotationX, material->texture->rotationY, material->texture->rotationZ};
    return lastTurn.data();
}

const char *sw_engine_state()
{
    lastState = engineStateJson();
    return lastState.c_str();
}

}  // extern "C"
