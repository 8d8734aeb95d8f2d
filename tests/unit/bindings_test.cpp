// Input bindings driven through the dispatcher and the GLUT callbacks: matching, the rows of
// the four tables and the player's, keys and their effects in each mode (the shared code
// space of characters and special keys, the direct letters, object steps), drags with the
// End-key axis lock.
#include "app_state.h"
#include "bindings.h"
#include "camera.h"
#include "edit_history.h"
#include "input_fakes.h"
#include "objects.h"
#include "operations.h"
#include "picking.h"
#include "scene_geometry.h"
#include "unsaved.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using input_fakes::calls;
using Calls = std::vector<std::string>;

namespace {

int cursor = -1, exits = 0;
std::pair<int, int> lastWarp;

// Actions of hand-made bindings
Calls ran;
int firstAction(const InputEvent &) { ran.push_back("first"); return 1; }
int secondAction(const InputEvent &) { ran.push_back("second"); return 1; }
int recordEvent(const InputEvent &e)
{
    ran.push_back(std::to_string(e.code) + "@" + std::to_string(e.x) + "," + std::to_string(e.y));
    return 1;
}

void press(int key) { keyboard((unsigned char)key, 0, 0); }
void click(int x, int y, int state = GLUT_DOWN) { mouse(GLUT_LEFT_BUTTON, state, x, y); }
int moving() { return getMoveForward() + getMoveLeft() + getMoveRight() + getMoveBack(); }
bool near(float a, float b) { return std::fabs(a - b) < 1e-5f; }
// The check of a key's effect on the selected cube c
#define EFFECT(condition) [](const primitiva &c) -> bool { (void)c; return condition; }

class Bindings : public ::testing::Test {
protected:
    void SetUp() override
    {
        build_sample_objects();
        reset();
        setWindowOps({[](int x, int y) { lastWarp = {x, y}; }, [](int c) { cursor = c; }, [] { return 1024; },
                      [] { return 768; }, [] {}});
        setBindingOps({nullptr, [] { exits++; }, nullptr});
        clearBindings();
        registerInputBindings();
    }
    void TearDown() override
    {
        clear_objects();
        free_sample_objects();
    }
    // Start state: navigation, the camera at (0, 30, 0) looking toward -Z, nothing logged
    static void reset()
    {
        resetAppState();
        clear_objects();
        setCamera(Camera{0, CAMERA_WALK_HEIGHT, 0, 0, 0, 0, 0, 0});
        clearMovementFlags();
        setPointerCaptured(0);
        setLookCentre(-1, -1);
        cursor = -1;
        exits = 0;
        ran.clear();
        // nothing unsaved: Escape ends the program at once
        clearEditHistory();
        markSceneSaved();
        input_fakes::clearCalls();
    }
    // A default cube at (x, y, z), selected as a scene pick would leave it, in object editing
    static primitiva *selectCube(int operation, float x, float y, float z)
    {
        setEditingMode(ObjectEditing);
        setCurrentOperation(operation);
        int slot = create_object(KIND_CUBE);
        primitiva *cube = object_at(slot);
        cube->pose = object_pose{x, y, z, 0, 0, 0};
        setSelectedObject(cube);
        setSelectedIndex(slot);
        return cube;
    }
    // The same, held after a pick at (x, y)
    static primitiva *holdCube(int operation, float z, int x, int y)
    {
        primitiva *cube = selectCube(operation, 0.0f, CAMERA_WALK_HEIGHT, z);
        setObjectHeld(1);
        setLastMouseX(x);
        setLastMouseY(y);
        return cube;
    }
};

}  // namespace

TEST_F(Bindings, TablesHoldTheirRowsAndAFullTableRefusesMore)
{
    EXPECT_EQ(bindingCount(EditKeys), 33);
    EXPECT_EQ(bindingCount(EditMouse), 43);
    EXPECT_EQ(bindingCount(PlayKeys), 9);
    EXPECT_EQ(bindingCount(PlayMouse), 3);
    clearBindings();
    for (int i = 0; i < MAX_BINDINGS; i++) ASSERT_EQ(registerBinding(PlayMouse, firstAction, motionBinding()), 1);
    EXPECT_EQ(registerBinding(PlayMouse, firstAction, motionBinding()), 0);
    EXPECT_EQ(registerBinding(4, firstAction, keyBinding(1, PRESS)), 0);
    EXPECT_EQ(registerBinding(PlayKeys, nullptr, keyBinding(1, PRESS)), 0);
}

TEST_F(Bindings, FirstMatchWinsAndTheDefaultsWantNoPromptAndAnyScreen)
{
    clearBindings();
    InputBinding onlyX = keyBinding('x', PRESS);
    onlyX.wantOperation = onlyX.wantEditingMode = ANY;
    InputBinding anyKey = onlyX;
    anyKey.key.code = ANY;
    ASSERT_EQ(registerBinding(EditKeys, firstAction, onlyX), 1);
    ASSERT_EQ(registerBinding(EditKeys, secondAction, anyKey), 1);
    press('x');
    press('y');
    EXPECT_EQ(dispatchKey(KeyPattern{'x', RELEASE}, InputEvent{}), 0);
    EXPECT_EQ(ran, (Calls{"first", "second"}));

    clearBindings();  // a default binding: no prompt open, any editor screen
    ASSERT_EQ(registerBinding(EditKeys, recordEvent, keyBinding('q', PRESS)), 1);
    setCurrentOperation(Clone);  // operation 0 and navigation are wanted
    setEditorState(17);
    keyboard('q', 7, 8);
    setTextEntryOpen(1);  // not while a prompt is open
    press('q');
    EXPECT_EQ(ran, (Calls{"first", "second", "113@7,8"}));
}

TEST_F(Bindings, KeysDoWhatTheirRowSaysInEachMode)
{
    // A key pressed in a state, and its effect on the cube selected at (1, 2, 3)
    constexpr int NAV = Navigation, EDIT = ObjectEditing;
    struct KeyCase {
        const char *what;
        int editing, operation, look, prompt;
        int key;  // special keys as minus their code
        bool (*effect)(const primitiva &);
    } cases[] = {
        {"d is the left arrow's row", EDIT, Move, 0, 0, 'd', EFFECT(near(c.pose.x, 0.99f))},
        {"g is the down arrow's row", EDIT, Move, 0, 0, 'g', EFFECT(near(c.pose.y, 1.99f))},
        {"k is End", EDIT, Move, 0, 0, 'k', EFFECT(getDragAxisLock() == 1)},
        {"F5 loads", NAV, Clone, 0, 0, -GLUT_KEY_F5, EFFECT(calls() == Calls{"loadScene"})},
        {"Ctrl+E loads", NAV, Clone, 0, 0, 5, EFFECT(calls() == Calls{"loadScene"})},
        {"F9 saves", NAV, Clone, 0, 0, -GLUT_KEY_F9, EFFECT(calls() == Calls{"saveScene"})},
        {"Tab saves", NAV, Clone, 0, 0, '\t', EFFECT(calls() == Calls{"saveScene"})},
        {"special 27 exits", NAV, Clone, 0, 0, -27, EFFECT(exits == 1)},
        {"Escape exits", EDIT, Move, 0, 0, 27, EFFECT(exits == 1)},
        {"Escape closes an open prompt", NAV, Clone, 0, 1, 27,
         EFFECT(exits == 0 && getTextEntryOpen() == 0 && getEditorState() == 7 && calls().empty())},
        {"special 48 resets", EDIT, Move, 0, 0, -48, EFFECT(c.pose.x == 7.0f)},
        {"0 moves it to the viewer", EDIT, Move, 0, 0, '0', EFFECT(c.pose.x == 7.0f && c.pose.y == 30.0f)},
        {"0 resets the rotation", EDIT, Rotate, 0, 0, '0', EFFECT(c.pose.yaw == 0.0f && c.pose.x == 1.0f)},
        {"up walks while looking", NAV, Clone, 1, 0, -GLUT_KEY_UP, EFFECT(getMoveForward() == 1)},
        {"up, pointer free: nothing", NAV, Clone, 0, 0, -GLUT_KEY_UP, EFFECT(moving() == 0 && c.pose.y == 2.0f)},
        {"editing, looking: walks", EDIT, Move, 1, 0, -GLUT_KEY_LEFT, EFFECT(getMoveLeft() == 1 && c.pose.x == 1.0f)},
        {"editing, pointer free: steps", EDIT, Move, 0, 0, -GLUT_KEY_UP, EFFECT(!moving() && near(c.pose.y, 2.01f))},
        {"up raises the pitch", EDIT, Rotate, 0, 0, -GLUT_KEY_UP, EFFECT(c.pose.pitch == 1.0f)},
        {"right widens X", EDIT, ScaleAxis, 0, 0, -GLUT_KEY_RIGHT, EFFECT(near(c.scaleX, 1.01f) && c.scaleY == 1)},
        {"a letter reaches a prompt", NAV, Clone, 0, 1, 'b', EFFECT(calls() == Calls{"typeCharacter 98"})},
        {"arrow to a prompt", EDIT, Move, 0, 1, -GLUT_KEY_LEFT, EFFECT(calls() == Calls{"typeCharacter 100"} && c.pose.x == 1)},
        {"left Shift does not", NAV, Clone, 0, 1, -112, EFFECT(calls().empty())},
        {"A zooms in, not to a prompt", NAV, Clone, 0, 1, 'A', EFFECT(getFieldOfView() == 44.0f && calls().empty())},
        {"s zooms out", EDIT, Move, 1, 0, 's', EFFECT(getFieldOfView() == 46.0f)},
        {"c toggles the display lists", NAV, Clone, 0, 1, 'c', EFFECT(getUseDisplayLists() == 0)},
        {"L shows the HUD", NAV, Clone, 1, 0, 'L', EFFECT(getHudVisible() == 1)},
        {"i inverts the mouse", NAV, Clone, 0, 1, 'i', EFFECT(getInvertMouseY() == 1)},
        {"f flies", EDIT, Move, 0, 1, 'f', EFFECT(getFlyMode() == 1)},
        {"E adds a sphere at the viewer", NAV, Clone, 0, 1, 'E',
         EFFECT(object_count() == 2 && get_kind(object_at(1)) == KIND_SPHERE && object_at(1)->pose.x == 7.0f &&
                object_at(1)->pose.yaw == 45.0f)},
    };
    for (const KeyCase &c : cases) {
        reset();
        primitiva *cube = selectCube(c.operation, 1.0f, 2.0f, 3.0f);
        cube->pose.yaw = 10.0f;
        setEditingMode(c.editing);
        setLookMode(c.look);
        setTextEntryOpen(c.prompt);
        getCamera()->x = 7.0f;
        if (c.editing == Navigation) getCamera()->yaw = 45.0f;
        if (c.key < 0) special(-c.key, 0, 0);
        else press(c.key);
        EXPECT_TRUE(c.effect(*cube)) << c.what;
    }
}

TEST_F(Bindings, EscapeIsIgnoredWhileMouseLookingUntilAClickLeavesIt)
{
    click(512, 384);  // navigation: enters mouse-look
    ASSERT_EQ(getLookMode(), 1);
    EXPECT_EQ(cursor, GLUT_CURSOR_CROSSHAIR);
    press(27);
    click(512, 384, GLUT_UP);  // the release changes nothing
    EXPECT_EQ(getLookMode(), 1);
    EXPECT_EQ(exits, 0);
    click(300, 200);  // a second click leaves it
    EXPECT_EQ(getPointerCaptured(), 0);
    EXPECT_EQ(lastWarp, std::make_pair(300, 200));
    press(27);
    EXPECT_EQ(exits, 1);
    setEditingMode(ObjectEditing);  // outside navigation a click picks
    click(200, 300);
    EXPECT_EQ(getLookMode(), 0);
    EXPECT_EQ(calls(), (Calls{"beginPick 200 300"}));
}

TEST_F(Bindings, DragAmountsGrowWithTheDistanceToTheObject)
{
    primitiva *cube = holdCube(Move, -50.0f, 100, 100);  // the camera at (0, 30, 0) looks toward -Z
    motion(100, 90);  // 10 pixels up: amount 50 / 10 x 1 = 5 in direction 0, a step of 0.5 up
    EXPECT_NEAR(cube->pose.y, CAMERA_WALK_HEIGHT + 0.5f, 1e-4);
    EXPECT_EQ(getLastMouseY(), 90);
    cube->pose.z = -100.0f;
    motion(105, 90);  // twice as far: 100 / 10 x 0.5 = 5 to the right
    EXPECT_NEAR(cube->pose.x, 0.5f, 1e-4);

    setCurrentOperation(Rotate);
    motion(108, 90);  // at any distance 3 pixels are 3 degrees; right at heading 0, level: roll + 3
    EXPECT_NEAR(cube->pose.roll, 3.0f, 1e-4);
    setCurrentOperation(ScaleUniform);
    cube->pose = object_pose{0, CAMERA_WALK_HEIGHT, -50.0f, 0, 0, 0};
    const float half = scene_test::spanOf(*cube).maxX;
    motion(108, 80);  // amount 50 / 100 x 1 = 0.5, a step of 0.05
    EXPECT_NEAR(cube->scaleX, 1.05f, 1e-5);
    EXPECT_NEAR(scene_test::spanOf(*cube).maxX, half, 1e-6);  // kept while the button is down
    click(108, 80, GLUT_UP);
    EXPECT_EQ(getObjectHeld(), 0);
    EXPECT_NEAR(scene_test::spanOf(*cube).maxX, half * 1.05f, 1e-4);
}

TEST_F(Bindings, EndKeyLocksADragToTheFirstAxis)
{
    primitiva *cube = holdCube(Move, -50.0f, 100, 100);
    special(GLUT_KEY_END, 0, 0);
    special(GLUT_KEY_END, 0, 0);  // repeat while held stays 1
    EXPECT_EQ(getDragAxisLock(), 1);
    motion(100, 95);  // the first step is vertical: locked to y
    EXPECT_EQ(getDragAxisLock(), 2);
    motion(130, 95);  // horizontal steps are ignored now
    EXPECT_EQ(cube->pose.x, 0.0f);
    click(130, 95, GLUT_UP);  // release: End is still held
    EXPECT_EQ(getDragAxisLock(), 1);

    setObjectHeld(1);
    motion(140, 85);  // diagonal first step: y is tried first
    EXPECT_EQ(getDragAxisLock(), 2);
    click(140, 85, GLUT_UP);
    setObjectHeld(1);
    const float y = cube->pose.y;
    motion(150, 85);  // horizontal first: locked to x
    EXPECT_EQ(getDragAxisLock(), 3);
    motion(150, 60);
    EXPECT_EQ(cube->pose.y, y);
    specialUp(GLUT_KEY_END, 0, 0);  // released: free again, even mid-drag
    EXPECT_EQ(getDragAxisLock(), 0);
    motion(150, 50);
    EXPECT_GT(cube->pose.y, y);
}

TEST_F(Bindings, PlayKeysWalkAndEscapeLeavesPlayAndMouseLookWithNothingStillMoving)
{
    setPlayMode(1);
    setLookMode(1);
    setCurrentOperation(Rotate);  // whatever operation was left from editing
    special(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(getMoveBack(), 1);
    press(27);
    specialUp(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(getPlayMode() + getLookMode() + moving() + exits, 0);
    EXPECT_EQ(calls(), (Calls{"stopPlay"}));

    click(512, 384);  // mouse-look: a release stops walking, and so does leaving it
    special(GLUT_KEY_UP, 0, 0);
    specialUp(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(moving(), 0);
    special(GLUT_KEY_UP, 0, 0);
    click(512, 384);
    specialUp(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(moving(), 0);
}

TEST_F(Bindings, PlayerTablesOnlyWalkLookAndActivateAndEscapeEndsTheProgram)
{
    registerPlayerBindings();
    EXPECT_EQ(bindingCount(EditKeys) + bindingCount(EditMouse), 0);
    setPlayMode(1);
    setLookMode(1);
    // F5, F9, the E key and the edges change nothing; both buttons pick at the pointer
    special(GLUT_KEY_F5, 0, 0);
    special(GLUT_KEY_F9, 0, 0);
    press('e');
    motion(0, 384);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384);
    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 512, 384);
    EXPECT_EQ(object_count(), 0);
    EXPECT_EQ(getEditorState(), 0);
    EXPECT_EQ(calls(), (Calls{"beginPlayPick 512 384", "beginPlayPick 512 384"}));
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(getMoveForward(), 1);
    press(27);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(getPlayMode(), 1);   // never back to editing

    clearBindings();   // the lock goes with the tables
    registerInputBindings();
    press('e');
    EXPECT_EQ(object_count(), 1);
}
