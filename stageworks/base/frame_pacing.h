/**********************************************************************************************
*
*   frame_pacing - minimum frame time, frame statistics and the HUD text buffer
*
*   The display callback takes the frame start after the sky and sleeps after the scene until
*   frameMinMs have passed since the previous frame's wait ended (since the frame start for
*   the first frame), then writes the "FPS" line into the shared HUD text buffer.
*   Every 60 frames the statistics window closes: the extremes are reset and the sun moves.
*
*   DEPENDENCIES: app_state, GLUT (elapsed time), POSIX (nanosleep)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr int HUD_TEXT_SIZE = 160;
constexpr int STATISTICS_WINDOW_FRAMES = 60;
constexpr float SUN_STEP_DEGREES = 0.0041666f;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The shared buffer each HUD line is formatted into before it is drawn
char *hudText();

// Counts the frame; every 60 frames resets the extremes and advances the sun
void advanceStatisticsWindow();

// Advances sunAngle by one step, back to 0 past 360
void stepSun();

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
