/**********************************************************************************************
*
*   menus - backgrounds and buttons of the editor menus
*
*   The five menu backgrounds and the event panel background, each drawn at the aspect of
*   its panel with a title in the part of the panel that shows on screen, and the idle,
*   hover and pressed images (<stem>Up/Move/Down.bmp) of every button of the operation,
*   file, mode and appearance menus, labelled in Spanish.
*
*   DEPENDENCIES: asset_output, buttons, canvas, text
*
**********************************************************************************************/
#pragma once

#include "asset_output.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Writes the menu backgrounds and the labelled menu buttons
bool generateMenus(AssetOutput &out);
