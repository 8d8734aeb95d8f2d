// Input bindings driven through the dispatcher and the GLUT callbacks: matching, the shared
// code space of characters and special keys, the direct letters, the rows of the four
// tables, object steps and drags with the End-key axis lock.
#include "app_state.h"
#include "bindings.h"
#include "camera.h"
#include "input_fakes.h"
#include "objects.h"
#include "operations.h"
#include "picking.h"
#include "scene_geometry.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

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

class Bindings : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        clear_objects();
        build_sample_objects();
        setCamera(Camera{0, CAMERA_WALK_HEIGHT, 0, 0, 0, 0, 0, 0});
        clearMovementFlags();
        setPointerCaptured(0);
        setLookCentre(-1, -1);
        cursor = -1;
        exits = 0;
        ran.clear();
        input_fakes::clearCalls();
        setWindowOps({[](int x, int y) { lastWarp = {x, y}; }, [](int c) { cursor = c; }, [] { return 1024; },
                      [] { return 768; }, [] {}});
        setBindingOps({nullptr, [] { exits++; }});
        clearBindings();
        registerInputBindings();
    }
    void TearDown() override
    {
        clear_objects();
        free_sample_objects();
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
    onlyX.wantOperation = ANY;
    onlyX.wantEditingMode = ANY;
    InputBinding anyKey = onlyX;
    anyKey.key.code = ANY;
    ASSERT_EQ(registerBinding(EditKeys, firstAction, onlyX), 1);
    ASSERT_EQ(registerBinding(EditKeys, secondAction, anyKey), 1);
    press('x');
    press('y');
    EXPECT_EQ(dispatchKey(KeyPattern{'x', RELEASE}, InputEvent{}), 0);
    EXPECT_EQ(ran, (Calls{"first", "second"}));

    InputBinding defaults;
    EXPECT_EQ(defaults.wantTextEntry, 0);
    EXPECT_EQ(defaults.wantEditorState, -1);
    clearBindings();
    ASSERT_EQ(registerBinding(EditKeys, recordEvent, keyBinding('q', PRESS)), 1);
    setCurrentOperation(Clone);  // operation 0 and navigation are wanted
    setEditorState(17);          // any editor screen
    keyboard('q', 7, 8);
    setTextEntryOpen(1);  // not while a prompt is open
    press('q');
    EXPECT_EQ(ran, (Calls{"first", "second", "113@7,8"}));
}

TEST_F(Bindings, CharactersAndSpecialKeysShareOneCodeSpace)
{
    primitiva *cube = selectCube(Move, 0.0f, 0.0f, 0.0f);
    press('d');  // 100: the left arrow's row
    EXPECT_FLOAT_EQ(cube->pose.x, -0.01f);
    press('g');  // 103: the down arrow's row
    EXPECT_FLOAT_EQ(cube->pose.y, -0.01f);
    press('k');  // 107: End pressed
    EXPECT_EQ(getDragAxisLock(), 1);
    specialUp(GLUT_KEY_END, 0, 0);
    EXPECT_EQ(getDragAxisLock(), 0);

    // 5, 9, 27 and 48 as special keys and as characters (Ctrl+E, Tab, Escape, "0")
    special(GLUT_KEY_F5, 0, 0);
    press(5);
    special(GLUT_KEY_F9, 0, 0);
    press('\t');
    EXPECT_EQ(calls(), (Calls{"loadScene", "loadScene", "saveScene", "saveScene"}));
    special(27, 0, 0);
    press(27);
    EXPECT_EQ(exits, 2);
    getCamera()->x = 5.0f;
    special(48, 0, 0);
    EXPECT_EQ(cube->pose.x, 5.0f);
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
    setTextEntryOpen(1);  // Escape also exits with a prompt open
    press(27);
    EXPECT_EQ(exits, 2);
    EXPECT_TRUE(calls().empty());
}

TEST_F(Bindings, ArrowsWalkOnlyWhileLookingAndStepTheObjectOnlyWhileEditingWithThePointerFree)
{
    const int arrows[] = {GLUT_KEY_UP, GLUT_KEY_LEFT, GLUT_KEY_RIGHT, GLUT_KEY_DOWN};
    special(GLUT_KEY_UP, 0, 0);  // navigation, pointer free: nothing
    EXPECT_EQ(moving(), 0);
    setLookMode(1);
    for (int k : arrows) special(k, 0, 0);
    EXPECT_EQ(moving(), 4);
    for (int k : arrows) specialUp(k, 0, 0);
    EXPECT_EQ(moving(), 0);

    primitiva *cube = selectCube(Move, 1.0f, 2.0f, 3.0f);
    special(GLUT_KEY_LEFT, 0, 0);  // editing while looking: walks, the object stays
    EXPECT_EQ(getMoveLeft(), 1);
    EXPECT_EQ(cube->pose.x, 1.0f);
    specialUp(GLUT_KEY_LEFT, 0, 0);
    setLookMode(0);
    special(GLUT_KEY_LEFT, 0, 0);
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_FLOAT_EQ(cube->pose.x, 0.99f);
    EXPECT_FLOAT_EQ(cube->pose.y, 2.01f);
    EXPECT_EQ(moving(), 0);
    setEditingMode(Navigation);  // navigation or nothing selected: no step
    special(GLUT_KEY_UP, 0, 0);
    setEditingMode(ObjectEditing);
    setSelectedObject(nullptr);
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_FLOAT_EQ(cube->pose.y, 2.01f);
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

TEST_F(Bindings, DirectLettersWorkInAnyModeAndNeverReachAPrompt)
{
    setTextEntryOpen(1);
    for (const char *c = "ACEFILSacefils"; *c; c++) press(*c);
    EXPECT_EQ(getFieldOfView(), 45.0f);  // A and S twice each, the toggles twice
    EXPECT_EQ(getUseDisplayLists() + getHudVisible(), 1);
    press('b');
    special(GLUT_KEY_LEFT, 0, 0);
    special(112, 0, 0);  // freeglut's left Shift does not reach the prompt
    EXPECT_EQ(calls(), (Calls{"typeCharacter 98", "typeCharacter 100"}));

    setTextEntryOpen(0);
    setPlayMode(1);
    setLookMode(1);
    press('f');
    getCamera()->y = 80.0f;
    press('F');  // back on the ground at once
    EXPECT_EQ(getCamera()->y, CAMERA_WALK_HEIGHT);
    getCamera()->x = 3.0f;
    getCamera()->yaw = 45.0f;
    const int before = object_count();
    press('e');  // a sphere at the viewer's pose
    ASSERT_EQ(object_count(), before + 1);
    const primitiva *sphere = object_at(before);
    EXPECT_EQ(get_kind(sphere), KIND_SPHERE);
    EXPECT_EQ(sphere->pose.x, 3.0f);
    EXPECT_EQ(sphere->pose.yaw, 45.0f);
}

TEST_F(Bindings, ZeroResetsByOperationAndLeftClicksPickOutsideNavigation)
{
    primitiva *cube = selectCube(Rotate, 4.0f, 5.0f, 6.0f);
    cube->pose.yaw = 10.0f;
    getCamera()->x = -1.0f;
    press('0');
    EXPECT_EQ(cube->pose.yaw, 0.0f);
    EXPECT_EQ(cube->pose.x, 4.0f);
    setCurrentOperation(Move);
    press('0');
    EXPECT_EQ(cube->pose.x, -1.0f);
    setSelectedObject(nullptr);  // nothing selected: nothing happens
    press('0');

    click(200, 300);
    EXPECT_EQ(getLookMode(), 0);
    EXPECT_EQ(getPickPending(), 1);
    setEditorState(5);  // a menu open: the panel takes the click
    click(200, 300);
    EXPECT_EQ(calls(), (Calls{"beginPick 200 300", "panelClick"}));
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

    click(512, 384);  // mouse-look, left with an arrow held
    special(GLUT_KEY_UP, 0, 0);
    click(512, 384);
    specialUp(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(moving(), 0);
}
