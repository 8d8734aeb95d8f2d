/**********************************************************************************************
*
*   render - the display callback: one frame of stageworks
*
*   DEPENDENCIES: base (state, camera, frame pacing), scene
*
**********************************************************************************************/
#pragma once

// The GLUT display callback
void display();

// The GLUT idle callback: only requests a redisplay
void idle();
