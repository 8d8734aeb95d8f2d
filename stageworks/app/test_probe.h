/**********************************************************************************************
*
*   test_probe - a test's view into the running program (only with SW_TEST_PROBE=FILE)
*
*   A test that compares this program's picture with another program's has to hold the
*   picture still and know exactly what it shows. When the file FILE.freeze appears, the
*   probe notes the state of the objects that the next frame draws, lets that one frame be
*   drawn (render's frame-done hook tells when) and then draws no frame at all: it stops
*   asking for them and sets a display callback that draws nothing, since things that change
*   with time ask for frames by themselves. It writes FILE (the frame count, the camera,
*   every object's pose and material and every textured material's texture turn, in decimal
*   text that reads back to the same 32-bit floats) and keeps the picture still until
*   FILE.freeze is removed. Without SW_TEST_PROBE in the environment nothing of this runs.
*
*   DEPENDENCIES: camera, objects, materials, render (frame-done hook), redraw, GLUT (timer and display callbacks)
*
**********************************************************************************************/
#pragma once

// Starts the probe when SW_TEST_PROBE is set (after the start-up registered its callbacks)
void startTestProbe();
