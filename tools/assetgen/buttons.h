/**********************************************************************************************
*
*   buttons - the look of every clickable bitmap
*
*   One face per state, shared by the menu buttons, the event editor icons and the chooser
*   arrows: idle is a dark bevelled plate in the button's own colour, hover is brighter
*   with a golden rim, pressed is sunken and turns teal, disabled is flat grey. Labels are
*   centred on the face in DejaVu Sans Bold.
*
*   DEPENDENCIES: canvas, text
*
**********************************************************************************************/
#pragma once

#include "canvas.h"
#include "text.h"

#include <string>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

enum ButtonState {
    BUTTON_UP = 0,
    BUTTON_MOVE,
    BUTTON_DOWN,
    BUTTON_DISABLED,
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Fills the whole canvas with a button face in the given state; accent is the idle colour
void drawButtonFace(Canvas &canvas, ButtonState state, Color accent);
// Colour of the label or symbol on a face in this state
Color buttonInkColor(ButtonState state);
// Pixels the label or symbol moves right and down when pressed
float buttonPressShift(const Canvas &canvas, ButtonState state);
// A face with a centred label (maxPixelSize 0 picks a size from the face's height)
Canvas makeLabelButton(FontFace &face, int width, int height, const std::string &label,
                       ButtonState state, Color accent, int maxPixelSize = 0);
