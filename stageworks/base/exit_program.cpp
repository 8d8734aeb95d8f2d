/**********************************************************************************************
*
*   exit_program - the exit sequence of stageworks
*
**********************************************************************************************/
#include "exit_program.h"

#include "app_state.h"
#include "camera.h"

#include <GL/freeglut.h>
#include <libxml/parser.h>
#include <libxml/xmlmemory.h>
#include <cstdio>
#include <cstdlib>

void exitProgram()
{
    setExiting(1);
    glutSetKeyRepeat(GLUT_KEY_REPEAT_DEFAULT);
    releasePointer(0, 0);
    glutLeaveGameMode();
    xmlCleanupParser();
    xmlMemoryDump();
    fflush(stdout);
    exit(0);
}
