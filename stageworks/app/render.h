/**********************************************************************************************
*
*   render - the display callback: one frame of stageworks
*
*   The frame is composed in a fixed order (camera, lights, sky and sun, scene or scene pick,
*   frame pacing, play step, open panel or panel pick, scene under the panel, HUD, swap).
*   Drawing the objects is scene_draw; the sky box and the sun are sky; picks are picking.
*
*   DEPENDENCIES: base (state, camera, lights, font, frame pacing), scene_draw, sky, picking,
*                 hud, commands, edit_history (the feedback line)
*
**********************************************************************************************/
#pragma once

// The GLUT display callback
void display();

// The GLUT idle callback: only requests a redisplay
void idle();
