/**********************************************************************************************
*
*   engine_scene - building the engine's tables from the scene's behaviour fields
*
**********************************************************************************************/
#include "engine.h"

#include "app_state.h"
#include "events.h"
#include "flags.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "play.h"
#include "records.h"

#include <array>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct StagedMaterial {
    std::string name;
    int texturado = 0;
    int multiple = 0;
    std::vector<std::string> frames;
};

struct StagedPart {
    int event = 0;
    int kind = 0;
    int a = 0, b = 0, c = 0;
    std::string name;
};

struct StagedObject {
    int kind = 0;
    std::array<float, 6> pose = {};
    std::vector<std::string> materials;
    std::vector<StagedPart> conditions;
    std::vector<StagedPart> consequences;
};

struct StagedScene {
    std::vector<std::pair<std::string, int>> flags;
    std::vector<StagedMaterial> materials;
    std::vector<StagedObject> objects;
    std::array<float, 6> camera = {};
    std::string error;   // the first fault met while staging
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static StagedScene staged;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Keeps the first fault
static void fault(const std::string &message)
{
    if (staged.error.empty()) staged.error = message;
}

// The object the parts go to, or null (with a fault) before the first object
static StagedObject *lastObject(const char *what)
{
    if (staged.objects.empty()) {
        fault(std::string(what) + " before any object");
        return nullptr;
    }
    return &staged.objects.back();
}

// The object's event set, or null when it has no event part; conditions are stored one after
// another as the file has them (at most 8 per event), consequences appended to the chain
static EventSet *buildEvents(const StagedObject &object)
{
    if (object.conditions.empty() && object.consequences.empty()) return nullptr;
    EventSet *set = newEventSet();
    if (set == nullptr) return nullptr;
    for (const StagedPart &part : object.conditions)
        addStoredCondition(&set->events[(size_t)part.event], part.kind, part.a, part.name);
    for (const StagedPart &part : object.consequences)
        addStoredConsequence(&set->events[(size_t)part.event], part.kind, part.a, part.b, part.c, part.name);
    if (eventSetIsEmpty(set)) {
        freeEventSet(set);
        return nullptr;
    }
    return set;
}

// A material record as the reader left it, with the texture block the scene ended with
static material_record *buildMaterial(const StagedMaterial &data)
{
    material_record *material = new_material();
    if (material == nullptr) return nullptr;
    material->name = data.name;
    material->texturado = data.texturado;
    if (data.multiple >= 0) {
        material->texture = new_texture_block();
        material->texture->multiple = data.multiple;
        material->texture->frames = data.frames;
    }
    return material;
}

// One object in the next slot, registered with its material's usage entry
static void buildObject(const StagedObject &data)
{
    primitiva record = new_primitiva();
    record.nameBase = take_name_base();
    record.objeto3D = data.kind;
    record.pose = object_pose{data.pose[0], data.pose[1], data.pose[2], data.pose[3], data.pose[4], data.pose[5]};
    for (const std::string &name : data.materials) append_material_name(&record, name.c_str());
    store_loaded_object(record, buildEvents(data));
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void engineBegin() { staged = StagedScene(); }

void engineAddFlag(const char *name, int value) { staged.flags.emplace_back(name != nullptr ? name : "", value); }

void engineAddMaterial(const char *name, int texturado, int multiple)
{
    StagedMaterial material;
    material.name = name != nullptr ? name : "";
    material.texturado = texturado;
    material.multiple = multiple;
    staged.materials.push_back(material);
}

void engineAddMaterialFrame(const char *path)
{
    if (staged.materials.empty()) {
        fault("a texture frame before any material");
        return;
    }
    staged.materials.back().frames.emplace_back(path != nullptr ? path : "");
}

void engineAddObject(int kind, const float pose[6])
{
    if ((int)staged.objects.size() >= MAX_OBJECTS) {
        fault("more than " + std::to_string(MAX_OBJECTS) + " objects");
        return;
    }
    if (kind < 0 || kind >= PRIMITIVE_KINDS) fault("object " + std::to_string(staged.objects.size()) + " has no kind 0 to 11");
    StagedObject object;
    object.kind = kind;
    for (int i = 0; i < 6; i++) object.pose[(size_t)i] = pose[i];
    staged.objects.push_back(object);
}

void engineAddObjectMaterial(const char *name)
{
    if (StagedObject *object = lastObject("a material name")) object->materials.emplace_back(name != nullptr ? name : "");
}

void engineAddCondition(int event, int kind, int a, const char *name)
{
    StagedObject *object = lastObject("a condition");
    if (object == nullptr) return;
    if (event < 0 || event >= EVENTS_PER_SET) {
        fault("a condition of event " + std::to_string(event) + " (events are numbered 0 to 15)");
        return;
    }
    object->conditions.push_back(StagedPart{event, kind, a, 0, 0, name != nullptr ? name : ""});
}

void engineAddConsequence(int event, int kind, int a, int b, int c, const char *name)
{
    StagedObject *object = lastObject("a consequence");
    if (object == nullptr) return;
    if (event < 0 || event >= EVENTS_PER_SET) {
        fault("a consequence of event " + std::to_string(event) + " (events are numbered 0 to 15)");
        return;
    }
    object->consequences.push_back(StagedPart{event, kind, a, b, c, name != nullptr ? name : ""});
}

void engineSetStartCamera(const float pose[6])
{
    for (int i = 0; i < 6; i++) staged.camera[(size_t)i] = pose[i];
}

// The reader's order: materials, flags, then the objects with a fresh creation counter. A
// refused scene leaves everything as it was, play mode included
int engineEnd(std::string *error)
{
    if (!staged.error.empty()) {
        if (error != nullptr) *error = staged.error;
        staged = StagedScene();
        return 0;
    }
    if (getPlayMode() == 1) engineStopPlay();
    set_event_set_release(freeEventSet);
    create_material_table();
    for (auto it = staged.materials.rbegin(); it != staged.materials.rend(); ++it) {
        material_record *material = buildMaterial(*it);
        if (material != nullptr && !add_material(material)) free_material(material);
    }
    createFlagTable();
    for (const auto &flag : staged.flags) {
        FlagRecord *record = newFlagRecord(flag.first, flag.second);
        if (record != nullptr) addFlag(record);
    }
    clear_objects();
    set_creation_counter(0);
    rebuild_usage_table();
    for (const StagedObject &object : staged.objects) buildObject(object);

    engineUseStartCamera(staged.camera.data());
    staged = StagedScene();
    return 1;
}
