/**********************************************************************************************
*
*   material_usage - which objects use each material
*
*   A table of exactly 256 entries, one per material of the material table (in the table's
*   iteration order; the rest stay empty), each with its own copy of the material name, the
*   material record and the list of object slots that use it, in the order they were added.
*   The renderer draws the scene entry by entry, so objects that share a material are drawn
*   one after another. Objects whose material name has no entry are grouped under the entry of
*   the default material, as a load gives such objects that material (under entry 0 when the
*   table has no default material).
*
*   The entries point at the material records, so the table asks the material table to
*   empty it whenever the records are freed (a hook it registers when it is rebuilt).
*
*   DEPENDENCIES: materials, scene_slot (the users' identifiers)
*
**********************************************************************************************/
#pragma once

#include "materials.h"
#include "scene_slot.h"

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int USAGE_ENTRIES = 256;

struct usage_entry {
    std::string name;                    // empty for an unused entry
    material_record *material = nullptr; // owned by the material table
    int userCount = 0;
    std::vector<scene_slot *> users;     // object slots, in the order they were added
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Empties the table, then fills entries 0 to materials - 1 from the material table (at most
// 256; later materials get no entry) with no users; from then on clearing the material table
// empties this one too
void rebuild_usage_table();

// Empties every entry (names, materials and users)
void clear_usage_table();

// Keeps the entries but forgets every user (the object table was emptied)
void clear_usage_users();

// Entry index (0 to 255), or null outside
const usage_entry *usage_entry_at(int index);

// Number of filled entries
int usage_entry_count();

// Index of the entry named name (the last of several); for a null name or one no entry
// carries, that of "(default)" (0 when no entry carries that either)
int usage_index_of(const char *name);

// The material an object whose first material name is name is drawn in: that of the entry
// it is grouped under; null while the table is empty
material_record *drawn_material_of(const char *name);

// Adds the slot to the users of the entry named name (see usage_index_of)
void add_user(const char *name, scene_slot *slot);

// Removes the user with the slot's nameBase from the entry named name (see usage_index_of);
// nothing when the entry has no users or the object is not among them
void remove_user(const char *name, scene_slot *slot);
