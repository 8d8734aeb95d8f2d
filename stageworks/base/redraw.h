/**********************************************************************************************
*
*   redraw - drawing on demand: a frame is drawn when something visible has changed
*
*   Outside play stageworks draws nothing while nothing changes. Whatever changes what the
*   screen shows asks for a frame with requestRedraw():
*
*     requestRedraw();        something has changed now (a key or the pointer did something,
*                             the camera glides, a menu swung a step, a notice appeared,
*                             materials were taken over from the file, the selection moved)
*     requestRedraw(ms);      something drawn now will look different by itself in ms
*                             milliseconds (the next frame of an animated texture, a notice
*                             that goes away, the sun's next step, a blinking cursor)
*
*   A delayed request is for things that change with time: whoever draws them asks again each
*   time they are drawn, for their next change. Requests coalesce: any number of immediate
*   requests before the next frame give that one frame, and a delayed request is met by the
*   first frame that begins at or after its moment (an earlier frame does not meet it).
*
*   Play mode, the player and the frame-rate benchmark (--every-frame) draw every frame: the
*   display asks for the next frame in each frame.
*
*   The start-up connects the requests to GLUT (setRedrawHooks); until then they are only
*   recorded, so any module may call requestRedraw() in tests and tools without a window.
*
*   DEPENDENCIES: none (GLUT only through the hooks)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct RedrawHooks {
    void (*post)();                                                           // a frame soon (glutPostRedisplay)
    void (*schedule)(unsigned int delayMs, void (*callback)(int), int value);  // a timer (glutTimerFunc)
    long long (*now)();                                                       // milliseconds of a steady clock
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Asks for a new frame: now (delayMs 0 or less) or once delayMs milliseconds have passed
void requestRedraw(int delayMs = 0);

// Connects the requests to the main loop; null members: posting and timers do nothing, the
// clock is the process's steady clock. A request recorded before is posted now
void setRedrawHooks(const RedrawHooks &hooks);

// The display calls it as a frame begins: the requests due by now are met by this frame
void beginRedrawnFrame();

// 1 while an immediate request waits for a frame
int redrawRequested();

// Milliseconds until the earliest delayed request not met yet (0 when it is due), -1 for none
int nextRedrawIn();

// Forgets every request (tests)
void resetRedrawRequests();
