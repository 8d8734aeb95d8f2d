// Nothing lost, in the real stageworks on the private X server: with nothing unsaved every way
// out (Escape, the Salir button, the window's close button) ends the program at once and
// writes nothing; after an edit the first request only asks, the second leaves a recovery copy
// that the next start offers (declined: both files stay; accepted: the sphere is back and F9
// writes the bytes of the copy, then removes it). The title and the corner marker follow the
// edits and an undo back to the saved state. A copy is written within a minute of an edit and
// survives kill -9 (and goes at the exit once its edit is undone); SIGTERM writes it before
// the program ends. F5 over an edit asks before it loads the file again. F1 shows the keys.
#include "menu_run.h"
#include "stageworks_run.h"
#include "start_view.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <set>
#include <string>

using namespace start_view;

namespace {

const char *const COPY = ".escena.xml.recuperacion";
const std::string TITLE_END = " - stageworks - ";

// Where the unsaved marker stands (top right) and where the notice line stands (bottom left)
const Box MARKER = {640, 0, 1023, 60};

bool fileExists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// The names in a directory
std::set<std::string> listing(const std::string &dir)
{
    std::set<std::string> names;
    DIR *d = opendir(dir.c_str());
    if (d == nullptr) return names;
    while (dirent *entry = readdir(d)) names.insert(entry->d_name);
    closedir(d);
    return names;
}

// Waits until the program's standard output holds text after position from
bool printed(StageworksRun &run, const std::string &text, size_t from = 0, int timeoutMs = 20000)
{
    return xdriver::waitUntil(
        [&] {
            run.app.pump(0);
            return run.app.out.find(text, from) != std::string::npos;
        },
        timeoutMs, 40);
}

// True when the file is a well formed scene document valid against the DTD beside it
bool validScene(const std::string &path)
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr) return false;
    xmlDocPtr doc = xmlCtxtReadFile(context, path.c_str(), nullptr, XML_PARSE_DTDVALID | XML_PARSE_NONET | XML_PARSE_NOERROR);
    const bool valid = doc != nullptr && context->valid != 0;
    xmlFreeDoc(doc);
    xmlFreeParserCtxt(context);
    return valid;
}

// Orange marker text in a box
long orangeIn(const xdriver::Image &s, Box box)
{
    return countIn(box, [&](int x, int y) {
        const uint8_t *p = s.pixel(x, y);
        return p[0] > 190 && p[1] > 90 && p[1] < 200 && p[2] < 130;
    });
}

// What a window manager sends when its close button is pressed
bool pressCloseButton(StageworksRun &run)
{
    Display *dpy = run.input.dpy;
    const Window window = run.input.windowNamed(run.workDir);
    if (window == 0) return false;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window, False, NoEventMask, &event);
    XFlush(dpy);
    return true;
}

// Waits for a window title
bool titled(StageworksRun &run, const std::string &title)
{
    return xdriver::waitUntil(
        [&] {
            run.app.pump(0);
            std::vector<std::string> titles = run.input.windowTitles();
            return std::find(titles.begin(), titles.end(), title) != titles.end();
        },
        10000, 40);
}

// The program is still there a moment after (it had every chance to end)
bool stillRunning(StageworksRun &run)
{
    run.app.pump(500);
    return !run.app.exited;
}

}  // namespace

TEST(LeaveGuard, WithNothingUnsavedEscapeAndTheCloseButtonEndAtOnceAndWriteNothing)
{
    {
        StageworksRun run;
        ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
        const std::set<std::string> before = listing(run.workDir);
        const std::string scene = readText(run.path("escena.xml"));
        run.input.tap(XK_Escape);
        ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
        EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
        EXPECT_EQ(listing(run.workDir), before);
        EXPECT_EQ(readText(run.path("escena.xml")), scene);
        EXPECT_EQ(run.app.out.find("Hay cambios sin guardar"), std::string::npos);
    }
    {
        StageworksRun run;
        ASSERT_TRUE(run.start({"--window"}, /*xvfb=*/true)) << run.app.out << run.app.err;
        const std::set<std::string> before = listing(run.workDir);
        EXPECT_TRUE(titled(run, "escena.xml" + TITLE_END + run.workDir));
        ASSERT_TRUE(pressCloseButton(run));
        ASSERT_TRUE(run.app.waitExit(10000)) << "the close button did not end the program";
        EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
        EXPECT_EQ(listing(run.workDir), before);
    }
}

class SalirButton : public MenuRun {};

TEST_F(SalirButton, EndsAtOnceWhenNothingIsUnsavedAndAsksFirstAfterAnEdit)
{
    const std::set<std::string> before = listing(run.workDir);
    // an edit first: Salir asks, the program stays
    run.input.tap(XK_e);
    xdriver::Image open = openMenu({512, 3}, TOP_PART, TOP_PART);
    ASSERT_TRUE(hover(menuButton(fileMenu(), 3), open)) << "the exit button did not light up";
    const size_t seen = run.app.out.size();
    run.input.click(1);
    EXPECT_TRUE(printed(run, "Hay cambios sin guardar. F9 guarda; Salir otra vez", seen)) << run.app.out;
    EXPECT_TRUE(stillRunning(run));
    // undone, nothing is unsaved: Salir ends at once and writes nothing
    run.input.moveMouse(512, 600);
    run.input.key(XK_Control_L, true);
    run.input.tap(XK_z);
    run.input.key(XK_Control_L, false);
    ASSERT_TRUE(printed(run, "Deshacer: crear objeto", seen));
    open = openMenu({512, 3}, TOP_PART, TOP_PART);
    ASSERT_TRUE(hover(menuButton(fileMenu(), 3), open)) << "the exit button did not light up";
    run.input.click(1);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Salir did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
    EXPECT_EQ(listing(run.workDir), before);
}

TEST(LeaveGuard, EscapeAfterAnEditAsksThenLeavesACopyThatTheNextStartOffers)
{
    StageworksRun run;
    ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
    const std::string scenePath = run.path("escena.xml"), copyPath = run.path(COPY);
    const std::string original = readText(scenePath);
    const size_t objects = occurrences(original, "<primitiva");

    // E, then Escape: a notice, and the program stays
    run.input.tap(XK_e);
    run.input.tap(XK_Escape);
    ASSERT_TRUE(printed(run, "Hay cambios sin guardar. F9 guarda; Escape otra vez")) << run.app.out;
    xdriver::Image shot;
    EXPECT_TRUE(run.screenUntil(shot, [](const xdriver::Image &s) { return orangeIn(s, MARKER) > 100; }, 10000))
        << "no unsaved marker";
    run.saveScreenshot(shot, "unsaved_leave_asks");
    EXPECT_TRUE(stillRunning(run)) << "the first Escape ended the program";

    // the second Escape leaves, status 0, with a copy that holds the sphere
    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "the second Escape did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
    const std::string copy = readText(copyPath);
    EXPECT_EQ(occurrences(copy, "<primitiva"), objects + 1);
    EXPECT_TRUE(validScene(copyPath));
    EXPECT_EQ(readText(scenePath), original);

    // the next start offers it; N keeps escena.xml and the copy, and nothing is unsaved
    ASSERT_TRUE(run.launch() && run.waitReady()) << run.app.out << run.app.err;
    EXPECT_TRUE(printed(run, "Hay una copia de recuperacion de las")) << run.app.out;
    run.saveScreenshot(run.input.screenshot(), "unsaved_recovery_offer");
    run.input.tap(XK_n);
    EXPECT_TRUE(printed(run, "Se conserva escena.xml")) << run.app.out;
    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0);
    EXPECT_EQ(readText(scenePath), original);
    EXPECT_EQ(readText(copyPath), copy);

    // offered again; R brings the sphere back: unsaved until F9, which writes the copy's bytes
    ASSERT_TRUE(run.launch() && run.waitReady()) << run.app.out << run.app.err;
    ASSERT_TRUE(printed(run, "Hay una copia de recuperacion de las")) << run.app.out;
    size_t seen = run.app.out.size();
    run.input.tap(XK_r);
    ASSERT_TRUE(printed(run, "cargada: F9 la guarda en escena.xml", seen)) << run.app.out;
    seen = run.app.out.size();
    run.input.tap(XK_Escape);
    EXPECT_TRUE(printed(run, "Hay cambios sin guardar", seen)) << run.app.out;
    EXPECT_TRUE(stillRunning(run));
    std::string saved;
    ASSERT_TRUE(run.saveWithF9(saved));
    EXPECT_EQ(saved, copy);
    EXPECT_TRUE(xdriver::waitUntil([&] { return !fileExists(copyPath); }, 10000)) << "F9 left the copy";
    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Escape after F9 did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0);
    EXPECT_FALSE(fileExists(copyPath));
}

TEST(Unsaved, TitleMarkerCloseButtonAndHelpInAWindow)
{
    StageworksRun run;
    ASSERT_TRUE(run.start({"--window"}, /*xvfb=*/true)) << run.app.out << run.app.err;
    const std::string saved = "escena.xml" + TITLE_END + run.workDir;
    const std::string unsaved = "escena.xml*" + TITLE_END + run.workDir;
    ASSERT_TRUE(titled(run, saved));
    xdriver::Image shot;
    ASSERT_TRUE(run.screenUntil(shot, start_view::brickShows, 30000)) << "no scene";
    EXPECT_LT(orangeIn(shot, MARKER), 20);

    // an edit: the title and the marker say so; undone, neither does
    run.input.tap(XK_e);
    EXPECT_TRUE(titled(run, unsaved));
    EXPECT_TRUE(run.screenUntil(shot, [](const xdriver::Image &s) { return orangeIn(s, MARKER) > 100; }, 10000));
    run.input.key(XK_Control_L, true);
    run.input.tap(XK_z);
    run.input.key(XK_Control_L, false);
    EXPECT_TRUE(titled(run, saved));
    EXPECT_TRUE(run.screenUntil(shot, [](const xdriver::Image &s) { return orangeIn(s, MARKER) < 20; }, 10000));

    // F1 lays the key list over the view; Escape takes it away and the program stays
    const xdriver::Image plain = shot;
    auto dark = [](const xdriver::Image &s) {
        double rgb[3];
        xdriver::meanColour(s, 100, 120, 900, 400, rgb);
        return rgb[2] < 90;
    };
    ASSERT_FALSE(dark(plain));
    run.input.tap(XK_F1);
    EXPECT_TRUE(run.screenUntil(shot, dark, 10000)) << "F1 showed no help";
    run.saveScreenshot(shot, "help_overlay_edit");
    run.input.tap(XK_Escape);
    EXPECT_TRUE(run.screenUntil(shot, [&](const xdriver::Image &s) { return !dark(s); }, 10000)) << "Escape left the help";
    EXPECT_TRUE(stillRunning(run));

    // redone: the close button asks first, then leaves with the copy
    run.input.key(XK_Control_L, true);
    run.input.tap(XK_y);
    run.input.key(XK_Control_L, false);
    ASSERT_TRUE(titled(run, unsaved));

    // F5 with the edit asks first (the edit stays); F5 again loads escena.xml without it
    size_t seen = run.app.out.size();
    run.input.tap(XK_F5);
    EXPECT_TRUE(printed(run, "F5 otra vez antes de 5 s carga escena.xml", seen)) << run.app.out;
    EXPECT_TRUE(stillRunning(run));
    EXPECT_TRUE(titled(run, unsaved)) << "the first F5 loaded the file over the edit";
    run.input.tap(XK_F5);
    EXPECT_TRUE(titled(run, saved)) << "the second F5 did not load escena.xml";
    run.input.tap(XK_e);
    ASSERT_TRUE(titled(run, unsaved));
    ASSERT_TRUE(pressCloseButton(run));
    EXPECT_TRUE(printed(run, "cerrar la ventana otra vez")) << run.app.out;
    EXPECT_TRUE(stillRunning(run)) << "the first close ended the program";
    ASSERT_TRUE(pressCloseButton(run));
    ASSERT_TRUE(run.app.waitExit(10000)) << "the second close did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0);
    EXPECT_TRUE(validScene(run.path(COPY)));
}

TEST(Recovery, ACopyWithinAMinuteOfAnEditSurvivesKillAndSigtermWritesOne)
{
    {
        StageworksRun run;
        ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
        const std::string original = readText(run.path("escena.xml"));
        const size_t objects = occurrences(original, "<primitiva");
        run.input.tap(XK_e);
        const long edited = xdriver::nowMs();
        ASSERT_TRUE(printed(run, std::string("Copia de recuperacion guardada en ") + COPY, 0, 75000)) << run.app.out;
        EXPECT_LT(xdriver::nowMs() - edited, 65000);
        ::kill(run.app.pid, SIGKILL);
        ASSERT_TRUE(run.app.waitExit(10000));
        EXPECT_TRUE(validScene(run.path(COPY)));
        EXPECT_EQ(occurrences(readText(run.path(COPY)), "<primitiva"), objects + 1);
        EXPECT_EQ(readText(run.path("escena.xml")), original);

        // --recover takes it without asking; F9 writes it and removes it
        const std::string copy = readText(run.path(COPY));
        ASSERT_TRUE(run.launch({"--recover"}) && run.waitReady()) << run.app.out << run.app.err;
        ASSERT_TRUE(printed(run, "cargada: F9 la guarda en escena.xml")) << run.app.out;
        EXPECT_EQ(run.app.out.find("Hay una copia de recuperacion"), std::string::npos) << "it asked";
        std::string saved;
        ASSERT_TRUE(run.saveWithF9(saved));
        EXPECT_EQ(saved, copy);
        EXPECT_TRUE(xdriver::waitUntil([&] { return !fileExists(run.path(COPY)); }, 10000)) << "F9 left the copy";
        run.input.tap(XK_Escape);
        ASSERT_TRUE(run.app.waitExit(10000));
        EXPECT_EQ(run.app.exitStatus, 0);
    }
    {
        // the X session goes away (the server killed): the program ends, the edit kept
        StageworksRun run;
        ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
        const size_t objects = occurrences(readText(run.path("escena.xml")), "<primitiva");
        run.input.tap(XK_e);
        xdriver::Image shot;
        ASSERT_TRUE(run.screenUntil(shot, [](const xdriver::Image &s) { return orangeIn(s, MARKER) > 100; }, 10000))
            << "the edit did not show";
        run.input.close();
        run.server.stop();
        ASSERT_TRUE(run.app.waitExit(20000)) << "the program outlived its X server";
        EXPECT_TRUE(validScene(run.path(COPY))) << run.app.err;
        EXPECT_EQ(occurrences(readText(run.path(COPY)), "<primitiva"), objects + 1);
    }
    {
        // a copy written for an edit undone since: Escape leaves at once and takes it away
        StageworksRun run;
        ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
        const std::set<std::string> before = listing(run.workDir);
        run.input.tap(XK_e);
        ASSERT_TRUE(printed(run, std::string("Copia de recuperacion guardada en ") + COPY, 0, 75000)) << run.app.out;
        EXPECT_TRUE(fileExists(run.path(COPY)));
        run.input.key(XK_Control_L, true);
        run.input.tap(XK_z);
        run.input.key(XK_Control_L, false);
        ASSERT_TRUE(printed(run, "Deshacer: crear objeto"));
        run.input.tap(XK_Escape);
        ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
        EXPECT_EQ(run.app.exitStatus, 0);
        EXPECT_EQ(listing(run.workDir), before);
    }
    {
        StageworksRun run;
        ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
        const std::set<std::string> before = listing(run.workDir);
        // nothing unsaved: SIGTERM ends it as before, writing nothing
        ::kill(run.app.pid, SIGTERM);
        ASSERT_TRUE(run.app.waitExit(10000));
        EXPECT_EQ(run.app.exitStatus, 128 + SIGTERM);
        EXPECT_EQ(listing(run.workDir), before);
        // unsaved: the copy first, then the signal's own end
        ASSERT_TRUE(run.launch() && run.waitReady()) << run.app.out << run.app.err;
        const size_t objects = occurrences(readText(run.path("escena.xml")), "<primitiva");
        run.input.tap(XK_e);
        xdriver::Image shot;
        ASSERT_TRUE(run.screenUntil(shot, [](const xdriver::Image &s) { return orangeIn(s, MARKER) > 100; }, 10000))
            << "the edit did not show";
        ::kill(run.app.pid, SIGTERM);
        ASSERT_TRUE(run.app.waitExit(10000));
        EXPECT_EQ(run.app.exitStatus, 128 + SIGTERM);
        EXPECT_TRUE(validScene(run.path(COPY)));
        EXPECT_EQ(occurrences(readText(run.path(COPY)), "<primitiva"), objects + 1);
    }
}
