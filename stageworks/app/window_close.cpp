/**********************************************************************************************
*
*   window_close - the window manager's close button, taken before GLUT acts on it
*
**********************************************************************************************/
#include "window_close.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>  // Required for: xEvent

#include <atomic>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static Bool (*convertEvent)(Display *, XEvent *, xEvent *) = nullptr;
static Atom protocolsAtom = None;
static Atom deleteAtom = None;
static std::atomic<int> closeRequests{0};
static void (*destroyedHook)() = nullptr;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Xlib's conversion of a ClientMessage: a close request is kept out of the queue
static Bool filterClientMessage(Display *display, XEvent *event, xEvent *wire)
{
    const Bool keep = convertEvent(display, event, wire);
    if (!keep || event->type != ClientMessage) return keep;
    const XClientMessageEvent &message = event->xclient;
    if (message.message_type != protocolsAtom || message.format != 32 || (Atom)message.data.l[0] != deleteAtom)
        return keep;
    closeRequests++;
    // NOTE: only marks the window for a frame; nothing here talks to the X server
    if (glutGetWindow() != 0) glutPostRedisplay();
    return False;
}

// GLUT's close callback: the window is going whatever is done
static void windowDestroyed()
{
    if (destroyedHook != nullptr) destroyedHook();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool watchWindowClose(void (*onDestroyed)())
{
    destroyedHook = onDestroyed;
    glutCloseFunc(windowDestroyed);
    Display *display = glXGetCurrentDisplay();
    if (display == nullptr) return false;
    protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
    deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (convertEvent == nullptr) {
        XLockDisplay(display);
        convertEvent = XESetWireToEvent(display, ClientMessage, filterClientMessage);
        XUnlockDisplay(display);
        if (convertEvent == nullptr) return false;
    }
    return true;
}

int takeCloseRequest()
{
    if (closeRequests.load() == 0) return 0;
    closeRequests = 0;
    return 1;
}
