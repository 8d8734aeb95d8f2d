// The real stageworks with its scene file: the demo scene is loaded and drawn at start-up, F9
// writes escena.xml (the same bytes the demo scene was shipped with; the unit test validates them),
// and F5 replaces the scene with the one now in escena.xml, or keeps it when that file is bad.
#include "stageworks_run.h"
#include "view_projection.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <sstream>

using namespace view_test;

namespace {

// Mean colour around a point of the demo scene as seen from the start camera
std::array<double, 3> meanAround(const xdriver::Image &shot, double x, double y, double z, int half)
{
    ScreenPoint p = projectPoint(x, y, z, -41.51, 30.0, 38.74, 314.22, -8.82);
    std::array<double, 3> rgb{};
    xdriver::meanColour(shot, (int)p.x - half, (int)p.y - half, (int)p.x + half, (int)p.y + half, rgb.data());
    return rgb;
}

std::string readFile(const std::string &path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

}  // namespace

TEST(SceneFile, DemoSceneAtStartUpF9WritesItF5ReadsTheFile)
{
    StageworksRun run;
    ASSERT_TRUE(run.startServer());
    ASSERT_TRUE(run.prepareWorkDir());
    ASSERT_TRUE(run.launch());
    ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
    run.input.moveMouse(512, 384);
    xdriver::Image shot;
    // takes screenshots until the condition holds for one of them (kept in shot)
    auto screenUntil = [&](auto condition, int timeoutMs) {
        return xdriver::waitUntil(
            [&] {
                run.app.pump(10);
                shot = run.input.screenshot();
                return shot.width == 1024 && shot.height == 768 && condition();
            },
            timeoutMs, 50);
    };
    auto brickShown = [&] {
        std::array<double, 3> brick = meanAround(shot, -12, 22, -20, 20);
        return brick[0] > brick[2] + 40;
    };
    auto pumpUntil = [&](auto condition) {
        return xdriver::waitUntil([&] { return run.app.pump(10), condition(); }, 10000);
    };
    ASSERT_TRUE(screenUntil(brickShown, 20000)) << "the demo scene never showed";
    EXPECT_EQ(run.app.err.find("Failed"), std::string::npos) << run.app.err;

    const std::string shipped = readFile(std::string(SW_RUNDATA_DIR) + "/escena.xml");
    ASSERT_FALSE(shipped.empty());
    ASSERT_EQ(std::remove(run.path("escena.xml").c_str()), 0);
    run.input.tap(XK_F9);
    ASSERT_TRUE(pumpUntil([&] { return access(run.path("escena.xml").c_str(), F_OK) == 0; })) << "F9 wrote nothing";
    EXPECT_EQ(readFile(run.path("escena.xml")), shipped);

    // a file that does not validate changes nothing
    std::ofstream(run.path("escena.xml"), std::ios::trunc) << "<?xml version=\"1.0\"?>\n<escena><nada/></escena>\n";
    run.input.tap(XK_F5);
    ASSERT_TRUE(pumpUntil([&] { return run.app.err.find("Failed to validate escena.xml") != std::string::npos; }));
    ASSERT_TRUE(screenUntil(brickShown, 5000)) << "the scene was lost";

    // another valid scene replaces the demo scene
    // (one plain green cube where the demo's water sphere stands)
    std::ofstream(run.path("escena.xml"), std::ios::trunc) << readFile(SW_SOURCE_DIR "/tests/data/scene/green_cube.xml");
    run.input.tap(XK_F5);
    bool replaced = screenUntil(
        [&] {
            std::array<double, 3> w = meanAround(shot, -3, 22, -3, 10), b = meanAround(shot, -12, 22, -20, 10);
            return w[1] > w[0] + 60 && w[1] > w[2] + 60 && b[2] > b[0] + 30;
        },
        20000);
    EXPECT_TRUE(replaced) << "the green cube did not take the demo scene's place";
    EXPECT_FALSE(run.app.exited) << run.app.err;
}
