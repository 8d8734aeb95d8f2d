// The real stageworks driven with keys and mouse through XTest: the start-up messages in
// order, the game-mode window over the screen, the HUD shown and hidden with L, walking after a click has started mouse-look, seen in the HUD's camera line, and Escape
// ignored while mouse-looking. The HUD text is white; the checks look at the near-white
// pixels of the HUD lines so that whatever the scene draws behind them does not count.
#include "stageworks_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Strip {
    int y0, y1;
};

// Rows of the HUD line whose top is at height top: lines 70 units in front of the eye, a
// vertical field of view of 45 degrees, glyphs 1.9 units high
Strip lineStrip(double top, double bottom)
{
    const double halfHeight = 70.0 * std::tan(22.5 * 3.14159265358979 / 180.0);
    return Strip{(int)std::lround(384.0 - top / halfHeight * 384.0), (int)std::lround(384.0 - (bottom - 1.9) / halfHeight * 384.0)};
}

const Strip CAMPOS_LINE = lineStrip(17.5, 17.5), WHOLE_HUD = lineStrip(25.65, -0.65);
constexpr long SOME_TEXT = 150;  // near-white pixels of a line of text

bool nearWhite(const uint8_t *p) { return p[0] >= 225 && p[1] >= 225 && p[2] >= 225; }

// Near-white pixels of a strip of the HUD columns, or those that changed between two images
long whitePixels(const xdriver::Image &a, Strip s, const xdriver::Image *b = nullptr)
{
    long count = 0;
    for (int y = s.y0; y <= s.y1; y++)
        for (int x = 30; x <= 760; x++)
            count += b ? nearWhite(a.pixel(x, y)) != nearWhite(b->pixel(x, y)) : nearWhite(a.pixel(x, y));
    return count;
}

}  // namespace

TEST(Input, LTogglesTheHudAndAClickThenTheUpArrowWalksWithEscapeIgnoredMeanwhile)
{
    StageworksRun run;
    ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
    const char *const startup[] = {" Creating hashes...\n", " Adding materials...\n", " Creating menus...\n",
                                   " Input initialization...\n", " Light initialization...\n", " Call backs...\n",
                                   " Loading textures...\n", " XML loading...\n", " MainLoop started...\n"};
    EXPECT_TRUE(appearInOrder(run.app.out, startup, 9)) << run.app.out;
    xdriver::Image shot;
    auto screenUntil = [&](auto condition) { return run.screenUntil(shot, condition, 30000, 50); };
    shot = run.input.screenshot();  // the game-mode window covers the screen
    ASSERT_TRUE(shot.width == 1024 && shot.height == 768);
    const long hidden = whitePixels(shot, WHOLE_HUD);
    for (int show : {1, 0, 1}) {
        run.input.tap(show ? XK_l : XK_L);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) {
            long white = whitePixels(s, WHOLE_HUD);
            return show ? white > hidden + 8 * SOME_TEXT : white <= hidden + 20;
        })) << "the HUD did not " << (show ? "appear" : "go away");
    }

    run.input.click(1);  // navigation mode: the left button starts mouse-look
    run.input.tap(XK_Escape);
    const xdriver::Image before = shot;
    run.input.key(XK_Up, true);
    bool walked = screenUntil([&](const xdriver::Image &s) { return whitePixels(before, CAMPOS_LINE, &s) > SOME_TEXT / 3; });
    run.input.key(XK_Up, false);
    ASSERT_TRUE(walked) << "holding the up arrow did not move the camera";
    ASSERT_FALSE(run.app.exited) << "Escape ended the program while mouse-looking";

    run.input.click(1);  // mouse-look off: now Escape exits
    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
}
