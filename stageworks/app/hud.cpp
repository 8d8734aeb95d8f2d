/**********************************************************************************************
*
*   hud - the statistics lines drawn over the view (key L)
*
**********************************************************************************************/
#include "hud.h"

#include "app_state.h"
#include "camera.h"
#include "font.h"
#include "frame_pacing.h"
#include "objects.h"
#include "scene_draw.h"

#include <array>
#include <cstdio>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const std::array<float, HUD_LINES> LINE_Y = {25.5f, 21.5f, 19.5f, 17.5f, 15.5f, 13.5f, 11.5f, -0.5f};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// This frame's duration widens the window of frame extremes
static void updateFrameWindow()
{
    int t = lastFrameDuration();
    if (t < getFrameTimeMin()) setFrameTimeMin(t);
    if (t > getFrameTimeMax()) setFrameTimeMax(t);
}

// Frames per second of a frame time; 0 for a time that gives none
static int framesPerSecond(int ms) { return ms > 0 ? 1000 / ms : 0; }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float hudLineY(int line) { return (line >= 0 && line < HUD_LINES) ? LINE_Y[line] : 0.0f; }

void formatHudLine(int line)
{
    char *text = hudText();
    const Camera *camera = getCamera();
    switch (line) {
    case 1: snprintf(text, HUD_TEXT_SIZE, "Polygons: %d", getPolygonCount()); break;
    case 2: snprintf(text, HUD_TEXT_SIZE, "Solidos: %d", object_count()); break;
    case 3: snprintf(text, HUD_TEXT_SIZE, "CamPos: %.2f %.2f %.2f", camera->x, camera->y, camera->z); break;
    case 4:
        snprintf(text, HUD_TEXT_SIZE, "CamYaw Pitch Roll: %.2f %.2f %.2f", camera->yaw, camera->pitch, camera->roll);
        break;
    case 5:
        updateFrameWindow();
        snprintf(text, HUD_TEXT_SIZE, "MAX: %d   MIN: %d", getFrameTimeMax(), getFrameTimeMin());
        break;
    case 6:
        snprintf(text, HUD_TEXT_SIZE, "FMIN: %d   FMAY %d", framesPerSecond(getFrameTimeMax()),
                 framesPerSecond(getFrameTimeMin()));
        break;
    case 7: snprintf(text, HUD_TEXT_SIZE, "Object Selected: %d", getLastHitName()); break;
    default: break;
    }
}

void drawHud()
{
    if (getHudVisible() != 1) return;
    for (int line = 0; line < HUD_LINES; line++) {
        formatHudLine(line);
        drawHudText(HUD_X, hudLineY(line), HUD_Z);
    }
}
