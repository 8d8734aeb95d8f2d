/**********************************************************************************************
*
*   event_icons - bitmaps of the event editor and of the chooser arrows
*
*   The flags, new and delete buttons, the event stepping arrow, the IF / AND / THEN row
*   labels, the row delete cross, the window scroll arrows (idle, hover, disabled) and the
*   chooser arrows (idle, hover, pressed, disabled). Arrows point left or up; the program
*   turns them for the other direction.
*
*   DEPENDENCIES: asset_output, buttons, canvas, text
*
**********************************************************************************************/
#pragma once

#include "asset_output.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Writes every event editor and chooser arrow bitmap
bool generateEventIcons(AssetOutput &out);
