// The camera's view transform and projections, read back from a real GL context.
#include "app_state.h"
#include "camera.h"
#include "gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

TEST(ViewTransform, PosesPutTheRightPointStraightAheadAndZoomKeepsTheAspect)
{
    ASSERT_TRUE(openGlContext());
    resetAppState();
    // {camera x, y, yaw, pitch}, a world point and where it lands in eye coordinates
    const float cases[][10] = {{0, 30, 0, 0, 0, 30, -10, 0, 0, -10},   // yaw 0 looks down -Z
                               {10, 30, 90, 0, 0, 30, 0, 0, 0, -10},   // yaw 90 has turned left
                               {0, 0, 0, 90, 0, 5, 0, 0, 0, -5}};      // pitch 90 looks up
    for (const auto &c : cases) {
        Camera camera = {};
        camera.x = c[0], camera.y = c[1], camera.yaw = c[2], camera.pitch = c[3];
        setCamera(camera);
        applyView();
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int r = 0; r < 3; r++)
            EXPECT_NEAR(m[r] * c[4] + m[4 + r] * c[5] + m[8 + r] * c[6] + m[12 + r], c[7 + r], 1e-4) << c[2] << " " << r;
    }
    setFieldOfView(45.0f);
    zoom(+1);
    EXPECT_FLOAT_EQ(getFieldOfView(), 46.0f);
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[5] / p[0], 4.0 / 3.0, 1e-5);  // p[0] = f / aspect, p[5] = f
    reshape(800, 400);
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[5] / p[0], 2.0, 1e-5);
}
