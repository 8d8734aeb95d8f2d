/**********************************************************************************************
*
*   camera - the first-person viewer of stageworks
*
**********************************************************************************************/
#include "camera.h"

#include "app_state.h"
#include "steady_trig.h"

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
static WindowOps pointer = {};   // filled from defaultWindowOps() on first use

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The window operations in use
static const WindowOps &windowOps()
{
    if (pointer.warp == nullptr) setWindowOps(WindowOps{});
    return pointer;
}

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
        camera.x -= steadySin(a) * distance * CAMERA_STEP_FACTOR;
        camera.z -= steadyCos(a) * distance * CAMERA_STEP_FACTOR;
        camera.y = CAMERA_WALK_HEIGHT;
        return;
    }
    float k = 1.0f - std::fabs(camera.pitch) / 90.0f;
    camera.x -= steadySin(a) * distance * CAMERA_STEP_FACTOR * k;
    camera.z -= steadyCos(a) * distance * CAMERA_STEP_FACTOR * k;
    if (direction == 0.0f || direction == 180.0f) {
        camera.y += steadySin((camera.pitch + direction) * CAMERA_PI / 180.0f) * distance * CAMERA_STEP_FACTOR;
    }
}

void turnCamera(float yawDelta, float pitchDelta, float rollDelta)
{
    camera.yaw += yawDelta;
    camera.pitch += pitchDelta;
    camera.roll += rollDelta;
    normalizeCamera();
}

void mouseLook(int x, int y)
{
    if (pointerCaptured == 0) return;
    int dx = x - lookCentreX;
    int dy = y - lookCentreY;
    if (dx == 0 && dy == 0) return;
    windowOps().warp(lookCentreX, lookCentreY);
    float invert = (getInvertMouseY() == 1) ? -1.0f : 1.0f;
    turnCamera(dx * MOUSE_LOOK_SENSITIVITY, dy * MOUSE_LOOK_SENSITIVITY * invert, 0.0f);
    applyView();
    windowOps().redisplay();
}

void capturePointer(int x, int y)
{
    if (pointerCaptured == 1) return;
    pointerCaptured = 1;
    if (lookCentreX < 0) {
        lookCentreX = windowOps().windowWidth() / 2;
        lookCentreY = windowOps().windowHeight() / 2;
    }
    lastMouseX = x;
    lastMouseY = y;
    windowOps().setCursor(CURSOR_CROSSHAIR);
    windowOps().warp(lookCentreX, lookCentreY);
}

void releasePointer(int x, int y)
{
    if (pointerCaptured == 0) return;
    pointerCaptured = 0;
    windowOps().setCursor(CURSOR_LEFT_ARROW);
    windowOps().warp(x, y);
}

void setCursorShape(int cursor) { windowOps().setCursor(cursor); }

void toggleFlyMode()
{
    if (getFlyMode() == 0) {
        setFlyMode(1);
    } else {
        setFlyMode(0);
        getCamera()->y = CAMERA_WALK_HEIGHT;
    }
}

void setCameraMovedHook(void (*hook)()) { cameraMovedHook = hook; }

void setWindowOps(const WindowOps &ops)
{
    const WindowOps platform = defaultWindowOps();
    pointer.warp = ops.warp ? ops.warp : platform.warp;
    pointer.setCursor = ops.setCursor ? ops.setCursor : platform.setCursor;
    pointer.windowWidth = ops.windowWidth ? ops.windowWidth : platform.windowWidth;
    pointer.windowHeight = ops.windowHeight ? ops.windowHeight : platform.windowHeight;
    pointer.redisplay = ops.redisplay ? ops.redisplay : platform.redisplay;
}
