// The five editor menus and the event panel record, built with a recording bitmap loader:
// their bitmaps, the marks they start with, what a click on each kind of button does, and
// the core commands that open the edge menus and route clicks.
#include "app_state.h"
#include "camera.h"
#include "commands.h"
#include "menus.h"
#include "objects.h"
#include "timers.h"

#include <gtest/gtest.h>

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
        resetAppState();
        clear_objects();
        set_creation_counter(0);
        setCamera(Camera{});
        setPanelTextureLoader(fakeTexture);
        setTimerScheduler(recordTimer);
        freeAllTimers();
        setMenuHooks(MenuHooks{[] { hookCalls.push_back("play"); }, [] { hookCalls.push_back("load"); },
                               [] { hookCalls.push_back("save"); }, [] { hookCalls.push_back("material"); },
                               [] { hookCalls.push_back("close"); }});
        createMenus();
        createEventPanel();
    }
    void TearDown() override
    {
        freeMenus();
        clear_objects();
        free_sample_objects();
        set_creation_counter(0);
        setPanelTextureLoader(nullptr);
        setTimerScheduler(nullptr);
        freeAllTimers();
        setMenuHooks(MenuHooks{});
        resetAppState();
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

TEST_F(Menus, BuiltInOrderWithTheirBitmaps)
{
    std::vector<std::string> backgrounds;
    for (const std::string &path : loaded)
        if (path.find("Data/menu") == 0 || path == "Data/events1.bmp") backgrounds.push_back(path);
    EXPECT_EQ(backgrounds, (std::vector<std::string>{"Data/menuPrimitiva.bmp", "Data/menuOperation.bmp", "Data/menuOpEsp.bmp",
                                                     "Data/menuApariencia.bmp", "Data/menuFile.bmp", "Data/events1.bmp"}));
    // 5 backgrounds and 3 bitmaps for each of 12 + 8 + 3 + 4 + 4 buttons, then the event panel
    EXPECT_EQ(loaded.size(), 5u + 3u * 31u + 1u);
    // Primitive pictures: the same picture idle and pressed, the Selected one hovered
    const PanelButton &halfCircle = primitiveMenu()->buttons[7];
    EXPECT_EQ(halfCircle.bitmaps[IMAGE_MOVE], "Data/medio circuloSelected.bmp");
    EXPECT_EQ(halfCircle.bitmaps[IMAGE_DOWN], "Data/medio circulo.bmp");
    EXPECT_EQ(operationMenu()->buttons[6].bitmaps[IMAGE_DOWN], "Data/EscaladoUniDown.bmp");
    EXPECT_EQ(eventPanel()->id, 7);
}

TEST_F(Menus, PrimitiveButtonsAddTheirKindAtTheViewerAndClose)
{
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
}

TEST_F(Menus, RadioGroupsAndFileHooks)
{
    EXPECT_EQ(marks(operationMenu()), (std::vector<int>{0, 0, 0, 0, 1, 0, 0, 0}));  // translacion
    click(operationMenu(), 203);
    EXPECT_EQ(getCurrentOperation(), Delete);
    EXPECT_EQ(marks(operationMenu()), (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0}));
    click(modeMenu(), 403);
    EXPECT_EQ(getEditingMode(), Events);
    EXPECT_EQ(marks(modeMenu()), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(getCurrentOperation(), Delete);
    EXPECT_EQ(getEditorState(), 0);

    for (int name : {301, 302, 303}) click(fileMenu(), name);
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"play", "load", "save"}));
    setMenuHooks(MenuHooks{});  // without hooks the buttons only close the menu
    click(fileMenu(), 303);
    EXPECT_EQ(hookCalls.size(), 3u);
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
    click(appearanceMenu(), 0);  // a click outside closes it
    EXPECT_EQ(getEditorState(), 0);
}

TEST_F(Menus, EdgeMenusSwingInAndClicksGoToThePanelOfTheState)
{
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
    click(eventPanel(), 0);
    EXPECT_EQ(hookCalls, std::vector<std::string>{"close"});
}
