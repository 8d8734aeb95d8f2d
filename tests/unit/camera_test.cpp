// The camera's arithmetic: acceleration and gliding stop, walking height, flying, turning
// limits, mouse-look with the pointer held at the centre, pointer capture and zoom; the
// 1024x768 screen placed in a window of another size.
#include "app_state.h"
#include "camera.h"
#include "screen_view.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, int>> warps;
int cursor = -1, windowWidth = 1024, redisplays = 0;

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        setCamera(Camera{0, CAMERA_WALK_HEIGHT, 0, 0, 0, 0, 0, 0});
        clearMovementFlags();
        setPointerCaptured(0);
        setLookCentre(-1, -1);
        warps.clear();
        cursor = -1;
        windowWidth = 1024;
        redisplays = 0;
        setWindowOps({[](int x, int y) { warps.emplace_back(x, y); }, [](int c) { cursor = c; },
                      [] { return windowWidth; }, [] { return 768; }, [] { redisplays++; }});
    }
    Camera &cam() { return *getCamera(); }
};

}  // namespace

TEST_F(CameraTest, OneFrameOfTheUpArrowMovesAQuarterThenGlidesATenthAndStops)
{
    setMoveForward(1);
    updateCamera();
    setMoveForward(0);
    EXPECT_NEAR(cam().z, -0.25f, 1e-6);
    for (int i = 0; i < 2; i++) {
        updateCamera();
        EXPECT_NEAR(cam().z, -0.35f, 1e-6);
    }
}

TEST_F(CameraTest, WalkingKeepsTheEyeHeightAndFlyingStraightUpOnlyClimbs)
{
    for (float pitch : {-90.0f, -8.82f, 45.0f, 90.0f}) {
        cam().pitch = pitch;
        cam().y = 12.0f;
        moveCamera(5.5f, 0.0f);
        EXPECT_EQ(cam().y, CAMERA_WALK_HEIGHT) << pitch;
    }
    setFlyMode(1);
    cam() = Camera{3.0f, 30.0f, -4.0f, 0, 90.0f, 0, 0, 0};
    moveCamera(4.0f, 0.0f);
    EXPECT_FLOAT_EQ(cam().x, 3.0f);
    EXPECT_FLOAT_EQ(cam().z, -4.0f);
    EXPECT_NEAR(cam().y, 32.0f, 1e-5);
    moveCamera(4.0f, 180.0f);  // backward while looking up goes down
    EXPECT_NEAR(cam().y, 30.0f, 1e-4);
}

TEST_F(CameraTest, PitchIsClampedAndYawWraps)
{
    turnCamera(0.0f, 500.0f, 0.0f);
    EXPECT_EQ(cam().pitch, 90.0f);
    turnCamera(0.0f, -1000.0f, 0.0f);
    EXPECT_EQ(cam().pitch, -90.0f);
    cam().yaw = 359.9f;
    turnCamera(0.2f, 0.0f, 0.0f);
    EXPECT_NEAR(cam().yaw, 0.1f, 1e-3);
    turnCamera(-0.3f, 0.0f, 0.0f);
    EXPECT_NEAR(cam().yaw, 359.8f, 1e-3);
}

TEST_F(CameraTest, MouseLookTurnsByTheOffsetFromTheCentreItComputedOnce)
{
    mouseLook(600, 300);  // not captured: nothing
    EXPECT_EQ(cam().yaw, 0.0f);
    windowWidth = 801;
    capturePointer(100, 200);
    EXPECT_EQ(warps, (std::vector<std::pair<int, int>>{{400, 384}}));
    EXPECT_EQ(cursor, GLUT_CURSOR_CROSSHAIR);
    mouseLook(400, 384);  // a motion event at the centre: no turn, no warp
    EXPECT_EQ(warps.size(), 1u);
    EXPECT_EQ(redisplays, 0);
    mouseLook(410, 394);  // right and down: turns right and looks down
    EXPECT_NEAR(cam().yaw, 359.4f, 1e-4);
    EXPECT_NEAR(cam().pitch, -0.6f, 1e-5);
    EXPECT_EQ(warps.back(), std::make_pair(400, 384));
    setInvertMouseY(1);
    mouseLook(400, 394);
    EXPECT_NEAR(cam().pitch, 0.0f, 1e-5);
    releasePointer(40, 50);
    windowWidth = 1024;
    capturePointer(0, 0);  // the centre is kept
    EXPECT_EQ(getLookCentreX(), 400);
}

TEST_F(CameraTest, ZoomGoesDownToZeroAndPast)
{
    for (int i = 0; i < 45; i++) zoom(-1);
    EXPECT_EQ(getFieldOfView(), 0.0f);
    zoom(-1);
    EXPECT_EQ(getFieldOfView(), -1.0f);
}

// The 1024x768 screen in a window of another shape: centred at 4:3, pointer positions mapped
// both ways (menu edges stay at the picture's edges), and a 1024x768 window maps onto itself
TEST(ScreenView, TheScreenKeepsItsShapeInAnyWindow)
{
    struct Case {
        int width, height;
        ScreenRect rect;
    };
    for (const Case &c : {Case{1024, 768, {0, 0, 1024, 768}}, Case{1280, 768, {128, 0, 1024, 768}},
                          Case{512, 600, {0, 108, 512, 384}}, Case{2048, 1536, {0, 0, 2048, 1536}}}) {
        setWindowSize(c.width, c.height);
        const ScreenRect r = screenRect();
        EXPECT_EQ((std::vector<int>{r.x, r.y, r.width, r.height}),
                  (std::vector<int>{c.rect.x, c.rect.y, c.rect.width, c.rect.height}))
            << c.width << "x" << c.height;
        int x = r.x + r.width - 1, y = r.y + r.height - 1;  // the last pixel is the right edge's
        windowToScreen(&x, &y);
        EXPECT_GE(x, 1016) << c.width;
        EXPECT_GE(y, 762) << c.width;
        for (const std::pair<int, int> &p : {std::make_pair(0, 0), std::make_pair(512, 384), std::make_pair(1016, 700)}) {
            int wx = p.first, wy = p.second;
            screenToWindow(&wx, &wy);
            windowToScreen(&wx, &wy);
            EXPECT_NEAR(wx, p.first, 2);
            EXPECT_NEAR(wy, p.second, 2);
        }
    }
    int x = 100, y = 5;  // left of the picture in a wide window: beyond the screen's left edge
    setWindowSize(1280, 768);
    windowToScreen(&x, &y);
    EXPECT_LT(x, 0);
    setWindowSize(1024, 768);
}
