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
using input_fakes::countCalls;

namespace {

std::vector<int> cursors;
std::vector<std::pair<int, int>> warps;
int exits = 0;

void fakeCursor(int cursor) { cursors.push_back(cursor); }
void fakeWarp(int x, int y) { warps.emplace_back(x, y); }
int fakeWidth() { return 1024; }
int fakeHeight() { return 768; }
void fakeRedisplay() {}
void fakeExit() { exits++; }

// Actions of hand-made bindings
std::vector<std::string> ran;
int firstAction(const InputEvent &) { ran.push_back("first"); return 1; }
int secondAction(const InputEvent &) { ran.push_back("second"); return 1; }
int recordEvent(const InputEvent &event)
{
    ran.push_back(std::to_string(event.code) + "@" + std::to_string(event.x) + "," + std::to_string(event.y));
    return 1;
}

class Bindings : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        clear_objects();
        build_sample_objects();
        Camera start = {};
        start.y = CAMERA_WALK_HEIGHT;
        setCamera(start);
        clearMovementFlags();
        setPointerCaptured(0);
        setLookCentre(-1, -1);
        setLastMouseX(0);
        setLastMouseY(0);
        cursors.clear();
        warps.clear();
        exits = 0;
        ran.clear();
        input_fakes::clearCalls();
        setWindowOps(WindowOps{fakeWarp, fakeCursor, fakeWidth, fakeHeight, fakeRedisplay});
        setBindingOps(BindingOps{nullptr, fakeExit});
        clearBindings();
        registerInputBindings();
    }
    void TearDown() override
    {
        clear_objects();
        free_sample_objects();
        clearBindings();
        setWindowOps(WindowOps{});
        setBindingOps(BindingOps{});
    }

    // A default cube placed at (x, y, z), selected as a scene pick would leave it
    primitiva *selectCube(float x, float y, float z)
    {
        int slot = create_object(KIND_CUBE);
        primitiva *cube = object_at(slot);
        set_x(cube, x);
        set_y(cube, y);
        set_z(cube, z);
        setSelectedObject(cube);
        setSelectedIndex(slot);
        return cube;
    }

    // Object editing with the operation and the object held after a pick at (x, y)
    primitiva *holdCube(int operation, float z, int x, int y)
    {
        setEditingMode(ObjectEditing);
        setCurrentOperation(operation);
        primitiva *cube = selectCube(0.0f, CAMERA_WALK_HEIGHT, z);
        setObjectHeld(1);
        setLastMouseX(x);
        setLastMouseY(y);
        return cube;
    }
};

}  // namespace

TEST_F(Bindings, TablesHoldTheirRowsInOrder)
{
    EXPECT_EQ(bindingCount(EditKeys), 33);
    EXPECT_EQ(bindingCount(EditMouse), 43);
    EXPECT_EQ(bindingCount(PlayKeys), 9);
    EXPECT_EQ(bindingCount(PlayMouse), 3);

    // A few landmarks: Escape is edit key 11, the any-key prompt row 12, the scene pick mouse row 38
    EXPECT_EQ(bindingAt(EditKeys, 10)->key.code, KEY_ESCAPE);
    EXPECT_EQ(bindingAt(EditKeys, 10)->wantTextEntry, ANY);
    EXPECT_EQ(bindingAt(EditKeys, 11)->key.code, ANY);
    EXPECT_EQ(bindingAt(EditKeys, 11)->wantTextEntry, 1);
    EXPECT_EQ(bindingAt(EditMouse, 37)->mouse.button, LEFT_BUTTON);
    EXPECT_EQ(bindingAt(EditMouse, 37)->wantEditorState, 0);
    EXPECT_EQ(bindingAt(EditMouse, 38)->mouse.state, BUTTON_UP);
    EXPECT_EQ(bindingAt(EditMouse, 38)->wantHeld, 1);
    EXPECT_EQ(bindingAt(EditMouse, 37 + 6), nullptr);
    for (int i = 0; i < bindingCount(EditMouse); i++) EXPECT_EQ(bindingAt(EditMouse, i)->wantTextEntry, 0) << i;
}

TEST_F(Bindings, FirstMatchingBindingWinsAndUnmatchedEventsAreDropped)
{
    clearBindings();
    InputBinding onlyX = keyBinding('x', PRESS);
    onlyX.wantOperation = ANY;
    onlyX.wantEditingMode = ANY;
    InputBinding anyKey = onlyX;
    anyKey.key.code = ANY;
    ASSERT_EQ(registerBinding(EditKeys, firstAction, onlyX), 1);
    ASSERT_EQ(registerBinding(EditKeys, secondAction, anyKey), 1);
    ASSERT_EQ(registerBinding(EditKeys, recordEvent, anyKey), 1);

    keyboard('x', 3, 4);
    keyboard('y', 3, 4);
    ASSERT_EQ(ran, (std::vector<std::string>{"first", "second"}));

    // A release matches none of them
    EXPECT_EQ(dispatchKey(KeyPattern{'x', RELEASE}, InputEvent{}), 0);
    EXPECT_EQ(ran.size(), 2u);
    // Nor does anything while mouse-looking (wantLook 0)
    setLookMode(1);
    keyboard('x', 0, 0);
    EXPECT_EQ(ran.size(), 2u);
}

TEST_F(Bindings, DefaultsWantNoPromptAnyScreenAndTheFirstOperationAndMode)
{
    InputBinding b;
    EXPECT_EQ(b.wantLook, 0);
    EXPECT_EQ(b.wantHeld, 0);
    EXPECT_EQ(b.wantOperation, 0);
    EXPECT_EQ(b.wantEditingMode, 0);
    EXPECT_EQ(b.wantTextEntry, 0);
    EXPECT_EQ(b.wantEditorState, -1);

    clearBindings();
    InputBinding q = keyBinding('q', PRESS);
    ASSERT_EQ(registerBinding(EditKeys, recordEvent, q), 1);
    setCurrentOperation(Clone);
    setEditingMode(Navigation);
    setEditorState(17);    // any editor screen
    keyboard('q', 7, 8);
    ASSERT_EQ(ran, (std::vector<std::string>{"113@7,8"}));

    setTextEntryOpen(1);    // not while a prompt is open
    keyboard('q', 7, 8);
    EXPECT_EQ(ran.size(), 1u);
    setTextEntryOpen(0);
    setCurrentOperation(Move);    // the default wants operation 0
    keyboard('q', 7, 8);
    EXPECT_EQ(ran.size(), 1u);
}

TEST_F(Bindings, FullTableRefusesTheHundredAndFirstBinding)
{
    clearBindings();
    for (int i = 0; i < MAX_BINDINGS; i++) ASSERT_EQ(registerBinding(PlayMouse, firstAction, motionBinding()), 1);
    EXPECT_EQ(registerBinding(PlayMouse, firstAction, motionBinding()), 0);
    EXPECT_EQ(bindingCount(PlayMouse), MAX_BINDINGS);
    // Other tables are not affected; bad requests are refused too
    EXPECT_EQ(registerBinding(PlayKeys, firstAction, keyBinding(1, PRESS)), 1);
    EXPECT_EQ(registerBinding(4, firstAction, keyBinding(1, PRESS)), 0);
    EXPECT_EQ(registerBinding(-1, firstAction, keyBinding(1, PRESS)), 0);
    EXPECT_EQ(registerBinding(PlayKeys, nullptr, keyBinding(1, PRESS)), 0);
}

TEST_F(Bindings, MouseRegionsAndMotionMatching)
{
    clearBindings();
    InputBinding region = buttonBinding(LEFT_BUTTON, BUTTON_DOWN, 10, 20, 30, 40);
    region.wantOperation = ANY;
    region.wantEditingMode = ANY;
    ASSERT_EQ(registerBinding(EditMouse, recordEvent, region), 1);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 20);    // corners are inside
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 30, 40);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 31, 40);    // outside
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 30, 19);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 15, 25);      // other state
    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 15, 25);   // other button
    motion(15, 25);                                // motion does not match a button binding
    EXPECT_EQ(ran, (std::vector<std::string>{"0@10,20", "0@30,40"}));
}

TEST_F(Bindings, CharactersAndSpecialKeysShareOneCodeSpace)
{
    setEditingMode(ObjectEditing);
    setCurrentOperation(Move);
    primitiva *cube = selectCube(0.0f, 0.0f, 0.0f);

    keyboard('d', 0, 0);    // 100: the left arrow's row
    EXPECT_FLOAT_EQ(get_x(cube), -0.01f);
    keyboard('g', 0, 0);    // 103: the down arrow's row
    EXPECT_FLOAT_EQ(get_y(cube), -0.01f);
    keyboard('k', 0, 0);    // 107: End pressed
    EXPECT_EQ(getDragAxisLock(), 1);
    specialUp(GLUT_KEY_END, 0, 0);
    EXPECT_EQ(getDragAxisLock(), 0);

    // 5, 9, 27 and 48 as special keys and as characters (Ctrl+E, Tab, Escape, "0")
    special(GLUT_KEY_F5, 0, 0);
    keyboard(5, 0, 0);
    special(GLUT_KEY_F9, 0, 0);
    keyboard('\t', 0, 0);
    EXPECT_EQ(calls(), (std::vector<std::string>{"loadScene", "loadScene", "saveScene", "saveScene"}));
    special(27, 0, 0);
    keyboard(27, 0, 0);
    EXPECT_EQ(exits, 2);
    getCamera()->x = 5.0f;
    special(48, 0, 0);
    EXPECT_EQ(get_x(cube), 5.0f);
    getCamera()->x = 7.0f;
    keyboard('0', 0, 0);
    EXPECT_EQ(get_x(cube), 7.0f);
}

TEST_F(Bindings, EscapeIsIgnoredWhileMouseLookingUntilAClickLeavesIt)
{
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384);    // navigation: enters mouse-look
    ASSERT_EQ(getLookMode(), 1);
    EXPECT_EQ(getPointerCaptured(), 1);
    EXPECT_EQ(cursors.back(), GLUT_CURSOR_CROSSHAIR);
    keyboard(27, 0, 0);
    EXPECT_EQ(exits, 0);

    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 512, 384);      // the release changes nothing
    EXPECT_EQ(getLookMode(), 1);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 300, 200);    // a second click leaves it
    EXPECT_EQ(getLookMode(), 0);
    EXPECT_EQ(getPointerCaptured(), 0);
    EXPECT_EQ(warps.back(), std::make_pair(300, 200));
    keyboard(27, 0, 0);
    EXPECT_EQ(exits, 1);

    // Escape also exits with a prompt open
    setTextEntryOpen(1);
    keyboard(27, 0, 0);
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(countCalls("typeCharacter"), 0);
}

TEST_F(Bindings, ArrowsWalkWhileLookingAndStepTheObjectWhileEditing)
{
    // Navigation, pointer free: nothing
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(getMoveForward(), 0);

    setLookMode(1);
    special(GLUT_KEY_UP, 0, 0);
    special(GLUT_KEY_LEFT, 0, 0);
    special(GLUT_KEY_RIGHT, 0, 0);
    special(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(getMoveForward() + getMoveLeft() + getMoveRight() + getMoveBack(), 4);
    specialUp(GLUT_KEY_UP, 0, 0);
    specialUp(GLUT_KEY_LEFT, 0, 0);
    specialUp(GLUT_KEY_RIGHT, 0, 0);
    specialUp(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(getMoveForward() + getMoveLeft() + getMoveRight() + getMoveBack(), 0);

    // Object editing while looking: the arrows still walk and the object stays
    setEditingMode(ObjectEditing);
    primitiva *cube = selectCube(1.0f, 2.0f, 3.0f);
    special(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EQ(getMoveLeft(), 1);
    EXPECT_EQ(get_x(cube), 1.0f);
    specialUp(GLUT_KEY_LEFT, 0, 0);

    // Pointer free: the arrows step the object with the current operation
    setLookMode(0);
    special(GLUT_KEY_LEFT, 0, 0);
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_FLOAT_EQ(get_x(cube), 0.99f);
    EXPECT_FLOAT_EQ(get_y(cube), 2.01f);
    EXPECT_EQ(getMoveLeft(), 0);
    special(GLUT_KEY_RIGHT, 0, 0);
    special(GLUT_KEY_DOWN, 0, 0);
    EXPECT_FLOAT_EQ(get_x(cube), 1.0f);
    EXPECT_FLOAT_EQ(get_y(cube), 2.0f);

    setCurrentOperation(Rotate);
    special(GLUT_KEY_UP, 0, 0);    // heading 0, level: up raises the pitch by 1 degree
    EXPECT_FLOAT_EQ(get_pitch(cube), 1.0f);

    // Navigation mode with the pointer free: no object step
    setEditingMode(Navigation);
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_FLOAT_EQ(get_pitch(cube), 1.0f);

    // No object selected: nothing happens
    setEditingMode(ObjectEditing);
    setSelectedObject(nullptr);
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_FLOAT_EQ(get_pitch(cube), 1.0f);
}

TEST_F(Bindings, ScalingArrowsRebuildTheVertices)
{
    setEditingMode(ObjectEditing);
    setCurrentOperation(ScaleUniform);
    primitiva *cube = selectCube(0.0f, 0.0f, 0.0f);
    const float half = scene_test::spanOf(*cube).maxX;
    set_dirty(cube, 0);
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_FLOAT_EQ(get_scale_x(cube), 1.01f);
    EXPECT_FLOAT_EQ(get_scale_z(cube), 1.01f);
    EXPECT_NEAR(scene_test::spanOf(*cube).maxX, half * 1.01f, 1e-5);
    EXPECT_EQ(get_dirty(cube), 1);

    // Axis scale, heading 0: right widens along X only, from the reference shape
    setCurrentOperation(ScaleAxis);
    special(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_FLOAT_EQ(get_scale_x(cube), 1.02f);
    EXPECT_FLOAT_EQ(get_scale_y(cube), 1.01f);
    EXPECT_NEAR(scene_test::spanOf(*cube).maxX, half * 1.02f, 1e-5);
    EXPECT_NEAR(scene_test::spanOf(*cube).maxY, half * 1.01f, 1e-5);

    // "0" goes back to unit scale
    keyboard('0', 0, 0);
    EXPECT_EQ(get_scale_x(cube), 1.0f);
    EXPECT_NEAR(scene_test::spanOf(*cube).maxX, half, 1e-6);
}

TEST_F(Bindings, ZeroResetsByOperation)
{
    setEditingMode(ObjectEditing);
    primitiva *cube = selectCube(4.0f, 5.0f, 6.0f);
    set_yaw(cube, 10.0f);
    set_pitch(cube, 20.0f);
    set_roll(cube, 30.0f);
    getCamera()->x = -1.0f;
    getCamera()->z = -2.0f;

    setCurrentOperation(Rotate);
    keyboard('0', 0, 0);
    EXPECT_EQ(get_yaw(cube) + get_pitch(cube) + get_roll(cube), 0.0f);
    EXPECT_EQ(get_x(cube), 4.0f);

    setCurrentOperation(Lock);
    keyboard('0', 0, 0);
    EXPECT_EQ(get_x(cube), 4.0f);

    setCurrentOperation(Move);
    keyboard('0', 0, 0);
    EXPECT_EQ(get_x(cube), -1.0f);
    EXPECT_EQ(get_y(cube), CAMERA_WALK_HEIGHT);
    EXPECT_EQ(get_z(cube), -2.0f);

    // Nothing selected: nothing happens, nothing breaks
    setSelectedObject(nullptr);
    getCamera()->x = 9.0f;
    keyboard('0', 0, 0);
    EXPECT_EQ(get_x(cube), -1.0f);
}

TEST_F(Bindings, DragAmountsGrowWithTheDistanceToTheObject)
{
    // Camera at (0, 30, 0) looking toward -Z; the cube 50 units ahead
    primitiva *cube = holdCube(Move, -50.0f, 100, 100);
    motion(100, 90);    // 10 pixels up: amount e / 10 x 1 = 5 in direction 0, a step of 0.5 up
    EXPECT_NEAR(get_y(cube), CAMERA_WALK_HEIGHT + 0.5f, 1e-4);
    EXPECT_EQ(get_x(cube), 0.0f);
    EXPECT_EQ(getLastMouseX(), 100);
    EXPECT_EQ(getLastMouseY(), 90);

    // Twice as far moves twice as much per pixel; right is +X at heading 0
    set_z(cube, -100.0f);
    set_y(cube, CAMERA_WALK_HEIGHT);
    motion(105, 90);    // amount 100 / 10 x 0.5 = 5
    EXPECT_NEAR(get_x(cube), 0.5f, 1e-4);
    EXPECT_EQ(get_y(cube), CAMERA_WALK_HEIGHT);

    // A diagonal step applies both axes
    motion(95, 100);
    EXPECT_NEAR(get_x(cube), -0.5f, 1e-4);
    EXPECT_NEAR(get_y(cube), CAMERA_WALK_HEIGHT - 1.0f, 1e-4);
}

TEST_F(Bindings, RotateAndScaleDragsUseTheirOwnAmounts)
{
    primitiva *cube = holdCube(Rotate, -50.0f, 0, 0);
    motion(3, 0);    // amount 30, a step of 3 degrees; right at heading 0, level: roll + 3
    EXPECT_NEAR(get_roll(cube), 3.0f, 1e-4);
    motion(3, -2);   // up: pitch + 2
    EXPECT_NEAR(get_pitch(cube), 2.0f, 1e-4);

    setCurrentOperation(ScaleUniform);
    const float half = scene_test::spanOf(*cube).maxX;
    motion(3, -12);    // amount 50 / 100 x 1 = 0.5, a step of 0.05
    EXPECT_NEAR(get_scale_x(cube), 1.05f, 1e-5);
    // While the button is down the vertices keep their shape; the release rebuilds them
    EXPECT_NEAR(scene_test::spanOf(*cube).maxX, half, 1e-6);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 3, -12);
    EXPECT_EQ(getObjectHeld(), 0);
    EXPECT_EQ(cursors.back(), GLUT_CURSOR_LEFT_ARROW);
    EXPECT_NEAR(scene_test::spanOf(*cube).maxX, half * 1.05f, 1e-4);

    setObjectHeld(1);
    setCurrentOperation(ScaleAxis);
    motion(13, -12);    // amount 50 / 20 x 1 = 2.5, a step of 0.25 along X
    EXPECT_NEAR(get_scale_x(cube), 1.3f, 1e-5);
    EXPECT_NEAR(get_scale_y(cube), 1.05f, 1e-5);

    // Without object editing nothing is dragged
    setEditingMode(Events);
    motion(23, -12);
    EXPECT_NEAR(get_scale_x(cube), 1.3f, 1e-5);
}

TEST_F(Bindings, EndKeyLocksADragToTheFirstAxis)
{
    primitiva *cube = holdCube(Move, -50.0f, 100, 100);
    setObjectHeld(0);
    special(GLUT_KEY_END, 0, 0);
    EXPECT_EQ(getDragAxisLock(), 1);
    setObjectHeld(1);
    special(GLUT_KEY_END, 0, 0);    // (repeat while held) stays 1
    EXPECT_EQ(getDragAxisLock(), 1);

    motion(100, 95);    // the first step is vertical: locked to y
    EXPECT_EQ(getDragAxisLock(), 2);
    float y = get_y(cube);
    EXPECT_GT(y, CAMERA_WALK_HEIGHT);
    motion(130, 95);    // horizontal steps are ignored now
    EXPECT_EQ(get_x(cube), 0.0f);
    EXPECT_EQ(getLastMouseX(), 130);
    special(GLUT_KEY_END, 0, 0);    // pressing again keeps the lock
    EXPECT_EQ(getDragAxisLock(), 2);

    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 130, 95);    // release: End is still held
    EXPECT_EQ(getDragAxisLock(), 1);

    setObjectHeld(1);
    motion(140, 85);    // diagonal first step: y is tried first
    EXPECT_EQ(getDragAxisLock(), 2);
    EXPECT_EQ(get_x(cube), 0.0f);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 140, 85);

    setObjectHeld(1);
    y = get_y(cube);
    motion(150, 85);    // horizontal first: locked to x
    EXPECT_EQ(getDragAxisLock(), 3);
    EXPECT_GT(get_x(cube), 0.0f);
    motion(150, 60);
    EXPECT_EQ(get_y(cube), y);

    specialUp(GLUT_KEY_END, 0, 0);    // End released: free again, even mid-drag
    EXPECT_EQ(getDragAxisLock(), 0);
    motion(150, 50);
    EXPECT_GT(get_y(cube), y);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 150, 50);
    EXPECT_EQ(getDragAxisLock(), 0);
}

TEST_F(Bindings, DirectLettersNeverReachAPrompt)
{
    setTextEntryOpen(1);
    setEditorState(9);
    const int objectsBefore = object_count();
    for (const char *letters : {"ACEFILS", "acefils"}) {
        for (const char *c = letters; *c; c++) keyboard((unsigned char)*c, 0, 0);
    }
    EXPECT_EQ(countCalls("typeCharacter"), 0);
    EXPECT_EQ(getFieldOfView(), 45.0f);    // A and S twice each
    EXPECT_EQ(getUseDisplayLists(), 1);    // toggled twice
    EXPECT_EQ(getFlyMode(), 0);
    EXPECT_EQ(getInvertMouseY(), 0);
    EXPECT_EQ(getHudVisible(), 0);
    EXPECT_EQ(object_count(), objectsBefore + 2);

    // Other keys do reach the prompt, special keys included, but not freeglut's modifier keys
    keyboard('b', 0, 0);
    keyboard('7', 0, 0);
    special(GLUT_KEY_LEFT, 0, 0);
    special(112, 0, 0);    // left Shift
    special(114, 0, 0);    // left Ctrl
    EXPECT_EQ(calls(), (std::vector<std::string>{"typeCharacter 98", "typeCharacter 55", "typeCharacter 100"}));
}

TEST_F(Bindings, DirectLettersInAnyMode)
{
    setPlayMode(1);
    setLookMode(1);
    for (int i = 0; i < 45; i++) keyboard('A', 0, 0);
    EXPECT_EQ(getFieldOfView(), 0.0f);
    keyboard('s', 0, 0);
    EXPECT_EQ(getFieldOfView(), 1.0f);

    keyboard('l', 0, 0);
    EXPECT_EQ(getHudVisible(), 1);
    keyboard('I', 0, 0);
    EXPECT_EQ(getInvertMouseY(), 1);
    keyboard('c', 0, 0);
    EXPECT_EQ(getUseDisplayLists(), 0);

    // F: fly, and back on the ground at once
    keyboard('f', 0, 0);
    EXPECT_EQ(getFlyMode(), 1);
    getCamera()->y = 80.0f;
    keyboard('F', 0, 0);
    EXPECT_EQ(getFlyMode(), 0);
    EXPECT_EQ(getCamera()->y, CAMERA_WALK_HEIGHT);

    // E: a sphere at the viewer's pose
    getCamera()->x = 3.0f;
    getCamera()->yaw = 45.0f;
    const int before = object_count();
    keyboard('e', 0, 0);
    ASSERT_EQ(object_count(), before + 1);
    const primitiva *sphere = object_at(before);
    EXPECT_EQ(get_kind(sphere), KIND_SPHERE);
    EXPECT_EQ(get_x(sphere), 3.0f);
    EXPECT_EQ(get_y(sphere), CAMERA_WALK_HEIGHT);
    EXPECT_EQ(get_yaw(sphere), 45.0f);
}

TEST_F(Bindings, LeftClickLooksInNavigationAndPicksOtherwise)
{
    setEditingMode(ObjectEditing);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 200, 300);
    EXPECT_EQ(getLookMode(), 0);
    EXPECT_EQ(getPickPending(), 1);
    EXPECT_EQ(calls(), (std::vector<std::string>{"beginPick 200 300"}));
    EXPECT_EQ(cursors.back(), GLUT_CURSOR_INFO);
    EXPECT_EQ(getLastMouseX(), 200);
    EXPECT_EQ(getLastMouseY(), 300);

    // With a menu open the scene is not picked
    input_fakes::clearCalls();
    setPickPending(0);
    setEditorState(5);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 200, 300);
    EXPECT_EQ(calls(), (std::vector<std::string>{"panelClick"}));

    // Events mode picks too
    input_fakes::clearCalls();
    setEditorState(0);
    setEditingMode(Events);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 1, 2);
    EXPECT_EQ(calls(), (std::vector<std::string>{"beginPick 1 2"}));

    // While a prompt is open the mouse does nothing
    input_fakes::clearCalls();
    setTextEntryOpen(1);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 1, 2);
    motion(0, 100);
    EXPECT_TRUE(calls().empty());
}

TEST_F(Bindings, EdgeMenusOpenAndCloseByPointerPosition)
{
    motion(4, 100);    // left edge
    motion(500, 765);  // bottom edge: only in object editing
    motion(1020, 100); // right edge
    motion(500, 3);    // top edge
    motion(4, 30);     // left edge above the menu's band: nothing
    EXPECT_EQ(calls(), (std::vector<std::string>{"openEdgeMenu 1", "openEdgeMenu 4", "openEdgeMenu 3"}));

    input_fakes::clearCalls();
    setEditingMode(ObjectEditing);
    motion(500, 765);
    EXPECT_EQ(calls(), (std::vector<std::string>{"openEdgeMenu 2"}));

    // Primitive menu open: motion inside asks for a pick, right of x = 269 closes it
    input_fakes::clearCalls();
    setEditorState(1);
    motion(100, 200);
    EXPECT_EQ(getPickPending(), 1);
    EXPECT_EQ(getPanelPickX(), 100);
    EXPECT_EQ(getPanelPickY(), 200);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 200);
    EXPECT_EQ(calls(), (std::vector<std::string>{"panelClick"}));
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 730);    // below the panel: nothing
    EXPECT_EQ(calls().size(), 1u);
    motion(269, 200);
    EXPECT_EQ(getEditorState(), 0);

    // Each menu closes on its own side
    // {state, a point still over the menu, the nearest point that closes it}
    const int closeAt[][5] = {{2, 500, 513, 500, 512}, {4, 755, 300, 754, 300}, {3, 500, 255, 500, 256}};
    for (const auto &c : closeAt) {
        setEditorState(c[0]);
        motion(c[1], c[2]);
        EXPECT_EQ(getEditorState(), c[0]) << "state " << c[0] << " closed too early";
        motion(c[3], c[4]);
        EXPECT_EQ(getEditorState(), 0) << "state " << c[0];
    }
}

TEST_F(Bindings, ChooserClicksNameTheirChooserAndStates)
{
    const int states[] = {6, 19, 8, 20, 22, 10, 11, 7};
    for (int state : states) {
        setEditorState(state);
        mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
        setPickPending(0);
        motion(11, 12);
        EXPECT_EQ(getPickPending(), 1) << state;
    }
    EXPECT_EQ(calls(), (std::vector<std::string>{"chooserClick 6 5 -1", "chooserClick 6 7 -1", "chooserClick 8 7 7",
                                                 "chooserClick 8 7 -1", "chooserClick 8 7 -1", "chooserClick 10 7 -1",
                                                 "chooserClick 11 7 -1", "panelClick"}));
    // States with nothing bound drop the click
    input_fakes::clearCalls();
    setEditorState(9);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
    EXPECT_TRUE(calls().empty());
}

TEST_F(Bindings, PlayTablesWalkLookActivateAndLeave)
{
    setPlayMode(1);
    setLookMode(1);
    setEditingMode(ObjectEditing);    // whatever mode and operation were left from editing
    setCurrentOperation(Rotate);
    capturePointer(512, 384);

    special(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(getMoveForward(), 1);
    specialUp(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(getMoveForward(), 0);

    motion(522, 384);
    EXPECT_NEAR(getCamera()->yaw, 359.4f, 1e-3);

    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 512, 384);
    EXPECT_EQ(getPickPending(), 1);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384);    // the left button does nothing in play
    EXPECT_EQ(getLookMode(), 1);
    mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 512, 384);
    EXPECT_EQ(getObjectHeld(), 0);
    keyboard('0', 0, 0);    // edit keys are not in the play table
    keyboard(27, 0, 0);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(getPlayMode(), 0);
    EXPECT_EQ(getLookMode(), 0);
    EXPECT_EQ(calls(), (std::vector<std::string>{"beginPlayPick 512 384", "stopPlay"}));

    // Back in edit mode Escape exits
    keyboard(27, 0, 0);
    EXPECT_EQ(exits, 1);
}

TEST_F(Bindings, LeavingMouseLookStopsWalking)
{
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384);
    special(GLUT_KEY_UP, 0, 0);
    special(GLUT_KEY_LEFT, 0, 0);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 512, 384);    // leave mouse-look with the arrows held
    specialUp(GLUT_KEY_UP, 0, 0);                    // this release no longer reaches a walking row
    specialUp(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EQ(getMoveForward() + getMoveLeft(), 0);

    setPlayMode(1);
    setLookMode(1);
    special(GLUT_KEY_DOWN, 0, 0);
    keyboard(27, 0, 0);    // leave play mode with an arrow held
    specialUp(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(getMoveBack(), 0);
}
