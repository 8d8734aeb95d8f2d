/**********************************************************************************************
*
*   commands - the glue between input, picking and the editor's menus, file and play mode
*
*   The input bindings and the picking code call these commands; each one hands the request
*   to the subsystem that carries it out (menus, choosers and prompts, the scene file, play
*   mode). Commands whose subsystem is not there yet do nothing.
*
*   DEPENDENCIES: every library of stageworks (the application layer is the top of the graph)
*
**********************************************************************************************/
#pragma once

// F9 and the save button: writes escena.xml, after taking over the texture and material
// sections another program saved since stageworks last read or wrote the file. A file that
// failed to load is kept beside it first; a file whose flags or objects changed on disk (or
// that cannot be read) is written only by a second F9 within a few seconds, which keeps it
// beside it first; a read-only file is not written. Each case says so at the bottom left
void saveSceneCommand();

// Start-up: checks escena.xml twice a second and takes over the textures and materials
// another program saved into it
void watchSceneFile();

// F5, the load button and start-up: releases textures, reads escena.xml, loads the textures;
// the scene then counts as saved (a failed load changes nothing). Says so on the notice line,
// except at start-up
void loadSceneCommand();

// Puts a scene read from another file (a recovery copy) in place of the running one, as a
// load does, without touching what is known of escena.xml: the scene is then unsaved
struct SceneData;
void replaceSceneWith(const SceneData &scene);

// Opens an edge menu (editorState 1 to 4) and swings it in
void openEdgeMenu(int state);

// A left click on the panel of the current editorState, with the current pickName
void panelClick();

// A left click on a chooser: its id, the state an empty click returns to, and the state a
// chosen row leads to (negative: the chooser's command decides)
void chooserClick(int chooserId, int emptyState, int chosenState);

// A typed character for the open prompt
void typeCharacter(int key);

// The play button of the file menu: saves the scene's state and starts play mode
void startPlayCommand();

// The visitors' player: only the player's input tables, and play mode from the start
void startPlayerCommand();

// Escape while playing: leaves play mode and restores the scene
void stopPlayCommand();

// A play-mode click hit the object in slot index
void activateObjectCommand(int index);

// A pick with the Appearance operation: opens the appearance menu for the selected object
void openAppearanceMenu();

// A pick in Events mode: opens the event editor on the object in slot index
void openEventEditor(int index);

// A click on empty space in the event panel: drops an empty event set and closes the panel
void closeEventEditor();

// The change-material button of the appearance menu: the material chooser for the selected object
void openMaterialChooserCommand();

// 1 when the editor screen of a state starts a panel selection pass itself (after drawing
// the page, so that only the chooser over it can be hit)
int editorScreenStartsPick(int state);

// Draws the menu, chooser or prompt of the current editorState (for a selection pass when
// picking is 1)
void drawEditorScreen(int picking);

// One step of the running events (play mode, once per frame)
void stepPlayCommand();
