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
#include "scene_setup.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace {

int lastCursor = -1;

typedef std::pair<int, void *> Link;

class Play : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        setCamera(Camera{});
        setWindowOps({[](int, int) {}, [](int cursor) { lastCursor = cursor; }, [] { return 1024; }, [] { return 768; }, [] {}});
        clear_objects();
        set_event_set_release(freeEventSet);
        create_material_table();
        add_default_material();
        for (const char *name : {"rojo", "verde"}) {
            material_record *m = new_material();
            m->name = name;
            ASSERT_EQ(add_material(m), 1);
        }
        rebuild_usage_table();
        createFlagTable();
    }
    void TearDown() override { scene_setup::clearPlayScene(); }

    // A cube at (x, y, z) with the material
    static int place(float x, float y, float z, const char *material = "(default)")
    {
        int index = scene_setup::placeObject(KIND_CUBE, x, y, z, material);
        EXPECT_GE(index, 0);
        return index;
    }
    static Event *eventOf(int index, int number)
    {
        if (slot_event_set(index) == nullptr) set_slot_event_set(index, newEventSet());
        return &slot_event_set(index)->events[(size_t)number];
    }
    // An event with the conditions (in slot order) and the consequence chain
    static Event *makeEvent(int index, int number, std::initializer_list<Link> conditions, std::initializer_list<Link> links)
    {
        Event *event = eventOf(index, number);
        int slot = 0, position = 0;
        for (const Link &c : conditions) EXPECT_EQ(setCondition(event, slot++, c.first, c.second), 1);
        for (const Link &l : links) EXPECT_EQ(setConsequence(event, position++, l.first, l.second), 1);
        return event;
    }
    static Link activate() { return {cActivate, newActivateValue()}; }
    static Link nearer(int d) { return {cDistanceMN, newDistanceValue(d)}; }
    static Link flagIs(const char *name, int v) { return {cFlag, newFlagValue(name, v)}; }
    static Link move(int x, int y, int z) { return {cMoveObj, newMoveValue(x, y, z)}; }
    static Link setTo(const char *name, int v) { return {cFlagEqual, newFlagValue(name, v)}; }
    static Link loop(int count) { return {cLoop, newLoopValue(count)}; }
    static Link again() { return {cAgain, newAgainValue()}; }
    static void frames(int n) { for (int i = 0; i < n; i++) stepRunningEvents(); }
    static float x(int index) { return object_at(index)->pose.x; }
    // Objects of the running events, in run order
    static std::vector<int> runningObjects()
    {
        std::vector<int> objects;
        for (int i = 0; i < getRunList().count; i++) objects.push_back(getRunList().entries[(size_t)i].objectIndex);
        return objects;
    }
};

}  // namespace

TEST_F(Play, LoopsAndAgain)
{
    // A loop of ten around a move takes 21 frames and moves one unit
    int cube = place(0, 0, 0);
    Event *event = makeEvent(cube, 0, {activate()}, {loop(10), move(0, 0, 10), again()});
    startPlay();
    activateObject(cube);
    for (int frame = 1; frame <= 20; frame++) {
        activateObject(cube);  // a click on a running event's object does not start it twice
        stepRunningEvents();
        ASSERT_NEAR(object_at(cube)->pose.z, 0.1f * (float)(frame / 2), 1e-5) << frame;
        ASSERT_EQ(getRunList().count, 1) << frame;
    }
    stepRunningEvents();
    EXPECT_EQ(getRunList().count, 0);
    EXPECT_EQ(event->running, 0);
    EXPECT_NEAR(object_at(cube)->pose.z, 1.0f, 1e-5);
    stopPlay();

    // Nested, endless and unopened loops
    // 2 x (3 x move x, then move y): 1 + 2 x (1 + 3 x 2 + 2) = 19 frames
    int nested = place(0, 0, 0), endless = place(0, 0, 0), lone = place(0, 0, 0);
    makeEvent(nested, 0, {activate()}, {loop(2), loop(3), move(100, 0, 0), again(), move(0, 100, 0), again()});
    makeEvent(endless, 0, {activate()}, {loop(0), move(0, 0, 100), again()});
    makeEvent(lone, 0, {activate()}, {again(), move(100, 0, 0)});  // a cAgain with no loop moves on
    startPlay();
    for (int o : {nested, endless, lone}) activateObject(o);
    frames(2);
    EXPECT_NEAR(x(lone), 1.0f, 1e-5);
    frames(17);
    EXPECT_EQ(runningObjects(), std::vector<int>{endless});
    EXPECT_NEAR(x(nested), 6.0f, 1e-5);
    EXPECT_NEAR(object_at(nested)->pose.y, 2.0f, 1e-5);
    frames(2000);
    EXPECT_EQ(runningObjects(), std::vector<int>{endless});
    EXPECT_NEAR(object_at(endless)->pose.z, 1009.0f, 1e-2);
    stopPlay();  // releases the open loop frame (checked by the leak sanitizer)
    EXPECT_EQ(getRunList().count, 0);
}

TEST_F(Play, RunListOrderWithinAPass)
{
    // Two events ending in one frame leave the others one link each
    ASSERT_EQ(addFlag(newFlagRecord("GO", 1)), 1);
    int b = place(0, 0, 0), a = place(0, 0, 0), c = place(0, 0, 0);
    makeEvent(b, 0, {flagIs("GO", 1)}, {move(100, 0, 0), move(100, 0, 0), move(100, 0, 0)});
    makeEvent(a, 0, {flagIs("GO", 1)}, {move(100, 0, 0)});
    makeEvent(a, 1, {flagIs("GO", 1)}, {move(100, 0, 0)});
    makeEvent(c, 0, {flagIs("GO", 1)}, {move(100, 0, 0), move(100, 0, 0), move(100, 0, 0)});
    startPlay();
    ASSERT_EQ(runningObjects(), (std::vector<int>{b, a, a, c}));
    stepRunningEvents();
    EXPECT_EQ(runningObjects(), (std::vector<int>{b, c}));
    EXPECT_NEAR(x(a), 2.0f, 1e-5);
    stepRunningEvents();
    EXPECT_NEAR(x(b), 2.0f, 1e-5);
    EXPECT_NEAR(x(c), 2.0f, 1e-5);
    stopPlay();
    setFlag("GO", 0);

    // A flag consequence starts idle events that run their first link in the same pass
    ASSERT_EQ(addFlag(newFlagRecord("X", 0)), 1);
    int d = place(0, 0, 0), e = place(0, 0, 0);
    makeEvent(d, 0, {activate()}, {setTo("X", 1), move(100, 0, 0)});
    Event *waiter = makeEvent(e, 0, {flagIs("X", 1)}, {move(0, 100, 0), move(0, 100, 0)});
    Event *ghost = makeEvent(e, 1, {flagIs("GHOST", 0)}, {move(0, 0, 100)});  // no such flag: never met
    startPlay();
    activateObject(d);
    stepRunningEvents();
    EXPECT_EQ(findFlag("X")->value, 1);
    EXPECT_EQ(waiter->running, 1);
    EXPECT_EQ(runningObjects(), (std::vector<int>{d, e}));
    EXPECT_NEAR(object_at(e)->pose.y, 1.0f, 1e-5);
    EXPECT_FLOAT_EQ(x(d), 0.0f);
    EXPECT_EQ(ghost->conditions[0].satisfied, 0);
}

TEST_F(Play, EventsStartOnlyWhenTheirConditionsAreMet)
{
    // Without conditions never; without consequences once per run
    int cube = place(0, 0, 0);
    Event *none = makeEvent(cube, 0, {}, {move(100, 0, 0)});
    Event *empty = makeEvent(cube, 1, {activate()}, {});
    startPlay();
    activateObject(cube);
    evaluateDistanceConditions();
    evaluateFlagConditions(nullptr);
    frames(5);
    EXPECT_EQ(none->running, 0);
    EXPECT_FLOAT_EQ(x(cube), 0.0f);
    EXPECT_EQ(empty->running, 1);  // started, nothing to run, and stays marked
    EXPECT_EQ(getRunList().count, 0);
    stopPlay();
    EXPECT_EQ(empty->running, 0);
    startPlay();
    activateObject(cube);
    EXPECT_EQ(empty->running, 1);
    stopPlay();

    // A distance equal to the limit meets neither condition
    int other = place(3, 4, 0);  // the camera at the origin is exactly 5 away
    Event *far = makeEvent(other, 0, {{cDistanceMY, newDistanceValue(5)}}, {move(0, 0, 100)});
    Event *near = makeEvent(other, 1, {nearer(5)}, {move(0, 0, 100)});
    startPlay();
    EXPECT_EQ(far->conditions[0].satisfied + near->conditions[0].satisfied, 0);
    EXPECT_EQ(getRunList().count, 0);
    getCamera()->x = 0.5f;
    evaluateDistanceConditions();
    EXPECT_EQ(near->running, 1);
    EXPECT_EQ(far->running, 0);
}

TEST_F(Play, StopPlayPutsBackPosesMaterialsAndFlags)
{
    ASSERT_EQ(addFlag(newFlagRecord("X", 0)), 1);
    int cube = place(1, 2, 3, "verde");
    object_at(cube)->pose.yaw = 45;
    makeEvent(cube, 0, {activate()},
              {move(100, 200, 300), {cRotateObj, newRotateValue(10, 20, 30)}, {cChangeMat, newChangeMatValue("rojo")},
               setTo("X", 5), setTo("NOFLAG", 1)});
    startPlay();
    EXPECT_EQ(lastCursor, GLUT_CURSOR_CROSSHAIR);
    activateObject(cube);
    frames(5);
    EXPECT_STREQ(first_material_name(object_at(cube)), "rojo");
    EXPECT_EQ(usage_entry_at(usage_index_of("rojo"))->users.size(), 1u);
    EXPECT_EQ(findFlag("X")->value, 5);
    EXPECT_EQ(findFlag("NOFLAG"), nullptr);  // setting a missing flag creates nothing

    stopPlay();
    EXPECT_EQ(getPointerCaptured(), 0);
    const object_pose &p = object_at(cube)->pose;
    EXPECT_EQ((std::vector<float>{p.x, p.y, p.z, p.yaw, p.pitch, p.roll}), (std::vector<float>{1, 2, 3, 45, 0, 0}));
    EXPECT_STREQ(first_material_name(object_at(cube)), "verde");
    EXPECT_TRUE(usage_entry_at(usage_index_of("rojo"))->users.empty());
    EXPECT_EQ(findFlag("X")->value, 0);
}

TEST_F(Play, TheFixedListsRefuseExtraEntries)
{
    // 17 objects x 16 events: 272 distance and flag conditions
    ASSERT_EQ(addFlag(newFlagRecord("F", 1)), 1);
    std::vector<int> cubes;
    for (int i = 0; i < 17; i++) {
        cubes.push_back(place((float)i, 0, 0));
        for (int n = 0; n < EVENTS_PER_SET; n++)
            makeEvent(cubes.back(), n, {nearer(1000), flagIs("F", 1)}, {loop(0), again()});
    }
    startPlay();
    EXPECT_EQ(getDistanceWatch().count, PLAY_LIST_CAPACITY);
    EXPECT_EQ(getFlagWatch().count, PLAY_LIST_CAPACITY);
    EXPECT_EQ(getRunList().count, PLAY_LIST_CAPACITY);
    EXPECT_EQ(eventOf(cubes[16], 0)->running, 0);  // never watched
    EXPECT_EQ(startEvent(cubes[16], 0), 0);
    frames(3);
    stopPlay();

    // 257 objects with events: the last one's pose could not be put back, so it does not play
    ASSERT_EQ(removeFlag("F"), 1);
    int first = place(0, 0, 0), last = first;
    for (int i = 0; i < PLAY_LIST_CAPACITY - 16; i++) makeEvent(last = place(0, 0, 0), 0, {activate()}, {move(0, 100, 0)});
    makeEvent(first, 0, {activate()}, {move(0, 100, 0)});
    startPlay();
    EXPECT_EQ(getSavedObjectState().count, PLAY_LIST_CAPACITY);
    activateObject(first);
    activateObject(last);
    frames(1);
    EXPECT_NEAR(object_at(first)->pose.y, 1.0f, 1e-5);
    EXPECT_FLOAT_EQ(object_at(last)->pose.y, 0.0f);
}

TEST_F(Play, ObjectsThatNoLongerExistAreSkipped)
{
    int a = place(0, 0, 0);
    makeEvent(a, 0, {activate()}, {loop(0), move(100, 0, 0), again()});
    startPlay();
    activateObject(a);
    frames(1);
    ASSERT_EQ(delete_object(a), 1);  // gone with its event set while running
    activateObject(a);
    activateObject(-1);
    activateObject(MAX_OBJECTS + 5);
    EXPECT_EQ(startEvent(a, EVENTS_PER_SET), 0);
    frames(2);
    EXPECT_EQ(getRunList().count, 0);
    stopPlay();
}
