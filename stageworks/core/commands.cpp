/**********************************************************************************************
*
*   commands - the glue between input, picking and the editor's menus, file and play mode
*
**********************************************************************************************/
#include "commands.h"

#include "app_state.h"
#include "menus.h"
#include "play.h"

//----------------------------------------------------------------------------------
// Scene file
//----------------------------------------------------------------------------------

void saveSceneCommand() {}

void loadSceneCommand() {}

//----------------------------------------------------------------------------------
// Menus
//----------------------------------------------------------------------------------

void openEdgeMenu(int state)
{
    ButtonPanel *panel = panelForState(state);
    if (panel == nullptr || state < PRIMITIVE_PANEL || state > MODE_PANEL) return;
    setEditorState(state);
    // NOTE: a name left by the last menu would light one of this menu's buttons (or be
    // clicked) before the first pick over it
    setPickName(0);
    swingInPanel(panel);
}

void panelClick() { clickPanel(panelForState(getEditorState()), getPickName()); }

void openAppearanceMenu() { setAppearanceMarks(getSelectedObject()); }

//----------------------------------------------------------------------------------
// Event editor, choosers and prompts
//----------------------------------------------------------------------------------

void chooserClick(int, int, int) {}

void typeCharacter(int) {}

void openEventEditor(int) {}

void closeEventEditor() { setEditorState(0); }

void openMaterialChooserCommand() {}

//----------------------------------------------------------------------------------
// Play mode
//----------------------------------------------------------------------------------

void startPlayCommand() { startPlay(); }

// NOTE: the Escape binding has already set lookMode and playMode to 0
void stopPlayCommand() { stopPlay(); }

void activateObjectCommand(int index) { activateObject(index); }

void stepPlayCommand() { stepRunningEvents(); }

//----------------------------------------------------------------------------------
// Drawing the open editor screen
//----------------------------------------------------------------------------------

void drawEditorScreen(int picking)
{
    int state = getEditorState();
    if (state >= PRIMITIVE_PANEL && state <= APPEARANCE_PANEL) drawPanel(panelForState(state), picking);
    if (state >= EVENT_PANEL) drawPanel(eventPanel(), picking);
}
