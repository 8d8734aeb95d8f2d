/**********************************************************************************************
*
*   picking - OpenGL selection: the scene pick and the panel pick
*
*   A pick is begun in an input callback and ended by the next display call, which draws into
*   the selection pass in between. The scene pick selects the nearest object under the pointer
*   and applies the current operation (clone, lock, delete, appearance, events, scaling
*   preview) or, in play mode, activates the object's events; a locked object keeps the
*   selection unless it is the one clicked. The panel pick leaves the name of the menu button
*   or chooser row under the pointer in pickName.
*
*   What a hit starts above the pick itself (activating an object's events, opening the
*   appearance menu or the event editor, ending an object press) goes through the hooks the
*   application registers, so that the commands and the drags can begin picks without the
*   pick depending on them.
*
*   DEPENDENCIES: base (state, camera), scene (objects), scene_draw (scaling preview),
*                 edit_history (steps of clones, deletes and drags)
*
**********************************************************************************************/
#pragma once

#include <cstdint>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr int SELECTION_BUFFER_SIZE = 512;
constexpr double PICK_REGION = 5.0;
constexpr double PICK_FAR = 2000.0;
constexpr double PLAY_PICK_FAR = 150.0;

// What a scene hit starts in the layers above; a null hook does nothing
struct PickHooks {
    void (*activateObject)(int index);    // play mode: the object's ACTIVATED conditions
    void (*openAppearanceMenu)();         // the Apariencia operation on an object
    void (*openEventEditor)(int index);   // the events mode on an object
    void (*endObjectPress)();             // a press released before the frame that ends its pick
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Registers the hooks (the application does at start-up)
void setPickHooks(const PickHooks &hooks);

// Starts a selection pass for a pick at (x, y) (window coordinates, y down), far plane 2000
void beginPick(int x, int y);

// The same with a far plane of 150 (play mode: only near objects can be hit)
void beginPlayPick(int x, int y);

// 1 while a selection pass is running
int pickActive();

// Ends a scene pick: selects the hit object and applies the current operation
void endScenePick();

// Records whether the left button is down (the mouse callback tells every change)
void noteLeftButton(int down);

// Ends a panel pick: pickName = the name under the pointer, 0 for none
void endPanelPick();

// The last name of the hit record with the smallest minimum depth (the earlier record on
// equal depths), 0 without hits; reads only complete records inside the first size entries
int nearestHitName(const uint32_t *buffer, int size, int hits);

// Position of the click that started the last scene pick
int getScenePickX();
int getScenePickY();

// Position of the last pointer motion inside an open panel
void setPanelPickPosition(int x, int y);
int getPanelPickX();
int getPanelPickY();
