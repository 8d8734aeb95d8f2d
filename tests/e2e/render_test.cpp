// The real stageworks on a private X server: the first frames show the sky box, the objects
// placed in front of the start camera with their materials, and the animated water changing.
#include "stageworks_run.h"
#include "view_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iostream>

using namespace view_test;

namespace {

// The start camera
constexpr double EYE_X = -41.51, EYE_Y = 30.0, EYE_Z = 38.74, YAW = 314.22, PITCH = -8.82;

ScreenPoint fromStart(double x, double y, double z) { return projectPoint(x, y, z, EYE_X, EYE_Y, EYE_Z, YAW, PITCH); }

struct Mean {
    double r, g, b;
};

Mean meanAround(const xdriver::Image &shot, const ScreenPoint &p, int half)
{
    double rgb[3];
    int x = (int)p.x, y = (int)p.y;
    xdriver::meanColour(shot, x - half, y - half, x + half, y + half, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

// Pixels that differ between two shots inside a square around p
long changedAround(const xdriver::Image &a, const xdriver::Image &b, const ScreenPoint &p, int half)
{
    long changed = 0;
    for (int y = (int)p.y - half; y < (int)p.y + half; y++)
        for (int x = (int)p.x - half; x < (int)p.x + half; x++) {
            const uint8_t *pa = a.pixel(x, y), *pb = b.pixel(x, y);
            if (std::abs(pa[0] - pb[0]) + std::abs(pa[1] - pb[1]) + std::abs(pa[2] - pb[2]) > 24) changed++;
        }
    return changed;
}

}  // namespace

TEST(FirstFrames, SkyObjectsAndAnimatedWater)
{
    StageworksRun run;
    ASSERT_TRUE(run.startServer());
    ASSERT_TRUE(run.prepareWorkDir());
    ASSERT_TRUE(run.launch());
    ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;

    // The objects appear from the second frame on (the first builds their display lists):
    // wait until the brick cube is on the screen
    ScreenPoint brick = fromStart(-12, 22, -20);
    ASSERT_TRUE(onScreen(brick));
    xdriver::Image shot;
    bool drawn = xdriver::waitUntil(
        [&] {
            run.app.pump(10);
            shot = run.input.screenshot();
            if (shot.width != 1024 || shot.height != 768) return false;
            Mean b = meanAround(shot, brick, 20);
            return b.r > b.b + 40;
        },
        20000, 50);
    ASSERT_EQ(shot.width, 1024);
    ASSERT_EQ(shot.height, 768);
    std::string file = run.saveScreenshot(shot, "render_first_frames");
    EXPECT_TRUE(drawn) << "the brick cube never showed";
    std::cout << "screenshot: " << file << "\n";

    // The upper part of the view is sky: blue above everything
    double top[3];
    xdriver::meanColour(shot, 0, 0, 1024, 120, top);
    EXPECT_GT(top[2], top[0] + 30) << top[0] << " " << top[1] << " " << top[2];
    EXPECT_GT(top[2], 150);


    // The plain red cylinder (the brick cube's warm red-brown was waited for above)
    ScreenPoint cylinder = fromStart(11, 18, 3);
    ASSERT_TRUE(onScreen(cylinder));
    Mean c = meanAround(shot, cylinder, 10);
    EXPECT_GT(c.r, c.g + 50) << c.r << " " << c.g << " " << c.b;
    EXPECT_GT(c.r, c.b + 50) << c.r << " " << c.g << " " << c.b;

    // The water sphere is darker than the sky around it and its picture changes over time
    ScreenPoint water = fromStart(-3, 22, -3);
    ASSERT_TRUE(onScreen(water));
    Mean w = meanAround(shot, water, 25);
    EXPECT_LT(w.r + w.g + w.b, top[0] + top[1] + top[2] - 150);
    xdriver::Image later;
    bool changed = xdriver::waitUntil(
        [&] {
            run.app.pump(10);
            later = run.input.screenshot();
            return changedAround(shot, later, water, 25) > 200;
        },
        10000, 100);
    EXPECT_TRUE(changed) << "the animated water never changed frame";
    // while the still brick texture stays as it was
    EXPECT_LT(changedAround(shot, later, brick, 20), 20);

    // At -35 degrees the sun stands 55 degrees high behind the viewer's left shoulder, out of
    // this first view (the GL tests look at it face on)
    const double a = -35.0 * 3.141592653 / 180.0;
    ScreenPoint sun = fromStart(EYE_X + std::sin(a) * 1000.0, EYE_Y + std::cos(a) * 1000.0, EYE_Z);
    EXPECT_FALSE(onScreen(sun));

    EXPECT_FALSE(run.app.exited) << run.app.err;
    EXPECT_EQ(run.app.err.find("Error!"), std::string::npos) << run.app.err;
}

TEST(FirstFrames, AMissingSkyBitmapEndsStartUpWithStatusOne)
{
    StageworksRun run;
    ASSERT_TRUE(run.startServer());
    ASSERT_TRUE(run.prepareWorkDir());
    ASSERT_EQ(std::remove(run.path("Data/iypos2.bmp").c_str()), 0);
    ASSERT_TRUE(run.launch());
    ASSERT_TRUE(run.app.waitExit(60000));
    EXPECT_EQ(run.app.exitStatus, 1);
    EXPECT_NE(run.app.err.find("Error!: Data/iypos2.bmp"), std::string::npos) << run.app.err;
    EXPECT_EQ(run.app.out.find(" XML loading..."), std::string::npos) << run.app.out;
}

TEST(FirstFrames, AMissingSceneTextureIsReportedAndTheProgramGoesOn)
{
    StageworksRun run;
    ASSERT_TRUE(run.startServer());
    ASSERT_TRUE(run.prepareWorkDir());
    ASSERT_EQ(std::remove(run.path("Data/ladrillo.bmp").c_str()), 0);
    ASSERT_TRUE(run.launch());
    ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
    EXPECT_NE(run.app.err.find("Error!: Data/ladrillo.bmp"), std::string::npos) << run.app.err;

    // The cube is drawn in its material's plain colour instead of bricks
    ScreenPoint brick = fromStart(-12, 22, -20);
    xdriver::Image shot;
    Mean b = {0, 0, 0};
    xdriver::waitUntil(
        [&] {
            run.app.pump(10);
            shot = run.input.screenshot();
            if (shot.width != 1024 || shot.height != 768) return false;
            b = meanAround(shot, brick, 20);
            return b.r > 120;
        },
        20000, 50);
    run.saveScreenshot(shot, "render_missing_texture");
    EXPECT_GT(b.r, 120) << b.r << " " << b.g << " " << b.b;
    EXPECT_LT(std::fabs(b.r - b.b), 40) << b.r << " " << b.g << " " << b.b;
    EXPECT_FALSE(run.app.exited);
}
