// The real stageworks on a private X server: the first frames show the sky box and the
// objects placed in front of the start camera with their materials; a missing sky bitmap ends
// the start-up, a missing scene texture does not.
#include "stageworks_run.h"
#include "view_projection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>

using namespace view_test;

namespace {

// Mean colour around a world point seen from the start camera
struct Mean {
    double r, g, b;
};
Mean meanAround(const xdriver::Image &shot, double x, double y, double z, int half)
{
    ScreenPoint p = projectPoint(x, y, z, -41.51, 30.0, 38.74, 314.22, -8.82);
    EXPECT_TRUE(onScreen(p));
    double rgb[3];
    xdriver::meanColour(shot, (int)p.x - half, (int)p.y - half, (int)p.x + half, (int)p.y + half, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

// Starts the program without the given bitmap of the run data (none when empty)
bool start(StageworksRun &run, const std::string &without)
{
    return run.startServer() && run.prepareWorkDir() &&
           (without.empty() || std::remove(run.path(without).c_str()) == 0) && run.launch();
}

// Screenshots until the brick cube's place satisfies the condition (the first frame builds the
// display lists and draws no object)
xdriver::Image waitForBrick(StageworksRun &run, bool (*condition)(const Mean &))
{
    xdriver::Image shot;
    xdriver::waitUntil(
        [&] {
            run.app.pump(10);
            shot = run.input.screenshot();
            return shot.width == 1024 && shot.height == 768 && condition(meanAround(shot, -12, 22, -20, 20));
        },
        20000, 50);
    return shot;
}

}  // namespace

TEST(FirstFrames, TheSkyAndTheObjectsWithTheirMaterials)
{
    StageworksRun run;
    ASSERT_TRUE(start(run, ""));
    ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
    xdriver::Image shot = waitForBrick(run, [](const Mean &b) { return b.r > b.b + 40; });  // warm bricks
    ASSERT_EQ(shot.width, 1024);
    std::cout << "screenshot: " << run.saveScreenshot(shot, "render_first_frames") << "\n";
    Mean brick = meanAround(shot, -12, 22, -20, 20);
    EXPECT_GT(brick.r, brick.b + 40);

    double top[3];  // the upper part of the view is sky: blue above everything
    xdriver::meanColour(shot, 0, 0, 1024, 120, top);
    EXPECT_GT(top[2], top[0] + 30) << top[0] << " " << top[1] << " " << top[2];
    EXPECT_GT(top[2], 150);
    Mean cylinder = meanAround(shot, 11, 18, 3, 10);  // the plain red cylinder
    EXPECT_GT(cylinder.r, cylinder.g + 50);
    EXPECT_GT(cylinder.r, cylinder.b + 50);
    EXPECT_FALSE(run.app.exited) << run.app.err;
    EXPECT_EQ(run.app.err.find("Error!"), std::string::npos) << run.app.err;
}

TEST(FirstFrames, AMissingSkyBitmapEndsStartUpWithStatusOne)
{
    StageworksRun run;
    ASSERT_TRUE(start(run, "Data/iypos2.bmp"));
    ASSERT_TRUE(run.app.waitExit(60000));
    EXPECT_EQ(run.app.exitStatus, 1);
    EXPECT_NE(run.app.err.find("Error!: Data/iypos2.bmp"), std::string::npos) << run.app.err;
    EXPECT_EQ(run.app.out.find(" XML loading..."), std::string::npos) << run.app.out;
}

TEST(FirstFrames, AMissingSceneTextureIsReportedAndDrawnPlain)
{
    StageworksRun run;
    ASSERT_TRUE(start(run, "Data/ladrillo.bmp"));
    ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
    EXPECT_NE(run.app.err.find("Error!: Data/ladrillo.bmp"), std::string::npos) << run.app.err;
    xdriver::Image shot = waitForBrick(run, [](const Mean &b) { return b.r > 120; });
    Mean plain = meanAround(shot, -12, 22, -20, 20);  // the material's plain colour instead of bricks
    EXPECT_GT(plain.r, 120);
    EXPECT_LT(std::abs(plain.r - plain.b), 40);
    EXPECT_FALSE(run.app.exited);
}
