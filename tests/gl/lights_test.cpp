// The moving lights and the sun, read back from a real GL context.
#include "app_state.h"
#include "camera.h"
#include "frame_pacing.h"
#include "gl_context.h"
#include "lights.h"
#include "redraw.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

int clockMs = 0;
int fakeClock() { return clockMs; }
long long fakeSteadyClock() { return clockMs; }

}  // namespace

TEST(Lights, TheSunAndTheHeadlightFollowTheCameraAndTheSunStepsOnTheClock)
{
    ASSERT_TRUE(openGlContext());
    resetAppState();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();  // light positions in world coordinates
    createLightSet();
    Camera camera = {};
    camera.x = 5.0f, camera.y = 30.0f, camera.z = -7.0f;
    setCamera(camera);
    setSunAngle(90.0f);
    placeMovingLights();
    // {light, expected position}: the sun 1000 units away at its angle, the headlight at the eye
    const float expected[2][4] = {{1, 1005, 30, -7}, {0, 5, 30, -7}};
    for (const auto &e : expected) {
        GLfloat v[4];
        glGetLightfv(GL_LIGHT0 + (int)e[0], GL_POSITION, v);
        for (int i = 0; i < 3; i++) EXPECT_NEAR(v[i], e[i + 1], 1e-2) << e[0] << " " << i;
    }
    enableLight(8);  // out of range: ignored
    setLightPosition({1, 2, 3}, 8);
    EXPECT_EQ(getLightSet()->lights[7].position[0], 0.0f);

    // One step every 960 ms of the clock (60 frames of the cap), however many frames are drawn
    setElapsedTimeSource(fakeClock);
    setRedrawHooks({nullptr, nullptr, fakeSteadyClock});
    resetRedrawRequests();
    resetSunClock();
    clockMs = 5000;
    setSunAngle(-35.0f);
    advanceSunClock(0);  // starts the count; out of view the steps ask for no frame
    EXPECT_EQ(nextRedrawIn(), -1);
    advanceSunClock(1);
    EXPECT_EQ(nextRedrawIn(), SUN_STEP_MS);  // in view a frame is asked for at the step
    for (int frame = 0; frame < 120; frame++) advanceStatisticsWindow();
    clockMs = 5000 + SUN_STEP_MS - 1;
    advanceSunClock(1);
    EXPECT_FLOAT_EQ(getSunAngle(), -35.0f);
    EXPECT_EQ(nextRedrawIn(), 1);
    clockMs = 5000 + SUN_STEP_MS;
    advanceSunClock(1);
    EXPECT_NEAR(getSunAngle(), -34.9958334f, 1e-5);
    beginRedrawnFrame();
    EXPECT_EQ(nextRedrawIn(), SUN_STEP_MS);
    clockMs = 5000 + 11 * SUN_STEP_MS + 500;  // no frame for ten steps: all of them are taken
    advanceSunClock(1);
    EXPECT_NEAR(getSunAngle(), -35.0f + 11 * 0.0041666f, 1e-4);
    beginRedrawnFrame();
    EXPECT_EQ(nextRedrawIn(), SUN_STEP_MS - 500);
    setElapsedTimeSource(nullptr);
    setRedrawHooks({nullptr, nullptr, nullptr});
    resetRedrawRequests();

    setSunAngle(359.999f);
    stepSun();
    EXPECT_FLOAT_EQ(getSunAngle(), 0.0f);
}
