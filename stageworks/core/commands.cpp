/**********************************************************************************************
*
*   commands - the glue between input, picking and the editor's menus, file and play mode
*
**********************************************************************************************/
#include "commands.h"

#include "app_state.h"
#include "menus.h"
#include "objects.h"
#include "play.h"
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
