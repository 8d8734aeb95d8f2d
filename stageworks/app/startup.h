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

// The one-time OpenGL set-up of the light step
void setUpOpenGL();
