/**********************************************************************************************
*
*   prompts - the typed-text prompts of the event editor
*
**********************************************************************************************/
#include "prompts.h"

#include "app_state.h"
#include "event_cursor.h"
#include "events.h"
#include "flags.h"
#include "font.h"
#include "frame_pacing.h"
#include "redraw.h"

#include <GL/gl.h>
#include <cstdio>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int KEY_BACKSPACE = 8;
static const int KEY_ENTER = 13;
static const int EVENT_PANEL_STATE = 7;
// The bar after the typed text shows for the second half of each blink period (40 frames of
// the 62 fps cap each half)
static const int BLINK_HALF_MS = 640;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static TextEntry entry;
static unsigned int promptBoxList = 0;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
static bool isDigit(int key) { return key >= '0' && key <= '9'; }

// Appends key to the typed text when the filter accepts it
static void applyFilter(int key, EntryFilter filter)
{
    std::string &text = entry.text;
    switch (filter) {
    case FilterUpperName:
        if (text.size() >= NAME_MAX_LENGTH) return;
        if (key >= 'a' && key <= 'z') text += (char)(key - 'a' + 'A');
        else if (key >= 'A' && key <= 'Z') text += (char)key;
        return;
    case FilterUnsignedNumber:
        if (!isDigit(key) || text.size() >= NUMBER_MAX_LENGTH || text == "0") return;
        text += (char)key;
        return;
    case FilterSignedNumber: {
        bool negative = !text.empty() && text[0] == '-';
        if (key == '-') {
            if (text.empty()) text += '-';
            return;
        }
        if (!isDigit(key)) return;
        if (text == "0" || text == "-0") return;
        if (key == '0' && text == "-") return;
        if (text.size() >= (size_t)(negative ? NUMBER_MAX_LENGTH + 1 : NUMBER_MAX_LENGTH)) return;
        text += (char)key;
        return;
    }
    case FilterNone:
        return;
    }
}

// Ends the prompt and returns to the event panel
static void closeEntry()
{
    setTextEntryOpen(0);
    entry.fieldIndex = 0;
    setEditorState(EVENT_PANEL_STATE);
}

// Stores what the prompt of the current state asked for
static void commitEntry()
{
    const std::string *v = entry.fieldValues;
    int state = getEditorState();
    if (state == 9) {
        addFlag(newFlagRecord(v[0], parseFieldValue(v[1])));
        return;
    }
    Event *event = getEditedEvent();
    if (event == nullptr) return;
    int slot = getConditionTargetSlot();
    int position = getConsequenceTargetPosition();
    const std::string flagName = getSelectedFlag().name;
    switch (state) {
    case 12: setCondition(event, slot, cDistanceMY, newDistanceValue(parseFieldValue(v[0]))); break;
    case 13: setCondition(event, slot, cDistanceMN, newDistanceValue(parseFieldValue(v[0]))); break;
    case 14: setCondition(event, slot, cFlag, newFlagValue(flagName, parseFieldValue(v[0]))); break;
    case 15:
        setConsequence(event, position, cMoveObj,
                       newMoveValue(parseFieldValue(v[0]), parseFieldValue(v[1]), parseFieldValue(v[2])));
        break;
    case 16:
        setConsequence(event, position, cRotateObj,
                       newRotateValue(parseFieldValue(v[0]), parseFieldValue(v[1]), parseFieldValue(v[2])));
        break;
    case 17: setConsequence(event, position, cLoop, newLoopValue(parseFieldValue(v[0]))); break;
    case 18:
        setConsequence(event, position, cRotateMat,
                       newRotateValue(parseFieldValue(v[0]), parseFieldValue(v[1]), parseFieldValue(v[2])));
        break;
    case 21: setConsequence(event, position, cFlagEqual, newFlagValue(flagName, parseFieldValue(v[0]))); break;
    default: break;
    }
}

// One flat rectangle of the prompt box
static void rectangle(float r, float g, float b, float x0, float x1, float y0, float y1)
{
    glColor3f(r, g, b);
    glBegin(GL_QUADS);
    glVertex3f(x0, y1, 0.0f);
    glVertex3f(x1, y1, 0.0f);
    glVertex3f(x1, y0, 0.0f);
    glVertex3f(x0, y0, 0.0f);
    glEnd();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void startTextEntry(int state)
{
    setTextEntryOpen(1);
    entry.text.clear();
    entry.fieldIndex = 0;
    entry.fieldCount = promptFieldCount(state);
    setEditorState(state);
}

const TextEntry &getTextEntry() { return entry; }

int promptFieldCount(int state)
{
    switch (state) {
    case 9: return 2;
    case 15: case 16: case 18: return 3;
    default: return 1;
    }
}

EntryFilter entryFilterFor(int state, int fieldIndex)
{
    switch (state) {
    case 9:
        if (fieldIndex == 0) return FilterUpperName;
        return fieldIndex == 1 ? FilterSignedNumber : FilterNone;
    case 12: case 13: case 17: return FilterUnsignedNumber;
    case 14: case 15: case 16: case 18: case 21: return FilterSignedNumber;
    default: return FilterNone;
    }
}

void typeKey(int key, EntryFilter filter)
{
    if (key == KEY_BACKSPACE) {
        if (!entry.text.empty()) entry.text.pop_back();
        return;
    }
    if (key != KEY_ENTER) {
        applyFilter(key, filter);
        return;
    }
    if (entry.text.empty() || entry.text == "-") {
        closeEntry();
        return;
    }
    // NOTE: the field count follows the state even if the prompt was never drawn
    entry.fieldCount = promptFieldCount(getEditorState());
    if (entry.fieldIndex < ENTRY_FIELDS) entry.fieldValues[entry.fieldIndex] = entry.text;
    entry.fieldIndex++;
    if (entry.fieldIndex >= entry.fieldCount) {
        commitEntry();
        closeEntry();
        return;
    }
    entry.text.clear();
}

void typePromptCharacter(int key)
{
    EntryFilter filter = entryFilterFor(getEditorState(), entry.fieldIndex);
    if (filter == FilterNone) return;
    typeKey(key, filter);
}

int parseFieldValue(const std::string &text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        i++;
    }
    long value = 0;
    for (; i < text.size() && isDigit(text[i]) && value < 100000000L; i++) value = value * 10 + (text[i] - '0');
    return (int)(negative ? -value : value);
}

std::string promptLine(int state)
{
    char line[160];
    const char *flag = getSelectedFlag().name.c_str();
    switch (state) {
    case 9:
        if (entry.fieldIndex == 0) return "Introduzca el nombre de la nueva FLAG :";
        snprintf(line, sizeof line, "Introduzca el valor inicial de %s :", entry.fieldValues[0].c_str());
        return line;
    case 12: return "Introduzca el valor de la distancia MAYOR a cumplir :";
    case 13: return "Introduzca el valor de la distancia MENOR a cumplir :";
    case 14:
        snprintf(line, sizeof line, "Introduzca el valor de la Flag %s a cumplir :", flag);
        return line;
    case 15: {
        static const char *const axes[] = {"X", "Y", "Z"};
        snprintf(line, sizeof line, "Introduzca el desplazamiento en el eje %s :", axes[entry.fieldIndex % 3]);
        return line;
    }
    case 16: case 18: {
        static const char *const angles[] = {"Yaw", "Pitch", "Roll"};
        snprintf(line, sizeof line, "Introduzca la rotacion en %s :", angles[entry.fieldIndex % 3]);
        return line;
    }
    case 17: return "Introduzca el numero de repeticiones del Loop (0 = infinito) :";
    case 21:
        snprintf(line, sizeof line, "Introduzca el nuevo valor de la FLAG %s :", flag);
        return line;
    default: return "";
    }
}

void buildPromptBox()
{
    if (promptBoxList != 0) glDeleteLists(promptBoxList, 1);
    promptBoxList = glGenLists(1);
    glNewList(promptBoxList, GL_COMPILE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    rectangle(0.1f, 0.1f, 0.1f, -15.75f, 15.75f, -1.0f, 2.0f);
    rectangle(0.8f, 0.0f, 0.0f, -15.3f, 15.3f, -0.75f, 1.75f);
    rectangle(0.3f, 0.0f, 0.0f, -15.0f, 15.0f, -0.55f, 0.55f);
    glEndList();
}

void drawPrompt()
{
    entry.fieldCount = promptFieldCount(getEditorState());
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -33.0f);
    if (promptBoxList != 0) glCallList(promptBoxList);

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    // NOTE: the bar blinks on the clock, not by frames: frames are drawn only when something
    // changes, and its next change is one of them
    int phase = elapsedMs() % (2 * BLINK_HALF_MS);
    if (phase < 0) phase += 2 * BLINK_HALF_MS;
    bool barShown = phase >= BLINK_HALF_MS;
    requestRedraw(BLINK_HALF_MS - phase % BLINK_HALF_MS);
    if (textIsActive()) {
        glColor3f(1.0f, 1.0f, 1.0f);
        glScalef(0.7f, 0.7f, 1.0f);
        std::string line = promptLine(getEditorState());
        drawText(line.c_str(), -43.0f, 4.5f, -33.9f, 27.0f);
        std::string typed = entry.text;
        if (barShown) typed += "|";
        drawText(typed.c_str(), -42.0f, 1.5f, -33.9f, 25.0f);
    }
    glPopMatrix();
}

void cancelTextEntry()
{
    if (getTextEntryOpen() == 0) return;
    closeEntry();
}
