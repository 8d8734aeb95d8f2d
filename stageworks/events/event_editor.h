/**********************************************************************************************
*
*   event_editor - the event panel: where the user builds the events of one object
*
*   The event panel (id 7, built by the menus library with its background) gets 33 buttons of
*   its own shape and place: the flags, new-flag and delete-flag buttons, previous and next
*   event, the 4 condition rows (IF, AND) and 8 consequence rows (THEN, AND) with a delete
*   button each, and the arrows of the two scrolling row windows. Below the background a strip
*   carries the 12 row bars and the texts: the selected flag, the header with the object and
*   the event number, and the rows of the current event. Picking a row opens a chooser of
*   kinds; a chosen kind is stored at once or asks for its values through a prompt, the flags
*   chooser or the material chooser.
*
*   Layout and images are plain functions (no GL); building and drawing need the GL context.
*
*   DEPENDENCIES: panels, menus (eventPanel), events, flags, event_cursor, choosers, prompts,
*                 objects (and their materials), app_state, font, OpenGL
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int EVENT_PANEL_BUTTONS = 33;
constexpr int EVENT_PANEL_STATE = 7;

// Buttons of the event panel, by index (rows and their delete buttons run on from the first)
enum EventPanelButton {
    FlagsButton = 0,
    NewFlagButton = 1,
    DeleteFlagButton = 2,
    PreviousEventButton = 3,
    NextEventButton = 4,
    FirstConditionRowButton = 5,        // 5 to 8
    FirstConsequenceRowButton = 9,      // 9 to 16
    FirstConditionDeleteButton = 17,    // 17 to 20
    FirstConsequenceDeleteButton = 21,  // 21 to 28
    ConditionUpButton = 29,
    ConditionDownButton = 30,
    ConsequenceUpButton = 31,
    ConsequenceDownButton = 32
};

// Where a button stands: size, and its anchor (top-left corner) from the panel's top-left
// corner, x to the right and y upwards; a turned button is rotated 180 degrees about it
struct EventButtonPlace {
    float width, height;
    float left, top;
    int turned;
};

// Start position (font coordinates, before the 0.7 scale) and line limit of a text
struct EventTextPlace {
    float x, y, z;
    float limit;
};

//----------------------------------------------------------------------------------
// Public functions: layout and looks (no GL)
//----------------------------------------------------------------------------------

// The place of a button (a zero place outside 0 to 32)
EventButtonPlace eventButtonPlace(int index);

// The up, move and down bitmaps of a button ("" outside 0 to 32)
const char *eventButtonBitmap(int index, int image);

// Top of row bar r (0-3 conditions, 4-11 consequences) from the panel's top-left corner
float eventRowTop(int row);

// The image (IMAGE_UP, IMAGE_MOVE, IMAGE_DOWN) a button shows now
int eventButtonImage(int index);

// 1 when condition row r or consequence row r of the windows can be picked
int conditionRowEnabled(int row);
int consequenceRowEnabled(int row);

// The texts of the page
std::string selectedFlagText();
std::string eventHeaderText();
std::string conditionRowLine(int row);
std::string consequenceRowLine(int row);

// Where they are drawn
EventTextPlace selectedFlagPlace();
EventTextPlace headerPlace();
EventTextPlace conditionRowPlace(int row);
EventTextPlace consequenceRowPlace(int row);

// Where the kind choosers stand beside a picked row
float conditionChooserY(int row);
float consequenceChooserY(int row);

//----------------------------------------------------------------------------------
// Public functions: building and drawing (GL)
//----------------------------------------------------------------------------------

// Adds the 33 buttons to the event panel (after buildEventPanel) with their bitmaps and
// commands, compiles their rectangles, and hands the choosers their commands
void buildEventEditor();

// Releases the row buttons 5 to 16 (every frame while the panel alone is open)
void releaseRowButtons();

// Draws the event panel page: background, strip, buttons, bars and texts (with selection
// names when picking is 1)
void drawEventPage(int picking);

// 1 for the states whose chooser is the only thing a selection pass may hit: the page is
// drawn before the pass starts (8, 10, 11, 19, 20, 22)
int pageDrawnBeforePick(int state);

// Draws the chooser or the prompt of an event editor state over the page
void drawEventOverlay(int state);

//----------------------------------------------------------------------------------
// Public functions: commands
//----------------------------------------------------------------------------------

// Opens the editor on the object in slot index: its event set (made when it has none), the
// cursor reset; 0 when there is no such object or no memory (the editor then stays closed)
int openEventEditorOn(int index);

// Closes the editor: the edited object's event set is dropped when empty
void closeEventEditorSet();

// What a click on button index of the panel does
void eventPanelCommand(int index);

// A picked row of each chooser: the kind for conditions and consequences, the option index
// for flags and materials
void conditionKindChosen(int kind);
void consequenceKindChosen(int kind);
void flagChosen(int index);
void materialChosen(int index);
