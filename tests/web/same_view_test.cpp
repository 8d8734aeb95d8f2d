// The published page shows what 'stageworks --play' shows: the demo's start view, the view
// after walking forward with the up arrow and the view after turning with the mouse, and the
// start view of 250 mixed objects (every kind, smoothed and faceted, animated textures, a
// see-through material), each as a screenshot of the player on the private X server beside a
// screenshot of the page in headless Chromium. At least 99% of the pixels must agree within 8
// levels per channel.
//
// Both programs run with the animation clock fixed and the sun held still (SW_TEST_CLOCK in
// the player, ?clock in the page; the HUD is off). Walking depends on how many frames the
// arrow was held, which neither side can know in advance, so the same pose is reached this
// way: the player's test probe freezes its picture on request and writes exactly what that
// picture shows (camera, every object's pose, material and texture turn); the page, driven
// by its own key and mouse handlers and its own engine, tries each number of frames the
// arrow can have been held until its walk ends on the player's camera bit for bit, and
// steps on until every object stands as in the player's picture (the pyramid turns all the
// time). Only then are the two pictures compared.
#include "stageworks_run.h"
#include "web_support.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

const int TURN_PIXELS = 60;

// Asks the player's probe to freeze its picture; its state text (empty on a time-out)
std::string freeze(StageworksRun &run, const std::string &probe, int request)
{
    {
        std::ofstream out(probe + ".freeze.part");
        out << request;
    }
    std::rename((probe + ".freeze.part").c_str(), (probe + ".freeze").c_str());
    std::string text;
    const std::string want = "request " + std::to_string(request) + "\n";
    xdriver::waitUntil([&] {
        run.app.pump(0);
        return xdriver::readFile(probe, text) && text.rfind(want, 0) == 0;
    }, 30000, 20);
    return text.rfind(want, 0) == 0 ? text : std::string();
}

// Lets the player run on
void thaw(const std::string &probe) { std::remove((probe + ".freeze").c_str()); }

// The number after "frame " in a state text
long frameOf(const std::string &text)
{
    const size_t at = text.find("frame ");
    return at == std::string::npos ? -1 : std::stol(text.substr(at + 6));
}

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream out(path);
    out << text;
}

// The player's picture and state with the camera at rest: frozen twice, frames apart, with
// the same camera
bool restingView(StageworksRun &run, const std::string &probe, int &request, std::string &state, xdriver::Image &shot)
{
    std::string previous;
    return xdriver::waitUntil([&] {
        state = freeze(run, probe, ++request);
        if (state.empty()) return false;
        shot = run.input.screenshot();
        web_test::ViewState now = web_test::parseViewState(state);
        const bool rest = !previous.empty() && frameOf(state) > frameOf(previous) + 1 &&
                          web_test::parseViewState(previous).camera == now.camera;
        previous = state;
        thaw(probe);
        return rest;
    }, 60000, 100) && !state.empty();
}

// True when a frozen picture stays as it is for longer than the things that change with time
// (the water's animated texture, the sun) wait before asking for a frame: a frame drawn
// while frozen would step the events (the pyramid turns) and show what the state does not say
bool staysFrozen(StageworksRun &run, const std::string &probe, int &request)
{
    if (freeze(run, probe, ++request).empty()) return false;
    const xdriver::Image first = run.input.screenshot();
    xdriver::waitUntil([&] {
        run.app.pump(0);
        return false;
    }, 1200, 50);
    const xdriver::Image later = run.input.screenshot();
    thaw(probe);
    return first.width > 0 && xdriver::differentPixels(first, later, 0) == 0;
}

// Share of pixels that differ by more than 8 levels in some channel
double differingShare(const xdriver::Image &a, const xdriver::Image &b)
{
    if (a.width != b.width || a.height != b.height || a.width == 0) return 1.0;
    return (double)xdriver::differentPixels(a, b, 8) / ((double)a.width * a.height);
}

// The scene (the demo, or count mixed objects) published into DIR/published, and the player
// started on it with its test probe (DIR/probe.state) and the animation clock fixed
void startBoth(StageworksRun &run, int count)
{
    ASSERT_TRUE(run.startServer());
    ASSERT_TRUE(run.prepareWorkDir());
    std::string output;
    if (count > 0) {
        xdriver::ChildProcess generator;
        ASSERT_TRUE(generator.spawn({SW_MIXEDSCENE_BIN, std::to_string(count), run.workDir}, run.workDir, ""));
        ASSERT_TRUE(generator.waitExit(60000));
        ASSERT_EQ(generator.exitStatus, 0);
    }
    ASSERT_EQ(web_test::publish(run.workDir, run.path("published"), output), 0) << output;
    ASSERT_TRUE(run.app.spawn({SW_STAGEWORKS_BIN, "--play"}, run.workDir, run.server.display,
                              {"SW_TEST_CLOCK=0", "SW_TEST_PROBE=" + run.path("probe.state")}));
    ASSERT_TRUE(run.waitReady(120000)) << run.app.out << run.app.err;
    run.input.moveMouse(512, 384);
}

// Compares the page's picture and state NAME (page_NAME.png/.state in the working directory)
// with the player's
void expectSameView(StageworksRun &run, const std::string &name, const xdriver::Image &shot, const std::string &state)
{
    SCOPED_TRACE(name);
    std::string pageState;
    ASSERT_TRUE(xdriver::readFile(run.path("page_" + name + ".state"), pageState));
    const web_test::ViewState p = web_test::parseViewState(pageState), d = web_test::parseViewState(state);
    EXPECT_EQ(p.camera, d.camera);
    EXPECT_EQ(p.poses, d.poses);
    EXPECT_EQ(p.materials, d.materials);
    EXPECT_EQ(p.turns, d.turns);
    xdriver::Image page;
    std::string error;
    ASSERT_TRUE(xdriver::readPng(run.path("page_" + name + ".png"), page, &error)) << error;
    const double share = differingShare(shot, page);
    EXPECT_LE(share, 0.01) << "player: " << run.saveScreenshot(shot, "web_player_" + name)
                           << " page: " << run.saveScreenshot(page, "web_page_" + name);
    printf("%s view: %.3f%% of the pixels differ by more than 8 levels\n", name.c_str(), share * 100.0);
}

}  // namespace

TEST(WebPage, StartWalkAndTurnViewsAreThePlayers)
{
    StageworksRun run;
    startBoth(run, 0);
    if (HasFatalFailure()) return;
    const std::string folder = run.path("published");
    const std::string probe = run.path("probe.state");
    std::string output;

    // The start view
    int request = 0;
    std::string start, walk, turn;
    xdriver::Image startShot, walkShot, turnShot;
    ASSERT_TRUE(restingView(run, probe, request, start, startShot)) << run.app.err;
    EXPECT_TRUE(staysFrozen(run, probe, request)) << "the player drew frames while its picture was held";

    // Walking: the arrow held until the picture has clearly changed, then the glide to rest
    run.input.key(XK_Up, true);
    xdriver::waitUntil([&] {
        run.app.pump(0);
        return xdriver::differentPixels(startShot, run.input.screenshot(), 8) > 100000;
    }, 30000, 30);
    run.input.key(XK_Up, false);
    ASSERT_TRUE(restingView(run, probe, request, walk, walkShot));
    ASSERT_NE(web_test::parseViewState(walk).camera, web_test::parseViewState(start).camera) << "the player did not walk";

    // Turning: one pointer motion of TURN_PIXELS to the right of the look centre
    const float walkedYaw = web_test::parseViewState(walk).camera.at(3);
    run.input.moveMouse(512 + TURN_PIXELS, 384);
    ASSERT_TRUE(xdriver::waitUntil([&] {
        turn = freeze(run, probe, ++request);
        turnShot = run.input.screenshot();
        thaw(probe);
        return !turn.empty() && web_test::parseViewState(turn).camera.at(3) != walkedYaw;
    }, 30000, 100));
    turn = freeze(run, probe, ++request);
    turnShot = run.input.screenshot();

    const std::string out = run.workDir;
    writeText(out + "/player_start.state", start);
    writeText(out + "/player_walk.state", walk);
    writeText(out + "/player_turn.state", turn);
    ASSERT_EQ(web_test::runWebTool({"page_views.mjs", folder, out, out + "/player_start.state",
                                    out + "/player_walk.state", out + "/player_turn.state",
                                    std::to_string(TURN_PIXELS)}, output), 0) << output;

    expectSameView(run, "start", startShot, start);
    expectSameView(run, "walk", walkShot, walk);
    expectSameView(run, "turn", turnShot, turn);
}

TEST(WebPage, MixedObjectsStartViewIsThePlayers)
{
    StageworksRun run;
    startBoth(run, 250);
    if (HasFatalFailure()) return;
    int request = 0;
    std::string start, output;
    xdriver::Image shot;
    ASSERT_TRUE(restingView(run, run.path("probe.state"), request, start, shot)) << run.app.err;
    writeText(run.path("player_start.state"), start);
    ASSERT_EQ(web_test::runWebTool({"page_views.mjs", run.path("published"), run.workDir, run.path("player_start.state")},
                                   output), 0) << output;
    expectSameView(run, "start", shot, start);
}
