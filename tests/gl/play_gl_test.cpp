// Play mode in a real GL context through whole display() frames: a right-click pick activates
// the object it hits, and texture rotations last until the scene is drawn in edit mode.
#include "app_state.h"
#include "camera.h"
#include "events.h"
#include "flags.h"
#include "gl_context.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "picking.h"
#include "play.h"
#include "render.h"
#include "scene_draw.h"
#include "startup.h"
#include "textures.h"
#include "view_projection.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

constexpr int W = 1024, H = 768;

void noWarp(int, int) {}
void noCursor(int) {}
int width() { return W; }
int height() { return H; }
void noRedisplay() {}

class PlayGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        setWindowOps({noWarp, noCursor, width, height, noRedisplay});
    }
    void SetUp() override
    {
        resetAppState();
        setPointerCaptured(0);
        create_material_table();
        create_texture_table();
        add_default_material();
        material_record *water = new_material();
        water->name = "agua";
        water->texturado = 1;
        water->texture = new_texture_block();
        add_frame(water->texture.get(), "Data/agua1.bmp");
        add_material(water);
        rebuild_usage_table();
        createFlagTable();
        set_event_set_release(freeEventSet);
        set_creation_counter(0);
        build_sample_objects();
        createLightSet();
        setUpOpenGL();
        reshape(W, H);
        Camera camera = {};
        camera.y = 30.0f;
        setCamera(camera);
        applyView();
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
        clear_texture_table();
        clearFlagTable();
        resetAppState();
    }

    // A cube of the material at (x, y, z) whose event 0 has the conditions and moves the cube
    // up by one unit twice
    static int placeWithEvent(float x, float y, float z, int condition, void *value, const char *material = "(default)")
    {
        set_current_material(material);
        int index = create_object(KIND_CUBE);
        set_current_material(nullptr);
        object_at(index)->pose = object_pose{x, y, z, 0, 0, 0};
        EventSet *set = newEventSet();
        Event *event = &set->events[0];
        EXPECT_EQ(setCondition(event, 0, condition, value), 1);
        EXPECT_EQ(setConsequence(event, 0, cMoveObj, newMoveValue(0, 100, 0)), 1);
        EXPECT_EQ(setConsequence(event, 1, cMoveObj, newMoveValue(0, 100, 0)), 1);
        set_slot_event_set(index, set);
        return index;
    }

    static Event *eventOf(int index) { return &slot_event_set(index)->events[0]; }

    // Where a world point lands (window coordinates, y down) from the camera at (0, 30, 0)
    static std::array<int, 2> screenOf(float x, float y, float z)
    {
        view_test::ScreenPoint s = view_test::projectPoint(x, y, z, 0, 30, 0, 0, 0);
        return {(int)std::lround(s.x), (int)std::lround(s.y)};
    }

    // The right-button press of play mode, carried out by the next frame
    static void rightClick(const std::array<int, 2> &at)
    {
        setPickPending(1);
        beginPlayPick(at[0], at[1]);
        display();
    }
};

}  // namespace

TEST_F(PlayGl, APlayPickActivatesTheObjectItHitsAndRunsItsFirstLinkInThatFrame)
{
    int cube = placeWithEvent(-30, 30, -100, cActivate, newActivateValue());
    display();  // builds the display lists
    startPlay();
    rightClick(screenOf(-30, 30, -100));
    EXPECT_EQ(getLastHitName() / 100000 * 100000, object_at(cube)->nameBase);
    EXPECT_EQ(eventOf(cube)->running, 1);
    EXPECT_NEAR(object_at(cube)->pose.y, 31.0f, 1e-4);
}

TEST_F(PlayGl, APlayPickReachesObjectsUpTo150UnitsAway)
{
    int near = placeWithEvent(-10, 30, -140, cActivate, newActivateValue());
    int far = placeWithEvent(10, 30, -160, cActivate, newActivateValue());
    display();
    startPlay();
    rightClick(screenOf(10, 30, -160));
    EXPECT_EQ(eventOf(far)->running, 0);
    rightClick(screenOf(-10, 30, -140));
    EXPECT_EQ(eventOf(near)->running, 1);
}

TEST_F(PlayGl, TextureRotationsLastWhilePlayingAndAreResetByTheFirstEditDraw)
{
    int cube = placeWithEvent(0, 30, -40, cActivate, newActivateValue(), "agua");
    ASSERT_EQ(setConsequence(eventOf(cube), 0, cRotateMat, newRotateValue(0, 0, 15)), 1);
    texture_block *block = find_material("agua")->texture.get();
    display();
    startPlay();
    activateObject(cube);
    display();
    display();  // drawn in play mode: kept
    EXPECT_FLOAT_EQ(block->rotationZ, 15.0f);
    stopPlay();
    display();  // the restored material marks the object dirty: rebuilt, not drawn
    display();
    EXPECT_FLOAT_EQ(block->rotationZ, 0.0f);
}
