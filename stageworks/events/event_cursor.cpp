/**********************************************************************************************
*
*   event_cursor - where the event editor stands
*
**********************************************************************************************/
#include "event_cursor.h"

#include "events.h"
#include "objects.h"

#include <algorithm>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static EventCursor cursor;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Current event and both offsets to 0
void resetEventCursor()
{
    cursor.currentEvent = 0;
    cursor.conditionOffset = 0;
    cursor.consequenceOffset = 0;
}

int getEditedObject() { return cursor.editedObject; }
void setEditedObject(int index) { cursor.editedObject = index < 0 ? NO_EDITED_OBJECT : index; }
int getCurrentEvent() { return cursor.currentEvent; }
void setCurrentEvent(int value) { cursor.currentEvent = std::clamp(value, 0, EVENTS_PER_SET - 1); }
int getConditionOffset() { return cursor.conditionOffset; }
void setConditionOffset(int value) { cursor.conditionOffset = std::clamp(value, 0, MAX_CONDITION_OFFSET); }
int getConsequenceOffset() { return cursor.consequenceOffset; }
void setConsequenceOffset(int value) { cursor.consequenceOffset = std::max(value, 0); }
int getSelectedConditionRow() { return cursor.selectedConditionRow; }
void setSelectedConditionRow(int value) { cursor.selectedConditionRow = std::clamp(value, 0, CONDITION_ROWS - 1); }
int getSelectedConsequenceRow() { return cursor.selectedConsequenceRow; }
void setSelectedConsequenceRow(int value) { cursor.selectedConsequenceRow = std::clamp(value, 0, CONSEQUENCE_ROWS - 1); }

// Slot of the next condition
int getConditionTargetSlot() { return cursor.conditionOffset + cursor.selectedConditionRow; }

// Chain position of the next consequence
int getConsequenceTargetPosition() { return cursor.consequenceOffset + cursor.selectedConsequenceRow; }

Event *getEditedEvent()
{
    EventSet *set = slot_event_set(getEditedObject());
    if (set == nullptr) return nullptr;
    return &set->events[(size_t)getCurrentEvent()];
}
