/**********************************************************************************************
*
*   flags - the scene's global named integers
*
**********************************************************************************************/
#include "flags.h"

#include <cstdio>
#include <new>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static hash_table *flagTable = nullptr;
static FlagSnapshot flagSnapshot;
static SelectedFlag selectedFlag;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Key length of a name (the bytes without a terminator)
static uint32_t keyLength(const std::string &name) { return (uint32_t)name.size(); }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// A new record with a copy of the name and the value
FlagRecord *newFlagRecord(const std::string &name, int value)
{
    FlagRecord *record = new (std::nothrow) FlagRecord();
    if (record == nullptr) return nullptr;
    // NOTE: c_str() cuts the name at its first NUL, so no key ever carries one
    record->name = name.c_str();
    record->value = value;
    return record;
}

// Frees a record that is not stored in the table
void freeFlagRecord(FlagRecord *record) { delete record; }

// Replaces the table with a new empty one
int createFlagTable()
{
    clearFlagTable();
    flagTable = hash_table_create(FLAG_TABLE_BUCKETS);
    return flagTable != nullptr ? 1 : 0;
}

// Frees every record and the table
void clearFlagTable()
{
    if (flagTable == nullptr) return;
    hash_iterator iterator{};
    for (void *data = hash_table_first(flagTable, &iterator, nullptr, nullptr); data != nullptr;
         data = hash_table_next(flagTable, &iterator, nullptr, nullptr)) {
        freeFlagRecord((FlagRecord *)data);
    }
    hash_table_destroy(flagTable);
    flagTable = nullptr;
}

// The table, or null
hash_table *getFlagTable() { return flagTable; }

// Number of flags stored
int getFlagCount() { return (int)hash_table_size(flagTable); }

// Stores the record under its name unless the name is taken
int addFlag(FlagRecord *record)
{
    if (record == nullptr) return 0;
    if (flagTable == nullptr && !createFlagTable()) {
        freeFlagRecord(record);
        return 0;
    }
    int result = hash_table_insert(flagTable, record, keyLength(record->name), record->name.data());
    if (result == HASH_DUPLICATE) {
        printf("\n ERROR : Flag ya introducida anteriormente.");
        fflush(stdout);
    }
    if (result != HASH_OK) {
        freeFlagRecord(record);
        return 0;
    }
    return 1;
}

// The record stored under the name, or null
FlagRecord *findFlag(const std::string &name)
{
    if (flagTable == nullptr) return nullptr;
    return (FlagRecord *)hash_table_get(flagTable, keyLength(name), name.data());
}

// Replaces the record of an existing flag
int setFlag(const std::string &name, int value)
{
    if (findFlag(name) == nullptr) return 0;
    FlagRecord *fresh = newFlagRecord(name, value);
    if (fresh == nullptr) return 0;
    FlagRecord *old = (FlagRecord *)hash_table_replace(flagTable, keyLength(name), name.data(), fresh);
    freeFlagRecord(old);
    return 1;
}

// Removes and frees a flag
int removeFlag(const std::string &name)
{
    if (flagTable == nullptr) return 0;
    FlagRecord *record = (FlagRecord *)hash_table_remove(flagTable, keyLength(name), name.data());
    if (record == nullptr) return 0;
    freeFlagRecord(record);
    return 1;
}

// First record in table order
FlagRecord *firstFlag(hash_iterator *iterator)
{
    if (flagTable == nullptr) return nullptr;
    return (FlagRecord *)hash_table_first(flagTable, iterator, nullptr, nullptr);
}

// Next record in table order
FlagRecord *nextFlag(hash_iterator *iterator)
{
    if (flagTable == nullptr) return nullptr;
    return (FlagRecord *)hash_table_next(flagTable, iterator, nullptr, nullptr);
}

// Record at a position of the table order
FlagRecord *flagAtPosition(int position)
{
    if (position < 0) return nullptr;
    hash_iterator iterator{};
    int index = 0;
    for (FlagRecord *record = firstFlag(&iterator); record != nullptr; record = nextFlag(&iterator), index++) {
        if (index == position) return record;
    }
    return nullptr;
}

// Replaces the snapshot with the current flags
void snapshotFlags()
{
    FlagSnapshot fresh;
    fresh.reserve((size_t)getFlagCount());
    hash_iterator iterator{};
    for (FlagRecord *record = firstFlag(&iterator); record != nullptr; record = nextFlag(&iterator)) {
        fresh.push_back(FlagSnapshotEntry{record->name, record->value});
    }
    flagSnapshot.swap(fresh);
}

// Puts back every snapshotted value
void restoreFlags()
{
    for (const FlagSnapshotEntry &entry : flagSnapshot) setFlag(entry.name, entry.value);
}

const FlagSnapshot &getFlagSnapshot() { return flagSnapshot; }

const SelectedFlag &getSelectedFlag() { return selectedFlag; }
void setSelectedFlag(const std::string &name, int value) { selectedFlag = SelectedFlag{name, value}; }
void clearSelectedFlag() { selectedFlag = SelectedFlag(); }
int hasSelectedFlag() { return selectedFlag.name.empty() ? 0 : 1; }
