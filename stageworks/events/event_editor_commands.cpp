/**********************************************************************************************
*
*   event_editor_commands - what the event panel's buttons and the editor's choosers do
*
*   The panel's buttons step through the flags and the object's 16 events, open the kind
*   choosers for a row, delete rows and scroll the two row windows. A chosen kind is stored
*   at once (ACTIVATED, AGAIN), or asks for its values through a prompt, the flags chooser or
*   the material chooser; the target is always the selected row of its window.
*
**********************************************************************************************/
#include "event_editor.h"

#include "app_state.h"
#include "choosers.h"
#include "event_cursor.h"
#include "events.h"
#include "flags.h"
#include "menus.h"
#include "objects.h"
#include "prompts.h"

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
namespace {

// Editor states that open from the panel
const int FLAGS_STATE = 8;
const int NEW_FLAG_STATE = 9;
const int CONDITION_KIND_STATE = 10;
const int CONSEQUENCE_KIND_STATE = 11;
const int DISTANCE_MORE_STATE = 12;
const int DISTANCE_LESS_STATE = 13;
const int FLAG_CONDITION_VALUE_STATE = 14;
const int MOVE_STATE = 15;
const int ROTATE_OBJECT_STATE = 16;
const int LOOP_STATE = 17;
const int ROTATE_MATERIAL_STATE = 18;
const int MATERIAL_FOR_EVENT_STATE = 19;
const int FLAG_FOR_CONSEQUENCE_STATE = 20;
const int FLAG_CONSEQUENCE_VALUE_STATE = 21;
const int FLAG_FOR_CONDITION_STATE = 22;
const int MATERIAL_FOR_OBJECT_STATE = 6;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Both windows back to their first rows
void resetWindows()
{
    setConditionOffset(0);
    setConsequenceOffset(0);
}

// Presses one row button of the panel
void pressButton(int index)
{
    ButtonPanel *panel = eventPanel();
    if (panel != nullptr && index >= 0 && index < panel->buttonCount) panel->buttons[(size_t)index].pressed = 1;
}

// A condition row: the kind chooser beside it
void pickConditionRow(int row)
{
    if (!conditionRowEnabled(row)) return;
    setChooserY(conditionChooser(), conditionChooserY(row));
    pressButton(FirstConditionRowButton + row);
    setSelectedConditionRow(row);
    setEditorState(CONDITION_KIND_STATE);
}

// A consequence row: the kind chooser beside it
void pickConsequenceRow(int row)
{
    if (!consequenceRowEnabled(row)) return;
    setChooserY(consequenceChooser(), consequenceChooserY(row));
    pressButton(FirstConsequenceRowButton + row);
    setSelectedConsequenceRow(row);
    setEditorState(CONSEQUENCE_KIND_STATE);
}

// The delete button of a condition row
void deleteConditionRow(int row)
{
    Event *event = getEditedEvent();
    int slot = getConditionOffset() + row;
    if (event == nullptr || slot >= CONDITIONS_PER_EVENT || event->conditions[(size_t)slot].kind == cEmpty) return;
    removeCondition(event, slot);
}

// The delete button of a consequence row
void deleteConsequenceRow(int row)
{
    Event *event = getEditedEvent();
    if (event != nullptr) removeConsequence(event, getConsequenceOffset() + row);
}

// The window arrows
void scrollWindow(int index)
{
    const Event *event = getEditedEvent();
    switch (index) {
    case ConditionUpButton:
        if (getConditionOffset() > 0) setConditionOffset(getConditionOffset() - 1);
        break;
    case ConditionDownButton:
        if (getConditionOffset() < MAX_CONDITION_OFFSET) setConditionOffset(getConditionOffset() + 1);
        break;
    case ConsequenceUpButton:
        if (getConsequenceOffset() > 0) setConsequenceOffset(getConsequenceOffset() - 1);
        break;
    case ConsequenceDownButton:
        if (event != nullptr && event->consequenceCount >= getConsequenceOffset() + CONSEQUENCE_ROWS)
            setConsequenceOffset(getConsequenceOffset() + 1);
        break;
    default: break;
    }
}

// The flags chooser, rebuilt from the table, in an editor state
void openFlagChooser(int state)
{
    buildFlagChooser();
    setEditorState(state);
}

// Stores a condition in the selected row's slot
void storeCondition(int kind, void *value)
{
    Event *event = getEditedEvent();
    if (event == nullptr) {
        freeConditionValue(kind, value);
        return;
    }
    setCondition(event, getConditionTargetSlot(), kind, value);
}

// Stores a consequence at the selected row's position
void storeConsequence(int kind, void *value)
{
    Event *event = getEditedEvent();
    if (event == nullptr) {
        freeConsequenceValue(kind, value);
        return;
    }
    setConsequence(event, getConsequenceTargetPosition(), kind, value);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int openEventEditorOn(int index)
{
    resetEventCursor();
    scene_slot *slot = object_slot(index);
    if (slot == nullptr || openEventSet(slot->eventSet) == nullptr) {
        setEditedObject(NO_EDITED_OBJECT);
        return 0;
    }
    setEditedObject(index);
    return 1;
}

void closeEventEditorSet()
{
    scene_slot *slot = object_slot(getEditedObject());
    if (slot != nullptr) closeEventSet(slot->eventSet);
    setEditedObject(NO_EDITED_OBJECT);
}

void eventPanelCommand(int index)
{
    switch (index) {
    case FlagsButton:
        if (getFlagCount() > 0) openFlagChooser(FLAGS_STATE);
        return;
    case NewFlagButton:
        if (getFlagCount() < MAX_FLAGS) startTextEntry(NEW_FLAG_STATE);
        return;
    case DeleteFlagButton:
        if (getFlagCount() > 0) {
            removeFlag(getSelectedFlag().name);
            clearSelectedFlag();
        }
        return;
    case PreviousEventButton:
        if (getCurrentEvent() > 0) {
            resetWindows();
            setCurrentEvent(getCurrentEvent() - 1);
        }
        return;
    case NextEventButton:
        if (getCurrentEvent() < EVENTS_PER_SET - 1) {
            resetWindows();
            setCurrentEvent(getCurrentEvent() + 1);
        }
        return;
    default: break;
    }
    if (index >= FirstConditionRowButton && index < FirstConsequenceRowButton)
        pickConditionRow(index - FirstConditionRowButton);
    else if (index >= FirstConsequenceRowButton && index < FirstConditionDeleteButton)
        pickConsequenceRow(index - FirstConsequenceRowButton);
    else if (index >= FirstConditionDeleteButton && index < FirstConsequenceDeleteButton)
        deleteConditionRow(index - FirstConditionDeleteButton);
    else if (index >= FirstConsequenceDeleteButton && index < ConditionUpButton)
        deleteConsequenceRow(index - FirstConsequenceDeleteButton);
    else
        scrollWindow(index);
}

void conditionKindChosen(int kind)
{
    switch (kind) {
    case cActivate:
        storeCondition(cActivate, newActivateValue());
        setEditorState(EVENT_PANEL_STATE);
        break;
    case cDistanceMY: startTextEntry(DISTANCE_MORE_STATE); break;
    case cDistanceMN: startTextEntry(DISTANCE_LESS_STATE); break;
    case cFlag: openFlagChooser(FLAG_FOR_CONDITION_STATE); break;
    default: break;
    }
}

void consequenceKindChosen(int kind)
{
    switch (kind) {
    case cMoveObj: startTextEntry(MOVE_STATE); break;
    case cRotateObj: startTextEntry(ROTATE_OBJECT_STATE); break;
    case cChangeMat: setEditorState(MATERIAL_FOR_EVENT_STATE); break;
    case cRotateMat: startTextEntry(ROTATE_MATERIAL_STATE); break;
    case cFlagEqual: openFlagChooser(FLAG_FOR_CONSEQUENCE_STATE); break;
    case cLoop: startTextEntry(LOOP_STATE); break;
    case cAgain:
        storeConsequence(cAgain, newAgainValue());
        setEditorState(EVENT_PANEL_STATE);
        break;
    default: break;
    }
}

void flagChosen(int index)
{
    const FlagRecord *flag = flagAtPosition(index);
    if (flag == nullptr) return;
    setSelectedFlag(flag->name, flag->value);
    switch (getEditorState()) {
    case FLAGS_STATE: setEditorState(EVENT_PANEL_STATE); break;
    case FLAG_FOR_CONSEQUENCE_STATE: startTextEntry(FLAG_CONSEQUENCE_VALUE_STATE); break;
    case FLAG_FOR_CONDITION_STATE: startTextEntry(FLAG_CONDITION_VALUE_STATE); break;
    default: break;
    }
}

void materialChosen(int index)
{
    const Chooser &chooser = materialChooser();
    if (index < 0 || index >= (int)chooser.options.size()) return;
    const std::string name = chooser.options[(size_t)index].text;
    switch (getEditorState()) {
    case MATERIAL_FOR_OBJECT_STATE:
        if (getSelectedObject() != nullptr) assign_material(getSelectedIndex(), name.c_str());
        break;
    case MATERIAL_FOR_EVENT_STATE:
        storeConsequence(cChangeMat, newChangeMatValue(name));
        setEditorState(EVENT_PANEL_STATE);
        break;
    default: break;
    }
}
