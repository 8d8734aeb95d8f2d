/**********************************************************************************************
*
*   demo_scene - TEMPORARY: a few objects to look at until scenes are read from escena.xml
*
*   The scene loader replaces this module: remove it, and its call in start-up, when the load
*   command reads the scene file.
*
*   DEPENDENCIES: scene (objects, materials, usage table, textures, operations)
*
**********************************************************************************************/
#pragma once

// TEMPORARY (the scene loader replaces it): adds brick, wood, marble, animated water and
// plain coloured materials with their textures, and five objects of several kinds in front
// of the start camera
void placeTemporaryDemoObjects();
