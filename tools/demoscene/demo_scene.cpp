/**********************************************************************************************
*
*   demo_scene - the demo scene that ships as the default escena.xml
*
**********************************************************************************************/
#include "demo_scene.h"

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
#include "scene_file.h"
#include "scene_writer.h"
#include "textures.h"

#include <cstdio>
#include <initializer_list>
#include <string>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

// Facing the start camera: the yaw that turns an object's front (+Z) toward the viewer
constexpr float FACING_VIEWER = 315.0f;

// Height of the ground's top surface
constexpr float GROUND_Y = 8.0f;

// Ground tiles: 90 x 90, four columns by five rows around the objects
constexpr int TILE_SIZE = 90;

constexpr const char *DOOR_FLAG = "PUERTA";

// One object built from its parameters (the kind's defaults where none are given), posed,
// scaled and given its material; returns its slot or -1
int addObject(int kind, std::initializer_list<int> parameters, const char *material, object_pose pose, float scale,
              int promediado = 0)
{
    const kind_parameters *info = kind_parameter_info(kind);
    if (info == nullptr) return -1;
    std::array<int, MAX_PARAMETERS> values = info->defaults;
    size_t i = 0;
    for (int value : parameters) values[i++] = value;

    primitiva record = {};
    if (!build_primitive(kind, values.data(), &record)) return -1;
    record.nameBase = take_name_base();
    record.pose = pose;
    record.promediado = promediado;
    append_material_name(&record, material);
    rescale_geometry(&record, scale, scale, scale);
    return storeBuiltObject(record, nullptr);
}

// The event set of the object in slot index (made when it has none)
Event *eventOf(int index, int number)
{
    scene_slot *slot = object_slot(index);
    if (slot == nullptr) return nullptr;
    if (slot->eventSet == nullptr) slot->eventSet = newEventSet();
    if (slot->eventSet == nullptr) return nullptr;
    return &slot->eventSet->events[(size_t)number];
}

// Appends a consequence to the end of the event's chain
void then(Event *event, int kind, void *value)
{
    if (event != nullptr) setConsequence(event, event->consequenceCount, kind, value);
}

// A loop of count passes (0: endless) around one consequence
void loop(Event *event, int count, int kind, void *value)
{
    then(event, cLoop, newLoopValue(count));
    then(event, kind, value);
    then(event, cAgain, newAgainValue());
}

// The default material, five still textures, the animated water and four plain colours
void addMaterials()
{
    add_default_material();
    addTexturedMaterial("ladrillo", 0, {"Data/ladrillo.bmp"});
    addTexturedMaterial("madera", 0, {"Data/madera.bmp"});
    addTexturedMaterial("marmol", 0, {"Data/marmol.bmp"});
    addTexturedMaterial("suelo", 0, {"Data/suelo.bmp"});
    addTexturedMaterial("cesped", 0, {"Data/cesped.bmp"});
    addTexturedMaterial("agua", 300, {"Data/agua1.bmp", "Data/agua2.bmp", "Data/agua3.bmp"});
    addColouredMaterial("rojo", 0.85f, 0.18f, 0.12f, 0.2f);
    addColouredMaterial("azul", 0.2f, 0.35f, 0.85f, 0.3f);
    addColouredMaterial("verde", 0.2f, 0.75f, 0.25f, 0.3f);
    addColouredMaterial("dorado", 0.95f, 0.75f, 0.2f, 0.8f);
}

// Flat open rectangles (only their top face is drawn): stone under the objects, grass around
void addGround()
{
    for (int row = 0; row < 5; row++) {
        for (int column = 0; column < 4; column++) {
            float x = -10.0f + (float)(column * TILE_SIZE);
            float z = 100.0f - (float)(row * TILE_SIZE);
            bool plaza = column <= 1 && (row == 1 || row == 2);
            addObject(KIND_RECTANGLE, {0, TILE_SIZE, TILE_SIZE, 1}, plaza ? "suelo" : "cesped",
                      object_pose{x, GROUND_Y, z, 0.0f, 270.0f, 0.0f}, 1.0f);
        }
    }
}

// The five solids right in front of the viewer; the pyramid turns without end in play mode
// and a click on the water sphere turns its texture
void addCentrePieces()
{
    addObject(KIND_CUBE, {}, "ladrillo", object_pose{-12.0f, 22.0f, -20.0f, 20.0f, 0.0f, 0.0f}, 3.0f);
    int water = addObject(KIND_SPHERE, {}, "agua", object_pose{-3.0f, 22.0f, -3.0f, 0.0f, 0.0f, 0.0f}, 3.0f, 1);
    addObject(KIND_CYLINDER, {}, "rojo", object_pose{11.0f, 18.0f, 3.0f, 45.0f, 0.0f, 0.0f}, 2.5f, 1);
    int pyramid = addObject(KIND_PYRAMID, {}, "madera", object_pose{-0.1f, 13.0f, 12.45f, 30.0f, 0.0f, 0.0f}, 2.5f);
    addObject(KIND_TRAPEZOID, {}, "marmol", object_pose{-16.0f, 12.0f, -2.0f, 10.0f, 0.0f, 0.0f}, 3.0f);

    // always farther than 0: starts with play mode and never ends
    Event *turning = eventOf(pyramid, 0);
    setCondition(turning, 0, cDistanceMY, newDistanceValue(0));
    loop(turning, 0, cRotateObj, newRotateValue(2, 0, 0));

    Event *ripples = eventOf(water, 0);
    setCondition(ripples, 0, cActivate, newActivateValue());
    loop(ripples, 36, cRotateMat, newRotateValue(0, 0, 10));
}

// A wooden door under a triangular gable: a click opens it once (90 degrees in 18 steps)
// and sets PUERTA, which turns the dome beside it gold and lifts it
void addDoorAndDome()
{
    int door = addObject(KIND_PARALLELEPIPED, {1, 10, 0, 20, 1}, "madera",
                         object_pose{61.8f, 23.0f, -12.8f, FACING_VIEWER, 0.0f, 0.0f}, 1.5f);
    addObject(KIND_TRIANGLE, {1, 24, 8, 2}, "ladrillo", object_pose{67.1f, 42.0f, -7.5f, FACING_VIEWER, 0.0f, 0.0f},
              1.0f);
    Event *opening = eventOf(door, 0);
    setCondition(opening, 0, cActivate, newActivateValue());
    setCondition(opening, 1, cFlag, newFlagValue(DOOR_FLAG, 0));
    loop(opening, 18, cRotateObj, newRotateValue(-5, 0, 0));
    then(opening, cFlagEqual, newFlagValue(DOOR_FLAG, 1));

    int dome = addObject(KIND_HALF_SPHERE, {12, 12, 12, 12, 6}, "marmol",
                         object_pose{35.4f, GROUND_Y, 3.1f, 0.0f, 0.0f, 0.0f}, 1.0f, 1);
    Event *answer = eventOf(dome, 0);
    setCondition(answer, 0, cFlag, newFlagValue(DOOR_FLAG, 1));
    then(answer, cChangeMat, newChangeMatValue("dorado"));
    loop(answer, 20, cMoveObj, newMoveValue(0, 50, 0));
}

// A round sign far ahead that turns green and rises when the viewer comes within 120 units,
// and a brick arch on the left
void addSignAndArch()
{
    int sign = addObject(KIND_CIRCLE, {1, 20, 20, 2, 24}, "azul",
                         object_pose{98.4f, 45.0f, -104.3f, FACING_VIEWER, 0.0f, 0.0f}, 1.5f);
    Event *near = eventOf(sign, 0);
    setCondition(near, 0, cDistanceMN, newDistanceValue(120));
    then(near, cChangeMat, newChangeMatValue("verde"));
    loop(near, 20, cMoveObj, newMoveValue(0, 50, 0));

    addObject(KIND_HALF_CYLINDER, {1, 1, 30, 30, 10, 4, 12}, "ladrillo",
              object_pose{136.7f, GROUND_Y, -64.8f, FACING_VIEWER, 0.0f, 0.0f}, 1.0f, 1);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void buildDemoScene()
{
    set_event_set_release(freeEventSet);
    clear_objects();
    set_creation_counter(0);
    create_texture_table();
    create_material_table();
    createFlagTable();

    addMaterials();
    addFlag(newFlagRecord(DOOR_FLAG, 0));
    rebuild_usage_table();

    addGround();
    addCentrePieces();
    addDoorAndDome();
    addSignAndArch();
}

int writeBuiltScene(const char *program, const char *directory)
{
    std::string path = std::string(directory) + "/" + SCENE_FILE_NAME;
    int saved = saveSceneTo(path.c_str());
    // NOTE: released so that a sanitizer build reports no leak at exit
    clear_objects();
    clear_usage_table();
    clear_material_table();
    clear_texture_table();
    clearFlagTable();
    if (!saved) fprintf(stderr, "%s: could not write %s\n", program, path.c_str());
    return saved;
}
