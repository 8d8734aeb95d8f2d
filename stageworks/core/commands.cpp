/**********************************************************************************************
*
*   commands - the glue between input, picking and the editor's menus, file and play mode
*
**********************************************************************************************/
#include "commands.h"

void saveSceneCommand() {}
void loadSceneCommand() {}
void openEdgeMenu(int) {}
void panelClick() {}
void chooserClick(int, int, int) {}
void typeCharacter(int) {}
void stopPlayCommand() {}
void activateObjectCommand(int) {}
void openAppearanceMenu() {}
void openEventEditor(int) {}
void drawEditorScreen(int) {}
void stepPlayCommand() {}
