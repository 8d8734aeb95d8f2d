/**********************************************************************************************
*
*   unsaved - whether the running scene differs from escena.xml as last loaded or saved
*
*   The edit history records every edit, so the scene counts as saved while the history stands
*   where it stood at the last load or save (undoing back to it counts as saved). Whatever
*   changes the scene outside the history (a scene taken from a recovery copy, the history
*   forgotten after an edit it could not record) moves the history to a new position, so the
*   scene is unsaved from then until the next save or load.
*
*   Where it shows: in --window mode the title ("escena.xml* - stageworks - DIR" while
*   unsaved, "escena.xml - stageworks - DIR" otherwise), and on the screen a marker in the top
*   right corner while unsaved ("* Sin guardar (F9 guarda)"), drawn with the HUD text whether
*   or not the statistics lines are shown.
*
*   DEPENDENCIES: edit_history (app); command_line (app); font, redraw (base); GLUT
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr const char *UNSAVED_MARKER_TEXT = "* Sin guardar (F9 guarda)";

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Starts following the history (start-up, before the first load)
void watchUnsavedState();

// The scene now equals escena.xml: it was loaded from it or saved to it
void markSceneSaved();

// 1 while the scene differs from escena.xml as last loaded or saved
int sceneUnsaved();

// The same, readable from a signal handler
bool unsavedForSignals();

// The window title for a scene directory: "escena.xml* - stageworks - DIR" while unsaved
std::string sceneWindowTitle(bool unsaved, const std::string &directory);

// Draws the marker while unsaved (the caller has begun text)
void drawUnsavedMarker();
