/**********************************************************************************************
*
*   screen_view - the 1024x768 screen the program works in, placed inside its window
*
*   Everything the program does with pointer positions (menu edges, panel hit regions,
*   picking, mouse-look) is laid out for a 1024x768 screen. In game mode the window is that
*   screen. In an ordinary window of another size the screen is the largest 4:3 rectangle
*   centred in the window: the view is drawn there, undistorted, and pointer positions are
*   mapped between window pixels and screen pixels at the window's edge (the GLUT callbacks
*   and pointer warping).
*
*   DEPENDENCIES: OpenGL (glViewport)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

// The screen's place in the window, in window pixels (top-left origin)
struct ScreenRect {
    int x, y;
    int width, height;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The window has a new size: places the screen in it (4:3, centred)
void setWindowSize(int width, int height);

// Where the screen lies in the window now
ScreenRect screenRect();

// Sets the GL viewport to the screen's rectangle
void applyScreenViewport();

// A window position in screen pixels (positions outside the screen land beyond its edges)
void windowToScreen(int *x, int *y);

// A screen position in window pixels
void screenToWindow(int *x, int *y);
