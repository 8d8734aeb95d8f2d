/**********************************************************************************************
*
*   scene_slot - one slot of the scene object table
*
*   The record the object table keeps per object and the material usage table lists: the
*   object record by value, its event set and the cell of its display list. Kept apart from
*   the object table so that the usage table can hold slots without depending on the table
*   that fills it.
*
*   DEPENDENCIES: records (primitiva)
*
**********************************************************************************************/
#pragma once

#include "records.h"

// Defined by the events library; the object table only stores and releases it
struct EventSet;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct scene_slot {
    primitiva object;
    EventSet *eventSet;
    unsigned int *displayList;   // cell holding the first of the object's GL display lists, 0 until the renderer makes them
};
