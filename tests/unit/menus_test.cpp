// Button panels and the five editor menus without GL, built with a recording bitmap loader and
// a recording timer scheduler: where each placement puts its buttons, the capacity, the
// swing-in, the click dispatch by selection name, the menus' bitmaps and marks, what a click on
// each kind of button does, and the application commands that open the edge menus.
#include "app_state.h"
#include "camera.h"
#include "commands.h"
#include "menus.h"
#include "objects.h"
#include "panels.h"
#include "timers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

std::vector<std::string> loaded, hookCalls;
int fakeTexture(const char *path)
{
    loaded.push_back(path);
    return (int)loaded.size();
}
std::vector<int> pendingSlots;
void recordTimer(unsigned int, void (*)(int), int slot) { pendingSlots.push_back(slot); }
// Fires the oldest waiting tick; false when none waits
bool fireTick()
{
    if (pendingSlots.empty()) return false;
    int slot = pendingSlots.front();
    pendingSlots.erase(pendingSlots.begin());
    timerTrampoline(slot);
    return true;
}
// Commands run by buttons, as their arguments
std::vector<int> commandsRun;
void recordCommand(int argument) { commandsRun.push_back(argument); }

// Two points within 1e-4 on each axis
bool samePoint(PanelPoint p, PanelPoint q)
{
    return std::fabs(p.x - q.x) < 1e-4f && std::fabs(p.y - q.y) < 1e-4f && std::fabs(p.z - q.z) < 1e-4f;
}

// Pressed marks of a panel's buttons
std::vector<int> marks(const ButtonPanel *panel)
{
    std::vector<int> result;
    for (int i = 0; i < panel->buttonCount; i++) result.push_back(panel->buttons[(size_t)i].pressed);
    return result;
}

class Menus : public ::testing::Test {
protected:
    void SetUp() override
    {
        loaded.clear();
        hookCalls.clear();
        pendingSlots.clear();
        commandsRun.clear();
        resetAppState();
        clear_objects();
        set_creation_counter(0);
        setCamera(Camera{});
        setPanelTextureLoader(fakeTexture);
        setTimerScheduler(recordTimer);
        freeAllTimers();
        setMenuHooks(MenuHooks{[] { hookCalls.push_back("play"); }, [] { hookCalls.push_back("load"); },
                               [] { hookCalls.push_back("save"); }, [] { hookCalls.push_back("material"); },
                               [] { hookCalls.push_back("close"); }, [] { hookCalls.push_back("leave"); }});
        createMenus();
        createEventPanel();
    }
    void TearDown() override
    {
        freeMenus();
        clear_objects();
        free_sample_objects();
        freeAllTimers();
    }

    // A panel with the given grid and layout, every button recording its argument (= index)
    static PanelPtr makePanel(int columns, int rows, int id, int placement, float w, float h, int buttons)
    {
        PanelPtr panel = createPanel(columns, rows, id, placement, w, h, "Data/back.bmp");
        setButtonHeight(setButtonWidth(setRowGap(setColumnGap(setTopInset(setLeftInset(panel.get(), 1), 2), 0.5f), 0.25f), 3), 1.5f);
        for (int i = 0; i < buttons; i++) {
            PanelButton *b = addPanelButton(panel.get(), "u", "m", "d");
            b->command = recordCommand;
            b->argument = i;
        }
        return panel;
    }
    // A left click with the name under the pointer, made while the panel is open
    static void click(ButtonPanel *panel, int name)
    {
        setEditorState(panel->id);
        clickPanel(panel, name);
    }

    // A new object selected as a pick would select it
    static primitiva *selectNew(int kind)
    {
        int index = create_object(kind);
        primitiva *object = object_at(index);
        setSelectedObject(object);
        setSelectedIndex(index);
        object->dirty = 0;
        return object;
    }
};

}  // namespace

TEST_F(Menus, BuiltInOrderWithTheirBitmapsAndANinthButtonIsRefused)
{
    std::vector<std::string> backgrounds;
    for (const std::string &path : loaded)
        if (path.find("Data/menu") == 0 || path == "Data/events1.bmp") backgrounds.push_back(path);
    EXPECT_EQ(backgrounds, (std::vector<std::string>{"Data/menuPrimitiva.bmp", "Data/menuOperation.bmp", "Data/menuOpEsp.bmp",
                                                     "Data/menuApariencia.bmp", "Data/menuFile.bmp", "Data/events1.bmp"}));
    // 5 backgrounds and 3 bitmaps for each of 12 + 8 + 3 + 4 + 4 buttons, then the event panel
    EXPECT_EQ(loaded.size(), 5u + 3u * 31u + 1u);
    // Primitive pictures: the Selected one hovered, two-word stems with their space
    EXPECT_EQ(primitiveMenu()->buttons[7].bitmaps[IMAGE_MOVE], "Data/medio circuloSelected.bmp");

    // A ninth button on a 4 x 2 panel is refused and loads nothing
    loaded.clear();
    PanelPtr panel = makePanel(4, 2, 2, PlacementBottom, 32, 20, 8);
    EXPECT_EQ(loaded.size(), 1u + 24u);
    EXPECT_EQ(panel->buttons[7].bitmaps[IMAGE_DOWN], "d");
    testing::internal::CaptureStdout();
    EXPECT_EQ(addPanelButton(panel.get(), "u8", "m8", "d8"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n Numero de botones completo.");
    EXPECT_EQ(panel->buttonCount, 8);
    EXPECT_EQ(loaded.size(), 25u);
    EXPECT_FALSE(createPanel(10, 10, 1, PlacementLeft, 1, 1, nullptr));  // more than 99 names
    EXPECT_FALSE(createPanel(1, 1, 100, PlacementLeft, 1, 1, nullptr));
}

TEST_F(Menus, PrimitiveRadioAndFileButtons)
{
    // Primitive buttons add their kind at the viewer and close the menu
    Camera camera = {};
    camera.x = 3.0f;
    camera.yaw = 90.0f;
    setCamera(camera);
    const std::vector<std::pair<int, int>> buttons = {{0, KIND_CUBE}, {1, KIND_PYRAMID}, {7, KIND_HALF_CIRCLE},
                                                      {11, KIND_HALF_SPHERE}};
    for (auto [button, kind] : buttons) {
        click(primitiveMenu(), 101 + button);
        const primitiva *made = object_at(object_count() - 1);
        EXPECT_EQ(made->objeto3D, kind) << "button " << button;
        EXPECT_EQ(made->pose.x, 3.0f);
        EXPECT_EQ(made->pose.yaw, 90.0f);
        EXPECT_EQ(getEditorState(), 0);
    }
    EXPECT_EQ(object_count(), (int)buttons.size());

    // Radio groups and the file menu's hooks
    EXPECT_EQ(marks(operationMenu()), (std::vector<int>{0, 0, 0, 0, 1, 0, 0, 0}));  // translacion
    click(operationMenu(), 203);
    EXPECT_EQ(getCurrentOperation(), Delete);
    EXPECT_EQ(marks(operationMenu()), (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0}));
    click(modeMenu(), 403);
    EXPECT_EQ(getEditingMode(), Events);
    EXPECT_EQ(marks(modeMenu()), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(getCurrentOperation(), Delete);
    EXPECT_EQ(getEditorState(), 0);

    for (int name : {301, 302, 303, 304}) click(fileMenu(), name);
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"play", "load", "save", "leave"}));
    setMenuHooks(MenuHooks{});  // without hooks the buttons only close the menu
    click(fileMenu(), 303);
    EXPECT_EQ(hookCalls.size(), 4u);
    EXPECT_EQ(getEditorState(), 0);
}

TEST_F(Menus, AppearanceSwitchesChangeTheSelectedObjectAndMirrorIt)
{
    click(appearanceMenu(), 504);  // no selected object: nothing
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 0, 0, 0}));
    primitiva *rectangle = selectNew(KIND_RECTANGLE);
    setAppearanceMarks(rectangle);
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 1, 0, 0}));
    click(appearanceMenu(), 502);  // solido
    EXPECT_EQ(is_solid(rectangle), 0);
    EXPECT_EQ(rectangle->dirty, 1);
    click(appearanceMenu(), 503);  // Promedio
    click(appearanceMenu(), 504);  // malla
    EXPECT_EQ(rectangle->promediado, 1);
    EXPECT_EQ(rectangle->wireFrame, 1);
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(getEditorState(), 5);  // stays open

    primitiva *cube = selectNew(KIND_CUBE);  // a cube stays solid
    setAppearanceMarks(cube);
    click(appearanceMenu(), 502);
    EXPECT_EQ(is_solid(cube), 1);
    click(appearanceMenu(), 501);
    EXPECT_EQ(hookCalls, std::vector<std::string>{"material"});
}

TEST_F(Menus, PlacementsGridOriginsAndButtonCentres)
{
    // Insets 1 / 2, gaps 0.5 / 0.25, buttons 3 x 1.5, grid 2 x 2
    struct Case {
        int placement;
        float w, h;
        PanelPoint offset, origin, first, last;
    } cases[] = {
        {PlacementLeft, 20, 25, {-19.2f, 0, -35}, {0, 12.5f, 0.5f}, {3.0f, 9.5f, 0.7f}, {6.5f, 7.75f, 0.7f}},
        {PlacementRight, 20, 25, {19.2f, 0, -35}, {-10, 12.5f, 0.5f}, {-7.0f, 9.5f, 0.7f}, {-3.5f, 7.75f, 0.7f}},
        // top panels grow upwards from their lower edge
        {PlacementTop, 32, 20, {0, 14.4f, -35}, {-16, -10, 0.5f}, {-13.0f, -7.0f, 0.7f}, {-9.5f, -5.25f, 0.7f}},
        {PlacementBottom, 32, 20, {0, -14.4f, -35}, {-16, 10, 0.5f}, {-13.0f, 7.0f, 0.7f}, {-9.5f, 5.25f, 0.7f}},
        {PlacementFree, 8, 14, {-14.5f, 2.0f, -34.0f}, {-4, 7, 0.5f}, {-1.0f, 4.0f, 0.7f}, {2.5f, 2.25f, 0.7f}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.placement);
        PanelPtr panel = makePanel(2, 2, 1, c.placement, c.w, c.h, 4);
        panel->position = {-14.5f, 2.0f, 1.0f};
        EXPECT_TRUE(samePoint(placementOffset(*panel), c.offset));
        EXPECT_TRUE(samePoint(gridOrigin(*panel), c.origin));
        EXPECT_TRUE(samePoint(buttonCentre(*panel, 0), c.first));
        EXPECT_TRUE(samePoint(buttonCentre(*panel, 3), c.last));
    }
    // the file menu: top, one row above the lower edge
    EXPECT_TRUE(samePoint(buttonCentre(*fileMenu(), 3), {-16 + 2.1f + 1.2f + 19.5f + 3.25f, -10 + 2.5f + 0.666f + 1.625f, 0.7f}));
}

TEST_F(Menus, SwingInTurnsSixteenDegreesATickAndRestsAtTwentyFive)
{
    PanelPtr panel = makePanel(4, 1, 3, PlacementTop, 32, 20, 0);
    panel->angle = 25.0f;
    swingInPanel(panel.get());
    std::vector<float> angles = {panel->angle};
    while (fireTick()) {
        angles.push_back(panel->angle);
        if (angles.size() == 3) {  // reopened while swinging: the same swing again
            swingInPanel(panel.get());
            angles.push_back(panel->angle);
        }
    }
    EXPECT_EQ(angles, (std::vector<float>{-55, -39, -23, -55, -39, -23, -7, 9, 25}));

    // With every timer slot busy the swing stops where it is; a panel gone while its tick waits is left alone
    swingInPanel(panel.get());
    pendingSlots.clear();
    freeAllTimers();
    for (int i = 0; i < TIMER_SLOTS; i++) ASSERT_EQ(startTimer(5, recordCommand, i), 1);
    pendingSlots.clear();
    swingStep(3);
    EXPECT_EQ(panel->angle, -39.0f);
    EXPECT_TRUE(pendingSlots.empty());
    freeAllTimers();
    swingInPanel(panel.get());
    panel.reset();
    EXPECT_TRUE(fireTick());
}

TEST_F(Menus, ClicksRunTheNamedButtonOfTheOpenPanelAndCloseOnlyTheMenusThatShould)
{
    // id, name, command run (-1: none), state after (for the edge menus a command closes them)
    struct Case {
        int id, name, command, stateAfter;
    } cases[] = {
        {2, 203, 2, 0},  {2, 208, 7, 0},  {2, 200, -1, 2}, {2, 0, -1, 2}, {2, 105, -1, 2}, {1, 0, -1, 1},
        {3, 0, -1, 3},   {4, 0, -1, 4},   {5, 502, 1, 5},  {5, 0, -1, 0}, {7, 708, 7, 7},  {7, 0, -1, 0},
    };
    for (const Case &c : cases) {
        PanelPtr panel = makePanel(4, 2, c.id, PlacementFree, 32, 20, 8);
        commandsRun.clear();
        setEditorState(c.id);
        clickPanel(panel.get(), c.name);
        EXPECT_EQ(commandsRun, c.command < 0 ? std::vector<int>{} : std::vector<int>{c.command}) << c.name;
        EXPECT_EQ(getEditorState(), c.stateAfter) << c.name;
    }
    EXPECT_EQ(hookCalls, std::vector<std::string>{"close"});

    PanelPtr panel = makePanel(4, 2, 2, PlacementBottom, 32, 20, 8);
    markRadioButton(panel.get(), 4);
    markRadioButton(panel.get(), 6);
    for (int i = 0; i < 8; i++) EXPECT_EQ(panel->buttons[(size_t)i].pressed, i == 6 ? 1 : 0);
    EXPECT_EQ(findButtonByArgument(panel.get(), 6), &panel->buttons[6]);

    // The edge menus swing in when opened; a click goes to the panel of the state
    setPickName(105);
    fileMenu()->angle = 25.0f;
    openEdgeMenu(3);
    EXPECT_EQ(getEditorState(), 3);
    EXPECT_EQ(getPickName(), 0);
    EXPECT_EQ(fileMenu()->angle, -55.0f);
    EXPECT_EQ(pendingSlots.size(), 1u);
    setEditorState(0);
    openEdgeMenu(5);  // only the four edge menus open this way
    EXPECT_EQ(getEditorState(), 0);

    setEditorState(2);
    setPickName(206);  // rotacion
    panelClick();
    EXPECT_EQ(getCurrentOperation(), Rotate);
    EXPECT_EQ(getEditorState(), 0);
}
