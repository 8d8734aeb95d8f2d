/**********************************************************************************************
*
*   binding_tables - the rows of the four input binding tables and their actions
*
*   Edit keys: walking with the arrows while mouse-looking, F9/F5 save and load, Escape (closes
*   a prompt or chooser, else leaves through the guard of unsaved changes),
*   typed characters for an open prompt, the "0" reset, the End axis lock and the arrow
*   steps of the current object operation. Edit mouse: entering and leaving mouse-look, the
*   edge menus with their panel clicks and pick requests, the choosers, the scene pick and
*   the object drags. Play keys and play mouse: walking, looking, leaving play mode and
*   activating objects with the right button. The visitors' player has only play tables:
*   the same walking and looking, either button activating, Escape ending the program.
*
*   DEPENDENCIES: bindings, drags; app_state, camera (base); picking, commands, edit_history,
*                 leave_guard (app)
*
**********************************************************************************************/
#include "bindings.h"

#include "app_state.h"
#include "camera.h"
#include "commands.h"
#include "drags.h"
#include "edit_history.h"
#include "leave_guard.h"
#include "operations.h"
#include "picking.h"

#include <GL/freeglut.h>
#include <initializer_list>  // Required for: the button list of the player's table

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------

// Chooser ids (their selection names start at id x 100)
static const int MATERIAL_CHOOSER = 6;
static const int FLAG_CHOOSER = 8;
static const int CONDITION_CHOOSER = 10;
static const int CONSEQUENCE_CHOOSER = 11;
static const int CHOOSER_DECIDES = -1;

// Arrow-key step amounts of the object operations
static const float MOVE_KEY_AMOUNT = 0.1f;
static const float ROTATE_KEY_AMOUNT = 10.0f;
static const float SCALE_KEY_AMOUNT = 0.1f;

//----------------------------------------------------------------------------------
// Private helpers: building rows
//----------------------------------------------------------------------------------

// The wanted states of a row (State: negative for any editor state)
static InputBinding want(InputBinding b, int look, int held, int operation, int mode, int text, int state)
{
    b.wantLook = look;
    b.wantHeld = held;
    b.wantOperation = operation;
    b.wantEditingMode = mode;
    b.wantTextEntry = text;
    b.wantEditorState = state;
    return b;
}

//----------------------------------------------------------------------------------
// Private helpers: key actions
//----------------------------------------------------------------------------------

// Movement flags of the arrows
static int leftDown(const InputEvent &) { setMoveLeft(1); return 1; }
static int rightDown(const InputEvent &) { setMoveRight(1); return 1; }
static int leftUp(const InputEvent &) { setMoveLeft(0); return 1; }
static int rightUp(const InputEvent &) { setMoveRight(0); return 1; }
static int forwardDown(const InputEvent &) { setMoveForward(1); return 1; }
static int backDown(const InputEvent &) { setMoveBack(1); return 1; }
static int forwardUp(const InputEvent &) { setMoveForward(0); return 1; }
static int backUp(const InputEvent &) { setMoveBack(0); return 1; }

// F9 and F5
static int saveKey(const InputEvent &) { saveSceneCommand(); return 1; }
static int loadKey(const InputEvent &) { requestReload(RELOAD_KEY); return 1; }

// Escape in edit mode: closes what is open, else asks to leave (leave_guard)
static int exitKey(const InputEvent &) { escapeCommand(); return 1; }

// Any key while a prompt is open
static int typeKey(const InputEvent &event) { typeCharacter(event.code); return 1; }

// "0": reset for the current operation
static int resetKey(const InputEvent &event)
{
    beginObjectEdit(event.selectedObject);
    resetForOperation(event.selectedObject, event.camera);
    endEdit("restablecer objeto");
    return 1;
}

// End pressed and released
static int endDown(const InputEvent &) { pressAxisLock(); return 1; }
static int endUp(const InputEvent &) { releaseAxisLock(); return 1; }

// One arrow step of the operation in the direction; scaling steps rebuild the geometry
template <int OPERATION, int DIRECTION>
static int arrowStep(const InputEvent &event)
{
    if (event.selectedObject == nullptr) return 0;
    float amount = OPERATION == Move ? MOVE_KEY_AMOUNT : OPERATION == Rotate ? ROTATE_KEY_AMOUNT : SCALE_KEY_AMOUNT;
    beginObjectEdit(event.selectedObject);
    applyObjectOperation(OPERATION, event.selectedObject, event.camera, amount, (float)DIRECTION);
    if (OPERATION == ScaleUniform || OPERATION == ScaleAxis) finishObjectScaling(event.selectedObject);
    endNudge(OPERATION);
    return 1;
}

// Escape while playing (the arrows stop walking, as when a click leaves mouse-look)
static int stopPlayKey(const InputEvent &)
{
    setLookMode(0);
    setPlayMode(0);
    clearMovementFlags();
    stopPlayCommand();
    return 1;
}

//----------------------------------------------------------------------------------
// Private helpers: mouse actions
//----------------------------------------------------------------------------------

// Left click in the 3D view: mouse-look on and off, and looking around
static int lookOn(const InputEvent &event)
{
    setLookMode(1);
    capturePointer(event.x, event.y);
    return 1;
}

// NOTE: an arrow released after this would no longer clear its flag (the walking rows want
// mouse-look), so the camera stops walking here
static int lookOff(const InputEvent &event)
{
    setLookMode(0);
    releasePointer(event.x, event.y);
    clearMovementFlags();
    return 1;
}

static int look(const InputEvent &event) { mouseLook(event.x, event.y); return 1; }

// The pointer reached a screen edge
static int openPrimitiveMenu(const InputEvent &) { openEdgeMenu(1); return 1; }
static int openFileMenu(const InputEvent &) { openEdgeMenu(3); return 1; }
static int openModeMenu(const InputEvent &) { openEdgeMenu(4); return 1; }

// The operation menu belongs to object editing
static int openOperationMenu(const InputEvent &)
{
    if (getEditingMode() == ObjectEditing) openEdgeMenu(2);
    return 1;
}

// The pointer left an open menu
static int closeMenu(const InputEvent &) { setEditorState(0); return 1; }

// A left click on the open panel
static int clickOnPanel(const InputEvent &) { panelClick(); return 1; }

// Motion over an open panel or chooser: the next frame finds the name under the pointer
static int pickRequest(const InputEvent &event)
{
    setPickPending(1);
    setPanelPickPosition(event.x, event.y);
    return 1;
}

// Chooser clicks: chooser id, the state an empty click returns to, the state a row leads to
static int materialFromAppearance(const InputEvent &) { chooserClick(MATERIAL_CHOOSER, 5, CHOOSER_DECIDES); return 1; }
static int materialFromEvents(const InputEvent &) { chooserClick(MATERIAL_CHOOSER, 7, CHOOSER_DECIDES); return 1; }
static int flagForCondition(const InputEvent &) { chooserClick(FLAG_CHOOSER, 7, 7); return 1; }
static int flagForConsequence(const InputEvent &) { chooserClick(FLAG_CHOOSER, 7, CHOOSER_DECIDES); return 1; }
static int conditionKind(const InputEvent &) { chooserClick(CONDITION_CHOOSER, 7, CHOOSER_DECIDES); return 1; }
static int consequenceKind(const InputEvent &) { chooserClick(CONSEQUENCE_CHOOSER, 7, CHOOSER_DECIDES); return 1; }

// Left click in the 3D view outside navigation: the next frame picks the object under it
static int scenePick(const InputEvent &event)
{
    setPickPending(1);
    beginPick(event.x, event.y);
    bindingOps().setCursor(GLUT_CURSOR_INFO);
    setLastMouseX(event.x);
    setLastMouseY(event.y);
    return 1;
}

// Left button up over a held object
static int releaseObject(const InputEvent &) { endObjectPress(); return 1; }

// Drag steps of the held object
template <int OPERATION>
static int drag(const InputEvent &event)
{
    dragObject(OPERATION, event.x, event.y);
    return 1;
}

// Right click while playing: the next frame activates a near object under the pointer
static int playPick(const InputEvent &event)
{
    setPickPending(1);
    beginPlayPick(event.x, event.y);
    return 1;
}

static int playRelease(const InputEvent &) { setObjectHeld(0); return 1; }

// Escape in the visitors' player: the program ends (status 0)
static int playerExitKey(const InputEvent &) { bindingOps().exitProgram(); return 1; }

//----------------------------------------------------------------------------------
// Private helpers: the tables
//----------------------------------------------------------------------------------

// Arrows moving the camera while mouse-looking (edit and play keys, rows 1 to 8)
static void registerWalkingKeys(int table)
{
    registerBinding(table, leftDown, want(keyBinding(KEY_LEFT, PRESS), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(table, rightDown, want(keyBinding(KEY_RIGHT, PRESS), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(table, leftUp, want(keyBinding(KEY_LEFT, RELEASE), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(table, rightUp, want(keyBinding(KEY_RIGHT, RELEASE), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(table, forwardDown, want(keyBinding(KEY_UP, PRESS), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(table, backDown, want(keyBinding(KEY_DOWN, PRESS), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(table, forwardUp, want(keyBinding(KEY_UP, RELEASE), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(table, backUp, want(keyBinding(KEY_DOWN, RELEASE), 1, 0, ANY, ANY, 0, ANY));
}

// The four arrows stepping the selected object with one operation (left, right, up, down)
template <int OPERATION>
static void registerObjectArrows()
{
    registerBinding(EditKeys, arrowStep<OPERATION, 90>, want(keyBinding(KEY_LEFT, PRESS), 0, 0, OPERATION, ObjectEditing, 0, ANY));
    registerBinding(EditKeys, arrowStep<OPERATION, 270>, want(keyBinding(KEY_RIGHT, PRESS), 0, 0, OPERATION, ObjectEditing, 0, ANY));
    registerBinding(EditKeys, arrowStep<OPERATION, 0>, want(keyBinding(KEY_UP, PRESS), 0, 0, OPERATION, ObjectEditing, 0, ANY));
    registerBinding(EditKeys, arrowStep<OPERATION, 180>, want(keyBinding(KEY_DOWN, PRESS), 0, 0, OPERATION, ObjectEditing, 0, ANY));
}

static void registerEditKeys()
{
    registerWalkingKeys(EditKeys);
    registerBinding(EditKeys, saveKey, want(keyBinding(KEY_F9, PRESS), 0, 0, ANY, ANY, 0, ANY));
    registerBinding(EditKeys, loadKey, want(keyBinding(KEY_F5, PRESS), 0, 0, ANY, ANY, 0, ANY));
    registerBinding(EditKeys, exitKey, want(keyBinding(KEY_ESCAPE, PRESS), 0, 0, ANY, ANY, ANY, ANY));
    registerBinding(EditKeys, typeKey, want(keyBinding(ANY, PRESS), 0, 0, ANY, ANY, 1, ANY));
    registerBinding(EditKeys, resetKey, want(keyBinding(KEY_ZERO, PRESS), 0, 0, ANY, ANY, 0, ANY));
    registerBinding(EditKeys, endDown, want(keyBinding(KEY_END, PRESS), 0, 0, ANY, ANY, 0, ANY));
    registerBinding(EditKeys, endDown, want(keyBinding(KEY_END, PRESS), 0, 1, ANY, ANY, 0, ANY));
    registerBinding(EditKeys, endUp, want(keyBinding(KEY_END, RELEASE), 0, 0, ANY, ANY, 0, ANY));
    registerBinding(EditKeys, endUp, want(keyBinding(KEY_END, RELEASE), 0, 1, ANY, ANY, 0, ANY));
    registerObjectArrows<Move>();
    registerObjectArrows<Rotate>();
    registerObjectArrows<ScaleAxis>();
    registerObjectArrows<ScaleUniform>();
}

// One edit-mouse row: Look, Held, Mode, State as given; any operation; no prompt open
static void editMouse(BindingAction action, const InputBinding &pattern, int look, int held, int mode, int state)
{
    registerBinding(EditMouse, action, want(pattern, look, held, ANY, mode, 0, state));
}

static void registerEditMouse()
{
    const InputBinding leftDown = buttonBinding(LEFT_BUTTON, BUTTON_DOWN);
    const InputBinding anyMotion = motionBinding();

    editMouse(lookOn, leftDown, 0, 0, Navigation, 0);
    editMouse(lookOff, leftDown, 1, 0, ANY, ANY);
    editMouse(look, anyMotion, 1, 0, ANY, ANY);
    // Primitive menu at the left edge
    editMouse(openPrimitiveMenu, motionBinding(0, 48, 8, 720), 0, 0, ANY, 0);
    editMouse(closeMenu, motionBinding(269, 0, 1024, 768), 0, 0, ANY, 1);
    editMouse(clickOnPanel, buttonBinding(LEFT_BUTTON, BUTTON_DOWN, 0, 48, 269, 720), 0, 0, ANY, 1);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 1);
    // Operation menu at the bottom edge
    editMouse(openOperationMenu, motionBinding(64, 762, 960, 768), 0, 0, ANY, 0);
    editMouse(closeMenu, motionBinding(0, 0, 1024, 512), 0, 0, ANY, 2);
    editMouse(clickOnPanel, buttonBinding(LEFT_BUTTON, BUTTON_DOWN, 64, 512, 960, 768), 0, 0, ANY, 2);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 2);
    // Editing-mode menu at the right edge
    editMouse(openModeMenu, motionBinding(1016, 48, 1024, 720), 0, 0, ANY, 0);
    editMouse(closeMenu, motionBinding(0, 0, 754, 768), 0, 0, ANY, 4);
    editMouse(clickOnPanel, buttonBinding(LEFT_BUTTON, BUTTON_DOWN, 754, 0, 1024, 768), 0, 0, ANY, 4);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 4);
    // File menu at the top edge
    editMouse(openFileMenu, motionBinding(64, 0, 960, 6), 0, 0, ANY, 0);
    editMouse(closeMenu, motionBinding(0, 256, 1024, 768), 0, 0, ANY, 3);
    editMouse(clickOnPanel, buttonBinding(LEFT_BUTTON, BUTTON_DOWN, 64, 0, 960, 247), 0, 0, ANY, 3);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 3);
    // Appearance menu and event panel
    editMouse(clickOnPanel, leftDown, 0, 0, ANY, 5);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 5);
    editMouse(clickOnPanel, leftDown, 0, 0, ANY, 7);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 7);
    // Choosers
    editMouse(materialFromAppearance, leftDown, 0, 0, ANY, 6);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 6);
    editMouse(materialFromEvents, leftDown, 0, 0, ANY, 19);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 19);
    editMouse(flagForCondition, leftDown, 0, 0, ANY, 8);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 8);
    editMouse(flagForConsequence, leftDown, 0, 0, ANY, 20);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 20);
    editMouse(flagForConsequence, leftDown, 0, 0, ANY, 22);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 22);
    editMouse(conditionKind, leftDown, 0, 0, ANY, 10);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 10);
    editMouse(consequenceKind, leftDown, 0, 0, ANY, 11);
    editMouse(pickRequest, anyMotion, 0, 0, ANY, 11);
    // The 3D view: picking, releasing and dragging objects
    editMouse(scenePick, leftDown, 0, 0, ANY, 0);
    editMouse(releaseObject, buttonBinding(LEFT_BUTTON, BUTTON_UP), 0, 1, ANY, ANY);
    registerBinding(EditMouse, drag<Move>, want(anyMotion, 0, 1, Move, ObjectEditing, 0, ANY));
    registerBinding(EditMouse, drag<Rotate>, want(anyMotion, 0, 1, Rotate, ObjectEditing, 0, ANY));
    registerBinding(EditMouse, drag<ScaleUniform>, want(anyMotion, 0, 1, ScaleUniform, ObjectEditing, 0, ANY));
    registerBinding(EditMouse, drag<ScaleAxis>, want(anyMotion, 0, 1, ScaleAxis, ObjectEditing, 0, ANY));
}

static void registerPlayKeys()
{
    registerWalkingKeys(PlayKeys);
    registerBinding(PlayKeys, stopPlayKey, want(keyBinding(KEY_ESCAPE, PRESS), 1, 0, ANY, ANY, ANY, ANY));
}

static void registerPlayMouse()
{
    registerBinding(PlayMouse, look, want(motionBinding(), 1, 0, ANY, ANY, 0, ANY));
    registerBinding(PlayMouse, playPick, want(buttonBinding(RIGHT_BUTTON, BUTTON_DOWN), 1, 0, ANY, ANY, 0, 0));
    registerBinding(PlayMouse, playRelease, want(buttonBinding(RIGHT_BUTTON, BUTTON_UP), 1, 0, ANY, ANY, 0, 0));
}

// The player's play tables: walking and looking as in play mode, either button activates
// NOTE: Escape matches in any look state, so it ends the program even if mouse-look was lost
static void registerPlayerTables()
{
    registerWalkingKeys(PlayKeys);
    registerBinding(PlayKeys, playerExitKey, want(keyBinding(KEY_ESCAPE, PRESS), 1, 0, ANY, ANY, ANY, ANY));
    registerBinding(PlayKeys, playerExitKey, want(keyBinding(KEY_ESCAPE, PRESS), 0, 0, ANY, ANY, ANY, ANY));
    registerBinding(PlayMouse, look, want(motionBinding(), 1, 0, ANY, ANY, 0, ANY));
    for (int button : {LEFT_BUTTON, RIGHT_BUTTON}) {
        registerBinding(PlayMouse, playPick, want(buttonBinding(button, BUTTON_DOWN), 1, 0, ANY, ANY, 0, 0));
        registerBinding(PlayMouse, playRelease, want(buttonBinding(button, BUTTON_UP), 1, 0, ANY, ANY, 0, 0));
    }
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void registerInputBindings()
{
    registerEditKeys();
    registerEditMouse();
    registerPlayKeys();
    registerPlayMouse();
}

void registerPlayerBindings()
{
    clearBindings();
    registerPlayerTables();
    lockBindingsForPlayer();
}
