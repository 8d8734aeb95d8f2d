// The five editor menus and the event panel record, built with a recording bitmap loader:
// their bitmaps and order, the marks they start with, and what a click on each kind of
// button does (new primitives, the operation and mode radio groups, the file hooks, the
// appearance switches of the selected object). The core commands that open the edge menus,
// route clicks and set the appearance marks are checked at the end.
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

std::vector<std::string> loaded;
int fakeTexture(const char *path)
{
    loaded.push_back(path);
    return (int)loaded.size();
}

std::vector<std::string> hookCalls;
void playHook() { hookCalls.push_back("play"); }
void loadHook() { hookCalls.push_back("load"); }
void saveHook() { hookCalls.push_back("save"); }
void materialHook() { hookCalls.push_back("material"); }
void closeHook() { hookCalls.push_back("close"); }

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
        setMenuHooks(MenuHooks{playHook, loadHook, saveHook, materialHook, closeHook});
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
    // Backgrounds in the order primitive, operation, editing mode, appearance, file; the
    // event panel last
    std::vector<std::string> backgrounds;
    for (const std::string &path : loaded)
        if (path.find("Data/menu") == 0 || path == "Data/events1.bmp") backgrounds.push_back(path);
    EXPECT_EQ(backgrounds, (std::vector<std::string>{"Data/menuPrimitiva.bmp", "Data/menuOperation.bmp", "Data/menuOpEsp.bmp",
                                                     "Data/menuApariencia.bmp", "Data/menuFile.bmp", "Data/events1.bmp"}));
    // 5 backgrounds and 3 bitmaps for each of 12 + 8 + 3 + 4 + 4 buttons, then the event panel
    EXPECT_EQ(loaded.size(), 5u + 3u * 31u + 1u);

    // Primitive pictures: the same picture idle and pressed, the Selected one hovered,
    // two-word stems with their space
    const PanelButton &halfCircle = primitiveMenu()->buttons[7];
    EXPECT_EQ(halfCircle.bitmaps[IMAGE_UP], "Data/medio circulo.bmp");
    EXPECT_EQ(halfCircle.bitmaps[IMAGE_MOVE], "Data/medio circuloSelected.bmp");
    EXPECT_EQ(halfCircle.bitmaps[IMAGE_DOWN], "Data/medio circulo.bmp");
    // The other menus: Up, Move, Down
    const PanelButton &uniform = operationMenu()->buttons[6];
    EXPECT_EQ(uniform.bitmaps[IMAGE_UP], "Data/EscaladoUniUp.bmp");
    EXPECT_EQ(uniform.bitmaps[IMAGE_MOVE], "Data/EscaladoUniMove.bmp");
    EXPECT_EQ(uniform.bitmaps[IMAGE_DOWN], "Data/EscaladoUniDown.bmp");
    EXPECT_EQ(appearanceMenu()->buttons[2].bitmaps[IMAGE_UP], "Data/PromedioUp.bmp");
    EXPECT_EQ(fileMenu()->buttons[3].bitmaps[IMAGE_MOVE], "Data/exitMove.bmp");
}

TEST_F(Menus, PanelsAndTheStatesThatShowThem)
{
    EXPECT_EQ(primitiveMenu()->buttonCount, 12);
    EXPECT_EQ(operationMenu()->buttonCount, 8);
    EXPECT_EQ(fileMenu()->buttonCount, 4);
    EXPECT_EQ(modeMenu()->buttonCount, 3);
    EXPECT_EQ(appearanceMenu()->buttonCount, 4);

    const ButtonPanel *events = eventPanel();
    ASSERT_NE(events, nullptr);
    EXPECT_EQ(events->id, 7);
    EXPECT_EQ(events->buttonCount, 0);
    EXPECT_EQ(events->buttons.size(), 35u);
    EXPECT_EQ(events->placement, PlacementFree);
    EXPECT_EQ(events->position, (std::array<float, 3>{0.0f, 6.875f, 0.0f}));
    EXPECT_EQ(events->colour, (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(events->leftInset, 2.0f);
    EXPECT_EQ(events->topInset, 1.6f);
    EXPECT_EQ(events->width, 30.0f);
    EXPECT_EQ(events->height, 6.0f);

    EXPECT_EQ(panelForState(0), nullptr);
    EXPECT_EQ(panelForState(1), primitiveMenu());
    EXPECT_EQ(panelForState(2), operationMenu());
    EXPECT_EQ(panelForState(3), fileMenu());
    EXPECT_EQ(panelForState(4), modeMenu());
    EXPECT_EQ(panelForState(5), appearanceMenu());
    EXPECT_EQ(panelForState(6), nullptr);
    EXPECT_EQ(panelForState(7), eventPanel());
    EXPECT_EQ(panelForState(22), eventPanel());
    for (int state = 1; state <= 5; state++) EXPECT_EQ(panelForState(state)->id, state);
}

TEST_F(Menus, PrimitiveButtonsAddTheirKindAtTheViewerAndClose)
{
    Camera camera = {};
    camera.x = 3.0f;
    camera.z = -7.0f;
    camera.yaw = 90.0f;
    setCamera(camera);
    const std::vector<std::pair<int, int>> buttons = {{0, KIND_CUBE}, {1, KIND_PYRAMID}, {3, KIND_RECTANGLE},
                                                      {7, KIND_HALF_CIRCLE}, {9, KIND_HALF_CYLINDER}, {11, KIND_HALF_SPHERE}};
    for (auto [button, kind] : buttons) {
        click(primitiveMenu(), 101 + button);
        ASSERT_GT(object_count(), 0);
        const primitiva *made = object_at(object_count() - 1);
        EXPECT_EQ(made->objeto3D, kind) << "button " << button;
        EXPECT_EQ(made->pose.x, 3.0f);
        EXPECT_EQ(made->pose.yaw, 90.0f);
        EXPECT_EQ(getEditorState(), 0);
    }
    EXPECT_EQ(object_count(), (int)buttons.size());
}

TEST_F(Menus, OperationAndModeMenusAreRadioGroups)
{
    // Built with "translacion" and "navegacion" pressed
    EXPECT_EQ(marks(operationMenu()), (std::vector<int>{0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(marks(modeMenu()), (std::vector<int>{1, 0, 0}));

    click(operationMenu(), 203);    // eliminar
    EXPECT_EQ(getCurrentOperation(), Delete);
    EXPECT_EQ(marks(operationMenu()), (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(getEditorState(), 0);
    click(operationMenu(), 208);    // EscaladoDir
    EXPECT_EQ(getCurrentOperation(), ScaleAxis);
    EXPECT_EQ(marks(operationMenu()), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 1}));

    click(modeMenu(), 402);         // edObjetos
    EXPECT_EQ(getEditingMode(), ObjectEditing);
    EXPECT_EQ(marks(modeMenu()), (std::vector<int>{0, 1, 0}));
    click(modeMenu(), 403);         // eventos
    EXPECT_EQ(getEditingMode(), Events);
    EXPECT_EQ(marks(modeMenu()), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(getEditorState(), 0);
    // the operation menu is not touched by the mode menu
    EXPECT_EQ(getCurrentOperation(), ScaleAxis);
}

TEST_F(Menus, FileButtonsRunTheirHooksAndClose)
{
    click(fileMenu(), 301);
    click(fileMenu(), 302);
    click(fileMenu(), 303);
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"play", "load", "save"}));
    EXPECT_EQ(getEditorState(), 0);

    // Without hooks the buttons do nothing but close the menu
    setMenuHooks(MenuHooks{});
    click(fileMenu(), 303);
    EXPECT_EQ(hookCalls.size(), 3u);
    EXPECT_EQ(getEditorState(), 0);
}

TEST_F(Menus, AppearanceSwitchesChangeTheSelectedObjectAndMirrorIt)
{
    primitiva *rectangle = selectNew(KIND_RECTANGLE);
    appearanceMenu()->buttons[0].pressed = 1;
    setAppearanceMarks(rectangle);
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 1, 0, 0}));

    click(appearanceMenu(), 502);    // solido
    EXPECT_EQ(is_solid(rectangle), 0);
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(rectangle->dirty, 1);
    EXPECT_EQ(getEditorState(), 5);    // stays open

    rectangle->dirty = 0;
    click(appearanceMenu(), 503);    // Promedio
    EXPECT_EQ(rectangle->promediado, 1);
    EXPECT_EQ(rectangle->dirty, 1);
    rectangle->dirty = 0;
    click(appearanceMenu(), 504);    // malla
    EXPECT_EQ(rectangle->wireFrame, 1);
    EXPECT_EQ(rectangle->dirty, 1);
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 0, 1, 1}));

    // Each switch turns back
    click(appearanceMenu(), 502);
    click(appearanceMenu(), 503);
    click(appearanceMenu(), 504);
    EXPECT_EQ(is_solid(rectangle), 1);
    EXPECT_EQ(rectangle->promediado, 0);
    EXPECT_EQ(rectangle->wireFrame, 0);
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(getEditorState(), 5);
}

TEST_F(Menus, ACubeStaysSolidAndTheMaterialButtonAsksForTheChooser)
{
    primitiva *cube = selectNew(KIND_CUBE);
    setAppearanceMarks(cube);
    click(appearanceMenu(), 502);
    EXPECT_EQ(is_solid(cube), 1);
    EXPECT_EQ(appearanceMenu()->buttons[1].pressed, 1);
    EXPECT_EQ(cube->dirty, 1);

    click(appearanceMenu(), 501);
    EXPECT_EQ(hookCalls, std::vector<std::string>{"material"});
    EXPECT_EQ(appearanceMenu()->buttons[0].pressed, 0);
}

TEST_F(Menus, AppearanceSwitchesWithoutASelectedObjectDoNothing)
{
    setSelectedObject(nullptr);
    click(appearanceMenu(), 503);
    click(appearanceMenu(), 504);
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(getEditorState(), 5);

    // A click outside the menu closes it
    click(appearanceMenu(), 0);
    EXPECT_EQ(getEditorState(), 0);
}

TEST_F(Menus, EmptyClickOnTheEventPanelClosesTheEventEditor)
{
    click(eventPanel(), 0);
    EXPECT_EQ(hookCalls, std::vector<std::string>{"close"});
    EXPECT_EQ(getEditorState(), 0);
}

//----------------------------------------------------------------------------------
// The core commands behind the bindings and the scene pick
//----------------------------------------------------------------------------------
TEST_F(Menus, OpeningAnEdgeMenuSwingsItInWithNoButtonLit)
{
    setPickName(105);
    fileMenu()->angle = 25.0f;
    openEdgeMenu(3);
    EXPECT_EQ(getEditorState(), 3);
    EXPECT_EQ(getPickName(), 0);
    EXPECT_EQ(fileMenu()->angle, -55.0f);
    EXPECT_EQ(pendingSlots.size(), 1u);

    // Only the four edge menus open this way
    setEditorState(0);
    openEdgeMenu(5);
    openEdgeMenu(7);
    openEdgeMenu(0);
    EXPECT_EQ(getEditorState(), 0);
    EXPECT_EQ(pendingSlots.size(), 1u);
}

TEST_F(Menus, APanelClickGoesToThePanelOfTheEditorState)
{
    setEditorState(2);
    setPickName(206);    // rotacion
    panelClick();
    EXPECT_EQ(getCurrentOperation(), Rotate);
    EXPECT_EQ(getEditorState(), 0);

    // In a state without a panel nothing happens
    setEditorState(6);
    setPickName(0);
    panelClick();
    EXPECT_EQ(getEditorState(), 6);
}

TEST_F(Menus, TheAppearanceMenuOpensWithTheObjectsMarks)
{
    primitiva *cylinder = selectNew(KIND_CYLINDER);
    cylinder->wireFrame = 1;
    cylinder->promediado = 1;
    toggle_solido(cylinder);
    appearanceMenu()->buttons[0].pressed = 1;
    setEditorState(5);
    openAppearanceMenu();
    EXPECT_EQ(marks(appearanceMenu()), (std::vector<int>{0, 0, 1, 1}));

    setEditorState(7);
    closeEventEditor();
    EXPECT_EQ(getEditorState(), 0);
}
