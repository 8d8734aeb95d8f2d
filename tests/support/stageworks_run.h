/**********************************************************************************************
*
*   stageworks_run - the real stageworks program on a private X server, for end-to-end tests
*
*   Prepares a working directory from the generated run data, starts the program there with
*   its output captured, and offers XTest input and screenshots through xdriver; also the
*   text helpers the tests use on the scene file it writes.
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

    // All of the above, then the pointer to the middle of the screen
    bool start(const std::vector<std::string> &options = {}, bool xvfb = false);

    // Screenshots of the 1024x768 screen until the condition holds for one (kept in shot);
    // false at the time-out or once the program has ended
    template <typename Condition>
    bool screenUntil(xdriver::Image &shot, Condition condition, int timeoutMs, int stepMs = 40)
    {
        return xdriver::waitUntil(
            [&] {
                app.pump(0);
                if (app.exited) return false;
                shot = input.screenshot();
                return shot.width == 1024 && shot.height == 768 && condition(shot);
            },
            timeoutMs, stepMs);
    }

    // Taps F9 and waits until escena.xml is written anew, complete; its text in text
    bool saveWithF9(std::string &text, int timeoutMs = 10000);

    // Path of a file in the working directory
    std::string path(const std::string &name) const { return workDir + "/" + name; }

    // Writes a screenshot under the build directory (kept for people to look at)
    std::string saveScreenshot(const xdriver::Image &image, const std::string &name) const;

    ~StageworksRun();
};

// How many times what stands in text
size_t occurrences(const std::string &text, const std::string &what);

// The whole file, or an empty text when it cannot be read
std::string readText(const std::string &path);

// Order-preserving check: every line appears in text after the previous one
bool appearInOrder(const std::string &text, const char *const *lines, int count);
