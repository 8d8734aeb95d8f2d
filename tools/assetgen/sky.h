/**********************************************************************************************
*
*   sky - the sky box bitmaps
*
*   Data/izpos2.bmp, the four walls: a blue gradient that pales towards the horizon at
*   mid-height, with soft clouds above it; its left and right edges join, and its top and
*   bottom rows have the colour of Data/iypos2.bmp, the floor and ceiling: an even sky
*   blue with a faint mottle.
*
*   DEPENDENCIES: asset_output, canvas
*
**********************************************************************************************/
#pragma once

#include "asset_output.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The wall picture
Canvas drawSkyWall(int size);
// The floor and ceiling picture
Canvas drawSkyCap(int size);
// Writes both sky box bitmaps
bool generateSky(AssetOutput &out);
