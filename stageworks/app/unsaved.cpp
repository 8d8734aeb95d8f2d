/**********************************************************************************************
*
*   unsaved - whether the running scene differs from escena.xml as last loaded or saved
*
**********************************************************************************************/
#include "unsaved.h"

#include "command_line.h"
#include "edit_history.h"
#include "font.h"
#include "redraw.h"
#include "scene_file.h"

#include <GL/freeglut.h>

#include <csignal>   // Required for: sig_atomic_t
#include <unistd.h>  // Required for: getcwd()

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------

// Where the marker stands: the top right corner, in the HUD's plane
static const float MARKER_X = 12.0f;
static const float MARKER_Y = 27.5f;
static const float MARKER_Z = -70.0f;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static long long savedPosition = 0;
static int shownUnsaved = -1;               // what the title says (-1: not set yet)
static volatile sig_atomic_t unsavedNow = 0;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The working directory (the scene directory), "." when it cannot be told
static std::string sceneDirectory()
{
    char directory[4096];
    return getcwd(directory, sizeof directory) != nullptr ? directory : ".";
}

// Brings the title, the marker and the signals' copy up to date with the history
static void followHistory()
{
    const int unsaved = sceneUnsaved();
    unsavedNow = unsaved;
    if (unsaved == shownUnsaved) return;
    shownUnsaved = unsaved;
    if (getCommandLine().window && glutGetWindow() != 0)
        glutSetWindowTitle(sceneWindowTitle(unsaved != 0, sceneDirectory()).c_str());
    requestRedraw();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void watchUnsavedState()
{
    setHistoryChangedHook(followHistory);
    savedPosition = historyPosition();
    followHistory();
}

void markSceneSaved()
{
    savedPosition = historyPosition();
    followHistory();
}

int sceneUnsaved() { return historyPosition() != savedPosition ? 1 : 0; }

bool unsavedForSignals() { return unsavedNow != 0; }

std::string sceneWindowTitle(bool unsaved, const std::string &directory)
{
    return std::string(SCENE_FILE_NAME) + (unsaved ? "*" : "") + " - stageworks - " + directory;
}

void drawUnsavedMarker()
{
    if (!sceneUnsaved()) return;
    glColor3f(1.0f, 0.6f, 0.3f);
    drawText(UNSAVED_MARKER_TEXT, MARKER_X, MARKER_Y, MARKER_Z, 1000.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
}
