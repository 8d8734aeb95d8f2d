/**********************************************************************************************
*
*   render - the display callback: one frame of stageworks
*
*   DEPENDENCIES: base (state, camera, lights, font, frame pacing), scene, picking, hud,
*                 commands
*
**********************************************************************************************/
#pragma once

// The GLUT display callback
void display();

// The GLUT idle callback: only requests a redisplay
void idle();

// Faces drawn face by face in this frame (the HUD shows it)
int getPolygonCount();
