// Play mode in a real GL context through whole display() frames: a right-click pick activates
// the object it hits up to 150 units away, and texture rotations last until an edit-mode draw.
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
#include "scene_setup.h"
#include "scene_draw.h"
#include "startup.h"
#include "textures.h"
#include "view_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

class PlayGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        setWindowOps({[](int, int) {}, [](int) {}, [] { return 1024; }, [] { return 768; }, [] {}});
    }
    void SetUp() override
    {
        scene_setup::startTables();
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
        registerPickHooks();
        reshape(1024, 768);
        Camera camera = {};
        camera.y = 30.0f;
        setCamera(camera);
        applyView();
    }
    void TearDown() override { scene_setup::clearPlayScene(); }

    // A cube of the material at (x, y, z) whose event 0, on activation, moves it up one unit twice
    static int placeWithEvent(float x, float y, float z, const char *material = "(default)")
    {
        int index = scene_setup::placeObject(KIND_CUBE, x, y, z, material);
        EventSet *set = newEventSet();
        Event *event = &set->events[0];
        EXPECT_EQ(setCondition(event, 0, cActivate, newActivateValue()), 1);
        EXPECT_EQ(setConsequence(event, 0, cMoveObj, newMoveValue(0, 100, 0)), 1);
        EXPECT_EQ(setConsequence(event, 1, cMoveObj, newMoveValue(0, 100, 0)), 1);
        set_slot_event_set(index, set);
        return index;
    }

    static Event *eventOf(int index) { return &slot_event_set(index)->events[0]; }

    // The right-button press of play mode over a world point (camera at (0, 30, 0)), carried out by the next frame
    static void rightClick(float x, float y, float z)
    {
        view_test::ScreenPoint s = view_test::projectPoint(x, y, z, 0, 30, 0, 0, 0);
        setPickPending(1);
        beginPlayPick((int)std::lround(s.x), (int)std::lround(s.y));
        display();
    }
};

}  // namespace

TEST_F(PlayGl, APlayPickReachesObjectsUpTo150UnitsAway)
{
    int near = placeWithEvent(-10, 30, -140);
    int far = placeWithEvent(10, 30, -160);
    display();  // builds the display lists
    startPlay();
    rightClick(10, 30, -160);
    EXPECT_EQ(eventOf(far)->running, 0);
    rightClick(-10, 30, -140);
    EXPECT_EQ(getLastHitName() / 100000 * 100000, object_at(near)->nameBase);
    EXPECT_EQ(eventOf(near)->running, 1);
    EXPECT_NEAR(object_at(near)->pose.y, 31.0f, 1e-4);  // its first link ran in that frame
}

TEST_F(PlayGl, TextureRotationsLastWhilePlayingAndAreResetByTheFirstEditDraw)
{
    int cube = placeWithEvent(0, 30, -40, "agua");
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
