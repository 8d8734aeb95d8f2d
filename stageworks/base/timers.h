/**********************************************************************************************
*
*   timers - the 256-slot timer service of stageworks
*
*   startTimer() takes the lowest free slot and registers a GLUT timer whose value is the slot
*   index; the trampoline calls the slot's callback and then frees the slot. A callback that
*   starts another timer gets a different slot, since its own is still busy while it runs.
*
*   DEPENDENCIES: GLUT (glutTimerFunc)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int TIMER_SLOTS = 256;

typedef void (*TimerCallback)(int value);

// How a slot is handed to the windowing system: (delay ms, trampoline, slot index)
typedef void (*TimerScheduler)(unsigned int delayMs, void (*trampoline)(int), int slot);

struct TimerSlot {
    int free;
    int delayMs;
    TimerCallback callback;
    int value;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Marks all 256 slots free with their other fields 0
void freeAllTimers();

// Takes the lowest free slot and registers a timer; 1 on success, 0 with no free slot
int startTimer(int delayMs, TimerCallback callback, int value);

// The GLUT timer function: runs the slot's callback, then frees the slot
void timerTrampoline(int slot);

// Replaces glutTimerFunc (tests drive the trampoline themselves); null restores GLUT
void setTimerScheduler(TimerScheduler scheduler);

// Read-only view of one slot
const TimerSlot &timerSlot(int slot);
