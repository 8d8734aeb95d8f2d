/**********************************************************************************************
*
*   demo_scene - the demo scene that ships as the default escena.xml
*
*   Built in memory with the scene model's own operations and written by the scene writer,
*   so the shipped file has exactly the form a save produces. In front of the start camera
*   (-41.51, 30, 38.74, looking toward +X -Z): a brick cube, an animated water sphere, a red
*   cylinder, a wooden pyramid and a marble trapezoid on a ground of grass and stone tiles;
*   behind them a wooden door, a dome and a round sign. In play mode the pyramid turns
*   without end, a click opens the door (which sets the flag PUERTA), the dome answers the
*   flag by turning gold and rising, the sign turns green and rises when the viewer comes
*   within 120 units, and a click on the water sphere turns its texture.
*
*   DEPENDENCIES: scene (objects, materials, textures, generators, operations, usage table),
*                 events (flags, event sets)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Replaces the texture, material and flag tables and the objects with the demo scene
void buildDemoScene();

// Writes the scene now in the tables as DIRECTORY/escena.xml, then empties every table;
// 1 when the file was written, 0 (with a message naming the program) otherwise
int writeBuiltScene(const char *program, const char *directory);
