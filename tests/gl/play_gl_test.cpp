// Play mode in a real GL context through whole display() frames: a right-click pick activates
// the object it hits up to 150 units away, texture rotations last until an edit-mode draw, and
// an object whose material an event changes is drawn in every frame, in its new material from
// the frame after the change.
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

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

class PlayGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        scene_setup::quietWindowOps();
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
        scene_setup::addRedAndGreen();  // unlit materials of one emitted colour
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
    display();  // the restored material marks the object dirty: rebuilt and drawn
    display();
    EXPECT_FLOAT_EQ(block->rotationZ, 0.0f);
}

TEST_F(PlayGl, AnObjectWhoseMaterialChangesIsDrawnInEveryFrameInItsNewMaterial)
{
    int cube = placeWithEvent(0, 30, -40, "rojo");
    const char *chain[] = {"verde", "rojo", "verde"};
    for (int k = 0; k < 3; k++) ASSERT_EQ(setConsequence(eventOf(cube), k, cChangeMat, newChangeMatValue(chain[k])), 1);
    display();
    startPlay();
    activateObject(cube);  // each frame draws, then runs one link of the chain
    xdriver::XClient client;
    ASSERT_TRUE(client.open(glServer().display));
    const char expected[] = {'r', 'g', 'r', 'g', 'g'};
    for (int frame = 0; frame < 5; frame++) {
        display();
        glFinish();
        xdriver::Image shot = client.screenshot();
        ASSERT_GE(shot.width, 1024);
        double c[3];
        xdriver::meanColour(shot, 506, 378, 518, 390, c);
        char seen = c[0] > 200 && c[1] < 60 ? 'r' : c[1] > 200 && c[0] < 60 ? 'g' : '?';
        EXPECT_EQ(seen, expected[frame]) << "frame " << frame << ": " << c[0] << " " << c[1] << " " << c[2];
    }
}
