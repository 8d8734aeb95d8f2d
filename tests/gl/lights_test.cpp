// The light set and the sun, read back from a real GL context.
#include "app_state.h"
#include "camera.h"
#include "frame_pacing.h"
#include "gl_context.h"
#include "lights.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class Lights : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(openGlContext()); }
    void SetUp() override
    {
        resetAppState();
        Camera camera = {};
        setCamera(camera);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        createLightSet();
    }
    // Position of a GL light in eye coordinates (identity modelview: world coordinates)
    static void lightPosition(int light, float out[4]) { glGetLightfv(GL_LIGHT0 + light, GL_POSITION, out); }
};

}  // namespace

TEST_F(Lights, StartValuesReachGl)
{
    configureStartLights();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int i = 0; i < 3; i++) EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + i)) << i;
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));

    GLfloat ambient[4];
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_NEAR(ambient[0], 0.1f, 1e-6);

    GLfloat value[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, value);
    EXPECT_NEAR(value[0], 0.2f, 1e-6);
    glGetLightfv(GL_LIGHT1, GL_SPECULAR, value);
    EXPECT_NEAR(value[1], 0.9f, 1e-6);
    lightPosition(2, value);
    EXPECT_NEAR(value[0], -2.84f, 1e-4);
    EXPECT_NEAR(value[1], 66.209f, 1e-4);
    EXPECT_NEAR(value[3], 1.0f, 1e-6);
    // Lights 3 to 7 keep their new values
    glGetLightfv(GL_LIGHT5, GL_DIFFUSE, value);
    EXPECT_NEAR(value[0], 0.9f, 1e-6);
}

TEST_F(Lights, SunFollowsTheCameraAtItsAngle)
{
    setSunAngle(0.0f);
    placeMovingLights();
    GLfloat p[4];
    lightPosition(1, p);
    EXPECT_NEAR(p[0], 0.0f, 1e-3);
    EXPECT_NEAR(p[1], 1000.0f, 1e-3);
    EXPECT_NEAR(p[2], 0.0f, 1e-3);

    Camera camera = {};
    camera.x = 5.0f;
    camera.y = 30.0f;
    camera.z = -7.0f;
    setCamera(camera);
    setSunAngle(90.0f);
    placeMovingLights();
    lightPosition(1, p);
    EXPECT_NEAR(p[0], 1005.0f, 1e-2);
    EXPECT_NEAR(p[1], 30.0f, 1e-2);
    EXPECT_NEAR(p[2], -7.0f, 1e-2);
    lightPosition(0, p);  // the headlight sits at the eye
    EXPECT_NEAR(p[0], 5.0f, 1e-4);
    EXPECT_NEAR(p[2], -7.0f, 1e-4);
}

TEST_F(Lights, SunStepsOnceEverySixtyFrames)
{
    for (int frame = 0; frame < 59; frame++) advanceStatisticsWindow();
    EXPECT_FLOAT_EQ(getSunAngle(), -35.0f);
    advanceStatisticsWindow();
    EXPECT_NEAR(getSunAngle(), -34.9958334f, 1e-5);
    EXPECT_EQ(getFrameCounter(), 0);
    EXPECT_EQ(getFrameTimeMin(), 200);

    setSunAngle(359.999f);
    stepSun();
    EXPECT_FLOAT_EQ(getSunAngle(), 0.0f);
}

TEST_F(Lights, FogIsSquaredExponential)
{
    setUpFog();
    GLint mode;
    glGetIntegerv(GL_FOG_MODE, &mode);
    EXPECT_EQ(mode, GL_EXP2);
    GLfloat density;
    glGetFloatv(GL_FOG_DENSITY, &density);
    EXPECT_NEAR(density, 0.002f, 1e-7);
}

TEST_F(Lights, OutOfRangeLightsAreIgnored)
{
    enableLight(8);
    enableLight(-1);
    setLightPosition({1, 2, 3}, 8);
    EXPECT_EQ(getLightSet()->lights[7].position[0], 0.0f);
}
