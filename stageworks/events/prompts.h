/**********************************************************************************************
*
*   prompts - the typed-text prompts of the event editor
*
*   A red box over the event panel with a Spanish prompt line and the text typed so far,
*   followed by a blinking bar. A prompt has one to three fields typed one after the other,
*   each ended with Enter; every character passes the filter of its field. Entering an empty
*   field (or only a minus sign) cancels. When the last field is entered the values are parsed
*   and the flag, condition or consequence is stored.
*
*   DEPENDENCIES: app_state (textEntryOpen, editorState), font, frame_pacing (the bar blinks on
*                 the animation clock), redraw, flags, events, event_cursor, OpenGL
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int ENTRY_TEXT_SIZE = 40;
constexpr int ENTRY_FIELDS = 3;
constexpr int NAME_MAX_LENGTH = 25;
constexpr int NUMBER_MAX_LENGTH = 7;

enum EntryFilter { FilterNone = 0, FilterUpperName, FilterSignedNumber, FilterUnsignedNumber };

struct TextEntry {
    std::string text;                       // typed so far, at most 40 characters
    int fieldIndex = 0;
    int fieldCount = 1;
    std::string fieldValues[ENTRY_FIELDS];  // field k is stored in value k - 1
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Opens a prompt: textEntryOpen 1, typed text emptied, field index 0, then editorState = state
void startTextEntry(int state);

// The prompt record
const TextEntry &getTextEntry();

// Number of fields of the prompt of an editor state (1 for states without one)
int promptFieldCount(int state);

// Filter of a typed character in an editor state and field (FilterNone: dropped)
EntryFilter entryFilterFor(int state, int fieldIndex);

// One key for the open prompt through the given filter (Backspace 8 and Enter 13 included)
void typeKey(int key, EntryFilter filter);

// Closes the open prompt without storing anything (as Enter on an empty field does)
void cancelTextEntry();

// A typed character routed by the current editorState and field index
void typePromptCharacter(int key);

// The value of a field: optional minus, then decimal digits
int parseFieldValue(const std::string &text);

// The prompt line of a state for the current field (formatted with the names it shows)
std::string promptLine(int state);

// Builds the display list of the prompt box (start-up, with a GL context)
void buildPromptBox();

// Draws the prompt of the current editorState over the event panel
void drawPrompt();
