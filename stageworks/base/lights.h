/**********************************************************************************************
*
*   lights - the three fixed-function lights of stageworks and its fog
*
*   A dim headlight at the camera (light 0), a bright sun kept 1000 units from the camera in a
*   direction that turns very slowly (light 1) and a dim fixed light (light 2). Squared-
*   exponential fog darkens distant objects.
*
*   DEPENDENCIES: app_state (sun angle), camera, OpenGL
*
**********************************************************************************************/
#pragma once

#include <array>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int LIGHT_COUNT = 8;
constexpr int LIGHT_POSITIONAL = 1;
constexpr int LIGHT_SPOT = 3;
constexpr float SUN_DISTANCE = 1000.0f;

struct Light {
    int index;
    int lightKind;
    std::array<float, 4> diffuse;
    std::array<float, 4> specular;
    std::array<float, 3> position;
    float spotCutoff;
    float spotExponent;
    std::array<float, 3> spotDirection;
};

struct LightSet {
    std::array<Light, LIGHT_COUNT> lights;
    std::array<float, 4> globalAmbient;
    int lightCount;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Makes the light set with eight new lights (creating it again replaces it)
void createLightSet();

// The light set, or null before it was created
LightSet *getLightSet();

// Enables lighting (sending the global ambient) if needed, then sends every light
void sendAllLights();

void setLightDiffuse(const std::array<float, 4> &colour, int light);
void setLightSpecular(const std::array<float, 4> &colour, int light);
void setLightPosition(const std::array<float, 3> &position, int light);

// Enables GL_LIGHT0 + index unless it is enabled already (indices outside 0 to 7 ignored)
void enableLight(int index);

// The start values of lights 0 to 2, as the OpenGL set-up sends them
void configureStartLights();

// Light 0 at the camera; light 1 at camera + 1000 * (sin a, cos a, 0), a = sun angle
void placeMovingLights();

// Squared-exponential fog settings
void setUpFog();
