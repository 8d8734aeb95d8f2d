/**********************************************************************************************
*
*   bindings - the GLUT input callbacks of stageworks
*
**********************************************************************************************/
#include "bindings.h"

#include "exit_program.h"

void keyboard(unsigned char key, int, int)
{
    if (key == 27) exitProgram();
}

void special(int, int, int) {}
void specialUp(int, int, int) {}
void mouse(int, int, int, int) {}
void motion(int, int) {}
