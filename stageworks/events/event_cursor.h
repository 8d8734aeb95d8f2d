/**********************************************************************************************
*
*   event_cursor - where the event editor stands
*
*   The object being edited, its current event (0-15, shown as 1-16), the first condition slot
*   and the first chain position shown by the panel's scrolling windows, and the rows picked
*   last in each window. A new condition goes to slot condition offset + selected condition
*   row; a new consequence to position consequence offset + selected consequence row.
*   Setters keep every value in its range.
*
*   DEPENDENCIES: objects (the edited object's event set), events
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int CONDITION_ROWS = 4;            // condition rows the panel shows
constexpr int CONSEQUENCE_ROWS = 8;          // consequence rows the panel shows
constexpr int MAX_CONDITION_OFFSET = 4;      // the window shows slots offset to offset + 3
constexpr int NO_EDITED_OBJECT = -1;

struct EventCursor {
    int editedObject = NO_EDITED_OBJECT;     // object table index
    int currentEvent = 0;
    int conditionOffset = 0;
    int consequenceOffset = 0;
    int selectedConditionRow = 0;
    int selectedConsequenceRow = 0;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Current event and both window offsets back to 0 (the panel opening on an object)
void resetEventCursor();

int getEditedObject();            void setEditedObject(int index);
int getCurrentEvent();            void setCurrentEvent(int value);
int getConditionOffset();         void setConditionOffset(int value);
int getConsequenceOffset();       void setConsequenceOffset(int value);
int getSelectedConditionRow();    void setSelectedConditionRow(int value);
int getSelectedConsequenceRow();  void setSelectedConsequenceRow(int value);

// Where the next condition or consequence goes
int getConditionTargetSlot();
int getConsequenceTargetPosition();

// The current event of the edited object, or null when the object or its event set is missing
struct Event;
Event *getEditedEvent();
