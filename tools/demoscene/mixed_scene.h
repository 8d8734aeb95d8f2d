/**********************************************************************************************
*
*   mixed_scene - a scene of many mixed objects for the frame-rate and loading benchmarks
*
*   The twelve kinds in turn with their default parameters, 20 materials (the default, five
*   still textures, five animated textures, eight plain colours and one see-through colour),
*   every object with two events. The objects fill a 40 x 25 grid of screen cells in front of
*   the start camera, at depths between 70 and 214 units, each cell's depth and turn varied
*   so that the view shows every side of the solids. Fewer objects spread over the same grid.
*
*   DEPENDENCIES: scene (objects, materials, textures, generators, usage table), events
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr int MIXED_SCENE_CELLS = 1000;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Replaces the texture, material and flag tables and the objects with count mixed objects
// (0 to 1000: 0 leaves the sky alone); false when count is out of range
bool buildMixedScene(int count);
