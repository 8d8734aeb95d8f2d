/**********************************************************************************************
*
*   picking - OpenGL selection: the scene pick and the panel pick
*
*   A pick is begun in an input callback and ended by the next display call. The scene pick
*   selects objects and applies the current operation; the panel pick leaves the name of the
*   menu button or chooser row under the pointer in pickName.
*
*   DEPENDENCIES: base (state, camera), scene (objects, operations, materials), commands
*
**********************************************************************************************/
#pragma once

// Starts a selection pass for a scene pick at (x, y), far plane 2000
void beginPick(int x, int y);

// The same with a far plane of 150 (play mode: only near objects can be hit)
void beginPlayPick(int x, int y);

// Ends a scene pick: selects the hit object and applies the current operation
void endScenePick();

// Ends a panel pick: pickName = the name under the pointer, 0 for none
void endPanelPick();

// Position of the last pointer motion inside an open panel
void setPanelPickPosition(int x, int y);
int getPanelPickX();
int getPanelPickY();
