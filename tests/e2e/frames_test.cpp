// The frames around clicks in object editing: every frame the real stageworks swaps is looked
// at just before the swap, and the back buffer is filled with magenta after it
// (tests/support/frame_probe preloaded into it). A click that picks the brick cube and a
// click on the open sky (no hit: looking around starts) each run a selection pass that draws
// nothing on the screen; every frame shown around them must be a whole frame: no part of it
// the clear colour alone, none of the magenta left.
#include "menu_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace start_view;

namespace {

// One frame as the probe logged it: samples of the clear colour and of magenta (not drawn
// over), out of all samples
struct ProbedFrame {
    long swap, clear, unpainted, samples;
};

std::vector<ProbedFrame> readProbe(const std::string &path)
{
    std::vector<ProbedFrame> frames;
    std::ifstream in(path);
    ProbedFrame f = {};
    while (in >> f.swap >> f.clear >> f.unpainted >> f.samples) frames.push_back(f);
    return frames;
}

class Frames : public MenuRun {
protected:
    std::string probe;

    // The program with the probe preloaded, at its start view
    void SetUp() override
    {
        ASSERT_TRUE(run.startServer() && run.prepareWorkDir());
        probe = run.path("frames.log");
        // NOTE: a sanitizer build checks that its runtime is loaded first; the probe comes first
        ASSERT_TRUE(run.app.spawn({SW_STAGEWORKS_BIN}, run.workDir, run.server.display,
                                  {std::string("LD_PRELOAD=") + SW_FRAME_PROBE_LIB, "SW_FRAME_PROBE=" + probe,
                                   "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0"}));
        ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
        run.input.moveMouse(512, 384);
        ASSERT_TRUE(screenUntil(brickShows, 20000)) << "no scene";
    }

    // Clicks at a point and waits until frames after the press and the release were shown
    void clickAndWatch(Pixel p)
    {
        run.input.moveMouse(p.x, p.y);
        const size_t before = readProbe(probe).size();
        run.input.click(1);
        EXPECT_TRUE(xdriver::waitUntil(
            [&] {
                run.app.pump(0);
                return readProbe(probe).size() >= before + 2;
            },
            10000, 40))
            << "no frames after the click at (" << p.x << ", " << p.y << ")";
    }
};

}  // namespace

TEST_F(Frames, EveryFrameAroundClicksInObjectEditingIsWhole)
{
    chooseFromMenu({1020, 384}, RIGHT_PART, modeMenu(), 1);  // object editing (operation Trasladar)
    if (HasFatalFailure()) return;
    clickAndWatch(brick());     // picks the cube and holds it until the release
    clickAndWatch({512, 30});   // the sky: nothing picked, looking around starts
    clickAndWatch({512, 384});  // a click while looking only stops it
    run.input.moveMouse(512, 300);
    ASSERT_TRUE(screenUntil(brickShows)) << "the scene is not back";

    const std::vector<ProbedFrame> frames = readProbe(probe);
    ASSERT_GT(frames.size(), 6u);
    for (const ProbedFrame &f : frames) {
        ASSERT_GT(f.samples, 0);
        EXPECT_LT(f.clear * 2, f.samples) << "swap " << f.swap << " shows the clear colour in " << f.clear << " of "
                                          << f.samples << " samples";
        EXPECT_EQ(f.unpainted, 0) << "swap " << f.swap << " leaves " << f.unpainted << " of " << f.samples
                                  << " samples undrawn";
    }
    run.input.tap(XK_Escape);
    EXPECT_TRUE(run.app.waitExit(10000));
}
