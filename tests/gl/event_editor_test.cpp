// The menus and the event editor on a real GL context: buttons where their places say (picked
// by their names, the turned ones included), the images of the moment (hovered, pressed, row
// enable, disabled arrows), the reduced pick pass of an edge menu and the pass under a chooser,
// what the panel's buttons and the choosers' rows do, through the same calls the input
// bindings make, and the choosers' scrolling, arrow images, marks and capacity. Every button
// bitmap becomes a plain colour: up red, move (or Selected) green, down blue, backgrounds grey;
// pixels are read back from the back buffer of the 1024x768 window.
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
#include <vector>

namespace {

constexpr int W = 1024, H = 768;
struct Rgb {
    int r, g, b;
};
struct Pixel {
    int x, y;
};

// A 4 x 4 texture of one colour; its texture name
int colourTexture(std::array<unsigned char, 3> c)
{
    std::array<unsigned char, 48> pixels;
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = c[i % 3];
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return (int)name;
}

// Window position (y down) of an eye-space point
Pixel eyeToScreen(float x, float y, float z)
{
    view_test::ScreenPoint s = view_test::projectPoint(x, y, z, 0, 0, 0, 0, 0);
    EXPECT_TRUE(view_test::onScreen(s)) << x << ", " << y << ", " << z;
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

// A pixel of the back buffer
Rgb backPixel(Pixel p)
{
    unsigned char c[3] = {0, 0, 0};
    glFinish();
    glReadPixels(p.x, H - 1 - p.y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, c);
    return {c[0], c[1], c[2]};
}

bool isRed(Rgb c) { return c.r > 200 && c.g < 40 && c.b < 40; }
bool isGreen(Rgb c) { return c.g > 200 && c.r < 40 && c.b < 40; }
bool isBlue(Rgb c) { return c.b > 200 && c.r < 40 && c.g < 40; }
bool isGrey(Rgb c) { return std::abs(c.r - 128) < 12 && std::abs(c.g - 128) < 12 && std::abs(c.b - 128) < 12; }

// The panel's top-left corner in eye coordinates and the layer of its buttons and bars
constexpr float LEFT = -15.0f, TOP = 9.875f, BUTTON_Z = -34.3f;

// The image index of a button bitmap as red, green or blue; grey for backgrounds
int imageTexture(const char *path)
{
    const std::string p = path;
    for (int i = 0; i < EVENT_PANEL_BUTTONS; i++)
        for (int image = 0; image < 3; image++)
            if (eventButtonBitmap(i, image) == p)
                return colourTexture({(unsigned char)(image == 0 ? 255 : 0), (unsigned char)(image == 1 ? 255 : 0),
                                      (unsigned char)(image == 2 ? 255 : 0)});
    if (p.find("Data/menu") == 0 || p.find("events") != std::string::npos) return colourTexture({128, 128, 128});
    if (p.find("Move") != std::string::npos || p.find("Selected") != std::string::npos) return colourTexture({0, 255, 0});
    if (p.find("Down") != std::string::npos) return colourTexture({0, 0, 255});
    return colourTexture({255, 0, 0});
}

// Window position of a point of a menu's own frame, and of a menu button
Pixel onScreen(const ButtonPanel *panel, PanelPoint local)
{
    PanelPoint eye = panelToEye(*panel, local);
    return eyeToScreen(eye.x, eye.y, eye.z);
}
Pixel menuButtonPixel(const ButtonPanel *panel, int index) { return onScreen(panel, buttonCentre(*panel, index)); }

// The name a pick of one menu at p finds, with the given pickName left by the previous pass
int menuPickAt(const ButtonPanel *panel, Pixel p, int previousName)
{
    setPickName(previousName);
    beginPick(p.x, p.y);
    drawPanel(panel, 1);
    endPanelPick();
    return getPickName();
}

std::vector<ButtonPanel *> allMenus() { return {primitiveMenu(), operationMenu(), fileMenu(), modeMenu(), appearanceMenu()}; }

// A point of the panel (from its top-left corner) on the button layer
Pixel panelPoint(float x, float y) { return eyeToScreen(LEFT + x, TOP + y, BUTTON_Z); }

// Centre of a button, turned ones about their anchor
Pixel buttonPixel(int index)
{
    EventButtonPlace p = eventButtonPlace(index);
    float sign = p.turned ? -1.0f : 1.0f;
    return panelPoint(p.left + sign * p.width / 2, p.top - sign * p.height / 2);
}

int buttonName(int index) { return 700 + index + 1; }

// The image a button shows now, hovered or not
int imageOf(int index, bool hovered = false)
{
    setPickName(hovered ? buttonName(index) : 0);
    return eventButtonImage(index);
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
void clickButton(int index) { clickName(buttonName(index)); }

void typeAll(const std::string &keys) { for (char c : keys) typeCharacter((unsigned char)c); }

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
        setPanelTextureLoader(imageTexture);
        buildMenus();
        for (ButtonPanel *panel : allMenus())
            if (panel->placement != PlacementFree) panel->angle = SWING_REST_ANGLE;
        buildEventPanel();
        buildEventEditor();
        buildPromptBox();
        buildMaterialChooser(DEFAULT_MATERIAL_NAME);
        buildConditionChooser();
        buildConsequenceChooser();
    }
    static void TearDownTestSuite()
    {
        for (ButtonPanel *panel : allMenus()) releasePanelGl(panel);
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
        glMatrixMode(GL_MODELVIEW);  // the eye at the origin, no lighting, fog or depth test
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
        glDisable(GL_DEPTH_TEST);
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
        for (int i = event()->conditionCount; i < n; i++)
            ASSERT_EQ(setCondition(event(), i, cFlag, newFlagValue("F" + std::to_string(i), i)), 1);
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

TEST_F(EventEditorGl, ButtonsAreWhereTheirPlacesSayAndTheChooserHidesThePage)
{
    ASSERT_EQ(eventPanel()->buttonCount, EVENT_PANEL_BUTTONS);
    for (int i = 0; i < EVENT_PANEL_BUTTONS; i++) EXPECT_EQ(pickAt(buttonPixel(i)), buttonName(i)) << "button " << i;
    // The turned buttons cover the rectangle above and left of their anchor, not below it
    for (int i : {NextEventButton, ConditionDownButton, ConsequenceDownButton}) {
        EventButtonPlace p = eventButtonPlace(i);
        EXPECT_NE(pickAt(panelPoint(p.left + p.width / 2, p.top - p.height / 2)), buttonName(i)) << i;
    }
    // A row bar and the strip carry the background name; below the strip nothing
    EXPECT_EQ(pickAt(panelPoint(12.0f, -6.8f)), 700);
    EXPECT_EQ(pickAt(panelPoint(12.0f, -10.45f)), 700);
    EXPECT_EQ(pickAt(panelPoint(12.0f, -19.2f)), 0);

    // With a chooser open only the chooser can be hit
    const Pixel ifButton = buttonPixel(FirstConditionRowButton);
    clickButton(FirstConditionRowButton);
    ASSERT_EQ(getEditorState(), 10);
    EXPECT_EQ(pickAt(ifButton), 0);
    const Chooser &c = conditionChooser();
    EXPECT_EQ(pickAt(eyeToScreen(c.position[0] + 4.0f - c.width, c.position[1] + c.height - 0.6f, -66.9f)), 1001);
    EXPECT_FALSE(pickActive());
}

TEST_F(EventEditorGl, ImagesFollowHoverPressAndWhatTheButtonsCanDo)
{
    // A drawn frame shows each button's image of the moment: hovered, idle, disabled arrow
    setPickName(buttonName(FlagsButton));
    drawEditorScreen(0);
    EXPECT_TRUE(isGreen(backPixel(buttonPixel(FlagsButton))));
    EXPECT_TRUE(isRed(backPixel(buttonPixel(NewFlagButton))));
    EXPECT_TRUE(isBlue(backPixel(buttonPixel(ConditionUpButton))));
    // Arrows that cannot act show their down image; deletes light up only on filled rows
    EXPECT_EQ(imageOf(ConsequenceDownButton), IMAGE_DOWN);
    EXPECT_EQ(imageOf(FirstConditionDeleteButton, true), IMAGE_UP);
    addConditions(1);
    EXPECT_EQ(imageOf(FirstConditionDeleteButton, true), IMAGE_MOVE);

    // The condition window scrolls from 0 to 4; eight consequences scroll by one
    for (int i = 0; i < 6; i++) clickButton(ConditionDownButton);
    EXPECT_EQ(getConditionOffset(), 4);
    EXPECT_EQ(imageOf(ConditionDownButton), IMAGE_DOWN);
    EXPECT_EQ(imageOf(ConditionUpButton), IMAGE_UP);
    addConsequences(7);
    clickButton(ConsequenceDownButton);
    EXPECT_EQ(getConsequenceOffset(), 0);
    addConsequences(8);
    EXPECT_EQ(imageOf(ConsequenceDownButton), IMAGE_UP);
    clickButton(ConsequenceDownButton);
    clickButton(ConsequenceDownButton);
    EXPECT_EQ(getConsequenceOffset(), 1);
    EXPECT_EQ(consequenceRowLine(7), "- Nothing -");
    EXPECT_EQ(consequenceRowEnabled(7), 1);
}

TEST_F(EventEditorGl, RowsCanBePickedOnlyUpToTheFirstEmptyOneAndEventsStopAtTheEnds)
{
    addConditions(2);
    clickButton(FirstConditionRowButton + 3);
    EXPECT_EQ(getEditorState(), 7) << "row 3 with 2 conditions";
    addConditions(3);
    clickButton(FirstConditionRowButton + 3);
    EXPECT_EQ(getEditorState(), 10);
    EXPECT_EQ(getSelectedConditionRow(), 3);
    setEditorState(7);
    addConsequences(7);
    clickButton(FirstConsequenceRowButton + 7);
    EXPECT_EQ(getEditorState(), 11);
    EXPECT_EQ(getConsequenceTargetPosition(), 7);

    setEditorState(7);
    clickButton(PreviousEventButton);
    EXPECT_EQ(getCurrentEvent(), 0);
    clickButton(ConditionDownButton);
    clickButton(NextEventButton);
    EXPECT_EQ(getConditionOffset(), 0);
    for (int i = 0; i < 20; i++) clickButton(NextEventButton);
    EXPECT_EQ(getCurrentEvent(), 15);
    const std::string object = std::to_string(object_at(0)->nameBase / NAME_BASE_STEP);
    EXPECT_EQ(eventHeaderText(), "Objeto: " + object + "  ,  Evento Numero: 16");
    clickButton(PreviousEventButton);
    EXPECT_EQ(getCurrentEvent(), 14);
}

TEST_F(EventEditorGl, FlagButtonsNeedFlagsAndRoomForOneMore)
{
    clickButton(FlagsButton);  // no flags: the flags and delete buttons do nothing
    clickButton(DeleteFlagButton);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(selectedFlagText(), "- Ninguna Seleccionada -");
    addFlags(256);
    clickButton(NewFlagButton);  // 256 flags: no new flag
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(getTextEntryOpen(), 0);
    removeFlag("A255");
    clickButton(NewFlagButton);
    EXPECT_EQ(getEditorState(), 9);

    typeAll("zeta\r-7\r");
    // The flags chooser selects a flag; delete removes it
    clickButton(FlagsButton);
    ASSERT_EQ(getEditorState(), 8);
    clickName(FlagChooserId * 100 + 2);
    const std::string picked = flagAtPosition(1)->name;
    EXPECT_EQ(selectedFlagText(), picked + " , V: " + std::to_string(flagAtPosition(1)->value));
    clickButton(DeleteFlagButton);
    EXPECT_EQ(findFlag(picked), nullptr);
    EXPECT_EQ(selectedFlagText(), "- Ninguna Seleccionada -");
}

TEST_F(EventEditorGl, FlagAndMaterialKindsGoThroughTheirChoosers)
{
    addFlags(1);
    clickButton(FirstConditionRowButton);
    clickName(ConditionChooserId * 100 + 2);  // "FLAG = ??"
    ASSERT_EQ(getEditorState(), 22);
    clickName(FlagChooserId * 100 + 1);
    ASSERT_EQ(getEditorState(), 14);
    typeAll("5\r");
    EXPECT_EQ(conditionRowLine(0), "FLAG A0 = 5");
    clickButton(FirstConsequenceRowButton);
    clickName(ConsequenceChooserId * 100 + 3);  // "CHANGE OBJECT MATERIAL"
    ASSERT_EQ(getEditorState(), 19);
    const int rojo = 0;  // ahead of the default material
    ASSERT_EQ(materialChooser().options[rojo].text, "rojo");
    clickName(MaterialChooserId * 100 + rojo + 1);
    EXPECT_EQ(consequenceRowLine(0), "CHANGE MATERIAL To rojo");

    // From the appearance menu: the selected object takes the material and is redrawn
    closeEventEditor();
    setSelectedObject(object_at(1));
    setSelectedIndex(1);
    set_dirty(object_at(1), 0);
    openMaterialChooserCommand();
    ASSERT_EQ(getEditorState(), 6);
    clickName(MaterialChooserId * 100 + rojo + 1);
    EXPECT_STREQ(first_material_name(object_at(1)), "rojo");
    EXPECT_EQ(get_dirty(object_at(1)), 1);
    clickName(0);
    EXPECT_EQ(getEditorState(), 5);
}

TEST_F(EventEditorGl, MenuButtonsAndBackgroundsArePickedWhereTheyAreDrawnWithTheirPictures)
{
    for (ButtonPanel *panel : allMenus())
        for (int i = 0; i < panel->buttonCount; i++)
            EXPECT_EQ(menuPickAt(panel, menuButtonPixel(panel, i), 0), panelName(*panel, i)) << "panel " << panel->id << " button " << i;
    ButtonPanel *appearance = appearanceMenu(), *primitive = primitiveMenu();
    EXPECT_EQ(menuPickAt(appearance, onScreen(appearance, {-3.6f, 0.0f, 0.0f}), 0), 500);
    EXPECT_EQ(menuPickAt(appearance, onScreen(appearance, {6.0f, 0.0f, 0.0f}), 0), 0);
    const PanelPoint a = buttonCentre(*primitive, 0), b = buttonCentre(*primitive, 1);
    const Pixel between = onScreen(primitive, {(a.x + b.x) / 2, a.y, 0.0f});
    EXPECT_EQ(menuPickAt(primitive, between, 0), 100);

    // Over a lit button an edge panel draws only that button: elsewhere nothing is found, so
    // the next pass draws everything; a free panel draws everything in every pass
    EXPECT_EQ(menuPickAt(primitive, menuButtonPixel(primitive, 0), 101), 101);
    EXPECT_EQ(menuPickAt(primitive, menuButtonPixel(primitive, 2), 101), 0);
    EXPECT_EQ(menuPickAt(primitive, between, 101), 0);
    EXPECT_EQ(menuPickAt(appearance, menuButtonPixel(appearance, 1), 501), 502);
    EXPECT_FALSE(pickActive());

    // Drawn: idle, hovered and pressed pictures; a pressed button keeps its down picture when hovered
    ButtonPanel *operation = operationMenu();
    setEditorState(2);
    setPickName(202);
    drawEditorScreen(0);
    for (int i = 0; i < operation->buttonCount; i++) {
        Rgb c = backPixel(menuButtonPixel(operation, i));
        EXPECT_TRUE(i == 4 ? isBlue(c) : i == 1 ? isGreen(c) : isRed(c)) << i << ": " << c.r << " " << c.g << " " << c.b;
    }
    const PanelPoint top = buttonCentre(*operation, 0), below = buttonCentre(*operation, 4);
    EXPECT_TRUE(isGrey(backPixel(onScreen(operation, {top.x, (top.y + below.y) / 2, 0.0f}))));
    setPickName(205);
    drawEditorScreen(0);
    EXPECT_TRUE(isBlue(backPixel(menuButtonPixel(operation, 4))));
}

//----------------------------------------------------------------------------------
// The choosers alone, their commands recorded
//----------------------------------------------------------------------------------
namespace {

std::vector<int> picked;
void recordPick(int argument) { picked.push_back(argument); }

class Choosers : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        ASSERT_EQ(chdir(SW_RUNDATA_DIR), 0);  // the arrow bitmaps are read from Data/
    }
    void SetUp() override
    {
        resetAppState();
        picked.clear();
        setChooserCommands(recordPick, recordPick, recordPick, recordPick);
    }
    // A flags chooser with n flags F00, F01, ...
    static Chooser &flagsWith(int n)
    {
        createFlagTable();
        for (int i = 0; i < n; i++) addFlag(newFlagRecord("F" + std::to_string(100 + i), i));
        buildFlagChooser();
        return flagChooser();
    }
};

}  // namespace

TEST_F(Choosers, ScrollWithinTheLimitsClickPickMarkAndRefuseTheHundredthOption)
{
    Chooser &few = flagsWith(5);  // 5 options in 8 rows: both arrows disabled
    EXPECT_EQ(arrowImage(few, 0), ArrowDisabled);
    EXPECT_EQ(arrowImage(few, 1), ArrowDisabled);
    scroll(few, CHOOSER_DOWN_ARROW);
    EXPECT_EQ(few.topRow, 0);

    Chooser &c = flagsWith(12);
    EXPECT_EQ(arrowImage(c, 0), ArrowDisabled);
    EXPECT_EQ(arrowImage(c, 1), ArrowIdle);
    scroll(c, CHOOSER_DOWN_ARROW);
    EXPECT_EQ(optionAtRow(c, 0), 1);  // options 2 to 9 are shown
    EXPECT_EQ(optionAtRow(c, 7), 8);
    // Hovered, the down arrow shows its pressed image for 15 drawn frames, then the hovered one
    setPickName(FlagChooserId * 100 + CHOOSER_DOWN_ARROW);
    for (int frame = 0; frame < CHOOSER_PRESS_FRAMES; frame++) {
        ASSERT_EQ(arrowImage(c, 1), ArrowPressed) << frame;
        drawChooser(c);
    }
    EXPECT_EQ(arrowImage(c, 1), ArrowHovered);
    for (int i = 0; i < 10; i++) scroll(c, CHOOSER_DOWN_ARROW);
    EXPECT_EQ(c.topRow, 4);  // the last page: options 5 to 12
    EXPECT_EQ(arrowImage(c, 1), ArrowDisabled);
    for (int i = 0; i < 10; i++) scroll(c, CHOOSER_UP_ARROW);
    EXPECT_EQ(c.topRow, 0);

    // Clicks pick, mark and scroll, except on the material chooser's background
    EXPECT_EQ(clickChooser(c, FlagChooserId * 100), 0);  // background: scrolls
    EXPECT_EQ(c.topRow, 1);
    EXPECT_EQ(clickChooser(c, FlagChooserId * 100 + 3), 0);  // visible row 2 = option 4
    clickChooser(c, FlagChooserId * 100 + 1);
    EXPECT_EQ(picked, (std::vector<int>{3, 1}));
    for (size_t i = 0; i < c.options.size(); i++) EXPECT_EQ(c.options[i].marked, i == 1 ? 1 : 0) << i;
    EXPECT_EQ(clickChooser(c, 0), 1);  // empty space: the caller leaves the chooser

    create_material_table();
    add_default_material();
    for (int i = 0; i < 11; i++) {
        material_record *m = new_material();
        m->name = "M" + std::to_string(i);
        add_material(m);
    }
    rebuild_usage_table();
    buildMaterialChooser("M3");
    Chooser &mc = materialChooser();
    clickChooser(mc, MaterialChooserId * 100);
    EXPECT_EQ(mc.topRow, 0);
    int marked = 0;
    for (const ChooserOption &option : mc.options) marked += option.marked ? (option.text == "M3" ? 1 : 100) : 0;
    EXPECT_EQ(marked, 1);
    clear_material_table();

    // The hundredth option is refused
    Chooser full = createChooser(42, 0, 0, -34, 6, 8);
    for (int i = 0; i < CHOOSER_CAPACITY; i++) ASSERT_NE(addOption(full, "x"), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(addOption(full, "y"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n Numero de opciones completo.");
    EXPECT_EQ(full.options.size(), 99u);
}
