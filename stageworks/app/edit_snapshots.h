/**********************************************************************************************
*
*   edit_snapshots - scene objects and the flag table as byte strings, and putting them back
*
*   The edit history keeps what an edit changed as snapshots: one object slot (its whole
*   record: identifier, pose, kind, parameters, drawing flags, scale factors, material names,
*   every face with its vertices, holes and face materials, and its events) or the flag table
*   (its name and value pairs in table order). A snapshot is a compact byte string: two
*   snapshots are equal exactly when what the scene file and the editor see of them is equal.
*   An empty event set and no event set give the same snapshot; the dirty flag, the running
*   state of events and the satisfied marks of conditions are left out.
*
*   Restoring rebuilds fresh records from the bytes, hands them to the object table (which
*   registers every object in the usage table again) and marks the object dirty so that the
*   renderer rebuilds its display list.
*
*   DEPENDENCIES: objects, records, material_usage (scene); events, flags (events)
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The object in slot index with its events; "" for a bad index
std::string encodeObject(int index);

// Replaces the object in slot index (record and events) by the snapshot. keepEventSet: an
// object restored without events still gets an empty event set (the event editor is open on
// it). 1, or 0 (nothing changed) for a bad index or a damaged snapshot
int restoreObject(int index, const std::string &snapshot, int keepEventSet);

// Puts the object of the snapshot back into the table at slot index, moving later slots up;
// 1, or 0 (nothing changed) for a bad index, a full table or a damaged snapshot
int reinsertObject(int index, const std::string &snapshot);

// The flag table: its pairs in table order
std::string encodeFlags();

// Rebuilds the flag table from a snapshot so that it lists the same pairs in the same order;
// 1, or 0 (nothing changed) for a damaged snapshot
int restoreFlagTable(const std::string &snapshot);
