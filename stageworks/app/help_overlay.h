/**********************************************************************************************
*
*   help_overlay - F1: the keys and mouse actions of the current mode, over the view
*
*   F1 shows a dark panel listing what the keys and the mouse do in the current mode (editing,
*   the event editor, play mode, the visitors' player); F1 again or Escape hides it. The lines
*   are Spanish and plain ASCII, as every text the texture font draws. Nothing else changes
*   while it is shown: keys and the mouse go on working beneath it.
*
*   DEPENDENCIES: app_state, font, redraw (base); bindings (the player) (app); OpenGL
*
**********************************************************************************************/
#pragma once

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
enum HelpMode { HELP_EDIT = 0, HELP_EVENTS, HELP_PLAY, HELP_PLAYER };

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Shows or hides the overlay
void toggleHelp();

// Hides it; 1 when it was shown
int hideHelp();

// 1 while it is shown
int helpShown();

// The mode the program is in now
HelpMode currentHelpMode();

// The lines shown for a mode, the title first
std::vector<std::string> helpLines(HelpMode mode);

// Draws the overlay while it is shown (the caller has begun text)
void drawHelp();

// A dark, half-transparent panel behind text, in the HUD's plane (eye coordinates)
void drawTextBacking(float left, float top, float right, float bottom);
