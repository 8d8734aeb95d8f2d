/**********************************************************************************************
*
*   stageworks_run - the real stageworks program on a private X server, for end-to-end tests
*
*   Prepares a working directory from the generated run data, starts the program there with
*   its output captured, and offers XTest input and screenshots through xdriver.
*
**********************************************************************************************/
#pragma once

#include "xdriver.h"

#include <string>
#include <vector>

struct StageworksRun {
    xdriver::XServer server;
    xdriver::ChildProcess app;
    xdriver::XClient input;
    std::string workDir;

    // Private X server (Xorg dummy, or Xvfb) and an input connection to it
    bool startServer(bool xvfb = false);

    // A fresh working directory holding the run data (scene, DTD, Data/, font)
    bool prepareWorkDir();

    // Starts stageworks in the working directory, with the options given
    bool launch(const std::vector<std::string> &options = {});

    // Waits for the main loop message, then for the game-mode window to be drawn
    bool waitReady(int timeoutMs = 60000);

    // Path of a file in the working directory
    std::string path(const std::string &name) const { return workDir + "/" + name; }

    // Writes a screenshot under the build directory (kept for people to look at)
    std::string saveScreenshot(const xdriver::Image &image, const std::string &name) const;

    ~StageworksRun();
};

// Order-preserving check: every line appears in text after the previous one
bool appearInOrder(const std::string &text, const char *const *lines, int count);
