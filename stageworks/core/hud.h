/**********************************************************************************************
*
*   hud - the statistics lines drawn over the view (key L)
*
*   DEPENDENCIES: base (state, camera, font, frame pacing), scene (object count), render
*
**********************************************************************************************/
#pragma once

// Draws the HUD lines when hudVisible is 1 (the caller has begun text)
void drawHud();
