/**********************************************************************************************
*
*   camera_view - what the camera asks of OpenGL and GLUT: the view transform, the projection
*   and the window operations (pointer warping, cursor, a frame asked for)
*
*   Kept apart from the camera's motion (camera.cpp), which a build without GL shares.
*
**********************************************************************************************/
#include "camera.h"

#include "app_state.h"
#include "redraw.h"
#include "screen_view.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

static_assert(CURSOR_LEFT_ARROW == GLUT_CURSOR_LEFT_ARROW && CURSOR_CROSSHAIR == GLUT_CURSOR_CROSSHAIR,
              "the camera's cursor shapes are GLUT's");

//----------------------------------------------------------------------------------
// Private helpers: GLUT's window operations
//----------------------------------------------------------------------------------

// NOTE: the pointer is handled in screen pixels; only GLUT sees window pixels
static void glutWarp(int x, int y)
{
    screenToWindow(&x, &y);
    glutWarpPointer(x, y);
}
static void glutCursor(int cursor) { glutSetCursor(cursor); }
static int glutWidth() { return SCREEN_WIDTH; }
static int glutHeight() { return SCREEN_HEIGHT; }
static void redrawNow() { requestRedraw(); }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
WindowOps defaultWindowOps() { return WindowOps{glutWarp, glutCursor, glutWidth, glutHeight, redrawNow}; }

void applyView()
{
    const Camera *camera = getCamera();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-camera->roll, 0.0f, 0.0f, 1.0f);
    glRotatef(-camera->pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(-camera->yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-camera->x, -camera->y, -camera->z);
}

// The view keeps its 4:3 screen, centred in the window whatever the window's shape
void reshape(int width, int height)
{
    setWindowSize(width, height);
    applyScreenViewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(getFieldOfView(), FIXED_ASPECT, CAMERA_NEAR, CAMERA_FAR);
    glMatrixMode(GL_MODELVIEW);
    requestRedraw();
}

void zoom(int delta)
{
    setFieldOfView(getFieldOfView() + (float)delta);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(getFieldOfView(), FIXED_ASPECT, CAMERA_NEAR, CAMERA_FAR);
    glMatrixMode(GL_MODELVIEW);
    glRenderMode(GL_RENDER);
}
