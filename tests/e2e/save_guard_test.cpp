// What F9 may write over, in the real stageworks: after a start-up load that failed, F9 saves and
// keeps the file that failed beside it, saying where; with two stageworks on one directory, F9
// in one after the other saved an object asks on screen first and writes nothing, and a second
// F9 within the time given writes, keeping the other's file beside it: no object is lost
// either way. A read-only escena.xml is not written and the screen says why.
#include "stageworks_run.h"
#include "start_view.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

using namespace start_view;

namespace {

// Where the feedback line stands: below the statistics, at the left
const Box NOTICE = {30, 692, 1000, 737};

long yellowIn(const xdriver::Image &s, Box box)
{
    return countIn(box, [&](int x, int y) {
        const uint8_t *p = s.pixel(x, y);
        return p[0] > 200 && p[1] > 200 && p[2] < 150;
    });
}

void writeText(const std::string &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

bool fileExists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// Waits until the program's standard output holds text after position from
bool printed(StageworksRun &run, const std::string &text, size_t from = 0)
{
    return xdriver::waitUntil(
        [&] {
            run.app.pump(0);
            return run.app.out.find(text, from) != std::string::npos;
        },
        20000, 40);
}

// The notice stands in the feedback line of the screen
bool noticeShows(StageworksRun &run, const std::string &name)
{
    xdriver::Image shot;
    const bool shown = run.screenUntil(shot, [](const xdriver::Image &s) { return yellowIn(s, NOTICE) > 300; }, 10000);
    run.saveScreenshot(shot, name);
    return shown;
}

}  // namespace

TEST(SaveGuard, AfterAFailedLoadF9KeepsTheFileThatFailedAndSaysWhere)
{
    StageworksRun run;
    ASSERT_TRUE(run.startServer() && run.prepareWorkDir());
    const std::string scene = run.path("escena.xml");
    std::string broken = readText(scene);
    broken.insert(broken.find("<primitiva"), "<primitiva>");   // a hand edit gone wrong
    writeText(scene, broken);
    ASSERT_TRUE(run.launch() && run.waitReady()) << run.app.out << run.app.err;
    EXPECT_NE(run.app.err.find("Failed to"), std::string::npos) << run.app.err;

    run.input.tap(XK_e);   // something of its own: a sphere
    run.input.tap(XK_F9);
    ASSERT_TRUE(printed(run, "Guardado. El escena.xml que no se pudo cargar queda en escena.xml.no-cargado"))
        << run.app.out << run.app.err;
    EXPECT_TRUE(noticeShows(run, "save_after_failed_load"));
    EXPECT_EQ(readText(run.path("escena.xml.no-cargado")), broken);
    EXPECT_EQ(occurrences(readText(scene), "<primitiva"), 1u);

    // the file is the program's own now: F9 writes without another copy
    run.input.tap(XK_e);
    run.input.tap(XK_F9);
    EXPECT_TRUE(xdriver::waitUntil([&] { return occurrences(readText(scene), "<primitiva") == 2; }, 20000, 50));
    EXPECT_FALSE(fileExists(run.path("escena.xml.no-cargado.2")));

    // a read-only file is not written, and the screen says why
    ASSERT_EQ(chmod(scene.c_str(), 0444), 0);
    const std::string kept = readText(scene);
    const size_t seen = run.app.out.size();
    run.input.tap(XK_F9);
    EXPECT_TRUE(printed(run, "No guardado: escena.xml: el fichero es de solo lectura", seen)) << run.app.out;
    EXPECT_EQ(readText(scene), kept);
    run.input.tap(XK_Escape);
    EXPECT_TRUE(run.app.waitExit(30000));
}

TEST(SaveGuard, TwoStageworksOnOneDirectoryNeverDropEachOthersObjectsUnasked)
{
    StageworksRun first, second;
    ASSERT_TRUE(first.start()) << first.app.out << first.app.err;
    // the second program works in the very same directory, in a window on its own screen
    ASSERT_TRUE(second.startServer(/*xvfb=*/true));
    second.workDir = first.workDir;
    ASSERT_TRUE(second.launch({"--window"}) && second.waitReady()) << second.app.out << second.app.err;
    const std::string scene = first.path("escena.xml");
    const size_t objects = occurrences(readText(scene), "<primitiva");

    // the second one makes a sphere and saves
    second.input.tap(XK_e);
    second.input.tap(XK_F9);
    ASSERT_TRUE(xdriver::waitUntil([&] { return occurrences(readText(scene), "<primitiva") == objects + 1; }, 20000, 50));
    const std::string theirs = readText(scene);

    // the first one's F9 asks and writes nothing
    first.input.tap(XK_F9);
    ASSERT_TRUE(printed(first, "escena.xml cambio en disco (objetos o flags): F9 otra vez en 5 s guarda y conserva esa "
                               "version aparte"))
        << first.app.out << first.app.err;
    EXPECT_TRUE(noticeShows(first, "save_asks_about_objects_on_disk"));
    EXPECT_EQ(readText(scene), theirs);

    // F9 again in time: written, and the other's file kept beside it
    first.input.tap(XK_F9);
    ASSERT_TRUE(printed(first, "Guardado. La version que habia en disco queda en escena.xml.cambiado-en-disco"))
        << first.app.out << first.app.err;
    EXPECT_EQ(readText(first.path("escena.xml.cambiado-en-disco")), theirs);
    EXPECT_EQ(occurrences(readText(scene), "<primitiva"), objects);

    first.input.tap(XK_Escape);
    second.input.tap(XK_Escape);
    EXPECT_TRUE(first.app.waitExit(30000) && second.app.waitExit(30000));
    second.workDir.clear();   // the first one removes it
}
