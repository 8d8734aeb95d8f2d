// The light set, the sun and the fog, read back from a real GL context.
#include "app_state.h"
#include "camera.h"
#include "frame_pacing.h"
#include "gl_context.h"
#include "lights.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

void expectLight(int light, GLenum what, float x, float y, float z)
{
    GLfloat v[4];
    glGetLightfv(GL_LIGHT0 + light, what, v);
    EXPECT_NEAR(v[0], x, 1e-2) << light << " " << what;
    EXPECT_NEAR(v[1], y, 1e-2) << light << " " << what;
    EXPECT_NEAR(v[2], z, 1e-2) << light << " " << what;
}

}  // namespace

TEST(Lights, StartValuesTheSunFollowingTheCameraEverySixtyFramesAndTheFog)
{
    ASSERT_TRUE(openGlContext());
    resetAppState();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();  // light positions in world coordinates
    createLightSet();
    configureStartLights();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int i = 0; i < 4; i++) EXPECT_EQ(glIsEnabled(GL_LIGHT0 + i), i < 3) << i;
    expectLight(0, GL_DIFFUSE, 0.2f, 0.2f, 0.2f);
    expectLight(2, GL_POSITION, -2.84f, 66.209f, -0.98f);
    expectLight(5, GL_DIFFUSE, 0.9f, 0.9f, 0.9f);
    enableLight(8);  // out of range: ignored
    setLightPosition({1, 2, 3}, 8);
    EXPECT_EQ(getLightSet()->lights[7].position[0], 0.0f);

    Camera camera = {};
    camera.x = 5.0f, camera.y = 30.0f, camera.z = -7.0f;
    setCamera(camera);
    setSunAngle(90.0f);
    placeMovingLights();
    expectLight(1, GL_POSITION, 1005, 30, -7);
    expectLight(0, GL_POSITION, 5, 30, -7);  // the headlight sits at the eye
    setSunAngle(-35.0f);
    for (int frame = 0; frame < 59; frame++) advanceStatisticsWindow();
    EXPECT_FLOAT_EQ(getSunAngle(), -35.0f);
    advanceStatisticsWindow();
    EXPECT_NEAR(getSunAngle(), -34.9958334f, 1e-5);
    setSunAngle(359.999f);
    stepSun();
    EXPECT_FLOAT_EQ(getSunAngle(), 0.0f);

    setUpFog();
    GLint mode;
    glGetIntegerv(GL_FOG_MODE, &mode);
    EXPECT_EQ(mode, GL_EXP2);
    GLfloat density;
    glGetFloatv(GL_FOG_DENSITY, &density);
    EXPECT_NEAR(density, 0.002f, 1e-7);
}
