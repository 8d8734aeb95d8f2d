/**********************************************************************************************
*
*   frame_pacing - minimum frame time, frame statistics and the HUD text buffer
*
**********************************************************************************************/
#include "frame_pacing.h"

#include "app_state.h"

#include <GL/freeglut.h>
#include <cstdio>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static char hudBuffer[HUD_TEXT_SIZE];
static int lastDuration = 0;

static int glutElapsed() { return glutGet(GLUT_ELAPSED_TIME); }
static int (*elapsedSource)() = glutElapsed;

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
    stepSun();
}

void stepSun()
{
    float angle = getSunAngle() + SUN_STEP_DEGREES;
    if (angle > 360.0f) angle = 0.0f;
    setSunAngle(angle);
}

void markFrameStart() { setFrameStart(elapsedSource()); }

int waitFrameMinimum()
{
    int elapsed = elapsedSource() - getFrameStart();
    while (elapsed < getFrameMinMs()) elapsed = elapsedSource() - getFrameStart();
    if (elapsed > 0) snprintf(hudBuffer, sizeof hudBuffer, "FPS: %d frames", 1000 / elapsed);
    lastDuration = elapsed;
    return elapsed;
}

int lastFrameDuration() { return lastDuration; }

void setElapsedTimeSource(int (*source)()) { elapsedSource = source ? source : glutElapsed; }

int elapsedMs() { return elapsedSource(); }
