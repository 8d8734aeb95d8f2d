/**********************************************************************************************
*
*   textures - the textures of the demo scene
*
*   Tileable 256 x 256 procedural pictures: brick wall (ladrillo), wooden planks (madera),
*   a stone chequer floor (suelo), grass (cesped), marble (marmol), and three frames of
*   water ripples (agua1 to agua3) that loop.
*
*   DEPENDENCIES: asset_output, canvas
*
**********************************************************************************************/
#pragma once

#include "asset_output.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

Canvas drawBricks(int size);
Canvas drawWood(int size);
Canvas drawStoneFloor(int size);
Canvas drawGrass(int size);
Canvas drawMarble(int size);
// Frame 0, 1 or 2 of the water loop
Canvas drawWater(int size, int frame);
// Writes every texture of the demo scene
bool generateTextures(AssetOutput &out);
