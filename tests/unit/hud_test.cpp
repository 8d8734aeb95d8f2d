// The HUD lines: their texts and heights, and the window of frame extremes that only moves
// while the HUD is shown.
#include "app_state.h"
#include "camera.h"
#include "frame_pacing.h"
#include "hud.h"
#include "input_fakes.h"
#include "objects.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int clockMs = 0;
int fakeClock() { return clockMs; }

// Runs the frame pacing for one frame of the given duration
void frameOf(int ms)
{
    clockMs = 1000;
    markFrameStart();
    clockMs = 1000 + ms;
    waitFrameMinimum();
}

std::string line(int index)
{
    formatHudLine(index);
    return hudText();
}

class Hud : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        clear_objects();
        setCamera(Camera{});
        setElapsedTimeSource(fakeClock);
        input_fakes::setPolygonCount(0);
    }
    void TearDown() override
    {
        clear_objects();
        setElapsedTimeSource(nullptr);
    }
};

}  // namespace

TEST_F(Hud, LinesShowTheStateOfTheFrame)
{
    Camera c = {};
    c.x = -41.51f;
    c.y = 30.0f;
    c.z = 38.74f;
    c.yaw = 314.22f;
    c.pitch = -8.82f;
    setCamera(c);
    create_object(KIND_CUBE);
    create_object(KIND_SPHERE);
    input_fakes::setPolygonCount(123);
    setLastHitName(310000);
    frameOf(20);

    EXPECT_EQ(line(0), "FPS: 50 frames");    // written by the frame pacing, left as it is
    EXPECT_EQ(line(1), "Polygons: 123");
    EXPECT_EQ(line(2), "Solidos: 2");
    EXPECT_EQ(line(3), "CamPos: -41.51 30.00 38.74");
    EXPECT_EQ(line(4), "CamYaw Pitch Roll: 314.22 -8.82 0.00");
    EXPECT_EQ(line(5), "MAX: 20   MIN: 20");
    EXPECT_EQ(line(6), "FMIN: 50   FMAY 50");
    EXPECT_EQ(line(7), "Object Selected: 310000");
}

TEST_F(Hud, LinesSitAtTheirHeights)
{
    const float expected[HUD_LINES] = {25.5f, 21.5f, 19.5f, 17.5f, 15.5f, 13.5f, 11.5f, -0.5f};
    for (int i = 0; i < HUD_LINES; i++) EXPECT_EQ(hudLineY(i), expected[i]) << i;
    EXPECT_EQ(HUD_X, -36.0f);
    EXPECT_EQ(HUD_Z, -70.0f);
}

TEST_F(Hud, FrameExtremesWidenOnlyWhileShown)
{
    frameOf(25);
    drawHud();    // hidden: nothing is updated
    EXPECT_EQ(getFrameTimeMin(), 200);
    EXPECT_EQ(getFrameTimeMax(), 0);

    setHudVisible(1);
    drawHud();    // no font: nothing is drawn, but the lines are still worked out
    EXPECT_EQ(getFrameTimeMin(), 25);
    EXPECT_EQ(getFrameTimeMax(), 25);
    frameOf(16);
    drawHud();
    frameOf(40);
    drawHud();
    EXPECT_EQ(getFrameTimeMin(), 16);
    EXPECT_EQ(getFrameTimeMax(), 40);
    EXPECT_EQ(line(6), "FMIN: 25   FMAY 62");
    EXPECT_EQ(std::string(hudText()), "FMIN: 25   FMAY 62");

    // The statistics window closes every 60 frames
    for (int i = 0; i < 60; i++) advanceStatisticsWindow();
    EXPECT_EQ(getFrameTimeMin(), 200);
    frameOf(18);
    EXPECT_EQ(line(5), "MAX: 18   MIN: 18");
}

TEST_F(Hud, AFrameWithoutDurationDoesNotDivideByZero)
{
    setFrameMinMs(0);
    frameOf(0);
    EXPECT_EQ(line(5), "MAX: 0   MIN: 0");
    EXPECT_EQ(line(6), "FMIN: 0   FMAY 0");
}

TEST_F(Hud, FarAwayCameraFitsTheBuffer)
{
    Camera c = {};
    c.x = -3.0e38f;
    c.y = 3.0e38f;
    c.z = -3.0e38f;
    setCamera(c);
    std::string text = line(3);
    EXPECT_EQ(text.compare(0, 8, "CamPos: "), 0);
    EXPECT_LT(text.size(), (size_t)HUD_TEXT_SIZE);
}
