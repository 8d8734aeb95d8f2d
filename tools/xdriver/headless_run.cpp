/**********************************************************************************************
*
*   headless_run - run a program on a private X server and keep a screenshot of it
*
*   Usage: headless_run [--xvfb] [--seconds N] [--shot FILE.png] [--ready TEXT] -- PROGRAM [ARGS]
*
*   Starts the private X server, runs the program in the current directory, waits until its
*   standard output shows the ready text (if given), lets it draw for N seconds, writes the
*   screenshot, presses Escape and stops everything it started. The program's output is
*   passed through; the exit status is the program's (or 1 when something failed here).
*
**********************************************************************************************/
#include "xdriver.h"

#include <X11/keysym.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <unistd.h>

int main(int argc, char **argv)
{
    bool xvfb = false;
    double seconds = 3.0;
    std::string shot, ready;
    std::vector<std::string> program;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--xvfb") xvfb = true;
        else if (arg == "--seconds" && i + 1 < argc) seconds = atof(argv[++i]);
        else if (arg == "--shot" && i + 1 < argc) shot = argv[++i];
        else if (arg == "--ready" && i + 1 < argc) ready = argv[++i];
        else if (arg == "--") { for (i++; i < argc; i++) program.push_back(argv[i]); }
        else { fprintf(stderr, "headless_run: unknown argument %s\n", arg.c_str()); return 1; }
    }
    if (program.empty()) {
        fprintf(stderr, "usage: headless_run [--xvfb] [--seconds N] [--shot FILE] [--ready TEXT] -- PROGRAM [ARGS]\n");
        return 1;
    }

    xdriver::XServer server;
    if (!server.start(xvfb)) {
        fprintf(stderr, "headless_run: could not start the private X server\n");
        return 1;
    }
    fprintf(stderr, "headless_run: private X server on %s\n", server.display.c_str());

    xdriver::ChildProcess child;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr || !child.spawn(program, cwd, server.display)) {
        fprintf(stderr, "headless_run: could not start %s\n", program[0].c_str());
        return 1;
    }

    size_t shownOut = 0, shownErr = 0;
    auto passThrough = [&]() {
        fwrite(child.out.data() + shownOut, 1, child.out.size() - shownOut, stdout);
        fwrite(child.err.data() + shownErr, 1, child.err.size() - shownErr, stderr);
        shownOut = child.out.size();
        shownErr = child.err.size();
        fflush(stdout);
        fflush(stderr);
    };

    if (!ready.empty() && !child.waitForOutput(ready, 60000)) {
        passThrough();
        if (child.exited) return child.exitStatus;
        fprintf(stderr, "headless_run: the program never printed \"%s\"\n", ready.c_str());
        return 1;
    }
    long end = xdriver::nowMs() + (long)(seconds * 1000);
    while (xdriver::nowMs() < end && !child.exited) {
        child.pump(50);
        passThrough();
    }
    if (child.exited) {
        passThrough();
        return child.exitStatus;
    }

    xdriver::XClient client;
    if (!shot.empty() && client.open(server.display)) {
        xdriver::Image image = client.screenshot();
        if (xdriver::writePng(image, shot)) printf("Screenshot: %s\n", shot.c_str());
        else fprintf(stderr, "headless_run: could not write %s\n", shot.c_str());
        client.tap(XK_Escape);
    }
    if (!child.waitExit(5000)) child.kill();
    passThrough();
    return child.exitStatus;
}
