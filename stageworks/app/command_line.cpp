/**********************************************************************************************
*
*   command_line - the options of stageworks and the scene directory it works in
*
**********************************************************************************************/
#include "command_line.h"

#include <cstring>  // Required for: strcmp(), strncmp()

#ifndef SW_VERSION
#define SW_VERSION "0.0.0"
#endif

//----------------------------------------------------------------------------------
// Global Variables Definition
//----------------------------------------------------------------------------------
static CommandLine runningOptions = {};

//----------------------------------------------------------------------------------
// Module Functions Definition
//----------------------------------------------------------------------------------
CommandLine parseCommandLine(int *argc, char **argv)
{
    CommandLine options = {};
    int kept = 1;
    bool onlyOperands = false;

    for (int i = 1; i < *argc; i++) {
        const char *arg = argv[i];
        if (!onlyOperands && strcmp(arg, "--") == 0) onlyOperands = true;
        else if (!onlyOperands && strcmp(arg, "--window") == 0) options.window = true;
        else if (!onlyOperands && strcmp(arg, "--play") == 0) options.play = true;
        else if (!onlyOperands && strcmp(arg, "--every-frame") == 0) options.everyFrame = true;
        else if (!onlyOperands && strcmp(arg, "--recover") == 0) options.recover = true;
        else if (!onlyOperands && (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0)) options.help = true;
        else if (!onlyOperands && strcmp(arg, "--version") == 0) options.version = true;
        else if (!onlyOperands && strncmp(arg, "--", 2) == 0) {
            options.error = std::string("unknown option '") + arg + "'";
        } else if (!onlyOperands && arg[0] == '-' && arg[1] != '\0') {
            // NOTE: GLUT's X options take a value (-display :1, -geometry WxH)
            argv[kept++] = argv[i];
            if (i + 1 < *argc && strcmp(arg, "-display") == 0) argv[kept++] = argv[++i];
            else if (i + 1 < *argc && strcmp(arg, "-geometry") == 0) argv[kept++] = argv[++i];
        } else if (options.sceneDir.empty() && arg[0] != '\0') {
            options.sceneDir = arg;
        } else {
            options.error = std::string("unexpected argument '") + arg + "' (only one scene directory)";
        }
    }
    *argc = kept;
    argv[kept] = nullptr;
    return options;
}

std::string commandLineHelp(const char *programName)
{
    std::string name = (programName != nullptr) ? programName : "stageworks";
    return "Usage: " + name + " [--window] [--play] [--every-frame] [--recover] [DIR]\n"
           "Edit the interactive 3D scene kept in DIR/escena.xml (DIR defaults to the current\n"
           "directory). DIR must hold the run data: escena.xml, DESCscene.dtd, arial.glf and the\n"
           "Data/ bitmaps; stageworks-launch prepares such a directory.\n"
           "\n"
           "Options:\n"
           "  --window       run in an ordinary 1024x768 window instead of full-screen\n"
           "                 game mode\n"
           "  --play         show the scene to visitors: start in play mode and stay there;\n"
           "                 nothing can be edited and the scene file is never written\n"
           "  --every-frame  draw one frame after another, as play mode does, even while\n"
           "                 nothing changes (for measuring frame rates); without it a frame\n"
           "                 is drawn only when something on the screen changes\n"
           "  --recover      load the recovery copy DIR/.escena.xml.recuperacion at start\n"
           "                 instead of offering it (F9 then writes it to escena.xml)\n"
           "  --help         print this help and exit\n"
           "  --version      print the version and exit\n"
           "\n"
           "While the scene has unsaved changes (marked '*' in the window title and on the\n"
           "screen), Escape, the exit button and the window's close button ask first: the\n"
           "same again within 5 seconds leaves. A recovery copy of the scene is kept in\n"
           "DIR/.escena.xml.recuperacion (within a minute of an edit, then at most once a\n"
           "minute, and when the program ends on SIGTERM or SIGHUP); F9 removes it. A copy\n"
           "newer than escena.xml is offered at the next start. F1 lists the keys.\n"
           "\n"
           "Progress messages go to standard output, scene file problems to standard error.\n"
           "Exit status: 0 on a normal exit, 1 when the display cannot be used, 2 on bad\n"
           "arguments.\n";
}

std::string commandLineVersion()
{
    return std::string("stageworks ") + SW_VERSION;
}

const CommandLine &getCommandLine() { return runningOptions; }
void setCommandLine(const CommandLine &options) { runningOptions = options; }
