// The event editor on a real GL context: buttons where their places say (picked by their
// names, the turned ones included), the images of the moment (pressed, hovered, row enable,
// delete enable, disabled arrows), the strip, bars and texts, the pick pass under a chooser,
// and what the panel's buttons and the choosers' rows do, through the same calls the input
// bindings make. Every button bitmap becomes a plain colour: up red, move green, down blue.
#include "app_state.h"
#include "camera.h"
#include "choosers.h"
#include "commands.h"
#include "event_cursor.h"
#include "event_editor.h"
#include "events.h"
#include "flags.h"
#include "font.h"
#include "gl_context.h"
#include "material_usage.h"
#include "materials.h"
#include "menus.h"
#include "objects.h"
#include "picking.h"
#include "prompts.h"
#include "view_projection.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <unistd.h>

namespace {

constexpr int W = 1024, H = 768;

// The panel's top-left corner in eye coordinates and the layer of its buttons and bars
constexpr float LEFT = -15.0f, TOP = 9.875f, BUTTON_Z = -34.3f;

struct Rgb {
    int r, g, b;
};
struct Pixel {
    int x, y;
};

// A 4 x 4 texture: the image index of an event panel bitmap as red, green or blue; grey else
int colourTexture(const char *path)
{
    std::array<unsigned char, 3> c = {128, 128, 128};
    for (int i = 0; i < EVENT_PANEL_BUTTONS; i++)
        for (int image = 0; image < 3; image++)
            if (std::string(eventButtonBitmap(i, image)) == path) {
                c = {0, 0, 0};
                c[(size_t)image] = 255;
            }
    std::array<unsigned char, 48> pixels;
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = c[i % 3];
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return (int)name;
}

Pixel eyeToScreen(float x, float y, float z)
{
    view_test::ScreenPoint s = view_test::projectPoint(x, y, z, 0, 0, 0, 0, 0);
    EXPECT_TRUE(view_test::onScreen(s)) << x << ", " << y << ", " << z;
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

// A point of the panel (from its top-left corner) on the button layer
Pixel panelPoint(float x, float y) { return eyeToScreen(LEFT + x, TOP + y, BUTTON_Z); }

// Centre of a button, turned ones about their anchor
Pixel buttonPixel(int index)
{
    EventButtonPlace p = eventButtonPlace(index);
    float sign = p.turned ? -1.0f : 1.0f;
    return panelPoint(p.left + sign * p.width / 2, p.top - sign * p.height / 2);
}

// The first option text of a chooser (its text starts at 1 - width from its x)
Pixel firstOption(const Chooser &c)
{
    return eyeToScreen(c.position[0] + 1.0f - c.width + 3.0f, c.position[1] + c.height - 0.6f, -66.9f);
}

Rgb backPixel(Pixel p)
{
    unsigned char c[3] = {0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(p.x, H - 1 - p.y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, c);
    return {c[0], c[1], c[2]};
}

bool near(Rgb c, int r, int g, int b) { return std::abs(c.r - r) < 6 && std::abs(c.g - g) < 6 && std::abs(c.b - b) < 6; }
bool isRed(Rgb c) { return c.r > 200 && c.g < 40 && c.b < 40; }
bool isGreen(Rgb c) { return c.g > 200 && c.r < 40 && c.b < 40; }
bool isBlue(Rgb c) { return c.b > 200 && c.r < 40 && c.g < 40; }

// White pixels of a screen box of the back buffer
int whitePixels(Pixel a, Pixel b)
{
    int w = b.x - a.x + 1, h = b.y - a.y + 1;
    std::vector<unsigned char> c((size_t)(w * h * 3));
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(a.x, H - 1 - b.y, w, h, GL_RGB, GL_UNSIGNED_BYTE, c.data());
    int white = 0;
    for (size_t i = 0; i + 2 < c.size(); i += 3) white += c[i] > 200 && c[i + 1] > 200 && c[i + 2] > 200 ? 1 : 0;
    return white;
}

// The colour of the button's image after a frame drawn with a hovered name
Rgb buttonColour(int index, int hoveredName = 0)
{
    setPickName(hoveredName);
    glClear(GL_COLOR_BUFFER_BIT);
    drawEditorScreen(0);
    return backPixel(buttonPixel(index));
}

// What a panel pick at p finds in the current state (the pass started as the frame does)
int pickAt(Pixel p)
{
    setPickName(0);
    setPanelPickPosition(p.x, p.y);
    if (!editorScreenStartsPick(getEditorState())) beginPick(p.x, p.y);
    drawEditorScreen(1);
    endPanelPick();
    return getPickName();
}

// A left click on the panel or chooser of the state with a name under the pointer
void clickName(int name)
{
    setPickName(name);
    switch (getEditorState()) {
    case 7: panelClick(); break;
    case 8: chooserClick(FlagChooserId, 7, 7); break;
    case 10: chooserClick(ConditionChooserId, 7, -1); break;
    case 11: chooserClick(ConsequenceChooserId, 7, -1); break;
    case 19: chooserClick(MaterialChooserId, 7, -1); break;
    case 20: case 22: chooserClick(FlagChooserId, 7, -1); break;
    case 6: chooserClick(MaterialChooserId, 5, -1); break;
    default: break;
    }
}

void typeAll(const std::string &keys)
{
    for (char c : keys) typeCharacter((unsigned char)c);
}

int buttonName(int index) { return 700 + index + 1; }

class EventEditorGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        ASSERT_EQ(chdir(SW_RUNDATA_DIR), 0);  // the font and the chooser arrows
        resetAppState();
        ASSERT_EQ(loadTextureFont(), 1);
        create_material_table();
        add_default_material();
        material_record *red = new_material();
        red->name = "rojo";
        add_material(red);
        rebuild_usage_table();
        set_event_set_release(freeEventSet);
        setPanelTextureLoader(colourTexture);
        buildEventPanel();
        buildEventEditor();
        buildPromptBox();
        buildMaterialChooser(DEFAULT_MATERIAL_NAME);
        buildConditionChooser();
        buildConsequenceChooser();
    }
    static void TearDownTestSuite()
    {
        releasePanelGl(eventPanel());
        freeMenus();
        setPanelTextureLoader(nullptr);
        clear_objects();
        clear_material_table();
        clearFlagTable();
    }
    void SetUp() override
    {
        resetAppState();
        reshape(W, H);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        clear_objects();
        createFlagTable();
        clearSelectedFlag();
        ASSERT_EQ(create_object(4), 0);
        ASSERT_EQ(create_object(10), 1);
        setEditingMode(Events);
        setEditorState(7);  // as picking does
        openEventEditor(0);
        ASSERT_EQ(getEditorState(), 7);
    }
    Event *event() { return getEditedEvent(); }
    void addConditions(int n)
    {
        const int kinds[] = {cActivate, cDistanceMY, cDistanceMN};
        for (int i = 0; i < n && i < 3; i++)
            ASSERT_EQ(setCondition(event(), i, kinds[i], kinds[i] == cActivate ? (void *)newActivateValue() : newDistanceValue(i)), 1);
        for (int i = 3; i < n; i++) ASSERT_EQ(setCondition(event(), i, cFlag, newFlagValue("F" + std::to_string(i), i)), 1);
    }
    void addConsequences(int n)
    {
        for (int i = 0; i < n; i++) ASSERT_EQ(setConsequence(event(), i, cLoop, newLoopValue(i + 1)), 1);
    }
    // n flags A0, A1, ... (through addFlag, so no limit applies)
    void addFlags(int n)
    {
        for (int i = 0; i < n; i++) ASSERT_EQ(addFlag(newFlagRecord("A" + std::to_string(i), i)), 1);
    }
};

}  // namespace

TEST_F(EventEditorGl, ButtonsAreWhereTheirPlacesSayAndBarsAndStripCarryTheBackgroundName)
{
    ASSERT_EQ(eventPanel()->buttonCount, EVENT_PANEL_BUTTONS);
    for (int i = 0; i < EVENT_PANEL_BUTTONS; i++) EXPECT_EQ(pickAt(buttonPixel(i)), buttonName(i)) << "button " << i;

    // The turned buttons cover the rectangle above and left of their anchor, not below it
    for (int i : {NextEventButton, ConditionDownButton, ConsequenceDownButton}) {
        EventButtonPlace p = eventButtonPlace(i);
        EXPECT_NE(pickAt(panelPoint(p.left + p.width / 2, p.top - p.height / 2)), buttonName(i)) << i;
    }
    // A row bar, the strip between the two windows and the background: the background name
    EXPECT_EQ(pickAt(panelPoint(12.0f, -6.8f)), 700);
    EXPECT_EQ(pickAt(panelPoint(12.0f, -10.45f)), 700);
    EXPECT_EQ(pickAt(panelPoint(12.0f, -3.0f)), 700);
    // Below the strip nothing
    EXPECT_EQ(pickAt(panelPoint(12.0f, -19.2f)), 0);
    EXPECT_FALSE(pickActive());
}

TEST_F(EventEditorGl, StripBarsAndTextsAreDrawn)
{
    setPickName(0);
    drawEditorScreen(0);
    EXPECT_TRUE(near(backPixel(panelPoint(12.0f, -10.45f)), 31, 30, 23));   // strip (0.121, 0.117, 0.0898)
    EXPECT_TRUE(near(backPixel(panelPoint(26.5f, -6.8f)), 18, 68, 36));     // bar (0.071, 0.267, 0.1398)
    // "- Nothing -" in white inside the first bar of each window, the header, the flag line
    for (float rowTop : {eventRowTop(0), eventRowTop(3), eventRowTop(4), eventRowTop(11)}) {
        Pixel a = panelPoint(2.9f, rowTop - 0.05f), b = panelPoint(10.0f, rowTop - 0.9f);
        EXPECT_GT(whitePixels(a, b), 20) << rowTop;
        // and none in the bar's right half
        EXPECT_EQ(whitePixels(panelPoint(16.0f, rowTop - 0.05f), panelPoint(26.0f, rowTop - 0.9f)), 0) << rowTop;
    }
    EXPECT_GT(whitePixels(eyeToScreen(LEFT + 3.0f, TOP - 4.5f, -35.0f), eyeToScreen(LEFT + 14.0f, TOP - 5.8f, -35.0f)), 50);
    EXPECT_GT(whitePixels(eyeToScreen(LEFT + 5.2f, TOP - 1.5f, -35.0f), eyeToScreen(LEFT + 15.0f, TOP - 2.6f, -35.0f)), 50);
}

TEST_F(EventEditorGl, ButtonImagesFollowHoverPressAndWhatTheyCanDo)
{
    // Idle: up images; the arrows that cannot act show their down image
    EXPECT_TRUE(isRed(buttonColour(FlagsButton)));
    EXPECT_TRUE(isBlue(buttonColour(ConditionUpButton)));
    EXPECT_TRUE(isRed(buttonColour(ConditionDownButton)));
    EXPECT_TRUE(isBlue(buttonColour(ConsequenceUpButton)));
    EXPECT_TRUE(isBlue(buttonColour(ConsequenceDownButton)));
    // Hovered: move image, for rows only when they can be picked, for deletes only when filled
    EXPECT_TRUE(isGreen(buttonColour(FlagsButton, buttonName(FlagsButton))));
    EXPECT_TRUE(isGreen(buttonColour(FirstConditionRowButton, buttonName(FirstConditionRowButton))));
    EXPECT_TRUE(isRed(buttonColour(FirstConditionRowButton + 1, buttonName(FirstConditionRowButton + 1))));
    EXPECT_TRUE(isRed(buttonColour(FirstConditionDeleteButton, buttonName(FirstConditionDeleteButton))));
    addConditions(1);
    addConsequences(1);
    EXPECT_TRUE(isGreen(buttonColour(FirstConditionRowButton + 1, buttonName(FirstConditionRowButton + 1))));
    EXPECT_TRUE(isGreen(buttonColour(FirstConditionDeleteButton, buttonName(FirstConditionDeleteButton))));
    EXPECT_TRUE(isRed(buttonColour(FirstConditionDeleteButton + 1, buttonName(FirstConditionDeleteButton + 1))));
    EXPECT_TRUE(isGreen(buttonColour(FirstConsequenceDeleteButton, buttonName(FirstConsequenceDeleteButton))));
    EXPECT_TRUE(isGreen(buttonColour(ConditionDownButton, buttonName(ConditionDownButton))));

    // A pressed row button keeps its down image while its chooser is open; back in state 7 it
    // is released by the next frame
    clickName(buttonName(FirstConditionRowButton));
    ASSERT_EQ(getEditorState(), 10);
    EXPECT_TRUE(isBlue(buttonColour(FirstConditionRowButton)));
    EXPECT_TRUE(isBlue(buttonColour(FirstConditionRowButton)));
    clickName(0);
    ASSERT_EQ(getEditorState(), 7);
    EXPECT_TRUE(isRed(buttonColour(FirstConditionRowButton)));
}

TEST_F(EventEditorGl, RowsCanBePickedOnlyUpToTheFirstEmptyOne)
{
    addConditions(2);
    clickName(buttonName(FirstConditionRowButton + 3));
    EXPECT_EQ(getEditorState(), 7) << "row 3 with 2 conditions";
    EXPECT_EQ(eventPanel()->buttons[FirstConditionRowButton + 3].pressed, 0);
    addConditions(3);
    clickName(buttonName(FirstConditionRowButton + 3));
    EXPECT_EQ(getEditorState(), 10);
    EXPECT_EQ(getSelectedConditionRow(), 3);
    EXPECT_EQ(eventPanel()->buttons[FirstConditionRowButton + 3].pressed, 1);
    EXPECT_FLOAT_EQ(conditionChooser().position[1], 1.45f - 1.98f * 3);

    // Consequence rows: the chooser follows rows 0 to 5 and stays low for 6 and 7
    setEditorState(7);
    addConsequences(7);
    clickName(buttonName(FirstConsequenceRowButton + 5));
    EXPECT_FLOAT_EQ(consequenceChooser().position[1], -9.1f - 1.98f * 5);
    setEditorState(7);
    clickName(buttonName(FirstConsequenceRowButton + 7));
    EXPECT_EQ(getEditorState(), 11);
    EXPECT_FLOAT_EQ(consequenceChooser().position[1], -19.0f);
    EXPECT_EQ(getConsequenceTargetPosition(), 7);
}

TEST_F(EventEditorGl, ActivatedIsStoredAtOnceAndShownInItsRow)
{
    clickName(buttonName(FirstConditionRowButton));
    ASSERT_EQ(getEditorState(), 10);
    EXPECT_EQ(pickAt(firstOption(conditionChooser())), ConditionChooserId * 100 + 1);
    clickName(ConditionChooserId * 100 + 1);  // "ACTIVATED ??"
    EXPECT_EQ(getEditorState(), 7);
    ASSERT_EQ(event()->conditionCount, 1);
    EXPECT_EQ(event()->conditions[0].kind, cActivate);
    EXPECT_EQ(conditionRowLine(0), "IS ACTIVATED ??");
    EXPECT_EQ(conditionRowLine(1), "- Nothing -");

    // Picking it again for row 1 is refused (one ACTIVATED per event)
    clickName(buttonName(FirstConditionRowButton + 1));
    clickName(ConditionChooserId * 100 + 1);
    EXPECT_EQ(event()->conditionCount, 1);
}

TEST_F(EventEditorGl, OnlyTheChooserCanBeHitWhileItIsOverThePage)
{
    const Pixel ifButton = buttonPixel(FirstConditionRowButton);
    EXPECT_EQ(pickAt(ifButton), buttonName(FirstConditionRowButton));
    clickName(buttonName(FirstConditionRowButton));
    ASSERT_EQ(getEditorState(), 10);
    EXPECT_EQ(pickAt(ifButton), 0);
    EXPECT_EQ(pickAt(firstOption(conditionChooser())), 1001);
    EXPECT_EQ(pickAt(panelPoint(12.0f, -3.0f)), 0);  // the panel's background
    EXPECT_FALSE(pickActive());

    // With a prompt open the whole page takes part
    setEditorState(7);
    clickName(buttonName(NewFlagButton));
    ASSERT_EQ(getEditorState(), 9);
    EXPECT_EQ(pickAt(ifButton), buttonName(FirstConditionRowButton));
}

TEST_F(EventEditorGl, WindowArrowsScrollWithinTheirLimits)
{
    clickName(buttonName(ConditionUpButton));
    EXPECT_EQ(getConditionOffset(), 0);
    for (int i = 0; i < 6; i++) clickName(buttonName(ConditionDownButton));
    EXPECT_EQ(getConditionOffset(), 4);
    EXPECT_TRUE(isBlue(buttonColour(ConditionDownButton)));
    EXPECT_TRUE(isRed(buttonColour(ConditionUpButton)));
    EXPECT_EQ(conditionRowLine(3), "- Nothing -");  // slot 7
    clickName(buttonName(ConditionUpButton));
    EXPECT_EQ(getConditionOffset(), 3);

    // Seven consequences: the down arrow cannot act
    addConsequences(7);
    clickName(buttonName(ConsequenceDownButton));
    EXPECT_EQ(getConsequenceOffset(), 0);
    EXPECT_TRUE(isBlue(buttonColour(ConsequenceDownButton)));
}

TEST_F(EventEditorGl, EightConsequencesScrollToTheEmptyRowThatAppendsANinth)
{
    addConsequences(8);
    EXPECT_TRUE(isRed(buttonColour(ConsequenceDownButton)));
    clickName(buttonName(ConsequenceDownButton));
    ASSERT_EQ(getConsequenceOffset(), 1);
    EXPECT_TRUE(isBlue(buttonColour(ConsequenceDownButton)));
    EXPECT_TRUE(isRed(buttonColour(ConsequenceUpButton)));
    EXPECT_EQ(consequenceRowLine(0), "LOOP 2 times");
    EXPECT_EQ(consequenceRowLine(6), "LOOP 8 times");
    EXPECT_EQ(consequenceRowLine(7), "- Nothing -");
    EXPECT_EQ(consequenceRowEnabled(7), 1);

    clickName(buttonName(FirstConsequenceRowButton + 7));
    ASSERT_EQ(getEditorState(), 11);
    clickName(ConsequenceChooserId * 100 + 7);  // "AGAIN"
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(event()->consequenceCount, 9);
    EXPECT_EQ(consequenceRowLine(7), "AGAIN");

    // The delete button of that row removes the ninth; a delete on an empty row does nothing
    clickName(buttonName(FirstConsequenceDeleteButton + 7));
    EXPECT_EQ(event()->consequenceCount, 8);
    clickName(buttonName(FirstConsequenceDeleteButton + 7));
    EXPECT_EQ(event()->consequenceCount, 8);
    clickName(buttonName(FirstConsequenceDeleteButton));
    EXPECT_EQ(event()->consequenceCount, 7);
    EXPECT_EQ(consequenceRowLine(0), "LOOP 3 times");
}

TEST_F(EventEditorGl, PreviousAndNextEventStopAtTheEndsAndResetTheWindows)
{
    clickName(buttonName(PreviousEventButton));
    EXPECT_EQ(getCurrentEvent(), 0);
    const std::string object = std::to_string(object_at(0)->nameBase / NAME_BASE_STEP);
    EXPECT_EQ(eventHeaderText(), "Objeto: " + object + "  ,  Evento Numero: 1");
    clickName(buttonName(ConditionDownButton));
    clickName(buttonName(NextEventButton));
    EXPECT_EQ(getCurrentEvent(), 1);
    EXPECT_EQ(getConditionOffset(), 0);
    for (int i = 0; i < 20; i++) clickName(buttonName(NextEventButton));
    EXPECT_EQ(getCurrentEvent(), 15);
    EXPECT_EQ(eventHeaderText(), "Objeto: " + object + "  ,  Evento Numero: 16");
    clickName(buttonName(PreviousEventButton));
    EXPECT_EQ(getCurrentEvent(), 14);

    // Each event has its own rows
    addConditions(1);
    clickName(buttonName(NextEventButton));
    EXPECT_EQ(conditionRowLine(0), "- Nothing -");
    clickName(buttonName(PreviousEventButton));
    EXPECT_EQ(conditionRowLine(0), "IS ACTIVATED ??");
}

TEST_F(EventEditorGl, FlagButtonsNeedFlagsAndRoomForOneMore)
{
    // No flags: the flags and delete buttons do nothing
    clickName(buttonName(FlagsButton));
    EXPECT_EQ(getEditorState(), 7);
    clickName(buttonName(DeleteFlagButton));
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(selectedFlagText(), "- Ninguna Seleccionada -");

    // 256 flags: no new flag
    addFlags(256);
    clickName(buttonName(NewFlagButton));
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(getTextEntryOpen(), 0);
    removeFlag("A255");
    clickName(buttonName(NewFlagButton));
    EXPECT_EQ(getEditorState(), 9);
    EXPECT_EQ(getTextEntryOpen(), 1);
    typeAll("zeta\r-7\r");
    EXPECT_EQ(getEditorState(), 7);
    ASSERT_NE(findFlag("ZETA"), nullptr);
    EXPECT_EQ(findFlag("ZETA")->value, -7);
    EXPECT_EQ(getFlagCount(), 256);
}

TEST_F(EventEditorGl, TheFlagsChooserSelectsAFlagAndAnEmptyClickKeepsTheSelection)
{
    addFlags(3);
    clickName(buttonName(FlagsButton));
    ASSERT_EQ(getEditorState(), 8);
    ASSERT_EQ(flagChooser().options.size(), 3u);
    clickName(FlagChooserId * 100 + 2);
    EXPECT_EQ(getEditorState(), 7);
    const std::string picked = flagAtPosition(1)->name;
    EXPECT_EQ(getSelectedFlag().name, picked);
    EXPECT_EQ(selectedFlagText(), picked + " , V: " + std::to_string(flagAtPosition(1)->value));

    clickName(buttonName(FlagsButton));
    ASSERT_EQ(getEditorState(), 8);
    EXPECT_EQ(pickAt(buttonPixel(FlagsButton)), 0);  // the page is out of reach
    clickName(0);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(getSelectedFlag().name, picked);

    // Delete removes the selected flag and empties the selection
    clickName(buttonName(DeleteFlagButton));
    EXPECT_EQ(findFlag(picked), nullptr);
    EXPECT_EQ(getFlagCount(), 2);
    EXPECT_EQ(selectedFlagText(), "- Ninguna Seleccionada -");
}

TEST_F(EventEditorGl, FlagConditionsAndConsequencesGoThroughTheFlagsChooserAndAPrompt)
{
    addFlags(1);
    clickName(buttonName(FirstConditionRowButton));
    clickName(ConditionChooserId * 100 + 2);  // "FLAG = ??"
    ASSERT_EQ(getEditorState(), 22);
    clickName(FlagChooserId * 100 + 1);
    ASSERT_EQ(getEditorState(), 14);
    EXPECT_EQ(promptLine(14), "Introduzca el valor de la Flag A0 a cumplir :");
    typeAll("5\r");
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(conditionRowLine(0), "FLAG A0 = 5");

    // A second condition on the same flag is refused
    clickName(buttonName(FirstConditionRowButton + 1));
    clickName(ConditionChooserId * 100 + 2);
    clickName(FlagChooserId * 100 + 1);
    typeAll("6\r");
    EXPECT_EQ(event()->conditionCount, 1);

    clickName(buttonName(FirstConsequenceRowButton));
    clickName(ConsequenceChooserId * 100 + 5);  // "FLAG ? = ?"
    ASSERT_EQ(getEditorState(), 20);
    clickName(FlagChooserId * 100 + 1);
    ASSERT_EQ(getEditorState(), 21);
    typeAll("-3\r");
    EXPECT_EQ(consequenceRowLine(0), "FLAG A0 = -3");
}

TEST_F(EventEditorGl, TheMaterialChooserFeedsAnEventOrTheSelectedObject)
{
    clickName(buttonName(FirstConsequenceRowButton));
    clickName(ConsequenceChooserId * 100 + 3);  // "CHANGE OBJECT MATERIAL"
    ASSERT_EQ(getEditorState(), 19);
    clickName(MaterialChooserId * 100);  // its background does nothing
    EXPECT_EQ(getEditorState(), 19);
    int rojo = -1;
    for (size_t i = 0; i < materialChooser().options.size(); i++)
        if (materialChooser().options[i].text == "rojo") rojo = (int)i;
    ASSERT_GE(rojo, 0);
    clickName(MaterialChooserId * 100 + rojo + 1);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(consequenceRowLine(0), "CHANGE MATERIAL To rojo");

    // From the appearance menu: the selected object takes the material and is redrawn
    closeEventEditor();
    setSelectedObject(object_at(1));
    setSelectedIndex(1);
    set_dirty(object_at(1), 0);
    openMaterialChooserCommand();
    ASSERT_EQ(getEditorState(), 6);
    clickName(MaterialChooserId * 100 + rojo + 1);
    EXPECT_EQ(getEditorState(), 6);
    EXPECT_STREQ(first_material_name(object_at(1)), "rojo");
    EXPECT_EQ(get_dirty(object_at(1)), 1);
    clickName(0);
    EXPECT_EQ(getEditorState(), 5);
}

TEST_F(EventEditorGl, ClosingDropsOnlyAnEmptyEventSet)
{
    ASSERT_NE(slot_event_set(0), nullptr);
    closeEventEditor();
    EXPECT_EQ(getEditorState(), 0);
    EXPECT_EQ(slot_event_set(0), nullptr);

    // Through a click on empty space, with a consequence in event 3
    setEditorState(7);
    openEventEditor(0);
    for (int i = 0; i < 3; i++) clickName(buttonName(NextEventButton));
    addConsequences(1);
    clickName(0);
    EXPECT_EQ(getEditorState(), 0);
    ASSERT_NE(slot_event_set(0), nullptr);
    EXPECT_EQ(slot_event_set(0)->events[3].consequenceCount, 1);

    // Opening again starts at event 1 with the windows at the top
    setEditorState(7);
    openEventEditor(0);
    EXPECT_EQ(getCurrentEvent(), 0);
    EXPECT_EQ(getConsequenceOffset(), 0);
}
