/**********************************************************************************************
*
*   mixed_scene - a scene of many mixed objects for the frame-rate and loading benchmarks
*
**********************************************************************************************/
#include "mixed_scene.h"

#include "events.h"
#include "flags.h"
#include "generators.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "parameters.h"
#include "records.h"
#include "scene_building.h"
#include "textures.h"

#include <cmath>  // Required for: sinf(), cosf(), tanf()
#include <initializer_list>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
namespace {

constexpr int GRID_COLUMNS = 40;
constexpr int GRID_ROWS = 25;
constexpr float NEAREST = 70.0f;
constexpr float DEPTH_STEP = 6.0f;
constexpr int DEPTH_STEPS = 25;

// The start camera (the pose start-up gives it)
constexpr float EYE[3] = {-41.51f, 30.0f, 38.74f};
constexpr float EYE_YAW = 314.22f;
constexpr float EYE_PITCH = -8.82f;
constexpr float DEGREES = 3.14159265f / 180.0f;

// Half the view's extent per unit of depth, a little inside the screen's edges
constexpr float HALF_HEIGHT = 0.9f * 0.41421f;        // tan(22.5 degrees)
constexpr float HALF_WIDTH = HALF_HEIGHT * 4.0f / 3.0f;

constexpr const char *FLAG_NAME = "MIXTO";

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The 20 materials, in the order the objects take them
const std::vector<std::string> &addMaterials()
{
    static std::vector<std::string> names;
    names.clear();
    add_default_material();
    names.emplace_back(DEFAULT_MATERIAL_NAME);

    const char *still[][2] = {{"ladrillo", "Data/ladrillo.bmp"}, {"madera", "Data/madera.bmp"},
                              {"marmol", "Data/marmol.bmp"},     {"suelo", "Data/suelo.bmp"},
                              {"cesped", "Data/cesped.bmp"}};
    for (auto &s : still) {
        addTexturedMaterial(s[0], 0, {s[1]});
        names.emplace_back(s[0]);
    }
    // NOTE: every animation cycles through the water bitmaps, so that a picture test can make
    // the pictures independent of time by making those bitmaps one
    addTexturedMaterial("agua", 200, {"Data/agua1.bmp", "Data/agua2.bmp", "Data/agua3.bmp"});
    addTexturedMaterial("olas", 250, {"Data/agua2.bmp", "Data/agua3.bmp", "Data/agua1.bmp"});
    addTexturedMaterial("lago", 300, {"Data/agua3.bmp", "Data/agua1.bmp"});
    addTexturedMaterial("rio", 350, {"Data/agua1.bmp", "Data/agua3.bmp"});
    addTexturedMaterial("mar", 400, {"Data/agua2.bmp", "Data/agua1.bmp", "Data/agua3.bmp"});
    for (const char *name : {"agua", "olas", "lago", "rio", "mar"}) names.emplace_back(name);

    struct Colour {
        const char *name;
        float r, g, b, shine;
    };
    const Colour colours[] = {{"rojo", 0.85f, 0.18f, 0.12f, 0.2f},  {"azul", 0.2f, 0.35f, 0.85f, 0.3f},
                              {"verde", 0.2f, 0.75f, 0.25f, 0.3f},  {"dorado", 0.95f, 0.75f, 0.2f, 0.8f},
                              {"blanco", 0.9f, 0.9f, 0.9f, 0.1f},   {"negro", 0.1f, 0.1f, 0.12f, 0.5f},
                              {"naranja", 0.95f, 0.5f, 0.1f, 0.4f}, {"violeta", 0.55f, 0.25f, 0.75f, 0.6f}};
    for (const Colour &c : colours) {
        addColouredMaterial(c.name, c.r, c.g, c.b, c.shine);
        names.emplace_back(c.name);
    }
    addColouredMaterial("cristal", 0.6f, 0.85f, 0.95f, 0.9f, 0.5f);
    names.emplace_back("cristal");
    return names;
}

// World position of grid cell (column, row) at the given depth along the start camera's view
object_pose cellPose(int column, int row, float depth, float yaw)
{
    float cy = cosf(EYE_YAW * DEGREES), sy = sinf(EYE_YAW * DEGREES);
    float cp = cosf(EYE_PITCH * DEGREES), sp = sinf(EYE_PITCH * DEGREES);
    float forward[3] = {-cp * sy, sp, -cp * cy};
    float right[3] = {cy, 0.0f, -sy};
    float up[3] = {sp * sy, cp, sp * cy};
    float across = ((float)column + 0.5f) / GRID_COLUMNS * 2.0f - 1.0f;
    float down = ((float)row + 0.5f) / GRID_ROWS * 2.0f - 1.0f;
    float lateral = across * HALF_WIDTH * depth, vertical = -down * HALF_HEIGHT * depth;
    object_pose pose = {};
    pose.x = EYE[0] + forward[0] * depth + right[0] * lateral + up[0] * vertical;
    pose.y = EYE[1] + forward[1] * depth + right[1] * lateral + up[1] * vertical;
    pose.z = EYE[2] + forward[2] * depth + right[2] * lateral + up[2] * vertical;
    pose.yaw = yaw;
    return pose;
}

// The two events of an object: a click turns it; the flag moves it up and back
EventSet *mixedEvents(int i)
{
    EventSet *set = newEventSet();
    if (set == nullptr) return nullptr;
    Event *turn = &set->events[0];
    setCondition(turn, 0, cActivate, newActivateValue());
    setConsequence(turn, 0, cLoop, newLoopValue(10 + i % 20));
    setConsequence(turn, 1, cRotateObj, newRotateValue(5, 0, 0));
    setConsequence(turn, 2, cAgain, newAgainValue());
    Event *lift = &set->events[1];
    setCondition(lift, 0, cFlag, newFlagValue(FLAG_NAME, 1));
    setCondition(lift, 1, cDistanceMN, newDistanceValue(100 + i % 50));
    setConsequence(lift, 0, cMoveObj, newMoveValue(0, 25, 0));
    setConsequence(lift, 1, cFlagEqual, newFlagValue(FLAG_NAME, 0));
    return set;
}

// Object i of the scene in grid cell `cell`, with the given material; false when not stored
bool addMixedObject(int i, int cell, const std::string &material)
{
    int kind = i % PRIMITIVE_KINDS;
    const kind_parameters *info = kind_parameter_info(kind);
    if (info == nullptr) return false;
    primitiva record = {};
    if (!build_primitive(kind, info->defaults.data(), &record)) return false;
    int column = cell % GRID_COLUMNS, row = cell / GRID_COLUMNS;
    float depth = NEAREST + DEPTH_STEP * (float)((column * 7 + row * 3) % DEPTH_STEPS);
    record.nameBase = take_name_base();
    record.pose = cellPose(column, row, depth, (float)(i * 37 % 360));
    record.promediado = (i / PRIMITIVE_KINDS) % 2;
    append_material_name(&record, material.c_str());
    return storeBuiltObject(record, mixedEvents(i)) >= 0;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool buildMixedScene(int count)
{
    if (count < 0 || count > MIXED_SCENE_CELLS) return false;
    set_event_set_release(freeEventSet);
    clear_objects();
    set_creation_counter(0);
    create_texture_table();
    create_material_table();
    createFlagTable();

    const std::vector<std::string> &materials = addMaterials();
    addFlag(newFlagRecord(FLAG_NAME, 0));
    rebuild_usage_table();
    for (int i = 0; i < count; i++) {
        // fewer objects spread evenly over the same cells
        int cell = (int)((long)i * MIXED_SCENE_CELLS / count);
        if (!addMixedObject(i, cell, materials[(size_t)i % materials.size()])) return false;
    }
    return true;
}
