/**********************************************************************************************
*
*   gl_context - a real OpenGL context for integration tests that call the libraries directly
*
**********************************************************************************************/
#include "gl_context.h"

#include <GL/freeglut.h>
#include <cstdlib>

static xdriver::XServer server;
static bool opened = false;

static void noDisplay() {}

bool openGlContext(bool gameMode)
{
    if (opened) return true;
    xdriver::setScriptsDir(std::string(SW_SOURCE_DIR) + "/scripts");
    if (!server.start(false)) return false;
    setenv("DISPLAY", server.display.c_str(), 1);
    int argc = 1;
    char name[] = "gltest";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    if (gameMode) {
        glutGameModeString("1024x768:32@75");
        glutEnterGameMode();
    } else {
        glutInitWindowSize(1024, 768);
        glutInitWindowPosition(0, 0);
        glutCreateWindow("gltest");
    }
    glutDisplayFunc(noDisplay);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    pumpGlut();
    opened = true;
    return true;
}

xdriver::XServer &glServer() { return server; }

void pumpGlut() { glutMainLoopEvent(); }
