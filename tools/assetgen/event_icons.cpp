/**********************************************************************************************
*
*   event_icons - bitmaps of the event editor and of the chooser arrows
*
*   DEPENDENCIES: asset_output, buttons, canvas, text
*
**********************************************************************************************/
#include "event_icons.h"

#include "buttons.h"

#include <algorithm>
#include <array>
#include <vector>

//----------------------------------------------------------------------------------
// Types and tables
//----------------------------------------------------------------------------------
namespace {

const Color PANEL_ACCENT = {0.24f, 0.44f, 0.34f};
const Color ROW_ACCENT = {0.50f, 0.40f, 0.18f};
const Color DELETE_ACCENT = {0.55f, 0.16f, 0.16f};
const Color ARROW_ACCENT = {0.28f, 0.36f, 0.55f};

// A labelled icon and the files of its states, in the order up, move, down
struct LabelIcon {
    const char *label;
    int width, height;
    Color accent;
    std::array<const char *, 3> files;
};

// Flags, new and delete are 3 x 1 units, IF and THEN 2.4 x 1, AND 2 x 1
const std::array<LabelIcon, 6> LABEL_ICONS = {{
    {"Flags", 192, 64, PANEL_ACCENT, {"flags1.bmp", "flags2.bmp", "flags3.bmp"}},
    {"Nuevo", 192, 64, PANEL_ACCENT, {"nuevo1.bmp", "nuevo2.bmp", "nuevo3.bmp"}},
    {"Borrar", 192, 64, PANEL_ACCENT, {"borrar1.bmp", "borrar2.bmp", "borrar3.bmp"}},
    {"IF", 154, 64, ROW_ACCENT, {"IF.bmp", "IF3.bmp", "IF2.bmp"}},
    {"AND", 128, 64, ROW_ACCENT, {"AND.bmp", "AND3.bmp", "AND2.bmp"}},
    {"THEN", 154, 64, ROW_ACCENT, {"THEN.bmp", "THEN3.bmp", "THEN2.bmp"}},
}};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// An arrow head with a short shaft, pointing up, centred in the box
void drawUpArrow(Canvas &canvas, float x0, float y0, float x1, float y1, Color c)
{
    float w = x1 - x0, h = y1 - y0;
    float cx = (x0 + x1) * 0.5f;
    float headBottom = y0 + h * 0.55f;
    fillPolygon(canvas, {{cx, y0}, {x1, headBottom}, {x0, headBottom}}, c);
    fillRect(canvas, cx - w * 0.18f, headBottom - 0.5f, cx + w * 0.18f, y1, c);
}

// The same arrow pointing left
void drawLeftArrow(Canvas &canvas, float x0, float y0, float x1, float y1, Color c)
{
    float w = x1 - x0, h = y1 - y0;
    float cy = (y0 + y1) * 0.5f;
    float headRight = x0 + w * 0.55f;
    fillPolygon(canvas, {{x0, cy}, {headRight, y0}, {headRight, y1}}, c);
    fillRect(canvas, headRight - 0.5f, cy - h * 0.18f, x1, cy + h * 0.18f, c);
}

// A face with an arrow; the symbol sits in the middle share of the face
Canvas makeArrowButton(int width, int height, ButtonState state, bool pointsLeft)
{
    Canvas canvas = makeCanvas(width, height, {0, 0, 0});
    drawButtonFace(canvas, state, ARROW_ACCENT);
    float shift = buttonPressShift(canvas, state);
    float side = 0.56f * std::min(width, height);
    float x0 = (width - side) * 0.5f + shift, y0 = (height - side) * 0.5f + shift;
    Color ink = buttonInkColor(state);
    if (state != BUTTON_DISABLED) {
        // soft dark outline so the symbol stands out on the bright hover face
        if (pointsLeft) drawLeftArrow(canvas, x0 + 1.5f, y0 + 1.5f, x0 + side + 1.5f, y0 + side + 1.5f, {0, 0, 0});
        else drawUpArrow(canvas, x0 + 1.5f, y0 + 1.5f, x0 + side + 1.5f, y0 + side + 1.5f, {0, 0, 0});
    }
    if (pointsLeft) drawLeftArrow(canvas, x0, y0, x0 + side, y0 + side, ink);
    else drawUpArrow(canvas, x0, y0, x0 + side, y0 + side, ink);
    return canvas;
}

// The row delete button: a cross of two thick strokes
Canvas makeCrossButton(int size, ButtonState state)
{
    Canvas canvas = makeCanvas(size, size, {0, 0, 0});
    drawButtonFace(canvas, state, DELETE_ACCENT);
    float shift = buttonPressShift(canvas, state);
    float a = size * 0.3f + shift, b = size * 0.7f + shift;
    float thickness = size * 0.13f;
    Color ink = state == BUTTON_UP ? Color{1.0f, 0.82f, 0.82f} : buttonInkColor(state);
    drawLine(canvas, {a + 1.5f, a + 1.5f}, {b + 1.5f, b + 1.5f}, thickness, {0, 0, 0}, 0.6f);
    drawLine(canvas, {a + 1.5f, b + 1.5f}, {b + 1.5f, a + 1.5f}, thickness, {0, 0, 0}, 0.6f);
    drawLine(canvas, {a, a}, {b, b}, thickness, ink);
    drawLine(canvas, {a, b}, {b, a}, thickness, ink);
    return canvas;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Labelled icons, the cross, and the three families of arrows
bool generateEventIcons(AssetOutput &out)
{
    for (const LabelIcon &icon : LABEL_ICONS)
        for (int s = 0; s < 3; s++) {
            Canvas c = makeLabelButton(out.bold, icon.width, icon.height, icon.label, static_cast<ButtonState>(s), icon.accent);
            if (!saveBitmap(out, icon.files[static_cast<size_t>(s)], c)) return false;
        }

    const std::array<const char *, 3> crossFiles = {"X.bmp", "X3.bmp", "X2.bmp"};
    for (int s = 0; s < 3; s++)
        if (!saveBitmap(out, crossFiles[static_cast<size_t>(s)], makeCrossButton(64, static_cast<ButtonState>(s)))) return false;

    // Previous event (turned by the program for the next one), 1.2 x 1.2 units
    const std::array<const char *, 3> stepFiles = {"nextEvent1.bmp", "nextEvent2.bmp", "nextEvent3.bmp"};
    for (int s = 0; s < 3; s++)
        if (!saveBitmap(out, stepFiles[static_cast<size_t>(s)], makeArrowButton(64, 64, static_cast<ButtonState>(s), true))) return false;

    // Window scroll arrows, 1.3 x 1.9 units: idle, hover, and the look of an arrow that cannot act
    const std::array<const char *, 3> scrollFiles = {"Arriba2.bmp", "Arriba3.bmp", "Arriba4.bmp"};
    const std::array<ButtonState, 3> scrollStates = {BUTTON_UP, BUTTON_MOVE, BUTTON_DISABLED};
    for (size_t s = 0; s < 3; s++)
        if (!saveBitmap(out, scrollFiles[s], makeArrowButton(88, 128, scrollStates[s], false))) return false;

    // Chooser arrows: idle, hovered, pressed, disabled
    const std::array<const char *, 4> chooserFiles = {"flecha1.bmp", "flecha2.bmp", "flecha3.bmp", "flecha4.bmp"};
    for (int s = 0; s < 4; s++)
        if (!saveBitmap(out, chooserFiles[static_cast<size_t>(s)], makeArrowButton(64, 64, static_cast<ButtonState>(s), false))) return false;
    return true;
}
