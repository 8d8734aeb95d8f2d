/**********************************************************************************************
*
*   exit_program - the exit sequence of stageworks
*
*   The only way out of the GLUT loop: marks the program as exiting, restores key repeat,
*   releases the pointer, leaves game mode, cleans up the XML library and ends with status 0.
*
*   DEPENDENCIES: app_state, camera, GLUT, libxml2
*
**********************************************************************************************/
#pragma once

// Runs the exit sequence; does not return
[[noreturn]] void exitProgram();
