/**********************************************************************************************
*
*   hud - the statistics lines drawn over the view (key L)
*
*   Eight white lines at the left of the view, 70 units in front of the eye: frames per
*   second, polygons drawn face by face, number of objects, camera position and angles, the
*   longest and shortest frame of the current statistics window and the frame rates they
*   give, and the selection name of the last scene hit. Each line is formatted into the
*   shared HUD text buffer and drawn from there; the first line is already in the buffer,
*   written by the frame pacing.
*
*   DEPENDENCIES: base (state, camera, font, frame pacing), scene (object count), scene_draw
*                 (polygon count)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int HUD_LINES = 8;
constexpr float HUD_X = -36.0f;
constexpr float HUD_Z = -70.0f;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Height of HUD line index (0 at the top)
float hudLineY(int line);

// Formats HUD line index into the HUD text buffer (line 0, the FPS line, is left as the frame
// pacing wrote it; line 5 first takes this frame's duration into the min/max window)
void formatHudLine(int line);

// Draws the HUD lines when hudVisible is 1 (the caller has begun text)
void drawHud();
