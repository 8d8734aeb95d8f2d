/**********************************************************************************************
*
*   objects - the scene object table
*
*   A flat table of 1000 slots used without gaps: slots 0 to count - 1 hold the scene's
*   objects in creation order. A slot holds the object record by value, the object's event
*   set and a pointer to a zeroed cell where the renderer keeps the object's display list.
*   The table owns everything in its slots; deleting an object releases its geometry, its
*   names, its display list and (through the registered release callback) its event set.
*
*   Also here: the creation counter that makes the identifiers (nameBase = 100000 x
*   (counter + 1)), the current material name given to new objects, the solid switch and the
*   number of faces to draw, and the twelve sample objects (the primitive menu's pictures and
*   the reference shapes of the default parameters).
*
*   Every object is registered in the material usage table under its first material name
*   when it is created or cloned; deleting or inserting at a slot rebuilds the usage table and
*   registers every object again. Giving an object another material (or taking it away) keeps
*   its usage entry right.
*
*   DEPENDENCIES: scene_slot, records, parameters, generators, material_usage, app_state (lockedObject),
*                 camera (pose of new objects), OpenGL (glDeleteLists for a cell holding a
*                 list name, in object_lists.cpp, which a build without GL replaces)
*
**********************************************************************************************/
#pragma once

#include "scene_slot.h"

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int MAX_OBJECTS = 1000;
constexpr int NAME_BASE_STEP = 100000;
// The consecutive display lists an object's cell starts (one to draw it, one to pick it)
constexpr int OBJECT_DISPLAY_LISTS = 2;

// Largest creation counter whose selection names (nameBase + 10000 x (group + 1)) still fit in
// a signed 32-bit number; reaching it renumbers the scene (see take_name_base)
constexpr int MAX_CREATION_COUNTER = 21473;

//----------------------------------------------------------------------------------
// Public functions: the table
//----------------------------------------------------------------------------------

// Adds an object of the kind with the default parameters at the camera's pose and the current
// material; returns its slot, or -1 (nothing changed) for a bad kind or a full table
int create_object(int kind);

// Adds a copy of the object in slot index (same parameters, shape, scale, orientation,
// appearance and first material; the camera's position); returns its slot or -1
int clone_object(int index);

// Deletes the object in slot index, closing the gap; no object stays locked. 1, or 0 for a bad index
int delete_object(int index);

// Releases every object and empties the table (the creation counter is kept); the usage
// table forgets its users
void clear_objects();

// Stores a finished object record (a loaded one) at the next slot with its event set (may be
// null) and a new display-list cell; the table takes ownership. It is not registered in the
// usage table (the reader does that once the usage table is rebuilt). Returns the slot, or -1 when
// the table is full (the record is then left to the caller)
int store_object(const primitiva &record, EventSet *eventSet);

// Stores a loaded object as store_object does and registers it in the usage table under its
// first material; when the table is full the record is freed and the event set released
// (set_event_set_release). Returns the slot or -1
int store_loaded_object(primitiva record, EventSet *eventSet);

// Stores a finished object record at slot index (0 to count), moving the later slots up one,
// with its event set (may be null) and a new display-list cell; the table takes ownership and
// the usage table is rebuilt with every object. Returns index, or -1 for a bad index or a full
// table (the record is then left to the caller)
int insert_object(int index, const primitiva &record, EventSet *eventSet);

// Forgets every user of the usage table and registers each object again under its first
// material name, in slot order (after records were replaced or slots moved)
void register_all_users();

// Identifier for the next object: 100000 x (counter + 1), then the counter goes up. Before the
// counter would pass MAX_CREATION_COUNTER the scene is renumbered 100000, 200000, ... in slot
// order (every object marked dirty, the locked object followed)
int take_name_base();

int object_count();
int creation_counter();
void set_creation_counter(int value);

// The slot at index, or null outside 0 to count - 1
scene_slot *object_slot(int index);

// Index of a slot pointer in the table, or -1 when it is not a slot in use
int slot_index(const scene_slot *slot);

// The object record in slot index, or null outside 0 to count - 1
primitiva *object_at(int index);

// A copy of the record in slot index (it shares the slot's faces and names: a view, not an owner);
// a zero record with objeto3D -1 outside 0 to count - 1
primitiva copy_object(int index);

// Slot index of the object with that nameBase, or -1
int find_object_by_name_base(int nameBase);

// The event set of slot index (null when none or out of range), and replacing it (the old one
// is released through the release callback)
EventSet *slot_event_set(int index);
void set_slot_event_set(int index, EventSet *eventSet);

// The display-list cell of slot index, or null
unsigned int *slot_display_list(int index);

// Registers how an event set is released (the events library registers it at start-up)
void set_event_set_release(void (*release)(EventSet *));

// Deletes the OBJECT_DISPLAY_LISTS consecutive display lists starting at first
void delete_display_lists(unsigned int first);

//----------------------------------------------------------------------------------
// Public functions: the material of an object
//----------------------------------------------------------------------------------

// Gives the object in slot index the material name: leaves the old usage entry, takes the
// name as its first material name, joins the new entry and is marked dirty. 1, or 0 for a bad
// index or a null name
int assign_material(int index, const char *name);

// Takes every material name from the object in slot index (it then has none, as an object read
// without IDPRIMMaterial): it leaves its usage entry for entry 0 and is marked dirty. 1, or 0
// for a bad index
int clear_object_materials(int index);

//----------------------------------------------------------------------------------
// Public functions: current material
//----------------------------------------------------------------------------------

// Name new objects get; null sets "(default)"
void set_current_material(const char *name);
const char *current_material();

//----------------------------------------------------------------------------------
// Public functions: solid switch and faces to draw
//----------------------------------------------------------------------------------

// Kinds 0, 1, 2, 5, 6, 8, 9 flip their solid parameter between 0 and 1; others are left alone
void toggle_solido(primitiva *object);

// The solid parameter for those kinds, 1 for the others
int is_solid(const primitiva *object);

// The culling parameter of kinds 8 and 9, 1 (cull) for the others
int cull_face(const primitiva *object);

// How many faces from the head of the list are drawn: only the front face of an open flat
// kind, only the curved wall of an open cylinder, otherwise numCaras; never more than the list holds
int faces_to_draw(const primitiva *object);

//----------------------------------------------------------------------------------
// Public functions: sample objects
//----------------------------------------------------------------------------------

// Builds the twelve sample objects with the default parameters (again: frees the old ones)
void build_sample_objects();

// Frees the twelve sample objects
void free_sample_objects();

// The sample object of the kind, or null when not built or the kind is out of range
const primitiva *sample_object(int kind);
