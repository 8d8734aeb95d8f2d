/**********************************************************************************************
*
*   startup - entry, start-up order and the one-time OpenGL set-up of stageworks
*
*   DEPENDENCIES: every library of stageworks (this is the top of the graph)
*
**********************************************************************************************/
#pragma once

// Prints the credits banner
void printBanner();

// Runs the start-up steps and enters the GLUT main loop; never returns normally
int stageworksMain(int argc, char **argv);

// Hands the scene pick the commands and the drag a hit starts (the start-up does it before the
// main loop; tests that pick through whole frames do it too)
void registerPickHooks();

// The one-time OpenGL set-up of the light step
void setUpOpenGL();
