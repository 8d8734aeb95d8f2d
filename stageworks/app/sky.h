/**********************************************************************************************
*
*   sky - the sky box and the sun
*
*   The sky box is a cube of edge 1999 centred on the camera, one textured quad per face,
*   drawn unlit without fog or culling, behind everything else. Its six textures are loaded at
*   start-up and the program cannot run without them. The sun is a GLU sphere of radius 25
*   drawn at the sun light's position, 1000 units from the viewer.
*
*   DEPENDENCIES: base (camera, lights), scene (textures), OpenGL and GLU
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
constexpr int SKY_FACES = 6;
constexpr float SKY_BOX_EDGE = 1999.0f;
constexpr double SUN_RADIUS = 25.0;
constexpr int SUN_SLICES = 16;
constexpr int SUN_STACKS = 16;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Makes the sun's quadric (filled, smooth normals pointing inwards, texture coordinates)
void createSunQuadric();

// 1 once the sun's quadric exists
int sunQuadricReady();

// Loads the six sky-box bitmaps; a missing one ends the program
void loadSkyTextures();

// GL texture name of sky face i (0 to 5), -1 before loading
int skyTexture(int face);

// Sets the six textures directly (tests)
void setSkyTexture(int face, int glName);

// Draws the sky box centred on the camera: walls at minimum and maximum Z, floor, ceiling,
// walls at minimum and maximum X; ends with texturing off and lighting on
void drawSkyBox(float edge);

// 1 when the sun may show in the view of the camera (its sphere, with some room, lies at least
// partly inside the view); its slow steps change nothing else that can be seen
int sunInView();

// Draws the sun at the sun light's position (the origin when there is no light set) in its own
// material: diffuse (0.9, 0.9, 0.4), ambient 1, specular 0.1, no emission, shininess 64
void drawSun();
