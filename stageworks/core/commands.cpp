/**********************************************************************************************
*
*   commands - the glue between input, picking and the editor's menus, file and play mode
*
**********************************************************************************************/
#include "commands.h"

#include "play.h"

//----------------------------------------------------------------------------------
// Scene file
//----------------------------------------------------------------------------------

void saveSceneCommand() {}

void loadSceneCommand() {}

//----------------------------------------------------------------------------------
// Menus
//----------------------------------------------------------------------------------

void openEdgeMenu(int) {}

void panelClick() {}

void openAppearanceMenu() {}

//----------------------------------------------------------------------------------
// Event editor, choosers and prompts
//----------------------------------------------------------------------------------

void chooserClick(int, int, int) {}

void typeCharacter(int) {}

void openEventEditor(int) {}

void closeEventEditor() {}

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

void drawEditorScreen(int) {}
