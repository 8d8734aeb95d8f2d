/**********************************************************************************************
*
*   objects - the scene object table
*
**********************************************************************************************/
#include "objects.h"

#include "app_state.h"
#include "camera.h"
#include "generators.h"
#include "material_usage.h"
#include "parameters.h"

#include <array>
#include <cstdlib>
#include <string>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::array<scene_slot, MAX_OBJECTS> slots = {};
static int objectCount = 0;
static int creationCounter = 0;
static std::string currentMaterial = DEFAULT_MATERIAL_NAME;
static void (*releaseEventSet)(EventSet *) = nullptr;
static std::array<primitiva, PRIMITIVE_KINDS> samples = {};
static bool samplesBuilt = false;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Releases everything a slot owns and zeroes it
static void release_slot(scene_slot &slot)
{
    free_primitiva(&slot.object);
    if (slot.eventSet != nullptr && releaseEventSet != nullptr) releaseEventSet(slot.eventSet);
    if (slot.displayList != nullptr) {
        if (*slot.displayList != 0) delete_display_lists(*slot.displayList);
        free(slot.displayList);
    }
    slot = scene_slot{};
}

// Gives every object the identifier of its slot; the locked object stays locked
static void renumber_objects()
{
    int locked = getLockedObject();
    int lockedSlot = (locked >= 0) ? find_object_by_name_base((locked + 1) * NAME_BASE_STEP) : -1;
    for (int i = 0; i < objectCount; i++) {
        slots[(size_t)i].object.nameBase = (i + 1) * NAME_BASE_STEP;
        slots[(size_t)i].object.dirty = 1;
    }
    creationCounter = objectCount;
    setLockedObject(lockedSlot);
}

// Steps 4 to 7 of a creation: identifier, camera pose, current material, slot, counters.
// The table takes the record; -1 (record freed) when no display-list cell can be made.
static int place_new_object(primitiva record)
{
    unsigned int *cell = (unsigned int *)calloc(1, sizeof(unsigned int));
    if (cell == nullptr) {
        free_primitiva(&record);
        return -1;
    }
    record.nameBase = take_name_base();
    const Camera *camera = getCamera();
    record.pose = object_pose{camera->x, camera->y, camera->z, camera->yaw, camera->pitch, camera->roll};
    record.dirty = 1;
    append_material_name(&record, currentMaterial.c_str());

    int index = objectCount;
    slots[(size_t)index] = scene_slot{record, nullptr, cell};
    add_user(first_material_name(&slots[(size_t)index].object), &slots[(size_t)index]);
    objectCount++;
    return index;
}

//----------------------------------------------------------------------------------
// Public functions: the table
//----------------------------------------------------------------------------------
int create_object(int kind)
{
    if (kind < 0 || kind >= PRIMITIVE_KINDS || objectCount >= MAX_OBJECTS) return -1;
    return place_new_object(generate_kind(kind));
}

int clone_object(int index)
{
    if (objectCount >= MAX_OBJECTS || index < 0 || index >= objectCount) return -1;
    const primitiva *source = &slots[(size_t)index].object;
    const char *sourceMaterial = first_material_name(source);
    std::string material = sourceMaterial ? sourceMaterial : DEFAULT_MATERIAL_NAME;
    // NOTE: the copy joins the usage entry of the source's material name through the current
    // material, even when no material of that name exists (both then share entry 0)

    // NOTE: the copy is built from the source's own parameters, so an object read from a file
    // with other segment counts or sizes has the same face structure as its copy
    primitiva record = {};
    if (source->caract == nullptr || !build_primitive(source->objeto3D, source->caract->values, &record)) {
        if (source->objeto3D < 0 || source->objeto3D >= PRIMITIVE_KINDS) return -1;
        record = generate_kind(source->objeto3D);
    }

    set_current_material(material.c_str());
    int newIndex = place_new_object(record);
    set_current_material(DEFAULT_MATERIAL_NAME);
    if (newIndex < 0) return -1;

    primitiva *copy = &slots[(size_t)newIndex].object;
    set_first_material_name(copy, material.c_str());
    copy_vertex_coordinates(copy, source);
    copy->promediado = source->promediado;
    copy->wireFrame = source->wireFrame;
    copy->scaleX = source->scaleX;
    copy->scaleY = source->scaleY;
    copy->scaleZ = source->scaleZ;
    copy->pose.yaw = source->pose.yaw;
    copy->pose.pitch = source->pose.pitch;
    copy->pose.roll = source->pose.roll;
    return newIndex;
}

int delete_object(int index)
{
    if (index < 0 || index >= objectCount) return 0;
    rebuild_usage_table();
    release_slot(slots[(size_t)index]);
    for (int i = index; i < objectCount - 1; i++) slots[(size_t)i] = slots[(size_t)i + 1];
    slots[(size_t)objectCount - 1] = scene_slot{};
    objectCount--;
    register_all_users();
    if (objectCount == 0) creationCounter = 0;
    setLockedObject(-1);
    return 1;
}

void clear_objects()
{
    for (scene_slot &slot : slots) release_slot(slot);
    objectCount = 0;
    // NOTE: users left in the usage table would point at slots that new objects reuse
    clear_usage_users();
}

int store_object(const primitiva &record, EventSet *eventSet)
{
    if (objectCount >= MAX_OBJECTS) return -1;
    unsigned int *cell = (unsigned int *)calloc(1, sizeof(unsigned int));
    if (cell == nullptr) return -1;
    int index = objectCount;
    slots[(size_t)index] = scene_slot{record, eventSet, cell};
    objectCount++;
    return index;
}

int store_loaded_object(primitiva record, EventSet *eventSet)
{
    const int index = store_object(record, eventSet);
    if (index < 0) {
        free_primitiva(&record);
        if (eventSet != nullptr && releaseEventSet != nullptr) releaseEventSet(eventSet);
        return -1;
    }
    add_user(first_material_name(object_at(index)), object_slot(index));
    return index;
}

int insert_object(int index, const primitiva &record, EventSet *eventSet)
{
    if (index < 0 || index > objectCount || objectCount >= MAX_OBJECTS) return -1;
    unsigned int *cell = (unsigned int *)calloc(1, sizeof(unsigned int));
    if (cell == nullptr) return -1;
    for (int i = objectCount; i > index; i--) slots[(size_t)i] = slots[(size_t)i - 1];
    slots[(size_t)index] = scene_slot{record, eventSet, cell};
    objectCount++;
    register_all_users();
    return index;
}

void register_all_users()
{
    rebuild_usage_table();
    for (int i = 0; i < objectCount; i++)
        add_user(first_material_name(&slots[(size_t)i].object), &slots[(size_t)i]);
}

int take_name_base()
{
    if (creationCounter < 0 || creationCounter > MAX_CREATION_COUNTER) renumber_objects();
    int nameBase = (creationCounter + 1) * NAME_BASE_STEP;
    creationCounter++;
    return nameBase;
}

int object_count() { return objectCount; }
int creation_counter() { return creationCounter; }
void set_creation_counter(int value) { creationCounter = value; }

scene_slot *object_slot(int index)
{
    if (index < 0 || index >= objectCount) return nullptr;
    return &slots[(size_t)index];
}

int slot_index(const scene_slot *slot)
{
    if (slot < &slots[0] || slot >= &slots[0] + objectCount) return -1;
    return (int)(slot - &slots[0]);
}

primitiva *object_at(int index)
{
    scene_slot *slot = object_slot(index);
    return slot ? &slot->object : nullptr;
}

primitiva copy_object(int index)
{
    const primitiva *object = object_at(index);
    if (object != nullptr) return *object;
    primitiva none = {};
    none.objeto3D = -1;
    return none;
}

int find_object_by_name_base(int nameBase)
{
    for (int i = 0; i < objectCount; i++)
        if (slots[(size_t)i].object.nameBase == nameBase) return i;
    return -1;
}

EventSet *slot_event_set(int index)
{
    scene_slot *slot = object_slot(index);
    return slot ? slot->eventSet : nullptr;
}

void set_slot_event_set(int index, EventSet *eventSet)
{
    scene_slot *slot = object_slot(index);
    if (slot == nullptr) return;
    if (slot->eventSet != nullptr && slot->eventSet != eventSet && releaseEventSet != nullptr)
        releaseEventSet(slot->eventSet);
    slot->eventSet = eventSet;
}

unsigned int *slot_display_list(int index)
{
    scene_slot *slot = object_slot(index);
    return slot ? slot->displayList : nullptr;
}

void set_event_set_release(void (*release)(EventSet *)) { releaseEventSet = release; }

//----------------------------------------------------------------------------------
// Public functions: the material of an object
//----------------------------------------------------------------------------------
int assign_material(int index, const char *name)
{
    scene_slot *slot = object_slot(index);
    if (slot == nullptr || name == nullptr) return 0;
    // NOTE: the name is copied first: it may be the object's own first name, freed below
    std::string newName = name;
    remove_user(first_material_name(&slot->object), slot);
    if (!set_first_material_name(&slot->object, newName.c_str())) {
        add_user(first_material_name(&slot->object), slot);
        return 0;
    }
    add_user(newName.c_str(), slot);
    slot->object.dirty = 1;
    return 1;
}

int clear_object_materials(int index)
{
    scene_slot *slot = object_slot(index);
    if (slot == nullptr) return 0;
    remove_user(first_material_name(&slot->object), slot);
    free_name_list(&slot->object.materials);
    add_user(nullptr, slot);
    slot->object.dirty = 1;
    return 1;
}

//----------------------------------------------------------------------------------
// Public functions: current material
//----------------------------------------------------------------------------------
void set_current_material(const char *name) { currentMaterial = name ? name : DEFAULT_MATERIAL_NAME; }
const char *current_material() { return currentMaterial.c_str(); }

//----------------------------------------------------------------------------------
// Public functions: solid switch and faces to draw
//----------------------------------------------------------------------------------
void toggle_solido(primitiva *object)
{
    const kind_parameters *info = kind_parameter_info(object->objeto3D);
    if (info == nullptr || info->solidoField < 0 || object->caract == nullptr) return;
    int &solido = object->caract->values[info->solidoField];
    solido = (solido == 0) ? 1 : 0;
}

int is_solid(const primitiva *object)
{
    const kind_parameters *info = kind_parameter_info(object->objeto3D);
    if (info == nullptr || info->solidoField < 0 || object->caract == nullptr) return 1;
    return object->caract->values[info->solidoField];
}

int cull_face(const primitiva *object)
{
    const kind_parameters *info = kind_parameter_info(object->objeto3D);
    if (info == nullptr || info->cullFaceField < 0 || object->caract == nullptr) return 1;
    return object->caract->values[info->cullFaceField];
}

int faces_to_draw(const primitiva *object)
{
    long long wall = -1;
    int count = object->numCaras;
    if (is_solid(object) == 0) {
        switch (object->objeto3D) {
        case KIND_RECTANGLE:
        case KIND_TRIANGLE:
        case KIND_PARALLELEPIPED:
        case KIND_CIRCLE:
        case KIND_HALF_CIRCLE: count = 1; break;
        case KIND_CYLINDER: wall = 4LL * get_parameter(object, CIL_SEGMENTOS); break;
        case KIND_HALF_CYLINDER: wall = 2LL * get_parameter(object, MCIL_SEGMENTOS); break;
        default: break;
        }
    }
    int available = face_list_length(object);
    if (wall >= 0) count = (wall < available) ? (int)wall : available;
    if (count > available) count = available;
    return count < 0 ? 0 : count;
}

//----------------------------------------------------------------------------------
// Public functions: sample objects
//----------------------------------------------------------------------------------
void build_sample_objects()
{
    free_sample_objects();
    for (int kind = 0; kind < PRIMITIVE_KINDS; kind++) samples[(size_t)kind] = generate_kind(kind);
    samplesBuilt = true;
}

void free_sample_objects()
{
    for (primitiva &sample : samples) free_primitiva(&sample);
    samplesBuilt = false;
}

const primitiva *sample_object(int kind)
{
    if (!samplesBuilt || kind < 0 || kind >= PRIMITIVE_KINDS) return nullptr;
    return &samples[(size_t)kind];
}
