// The camera's arithmetic: acceleration and gliding stop, walking height, flying, turning
// limits, mouse-look with the pointer held at the centre, pointer capture and zoom.
#include "app_state.h"
#include "camera.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// A window that records what the camera asks of it
struct FakeWindow {
    std::vector<std::pair<int, int>> warps;
    std::vector<int> cursors;
    int width = 1024, height = 768;
    int redisplays = 0;
};
FakeWindow window;

void fakeWarp(int x, int y) { window.warps.emplace_back(x, y); }
void fakeCursor(int cursor) { window.cursors.push_back(cursor); }
int fakeWidth() { return window.width; }
int fakeHeight() { return window.height; }
void fakeRedisplay() { window.redisplays++; }

int hookCalls = 0;
void countHook() { hookCalls++; }

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        Camera start = {};
        start.y = CAMERA_WALK_HEIGHT;
        setCamera(start);
        clearMovementFlags();
        setPointerCaptured(0);
        setLookCentre(-1, -1);
        window = FakeWindow{};
        setWindowOps(WindowOps{fakeWarp, fakeCursor, fakeWidth, fakeHeight, fakeRedisplay});
        hookCalls = 0;
        setCameraMovedHook(nullptr);
    }
    void TearDown() override
    {
        setWindowOps(WindowOps{});
        setCameraMovedHook(nullptr);
    }
    Camera &cam() { return *getCamera(); }
};

}  // namespace

TEST_F(CameraTest, OneFrameOfTheUpArrowGlidesToAStop)
{
    setMoveForward(1);
    updateCamera();
    setMoveForward(0);
    EXPECT_NEAR(cam().z, -0.25f, 1e-6);    // speed 0.5 moves 0.5 x 0.5 toward -Z at yaw 0
    EXPECT_NEAR(cam().forwardSpeed, 0.2f, 1e-6);
    EXPECT_FLOAT_EQ(cam().x, 0.0f);

    updateCamera();
    EXPECT_NEAR(cam().z, -0.35f, 1e-6);
    EXPECT_EQ(cam().forwardSpeed, 0.0f);

    updateCamera();
    EXPECT_NEAR(cam().z, -0.35f, 1e-6);
}

TEST_F(CameraTest, SpeedSettlesAtTheLimitAndStrafingGoesSideways)
{
    setMoveLeft(1);
    for (int i = 0; i < 40; i++) updateCamera();
    // At the move the speed is 5.5; after it 5.2 is left
    EXPECT_NEAR(cam().strafeSpeed, 5.2f, 1e-5);
    float x = cam().x;
    updateCamera();
    EXPECT_NEAR(cam().x - x, -2.75f, 1e-4);    // left is toward -X at yaw 0
    EXPECT_NEAR(cam().z, 0.0f, 1e-4);
    setMoveLeft(0);
    setMoveBack(1);
    updateCamera();
    EXPECT_NEAR(cam().forwardSpeed, -0.2f, 1e-6);
    EXPECT_GT(cam().z, 0.0f);    // backward is toward +Z
}

TEST_F(CameraTest, WalkingKeepsTheEyeHeightAtAnyPitch)
{
    for (float pitch : {-90.0f, -45.0f, -8.82f, 0.0f, 30.0f, 89.0f, 90.0f}) {
        for (float direction : {0.0f, 90.0f, 180.0f, 270.0f}) {
            cam().pitch = pitch;
            cam().y = 12.0f;
            moveCamera(5.5f, direction);
            EXPECT_EQ(cam().y, 30.0f) << "pitch " << pitch << " direction " << direction;
        }
    }
}

TEST_F(CameraTest, FlyingStraightUpChangesOnlyTheHeight)
{
    setFlyMode(1);
    cam().pitch = 90.0f;
    cam().x = 3.0f;
    cam().z = -4.0f;
    moveCamera(4.0f, 0.0f);
    EXPECT_FLOAT_EQ(cam().x, 3.0f);
    EXPECT_FLOAT_EQ(cam().z, -4.0f);
    EXPECT_NEAR(cam().y, 30.0f + 4.0f * 0.5f, 1e-5);

    // Backward while looking straight up goes down; sideways moves do not change the height
    moveCamera(4.0f, 180.0f);
    EXPECT_NEAR(cam().y, 30.0f, 1e-4);
    cam().pitch = 0.0f;
    moveCamera(4.0f, 90.0f);
    EXPECT_NEAR(cam().y, 30.0f, 1e-4);
    EXPECT_NEAR(cam().x, 1.0f, 1e-5);

    // Half way up, forward climbs and moves half as far along the ground
    cam() = Camera{};
    cam().pitch = 45.0f;
    moveCamera(2.0f, 0.0f);
    EXPECT_NEAR(cam().z, -0.5f, 1e-5);
    EXPECT_NEAR(cam().y, std::sin(45.0 * 3.1415927 / 180.0), 1e-5);
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
    turnCamera(-1000.0f, 0.0f, 0.0f);
    EXPECT_GE(cam().yaw, 0.0f);
    EXPECT_LT(cam().yaw, 360.0f);
}

TEST_F(CameraTest, CaptureComputesTheCentreOnceAndWarpsThere)
{
    capturePointer(100, 200);
    EXPECT_EQ(getPointerCaptured(), 1);
    EXPECT_EQ(getLookCentreX(), 512);
    EXPECT_EQ(getLookCentreY(), 384);
    EXPECT_EQ(getLastMouseX(), 100);
    EXPECT_EQ(getLastMouseY(), 200);
    ASSERT_EQ(window.warps.size(), 1u);
    EXPECT_EQ(window.warps[0], std::make_pair(512, 384));
    ASSERT_EQ(window.cursors.size(), 1u);
    EXPECT_EQ(window.cursors[0], GLUT_CURSOR_CROSSHAIR);

    // A second capture while captured does nothing
    capturePointer(5, 5);
    EXPECT_EQ(window.warps.size(), 1u);

    releasePointer(40, 50);
    EXPECT_EQ(getPointerCaptured(), 0);
    EXPECT_EQ(window.warps.back(), std::make_pair(40, 50));
    EXPECT_EQ(window.cursors.back(), GLUT_CURSOR_LEFT_ARROW);
    releasePointer(1, 1);
    EXPECT_EQ(window.warps.size(), 2u);

    // The centre is kept even if the window changes size
    window.width = 800;
    window.height = 601;
    capturePointer(0, 0);
    EXPECT_EQ(getLookCentreX(), 512);
    EXPECT_EQ(getLookCentreY(), 384);
}

TEST_F(CameraTest, CentreUsesIntegerHalves)
{
    window.width = 801;
    window.height = 601;
    capturePointer(0, 0);
    EXPECT_EQ(getLookCentreX(), 400);
    EXPECT_EQ(getLookCentreY(), 300);
}

TEST_F(CameraTest, MouseLookTurnsByTheOffsetFromTheCentre)
{
    // Not captured: nothing
    mouseLook(600, 300);
    EXPECT_EQ(cam().yaw, 0.0f);
    EXPECT_TRUE(window.warps.empty());

    capturePointer(512, 384);
    size_t warps = window.warps.size();
    mouseLook(512, 384);    // exactly at the centre: no turn, no warp
    EXPECT_EQ(window.warps.size(), warps);
    EXPECT_EQ(cam().yaw, 0.0f);
    EXPECT_EQ(cam().pitch, 0.0f);
    EXPECT_EQ(window.redisplays, 0);

    mouseLook(522, 384);    // right: turns right
    EXPECT_NEAR(cam().yaw, 360.0f - 0.6f, 1e-4);
    EXPECT_EQ(window.warps.back(), std::make_pair(512, 384));
    EXPECT_EQ(window.redisplays, 1);

    mouseLook(512, 394);    // down: looks down
    EXPECT_NEAR(cam().pitch, -0.6f, 1e-5);
    setInvertMouseY(1);
    mouseLook(512, 394);    // inverted: looks up again
    EXPECT_NEAR(cam().pitch, 0.0f, 1e-5);

    // However far the mouse moves, the pitch stays in range
    mouseLook(512, -100000);
    EXPECT_EQ(cam().pitch, -90.0f);
}

TEST_F(CameraTest, ZoomHasNoLimit)
{
    for (int i = 0; i < 45; i++) zoom(-1);
    EXPECT_EQ(getFieldOfView(), 0.0f);
    zoom(-1);
    EXPECT_EQ(getFieldOfView(), -1.0f);
    zoom(+1);
    zoom(+1);
    EXPECT_EQ(getFieldOfView(), 1.0f);
}

TEST_F(CameraTest, OnlyPlayModeRetestsDistancesAfterAnUpdate)
{
    setCameraMovedHook(countHook);
    updateCamera();
    EXPECT_EQ(hookCalls, 0);
    setPlayMode(1);
    updateCamera();
    EXPECT_EQ(hookCalls, 1);
}
