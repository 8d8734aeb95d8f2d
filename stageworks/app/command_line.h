/**********************************************************************************************
*
*   command_line - the options of stageworks and the scene directory it works in
*
*   Options are read before GLUT sees the arguments, so --help and --version answer without a
*   display. Arguments that begin with a single '-' (the X options of GLUT, such as -display)
*   are left for glutInit.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Types and Structures Definition
//----------------------------------------------------------------------------------
struct CommandLine {
    bool window;            // --window: an ordinary window instead of game mode
    bool play;              // --play: start in play mode and stay there (visitors' player)
    bool everyFrame;        // --every-frame: draw frames one after another, as in play
    bool recover;           // --recover: load the recovery copy of DIR at start
    bool help;              // --help
    bool version;           // --version
    std::string sceneDir;   // DIR, empty for the current directory
    std::string error;      // why the arguments were refused, empty when they were taken
};

//----------------------------------------------------------------------------------
// Module Functions Declaration
//----------------------------------------------------------------------------------

// Reads the options and removes them from argv, leaving GLUT's own arguments in place
CommandLine parseCommandLine(int *argc, char **argv);

// The options of the program, as --help prints them
std::string commandLineHelp(const char *programName);

// The one line --version prints
std::string commandLineVersion();

// Options of the running program (set once at start-up)
const CommandLine &getCommandLine();
void setCommandLine(const CommandLine &options);
