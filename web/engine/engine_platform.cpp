/**********************************************************************************************
*
*   engine_platform - the engine's stand-ins for what the program asks of GL and GLUT
*
*   The program's camera_view.cpp and object_lists.cpp talk to OpenGL and GLUT; the browser's
*   engine has neither, and the page draws from the state it reads. The view transform and the
*   display lists are the page's business; the pointer stays where the page keeps it (the
*   browser's pointer lock), and the screen is the program's 1024x768 one.
*
*   DEPENDENCIES: camera (WindowOps), objects, screen_view (the screen's size)
*
**********************************************************************************************/
#include "camera.h"
#include "objects.h"
#include "screen_view.h"

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
static void noWarp(int, int) {}
static void noCursor(int) {}
static int screenWidth() { return SCREEN_WIDTH; }
static int screenHeight() { return SCREEN_HEIGHT; }
static void noRedisplay() {}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
WindowOps defaultWindowOps() { return WindowOps{noWarp, noCursor, screenWidth, screenHeight, noRedisplay}; }

void applyView() {}

void delete_display_lists(unsigned int) {}
