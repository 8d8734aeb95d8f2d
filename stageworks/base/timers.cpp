/**********************************************************************************************
*
*   timers - the 256-slot timer service of stageworks
*
**********************************************************************************************/
#include "timers.h"

#include <GL/freeglut.h>
#include <array>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::array<TimerSlot, TIMER_SLOTS> slots = [] {
    std::array<TimerSlot, TIMER_SLOTS> table{};
    for (TimerSlot &slot : table) slot.free = 1;
    return table;
}();

static void glutScheduler(unsigned int delayMs, void (*trampoline)(int), int slot)
{
    glutTimerFunc(delayMs, trampoline, slot);
}

static TimerScheduler scheduler = glutScheduler;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void freeAllTimers()
{
    for (TimerSlot &slot : slots) slot = TimerSlot{1, 0, nullptr, 0};
}

int startTimer(int delayMs, TimerCallback callback, int value)
{
    for (int i = 0; i < TIMER_SLOTS; i++) {
        if (slots[i].free != 1) continue;
        slots[i] = TimerSlot{0, delayMs, callback, value};
        scheduler(delayMs < 0 ? 0u : (unsigned int)delayMs, timerTrampoline, i);
        return 1;
    }
    return 0;
}

void timerTrampoline(int slot)
{
    if (slot < 0 || slot >= TIMER_SLOTS) return;
    TimerSlot &entry = slots[slot];
    if (entry.callback != nullptr) entry.callback(entry.value);
    entry = TimerSlot{1, 0, nullptr, 0};
}

void setTimerScheduler(TimerScheduler replacement)
{
    scheduler = (replacement != nullptr) ? replacement : glutScheduler;
}

const TimerSlot &timerSlot(int slot) { return slots[slot]; }
