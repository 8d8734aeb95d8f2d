/**********************************************************************************************
*
*   picture_steps - the steps the picture drivers share
*
*   Reading the command line (--program, --rundata, --out), counting and reporting the steps
*   that failed, the private X server with a scratch copy of the run data, and cutting a
*   rectangle out of a screenshot.
*
*   DEPENDENCIES: xdriver
*
**********************************************************************************************/
#pragma once

#include "xdriver.h"

#include <algorithm>
#include <cstdio>   // Required for: fprintf()
#include <string>

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------
// The command line of a driver
struct PictureArgs {
    std::string program, rundata, out;
};

inline int pictureFailures = 0;  // steps that did not show what they should

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Reads --program, --rundata and --out; false (after the usage line) when one the driver
// needs is missing
inline bool readPictureArgs(int argc, char **argv, bool needsProgram, const char *usage, PictureArgs &args)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--program") args.program = argv[i + 1];
        else if (arg == "--rundata") args.rundata = argv[i + 1];
        else if (arg == "--out") args.out = argv[i + 1];
    }
    if ((needsProgram && args.program.empty()) || args.rundata.empty() || args.out.empty()) {
        fprintf(stderr, "usage: %s\n", usage);
        return false;
    }
    return true;
}

// A step that did not show what it should: counted, reported, and the run goes on
inline bool check(bool ok, const std::string &what)
{
    if (!ok) {
        pictureFailures++;
        fprintf(stderr, "pictures: %s\n", what.c_str());
    }
    return ok;
}

// The private X server, a connection to it and a scratch copy of the run data; false (the
// failed step reported) when one of them could not be had
inline bool startPictureRun(bool xvfb, const std::string &rundata, const char *prefix, xdriver::XServer &server,
                            xdriver::XClient &client, std::string &scratch)
{
    if (!check(server.start(xvfb), "could not start the private X server")) return false;
    if (!check(client.open(server.display), "could not connect to the private X server")) return false;
    scratch = xdriver::makeTempDir(prefix);
    return check(!scratch.empty() && xdriver::copyTree(rundata, scratch), "could not copy the run data");
}

// The rectangle of a screenshot at (x, y), clipped to the screen (empty when nothing is left)
inline xdriver::Image cropScreen(const xdriver::Image &screen, int x, int y, int width, int height)
{
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, screen.width), y1 = std::min(y + height, screen.height);
    xdriver::Image part;
    if (x1 <= x0 || y1 <= y0) return part;
    part.width = x1 - x0;
    part.height = y1 - y0;
    part.rgb.reserve((size_t)part.width * part.height * 3);
    for (int row = y0; row < y1; row++) {
        const uint8_t *pixels = screen.pixel(x0, row);
        part.rgb.insert(part.rgb.end(), pixels, pixels + (size_t)part.width * 3);
    }
    return part;
}
