/**********************************************************************************************
*
*   camera - the first-person viewer of stageworks
*
*   The camera record with its movement flags and pointer-capture state, the per-frame
*   update (acceleration, gliding stop, walking height), turning, the view transform,
*   mouse-look with the pointer held at the window centre, and the projection.
*
*   The motion (camera.cpp) needs no GL: the view transform, the projection and the GLUT
*   window operations are camera_view.cpp, which a build without GL (the browser's event
*   engine) replaces with its own.
*
*   DEPENDENCIES: app_state (fly mode, mouse inversion, field of view, play mode),
*                 steady_trig (walking), screen_view (the screen in the window),
*                 OpenGL/GLU (matrices), GLUT (pointer warping, cursor)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// NOTE: the first six fields have the shape of an object's pose record
struct Camera {
    float x, y, z;
    float yaw, pitch, roll;
    float strafeSpeed;
    float forwardSpeed;
};

constexpr float CAMERA_WALK_HEIGHT = 30.0f;
constexpr float CAMERA_ACCELERATION = 0.5f;
constexpr float CAMERA_MAX_SPEED = 5.5f;
constexpr float CAMERA_DECELERATION = 0.3f;
constexpr float CAMERA_STEP_FACTOR = 0.5f;
constexpr float MOUSE_LOOK_SENSITIVITY = -0.06f;
constexpr double CAMERA_NEAR = 0.1;
constexpr double CAMERA_FAR = 2000.0;
constexpr float CAMERA_PI = 3.1415927f;

// Where the viewer stands when the program starts (x, y, z, yaw, pitch, roll)
constexpr Camera CAMERA_START = {-41.51f, 30.0f, 38.74f, 314.22f, -8.82f, 0.0f, 0.0f, 0.0f};

// Aspect ratio used by every projection after start-up (zoom, picking, panel frames)
constexpr float FIXED_ASPECT = 4.0f / 3.0f;

// Cursor shapes the camera and play mode set (GLUT's numbers)
constexpr int CURSOR_LEFT_ARROW = 0x0001;
constexpr int CURSOR_CROSSHAIR = 0x0009;

// Window operations the camera needs (GLUT by default; tests may replace them)
struct WindowOps {
    void (*warp)(int x, int y);
    void (*setCursor)(int cursor);
    int (*windowWidth)();
    int (*windowHeight)();
    void (*redisplay)();
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The one camera of the process
Camera *getCamera();
void setCamera(const Camera &value);

// Movement flags, set while an arrow key is held in look mode
int getMoveLeft();     void setMoveLeft(int value);
int getMoveRight();    void setMoveRight(int value);
int getMoveForward();  void setMoveForward(int value);
int getMoveBack();     void setMoveBack(int value);
void clearMovementFlags();

// Pointer capture state
int getPointerCaptured();  void setPointerCaptured(int value);
int getLookCentreX();      int getLookCentreY();
void setLookCentre(int x, int y);
int getLastMouseX();       void setLastMouseX(int value);
int getLastMouseY();       void setLastMouseY(int value);

// Per-frame update with view transform (in play mode also re-tests distance conditions)
void updateCamera();

// One displacement of the given distance, direction in degrees relative to the yaw
void moveCamera(float distance, float direction);

// Adds the deltas, then clamps pitch and wraps yaw
void turnCamera(float yawDelta, float pitchDelta, float rollDelta);

// Loads the view transform into the modelview matrix
void applyView();

// Mouse-look step for one pointer motion event
void mouseLook(int x, int y);

void capturePointer(int x, int y);
void releasePointer(int x, int y);

// Sets the pointer's cursor shape (CURSOR_... or another GLUT cursor) through the window operations
void setCursorShape(int cursor);

// F: flying on, or off and back at the walking height
void toggleFlyMode();

// GLUT reshape callback
void reshape(int width, int height);

// Field-of-view change (A gives -1, S gives +1)
void zoom(int delta);

// Called after each camera update while playing (registered by the play module)
void setCameraMovedHook(void (*hook)());

// Replaces the GLUT window calls; null members keep the GLUT ones
void setWindowOps(const WindowOps &ops);

// The platform's window operations: GLUT's in the program (camera_view.cpp)
WindowOps defaultWindowOps();
