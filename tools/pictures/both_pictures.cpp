/**********************************************************************************************
*
*   both_pictures - the README's picture of stageworks in its window beside matforge
*
*   Usage: both_pictures --program STAGEWORKS --rundata DIR --out DIR
*
*   Starts a private Xvfb server with a screen wide enough for both programs, runs
*   `stageworks --window` on a scratch copy of the run data (its window at the top left, as an
*   X server without a window manager places it) and matforge's main window, in this process
*   on Qt's xcb platform, to its right on the same scene with the red material selected. The
*   picture is the part of the screen the two windows cover, written as
*   DIR/both-programs.png. stageworks is ended with Escape.
*
*   DEPENDENCIES: Qt Widgets and Test, matforge's main window, xdriver
*
**********************************************************************************************/
#include "form1.h"
#include "guion_dialogos.h"
#include "matforge_steps.h"
#include "xdriver.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <X11/keysym.h>  // Required for: XK_Escape

#include <algorithm>
#include <cstdio>
#include <cstdlib>  // Required for: realpath(), setenv()
#include <string>
#include <unordered_set>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const char *SCREEN = "1700x800x24";
static const int STAGEWORKS_WIDTH = 1024, STAGEWORKS_HEIGHT = 768;
static const int GAP = 12;   // screen between the two windows

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// True when the stageworks window shows a drawn scene (many colours, not a blank window)
static bool sceneDrawn(const xdriver::Image &screen)
{
    if (screen.width < STAGEWORKS_WIDTH || screen.height < STAGEWORKS_HEIGHT) return false;
    std::unordered_set<uint32_t> seen;
    for (int y = 0; y < STAGEWORKS_HEIGHT && seen.size() < 256; y += 7)
        for (int x = 0; x < STAGEWORKS_WIDTH; x += 7) {
            const uint8_t *p = screen.pixel(x, y);
            seen.insert((uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2]);
        }
    return seen.size() >= 256;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int main(int argc, char **argv)
{
    PictureArgs args;
    if (!readPictureArgs(argc, argv, true, "both_pictures --program STAGEWORKS --rundata DIR --out DIR", args)) return 2;
    std::string program = args.program;
    const std::string &rundata = args.rundata, &out = args.out;

    // NOTE: stageworks runs in the scratch directory: a relative path would no longer name it
    char *absolute = realpath(program.c_str(), nullptr);
    if (absolute != nullptr) program = absolute;
    free(absolute);

    setenv("XVFB_SCREEN", SCREEN, 1);
    xdriver::XServer server;
    xdriver::XClient client;
    std::string scratch;
    if (!startPictureRun(true, rundata, "both-pictures", server, client, scratch)) return 1;

    long started = xdriver::nowMs();
    xdriver::ChildProcess stageworks;
    check(stageworks.spawn({program, "--window"}, scratch, server.display), "stageworks did not start");
    if (!check(stageworks.waitForOutput(" MainLoop started...\n", 60000), "stageworks did not reach its main loop"))
        fprintf(stderr, "%s%s", stageworks.out.c_str(), stageworks.err.c_str());
    client.moveMouse(STAGEWORKS_WIDTH / 2, STAGEWORKS_HEIGHT / 2);
    check(xdriver::waitUntil([&] { stageworks.pump(10); return sceneDrawn(client.screenshot()); }, 30000, 100),
          "stageworks did not draw its scene");

    useXcbOn(server.display, scratch);
    int written = 0;
    {
        int qtArgc = 1;
        char *qtArgv[] = {argv[0], nullptr};
        QApplication app(qtArgc, qtArgv);
        GuionDialogos dialogos(QString::fromStdString(scratch + "/escena.xml"));
        Form1 ventana(&dialogos);
        showWithScene(ventana, STAGEWORKS_WIDTH + GAP);
        check(selectRow(ventana.findChild<QListWidget *>("List1_0"), "rojo"), "no material rojo");
        QTest::qWait(600);
        client.sync();
        const int width = STAGEWORKS_WIDTH + GAP + ventana.frameGeometry().width();
        const int height = std::max(STAGEWORKS_HEIGHT, ventana.frameGeometry().height());
        const std::string file = out + "/both-programs.png";
        if (check(xdriver::writePng(cropScreen(client.screenshot(), 0, 0, width, height), file), "the picture could not be written")) {
            printf("%s\n", file.c_str());
            written++;
        }
        ventana.close();
        QTest::qWait(50);
    }

    client.moveMouse(STAGEWORKS_WIDTH / 2, STAGEWORKS_HEIGHT / 2);
    client.tap(XK_Escape);
    check(stageworks.waitExit(30000) && stageworks.exitStatus == 0, "stageworks did not end with Escape");
    stageworks.kill();
    xdriver::removeTree(scratch);
    client.close();
    server.stop();
    fprintf(stderr, "pictures: %d picture of both programs in %.1f s, %d failed steps\n", written,
            (xdriver::nowMs() - started) / 1000.0, pictureFailures);
    return pictureFailures == 0 ? 0 : 1;
}
