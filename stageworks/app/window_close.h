/**********************************************************************************************
*
*   window_close - the window manager's close button, taken before GLUT acts on it
*
*   GLUT destroys the window (and freeglut ends the process) as soon as the window manager asks
*   it to close. So that the close button can be guarded like Escape, the request
*   (WM_PROTOCOLS / WM_DELETE_WINDOW) is taken out of the X event stream as Xlib converts it
*   (XESetWireToEvent on ClientMessage): it never reaches GLUT, the next frame is asked for,
*   and the display hands it to the leave guard. Every other event passes unchanged.
*
*   Should a window be destroyed all the same (another X client, a failed install of the
*   filter), the close callback runs the hook that keeps the recovery copy before GLUT ends the
*   process.
*
*   DEPENDENCIES: Xlib, GLX (the display of the current context), GLUT
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Once the window exists: takes the close requests of its display; onDestroyed runs when a
// window is destroyed all the same. False when the display cannot be reached
bool watchWindowClose(void (*onDestroyed)());

// 1 when a close request came since the last call (it is then taken)
int takeCloseRequest();
