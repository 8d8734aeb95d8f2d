/**********************************************************************************************
*
*   render - the display callback: one frame of stageworks
*
**********************************************************************************************/
#include "render.h"

#include "app_state.h"
#include "frame_pacing.h"

#include <GL/freeglut.h>

void display()
{
    glClearColor(0.0f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (getExiting()) return;

    advanceStatisticsWindow();
    markFrameStart();
    waitFrameMinimum();
    glutSwapBuffers();
}

void idle() { glutPostRedisplay(); }
