/**********************************************************************************************
*
*   render - the display callback: one frame of stageworks
*
**********************************************************************************************/
#include "render.h"

#include "app_state.h"
#include "font.h"
#include "frame_pacing.h"
#include "hud.h"

#include <GL/freeglut.h>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static int polygonCount = 0;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void display()
{
    glClearColor(0.0f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (getExiting()) return;

    advanceStatisticsWindow();
    markFrameStart();
    waitFrameMinimum();

    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);

    glColor3f(1.0f, 1.0f, 1.0f);
    beginText();
    if (getHudVisible() == 1) drawHud();
    endText();

    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glutSwapBuffers();
}

void idle() { glutPostRedisplay(); }

int getPolygonCount() { return polygonCount; }
