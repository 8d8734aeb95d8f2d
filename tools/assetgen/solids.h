/**********************************************************************************************
*
*   solids - the pictures of the primitive menu
*
*   One shaded drawing of each of the twelve solids (<stem>.bmp) and a highlighted variant
*   (<stem>Selected.bmp) shown while the pointer is over it, each with a small caption.
*
*   DEPENDENCIES: asset_output, raster3d, canvas, text
*
**********************************************************************************************/
#pragma once

#include "asset_output.h"
#include "raster3d.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The mesh of a solid by kind number (0 rectangle ... 11 half sphere); empty for others
Mesh solidMesh(int kind);
// Writes the twelve pictures and their highlighted variants
bool generateSolids(AssetOutput &out);
