/**********************************************************************************************
*
*   lights - the three fixed-function lights of stageworks and its fog
*
**********************************************************************************************/
#include "lights.h"

#include "app_state.h"
#include "camera.h"

#include <GL/gl.h>
#include <cmath>
#include <memory>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::unique_ptr<LightSet> lightSet;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
static Light newLight(int index)
{
    Light light = {};
    light.index = index;
    light.lightKind = LIGHT_POSITIONAL;
    light.diffuse = {0.9f, 0.9f, 0.9f, 1.0f};
    light.specular = {0.1f, 0.1f, 0.1f, 1.0f};
    light.position = {0.0f, 0.0f, 0.0f};
    return light;
}

static bool validLight(int light) { return lightSet && light >= 0 && light < LIGHT_COUNT; }

static GLenum glLight(int light) { return (GLenum)(GL_LIGHT0 + light); }

static void sendColour(GLenum name, const std::array<float, 4> &colour, int light)
{
    GLfloat value[4] = {colour[0], colour[1], colour[2], colour[3]};
    glLightfv(glLight(light), name, value);
}

static void sendPoint(GLenum name, const std::array<float, 3> &point, int light)
{
    GLfloat value[4] = {point[0], point[1], point[2], 1.0f};
    glLightfv(glLight(light), name, value);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void createLightSet()
{
    lightSet = std::make_unique<LightSet>();
    for (int i = 0; i < LIGHT_COUNT; i++) lightSet->lights[i] = newLight(i);
    lightSet->globalAmbient = {0.1f, 0.1f, 0.1f, 1.0f};
    lightSet->lightCount = LIGHT_COUNT;
}

LightSet *getLightSet() { return lightSet.get(); }

void sendAllLights()
{
    if (!lightSet) return;
    if (!glIsEnabled(GL_LIGHTING)) {
        glEnable(GL_LIGHTING);
        GLfloat ambient[4] = {lightSet->globalAmbient[0], lightSet->globalAmbient[1], lightSet->globalAmbient[2],
                              lightSet->globalAmbient[3]};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    }
    for (const Light &light : lightSet->lights) {
        sendColour(GL_DIFFUSE, light.diffuse, light.index);
        sendColour(GL_SPECULAR, light.specular, light.index);
        sendPoint(GL_POSITION, light.position, light.index);
        if (light.lightKind == LIGHT_SPOT) {
            sendPoint(GL_SPOT_DIRECTION, light.spotDirection, light.index);
            glLightf(glLight(light.index), GL_SPOT_CUTOFF, light.spotCutoff);
            glLightf(glLight(light.index), GL_SPOT_EXPONENT, light.spotExponent);
        }
    }
}

void setLightDiffuse(const std::array<float, 4> &colour, int light)
{
    if (!validLight(light)) return;
    lightSet->lights[light].diffuse = colour;
    sendColour(GL_DIFFUSE, colour, light);
}

void setLightSpecular(const std::array<float, 4> &colour, int light)
{
    if (!validLight(light)) return;
    lightSet->lights[light].specular = colour;
    sendColour(GL_SPECULAR, colour, light);
}

void setLightPosition(const std::array<float, 3> &position, int light)
{
    if (!validLight(light)) return;
    lightSet->lights[light].position = position;
    sendPoint(GL_POSITION, position, light);
}

void enableLight(int index)
{
    if (index < 0 || index >= LIGHT_COUNT) return;
    if (!glIsEnabled(glLight(index))) glEnable(glLight(index));
}

void configureStartLights()
{
    sendAllLights();
    setLightDiffuse({0.2f, 0.2f, 0.2f, 1.0f}, 0);
    setLightSpecular({0.2f, 0.2f, 0.2f, 1.0f}, 0);
    enableLight(0);
    setLightPosition({-13.0f, 15.0f, -1999.0f}, 1);
    setLightDiffuse({0.9f, 0.9f, 0.9f, 1.0f}, 1);
    setLightSpecular({0.9f, 0.9f, 0.9f, 1.0f}, 1);
    enableLight(1);
    setLightPosition({-2.84f, 66.209f, -0.98f}, 2);
    setLightDiffuse({0.2f, 0.2f, 0.2f, 1.0f}, 2);
    setLightSpecular({0.2f, 0.2f, 0.2f, 1.0f}, 2);
    enableLight(2);
}

void placeMovingLights()
{
    const Camera *camera = getCamera();
    if (!lightSet) return;
    setLightPosition({camera->x, camera->y, camera->z}, 0);
    float a = getSunAngle() * 3.141592653f / 180.0f;
    setLightPosition({camera->x + std::sin(a) * SUN_DISTANCE, camera->y + std::cos(a) * SUN_DISTANCE, camera->z}, 1);
    sendPoint(GL_POSITION, lightSet->lights[1].position, 1);
}

void setUpFog()
{
    glFogi(GL_FOG_MODE, GL_EXP2);
    GLfloat colour[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_DENSITY, 0.002f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 10.0f);
}
