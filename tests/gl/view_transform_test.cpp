// The camera's view transform and projections, read back from a real GL context.
#include "app_state.h"
#include "camera.h"
#include "gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

// Eye coordinates of a world point under the current modelview matrix
void toEye(const float world[3], float eye[3])
{
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int r = 0; r < 3; r++) eye[r] = m[r] * world[0] + m[4 + r] * world[1] + m[8 + r] * world[2] + m[12 + r];
}

class ViewTransform : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(openGlContext()); }
    void SetUp() override
    {
        resetAppState();
        Camera camera = {};
        setCamera(camera);
    }
};

}  // namespace

TEST_F(ViewTransform, YawZeroLooksDownNegativeZ)
{
    Camera camera = {};
    camera.y = 30.0f;
    setCamera(camera);
    applyView();
    const float ahead[3] = {0.0f, 30.0f, -10.0f};
    float eye[3];
    toEye(ahead, eye);
    EXPECT_NEAR(eye[0], 0.0f, 1e-4);
    EXPECT_NEAR(eye[1], 0.0f, 1e-4);
    EXPECT_NEAR(eye[2], -10.0f, 1e-4);
}

TEST_F(ViewTransform, YawNinetyHasTurnedLeft)
{
    Camera camera = {};
    camera.x = 10.0f;
    camera.y = 30.0f;
    camera.yaw = 90.0f;
    setCamera(camera);
    applyView();
    // The point 10 units toward -X is straight ahead
    const float ahead[3] = {0.0f, 30.0f, 0.0f};
    float eye[3];
    toEye(ahead, eye);
    EXPECT_NEAR(eye[0], 0.0f, 1e-4);
    EXPECT_NEAR(eye[2], -10.0f, 1e-4);
    // Moving forward one step from rest goes the same way
    setMoveForward(1);
    updateCamera();
    setMoveForward(0);
    EXPECT_NEAR(getCamera()->x, 10.0f - 0.25f, 1e-5);
    EXPECT_NEAR(getCamera()->z, 0.0f, 1e-5);
}

TEST_F(ViewTransform, PitchUpLooksUp)
{
    Camera camera = {};
    camera.pitch = 90.0f;
    setCamera(camera);
    applyView();
    const float above[3] = {0.0f, 5.0f, 0.0f};
    float eye[3];
    toEye(above, eye);
    EXPECT_NEAR(eye[2], -5.0f, 1e-4);
}

TEST_F(ViewTransform, ZoomUsesTheFixedAspect)
{
    setFieldOfView(45.0f);
    zoom(+1);
    EXPECT_FLOAT_EQ(getFieldOfView(), 46.0f);
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    // gluPerspective: p[0] = f / aspect, p[5] = f with f = cot(fovy / 2)
    EXPECT_NEAR(p[5] / p[0], 4.0 / 3.0, 1e-5);
    reshape(800, 400);
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[5] / p[0], 2.0, 1e-5);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 400);
}
