/**********************************************************************************************
*
*   commands - the glue between input, picking and the editor's menus, file and play mode
*
**********************************************************************************************/
#include "commands.h"

#include "app_state.h"
#include "bindings.h"
#include "choosers.h"
#include "edit_history.h"
#include "event_editor.h"
#include "material_sync.h"
#include "materials.h"
#include "menus.h"
#include "objects.h"
#include "picking.h"
#include "frame_pacing.h"
#include "play.h"
#include "recovery.h"
#include "recovery_offer.h"
#include "scene_document.h"
#include "scene_file.h"
#include "unsaved.h"
#include "prompts.h"
#include "save_guard.h"
#include "redraw.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "textures.h"
#include "timers.h"

#include <GL/gl.h>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int MATERIAL_CHOOSER_STATE = 6;
static const int LAST_EDITOR_STATE = 22;
static const int SCENE_FILE_CHECK_MS = 500;
static const int SAVE_NOTICE_MS = 6000;     // a save's question stays while it can be answered
static const int FILE_NOTICE_MS = 2500;     // a save, a load, materials taken over

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static int loadsDone = 0;   // the load at start-up says nothing on the screen

//----------------------------------------------------------------------------------
// Scene file
//----------------------------------------------------------------------------------

// Writes escena.xml; a failed save keeps the previous file. Texture and material sections
// another program saved since the file was last read or written are taken over first; what
// else is on disk and not in the editor is either kept beside the file first or asked about
// (save_guard). The player never writes
void saveSceneCommand()
{
    if (playerBindingsActive()) return;
    if (recoveryOfferOpen()) {
        showNotice("Antes de guardar, elija: R carga la copia de recuperacion, N conserva escena.xml", SAVE_NOTICE_MS);
        return;
    }
    const SaveCheck check = checkSceneSave(elapsedMs());
    if (check.verdict == SAVE_ASK_AGAIN || check.verdict == SAVE_REFUSED) {
        showNotice(check.notice, SAVE_NOTICE_MS);
        return;
    }
    std::string copy, notice;
    if (check.verdict == SAVE_KEEP_COPY_FIRST && !keepSceneCopy(check, &copy, &notice)) {
        showNotice(notice, SAVE_NOTICE_MS);
        return;
    }
    std::string document;
    if (!saveScene(&document)) {
        showNotice(saveFailedNotice(lastSaveStatus()), SAVE_NOTICE_MS);
        return;
    }
    rememberSceneWritten(document);
    forgetSaveQuestion();
    markSceneSaved();
    forgetRecoveryCopy();
    if (!copy.empty()) showNotice(savedWithCopyNotice(check, copy), SAVE_NOTICE_MS);
    else showNotice(std::string("Guardado: ") + SCENE_FILE_NAME, FILE_NOTICE_MS);
}

// Timer callback: takes over what another program saved (and says so), keeps the recovery
// copy, then checks again later
static void checkSceneFile(int)
{
    if (getExiting() == 0 && syncSceneMaterials() == 1)
        showNotice("Materiales tomados de " + std::string(SCENE_FILE_NAME) + ": " + std::to_string(materialsTakenOver()) +
                       " cambiados",
                   FILE_NOTICE_MS);
    if (getExiting() == 0) serviceRecovery(elapsedMs());
    startTimer(SCENE_FILE_CHECK_MS, checkSceneFile, 0);
}

void watchSceneFile() { startTimer(SCENE_FILE_CHECK_MS, checkSceneFile, 0); }

// Releases the GL textures, loads escena.xml, loads the bitmaps of the textures now in the
// table and has every object's display list rebuilt (whether or not the load succeeded: the
// lists of objects kept after a failed load may name texture objects that are gone). The
// material chooser is rebuilt from the new material table. An open event editor or material
// chooser is closed: the object it worked on may be gone
// The screens that work on one object close before the scene is replaced
static void closeObjectScreens()
{
    if (getEditorState() >= MATERIAL_CHOOSER_STATE) {
        if (getEditorState() >= EVENT_PANEL_STATE) closeEventEditorSet();
        setTextEntryOpen(0);
        setEditorState(0);
    }
}

// After the tables were replaced: the bitmaps, the material chooser, every display list
static void refreshScene()
{
    load_all_textures();
    buildMaterialChooser(DEFAULT_MATERIAL_NAME);
    for (int i = 0; i < object_count(); i++) set_dirty(object_at(i), 1);
    requestRedraw();
}

void loadSceneCommand()
{
    const bool wasUnsaved = sceneUnsaved() != 0;
    closeObjectScreens();
    delete_all_textures();
    clearEditHistory();
    forgetSaveQuestion();
    // NOTE: stamped before the read: a write in between is then seen by the next check
    const SceneFileStamp before = sceneFileStamp();
    std::string document;
    const int loaded = loadScene(&document);
    rememberSceneRead(before, loaded ? &document : nullptr);
    refreshScene();
    // NOTE: a failed load leaves the scene as it was, saved or not
    if (loaded || !wasUnsaved) markSceneSaved();
    if (loadsDone++ == 0) return;
    if (loaded) showNotice(std::string("Cargado: ") + SCENE_FILE_NAME + " (" + std::to_string(object_count()) + " objetos)", FILE_NOTICE_MS);
    else showNotice(std::string("No cargado: ") + SCENE_FILE_NAME + " (ver el error en la consola); la escena sigue como estaba", SAVE_NOTICE_MS);
}

void replaceSceneWith(const SceneData &scene)
{
    closeObjectScreens();
    delete_all_textures();
    clearEditHistory();
    forgetSaveQuestion();
    buildScene(scene);
    refreshScene();
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

void panelClick()
{
    beginScreenEdit();
    clickPanel(panelForState(getEditorState()), getPickName());
    endScreenEdit();
}

void openAppearanceMenu() { setAppearanceMarks(getSelectedObject()); }

//----------------------------------------------------------------------------------
// Event editor, choosers and prompts
//----------------------------------------------------------------------------------

// An empty click leaves the chooser for emptyState; a picked row runs the option's command and
// then, when chosenState is not negative, goes to chosenState
void chooserClick(int chooserId, int emptyState, int chosenState)
{
    Chooser *chooser = chooserById(chooserId);
    if (chooser == nullptr) return;
    beginScreenEdit();
    const int name = getPickName();
    const int row = name - chooserId * 100 - 1;
    const bool rowPicked = row >= 0 && row < CHOOSER_UP_ARROW - 1 && optionAtRow(*chooser, row) >= 0;
    const int empty = clickChooser(*chooser, name);
    endScreenEdit();
    if (empty == 1) {
        setEditorState(emptyState);
        return;
    }
    if (rowPicked && chosenState >= 0) setEditorState(chosenState);
}

void typeCharacter(int key)
{
    beginScreenEdit();
    typePromptCharacter(key);
    endScreenEdit();
}

// Picking has set editorState 7; without an object (or memory) the editor does not open
void openEventEditor(int index)
{
    // NOTE: a name left by the last screen would light or click a button before the first pick
    setPickName(0);
    if (!openEventEditorOn(index)) setEditorState(0);
}

void closeEventEditor()
{
    closeEventEditorSet();
    setEditorState(0);
}

// The material chooser marks the selected object's material ("(default)" without one)
void openMaterialChooserCommand()
{
    const primitiva *object = getSelectedObject();
    const char *name = object != nullptr ? first_material_name(object) : nullptr;
    buildMaterialChooser(name != nullptr ? name : DEFAULT_MATERIAL_NAME);
    setPickName(0);
    setEditorState(MATERIAL_CHOOSER_STATE);
}

//----------------------------------------------------------------------------------
// Play mode
//----------------------------------------------------------------------------------

void startPlayCommand() { startPlay(); }

void startPlayerCommand()
{
    registerPlayerBindings();
    setEditorState(0);
    startPlay();
}

// NOTE: the Escape binding has already set lookMode and playMode to 0
void stopPlayCommand() { stopPlay(); }

void activateObjectCommand(int index) { activateObject(index); }

void stepPlayCommand() { stepRunningEvents(); }

//----------------------------------------------------------------------------------
// Drawing the open editor screen
//----------------------------------------------------------------------------------

int editorScreenStartsPick(int state) { return pageDrawnBeforePick(state); }

// Menus 1 to 5; the material chooser alone (6); the event page with its chooser or prompt
// (7 to 22). With a chooser over the page the selection pass starts after the page
void drawEditorScreen(int picking)
{
    const int state = getEditorState();
    if (state >= PRIMITIVE_PANEL && state <= APPEARANCE_PANEL) {
        drawPanel(panelForState(state), picking);
        return;
    }
    if (state == MATERIAL_CHOOSER_STATE) {
        glPushMatrix();
        drawChooser(materialChooser());
        glPopMatrix();
        return;
    }
    if (state < EVENT_PANEL_STATE || state > LAST_EDITOR_STATE) return;
    const bool pageFirst = picking != 0 && pageDrawnBeforePick(state);
    drawEventPage(pageFirst ? 0 : picking);
    if (pageFirst) beginPick(getPanelPickX(), getPanelPickY());
    drawEventOverlay(state);
}
