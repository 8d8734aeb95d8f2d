// The HUD lines: their texts, and the window of frame extremes that only moves while the HUD
// is shown.
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
int clockStep = 0;  // added after every reading (a clock that runs while the frame waits)
int fakeClock()
{
    int now = clockMs;
    clockMs += clockStep;
    return now;
}

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
        setElapsedTimeSource(fakeClock);
        clockStep = 0;
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
    setCamera(Camera{-41.51f, 30.0f, 38.74f, 314.22f, -8.82f, 0, 0, 0});
    create_object(KIND_CUBE);
    create_object(KIND_SPHERE);
    input_fakes::setPolygonCount(123);
    setLastHitName(310000);
    frameOf(20);
    const char *expected[HUD_LINES] = {"FPS: 50 frames", "Polygons: 123", "Solidos: 2", "CamPos: -41.51 30.00 38.74",
                                       "CamYaw Pitch Roll: 314.22 -8.82 0.00", "MAX: 20   MIN: 20",
                                       "FMIN: 50   FMAY 50", "Object Selected: 310000"};
    for (int i = 0; i < HUD_LINES; i++) EXPECT_EQ(line(i), expected[i]);

    setCamera(Camera{-3.0e38f, 3.0e38f, -3.0e38f, 0, 0, 0, 0, 0});  // far away still fits the buffer
    EXPECT_LT(line(3).size(), (size_t)HUD_TEXT_SIZE);
}

TEST_F(Hud, FrameExtremesWidenOnlyWhileShown)
{
    frameOf(25);
    drawHud();  // hidden: nothing is updated
    EXPECT_EQ(getFrameTimeMax(), 0);
    setHudVisible(1);  // no font: nothing is drawn, but the lines are still worked out
    for (int ms : {25, 16, 40}) {
        frameOf(ms);
        drawHud();
    }
    EXPECT_EQ(getFrameTimeMin(), 16);
    EXPECT_EQ(getFrameTimeMax(), 40);
    EXPECT_EQ(line(6), "FMIN: 25   FMAY 62");
    for (int i = 0; i < 60; i++) advanceStatisticsWindow();  // the window closes every 60 frames
    EXPECT_EQ(getFrameTimeMin(), 200);
}

TEST_F(Hud, AFrameWithoutDurationDoesNotDivideByZero)
{
    setFrameMinMs(0);
    frameOf(0);
    EXPECT_EQ(line(5), "MAX: 0   MIN: 0");
    EXPECT_EQ(line(6), "FMIN: 0   FMAY 0");
}

TEST_F(Hud, TheMinimumFrameRunsFromTheEndOfThePreviousWait)
{
    frameOf(30);  // a slow frame ends its wait at 1030
    clockStep = 1;
    clockMs = 1033;  // the next one starts 3 ms later (the swap and the sky lie before its mark)
    markFrameStart();
    clockMs = 1040;
    EXPECT_EQ(waitFrameMinimum(), 16);  // woken at 1046, not 16 ms after its own mark
    EXPECT_EQ(std::string(hudText()), "FPS: 62 frames");
    EXPECT_EQ(lastFrameDuration(), 16);
}
