// The real stageworks with its scene file: the demo scene is loaded and drawn at start-up, F9
// writes escena.xml (the same bytes the demo scene was shipped with, valid against the DTD),
// and F5 replaces the scene with the one now in escena.xml, or keeps it when that file is bad.
#include "stageworks_run.h"
#include "view_projection.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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
    xdriver::meanColour(shot, (int)p.x - half, (int)p.y - half, (int)p.x + half, (int)p.y + half, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// Points of the demo scene: brick cube, water sphere, the wooden door, the blue sign, the
// marble dome and grass far behind the objects
const ScreenPoint BRICK = fromStart(-12, 22, -20);
const ScreenPoint WATER = fromStart(-3, 22, -3);
const ScreenPoint DOOR = fromStart(67.1, 23, -7.5);
const ScreenPoint SIGN = fromStart(98.4, 45, -104.3);
const ScreenPoint DOME = fromStart(35.4, 11, 3.1);
const ScreenPoint GRASS = fromStart(170, 8, -260);

// A scene of one plain green cube where the water sphere stands
const char *const GREEN_CUBE_SCENE =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n"
    "<escena><IDMaterial codigo=\"verde\"><pBlend>1</pBlend><pShine>0.2</pShine><texturado>0</texturado>"
    "<Ka>1</Ka><Kd>0.9</Kd><Ks>0.1</Ks><pLuzDif><R>0.1</R><G>0.9</G><B>0.1</B><A>1</A></pLuzDif>"
    "<pLuzEsp><R>1</R><G>1</G><B>1</B><A>1</A></pLuzEsp><pLuzEmi><R>0</R><G>0</G><B>0</B><A>1</A></pLuzEmi>"
    "</IDMaterial><primitiva codigo=\"P0\"><PRIMestado><miPos><X>-3</X><Y>22</Y><Z>-3</Z></miPos>"
    "<miRot><Yaw>0</Yaw><Pitch>0</Pitch><Roll>0</Roll></miRot></PRIMestado><IDPRIMMaterial>verde</IDPRIMMaterial>"
    "<objeto3D>4</objeto3D><promediado>0</promediado><wireFrame>0</wireFrame><scaleX>3</scaleX><scaleY>3</scaleY>"
    "<scaleZ>3</scaleZ><caract><cCubo><CUBOlado>6</CUBOlado></cCubo></caract></primitiva></escena>\n";

class SceneFile : public ::testing::Test {
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
    bool screenUntil(Condition condition, int timeoutMs = 20000)
    {
        return xdriver::waitUntil(
            [&] {
                run.app.pump(10);
                shot = run.input.screenshot();
                return shot.width == 1024 && shot.height == 768 && condition();
            },
            timeoutMs, 50);
    }

    bool brickShown()
    {
        Mean b = meanAround(shot, BRICK, 20);
        return b.r > b.b + 40;
    }
};

}  // namespace

TEST_F(SceneFile, TheDemoSceneIsLoadedAndDrawnAtStartUp)
{
    ASSERT_TRUE(screenUntil([&] { return brickShown(); })) << "the demo scene never showed";
    std::cout << "screenshot: " << run.saveScreenshot(shot, "scene_demo") << "\n";

    for (const ScreenPoint &p : {BRICK, WATER, DOOR, SIGN, DOME, GRASS}) ASSERT_TRUE(onScreen(p));
    Mean door = meanAround(shot, DOOR, 8);
    EXPECT_GT(door.r, door.b + 40) << "wood: " << door.r << " " << door.g << " " << door.b;
    Mean sign = meanAround(shot, SIGN, 10);
    EXPECT_GT(sign.b, sign.r + 80) << "blue: " << sign.r << " " << sign.g << " " << sign.b;
    Mean dome = meanAround(shot, DOME, 4);
    EXPECT_GT(dome.r + dome.g + dome.b, 3 * 150) << "marble: " << dome.r << " " << dome.g << " " << dome.b;
    Mean grass = meanAround(shot, GRASS, 3);
    EXPECT_GT(grass.g, grass.r + 10) << "grass: " << grass.r << " " << grass.g << " " << grass.b;
    EXPECT_GT(grass.g, grass.b + 10) << "grass: " << grass.r << " " << grass.g << " " << grass.b;

    EXPECT_EQ(run.app.err.find("Failed"), std::string::npos) << run.app.err;
    EXPECT_EQ(run.app.err.find("Error"), std::string::npos) << run.app.err;
}

TEST_F(SceneFile, F9WritesTheSceneAsItWasShipped)
{
    const std::string shipped = readFile(std::string(SW_RUNDATA_DIR) + "/escena.xml");
    ASSERT_FALSE(shipped.empty());
    ASSERT_TRUE(screenUntil([&] { return brickShown(); }));
    ASSERT_EQ(std::remove(run.path("escena.xml").c_str()), 0);

    run.input.tap(XK_F9);
    ASSERT_TRUE(xdriver::waitUntil(
        [&] {
            run.app.pump(10);
            return exists(run.path("escena.xml"));
        },
        10000))
        << "F9 wrote no escena.xml";
    EXPECT_EQ(readFile(run.path("escena.xml")), shipped);
    EXPECT_FALSE(exists(run.path("escena.xml.tmp")));
    std::string command = "cd '" + run.workDir + "' && xmllint --valid --noout escena.xml";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST_F(SceneFile, F5LoadsTheSceneNowInTheFileAndKeepsTheSceneWhenTheFileIsBad)
{
    ASSERT_TRUE(screenUntil([&] { return brickShown(); }));

    // a file that does not validate changes nothing
    {
        std::ofstream(run.path("escena.xml"), std::ios::trunc) << "<?xml version=\"1.0\"?>\n<escena><nada/></escena>\n";
    }
    run.input.tap(XK_F5);
    ASSERT_TRUE(xdriver::waitUntil(
        [&] {
            run.app.pump(10);
            return run.app.err.find("Failed to validate escena.xml") != std::string::npos;
        },
        10000))
        << run.app.err;
    ASSERT_TRUE(screenUntil([&] { return brickShown(); }, 5000)) << "the scene was lost";

    // another valid scene replaces the demo scene
    {
        std::ofstream(run.path("escena.xml"), std::ios::trunc) << GREEN_CUBE_SCENE;
    }
    run.input.tap(XK_F5);
    bool replaced = screenUntil([&] {
        Mean w = meanAround(shot, WATER, 10);
        Mean b = meanAround(shot, BRICK, 10);
        return w.g > w.r + 60 && w.g > w.b + 60 && b.b > b.r + 30;
    });
    run.saveScreenshot(shot, "scene_reloaded");
    EXPECT_TRUE(replaced) << "the green cube did not take the demo scene's place";
    EXPECT_FALSE(run.app.exited) << run.app.err;
}
