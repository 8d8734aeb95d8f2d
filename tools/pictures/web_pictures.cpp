/**********************************************************************************************
*
*   web_pictures - the README's picture of the published page beside the same view in
*                  stageworks
*
*   Usage: web_pictures --program STAGEWORKS --publisher STAGEWORKS-PUBLISH --rundata DIR
*                       --source ROOT --out DIR
*
*   Publishes a scratch copy of the run data (the demo scene), starts `stageworks --play` on
*   it on the private X server with the animation clock fixed and its test probe on, freezes
*   its picture at the start view and takes it; then the page, in headless Chromium, is
*   brought to the very same state by its own engine (tests/web/page_views.mjs through
*   scripts/web-tools.sh) and photographed. The picture is the page (left) beside stageworks
*   (right), each at half size, written as DIR/web-page-beside-player.png.
*
*   DEPENDENCIES: xdriver
*
**********************************************************************************************/
#include "xdriver.h"

#include <cstdio>
#include <cstdlib>  // Required for: realpath()
#include <cstring>
#include <fstream>
#include <string>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int GAP = 12;                                   // between the two pictures
static const uint8_t GAP_COLOUR[3] = {255, 255, 255};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Half the size, each pixel the mean of a 2 x 2 block
static xdriver::Image halved(const xdriver::Image &image)
{
    xdriver::Image out;
    out.width = image.width / 2;
    out.height = image.height / 2;
    out.rgb.resize((size_t)out.width * out.height * 3);
    for (int y = 0; y < out.height; y++)
        for (int x = 0; x < out.width; x++)
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int k = 0; k < 4; k++) sum += image.pixel(2 * x + k % 2, 2 * y + k / 2)[c];
                out.rgb[((size_t)y * out.width + x) * 3 + c] = (uint8_t)((sum + 2) / 4);
            }
    return out;
}

// left | gap | right, the two of the same height
static xdriver::Image besideEachOther(const xdriver::Image &left, const xdriver::Image &right)
{
    xdriver::Image out;
    out.width = left.width + GAP + right.width;
    out.height = left.height;
    out.rgb.resize((size_t)out.width * out.height * 3);
    for (int y = 0; y < out.height; y++)
        for (int x = 0; x < out.width; x++) {
            const uint8_t *p = x < left.width ? left.pixel(x, y)
                               : x < left.width + GAP ? GAP_COLOUR
                                                      : right.pixel(x - left.width - GAP, y);
            memcpy(&out.rgb[((size_t)y * out.width + x) * 3], p, 3);
        }
    return out;
}

// Runs a program to its end; its exit status (-1 when it did not end in time)
static int runToEnd(const std::vector<std::string> &argv, const std::string &cwd, std::string &output)
{
    xdriver::ChildProcess child;
    if (!child.spawn(argv, cwd, "")) return -1;
    const bool ended = child.waitExit(300000);
    output = child.out + child.err;
    return ended ? child.exitStatus : -1;
}

//----------------------------------------------------------------------------------
// Main entry point
//----------------------------------------------------------------------------------
int main(int argc, char **argv)
{
    std::string program, publisher, rundata, source, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--program") program = argv[i + 1];
        else if (option == "--publisher") publisher = argv[i + 1];
        else if (option == "--rundata") rundata = argv[i + 1];
        else if (option == "--source") source = argv[i + 1];
        else if (option == "--out") out = argv[i + 1];
    }
    if (program.empty() || publisher.empty() || rundata.empty() || source.empty() || out.empty()) {
        fprintf(stderr, "usage: web_pictures --program STAGEWORKS --publisher STAGEWORKS-PUBLISH --rundata DIR "
                        "--source ROOT --out DIR\n");
        return 2;
    }
    // NOTE: the programs run in other directories
    for (std::string *path : {&program, &publisher, &rundata, &source, &out}) {
        char *full = realpath(path->c_str(), nullptr);
        if (full != nullptr) *path = full;
        free(full);
    }
    const std::string work = xdriver::makeTempDir("web-pictures");
    const std::string scene = work + "/scene", folder = work + "/web";
    std::string output;
    if (work.empty() || !xdriver::copyTree(rundata, scene) || runToEnd({publisher, scene, folder}, scene, output) != 0) {
        fprintf(stderr, "web_pictures: the demo could not be published\n%s", output.c_str());
        return 1;
    }

    // stageworks --play, frozen at its start view by its test probe
    xdriver::setScriptsDir(source + "/scripts");
    xdriver::XServer server;
    xdriver::XClient input;
    xdriver::ChildProcess app;
    const std::string probe = work + "/probe.state";
    if (!server.start() || !input.open(server.display) ||
        !app.spawn({program, "--play"}, scene, server.display, {"SW_TEST_CLOCK=0", "SW_TEST_PROBE=" + probe}) ||
        !app.waitForOutput(" MainLoop started...\n", 120000)) {
        fprintf(stderr, "web_pictures: stageworks did not start\n%s%s", app.out.c_str(), app.err.c_str());
        return 1;
    }
    input.moveMouse(512, 384);
    std::string state;
    xdriver::Image player;
    {
        std::ofstream request(probe + ".freeze");
        request << "picture";
    }
    const bool frozen = xdriver::waitUntil([&] {
        app.pump(0);
        return xdriver::readFile(probe, state) && state.rfind("request picture\n", 0) == 0;
    }, 60000, 50);
    if (frozen) player = input.screenshot();
    app.kill();
    if (!frozen || player.width != 1024 || player.height != 768) {
        fprintf(stderr, "web_pictures: stageworks showed no start view\n");
        return 1;
    }

    // The page brought to the same state
    const int status = runToEnd({"/bin/bash", source + "/scripts/web-tools.sh", "page_views.mjs", folder, work, probe},
                                source + "/tests/web", output);
    xdriver::Image page;
    std::string error;
    if (status != 0 || !xdriver::readPng(work + "/page_start.png", page, &error) || page.width != 1024 ||
        page.height != 768) {
        fprintf(stderr, "web_pictures: the page showed no start view\n%s%s\n", output.c_str(), error.c_str());
        return 1;
    }
    const std::string file = out + "/web-page-beside-player.png";
    if (!xdriver::writePng(besideEachOther(halved(page), halved(player)), file)) {
        fprintf(stderr, "web_pictures: cannot write %s\n", file.c_str());
        return 1;
    }
    xdriver::removeTree(work);
    printf("%s\n", file.c_str());
    return 0;
}
