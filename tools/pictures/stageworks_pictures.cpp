/**********************************************************************************************
*
*   stageworks_pictures - the README's pictures of stageworks, taken from the real program
*
*   Usage: stageworks_pictures --program STAGEWORKS --rundata DIR --out DIR
*
*   Starts the private X server, copies the run data into a scratch directory, starts
*   stageworks there and drives it with XTest as a person would: the demo scene, each of the
*   five menus swung in with a button lit, the event editor with its condition chooser and
*   with a typed prompt, and play mode. Every picture is a screenshot of the whole 1024x768
*   screen written as a PNG file into the output directory.
*
*   Menu buttons are found where the panel layout and the 45 degree, 4/3 projection put them
*   (the menu records are built with the program's own tables, without bitmaps); the event
*   panel's buttons and the choosers' rows from the places the event editor draws them at
*   (sizes and offsets in scene units in front of the eye). Each step waits for
*   what it expects to see, with a time-out: a step whose result does not show is reported
*   on standard error and the run goes on, so that every picture is written; the exit status
*   is then 1.
*
*   DEPENDENCIES: xdriver (X server, XTest, screenshots, PNG), menus and panels (layout only)
*
**********************************************************************************************/
#include "menus.h"
#include "panels.h"
#include "picture_steps.h"
#include "start_view.h"
#include "xdriver.h"

#include <X11/keysym.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
namespace {

using namespace start_view;

const Box APPEARANCE_PART = {40, 250, 220, 520};
// The event panel's background (free panel 30 x 6 at (0, 6.875) in front of the eye)
const Box EVENT_PANEL_PART = {130, 110, 890, 260};
// Nothing is drawn here by any panel or chooser: a click there is a click on empty space
const Pixel EMPTY_SPACE = {1000, 740};

// The event panel: its top-left corner in eye coordinates and the depth of its buttons
constexpr double EVENT_PANEL_LEFT = -15.0, EVENT_PANEL_TOP = 6.875 + 3.0, EVENT_BUTTON_Z = -33.8;

// Chooser rows: text 0.7 high per font unit, 1.6 apart, at depth 34 + 33.9 - 1
constexpr double CHOOSER_TEXT_Z = -66.9, CHOOSER_ROW_STEP = 1.6, CHOOSER_TEXT_MID = 0.7 * 1.9 / 2.0;

// Condition chooser (width 7, 6 rows at 0.9) and consequence chooser (width 13, 8 rows)
constexpr double CONDITION_X = -16.9, CONDITION_W = 7.0, CONDITION_H = 6 * 0.9;
constexpr double CONSEQUENCE_X = -10.6, CONSEQUENCE_W = 13.0, CONSEQUENCE_H = 8 * 0.9;

//----------------------------------------------------------------------------------
// Private helpers: geometry
//----------------------------------------------------------------------------------

// Centre of an event panel button given by its top-left corner and size (panel units, y up)
Pixel eventButton(double left, double top, double width, double height)
{
    return eyeToScreen(EVENT_PANEL_LEFT + left + width / 2.0, EVENT_PANEL_TOP + top - height / 2.0, EVENT_BUTTON_Z);
}

// The IF button (condition row 0) and the consequence row buttons (THEN, then AND)
Pixel ifButton() { return eventButton(0.3, -6.3, 2.4, 1.0); }
Pixel consequenceButton(int row)
{
    return row == 0 ? eventButton(0.3, -10.65, 2.4, 1.0) : eventButton(0.7, -10.65 - row, 2.0, 1.0);
}

// A point on the text of a chooser's visible row (a few characters in)
Pixel chooserRow(double chooserX, double chooserY, double width, double height, int row)
{
    double x = chooserX + 1.0 - width + 0.7 * 3.0;
    double y = chooserY + height - CHOOSER_ROW_STEP * row - CHOOSER_TEXT_MID;
    return eyeToScreen(x, y, CHOOSER_TEXT_Z);
}

// Texture names for the layout-only menu records
int noTexture(const char *) { return -1; }

//----------------------------------------------------------------------------------
// Private helpers: the session
//----------------------------------------------------------------------------------
struct Session {
    xdriver::XServer server;
    xdriver::ChildProcess app;
    xdriver::XClient input;
    std::string workDir;
    std::string outDir;
    xdriver::Image shot;
    xdriver::Image rest;    // the last menu opened, at rest
    int failures = 0;
    int written = 0;

    ~Session()
    {
        app.kill();
        input.close();
        server.stop();
        if (!workDir.empty()) xdriver::removeTree(workDir);
    }

    // A step that did not show what it should: counted, reported, and the run goes on
    bool check(bool ok, const std::string &what)
    {
        if (!ok) {
            failures++;
            fprintf(stderr, "pictures: %s\n", what.c_str());
        }
        return ok;
    }

    // Takes screenshots until condition holds for one of them (kept in shot)
    bool screenUntil(const std::function<bool(const xdriver::Image &)> &condition, int timeoutMs = 5000)
    {
        return xdriver::waitUntil(
            [&] {
                app.pump(0);
                if (app.exited) return false;
                shot = input.screenshot();
                return shot.width == SCREEN_W && shot.height == SCREEN_H && condition(shot);
            },
            timeoutMs, 40);
    }

    // Waits until a box has not changed for quietMs, or for twice the longest time seen
    // between two changes when frames come slower than that (a menu finished swinging in)
    bool settles(Box box, long quietMs = 500)
    {
        xdriver::Image previous = input.screenshot();
        long lastChange = xdriver::nowMs(), longestGap = 0;
        return screenUntil(
            [&](const xdriver::Image &s) {
                long now = xdriver::nowMs();
                if (changedIn(previous, s, box) != 0) {
                    longestGap = std::max(longestGap, now - lastChange);
                    lastChange = now;
                }
                previous = s;
                return now - lastChange >= std::max(quietMs, 2 * longestGap);
            },
            15000);
    }

    // Lets the program draw for a while
    void pause(int ms)
    {
        long end = xdriver::nowMs() + ms;
        while (xdriver::nowMs() < end) app.pump(20);
    }

    // Moves the pointer to an edge point until the menu's part of the screen changes and
    // rests; the menu at rest, no button lit, is kept in `rest`
    bool openMenu(Pixel edge, Box part, const char *name)
    {
        const xdriver::Image before = input.screenshot();
        input.moveMouse(edge.x, edge.y);
        bool opened =
            screenUntil([&](const xdriver::Image &s) { return changedIn(before, s, part) > boxArea(part) / 4; }, 10000);
        if (!check(opened, std::string("the ") + name + " menu did not open") ||
            !check(settles(part), std::string("the ") + name + " menu did not come to rest"))
            return false;
        rest = shot;
        return true;
    }

    // Moves over a button until it is lit alone: around it the screen differs from `unlit`
    // (its hover image) while around the neighbouring button it does not (when both
    // differ, the panel itself is still moving, and a click would not find the button yet)
    bool hover(Pixel p, Pixel neighbour, const xdriver::Image &unlit, int minChanged = 100, int half = 12)
    {
        auto lit = [&](const xdriver::Image &s) {
            return changedIn(unlit, s, around(p, half)) > minChanged &&
                   changedIn(unlit, s, around(neighbour, half)) < minChanged / 4;
        };
        for (int attempt = 0; attempt < 6; attempt++) {
            input.moveMouse(p.x + attempt % 2, p.y);
            if (screenUntil(lit, 1000)) return true;
        }
        return false;
    }

    // hover() measured against the screen once both buttons have stopped moving
    bool hoverFromHere(Pixel p, Pixel neighbour, int minChanged = 100, int half = 12)
    {
        Box both = {std::min(p.x, neighbour.x) - half, std::min(p.y, neighbour.y) - half,
                    std::max(p.x, neighbour.x) + half, std::max(p.y, neighbour.y) + half};
        settles(both, 300);
        const xdriver::Image unlit = shot;
        return hover(p, neighbour, unlit, minChanged, half);
    }

    // Lights a menu button and clicks it until the menu has gone from its part of the
    // screen (a click that a slow frame turned into a click on nothing is repeated)
    bool pressMenuButton(Pixel button, Pixel neighbour, const xdriver::Image &base, Box part)
    {
        for (int attempt = 0; attempt < 3; attempt++) {
            if (!hover(button, neighbour, rest)) continue;
            input.click(1);
            if (backTo(base, part)) return true;
        }
        return backTo(base, part, 1000);
    }

    // Moves over a chooser row until its red hover bar shows
    bool hoverRow(Pixel p)
    {
        for (int attempt = 0; attempt < 6; attempt++) {
            input.moveMouse(p.x + attempt % 2, p.y);
            if (screenUntil([&](const xdriver::Image &s) { return redIn(s, {p.x - 40, p.y - 14, p.x + 120, p.y + 14}) > 300; },
                            600))
                return true;
        }
        return false;
    }

    // Waits until a part of the screen looks as it did in `base` again (a menu closed)
    bool backTo(const xdriver::Image &base, Box part, int timeoutMs = 8000)
    {
        return screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, part) < boxArea(part) / 50; }, timeoutMs);
    }

    // A click on empty space: the pointer rests there for a pick first, so that the click
    // acts on "nothing under the pointer"
    void clickEmptySpace()
    {
        input.moveMouse(EMPTY_SPACE.x, EMPTY_SPACE.y);
        pause(300);
        input.moveMouse(EMPTY_SPACE.x - 1, EMPTY_SPACE.y);
        pause(300);
        input.click(1);
    }

    // Clicks on empty space until a part of the screen looks as in `base` again. A click
    // is repeated only while the part still shows what was open (a slow frame lost it): a
    // click on empty space with nothing open would start looking around
    bool closeByClickBeside(const xdriver::Image &base, Box part)
    {
        for (int attempt = 0; attempt < 3; attempt++) {
            const xdriver::Image open = input.screenshot();
            clickEmptySpace();
            if (backTo(base, part, 5000)) return true;
            if (changedIn(open, input.screenshot(), part) > boxArea(part) / 4) return false;
        }
        return false;
    }

    void save(const std::string &name, const xdriver::Image &image)
    {
        std::string file = outDir + "/" + name;
        if (check(xdriver::writePng(image, file), "could not write " + file)) {
            printf("%s\n", file.c_str());
            written++;
        }
    }
    void saveScreen(const std::string &name) { save(name, input.screenshot()); }
};

//----------------------------------------------------------------------------------
// Private helpers: the steps
//----------------------------------------------------------------------------------

// The program on the demo scene, first frames drawn
bool start(Session &s, const std::string &program, const std::string &rundata)
{
    if (!s.check(s.server.start(), "could not start the private X server")) return false;
    if (!s.check(s.input.open(s.server.display), "could not connect to " + s.server.display)) return false;
    s.workDir = xdriver::makeTempDir("stageworks-pictures");
    if (!s.check(!s.workDir.empty() && xdriver::copyTree(rundata, s.workDir), "could not copy the run data")) return false;
    if (!s.check(s.app.spawn({program}, s.workDir, s.server.display), "could not start " + program)) return false;
    if (!s.check(s.app.waitForOutput(" MainLoop started...\n", 60000), "stageworks did not start:\n" + s.app.out + s.app.err))
        return false;
    s.check(xdriver::waitUntil([&] { return s.input.hasMappedWindow(); }, 20000), "no window");
    s.input.moveMouse(512, 384);
    return s.check(s.screenUntil(brickShows, 20000), "the demo scene did not show");
}

// The scene as it starts
void pictureScene(Session &s)
{
    s.pause(700);
    s.saveScreen("stageworks-scene.png");
}

// The primitive menu at the left edge, the cube button lit; closed again right of x = 269
void picturePrimitiveMenu(Session &s)
{
    const xdriver::Image base = s.input.screenshot();
    if (s.openMenu({3, 384}, LEFT_PART, "primitive")) {
        s.check(s.hover(menuButton(primitiveMenu(), 0), menuButton(primitiveMenu(), 1), s.rest),
                "the cube button did not light up");
        s.saveScreen("stageworks-menu-primitive.png");
    } else {
        s.saveScreen("stageworks-menu-primitive.png");
    }
    s.input.moveMouse(420, 384);
    s.check(s.backTo(base, {0, 430, 250, 700}), "the primitive menu did not close");
}

// The file menu at the top edge, the play button lit; closed again below y = 256
void pictureFileMenu(Session &s)
{
    const xdriver::Image base = s.input.screenshot();
    if (s.openMenu({512, 3}, TOP_PART, "file"))
        s.check(s.hover(menuButton(fileMenu(), 0), menuButton(fileMenu(), 1), s.rest), "the play button did not light up");
    s.saveScreen("stageworks-menu-file.png");
    s.input.moveMouse(512, 420);
    s.check(s.backTo(base, TOP_PART), "the file menu did not close");
}

// A button of the editing-mode menu clicked; with a picture of the menu when named
void chooseMode(Session &s, int button, const char *picture)
{
    const xdriver::Image base = s.input.screenshot();
    Pixel target = menuButton(modeMenu(), button), neighbour = menuButton(modeMenu(), button == 1 ? 2 : 1);
    if (s.openMenu({1020, 384}, RIGHT_PART, "editing-mode")) {
        s.check(s.hover(target, neighbour, s.rest), "a button of the editing-mode menu did not light up");
        if (picture) s.saveScreen(picture);
        s.check(s.pressMenuButton(target, neighbour, base, RIGHT_PART), "the editing-mode menu did not take the click");
    } else if (picture) {
        s.saveScreen(picture);
    }
}

// Object editing; the operation menu at the bottom edge with "Apariencia" chosen
void pictureOperationMenu(Session &s)
{
    chooseMode(s, 1, "stageworks-menu-mode.png");
    const xdriver::Image base = s.input.screenshot();
    Pixel target = menuButton(operationMenu(), 3), neighbour = menuButton(operationMenu(), 2);
    if (s.openMenu({512, 766}, BOTTOM_PART, "operation")) {
        s.check(s.hover(target, neighbour, s.rest), "the Apariencia button did not light up");
        s.saveScreen("stageworks-menu-operation.png");
        s.check(s.pressMenuButton(target, neighbour, base, BOTTOM_PART), "the operation menu did not take the click");
    } else {
        s.saveScreen("stageworks-menu-operation.png");
    }
}

// A left click on an object until a part of the screen shows the page it opens
bool clickObject(Session &s, Pixel object, const xdriver::Image &base, Box page)
{
    for (int attempt = 0; attempt < 3; attempt++) {
        s.input.moveMouse(object.x + attempt, object.y);
        s.pause(150);
        s.input.click(1);
        if (s.screenUntil([&](const xdriver::Image &shot) { return changedIn(base, shot, page) > boxArea(page) / 3; }, 8000))
            return true;
    }
    return false;
}

// A click on the red cylinder opens the appearance menu; "Cambiar material" lit
void pictureAppearanceMenu(Session &s)
{
    const xdriver::Image base = s.input.screenshot();
    bool opened = clickObject(s, worldToScreen(11, 18, 3), base, APPEARANCE_PART);
    Pixel change = menuButton(appearanceMenu(), 0);
    if (s.check(opened, "the appearance menu did not open"))
        s.check(s.hoverFromHere(change, menuButton(appearanceMenu(), 1)), "the change-material button did not light up");
    s.saveScreen("stageworks-menu-appearance.png");

    // A click outside the menu closes it, once the button under the pointer has gone out
    const xdriver::Image lit = s.input.screenshot();
    s.input.moveMouse(EMPTY_SPACE.x, EMPTY_SPACE.y);
    s.screenUntil([&](const xdriver::Image &shot) { return changedIn(lit, shot, around(change, 12)) > 100; }, 2000);
    s.check(s.closeByClickBeside(base, APPEARANCE_PART), "the appearance menu did not close");
}

// Events mode; a click on the water sphere opens the event panel; its IF row opens the
// condition chooser, its fourth consequence row the consequence chooser, whose MOVE OBJECT
// asks for the X, Y and Z steps in a red prompt
void pictureEventEditor(Session &s)
{
    chooseMode(s, 2, nullptr);
    const xdriver::Image base = s.input.screenshot();
    s.check(clickObject(s, worldToScreen(-3, 22, -3), base, EVENT_PANEL_PART), "the event panel did not open");
    s.settles(EVENT_PANEL_PART, 300);

    // IF: the condition chooser beside the first condition row, "ACTIVATED ??" lit
    bool editor = s.check(s.hoverFromHere(ifButton(), consequenceButton(0), 40, 10), "the event panel shows no IF row button");
    bool chooser = false;
    if (editor) {
        const xdriver::Image before = s.input.screenshot();
        s.input.click(1);
        Pixel activated = chooserRow(CONDITION_X, 1.45, CONDITION_W, CONDITION_H, 0);
        chooser = s.screenUntil([&](const xdriver::Image &shot) { return changedIn(before, shot, around(activated, 20)) > 100; });
        if (s.check(chooser, "the condition chooser did not open"))
            s.check(s.hoverRow(activated), "the ACTIVATED row did not light up");
    }
    s.saveScreen("stageworks-event-chooser.png");
    // "ACTIVATED ??" again: the sphere keeps its condition and the chooser closes
    if (chooser) {
        s.input.click(1);
        s.pause(300);
    }

    // The row after the sphere's three consequences: MOVE OBJECT and its prompt
    bool prompt = false;
    const int row = 3;
    if (editor && s.check(s.hoverFromHere(consequenceButton(row), consequenceButton(row + 1), 40, 10), "the fourth consequence row did not light up")) {
        const xdriver::Image before = s.input.screenshot();
        s.input.click(1);
        Pixel move = chooserRow(CONSEQUENCE_X, -9.1 - 1.98 * row, CONSEQUENCE_W, CONSEQUENCE_H, 0);
        bool opened = s.screenUntil([&](const xdriver::Image &shot) { return changedIn(before, shot, around(move, 20)) > 100; });
        if (s.check(opened, "the consequence chooser did not open") &&
            s.check(s.hoverRow(move), "the MOVE OBJECT row did not light up")) {
            s.input.click(1);
            Box promptBox = {250, 340, 770, 420};
            prompt = s.screenUntil([&](const xdriver::Image &shot) { return redIn(shot, promptBox) > boxArea(promptBox) / 4; });
            s.check(prompt, "the MOVE OBJECT prompt did not open");
        }
    }
    if (prompt) {
        s.input.moveMouse(EMPTY_SPACE.x, EMPTY_SPACE.y);
        s.input.typeText("25");
        s.pause(1200);
    }
    s.saveScreen("stageworks-event-prompt.png");
    if (prompt) {
        // An empty field cancels: nothing is added. NOTE: the keyboard does not repeat, so
        // two quick presses of one key can arrive as one: each Backspace waits for the
        // field to change
        const Box field = {90, 366, 930, 400};
        for (int i = 0; i < 2; i++) {
            const xdriver::Image typed = s.input.screenshot();
            s.input.tap(XK_BackSpace);
            s.screenUntil([&](const xdriver::Image &shot) { return changedIn(typed, shot, field) > 0; }, 3000);
        }
        s.input.tap(XK_Return);
        const Box promptBox = {250, 340, 770, 420};
        s.check(s.screenUntil([&](const xdriver::Image &shot) { return redIn(shot, promptBox) < boxArea(promptBox) / 8; }),
                "the prompt did not close");
    }

    s.check(s.closeByClickBeside(base, EVENT_PANEL_PART), "the event panel did not close");
}

// The file menu's play button; the pyramid turns, the HUD shows the statistics
void picturePlay(Session &s)
{
    const xdriver::Image base = s.input.screenshot();
    Pixel play = menuButton(fileMenu(), 0), neighbour = menuButton(fileMenu(), 1);
    if (s.openMenu({512, 3}, TOP_PART, "file"))
        s.check(s.pressMenuButton(play, neighbour, base, TOP_PART), "the play button did not take the click");
    // NOTE: the statistics only once play has started: their numbers change every frame, and
    // the menu would never be seen at rest under them
    s.input.tap(XK_l);
    Pixel pyramid = worldToScreen(-0.1, 13.0, 12.45);
    Box around45 = around(pyramid, 45);
    bool turning = s.screenUntil(
        [&](const xdriver::Image &shot) { return changedIn(base, shot, around45) > boxArea(around45) / 20; }, 15000);
    s.check(turning, "nothing moved in play mode");
    s.pause(1500);
    s.saveScreen("stageworks-play.png");
    s.input.tap(XK_Escape);    // leaves play mode
    s.pause(500);
}

// Escape in edit mode ends the program with status 0; the session's edits are not saved, so
// the first Escape asks and the second leaves (keeping a recovery copy in the scratch folder)
void finish(Session &s)
{
    s.input.tap(XK_Escape);
    s.app.waitForOutput("Hay cambios sin guardar", 10000);
    if (!s.app.exited) s.input.tap(XK_Escape);
    bool ended = s.app.waitExit(10000);
    s.check(ended && s.app.exitStatus == 0, "Escape did not end stageworks with status 0");
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int main(int argc, char **argv)
{
    PictureArgs args;
    if (!readPictureArgs(argc, argv, true, "stageworks_pictures --program STAGEWORKS --rundata DIR --out DIR", args)) return 2;
    const std::string &program = args.program, &rundata = args.rundata, &out = args.out;

    setPanelTextureLoader(noTexture);
    createMenus();
    int status = 1;
    {
        Session s;
        s.outDir = out;
        long started = xdriver::nowMs();
        if (start(s, program, rundata)) {
            pictureScene(s);
            picturePrimitiveMenu(s);
            pictureFileMenu(s);
            pictureOperationMenu(s);
            pictureAppearanceMenu(s);
            pictureEventEditor(s);
            picturePlay(s);
            finish(s);
        }
        fprintf(stderr, "pictures: %d stageworks pictures in %.1f s, %d failed steps\n", s.written,
                (xdriver::nowMs() - started) / 1000.0, s.failures);
        status = s.failures == 0 ? 0 : 1;
    }
    freeMenus();
    setPanelTextureLoader(nullptr);
    return status;
}
