/**********************************************************************************************
*
*   bindings - the GLUT input callbacks of stageworks
*
*   DEPENDENCIES: base
*
**********************************************************************************************/
#pragma once

void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);
void specialUp(int key, int x, int y);
void mouse(int button, int state, int x, int y);
void motion(int x, int y);
