/**********************************************************************************************
*
*   frame_pacing - minimum frame time, frame statistics and the HUD text buffer
*
*   The display callback takes the frame start after the sky and sleeps after the scene until
*   frameMinMs have passed since the previous frame's wait ended (since the frame start for
*   the first frame), then writes the "FPS" line into the shared HUD text buffer. A frame
*   drawn on demand after a pause does not wait: the minimum time has passed already.
*   Every 60 frames the statistics window closes and the extremes are reset.
*
*   The sun moves on the clock (elapsedMs, the one the texture animations use too): one step
*   every 60 frames of the cap (960 ms), whether frames are drawn meanwhile or not. A step asks
*   for a frame only while the sun is in view: elsewhere the light it turns by a step changes
*   the picture by far less than a colour level.
*
*   DEPENDENCIES: app_state, redraw (the sun's next step), GLUT (elapsed time), POSIX (nanosleep)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr int HUD_TEXT_SIZE = 160;
constexpr int STATISTICS_WINDOW_FRAMES = 60;
constexpr float SUN_STEP_DEGREES = 0.0041666f;
constexpr int SUN_STEP_MS = STATISTICS_WINDOW_FRAMES * 16;  // 60 frames of the 16 ms minimum

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The shared buffer each HUD line is formatted into before it is drawn
char *hudText();

// Counts the frame; every 60 frames resets the extremes
void advanceStatisticsWindow();

// Takes the sun's steps due on the clock since the last call (the first call starts the
// count) and, when the sun shows (sunShows 1), asks for a frame at the next one
void advanceSunClock(int sunShows);

// The next advanceSunClock starts the count again (tests)
void resetSunClock();

// Advances sunAngle by one step, back to 0 past 360
void stepSun();

// The display began a frame now (a frame drawn after a pause is measured from here)
void markFrameBegin();

// frameStart = elapsed time now
void markFrameStart();

// Sleeps until frameMinMs have passed since the previous frame's wait ended (or frameStart,
// when that is earlier), formats the FPS line into the HUD buffer and returns the frame's
// duration in ms
int waitFrameMinimum();

// Duration of the last completed frame in ms (the HUD statistics use it)
int lastFrameDuration();

// Replaces the elapsed-time source (GLUT by default; null restores it)
void setElapsedTimeSource(int (*source)());

// Elapsed time in ms from the current source (the texture animations' clock); with
// SW_TEST_CLOCK=<ms> in the environment (picture tests only) always that time, and the sun
// does not move
int elapsedMs();
