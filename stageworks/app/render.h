/**********************************************************************************************
*
*   render - the display callback: one frame of stageworks
*
*   The frame is composed in a fixed order (camera, lights, scene pick, sky and sun, scene,
*   frame pacing, play step, open panel or panel pick, scene under the panel, HUD, swap).
*   Drawing the objects is scene_draw; the sky box and the sun are sky; picks are picking.
*   Outside play a frame is drawn only when something asked for one (redraw).
*
*   DEPENDENCIES: base (state, camera, lights, font, frame pacing, redraw), scene_draw, sky,
*                 picking, hud, commands, command_line, edit_history (the feedback line)
*
**********************************************************************************************/
#pragma once

// The GLUT display callback
void display();

// Registers a hook called after each frame's swap; while it returns false, a frame does not
// ask for the next one (a test's probe holds the picture still). Null removes it
void setFrameDoneHook(bool (*hook)());
