/**********************************************************************************************
*
*   material_usage - which objects use each material
*
**********************************************************************************************/
#include "material_usage.h"

#include <algorithm>
#include <array>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::array<usage_entry, USAGE_ENTRIES> entries;
static int filledEntries = 0;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void rebuild_usage_table()
{
    clear_usage_table();
    // NOTE: the entries are about to point at the material records
    set_material_table_cleared_hook(clear_usage_table);
    hash_table *table = material_table();
    if (table == nullptr) return;
    hash_iterator it = {};
    for (void *data = hash_table_first(table, &it, nullptr, nullptr); data != nullptr;
         data = hash_table_next(table, &it, nullptr, nullptr)) {
        if (filledEntries == USAGE_ENTRIES) break;
        material_record *material = (material_record *)data;
        usage_entry &entry = entries[(size_t)filledEntries++];
        entry.name = material->name;
        entry.material = material;
    }
}

void clear_usage_table()
{
    for (usage_entry &entry : entries) entry = usage_entry{};
    filledEntries = 0;
}

void clear_usage_users()
{
    for (usage_entry &entry : entries) {
        entry.users.clear();
        entry.userCount = 0;
    }
}

const usage_entry *usage_entry_at(int index)
{
    if (index < 0 || index >= USAGE_ENTRIES) return nullptr;
    return &entries[(size_t)index];
}

int usage_entry_count() { return filledEntries; }

int usage_index_of(const char *name)
{
    int found = -1, fallback = 0;
    for (int i = 0; i < filledEntries; i++) {
        const std::string &entryName = entries[(size_t)i].name;
        if (name != nullptr && entryName == name) found = i;
        if (entryName == DEFAULT_MATERIAL_NAME) fallback = i;
    }
    // NOTE: a name no material carries is drawn in the default material, as the scene file
    // gives it after a save and a load (and as the export shows it)
    return found >= 0 ? found : fallback;
}

material_record *drawn_material_of(const char *name)
{
    if (filledEntries == 0) return nullptr;
    return entries[(size_t)usage_index_of(name)].material;
}

void add_user(const char *name, scene_slot *slot)
{
    if (slot == nullptr) return;
    usage_entry &entry = entries[(size_t)usage_index_of(name)];
    entry.users.push_back(slot);
    entry.userCount++;
}

void remove_user(const char *name, scene_slot *slot)
{
    if (slot == nullptr) return;
    usage_entry &entry = entries[(size_t)usage_index_of(name)];
    if (entry.userCount == 0) return;
    int nameBase = slot->object.nameBase;
    auto user = std::find_if(entry.users.begin(), entry.users.end(),
                             [nameBase](const scene_slot *s) { return s->object.nameBase == nameBase; });
    if (user == entry.users.end()) return;
    entry.users.erase(user);
    entry.userCount--;
}
