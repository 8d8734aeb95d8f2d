/**********************************************************************************************
*
*   frame_pacing - minimum frame time, frame statistics and the HUD text buffer
*
**********************************************************************************************/
#include "frame_pacing.h"

#include "app_state.h"
#include "redraw.h"

#include <GL/freeglut.h>
#include <cerrno>  // Required for: errno, EINTR
#include <cstdio>
#include <cstdlib>  // Required for: getenv(), strtol()
#include <ctime>  // Required for: nanosleep()

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static char hudBuffer[HUD_TEXT_SIZE];
static int lastDuration = 0;
static bool haveFrameEnd = false;  // a frame has ended its wait
static int lastFrameEnd = 0;       // elapsed time when it did
static int frameBegin = 0;         // elapsed time when the display began the current frame
static bool frameBegun = false;    // frameBegin was marked for the current frame
static bool sunClockStarted = false;
static int nextSunStep = 0;        // elapsed time of the sun's next step

static int glutElapsed() { return glutGet(GLUT_ELAPSED_TIME); }
static int (*elapsedSource)() = glutElapsed;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// NOTE: a test that compares this program's picture with another one's fixes the clock of
// the texture animations and holds the sun still with SW_TEST_CLOCK=<ms>; unset (always,
// outside such a test) nothing changes. 1 with the fixed time in *ms when it is set.
static int testClock(int *ms)
{
    static int state = -1;   // -1 not read yet, 0 unset, 1 set
    static int fixed = 0;
    if (state < 0) {
        const char *text = getenv("SW_TEST_CLOCK");
        char *end = nullptr;
        long value = text != nullptr ? strtol(text, &end, 10) : -1;
        state = (text != nullptr && end != text && *end == '\0' && value >= 0 && value <= 1000000000L) ? 1 : 0;
        fixed = state == 1 ? (int)value : 0;
    }
    if (ms != nullptr) *ms = fixed;
    return state;
}

// Sleeps the calling thread for ms milliseconds
static void sleepMs(int ms)
{
    struct timespec wait = {ms / 1000, (long)(ms % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
char *hudText() { return hudBuffer; }

void advanceStatisticsWindow()
{
    setFrameCounter(getFrameCounter() + 1);
    if (getFrameCounter() < STATISTICS_WINDOW_FRAMES) return;
    setFrameCounter(0);
    setFrameTimeMax(0);
    setFrameTimeMin(200);
}

void advanceSunClock(int sunShows)
{
    int now = elapsedSource();
    // NOTE: a clock set back (or the first call) starts the count again from now
    if (!sunClockStarted || now < nextSunStep - SUN_STEP_MS) {
        sunClockStarted = true;
        nextSunStep = now + SUN_STEP_MS;
    }
    while (now >= nextSunStep) {
        stepSun();
        nextSunStep += SUN_STEP_MS;
    }
    if (sunShows) requestRedraw(nextSunStep - now);
}

void resetSunClock() { sunClockStarted = false; }

void stepSun()
{
    if (testClock(nullptr) == 1) return;
    float angle = getSunAngle() + SUN_STEP_DEGREES;
    if (angle > 360.0f) angle = 0.0f;
    setSunAngle(angle);
}

void markFrameBegin()
{
    frameBegin = elapsedSource();
    frameBegun = true;
}

void markFrameStart() { setFrameStart(elapsedSource()); }

int waitFrameMinimum()
{
    // NOTE: a frame that follows the previous one at once runs from the end of that frame's
    // wait, so that the buffer swap and the sky, which lie outside the frame start mark, count
    // toward the minimum too: the cap is then a true 62 frames per second. The earlier of the
    // two is taken, so a clock set back (or the first frame) measures from the start mark.
    int anchor = getFrameStart();
    if (frameBegun && frameBegin < anchor) anchor = frameBegin;
    frameBegun = false;
    bool followsOn = haveFrameEnd && anchor - lastFrameEnd < getFrameMinMs();
    if (followsOn && lastFrameEnd < anchor) anchor = lastFrameEnd;
    int elapsed = elapsedSource() - anchor;
    // NOTE: a frame drawn on demand after a pause waits for nothing: the minimum time since the
    // previous frame has passed. Its duration is its own, counted as at least the minimum, so
    // the statistics read as they would at the cap.
    if (!followsOn) {
        if (elapsed < getFrameMinMs()) elapsed = getFrameMinMs();
    } else {
        // NOTE: the thread sleeps rather than spins, so that the GL's own threads (a software
        // renderer rasterizes the flushed frame meanwhile) have the processor
        while (elapsed < getFrameMinMs()) {
            sleepMs(getFrameMinMs() - elapsed);
            elapsed = elapsedSource() - anchor;
        }
    }
    haveFrameEnd = true;
    lastFrameEnd = elapsedSource();
    if (elapsed > 0) snprintf(hudBuffer, sizeof hudBuffer, "FPS: %d frames", 1000 / elapsed);
    lastDuration = elapsed;
    return elapsed;
}

int lastFrameDuration() { return lastDuration; }

void setElapsedTimeSource(int (*source)()) { elapsedSource = source ? source : glutElapsed; }

int elapsedMs()
{
    int fixed = 0;
    return testClock(&fixed) == 1 ? fixed : elapsedSource();
}
