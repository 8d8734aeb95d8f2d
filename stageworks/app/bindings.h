/**********************************************************************************************
*
*   bindings - keys and mouse: the input binding tables and the GLUT input callbacks
*
*   Every key press, key release, button and pointer motion becomes a pattern and an event
*   record; the dispatcher runs the action of the first binding of the current table (edit
*   or play, keys or mouse) whose pattern and wanted application states match. A few letters
*   (A, C, E, F, I, L, S in either case) are handled by the keyboard callback itself in every
*   mode and never reach the tables. Characters and GLUT special keys share one code space
*   (100 to 103 the arrows, 107 End, 5 and 9 F5 and F9, 27 Escape, 48 "0").
*
*   The four tables are filled once at start-up (registerInputBindings, or for the visitors'
*   player registerPlayerBindings, which leaves the edit tables empty); their actions live
*   in binding_tables.cpp and the object drags in drags.cpp.
*
*   Every key, button or pointer motion that reaches the program asks for a frame (redraw).
*
*   DEPENDENCIES: app_state, camera, exit_program, redraw (base); objects, operations (scene);
*                 picking, commands, edit_history (app)
*
**********************************************************************************************/
#pragma once

struct primitiva;
struct Camera;

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int MAX_BINDINGS = 100;    // per table

// The four tables, in the order start-up fills them
enum BindingTable { EditKeys = 0, EditMouse = 1, PlayKeys = 2, PlayMouse = 3 };
constexpr int BINDING_TABLES = 4;

// Binding kinds
constexpr int KEY_BINDING = 0;
constexpr int MOUSE_BINDING = 1;

// "Any" for the code of a key pattern and for the wanted operation, mode and text entry
constexpr int ANY = -1;

// Key codes of the tables (GLUT special keys and characters alike)
constexpr int KEY_F5 = 5;
constexpr int KEY_F9 = 9;
constexpr int KEY_ESCAPE = 27;
constexpr int KEY_ZERO = 48;
constexpr int KEY_LEFT = 100;
constexpr int KEY_UP = 101;
constexpr int KEY_RIGHT = 102;
constexpr int KEY_DOWN = 103;
constexpr int KEY_END = 107;

// Key and button states
constexpr int PRESS = 0;
constexpr int RELEASE = 1;
constexpr int LEFT_BUTTON = 0;
constexpr int RIGHT_BUTTON = 2;
constexpr int BUTTON_DOWN = 0;
constexpr int BUTTON_UP = 1;

struct KeyPattern {
    int code;     // -1: any key
    int state;    // 0 press, 1 release
};

struct MousePattern {
    int button;      // 0 left, 1 middle, 2 right, -1 pointer motion
    int state;       // 0 down, 1 up, -1 motion
    int motion;      // 1 for a motion event
    int motionAny;
    int x, y;        // position of an event; -1 in bindings
    int x0, y0;      // screen region in window pixels, y down, inclusive;
    int x1, y1;      //   x0 = -1: no region
};

// NOTE: the pattern is kept by value; kind says which of the two is meaningful
struct InputBinding {
    int kind = KEY_BINDING;
    KeyPattern key = {ANY, PRESS};
    MousePattern mouse = {-1, -1, 0, 0, -1, -1, -1, -1, -1, -1};
    int wantLook = 0;
    int wantHeld = 0;
    int wantOperation = 0;       // -1 any
    int wantEditingMode = 0;     // -1 any
    int wantTextEntry = 0;       // -1 any
    int wantEditorState = -1;    // negative: any
};

// What an action receives; fields an event does not use are 0
struct InputEvent {
    primitiva *selectedObject;
    Camera *camera;
    int code;
    int x, y;
};

typedef int (*BindingAction)(const InputEvent &event);

// Operations the bindings use that tests may replace
struct BindingOps {
    void (*setCursor)(int cursor);   // default: the camera's window operations
    void (*exitProgram)();           // default: the exit sequence
    int (*keyFirst)(int key, int special);  // sees every key first (special: 1 for GLUT's
                                            // special keys); 1 takes it. Default: none
};

//----------------------------------------------------------------------------------
// Public functions: bindings
//----------------------------------------------------------------------------------

// A key binding with the defaults (code -1 is any key)
InputBinding keyBinding(int code, int state);

// A button binding (button, state) over the region (x0, y0)-(x1, y1); x0 = -1 for the whole window
InputBinding buttonBinding(int button, int state, int x0 = -1, int y0 = -1, int x1 = -1, int y1 = -1);

// A pointer-motion binding over the region; x0 = -1 for the whole window
InputBinding motionBinding(int x0 = -1, int y0 = -1, int x1 = -1, int y1 = -1);

// Adds a binding at the end of a table: 1, or 0 when the table is full (or the request is bad)
int registerBinding(int table, BindingAction action, const InputBinding &binding);

// Number of bindings in a table, and binding index of it (null outside)
int bindingCount(int table);
const InputBinding *bindingAt(int table, int index);

// Empties the four tables and lifts the player's lock
void clearBindings();

// Refuses, from now until the tables are cleared, the direct key that creates a sphere
void lockBindingsForPlayer();

// 1 when the binding matches the pattern in the current application state
int keyBindingMatches(const InputBinding &binding, const KeyPattern &pattern);
int mouseBindingMatches(const InputBinding &binding, const MousePattern &pattern);

// Runs the first matching binding of the key or mouse table of the current mode (play tables
// while playMode is 1); 1 when one ran, 0 when the event was dropped
int dispatchKey(const KeyPattern &pattern, const InputEvent &event);
int dispatchMouse(const MousePattern &pattern, const InputEvent &event);

// Fills the four tables in the order edit keys, edit mouse, play keys, play mouse
void registerInputBindings();

// The visitors' player: empties the four tables and fills only the play ones (walking,
// looking, a click of either button activating an object, Escape ending the program); the
// direct key that creates a sphere is refused from then on
void registerPlayerBindings();

// 1 once the player's tables are in place
int playerBindingsActive();

// Replaces the cursor and exit operations; null members restore the defaults
void setBindingOps(const BindingOps &ops);
const BindingOps &bindingOps();

//----------------------------------------------------------------------------------
// Public functions: GLUT input callbacks
//----------------------------------------------------------------------------------
void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);
void specialUp(int key, int x, int y);
void mouse(int button, int state, int x, int y);
// Both motion callbacks (button held or not)
void motion(int x, int y);
