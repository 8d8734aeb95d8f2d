/**********************************************************************************************
*
*   gl_context - a real OpenGL context for integration tests that call the libraries directly
*
*   Starts a private X server, initialises GLUT on it and opens a 1024x768 window (game mode
*   when asked). One context per test process.
*
**********************************************************************************************/
#pragma once

#include "xdriver.h"

// Starts the server and makes the GL context current; false when that cannot be done
bool openGlContext(bool gameMode = false);

// The server of the context (for screenshots and input)
xdriver::XServer &glServer();

// Processes pending GLUT events once
void pumpGlut();
