/**********************************************************************************************
*
*   bindings - keys and mouse: the input binding tables and the GLUT input callbacks
*
*   Records, matching, dispatch and the callbacks; the rows of the four tables are in
*   binding_tables.cpp.
*
**********************************************************************************************/
#include "bindings.h"

#include "app_state.h"
#include "camera.h"
#include "edit_history.h"
#include "exit_program.h"
#include "objects.h"
#include "picking.h"
#include "redraw.h"
#include "screen_view.h"

#include <GL/freeglut.h>
#include <array>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
struct BindingEntry {
    BindingAction action;
    InputBinding binding;
};

struct BindingList {
    std::array<BindingEntry, MAX_BINDINGS> entries;
    int count;
};

// Codes freeglut gives to keys classic GLUT never reported (num lock, begin, delete, the
// modifiers and the super keys)
static const int FREEGLUT_EXTRA_FIRST = 109;
static const int FREEGLUT_EXTRA_LAST = 119;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::array<BindingList, BINDING_TABLES> tables = {};

static void defaultCursor(int cursor) { setCursorShape(cursor); }
static void defaultExit() { exitProgram(); }
static BindingOps ops = {defaultCursor, defaultExit, nullptr};

// Set by the player's tables: nothing may change the scene
static bool playerOnly = false;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// -1 accepts anything, any other value must equal the current one
static bool wanted(int want, int current) { return want == ANY || want == current; }

// The state part of matching, shared by key and mouse bindings
static bool statesMatch(const InputBinding &b)
{
    if (b.wantLook != getLookMode() || b.wantHeld != getObjectHeld()) return false;
    if (b.wantEditorState >= 0 && b.wantEditorState != getEditorState()) return false;
    return wanted(b.wantOperation, getCurrentOperation()) && wanted(b.wantEditingMode, getEditingMode()) &&
           wanted(b.wantTextEntry, getTextEntryOpen());
}

// The key or mouse table of the current mode
static const BindingList &currentTable(bool keys)
{
    if (getPlayMode() == 1) return tables[keys ? PlayKeys : PlayMouse];
    return tables[keys ? EditKeys : EditMouse];
}

// The event record of a callback
static InputEvent makeEvent(int code, int x, int y)
{
    return InputEvent{getSelectedObject(), getCamera(), code, x, y};
}

// The letters the keyboard callback handles itself; 1 when key was one of them
static int directKey(unsigned char key)
{
    switch (key) {
    case 'A': case 'a': zoom(-1); return 1;
    case 'S': case 's': zoom(+1); return 1;
    case 'C': case 'c': setUseDisplayLists(getUseDisplayLists() ? 0 : 1); return 1;
    case 'E': case 'e':
        if (!playerOnly) {
            beginEdit(-1);
            create_object(KIND_SPHERE);
            endEdit("crear objeto");
        }
        return 1;
    case 'F': case 'f': toggleFlyMode(); return 1;
    case 'I': case 'i': setInvertMouseY(getInvertMouseY() ? 0 : 1); return 1;
    case 'L': case 'l': setHudVisible(getHudVisible() ? 0 : 1); return 1;
    default: return 0;
    }
}

// A special key both classic GLUT and the tables know about
static bool knownSpecialKey(int key) { return key < FREEGLUT_EXTRA_FIRST || key > FREEGLUT_EXTRA_LAST; }

//----------------------------------------------------------------------------------
// Public functions: bindings
//----------------------------------------------------------------------------------
InputBinding keyBinding(int code, int state)
{
    InputBinding b;
    b.kind = KEY_BINDING;
    b.key = KeyPattern{code, state};
    return b;
}

InputBinding buttonBinding(int button, int state, int x0, int y0, int x1, int y1)
{
    InputBinding b;
    b.kind = MOUSE_BINDING;
    b.mouse = MousePattern{button, state, 0, 1, -1, -1, x0, y0, x1, y1};
    return b;
}

InputBinding motionBinding(int x0, int y0, int x1, int y1)
{
    InputBinding b;
    b.kind = MOUSE_BINDING;
    b.mouse = MousePattern{-1, -1, 1, 1, -1, -1, x0, y0, x1, y1};
    return b;
}

int registerBinding(int table, BindingAction action, const InputBinding &binding)
{
    if (table < 0 || table >= BINDING_TABLES || action == nullptr) return 0;
    BindingList &list = tables[table];
    if (list.count >= MAX_BINDINGS) return 0;
    list.entries[list.count] = BindingEntry{action, binding};
    list.count++;
    return 1;
}

int bindingCount(int table)
{
    if (table < 0 || table >= BINDING_TABLES) return 0;
    return tables[table].count;
}

const InputBinding *bindingAt(int table, int index)
{
    if (index < 0 || index >= bindingCount(table)) return nullptr;
    return &tables[table].entries[index].binding;
}

void clearBindings()
{
    for (BindingList &list : tables) list.count = 0;
    playerOnly = false;
}

void lockBindingsForPlayer() { playerOnly = true; }

int playerBindingsActive() { return playerOnly ? 1 : 0; }

int keyBindingMatches(const InputBinding &b, const KeyPattern &p)
{
    if (b.kind != KEY_BINDING) return 0;
    if (b.key.code != ANY && b.key.code != p.code) return 0;
    if (b.key.state != p.state) return 0;
    return statesMatch(b) ? 1 : 0;
}

int mouseBindingMatches(const InputBinding &b, const MousePattern &p)
{
    if (b.kind != MOUSE_BINDING) return 0;
    const MousePattern &m = b.mouse;
    if (m.button != p.button || m.state != p.state) return 0;
    if (m.motion != p.motion && m.motionAny != m.motion) return 0;
    if (m.x0 != -1 && (p.x < m.x0 || p.x > m.x1 || p.y < m.y0 || p.y > m.y1)) return 0;
    return statesMatch(b) ? 1 : 0;
}

int dispatchKey(const KeyPattern &pattern, const InputEvent &event)
{
    const BindingList &list = currentTable(true);
    for (int i = 0; i < list.count; i++) {
        if (!keyBindingMatches(list.entries[i].binding, pattern)) continue;
        list.entries[i].action(event);
        return 1;
    }
    return 0;
}

int dispatchMouse(const MousePattern &pattern, const InputEvent &event)
{
    const BindingList &list = currentTable(false);
    for (int i = 0; i < list.count; i++) {
        if (!mouseBindingMatches(list.entries[i].binding, pattern)) continue;
        list.entries[i].action(event);
        return 1;
    }
    return 0;
}

void setBindingOps(const BindingOps &replacement)
{
    ops.setCursor = replacement.setCursor ? replacement.setCursor : defaultCursor;
    ops.exitProgram = replacement.exitProgram ? replacement.exitProgram : defaultExit;
    ops.keyFirst = replacement.keyFirst;
}

const BindingOps &bindingOps() { return ops; }

//----------------------------------------------------------------------------------
// Public functions: GLUT input callbacks
//----------------------------------------------------------------------------------
void keyboard(unsigned char key, int x, int y)
{
    requestRedraw();
    if (ops.keyFirst != nullptr && ops.keyFirst(key, 0)) return;
    if (directKey(key)) return;
    // NOTE: Ctrl+Z and Ctrl+Y never reach the tables (an open prompt would take them as typed text)
    if ((key == KEY_CTRL_Z || key == KEY_CTRL_Y) && historyKey(key, (glutGetModifiers() & GLUT_ACTIVE_SHIFT) ? 1 : 0)) return;
    windowToScreen(&x, &y);
    KeyPattern pattern = {key, PRESS};
    dispatchKey(pattern, makeEvent(key, x, y));
}

void special(int key, int, int)
{
    // NOTE: a modifier pressed before a letter would otherwise type its code into a prompt
    if (!knownSpecialKey(key)) return;
    requestRedraw();
    if (ops.keyFirst != nullptr && ops.keyFirst(key, 1)) return;
    KeyPattern pattern = {key, PRESS};
    dispatchKey(pattern, makeEvent(key, 0, 0));
}

void specialUp(int key, int, int)
{
    if (!knownSpecialKey(key)) return;
    requestRedraw();
    KeyPattern pattern = {key, RELEASE};
    dispatchKey(pattern, makeEvent(key, 0, 0));
}

void mouse(int button, int state, int x, int y)
{
    requestRedraw();
    windowToScreen(&x, &y);
    MousePattern pattern = {button, state, 0, 0, x, y, -1, -1, -1, -1};
    if (button == GLUT_LEFT_BUTTON) noteLeftButton(state == GLUT_DOWN ? 1 : 0);
    dispatchMouse(pattern, makeEvent(button, x, y));
}

void motion(int x, int y)
{
    requestRedraw();
    windowToScreen(&x, &y);
    MousePattern pattern = {-1, -1, 1, 0, x, y, -1, -1, -1, -1};
    dispatchMouse(pattern, makeEvent(0, x, y));
}
