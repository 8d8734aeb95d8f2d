// The real stageworks driven through its bitmap menus and event editor in one run: play from
// the file menu and a save after it; an event built on screen (ACTIVATED, and MOVE OBJECT typed
// through the prompt) and saved; object editing with the delete operation; the primitive menu
// adding a cube. Buttons are found where the panel layouts and the 45 degree, 4/3 projection
// put them (the menu records are built here with the program's own tables, without bitmaps).
#include "event_editor.h"
#include "menu_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>  // Required for: std::tan(), std::lround()
#include <string>

using namespace start_view;

namespace {

// The event panel's top-left corner in eye coordinates, and its button layer
constexpr double PANEL_LEFT = -15.0, PANEL_TOP = 6.875 + 3.0, BUTTON_Z = -34.3;

Pixel eventButton(int index)
{
    EventButtonPlace p = eventButtonPlace(index);
    double sign = p.turned ? -1.0 : 1.0;
    return eyeToScreen(PANEL_LEFT + p.left + sign * p.width / 2, PANEL_TOP + p.top - sign * p.height / 2, BUTTON_Z);
}

bool nearWhite(const uint8_t *p) { return p[0] >= 225 && p[1] >= 225 && p[2] >= 225; }
// Text that changed: near-white in one shot and not in the other
long textChange(const xdriver::Image &a, const xdriver::Image &b, Box box)
{
    return countIn(box, [&](int x, int y) { return nearWhite(a.pixel(x, y)) != nearWhite(b.pixel(x, y)); });
}

const Box LEFT_BELOW_HUD = {0, 430, 250, 700};  // the HUD's numbers change every frame
const Box HEADER = {100, 120, 920, 230};  // the event panel's upper part
// The HUD's "Solidos" line: white text 70 units in front of the eye, its top at 19.5
const double HUD_HALF = 70.0 * std::tan(22.5 * 3.14159265358979 / 180.0);
const Box SOLIDOS = {30, (int)std::lround(384.0 - 19.5 / HUD_HALF * 384.0), 400, (int)std::lround(384.0 - 17.6 / HUD_HALF * 384.0)};

class Menus : public MenuRun {
protected:
    // Hovers over the first option of a kind chooser standing at (x, y) until its red hover bar
    // shows, clicks it, and waits until the chooser has closed
    void pickFirstOption(double x, double y, double width, double rows)
    {
        const double top = y + rows * 0.9;
        const Pixel p = eyeToScreen(x + 4.5 - width, top - 0.63, -66.9);
        const Pixel a = eyeToScreen(x + 0.95 * width - 1.5, top - 0.5, -67.95);
        const Pixel b = eyeToScreen(x + 0.95 * width - 0.5, top - 1.43, -67.95);
        const Box bar = {a.x, a.y, b.x, b.y};
        bool lit = false;
        for (int attempt = 0; attempt < 8 && !lit; attempt++) {
            run.input.moveMouse(p.x + attempt % 2, p.y);
            lit = screenUntil([&](const xdriver::Image &s) { return redIn(s, bar) > boxArea(bar) / 2; }, 600);
        }
        ASSERT_TRUE(lit) << "the chooser did not open";
        run.input.click(1);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, bar) == 0; }));
    }
    // Hovers over a menu button and clicks it; the menu closes back to the base picture
    void chooseButton(Pixel button, const xdriver::Image &open, const xdriver::Image &base, Box part)
    {
        ASSERT_TRUE(hover(button, open)) << "the button did not light up";
        run.input.click(1);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, part) < boxArea(part) / 50; }))
            << "the menu stayed open";
    }
    // Types one key at a time, each once the box showed the last one and stood still: GLUT
    // takes a release followed at once by a press of the same key for auto-repeat
    void typeInto(const std::string &keys, Box box)
    {
        for (char c : keys) {
            const xdriver::Image before = run.input.screenshot();
            run.input.typeText(std::string(1, c));
            EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(before, s, box) > 0; }, 3000)) << c;
            settles(box, 150);
        }
    }
};

}  // namespace

TEST_F(Menus, PlayEventEditorDeleteAndPrimitiveMenuInOneRun)
{
    // Play from the file menu: the demo pyramid turns, Escape puts it back, and a save after play
    // has the bytes of a save before it
    const xdriver::Image base = run.input.screenshot();
    const std::string savedBefore = save();
    const Box pyramid = around(worldToScreen(-0.1, 13.0, 12.45), 45);
    xdriver::Image open = openMenu({512, 3}, TOP_PART, TOP_PART);
    ASSERT_TRUE(hover(menuButton(fileMenu(), 0), open)) << "the play button did not light up";
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, pyramid) > boxArea(pyramid) / 20; }, 10000))
        << "nothing moved in play mode";
    run.saveScreenshot(shot, "play_running");
    run.input.tap(XK_Escape);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, pyramid) < boxArea(pyramid) / 50; }, 10000))
        << "the scene was not restored";
    ASSERT_FALSE(run.app.exited) << "Escape in play mode ended the program";
    EXPECT_EQ(save(), savedBefore);

    // Events mode from the mode menu; a click on the brick cube opens its event panel
    open = openMenu({1020, 384}, RIGHT_PART, RIGHT_PART);
    chooseButton(menuButton(modeMenu(), 2), open, base, RIGHT_PART);
    if (HasFatalFailure()) return;
    run.input.moveMouse(brick().x, brick().y);
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, HEADER) > boxArea(HEADER) / 2; }))
        << "the event panel did not open";
    ASSERT_TRUE(settles(HEADER));
    const xdriver::Image page = shot;

    // IF row: ACTIVATED ?? from the condition chooser
    ASSERT_TRUE(hover(eventButton(FirstConditionRowButton), page, 8, 40)) << "the IF button did not light up";
    run.input.click(1);
    pickFirstOption(-16.9, conditionChooserY(0), 7.0, 6);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(settles(HEADER));
    const xdriver::Image withCondition = shot;

    // THEN row: MOVE OBJECT asks for X, Y and Z in the red prompt
    ASSERT_TRUE(hover(eventButton(FirstConsequenceRowButton), withCondition, 8, 40)) << "the THEN button did not light up";
    run.input.click(1);
    pickFirstOption(-10.6, consequenceChooserY(0), 13.0, 8);
    if (HasFatalFailure()) return;
    const Box promptFrame = around(eyeToScreen(0.0, 1.4, -33.0), 6);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, promptFrame) == boxArea(promptFrame); }))
        << "the move prompt did not open";
    const Pixel typedA = eyeToScreen(-29.4, 1.05, -66.9), typedB = eyeToScreen(-23.4, -0.25, -66.9);
    typeInto("100\r-50\r0", {typedA.x, typedA.y, typedB.x, typedB.y});
    run.input.typeText("\r");
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, promptFrame) == 0; })) << "the prompt stayed open";
    ASSERT_TRUE(settles(HEADER));

    // A click on empty space closes the panel (once a pick there has found nothing); F9 saves
    // the cube (written as P20) with its event
    const xdriver::Image filled = shot;
    const Pixel ifButton = eventButton(FirstConditionRowButton);
    ASSERT_TRUE(hover(ifButton, filled, 8, 40));
    run.input.moveMouse(1000, 720);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(filled, s, around(ifButton, 8)) < 5; }));
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, HEADER) < boxArea(HEADER) / 50; }))
        << "the event panel stayed open";
    const std::string saved = save();
    const size_t at = saved.find("<primitiva codigo=\"P20\">");
    ASSERT_NE(at, std::string::npos);
    const std::string element = saved.substr(at, saved.find("</primitiva>", at) - at);
    EXPECT_NE(element.find("<evento codigo=\"0\"><condicion><tipoCond>1</tipoCond><cond><cActivate>"), std::string::npos)
        << element;
    EXPECT_NE(element.find("<consec><tipoCons>1</tipoCons><cons><cMoveObj><moveObjX>100</moveObjX><moveObjY>-50</moveObjY>"
                           "<moveObjZ>0</moveObjZ></cMoveObj>"),
              std::string::npos)
        << element;

    // Object editing: the bottom edge opens the operation menu; delete, then a click on the brick
    open = openMenu({1020, 384}, RIGHT_PART, RIGHT_PART);
    chooseButton(menuButton(modeMenu(), 1), open, base, RIGHT_PART);
    if (HasFatalFailure()) return;
    open = openMenu({512, 766}, BOTTOM_PART, BOTTOM_PART);
    chooseButton(menuButton(operationMenu(), 2), open, base, BOTTOM_PART);
    if (HasFatalFailure()) return;
    run.input.moveMouse(brick().x, brick().y);
    run.input.click(1);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return !brickShows(s); })) << "the brick cube is still there";

    // The left edge opens the primitive menu, x > 269 closes it; its cube button adds a cube
    // (the HUD's "Solidos" count changes)
    const xdriver::Image noHud = shot;
    run.input.tap(XK_l);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return textChange(noHud, s, SOLIDOS) > 100; }));
    const xdriver::Image withHud = shot;
    open = openMenu({3, 384}, LEFT_PART, LEFT_BELOW_HUD);
    run.saveScreenshot(open, "menus_primitive_open");
    run.input.moveMouse(400, 384);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(withHud, s, LEFT_BELOW_HUD) < boxArea(LEFT_BELOW_HUD) / 50; }))
        << "the menu did not close";
    open = openMenu({3, 384}, LEFT_PART, LEFT_BELOW_HUD);
    chooseButton(menuButton(primitiveMenu(), 0), open, withHud, LEFT_BELOW_HUD);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return textChange(withHud, s, SOLIDOS) > 20; }))
        << "the object count did not change";

    // the new object is unsaved: the first Escape asks, the second leaves
    run.input.tap(XK_Escape);
    EXPECT_TRUE(xdriver::waitUntil([&] { run.app.pump(0); return run.app.out.find("Hay cambios sin guardar") != std::string::npos; }, 10000))
        << run.app.out;
    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
}

TEST_F(Menus, EscapeClosesTheEventEditorsChooserAndPromptAndNeverTheProgram)
{
    const xdriver::Image base = run.input.screenshot();
    const std::string savedBefore = save();
    xdriver::Image open = openMenu({1020, 384}, RIGHT_PART, RIGHT_PART);
    chooseButton(menuButton(modeMenu(), 2), open, base, RIGHT_PART);
    if (HasFatalFailure()) return;
    run.input.moveMouse(brick().x, brick().y);
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, HEADER) > boxArea(HEADER) / 2; }))
        << "the event panel did not open";
    ASSERT_TRUE(settles(HEADER));
    const xdriver::Image page = shot;

    // The consequence chooser: its first row lights up under the pointer; Escape closes it
    const double x = -10.6, width = 13.0, rows = 8, top = consequenceChooserY(0) + rows * 0.9;
    const Pixel row = eyeToScreen(x + 4.5 - width, top - 0.63, -66.9);
    const Pixel a = eyeToScreen(x + 0.95 * width - 1.5, top - 0.5, -67.95), b = eyeToScreen(x + 0.95 * width - 0.5, top - 1.43, -67.95);
    const Box bar = {a.x, a.y, b.x, b.y};
    auto chooserShows = [&] {
        for (int attempt = 0; attempt < 8; attempt++) {
            run.input.moveMouse(row.x + attempt % 2, row.y);
            if (screenUntil([&](const xdriver::Image &s) { return redIn(s, bar) > boxArea(bar) / 2; }, 600)) return true;
        }
        return false;
    };
    ASSERT_TRUE(hover(eventButton(FirstConsequenceRowButton), page, 8, 40)) << "the THEN button did not light up";
    run.input.click(1);
    ASSERT_TRUE(chooserShows()) << "the chooser did not open";
    run.input.tap(XK_Escape);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, bar) == 0; })) << "Escape left the chooser";
    run.app.pump(500);
    ASSERT_FALSE(run.app.exited) << "Escape in the chooser ended the program";

    // The prompt of MOVE OBJECT: Escape closes it and stores nothing
    ASSERT_TRUE(hover(eventButton(FirstConsequenceRowButton), page, 8, 40)) << "the THEN button did not light up";
    run.input.click(1);
    pickFirstOption(x, consequenceChooserY(0), width, rows);
    if (HasFatalFailure()) return;
    const Box promptFrame = around(eyeToScreen(0.0, 1.4, -33.0), 6);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, promptFrame) == boxArea(promptFrame); }))
        << "the move prompt did not open";
    run.input.typeText("7");
    run.input.tap(XK_Escape);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, promptFrame) == 0; })) << "Escape left the prompt";
    run.app.pump(500);
    ASSERT_FALSE(run.app.exited) << "Escape in the prompt ended the program";

    // Nothing was stored: the scene saves as before, and with nothing unsaved Escape ends it
    EXPECT_EQ(save(), savedBefore);
    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
}
