// The real stageworks driven with keys and mouse through XTest: the HUD shown and hidden with
// L, mouse-look and walking seen in the HUD's camera lines, and Escape ignored while
// mouse-looking. The HUD text is white; the checks look at the near-white pixels of the HUD
// lines so that whatever the scene draws behind them does not count.
#include "stageworks_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// The view: 1024 x 768, vertical field of view 45, HUD lines 70 units in front of the eye
constexpr double HUD_DISTANCE = 70.0;
constexpr double LINE_HEIGHT = 1.9;    // glyph height of the generated font
constexpr int HUD_LEFT = 30;
constexpr int HUD_RIGHT = 760;

// Window row of a height on the HUD plane
int rowOf(double y)
{
    const double halfHeight = HUD_DISTANCE * std::tan(22.5 * 3.14159265358979 / 180.0);
    return (int)std::lround(384.0 - y / halfHeight * 384.0);
}

struct Strip {
    int y0, y1;
};

// Rows of the HUD line whose top is at height top
Strip lineStrip(double top) { return Strip{rowOf(top), rowOf(top - LINE_HEIGHT)}; }

const Strip FPS_LINE = lineStrip(25.5);
const Strip CAMPOS_LINE = lineStrip(17.5);
const Strip CAMYAW_LINE = lineStrip(15.5);
const Strip WHOLE_HUD = Strip{rowOf(25.5) - 2, rowOf(-0.5 - LINE_HEIGHT) + 2};

bool nearWhite(const uint8_t *p) { return p[0] >= 225 && p[1] >= 225 && p[2] >= 225; }

// Near-white pixels of a strip of the HUD columns
long whitePixels(const xdriver::Image &image, Strip s)
{
    long count = 0;
    for (int y = s.y0; y <= s.y1; y++)
        for (int x = HUD_LEFT; x <= HUD_RIGHT; x++) count += nearWhite(image.pixel(x, y)) ? 1 : 0;
    return count;
}

// Pixels of a strip that are near-white in one image and not in the other: text that changed
long textChange(const xdriver::Image &a, const xdriver::Image &b, Strip s)
{
    long count = 0;
    for (int y = s.y0; y <= s.y1; y++)
        for (int x = HUD_LEFT; x <= HUD_RIGHT; x++) count += nearWhite(a.pixel(x, y)) != nearWhite(b.pixel(x, y)) ? 1 : 0;
    return count;
}

// Enough white for a line of text (a character is some tens of pixels)
constexpr long SOME_TEXT = 150;

class Input : public ::testing::Test {
protected:
    StageworksRun run;
    xdriver::Image shot;

    void SetUp() override
    {
        ASSERT_TRUE(run.startServer());
        ASSERT_TRUE(run.prepareWorkDir());
        ASSERT_TRUE(run.launch());
        ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
        run.input.moveMouse(512, 384);
    }

    // Takes screenshots until condition holds for one of them (kept in shot)
    template <typename Condition>
    bool screenUntil(Condition condition, int timeoutMs = 5000)
    {
        return xdriver::waitUntil(
            [&] {
                run.app.pump(0);
                if (run.app.exited) return false;
                shot = run.input.screenshot();
                return !shot.empty() && condition(shot);
            },
            timeoutMs, 50);
    }

    // Shows the HUD with L and waits until its lines are on the screen
    void showHud()
    {
        const long before = whitePixels(run.input.screenshot(), WHOLE_HUD);
        run.input.tap(XK_l);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return whitePixels(s, WHOLE_HUD) > before + 8 * SOME_TEXT; }))
            << "the HUD did not appear";
    }

    void exitWithEscape()
    {
        run.input.tap(XK_Escape);
        ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
        EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
    }
};

}  // namespace

TEST_F(Input, LTogglesTheHud)
{
    const xdriver::Image hidden = run.input.screenshot();
    ASSERT_EQ(hidden.width, 1024);
    const long hiddenWhite = whitePixels(hidden, WHOLE_HUD);

    showHud();
    run.saveScreenshot(shot, "hud_shown");
    EXPECT_GT(whitePixels(shot, FPS_LINE), SOME_TEXT);
    EXPECT_GT(whitePixels(shot, CAMPOS_LINE), SOME_TEXT);
    // Nothing is drawn left of the lines' start
    for (int y = WHOLE_HUD.y0; y <= WHOLE_HUD.y1; y++)
        for (int x = 0; x < HUD_LEFT - 2; x++) ASSERT_FALSE(nearWhite(shot.pixel(x, y))) << x << "," << y;

    // L again hides all eight lines at once
    run.input.tap(XK_L);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return whitePixels(s, WHOLE_HUD) <= hiddenWhite + 20; }))
        << "the HUD did not go away";
    run.saveScreenshot(shot, "hud_hidden");
    exitWithEscape();
}

TEST_F(Input, MouseLookTurnsTheCamera)
{
    showHud();
    run.input.click(1);    // navigation mode: the left button starts mouse-look

    // Moving the pointer turns the camera: the yaw line changes, the position line does not
    const xdriver::Image still = shot;
    run.input.moveMouse(600, 384);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return textChange(still, s, CAMYAW_LINE) > SOME_TEXT / 3; }))
        << "mouse-look did not turn the camera";
    // NOTE: clouds behind the HUD move too, so "unchanged" means far less change than the yaw line
    EXPECT_LT(textChange(still, shot, CAMPOS_LINE) * 4, textChange(still, shot, CAMYAW_LINE));
    run.saveScreenshot(shot, "mouse_look");

    run.input.click(1);    // leave mouse-look so that Escape exits
    exitWithEscape();
}

TEST_F(Input, HoldingUpWalks)
{
    showHud();
    run.input.click(1);    // mouse-look on
    const xdriver::Image before = shot;
    // Holding the up arrow walks: the position line changes, the angles do not
    run.input.key(XK_Up, true);
    bool walked = screenUntil([&](const xdriver::Image &s) { return textChange(before, s, CAMPOS_LINE) > SOME_TEXT / 3; });
    run.input.key(XK_Up, false);
    ASSERT_TRUE(walked) << "holding the up arrow did not move the camera";
    EXPECT_LT(textChange(before, shot, CAMYAW_LINE) * 4, textChange(before, shot, CAMPOS_LINE));
    run.saveScreenshot(shot, "walking");

    // After the release the camera glides to a stop
    xdriver::Image previous = shot;
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) {
        bool still = textChange(previous, s, CAMPOS_LINE) == 0;
        previous = s;
        return still;
    })) << "the camera did not stop";

    run.input.click(1);
    exitWithEscape();
}

TEST_F(Input, EscapeExitsOnlyAfterAClickLeavesMouseLook)
{
    run.input.click(1);    // mouse-look on
    run.input.tap(XK_Escape);
    // The keys are handled in order: once L has shown the HUD, Escape has been ignored
    showHud();
    run.app.pump(200);
    ASSERT_FALSE(run.app.exited) << "Escape ended the program while mouse-looking";

    run.input.click(1);    // mouse-look off
    exitWithEscape();
}
