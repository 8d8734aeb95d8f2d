/**********************************************************************************************
*
*   buttons - the look of every clickable bitmap
*
*   DEPENDENCIES: canvas, text
*
**********************************************************************************************/
#include "buttons.h"

#include <algorithm>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

const Color OUTSIDE = {0.04f, 0.05f, 0.07f};
const Color GOLD = {1.0f, 0.80f, 0.28f};
const Color PRESSED = {0.10f, 0.58f, 0.50f};
const Color WHITE = {1.0f, 1.0f, 1.0f};
const Color BLACK = {0.0f, 0.0f, 0.0f};

float cornerRadius(const Canvas &canvas)
{
    return std::max(5.0f, 0.12f * std::min(canvas.width, canvas.height));
}

// Thickness of rims and bevels, growing a little with the picture
float rimWidth(const Canvas &canvas)
{
    return std::max(2.0f, std::min(canvas.width, canvas.height) / 28.0f);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Paints the plate, its rim and its bevel for one state
void drawButtonFace(Canvas &canvas, ButtonState state, Color accent)
{
    float w = static_cast<float>(canvas.width), h = static_cast<float>(canvas.height);
    float r = cornerRadius(canvas);
    float rim = rimWidth(canvas);
    for (Color &p : canvas.pixels) p = OUTSIDE;

    switch (state) {
    case BUTTON_UP:
        fillRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, scaleColor(accent, 0.85f), scaleColor(accent, 0.38f));
        strokeRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, rim, scaleColor(accent, 0.3f));
        // raised bevel: light along the top, shadow along the bottom
        drawLine(canvas, {r, rim * 1.6f}, {w - r, rim * 1.6f}, rim * 0.8f, WHITE, 0.35f);
        drawLine(canvas, {r, h - rim * 1.6f}, {w - r, h - rim * 1.6f}, rim * 0.8f, BLACK, 0.45f);
        break;
    case BUTTON_MOVE:
        fillRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, mixColor(accent, WHITE, 0.35f), scaleColor(accent, 0.75f));
        strokeRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, rim * 1.6f, GOLD);
        strokeRoundedRect(canvas, rim * 1.6f, rim * 1.6f, w - rim * 1.6f, h - rim * 1.6f, r - rim, rim * 1.5f, GOLD, 0.3f);
        drawLine(canvas, {r, rim * 3.2f}, {w - r, rim * 3.2f}, rim * 0.8f, WHITE, 0.45f);
        break;
    case BUTTON_DOWN:
        // sunken: dark at the top, lighter at the bottom, shadow under the top rim
        fillRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, scaleColor(PRESSED, 0.3f), scaleColor(PRESSED, 0.95f));
        strokeRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, rim, mixColor(PRESSED, WHITE, 0.6f));
        drawLine(canvas, {r, rim * 1.8f}, {w - r, rim * 1.8f}, rim * 1.4f, BLACK, 0.5f);
        break;
    case BUTTON_DISABLED:
        fillRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, {0.33f, 0.33f, 0.34f}, {0.22f, 0.22f, 0.23f});
        strokeRoundedRect(canvas, 0.5f, 0.5f, w - 0.5f, h - 0.5f, r, rim, {0.42f, 0.42f, 0.43f});
        break;
    }
}

// Ink colour of labels and symbols
Color buttonInkColor(ButtonState state)
{
    switch (state) {
    case BUTTON_UP: return {0.88f, 0.92f, 0.98f};
    case BUTTON_MOVE: return {1.0f, 1.0f, 1.0f};
    case BUTTON_DOWN: return {1.0f, 0.94f, 0.55f};
    case BUTTON_DISABLED: return {0.50f, 0.50f, 0.52f};
    }
    return {1, 1, 1};
}

// A pressed face moves its ink a little, as if pushed in
float buttonPressShift(const Canvas &canvas, ButtonState state)
{
    return state == BUTTON_DOWN ? rimWidth(canvas) * 0.6f : 0.0f;
}

// Face plus centred label
Canvas makeLabelButton(FontFace &face, int width, int height, const std::string &label,
                       ButtonState state, Color accent, int maxPixelSize)
{
    Canvas canvas = makeCanvas(width, height, OUTSIDE);
    drawButtonFace(canvas, state, accent);
    if (maxPixelSize <= 0) maxPixelSize = height * 9 / 20;
    float shift = buttonPressShift(canvas, state);
    float padX = width * 0.07f, padY = height * 0.12f;
    drawLabel(canvas, face, label, padX + shift, padY + shift, width - padX + shift, height - padY + shift,
              maxPixelSize, buttonInkColor(state), state == BUTTON_DISABLED ? 0.0f : std::max(1.0f, height / 40.0f));
    return canvas;
}
