/**********************************************************************************************
*
*   event_editor - the event panel: layout, button images, texts and drawing
*
**********************************************************************************************/
#include "event_editor.h"

#include "app_state.h"
#include "choosers.h"
#include "event_cursor.h"
#include "events.h"
#include "flags.h"
#include "font.h"
#include "menus.h"
#include "objects.h"
#include "panels.h"
#include "prompts.h"

#include <GL/gl.h>

#include <array>
#include <cstdio>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
namespace {

// Bitmaps of a button family: up, move, down
typedef std::array<const char *, 3> Bitmaps;

const Bitmaps FLAGS_BITMAPS = {"Data/flags1.bmp", "Data/flags2.bmp", "Data/flags3.bmp"};
const Bitmaps NEW_FLAG_BITMAPS = {"Data/nuevo1.bmp", "Data/nuevo2.bmp", "Data/nuevo3.bmp"};
const Bitmaps DELETE_FLAG_BITMAPS = {"Data/borrar1.bmp", "Data/borrar2.bmp", "Data/borrar3.bmp"};
const Bitmaps EVENT_STEP_BITMAPS = {"Data/nextEvent1.bmp", "Data/nextEvent2.bmp", "Data/nextEvent3.bmp"};
const Bitmaps IF_BITMAPS = {"Data/IF.bmp", "Data/IF3.bmp", "Data/IF2.bmp"};
const Bitmaps AND_BITMAPS = {"Data/AND.bmp", "Data/AND3.bmp", "Data/AND2.bmp"};
const Bitmaps THEN_BITMAPS = {"Data/THEN.bmp", "Data/THEN3.bmp", "Data/THEN2.bmp"};
const Bitmaps DELETE_ROW_BITMAPS = {"Data/X.bmp", "Data/X3.bmp", "Data/X2.bmp"};
const Bitmaps ARROW_BITMAPS = {"Data/Arriba2.bmp", "Data/Arriba3.bmp", "Data/Arriba4.bmp"};

// Tops of the first condition row and the first consequence row; rows are 1 apart
const float CONDITION_ROWS_TOP = -6.3f;
const float CONSEQUENCE_ROWS_TOP = -10.65f;
const float ROW_STEP = 1.0f;

// Row bars: left edge, drop below the row's top, size, colour
const float BAR_LEFT = 2.8f;
const float BAR_DROP = 0.035f;
const float BAR_WIDTH = 24.1f;
const float BAR_HEIGHT = 0.9f;
const std::array<float, 3> BAR_COLOUR = {0.071f, 0.267f, 0.1398f};

// The strip below the background that carries the rows
const float STRIP_HEIGHT = 12.85f;
const std::array<float, 3> STRIP_COLOUR = {0.121f, 0.117f, 0.0898f};

// Layers in front of the panel: the strip, then buttons and bars
const float STRIP_Z = 0.5f;
const float BUTTON_Z = 0.7f;

// Texts: scale, depth and line limits; rows 2.88 font units apart
const float TEXT_SCALE = 0.7f;
const float TEXT_Z = -33.9f;
const float ROW_TEXT_STEP = 2.88f;

// Kind choosers beside the picked row
const float CONDITION_CHOOSER_TOP = 1.45f;
const float CONSEQUENCE_CHOOSER_TOP = -9.1f;
const float CHOOSER_ROW_STEP = 1.98f;
const float CONSEQUENCE_CHOOSER_LOW = -19.0f;
const int LAST_FOLLOWING_ROW = 5;

// Text of an empty selected flag
const char *const NO_FLAG_TEXT = "- Ninguna Seleccionada -";

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

bool validButton(int index) { return index >= 0 && index < EVENT_PANEL_BUTTONS; }

// The bitmaps of a button's family
const Bitmaps &bitmapsOf(int index)
{
    if (index == FlagsButton) return FLAGS_BITMAPS;
    if (index == NewFlagButton) return NEW_FLAG_BITMAPS;
    if (index == DeleteFlagButton) return DELETE_FLAG_BITMAPS;
    if (index <= NextEventButton) return EVENT_STEP_BITMAPS;
    if (index == FirstConditionRowButton) return IF_BITMAPS;
    if (index == FirstConsequenceRowButton) return THEN_BITMAPS;
    if (index < FirstConditionDeleteButton) return AND_BITMAPS;
    if (index < ConditionUpButton) return DELETE_ROW_BITMAPS;
    return ARROW_BITMAPS;
}

// 1 when the slot of the condition window row holds a condition
bool conditionRowFilled(int row)
{
    const Event *event = getEditedEvent();
    int slot = getConditionOffset() + row;
    return event != nullptr && slot >= 0 && slot < CONDITIONS_PER_EVENT && event->conditions[(size_t)slot].kind != cEmpty;
}

// 1 when the chain position of the consequence window row holds a link
bool consequenceRowFilled(int row)
{
    const Event *event = getEditedEvent();
    return event != nullptr && consequenceAt(event, getConsequenceOffset() + row) != nullptr;
}

// 1 when a window arrow can move its window
bool arrowCanAct(int index)
{
    const Event *event = getEditedEvent();
    switch (index) {
    case ConditionUpButton: return getConditionOffset() > 0;
    case ConditionDownButton: return getConditionOffset() < MAX_CONDITION_OFFSET;
    case ConsequenceUpButton: return getConsequenceOffset() > 0;
    case ConsequenceDownButton:
        return event != nullptr && event->consequenceCount >= getConsequenceOffset() + CONSEQUENCE_ROWS;
    default: return false;
    }
}

// A flat rectangle from its top-left corner, in the current colour
void flatRectangle(float left, float top, float width, float height, float z)
{
    glBegin(GL_QUADS);
    glVertex3f(left, top, z);
    glVertex3f(left + width, top, z);
    glVertex3f(left + width, top - height, z);
    glVertex3f(left, top - height, z);
    glEnd();
}

// Compiles one image of a button: its rectangle from the anchor, textured in white
void compileButtonImage(unsigned int list, int name, const EventButtonPlace &place, int texture)
{
    glNewList(list, GL_COMPILE);
    beginCardImage(name, texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f); glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f); glVertex3f(place.width, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f); glVertex3f(place.width, -place.height, 0.0f);
    glTexCoord2f(0.0f, 0.0f); glVertex3f(0.0f, -place.height, 0.0f);
    glEnd();
    glEndList();
}

// Draws a button at its anchor with the image of the moment
void drawButton(const ButtonPanel &panel, int index)
{
    const PanelButton &button = panel.buttons[(size_t)index];
    unsigned int list = button.lists[(size_t)eventButtonImage(index)];
    if (list == 0) return;
    EventButtonPlace place = eventButtonPlace(index);
    glPushMatrix();
    glTranslatef(place.left, place.top, BUTTON_Z);
    if (place.turned) glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    glCallList(list);
    glPopMatrix();
}

// The bar of a row, under the panel's background name
void drawRowBar(int row, int backgroundName)
{
    glLoadName((GLuint)backgroundName);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor3f(BAR_COLOUR[0], BAR_COLOUR[1], BAR_COLOUR[2]);
    flatRectangle(BAR_LEFT, eventRowTop(row) - BAR_DROP, BAR_WIDTH, BAR_HEIGHT, BUTTON_Z);
}

// One text at its place
void drawTextAt(const std::string &text, const EventTextPlace &place)
{
    drawText(text.c_str(), place.x, place.y, place.z, place.limit);
}

// Every text of the page, white, in the panel's frame scaled by 0.7
void drawPageTexts()
{
    beginText();
    if (!textIsActive()) return;
    glPushMatrix();
    glScalef(TEXT_SCALE, TEXT_SCALE, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawTextAt(selectedFlagText(), selectedFlagPlace());
    drawTextAt(eventHeaderText(), headerPlace());
    for (int row = 0; row < CONDITION_ROWS; row++) {
        std::string line = conditionRowLine(row);
        if (!line.empty()) drawTextAt(line, conditionRowPlace(row));
    }
    for (int row = 0; row < CONSEQUENCE_ROWS; row++) drawTextAt(consequenceRowLine(row), consequenceRowPlace(row));
    glPopMatrix();
    endText();
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions: layout and looks
//----------------------------------------------------------------------------------
EventButtonPlace eventButtonPlace(int index)
{
    if (!validButton(index)) return {0.0f, 0.0f, 0.0f, 0.0f, 0};
    switch (index) {
    case FlagsButton: return {3.0f, 1.0f, 2.0f, -1.56f, 0};
    case NewFlagButton: return {3.0f, 1.0f, 21.5f, -1.56f, 0};
    case DeleteFlagButton: return {3.0f, 1.0f, 25.0f, -1.56f, 0};
    case PreviousEventButton: return {1.2f, 1.2f, 21.5f, -4.36f, 0};
    case NextEventButton: return {1.2f, 1.2f, 24.4f, -5.56f, 1};
    case FirstConditionRowButton: return {2.4f, 1.0f, 0.3f, CONDITION_ROWS_TOP, 0};
    case FirstConsequenceRowButton: return {2.4f, 1.0f, 0.3f, CONSEQUENCE_ROWS_TOP, 0};
    case ConditionUpButton: return {1.3f, 1.9f, 28.16f, -6.275f, 0};
    case ConditionDownButton: return {1.3f, 1.9f, 29.46f, -10.25f, 1};
    case ConsequenceUpButton: return {1.3f, 3.9f, 28.16f, -10.65f, 0};
    case ConsequenceDownButton: return {1.3f, 3.9f, 29.46f, -18.56f, 1};
    default: break;
    }
    if (index < FirstConsequenceRowButton) return {2.0f, 1.0f, 0.7f, eventRowTop(index - FirstConditionRowButton), 0};
    if (index < FirstConditionDeleteButton)
        return {2.0f, 1.0f, 0.7f, eventRowTop(CONDITION_ROWS + index - FirstConsequenceRowButton), 0};
    if (index < FirstConsequenceDeleteButton) return {1.0f, 1.0f, 27.0f, eventRowTop(index - FirstConditionDeleteButton), 0};
    return {1.0f, 1.0f, 27.0f, eventRowTop(CONDITION_ROWS + index - FirstConsequenceDeleteButton), 0};
}

const char *eventButtonBitmap(int index, int image)
{
    if (!validButton(index) || image < IMAGE_UP || image > IMAGE_DOWN) return "";
    return bitmapsOf(index)[(size_t)image];
}

float eventRowTop(int row)
{
    if (row < CONDITION_ROWS) return CONDITION_ROWS_TOP - ROW_STEP * (float)row;
    return CONSEQUENCE_ROWS_TOP - ROW_STEP * (float)(row - CONDITION_ROWS);
}

int conditionRowEnabled(int row)
{
    const Event *event = getEditedEvent();
    return event != nullptr && event->conditionCount >= getConditionOffset() + row ? 1 : 0;
}

int consequenceRowEnabled(int row)
{
    const Event *event = getEditedEvent();
    return event != nullptr && event->consequenceCount >= getConsequenceOffset() + row ? 1 : 0;
}

int eventButtonImage(int index)
{
    const ButtonPanel *panel = eventPanel();
    if (panel != nullptr && index >= 0 && index < panel->buttonCount && panel->buttons[(size_t)index].pressed)
        return IMAGE_DOWN;
    const bool hovered = getPickName() == EVENT_PANEL_STATE * 100 + index + 1;
    bool lit = hovered;
    if (index >= FirstConditionRowButton && index < FirstConsequenceRowButton)
        lit = hovered && conditionRowEnabled(index - FirstConditionRowButton);
    else if (index >= FirstConsequenceRowButton && index < FirstConditionDeleteButton)
        lit = hovered && consequenceRowEnabled(index - FirstConsequenceRowButton);
    else if (index >= FirstConditionDeleteButton && index < FirstConsequenceDeleteButton)
        lit = hovered && conditionRowFilled(index - FirstConditionDeleteButton);
    else if (index >= FirstConsequenceDeleteButton && index < ConditionUpButton)
        lit = hovered && consequenceRowFilled(index - FirstConsequenceDeleteButton);
    else if (index >= ConditionUpButton && !arrowCanAct(index))
        return IMAGE_DOWN;
    return lit ? IMAGE_MOVE : IMAGE_UP;
}

std::string selectedFlagText()
{
    if (!hasSelectedFlag()) return NO_FLAG_TEXT;
    char text[96];
    snprintf(text, sizeof text, "%s , V: %d", getSelectedFlag().name.c_str(), getSelectedFlag().value);
    return text;
}

std::string eventHeaderText()
{
    const primitiva *object = object_at(getEditedObject());
    char text[96];
    snprintf(text, sizeof text, "Objeto: %d  ,  Evento Numero: %d", object ? object->nameBase / NAME_BASE_STEP : 0,
             getCurrentEvent() + 1);
    return text;
}

std::string conditionRowLine(int row)
{
    int slot = getConditionOffset() + row;
    if (row < 0 || row >= CONDITION_ROWS || slot >= CONDITIONS_PER_EVENT) return "";
    const Event *event = getEditedEvent();
    return conditionRowText(event != nullptr ? &event->conditions[(size_t)slot] : nullptr);
}

std::string consequenceRowLine(int row)
{
    if (row < 0 || row >= CONSEQUENCE_ROWS) return "";
    const Event *event = getEditedEvent();
    return consequenceRowText(event != nullptr ? consequenceAt(event, getConsequenceOffset() + row) : nullptr);
}

EventTextPlace selectedFlagPlace() { return {-28.0f, 14.2f, TEXT_Z, 7.0f}; }
EventTextPlace headerPlace() { return {-36.0f, 5.85f, TEXT_Z, 14.0f}; }
EventTextPlace conditionRowPlace(int row) { return {-34.0f, 0.5f - ROW_TEXT_STEP * (float)row, TEXT_Z, 14.0f}; }
EventTextPlace consequenceRowPlace(int row) { return {-34.0f, -12.0f - ROW_TEXT_STEP * (float)row, TEXT_Z, 14.0f}; }

float conditionChooserY(int row) { return CONDITION_CHOOSER_TOP - CHOOSER_ROW_STEP * (float)row; }

float consequenceChooserY(int row)
{
    return row <= LAST_FOLLOWING_ROW ? CONSEQUENCE_CHOOSER_TOP - CHOOSER_ROW_STEP * (float)row : CONSEQUENCE_CHOOSER_LOW;
}

//----------------------------------------------------------------------------------
// Public functions: building and drawing
//----------------------------------------------------------------------------------
void buildEventEditor()
{
    ButtonPanel *panel = eventPanel();
    if (panel == nullptr) return;
    // NOTE: built once; a second call only recompiles the rectangles
    if (panel->buttonCount == 0) {
        for (int i = 0; i < EVENT_PANEL_BUTTONS; i++) {
            PanelButton *button = addPanelButton(panel, eventButtonBitmap(i, IMAGE_UP), eventButtonBitmap(i, IMAGE_MOVE),
                                                 eventButtonBitmap(i, IMAGE_DOWN));
            if (button == nullptr) break;
            button->command = eventPanelCommand;
            button->argument = i;
        }
    }
    for (int i = 0; i < panel->buttonCount; i++) {
        PanelButton &button = panel->buttons[(size_t)i];
        for (size_t image = 0; image < button.lists.size(); image++) {
            if (button.lists[image] != 0) glDeleteLists(button.lists[image], 1);
            button.lists[image] = glGenLists(1);
            compileButtonImage(button.lists[image], panelName(*panel, i), eventButtonPlace(i), button.textures[image]);
        }
    }
    setChooserCommands(materialChosen, flagChosen, conditionKindChosen, consequenceKindChosen);
}

void releaseRowButtons()
{
    ButtonPanel *panel = eventPanel();
    if (panel == nullptr) return;
    for (int i = FirstConditionRowButton; i < FirstConditionDeleteButton && i < panel->buttonCount; i++)
        panel->buttons[(size_t)i].pressed = 0;
}

void drawEventPage(int picking)
{
    ButtonPanel *panel = eventPanel();
    if (panel == nullptr) return;
    if (getEditorState() == EVENT_PANEL_STATE) releaseRowButtons();
    const int backgroundName = panelName(*panel, -1);
    (void)picking;  // the whole page takes part in a selection pass

    glPushMatrix();
    glLoadIdentity();
    PanelPoint offset = placementOffset(*panel);
    glTranslatef(offset.x, offset.y, offset.z);
    if (panel->backgroundList != 0) glCallList(panel->backgroundList);

    // From here on the panel's top-left corner is the origin
    glPushMatrix();
    glTranslatef(-panel->width / 2.0f, panel->height / 2.0f, 0.0f);
    glLoadName((GLuint)backgroundName);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glColor3f(STRIP_COLOUR[0], STRIP_COLOUR[1], STRIP_COLOUR[2]);
    flatRectangle(0.0f, -panel->height, panel->width, STRIP_HEIGHT, STRIP_Z);
    for (int i = 0; i < panel->buttonCount && i < EVENT_PANEL_BUTTONS; i++) {
        drawButton(*panel, i);
        if (i >= FirstConditionDeleteButton && i < FirstConsequenceDeleteButton)
            drawRowBar(i - FirstConditionDeleteButton, backgroundName);
        else if (i >= FirstConsequenceDeleteButton && i < ConditionUpButton)
            drawRowBar(CONDITION_ROWS + i - FirstConsequenceDeleteButton, backgroundName);
    }
    glPopMatrix();

    glLoadName((GLuint)backgroundName);
    drawPageTexts();
    glPopMatrix();
}

int pageDrawnBeforePick(int state)
{
    return state == 8 || state == 10 || state == 11 || state == 19 || state == 20 || state == 22 ? 1 : 0;
}

void drawEventOverlay(int state)
{
    glPushMatrix();
    switch (state) {
    case 8: case 20: case 22: drawChooser(flagChooser()); break;
    case 10: drawChooser(conditionChooser()); break;
    case 11: drawChooser(consequenceChooser()); break;
    case 19: drawChooser(materialChooser()); break;
    case 9: case 12: case 13: case 14: case 15: case 16: case 17: case 18: case 21:
        beginText();
        drawPrompt();
        endText();
        break;
    default: break;
    }
    glPopMatrix();
}
