/**********************************************************************************************
*
*   flags - the scene's global named integers
*
*   FlagTable is one 256-bucket string-keyed hash table from flag name to FlagRecord; the
*   table owns its records. Iteration follows the hash table's order, which sets the rows of
*   the flags chooser, the order of the saved Flags section and the order of the snapshot
*   taken when play mode starts. Also kept here: the snapshot itself and selectedFlag, the
*   copy of the flag last picked in the event editor's flags chooser.
*
*   DEPENDENCIES: hash_table (sw_scene)
*
**********************************************************************************************/
#pragma once

#include "hash_table.h"

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int FLAG_TABLE_BUCKETS = 256;
constexpr int MAX_FLAGS = 256;              // the editor's new-flag command stops here
constexpr int FLAG_NAME_MAX_TYPED = 25;     // longest name the new-flag prompt accepts
constexpr int FLAG_NAME_BUFFER_SIZE = 30;   // a typed name always fits this zero-filled buffer

// One flag; the table owns it, and it owns its name
struct FlagRecord {
    std::string name;
    int value = 0;
};

// One pair of the snapshot taken at play start
struct FlagSnapshotEntry {
    std::string name;
    int value = 0;
};

typedef std::vector<FlagSnapshotEntry> FlagSnapshot;

// Copy of the flag last picked in the flags chooser (not a reference into the table)
struct SelectedFlag {
    std::string name;   // empty when no flag is selected
    int value = 0;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// A new record with a copy of the name (cut at its first NUL) and the value; null without memory
FlagRecord *newFlagRecord(const std::string &name, int value);

// Frees a record that is not stored in the table
void freeFlagRecord(FlagRecord *record);

// Replaces the table (and every record of the old one) with a new empty one; 1 on success
int createFlagTable();

// Frees every record and the table itself; afterwards there is no table
void clearFlagTable();

// The table, or null before createFlagTable
hash_table *getFlagTable();

// Number of flags stored
int getFlagCount();

// Takes the record: stores it under its name and returns 1, or prints the duplicate-flag
// message, frees it and returns 0. Creates the table when there is none.
int addFlag(FlagRecord *record);

// The record stored under the name, or null. Valid until that flag is set, removed or cleared.
FlagRecord *findFlag(const std::string &name);

// Replaces the stored record of an existing flag with a fresh one holding the value (the old
// record is freed); 1 when set, 0 when there is no such flag (nothing is ever created)
int setFlag(const std::string &name, int value);

// Removes and frees the flag of that name; 1 when removed, 0 when absent
int removeFlag(const std::string &name);

// Iteration in table order: the first or next record, null at the end
FlagRecord *firstFlag(hash_iterator *iterator);
FlagRecord *nextFlag(hash_iterator *iterator);

// The record at a position of the table order (a chooser row), or null
FlagRecord *flagAtPosition(int position);

// Replaces the snapshot with one pair per flag, in table order
void snapshotFlags();

// setFlag with every pair of the snapshot
void restoreFlags();

// The current snapshot
const FlagSnapshot &getFlagSnapshot();

// The selected flag copy
const SelectedFlag &getSelectedFlag();
void setSelectedFlag(const std::string &name, int value);
void clearSelectedFlag();
int hasSelectedFlag();
