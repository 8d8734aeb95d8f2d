/**********************************************************************************************
*
*   render - the display callback: one frame of stageworks
*
*   A frame: camera and lights, the selection pass of a pending scene pick (nothing of it is
*   shown), the scene objects with the sky box and the sun behind them (with a panel open the
*   sky comes first), the minimum frame time, one step of the running events, the open menu or
*   event editor page (with its panel pick), the HUD with the unsaved marker, the recovery
*   offer, the notice line and the help overlay, and the buffer swap. A close request of the
*   window manager is handed to the leave guard as the frame begins.
*
*   Frames are drawn on demand (redraw): in play mode, with --every-frame and while the
*   camera glides, each frame asks for the next one.
*
**********************************************************************************************/
#include "render.h"

#include "app_state.h"
#include "camera.h"
#include "command_line.h"
#include "commands.h"
#include "edit_history.h"
#include "font.h"
#include "frame_pacing.h"
#include "help_overlay.h"
#include "hud.h"
#include "leave_guard.h"
#include "lights.h"
#include "picking.h"
#include "recovery_offer.h"
#include "redraw.h"
#include "scene_draw.h"
#include "sky.h"
#include "unsaved.h"
#include "window_close.h"

#include <GL/freeglut.h>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static bool (*frameDoneHook)() = nullptr;   // a test's probe, when one runs

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// True when the camera glides or a movement key is held
static bool cameraMoving()
{
    const Camera *camera = getCamera();
    return camera->forwardSpeed != 0.0f || camera->strafeSpeed != 0.0f || getMoveLeft() || getMoveRight() ||
           getMoveForward() || getMoveBack();
}

// Identity texture matrix, back to the modelview matrix
static void resetTextureMatrix()
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

// True while frames follow each other without being asked for: in play mode, with
// --every-frame, and while the camera still glides
static bool drawsEveryFrame() { return getPlayMode() == 1 || getCommandLine().everyFrame || cameraMoving(); }

// The sky box and the sun
static void drawSkyAndSun()
{
    static const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glPushMatrix();
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    resetTextureMatrix();
    drawSkyBox(SKY_BOX_EDGE);
    glPopMatrix();

    glPushMatrix();
    drawSun();
    glPopMatrix();
}

// The selection pass of a scene pick begun by a click: it draws nothing on the screen, and the
// frame is then drawn as usual, so a click never shows a frame of the clear colour alone
static void carryOutScenePick()
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawScene();
    endScenePick();
    setPickPending(0);
}

// The sky and the sun behind the scene's objects; the objects after them are fogged again
static void drawSkyBehindScene()
{
    drawSkyAndSun();
    glEnable(GL_FOG);
}

// Step 13: the open panel, or its selection pass when a panel pick is pending
static void drawPanelOrPick()
{
    resetTextureMatrix();
    if (getPickPending() == 0) {
        drawEditorScreen(0);
        return;
    }
    // NOTE: with a chooser over the event page the editor screen starts the pass itself,
    // after the page, so that only the chooser's rows and arrows can be hit
    if (!editorScreenStartsPick(getEditorState())) beginPick(getPanelPickX(), getPanelPickY());
    drawEditorScreen(1);
    endPanelPick();
    setPickPending(0);
}

// Step 14: with a panel open the scene is drawn behind it and the panel again on top
static void drawSceneUnderPanel()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(getFieldOfView(), FIXED_ASPECT, CAMERA_NEAR, CAMERA_FAR);
    glMatrixMode(GL_MODELVIEW);
    glRenderMode(GL_RENDER);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_FOG);
    updateCamera();
    drawScene();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glLoadIdentity();
    resetTextureMatrix();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    drawEditorScreen(0);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void display()
{
    beginRedrawnFrame();
    markFrameBegin();
    // NOTE: the window manager's close button, kept from GLUT, goes through the leave guard
    if (getExiting() == 0 && takeCloseRequest()) requestLeave(LEAVE_WINDOW_CLOSE);
    if (getExiting()) {
        glClearColor(0.0f, 0.5f, 0.75f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    if (cameraMoving()) updateCamera();
    placeMovingLights();
    // NOTE: a panel pick asked for by pointer motion waits for this frame; when a click closed
    // the menu in between there is nothing left to pick, and taking it for a scene pick
    // (none was started) would find no object and start looking around
    if (getPickPending() == 1 && getEditorState() == 0 && !pickActive()) setPickPending(0);
    // NOTE: the pick comes before the clear: a clear in selection mode clears nothing
    if (getPickPending() == 1 && getEditorState() == 0) carryOutScenePick();
    glClearColor(0.0f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // NOTE: with the scene in front, the sky goes behind its opaque objects (drawScene), so
    // that a software renderer shades only the sky that shows
    if (getEditorState() != 0) {
        drawSkyAndSun();
        glFlush();
    }

    advanceStatisticsWindow();
    advanceSunClock(sunInView());
    markFrameStart();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    if (getEditorState() == 0) {
        // NOTE: what the sky left on when it was drawn before the objects
        glEnable(GL_LIGHTING);
        glEnable(GL_FOG);
        drawScene(drawSkyBehindScene);
    }

    // NOTE: the flush hands the frame so far to the GL, which can draw it while we wait
    glFlush();
    waitFrameMinimum();
    if (getPlayMode() == 1) {
        setCursorShape(GLUT_CURSOR_CROSSHAIR);
        stepPlayCommand();
    }

    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);

    if (getEditorState() >= 1) drawPanelOrPick();
    if (getEditorState() >= 1 && getPickPending() == 0) drawSceneUnderPanel();

    glColor3f(1.0f, 1.0f, 1.0f);
    beginText();
    if (getHudVisible() == 1) drawHud();
    drawUnsavedMarker();
    drawRecoveryOffer();
    drawHistoryNotice();
    drawHelp();
    endText();

    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glutSwapBuffers();
    const bool goOn = frameDoneHook == nullptr || frameDoneHook();
    if (goOn && drawsEveryFrame()) requestRedraw();
}

void setFrameDoneHook(bool (*hook)()) { frameDoneHook = hook; }
