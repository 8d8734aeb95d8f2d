/**********************************************************************************************
*
*   panels - bitmap button panels drawn in 3D in front of the eye
*
*   A panel is a rounded, textured background with a grid of buttons, each with an idle, a
*   hovered and a pressed bitmap. Panels stand 35 units in front of the eye; the four edge
*   placements sit half off-screen against one edge and swing in when opened, the free
*   placement stands at its own offset. Backgrounds and buttons carry OpenGL selection names
*   (background id x 100, button i id x 100 + i + 1), so a button is found by the same
*   selection pass as a scene object. A left click on the open panel runs the command of the
*   button under the pointer (clickPanel).
*
*   The layout arithmetic (where each button's centre lies) is kept in plain functions that
*   need no GL. Bitmaps become textures through a replaceable loader.
*
*   DEPENDENCIES: textures (load_required_bitmap_texture), app_state (editorState, pickName),
*                 timers (swing-in), redraw (each swing step asks for a frame), OpenGL
*
**********************************************************************************************/
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Where a panel stands (its offset from the eye, and the axis it swings about)
enum PanelPlacement { PlacementLeft = 0, PlacementRight = 1, PlacementTop = 2, PlacementBottom = 3, PlacementFree = 4 };

// Panel numbers: each equals the editorState in which the panel is shown
enum PanelId {
    PRIMITIVE_PANEL = 1, OPERATION_PANEL = 2, FILE_PANEL = 3, MODE_PANEL = 4, APPEARANCE_PANEL = 5,
    EVENT_PANEL = 7
};

// Largest panel number (names id x 100 + i + 1 must not reach the next panel's)
constexpr int MAX_PANEL_ID = 99;
constexpr int MAX_PANEL_BUTTONS = 99;

// Distance of every panel from the eye, and the offsets of the edge placements
constexpr float PANEL_DEPTH = -35.0f;
constexpr float PANEL_SIDE_X = 19.2f;
constexpr float PANEL_EDGE_Y = 14.4f;

// Background and buttons: the buttons stand in front of the background
constexpr float BUTTON_LAYER_Z = 0.5f;
constexpr float BUTTON_LIFT_Z = 0.2f;

// Rounded outline: corner radius as a share of the width, points per quarter circle
constexpr float CORNER_RADIUS_SHARE = 0.05f;
constexpr int CORNER_POINTS = 10;
constexpr int OUTLINE_POINTS = 4 * CORNER_POINTS;

// Swing-in: start angle, step per tick, rest angle, tick delay
constexpr float SWING_START_ANGLE = -55.0f;
constexpr float SWING_STEP = 16.0f;
constexpr float SWING_REST_ANGLE = 25.0f;
constexpr int SWING_TICK_MS = 1;

// The three images of a button
enum ButtonImage { IMAGE_UP = 0, IMAGE_MOVE = 1, IMAGE_DOWN = 2 };

typedef void (*ButtonCommand)(int argument);

struct PanelButton {
    std::array<int, 3> textures;            // up, move, down; -1 when not loaded
    std::array<std::string, 3> bitmaps;
    std::array<unsigned int, 3> lists;      // 0 until buildPanelLists
    int pressed;
    ButtonCommand command;
    int argument;
};

struct ButtonPanel {
    int id;
    int placement;                          // PanelPlacement
    float width, height;
    unsigned int backgroundList;            // 0 until buildPanelLists
    std::array<float, 4> colour;            // used only without a background bitmap
    int backgroundTexture;                  // -1 without a bitmap
    std::string backgroundBitmap;
    std::array<float, 3> position;          // offset of the free placement
    float angle;                            // swing angle, degrees
    float leftInset, topInset, columnGap, rowGap, buttonWidth, buttonHeight;
    int columns, rows;
    int buttonCount;
    std::vector<PanelButton> buttons;       // capacity columns x rows, made with the panel
};

// Releases a panel record (its GL lists and textures are left to releasePanelGl)
struct PanelDeleter {
    void operator()(ButtonPanel *panel) const;
};
typedef std::unique_ptr<ButtonPanel, PanelDeleter> PanelPtr;

// A point in scene units
struct PanelPoint {
    float x, y, z;
};

// One point of the rounded outline with its texture coordinate
struct OutlineVertex {
    float x, y;
    float s, t;
};

// Turns a bitmap path into a GL texture name
typedef int (*PanelTextureLoader)(const char *path);

//----------------------------------------------------------------------------------
// Public functions: building
//----------------------------------------------------------------------------------

// Replaces how panel bitmaps are loaded (null restores load_required_bitmap_texture)
void setPanelTextureLoader(PanelTextureLoader loader);

// A panel with room for columns x rows buttons and its background loaded (a null or empty
// path: no bitmap, the background is filled with colour); no buttons yet. Null for a grid
// or id out of range
PanelPtr createPanel(int columns, int rows, int id, int placement, float width, float height,
                     const char *backgroundBitmap);

// Layout setters; each returns the panel so that they can be chained
ButtonPanel *setLeftInset(ButtonPanel *panel, float value);
ButtonPanel *setTopInset(ButtonPanel *panel, float value);
ButtonPanel *setColumnGap(ButtonPanel *panel, float value);
ButtonPanel *setRowGap(ButtonPanel *panel, float value);
ButtonPanel *setButtonWidth(ButtonPanel *panel, float value);
ButtonPanel *setButtonHeight(ButtonPanel *panel, float value);

// Adds a button with its up, move and down bitmaps and returns it (the caller sets command
// and argument); a full panel prints "\n Numero de botones completo." and returns null
PanelButton *addPanelButton(ButtonPanel *panel, const char *up, const char *move, const char *down);

// Starts a card's image in a list being compiled: no blending, both sides, its pick name and
// its texture (or none)
void beginCardImage(int name, int texture);

// (Re)compiles the background list and the three lists of every button
void buildPanelLists(ButtonPanel *panel);

// Deletes the panel's display lists and textures (needs the GL context)
void releasePanelGl(ButtonPanel *panel);

//----------------------------------------------------------------------------------
// Public functions: layout (no GL)
//----------------------------------------------------------------------------------

// The 40 points of the rounded rectangle w x h centred on the origin, clockwise as seen from
// the eye, with texture coordinates mapped from the rectangle onto [0, 1] x [0, 1]
std::array<OutlineVertex, OUTLINE_POINTS> roundedOutline(float width, float height);

// Translation of the placement (the free placement adds its position)
PanelPoint placementOffset(const ButtonPanel &panel);

// Where the button grid starts, in the panel's own frame (z: the button layer)
PanelPoint gridOrigin(const ButtonPanel &panel);

// Centre of button index in the panel's own frame (top panels grow upwards)
PanelPoint buttonCentre(const ButtonPanel &panel, int index);

// A point of the panel's own frame in eye coordinates: rotated by the swing angle about the
// placement's axis, then moved by the placement
PanelPoint panelToEye(const ButtonPanel &panel, PanelPoint local);

// Selection name of the background (index -1) or of button index
int panelName(const ButtonPanel &panel, int index);

//----------------------------------------------------------------------------------
// Public functions: drawing, swing-in and clicks
//----------------------------------------------------------------------------------

// Draws the panel with the identity as view (for a selection pass when picking is 1)
void drawPanel(const ButtonPanel *panel, int picking);

// Sets the angle to -55 and swings the panel in by 16 degrees a tick to rest at 25
void swingInPanel(ButtonPanel *panel);

// One tick of the swing-in of the panel with that id (the timer callback)
void swingStep(int id);

// A left click on the open panel with the name found under the pointer; a click on empty
// space closes the appearance menu and the event panel
void clickPanel(ButtonPanel *panel, int pickName);

// Registers what runs when a click on empty space closes the event panel (the menus forward
// their closeEventPanel hook here; null: nothing)
void setEventPanelClosedHook(void (*hook)());

// Radio group: only the button whose argument is given stays pressed
void markRadioButton(ButtonPanel *panel, int argument);

// The first button with that argument, or null
PanelButton *findButtonByArgument(ButtonPanel *panel, int argument);
