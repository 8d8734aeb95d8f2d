// Play mode driven frame by frame without GL: the timing of consequence chains and loops,
// starting events by clicks, distances and flags, the run list's order within a pass,
// the fixed lists refusing extra entries, and stopPlay putting the scene back.
#include "app_state.h"
#include "camera.h"
#include "events.h"
#include "flags.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "play.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

int lastCursor = -1;
int lastWarpX = -1, lastWarpY = -1;

void fakeWarp(int x, int y)
{
    lastWarpX = x;
    lastWarpY = y;
}
void fakeCursor(int cursor) { lastCursor = cursor; }
int fakeWidth() { return 1024; }
int fakeHeight() { return 768; }
void fakeRedisplay() {}

typedef std::pair<int, void *> Link;

class Play : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        setCamera(Camera{});
        setPointerCaptured(0);
        setWindowOps({fakeWarp, fakeCursor, fakeWidth, fakeHeight, fakeRedisplay});
        lastCursor = lastWarpX = lastWarpY = -1;
        clear_objects();
        set_creation_counter(0);
        set_current_material(nullptr);
        set_event_set_release(freeEventSet);
        create_material_table();
        add_default_material();
        addMaterial("rojo", false);
        addMaterial("verde", false);
        addMaterial("agua", true);
        rebuild_usage_table();
        createFlagTable();
    }
    void TearDown() override
    {
        if (getPlayMode() == 1) stopPlay();
        clearRunList();
        clear_objects();
        free_sample_objects();
        set_event_set_release(nullptr);
        set_creation_counter(0);
        clear_material_table();
        clearFlagTable();
        setWindowOps({});
        resetAppState();
    }

    static void addMaterial(const char *name, bool textured)
    {
        material_record *m = new_material();
        m->name = name;
        if (textured) {
            m->texturado = 1;
            m->texture = new_texture_block();
            add_frame(m->texture.get(), "Data/agua1.bmp");
        }
        ASSERT_EQ(add_material(m), 1);
    }

    // A cube at (x, y, z) with the material
    static int place(float x, float y, float z, const char *material = "(default)")
    {
        set_current_material(material);
        int index = create_object(KIND_CUBE);
        set_current_material(nullptr);
        EXPECT_GE(index, 0);
        object_at(index)->pose = object_pose{x, y, z, 0, 0, 0};
        return index;
    }

    // The event of an object, giving the object an event set first when it has none
    static Event *eventOf(int index, int number)
    {
        if (slot_event_set(index) == nullptr) set_slot_event_set(index, newEventSet());
        return &slot_event_set(index)->events[(size_t)number];
    }

    // An event with the conditions (in slot order) and the consequence chain
    static Event *makeEvent(int index, int number, std::initializer_list<std::pair<int, void *>> conditions,
                            std::initializer_list<Link> links)
    {
        Event *event = eventOf(index, number);
        int slot = 0;
        for (const auto &c : conditions) EXPECT_EQ(setCondition(event, slot++, c.first, c.second), 1);
        int position = 0;
        for (const Link &l : links) EXPECT_EQ(setConsequence(event, position++, l.first, l.second), 1);
        return event;
    }

    static std::pair<int, void *> activate() { return {cActivate, newActivateValue()}; }
    static std::pair<int, void *> nearer(int d) { return {cDistanceMN, newDistanceValue(d)}; }
    static std::pair<int, void *> farther(int d) { return {cDistanceMY, newDistanceValue(d)}; }
    static std::pair<int, void *> flagIs(const char *name, int v) { return {cFlag, newFlagValue(name, v)}; }
    static Link move(int x, int y, int z) { return {cMoveObj, newMoveValue(x, y, z)}; }
    static Link rotate(int yaw, int pitch, int roll) { return {cRotateObj, newRotateValue(yaw, pitch, roll)}; }
    static Link rotateMat(int yaw, int pitch, int roll) { return {cRotateMat, newRotateValue(yaw, pitch, roll)}; }
    static Link changeMat(const char *name) { return {cChangeMat, newChangeMatValue(name)}; }
    static Link setTo(const char *name, int v) { return {cFlagEqual, newFlagValue(name, v)}; }
    static Link loop(int count) { return {cLoop, newLoopValue(count)}; }
    static Link again() { return {cAgain, newAgainValue()}; }

    static void addFlagValue(const char *name, int value) { ASSERT_EQ(addFlag(newFlagRecord(name, value)), 1); }
    static int flagValue(const char *name) { return findFlag(name) ? findFlag(name)->value : -9999; }

    static void frames(int n)
    {
        for (int i = 0; i < n; i++) stepRunningEvents();
    }

    static void placeCamera(float x, float y, float z)
    {
        Camera *camera = getCamera();
        camera->x = x;
        camera->y = y;
        camera->z = z;
    }

    static std::vector<int> runningObjects()
    {
        std::vector<int> objects;
        for (int i = 0; i < getRunList().count; i++) objects.push_back(getRunList().entries[(size_t)i].objectIndex);
        return objects;
    }
};

}  // namespace

TEST_F(Play, LoopOfTenAroundAMoveTakes21FramesAndMovesOneUnit)
{
    int cube = place(0, 0, 0);
    Event *event = makeEvent(cube, 0, {activate()}, {loop(10), move(0, 0, 10), again()});
    startPlay();
    activateObject(cube);
    ASSERT_EQ(getRunList().count, 1);
    EXPECT_EQ(event->running, 1);

    for (int frame = 1; frame <= 20; frame++) {
        stepRunningEvents();
        EXPECT_NEAR(object_at(cube)->pose.z, 0.1f * (float)(frame / 2), 1e-5) << frame;
        EXPECT_EQ(getRunList().count, 1) << frame;
        EXPECT_EQ(getRunList().entries[0].loopDepth, 1) << frame;
    }
    stepRunningEvents();  // the last cAgain closes the loop and the chain runs out
    EXPECT_EQ(getRunList().count, 0);
    EXPECT_EQ(event->running, 0);
    EXPECT_NEAR(object_at(cube)->pose.z, 1.0f, 1e-5);
    EXPECT_FLOAT_EQ(object_at(cube)->pose.x, 0.0f);

    // idle again: a new click runs the chain once more
    activateObject(cube);
    EXPECT_EQ(event->running, 1);
    frames(21);
    EXPECT_NEAR(object_at(cube)->pose.z, 2.0f, 1e-5);
    EXPECT_EQ(event->running, 0);
}

TEST_F(Play, NestedLoopsRepeatTheInnermostAndCloseInOrder)
{
    int cube = place(0, 0, 0);
    // 2 x (3 x move x, then move y): 1 + 2 x (1 + 3 x 2 + 2) = 19 frames
    makeEvent(cube, 0, {activate()}, {loop(2), loop(3), move(100, 0, 0), again(), move(0, 100, 0), again()});
    startPlay();
    activateObject(cube);
    int deepest = 0;
    int frame = 0;
    while (getRunList().count > 0 && frame < 100) {
        stepRunningEvents();
        frame++;
        if (getRunList().count > 0) deepest = std::max(deepest, getRunList().entries[0].loopDepth);
    }
    EXPECT_EQ(frame, 19);
    EXPECT_EQ(deepest, 2);
    EXPECT_NEAR(object_at(cube)->pose.x, 6.0f, 1e-5);
    EXPECT_NEAR(object_at(cube)->pose.y, 2.0f, 1e-5);
}

TEST_F(Play, LoopCountsOfOneAndAnAgainWithoutLoop)
{
    int a = place(0, 0, 0), b = place(10, 0, 0);
    makeEvent(a, 0, {activate()}, {loop(1), move(100, 0, 0), again(), move(0, 100, 0)});
    makeEvent(b, 0, {activate()}, {again(), move(100, 0, 0), again()});
    startPlay();
    activateObject(a);
    activateObject(b);
    frames(2);
    EXPECT_NEAR(object_at(b)->pose.x, 11.0f, 1e-5);  // the lone cAgain cost one frame and moved on
    frames(1);
    EXPECT_EQ(runningObjects(), std::vector<int>{a});
    frames(1);
    EXPECT_EQ(getRunList().count, 0);
    EXPECT_NEAR(object_at(a)->pose.x, 1.0f, 1e-5);  // the body ran once
    EXPECT_NEAR(object_at(a)->pose.y, 1.0f, 1e-5);
    EXPECT_NEAR(object_at(b)->pose.x, 11.0f, 1e-5);
}

TEST_F(Play, AnEndlessLoopKeepsGoingUntilPlayEnds)
{
    int cube = place(0, 0, 0);
    Event *event = makeEvent(cube, 0, {activate()}, {loop(0), rotate(10, 0, 0), again()});
    startPlay();
    activateObject(cube);
    frames(1 + 2 * 1000);
    ASSERT_EQ(getRunList().count, 1);
    EXPECT_EQ(getRunList().entries[0].loopDepth, 1);
    EXPECT_EQ(event->running, 1);
    EXPECT_NEAR(object_at(cube)->pose.yaw, 10000 % 360, 1e-3);  // 1000 turns, kept within a turn
    stopPlay();  // releases the open frame (checked by the leak sanitizer)
    EXPECT_EQ(getRunList().count, 0);
    EXPECT_FLOAT_EQ(object_at(cube)->pose.yaw, 0.0f);
    EXPECT_EQ(event->running, 0);
}

TEST_F(Play, TwoEventsEndingInOneFrameLeaveTheOthersOneLinkEach)
{
    addFlagValue("GO", 1);
    int b = place(0, 0, 0), a = place(0, 0, 0), c = place(0, 0, 0);
    makeEvent(b, 0, {flagIs("GO", 1)}, {move(100, 0, 0), move(100, 0, 0), move(100, 0, 0)});
    makeEvent(a, 0, {flagIs("GO", 1)}, {move(100, 0, 0)});
    makeEvent(a, 1, {flagIs("GO", 1)}, {move(100, 0, 0)});
    makeEvent(c, 0, {flagIs("GO", 1)}, {move(100, 0, 0), move(100, 0, 0), move(100, 0, 0)});
    startPlay();
    ASSERT_EQ(runningObjects(), (std::vector<int>{b, a, a, c}));  // started in watch order

    stepRunningEvents();
    EXPECT_EQ(runningObjects(), (std::vector<int>{b, c}));
    EXPECT_NEAR(object_at(b)->pose.x, 1.0f, 1e-5);
    EXPECT_NEAR(object_at(a)->pose.x, 2.0f, 1e-5);
    EXPECT_NEAR(object_at(c)->pose.x, 1.0f, 1e-5);
    stepRunningEvents();
    EXPECT_NEAR(object_at(b)->pose.x, 2.0f, 1e-5);
    EXPECT_NEAR(object_at(c)->pose.x, 2.0f, 1e-5);
    EXPECT_NEAR(object_at(a)->pose.x, 2.0f, 1e-5);
}

TEST_F(Play, AFlagConsequenceStartsIdleEventsThatRunTheirFirstLinkInTheSamePass)
{
    addFlagValue("X", 0);
    int a = place(0, 0, 0), b = place(0, 0, 0), c = place(0, 0, 0);
    Event *setter = makeEvent(a, 0, {activate()}, {setTo("X", 1), move(100, 0, 0), setTo("X", 0)});
    Event *waiter =
        makeEvent(b, 0, {flagIs("X", 1)}, {move(0, 100, 0), move(0, 100, 0), move(0, 100, 0), move(0, 100, 0)});
    Event *clicked = makeEvent(c, 0, {flagIs("X", 1), activate()}, {move(0, 0, 100)});
    startPlay();
    EXPECT_EQ(waiter->running, 0);

    activateObject(a);
    stepRunningEvents();
    EXPECT_EQ(flagValue("X"), 1);
    EXPECT_EQ(waiter->running, 1);
    EXPECT_EQ(runningObjects(), (std::vector<int>{a, b}));  // joined the end of the list
    EXPECT_NEAR(object_at(b)->pose.y, 1.0f, 1e-5);          // and ran its first link already
    EXPECT_FLOAT_EQ(object_at(a)->pose.x, 0.0f);
    EXPECT_EQ(clicked->running, 0);                          // its click is still missing
    EXPECT_EQ(clicked->conditions[0].satisfied, 1);

    stepRunningEvents();
    stepRunningEvents();  // X back to 0: the marks follow even while the waiter runs
    EXPECT_EQ(setter->running, 0);
    EXPECT_EQ(waiter->conditions[0].satisfied, 0);
    EXPECT_EQ(waiter->running, 1);
    EXPECT_EQ(clicked->conditions[0].satisfied, 0);
    stepRunningEvents();
    EXPECT_EQ(waiter->running, 0);
    EXPECT_NEAR(object_at(b)->pose.y, 4.0f, 1e-5);
}

TEST_F(Play, EventsThatRestartEachOtherRunOneLinkPerFrameEach)
{
    addFlagValue("F", 1);
    int a = place(0, 0, 0), b = place(0, 0, 0);
    Event *first = makeEvent(a, 0, {flagIs("F", 1)}, {setTo("F", 1)});
    Event *second = makeEvent(b, 0, {flagIs("F", 1)}, {setTo("F", 1)});
    startPlay();
    ASSERT_EQ(runningObjects(), (std::vector<int>{a, b}));
    for (int frame = 0; frame < 10; frame++) {
        stepRunningEvents();  // must come back
        EXPECT_EQ(getRunList().count, 1) << frame;
        EXPECT_EQ(first->running + second->running, 1) << frame;
    }
}

TEST_F(Play, EventsWithoutConditionsNeverStartAndWithoutConsequencesStartOnce)
{
    addFlagValue("X", 1);
    int cube = place(0, 0, 0);
    Event *none = makeEvent(cube, 0, {}, {move(100, 0, 0)});
    Event *empty = makeEvent(cube, 1, {activate()}, {});
    Event *flagOnly = makeEvent(cube, 2, {flagIs("X", 1)}, {});
    startPlay();
    activateObject(cube);
    evaluateDistanceConditions();
    evaluateFlagConditions(nullptr);
    frames(5);
    EXPECT_EQ(none->running, 0);
    EXPECT_FLOAT_EQ(object_at(cube)->pose.x, 0.0f);
    EXPECT_EQ(empty->running, 1);  // started, nothing to run, and stays marked
    EXPECT_EQ(flagOnly->running, 1);
    EXPECT_EQ(getRunList().count, 0);
    activateObject(cube);
    EXPECT_EQ(empty->running, 1);

    // a new play run starts from idle events
    stopPlay();
    EXPECT_EQ(empty->running, 0);
    EXPECT_EQ(flagOnly->running, 0);
    startPlay();
    EXPECT_EQ(empty->running, 0);
    EXPECT_EQ(flagOnly->running, 1);
    activateObject(cube);
    EXPECT_EQ(empty->running, 1);
}

TEST_F(Play, ASecondClickOnARunningEventDoesNotStartItTwice)
{
    int cube = place(0, 0, 0);
    Event *event = makeEvent(cube, 0, {activate()}, {move(100, 0, 0), move(100, 0, 0)});
    startPlay();
    activateObject(cube);
    stepRunningEvents();
    activateObject(cube);
    EXPECT_EQ(getRunList().count, 1);
    EXPECT_EQ(event->conditions[0].satisfied, 0);  // a click counts only at that moment
    stepRunningEvents();
    EXPECT_EQ(getRunList().count, 0);
    EXPECT_NEAR(object_at(cube)->pose.x, 2.0f, 1e-5);
    EXPECT_EQ(startEvent(cube, 0), 1);
    EXPECT_EQ(startEvent(cube, 0), 0);  // never twice
    EXPECT_EQ(getRunList().count, 1);
}

TEST_F(Play, ADistanceEqualToTheLimitMeetsNeitherCondition)
{
    int cube = place(3, 4, 0);
    Event *far = makeEvent(cube, 0, {farther(5)}, {move(0, 0, 100)});
    Event *near = makeEvent(cube, 1, {nearer(5)}, {move(0, 0, 100)});
    placeCamera(0, 0, 0);  // exactly 5 away
    startPlay();
    EXPECT_EQ(getDistanceWatch().count, 2);
    EXPECT_EQ(far->conditions[0].satisfied, 0);
    EXPECT_EQ(near->conditions[0].satisfied, 0);
    EXPECT_EQ(getRunList().count, 0);

    placeCamera(-0.5f, 0, 0);
    evaluateDistanceConditions();
    EXPECT_EQ(far->running, 1);
    EXPECT_EQ(near->running, 0);

    placeCamera(0.5f, 0, 0);
    evaluateDistanceConditions();
    EXPECT_EQ(near->running, 1);
    EXPECT_EQ(near->conditions[0].satisfied, 1);
    EXPECT_EQ(far->conditions[0].satisfied, 1);  // its event runs: the mark is left as it was
}

TEST_F(Play, AClickStartsAnActivateAndNearerEventOnlyWhenNear)
{
    int cube = place(0, 0, -20);
    Event *event = makeEvent(cube, 0, {activate(), nearer(50)}, {move(100, 0, 0)});
    placeCamera(0, 0, 100);
    startPlay();
    activateObject(cube);
    EXPECT_EQ(event->running, 0);
    EXPECT_EQ(event->conditions[0].satisfied, 0);

    placeCamera(0, 0, 0);
    evaluateDistanceConditions();  // near now, but nobody clicked
    EXPECT_EQ(event->conditions[1].satisfied, 1);
    EXPECT_EQ(event->running, 0);
    activateObject(cube);
    EXPECT_EQ(event->running, 1);
    EXPECT_EQ(event->conditions[0].satisfied, 0);
}

TEST_F(Play, AFlagConditionAlreadyMetStartsAtPlayStart)
{
    addFlagValue("X", 1);
    addFlagValue("Y", 0);
    int cube = place(0, 0, 0);
    Event *met = makeEvent(cube, 0, {flagIs("X", 1)}, {move(100, 0, 0)});
    Event *unmet = makeEvent(cube, 1, {flagIs("Y", 1)}, {move(100, 0, 0)});
    // a deleted flag is not met, even against the value 0
    Event *ghost = makeEvent(cube, 2, {flagIs("GHOST", 0)}, {move(100, 0, 0)});
    Event *wrongCase = makeEvent(cube, 3, {flagIs("x", 1)}, {move(100, 0, 0)});
    unmet->running = 1;  // marks left over from elsewhere are reset
    unmet->conditions[0].satisfied = 1;
    startPlay();
    EXPECT_EQ(unmet->conditions[0].satisfied, 0);
    EXPECT_EQ(getFlagWatch().count, 4);
    EXPECT_EQ(met->running, 1);
    EXPECT_EQ(unmet->running, 0);
    EXPECT_EQ(ghost->running, 0);
    EXPECT_EQ(ghost->conditions[0].satisfied, 0);
    EXPECT_EQ(wrongCase->running, 0);
    EXPECT_EQ(runningObjects(), std::vector<int>{cube});

    // a named evaluation looks only at that flag's watches
    setFlag("Y", 1);
    addFlagValue("GHOST", 0);
    evaluateFlagConditions("Y");
    EXPECT_EQ(unmet->running, 1);
    EXPECT_EQ(ghost->running, 0);
    evaluateFlagConditions(nullptr);
    EXPECT_EQ(ghost->running, 1);
}

TEST_F(Play, StopPlayPutsBackPosesMaterialsAndFlags)
{
    addFlagValue("X", 0);
    int cube = place(1, 2, 3, "verde");
    object_at(cube)->pose.yaw = 45;
    int plain = place(7, 7, 7);  // no events: not saved
    makeEvent(cube, 0, {activate()},
              {move(100, 200, 300), rotate(10, 20, 30), changeMat("rojo"), setTo("X", 5), setTo("NOFLAG", 1)});
    startPlay();
    EXPECT_EQ(getPlayMode(), 1);
    EXPECT_EQ(getLookMode(), 1);
    EXPECT_EQ(getPointerCaptured(), 1);
    EXPECT_EQ(lastCursor, GLUT_CURSOR_CROSSHAIR);
    ASSERT_EQ(getSavedObjectState().count, 1);
    EXPECT_EQ(getSavedObjectState().entries[0].material, "verde");

    activateObject(cube);
    object_at(cube)->dirty = 0;
    frames(5);
    const primitiva *o = object_at(cube);
    EXPECT_NEAR(o->pose.x, 2.0f, 1e-5);
    EXPECT_NEAR(o->pose.z, 6.0f, 1e-5);
    EXPECT_NEAR(o->pose.yaw, 55.0f, 1e-5);
    EXPECT_NEAR(o->pose.roll, 30.0f, 1e-5);
    EXPECT_STREQ(first_material_name(o), "rojo");
    EXPECT_EQ(o->dirty, 1);  // a material change rebuilds the display list
    const usage_entry *rojo = usage_entry_at(usage_index_of("rojo"));
    ASSERT_EQ(rojo->users.size(), 1u);
    EXPECT_EQ(rojo->users[0], object_slot(cube));
    EXPECT_EQ(flagValue("X"), 5);
    EXPECT_EQ(findFlag("NOFLAG"), nullptr);  // setting a missing flag creates nothing
    object_at(plain)->pose.x = 8;

    setLookMode(0);
    setPlayMode(0);
    stopPlay();
    EXPECT_EQ(getPlayMode(), 0);
    EXPECT_EQ(getLookMode(), 0);
    EXPECT_EQ(getPointerCaptured(), 0);
    EXPECT_EQ(lastCursor, GLUT_CURSOR_LEFT_ARROW);
    EXPECT_EQ(lastWarpX, PLAY_RELEASE_X);
    EXPECT_EQ(lastWarpY, PLAY_RELEASE_Y);
    o = object_at(cube);
    EXPECT_FLOAT_EQ(o->pose.x, 1.0f);
    EXPECT_FLOAT_EQ(o->pose.y, 2.0f);
    EXPECT_FLOAT_EQ(o->pose.z, 3.0f);
    EXPECT_FLOAT_EQ(o->pose.yaw, 45.0f);
    EXPECT_FLOAT_EQ(o->pose.pitch, 0.0f);
    EXPECT_FLOAT_EQ(o->pose.roll, 0.0f);
    EXPECT_STREQ(first_material_name(o), "verde");
    EXPECT_TRUE(usage_entry_at(usage_index_of("rojo"))->users.empty());
    EXPECT_EQ(flagValue("X"), 0);
    EXPECT_FLOAT_EQ(object_at(plain)->pose.x, 8.0f);
}

TEST_F(Play, RotatingAMaterialTurnsTheSharedTextureOnly)
{
    int a = place(0, 0, 0, "agua"), b = place(5, 0, 0, "agua"), c = place(9, 0, 0, "rojo");
    makeEvent(a, 0, {activate()}, {rotateMat(15, 30, 45), rotateMat(15, 30, 45)});
    makeEvent(c, 0, {activate()}, {rotateMat(15, 30, 45)});
    startPlay();
    activateObject(a);
    activateObject(c);
    frames(2);
    const texture_block *block = find_material("agua")->texture.get();
    EXPECT_FLOAT_EQ(block->rotationX, 30.0f);
    EXPECT_FLOAT_EQ(block->rotationY, 60.0f);
    EXPECT_FLOAT_EQ(block->rotationZ, 90.0f);
    EXPECT_EQ(find_material("rojo")->texture, nullptr);  // untextured: nothing to turn
    EXPECT_STREQ(first_material_name(object_at(b)), "agua");
    stopPlay();
    EXPECT_FLOAT_EQ(block->rotationX, 30.0f);  // not saved: the renderer resets it
}

TEST_F(Play, TheFixedListsRefuseExtraEntries)
{
    // 17 objects x 16 events: 272 distance and flag conditions, 272 clickable events
    addFlagValue("F", 1);
    std::vector<int> cubes;
    for (int i = 0; i < 17; i++) {
        cubes.push_back(place((float)i, 0, 0));
        for (int n = 0; n < EVENTS_PER_SET; n++)
            makeEvent(cubes.back(), n, {nearer(1000), flagIs("F", 1)}, {loop(0), again()});
    }
    startPlay();
    EXPECT_EQ(getDistanceWatch().count, PLAY_LIST_CAPACITY);
    EXPECT_EQ(getFlagWatch().count, PLAY_LIST_CAPACITY);
    EXPECT_EQ(getRunList().count, PLAY_LIST_CAPACITY);  // the watched ones started
    EXPECT_EQ(eventOf(cubes[15], 15)->running, 1);
    EXPECT_EQ(eventOf(cubes[16], 0)->running, 0);  // never watched
    frames(3);
    EXPECT_EQ(getRunList().count, PLAY_LIST_CAPACITY);
    stopPlay();

    // clicks fill the run list; the refused events stay idle
    for (int cube : cubes) {
        for (int n = 0; n < EVENTS_PER_SET; n++) {
            Event *event = eventOf(cube, n);
            removeCondition(event, 1);
            removeCondition(event, 0);
            setCondition(event, 0, cActivate, newActivateValue());
        }
    }
    startPlay();
    for (int cube : cubes) activateObject(cube);
    EXPECT_EQ(getRunList().count, PLAY_LIST_CAPACITY);
    EXPECT_EQ(eventOf(cubes[16], 3)->running, 0);
    EXPECT_EQ(startEvent(cubes[16], 3), 0);
    frames(4);
    stopPlay();
    EXPECT_EQ(getRunList().count, 0);
}

TEST_F(Play, ObjectsBeyondTheSavedStateTakeNoPartInPlay)
{
    std::vector<int> cubes;
    for (int i = 0; i <= PLAY_LIST_CAPACITY; i++) {
        cubes.push_back(place((float)i, 0, 0));
        makeEvent(cubes.back(), 0, {activate()}, {move(0, 100, 0)});
    }
    startPlay();
    EXPECT_EQ(getSavedObjectState().count, PLAY_LIST_CAPACITY);
    activateObject(cubes.front());
    activateObject(cubes.back());  // its pose could not be put back: it does not play
    frames(1);
    EXPECT_NEAR(object_at(cubes.front())->pose.y, 1.0f, 1e-5);
    EXPECT_FLOAT_EQ(object_at(cubes.back())->pose.y, 0.0f);
    stopPlay();
    EXPECT_FLOAT_EQ(object_at(cubes.front())->pose.y, 0.0f);
}

TEST_F(Play, ObjectsThatNoLongerExistAreSkipped)
{
    int a = place(0, 0, 0), b = place(0, 0, 0);
    makeEvent(a, 0, {activate()}, {move(100, 0, 0), move(100, 0, 0), move(100, 0, 0)});
    makeEvent(b, 0, {activate()}, {loop(0), move(100, 0, 0), again()});
    startPlay();
    activateObject(a);
    activateObject(b);
    frames(1);
    ASSERT_EQ(delete_object(b), 1);  // gone with its event set while running
    activateObject(b);
    activateObject(-1);
    activateObject(MAX_OBJECTS + 5);
    EXPECT_EQ(startEvent(b, 0), 0);
    EXPECT_EQ(startEvent(a, EVENTS_PER_SET), 0);
    frames(1);
    EXPECT_EQ(runningObjects(), std::vector<int>{a});
    EXPECT_NEAR(object_at(a)->pose.x, 2.0f, 1e-5);
    stopPlay();
    EXPECT_FLOAT_EQ(object_at(a)->pose.x, 0.0f);
}
