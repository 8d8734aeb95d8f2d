// The real stageworks driven through its event editor: events mode from the mode menu, a
// click on the brick cube opens the event panel, the IF row's chooser stores ACTIVATED, the
// THEN row's chooser asks for MOVE OBJECT's values through the prompt, typed with XTest, and
// F9 writes both into escena.xml. Screen positions come from the panel's own layout and the
// 45 degree, 4/3 projection.
#include "event_editor.h"
#include "menus.h"
#include "stageworks_run.h"
#include "view_projection.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace view_test;

namespace {

int noTexture(const char *) { return -1; }

constexpr double EYE_X = -41.51, EYE_Y = 30.0, EYE_Z = 38.74, YAW = 314.22, PITCH = -8.82;

// The event panel's top-left corner in eye coordinates, and its button layer
constexpr double PANEL_LEFT = -15.0, PANEL_TOP = 6.875 + 3.0, PANEL_Z = -35.0, BUTTON_Z = -34.3;

struct Pixel {
    int x, y;
};

struct Box {
    int x0, y0, x1, y1;  // inclusive
};

Pixel eyeToScreen(double x, double y, double z)
{
    ScreenPoint s = projectPoint(x, y, z, 0, 0, 0, 0, 0);
    EXPECT_TRUE(onScreen(s)) << x << ", " << y << ", " << z;
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

// Centre of an event panel button on the screen
Pixel buttonOnScreen(int index)
{
    EventButtonPlace p = eventButtonPlace(index);
    double sign = p.turned ? -1.0 : 1.0;
    return eyeToScreen(PANEL_LEFT + p.left + sign * p.width / 2, PANEL_TOP + p.top - sign * p.height / 2, BUTTON_Z);
}

// The screen box of a row bar (rows 0-3 conditions, 4-11 consequences), a little inside it
Box rowBar(int row)
{
    Pixel a = eyeToScreen(PANEL_LEFT + 2.8 + 0.2, PANEL_TOP + eventRowTop(row) - 0.035 - 0.1, BUTTON_Z);
    Pixel b = eyeToScreen(PANEL_LEFT + 2.8 + 24.1 - 0.2, PANEL_TOP + eventRowTop(row) - 0.935 + 0.1, BUTTON_Z);
    return {a.x, a.y, b.x, b.y};
}

// A point on the first option text of a kind chooser standing at height y (its text starts
// at 1 - width from the chooser's x, 5 font units in)
Pixel firstOption(double chooserX, double chooserY, double width, double visibleRows)
{
    double top = chooserY + visibleRows * 0.9;
    return eyeToScreen(chooserX + 1.0 - width + 0.7 * 5.0, top - 0.7 * 0.9, -66.9);
}

// The hover bar of a chooser's first row (from 0.2 to 1.73 below the chooser's top, 0.95 x
// width either side of its x), a box near its right end
Box firstRowBar(double chooserX, double chooserY, double width, double visibleRows)
{
    double top = chooserY + visibleRows * 0.9 - 0.2, bottom = top - 1.53;
    Pixel a = eyeToScreen(chooserX + 0.95 * width - 1.5, top - 0.3, -67.95);
    Pixel b = eyeToScreen(chooserX + 0.95 * width - 0.5, bottom + 0.3, -67.95);
    return {a.x, a.y, b.x, b.y};
}

long boxArea(Box b) { return (long)(b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1); }

Box around(Pixel p, int half) { return {p.x - half, p.y - half, p.x + half, p.y + half}; }

long changedIn(const xdriver::Image &a, const xdriver::Image &b, Box box)
{
    long changed = 0;
    for (int y = box.y0; y <= box.y1; y++)
        for (int x = box.x0; x <= box.x1; x++) {
            const uint8_t *pa = a.pixel(x, y), *pb = b.pixel(x, y);
            if (std::abs(pa[0] - pb[0]) + std::abs(pa[1] - pb[1]) + std::abs(pa[2] - pb[2]) > 36) changed++;
        }
    return changed;
}

// Pixels of a box that are pure enough red (the chooser's hover bar, the prompt's frame)
long redIn(const xdriver::Image &s, Box box)
{
    long red = 0;
    for (int y = box.y0; y <= box.y1; y++)
        for (int x = box.x0; x <= box.x1; x++) {
            const uint8_t *p = s.pixel(x, y);
            if (p[0] > 150 && p[1] < 50 && p[2] < 50) red++;
        }
    return red;
}

// Near-white pixels of a box (text)
long whiteIn(const xdriver::Image &s, Box box)
{
    long white = 0;
    for (int y = box.y0; y <= box.y1; y++)
        for (int x = box.x0; x <= box.x1; x++) {
            const uint8_t *p = s.pixel(x, y);
            if (p[0] > 200 && p[1] > 200 && p[2] > 200) white++;
        }
    return white;
}

// The element of the object written as P<n>
std::string objectElement(const std::string &scene, int n)
{
    std::string open = "<primitiva codigo=\"P" + std::to_string(n) + "\">";
    size_t at = scene.find(open);
    if (at == std::string::npos) return "";
    size_t end = scene.find("</primitiva>", at);
    return end == std::string::npos ? "" : scene.substr(at, end - at);
}

const Box RIGHT_PART = {790, 60, 1023, 700};

class EventEditor : public ::testing::Test {
protected:
    StageworksRun run;
    xdriver::Image shot;

    static void SetUpTestSuite()
    {
        setPanelTextureLoader(noTexture);
        createMenus();
    }
    static void TearDownTestSuite()
    {
        freeMenus();
        setPanelTextureLoader(nullptr);
    }

    void SetUp() override
    {
        ASSERT_TRUE(run.startServer());
        ASSERT_TRUE(run.prepareWorkDir());
        ASSERT_TRUE(run.launch());
        ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
        run.input.moveMouse(512, 384);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return brickShows(s); }, 20000)) << "no scene";
    }

    template <typename Condition>
    bool screenUntil(Condition condition, int timeoutMs = 5000)
    {
        return xdriver::waitUntil(
            [&] {
                run.app.pump(0);
                if (run.app.exited) return false;
                shot = run.input.screenshot();
                return shot.width == 1024 && shot.height == 768 && condition(shot);
            },
            timeoutMs, 40);
    }

    bool settles(Box box, long quietMs = 500)
    {
        xdriver::Image previous = run.input.screenshot();
        long stillSince = xdriver::nowMs();
        return screenUntil(
            [&](const xdriver::Image &s) {
                if (changedIn(previous, s, box) != 0) stillSince = xdriver::nowMs();
                previous = s;
                return xdriver::nowMs() - stillSince >= quietMs;
            },
            10000);
    }

    // Moves over a point until the area around it changes from the given picture
    bool hover(Pixel p, const xdriver::Image &idle, int half = 8, long enough = 40)
    {
        for (int attempt = 0; attempt < 8; attempt++) {
            run.input.moveMouse(p.x + attempt % 2, p.y);
            if (screenUntil([&](const xdriver::Image &s) { return changedIn(idle, s, around(p, half)) > enough; }, 600))
                return true;
        }
        return false;
    }

    // Types one key at a time, each once the box showed the last one and stood still: GLUT
    // takes a release followed at once by a press of the same key for auto-repeat
    void typeInto(const std::string &keys, Box box)
    {
        for (char c : keys) {
            const xdriver::Image before = run.input.screenshot();
            run.input.typeText(std::string(1, c));
            EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(before, s, box) > 0; }, 3000))
                << "no change after '" << c << "'";
            settles(box, 150);
        }
    }

    // Moves over a chooser's first option until its red hover bar shows
    bool hoverOption(Pixel p, Box bar)
    {
        for (int attempt = 0; attempt < 8; attempt++) {
            run.input.moveMouse(p.x + attempt % 2, p.y);
            if (screenUntil([&](const xdriver::Image &s) { return redIn(s, bar) > boxArea(bar) / 2; }, 600)) return true;
        }
        return false;
    }

    static Pixel brick()
    {
        ScreenPoint s = projectPoint(-12, 22, -20, EYE_X, EYE_Y, EYE_Z, YAW, PITCH);
        return {(int)s.x, (int)s.y};
    }
    static bool brickShows(const xdriver::Image &s)
    {
        double rgb[3];
        Pixel b = brick();
        xdriver::meanColour(s, b.x - 15, b.y - 15, b.x + 15, b.y + 15, rgb);
        return rgb[0] > rgb[2] + 40;
    }

    // Events mode through the editing-mode menu at the right edge
    void chooseEventsMode()
    {
        const xdriver::Image base = run.input.screenshot();
        run.input.moveMouse(1020, 384);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, RIGHT_PART) > boxArea(RIGHT_PART) / 4; }));
        ASSERT_TRUE(settles(RIGHT_PART));
        ButtonPanel atRest = *modeMenu();
        atRest.angle = SWING_REST_ANGLE;
        PanelPoint eye = panelToEye(atRest, buttonCentre(atRest, 2));
        Pixel events = eyeToScreen(eye.x, eye.y, eye.z);
        const xdriver::Image open = shot;
        ASSERT_TRUE(hover(events, open, 12, 100)) << "the events button did not light up";
        run.input.click(1);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, RIGHT_PART) < boxArea(RIGHT_PART) / 50; }))
            << "the mode menu stayed open";
    }
};

}  // namespace

TEST_F(EventEditor, AnActivatedMoveEventIsBuiltTypedAndSaved)
{
    chooseEventsMode();
    if (HasFatalFailure()) return;
    const xdriver::Image scene = shot;

    // A click on the brick cube opens the event panel over the view
    const Box header = {100, 120, 920, 230};
    run.input.moveMouse(brick().x, brick().y);
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(scene, s, header) > boxArea(header) / 2; }))
        << "the event panel did not open";
    ASSERT_TRUE(settles(header));
    const xdriver::Image page = shot;
    std::string file = run.saveScreenshot(page, "event_editor_open");
    // Every row bar is drawn with a "- Nothing -" in white inside it
    for (int row = 0; row < 12; row++) EXPECT_GT(whiteIn(page, rowBar(row)), 20) << "row " << row << " " << file;

    // IF row: the condition chooser opens beside it; its first option is ACTIVATED ??
    ASSERT_TRUE(hover(buttonOnScreen(FirstConditionRowButton), page)) << "the IF button did not light up";
    run.input.click(1);
    const Pixel activated = firstOption(-16.9, conditionChooserY(0), 7.0, 6);
    const Box activatedBar = firstRowBar(-16.9, conditionChooserY(0), 7.0, 6);
    ASSERT_TRUE(hoverOption(activated, activatedBar)) << "the condition chooser did not open";
    run.saveScreenshot(shot, "event_editor_condition_chooser");
    run.input.click(1);
    // The chooser closes and the first condition row shows its text
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, activatedBar) == 0; }));
    ASSERT_TRUE(settles(header));
    EXPECT_GT(changedIn(page, shot, rowBar(0)), 20) << "the IF row did not change";
    const xdriver::Image withCondition = shot;

    // THEN row: MOVE OBJECT asks for X, Y and Z
    ASSERT_TRUE(hover(buttonOnScreen(FirstConsequenceRowButton), withCondition)) << "the THEN button did not light up";
    run.input.click(1);
    const Pixel move = firstOption(-10.6, consequenceChooserY(0), 13.0, 8);
    const Box moveBar = firstRowBar(-10.6, consequenceChooserY(0), 13.0, 8);
    ASSERT_TRUE(hoverOption(move, moveBar)) << "the consequence chooser did not open";
    run.saveScreenshot(shot, "event_editor_consequence_chooser");
    run.input.click(1);
    const Box promptFrame = around(eyeToScreen(0.0, 1.4, -33.0), 6);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, promptFrame) == boxArea(promptFrame); }))
        << "the move prompt did not open";
    const Box typed = {eyeToScreen(-29.4, 1.05, -66.9).x, eyeToScreen(-29.4, 1.05, -66.9).y,
                       eyeToScreen(-29.4 + 6.0, 1.05 - 1.3, -66.9).x, eyeToScreen(-29.4 + 6.0, 1.05 - 1.3, -66.9).y};
    typeInto("100", typed);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return whiteIn(s, typed) > 30; })) << "no typed text";
    run.saveScreenshot(shot, "event_editor_move_prompt");
    typeInto("\r-50\r0", typed);
    run.input.typeText("\r");
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return redIn(s, promptFrame) == 0; })) << "the prompt stayed open";
    ASSERT_TRUE(settles(header));
    EXPECT_GT(changedIn(withCondition, shot, rowBar(4)), 20) << "the THEN row did not change";
    run.saveScreenshot(shot, "event_editor_after_move");

    // A click on empty space closes the panel (once a pick there has found nothing)
    const xdriver::Image filled = shot;
    const Pixel ifButton = buttonOnScreen(FirstConditionRowButton);
    ASSERT_TRUE(hover(ifButton, filled));
    run.input.moveMouse(1000, 720);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(filled, s, around(ifButton, 8)) < 5; }));
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(scene, s, header) < boxArea(header) / 50; }))
        << "the event panel stayed open";

    // F9 saves: the cube (written as P20) carries the event
    run.input.tap(XK_F9);
    std::string element;
    ASSERT_TRUE(xdriver::waitUntil(
        [&] {
            std::string text;
            if (!xdriver::readFile(run.path("escena.xml"), text)) return false;
            element = objectElement(text, 20);
            return element.find("<evento") != std::string::npos;
        },
        10000, 50))
        << "the event was not saved";
    EXPECT_NE(element.find("<evento codigo=\"0\"><condicion><tipoCond>1</tipoCond><cond><cActivate>"), std::string::npos)
        << element;
    EXPECT_NE(element.find("<consec><tipoCons>1</tipoCons><cons><cMoveObj><moveObjX>100</moveObjX><moveObjY>-50</moveObjY>"
                           "<moveObjZ>0</moveObjZ></cMoveObj>"),
              std::string::npos)
        << element;

    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000));
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
}
