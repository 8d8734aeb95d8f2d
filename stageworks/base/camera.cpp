/**********************************************************************************************
*
*   camera - the first-person viewer of stageworks
*
**********************************************************************************************/
#include "camera.h"

#include "app_state.h"
#include "redraw.h"
#include "screen_view.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <cmath>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static Camera camera = {};
static int moveLeft = 0, moveRight = 0, moveForward = 0, moveBack = 0;
static int pointerCaptured = 0;
static int lookCentreX = -1, lookCentreY = -1;
static int lastMouseX = 0, lastMouseY = 0;
static void (*cameraMovedHook)() = nullptr;

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
static WindowOps pointer = {glutWarp, glutCursor, glutWidth, glutHeight, redrawNow};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Pitch clamped to [-90, 90], yaw wrapped into [0, 360)
static void normalizeCamera()
{
    if (camera.pitch > 90.0f) camera.pitch = 90.0f;
    if (camera.pitch < -90.0f) camera.pitch = -90.0f;
    while (camera.yaw < 0.0f) camera.yaw += 360.0f;
    while (camera.yaw >= 360.0f) camera.yaw -= 360.0f;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
Camera *getCamera() { return &camera; }
void setCamera(const Camera &value) { camera = value; }

int getMoveLeft() { return moveLeft; }
void setMoveLeft(int value) { moveLeft = value; }
int getMoveRight() { return moveRight; }
void setMoveRight(int value) { moveRight = value; }
int getMoveForward() { return moveForward; }
void setMoveForward(int value) { moveForward = value; }
int getMoveBack() { return moveBack; }
void setMoveBack(int value) { moveBack = value; }
void clearMovementFlags() { moveLeft = moveRight = moveForward = moveBack = 0; }

int getPointerCaptured() { return pointerCaptured; }
void setPointerCaptured(int value) { pointerCaptured = value; }
int getLookCentreX() { return lookCentreX; }
int getLookCentreY() { return lookCentreY; }
void setLookCentre(int x, int y) { lookCentreX = x; lookCentreY = y; }
int getLastMouseX() { return lastMouseX; }
void setLastMouseX(int value) { lastMouseX = value; }
int getLastMouseY() { return lastMouseY; }
void setLastMouseY(int value) { lastMouseY = value; }

void updateCamera()
{
    if (moveForward) camera.forwardSpeed = std::fmin(camera.forwardSpeed + CAMERA_ACCELERATION, CAMERA_MAX_SPEED);
    if (moveBack) camera.forwardSpeed = std::fmax(camera.forwardSpeed - CAMERA_ACCELERATION, -CAMERA_MAX_SPEED);
    if (moveLeft) camera.strafeSpeed = std::fmin(camera.strafeSpeed + CAMERA_ACCELERATION, CAMERA_MAX_SPEED);
    if (moveRight) camera.strafeSpeed = std::fmax(camera.strafeSpeed - CAMERA_ACCELERATION, -CAMERA_MAX_SPEED);

    if (camera.forwardSpeed > 0.0f) {
        moveCamera(camera.forwardSpeed, 0.0f);
        camera.forwardSpeed = std::fmax(camera.forwardSpeed - CAMERA_DECELERATION, 0.0f);
    }
    if (camera.forwardSpeed < 0.0f) {
        moveCamera(-camera.forwardSpeed, 180.0f);
        camera.forwardSpeed = std::fmin(camera.forwardSpeed + CAMERA_DECELERATION, 0.0f);
    }
    if (camera.strafeSpeed > 0.0f) {
        moveCamera(camera.strafeSpeed, 90.0f);
        camera.strafeSpeed = std::fmax(camera.strafeSpeed - CAMERA_DECELERATION, 0.0f);
    }
    if (camera.strafeSpeed < 0.0f) {
        moveCamera(-camera.strafeSpeed, 270.0f);
        camera.strafeSpeed = std::fmin(camera.strafeSpeed + CAMERA_DECELERATION, 0.0f);
    }

    applyView();
    if (getPlayMode() == 1 && cameraMovedHook != nullptr) cameraMovedHook();
}

void moveCamera(float distance, float direction)
{
    float a = (camera.yaw + direction) * CAMERA_PI / 180.0f;
    if (getFlyMode() == 0) {
        camera.x -= std::sin(a) * distance * CAMERA_STEP_FACTOR;
        camera.z -= std::cos(a) * distance * CAMERA_STEP_FACTOR;
        camera.y = CAMERA_WALK_HEIGHT;
        return;
    }
    float k = 1.0f - std::fabs(camera.pitch) / 90.0f;
    camera.x -= std::sin(a) * distance * CAMERA_STEP_FACTOR * k;
    camera.z -= std::cos(a) * distance * CAMERA_STEP_FACTOR * k;
    if (direction == 0.0f || direction == 180.0f) {
        camera.y += std::sin((camera.pitch + direction) * CAMERA_PI / 180.0f) * distance * CAMERA_STEP_FACTOR;
    }
}

void turnCamera(float yawDelta, float pitchDelta, float rollDelta)
{
    camera.yaw += yawDelta;
    camera.pitch += pitchDelta;
    camera.roll += rollDelta;
    normalizeCamera();
}

void applyView()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-camera.roll, 0.0f, 0.0f, 1.0f);
    glRotatef(-camera.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(-camera.yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-camera.x, -camera.y, -camera.z);
}

void mouseLook(int x, int y)
{
    if (pointerCaptured == 0) return;
    int dx = x - lookCentreX;
    int dy = y - lookCentreY;
    if (dx == 0 && dy == 0) return;
    pointer.warp(lookCentreX, lookCentreY);
    float invert = (getInvertMouseY() == 1) ? -1.0f : 1.0f;
    turnCamera(dx * MOUSE_LOOK_SENSITIVITY, dy * MOUSE_LOOK_SENSITIVITY * invert, 0.0f);
    applyView();
    pointer.redisplay();
}

void capturePointer(int x, int y)
{
    if (pointerCaptured == 1) return;
    pointerCaptured = 1;
    if (lookCentreX < 0) {
        lookCentreX = pointer.windowWidth() / 2;
        lookCentreY = pointer.windowHeight() / 2;
    }
    lastMouseX = x;
    lastMouseY = y;
    pointer.setCursor(GLUT_CURSOR_CROSSHAIR);
    pointer.warp(lookCentreX, lookCentreY);
}

void releasePointer(int x, int y)
{
    if (pointerCaptured == 0) return;
    pointerCaptured = 0;
    pointer.setCursor(GLUT_CURSOR_LEFT_ARROW);
    pointer.warp(x, y);
}

void setCursorShape(int cursor) { pointer.setCursor(cursor); }

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

void setCameraMovedHook(void (*hook)()) { cameraMovedHook = hook; }

void setWindowOps(const WindowOps &ops)
{
    pointer.warp = ops.warp ? ops.warp : glutWarp;
    pointer.setCursor = ops.setCursor ? ops.setCursor : glutCursor;
    pointer.windowWidth = ops.windowWidth ? ops.windowWidth : glutWidth;
    pointer.windowHeight = ops.windowHeight ? ops.windowHeight : glutHeight;
    pointer.redisplay = ops.redisplay ? ops.redisplay : redrawNow;
}
