/**********************************************************************************************
*
*   menus - the five editor menus, the event panel record and the commands of their buttons
*
*   Primitive menu (left edge): creates one of the twelve primitives at the viewer. Operation
*   menu (bottom edge, a radio group): the object operation of object editing. File menu (top
*   edge): play, load, save and exit. Editing-mode menu (right edge, a radio group):
*   navigation, object editing or events. Appearance menu (free, opened by clicking an object
*   with the Appearance operation): change material, solid, averaged normals, wireframe of the
*   selected object. The event panel (free, id 7) is built here with its background; the
*   event editor adds its buttons.
*
*   Commands that belong to higher libraries (play mode, the scene file, the material chooser,
*   closing the event editor) are reached through the hooks the application registers.
*
*   DEPENDENCIES: panels, objects (create_object, toggle_solido, is_solid), app_state,
*                 exit_program
*
**********************************************************************************************/
#pragma once

#include "panels.h"

struct primitiva;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// Commands carried out above the menus library; a null hook does nothing
struct MenuHooks {
    void (*play)();             // the play button
    void (*load)();             // the load button
    void (*save)();             // the save button
    void (*changeMaterial)();   // the change-material button of the appearance menu
    void (*closeEventPanel)();  // a click on empty space while the event panel is open
    void (*leave)();            // the exit button; null: the exit sequence at once
};

//----------------------------------------------------------------------------------
// Public functions: hooks
//----------------------------------------------------------------------------------
void setMenuHooks(const MenuHooks &hooks);
const MenuHooks &menuHooks();

//----------------------------------------------------------------------------------
// Public functions: building
//----------------------------------------------------------------------------------

// Makes the five menu records with every button and loads their bitmaps, in the order
// primitive, operation, editing mode, appearance, file (no display lists yet)
void createMenus();

// createMenus, then the display lists of the five menus (needs the GL context)
void buildMenus();

// Makes the event panel record with its background (createEventPanel) and its lists
void createEventPanel();
void buildEventPanel();

// Drops every menu record (their GL objects live as long as the context)
void freeMenus();

//----------------------------------------------------------------------------------
// Public functions: the panels
//----------------------------------------------------------------------------------
ButtonPanel *primitiveMenu();
ButtonPanel *operationMenu();
ButtonPanel *fileMenu();
ButtonPanel *modeMenu();
ButtonPanel *appearanceMenu();
ButtonPanel *eventPanel();

// The panel shown in an editorState: 1 to 5 the menus, 7 and above the event panel; null
// for 0 and 6
ButtonPanel *panelForState(int editorState);

// The appearance marks of an object: change material cleared; solid, averaged normals and
// wireframe from its flags (all cleared for no object)
void setAppearanceMarks(const primitiva *object);
