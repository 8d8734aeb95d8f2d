// The real stageworks driven through its bitmap menus: the pointer at a screen edge swings a
// menu in, a button under the pointer lights up, a click runs its command and closes the
// menu. The buttons are found where the panel layout and the 45 degree, 4/3 projection put
// them (the menu records are built here with the program's own tables, without bitmaps).
#include "menus.h"
#include "stageworks_run.h"
#include "view_projection.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sys/stat.h>

using namespace view_test;

namespace {

// Texture names for the layout-only menu records
int noTexture(const char *) { return -1; }

// The start camera and the brick cube in front of it
constexpr double EYE_X = -41.51, EYE_Y = 30.0, EYE_Z = 38.74, YAW = 314.22, PITCH = -8.82;

struct Pixel {
    int x, y;
};

// Screen position of a button of a panel at rest (edge panels swung in to 25 degrees)
Pixel buttonOnScreen(const ButtonPanel *panel, int index)
{
    ButtonPanel atRest = *panel;
    atRest.angle = atRest.placement == PlacementFree ? 0.0f : SWING_REST_ANGLE;
    PanelPoint eye = panelToEye(atRest, buttonCentre(atRest, index));
    ScreenPoint s = projectPoint(eye.x, eye.y, eye.z, 0, 0, 0, 0, 0);
    EXPECT_TRUE(onScreen(s)) << "button " << index << " of panel " << panel->id;
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

struct Box {
    int x0, y0, x1, y1;    // inclusive
};

// Pixels of a box whose colour differs clearly between two shots
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

long boxArea(Box b) { return (long)(b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1); }

Box around(Pixel p, int half) { return {p.x - half, p.y - half, p.x + half, p.y + half}; }

// Screen strips where the edge menus stand
const Box LEFT_PART = {0, 60, 250, 700};
const Box LEFT_BELOW_HUD = {0, 430, 250, 700};    // the HUD's numbers change every frame
const Box RIGHT_PART = {790, 60, 1023, 700};
const Box BOTTOM_PART = {80, 540, 940, 767};
const Box SKY = {600, 80, 1000, 240};

// The HUD's "Solidos" line: white text 70 units in front of the eye, its top at 19.5
Box solidosLine()
{
    const double halfHeight = 70.0 * std::tan(22.5 * 3.14159265358979 / 180.0);
    auto row = [&](double y) { return (int)std::lround(384.0 - y / halfHeight * 384.0); };
    return {30, row(19.5), 400, row(19.5 - 1.9)};
}

bool nearWhite(const uint8_t *p) { return p[0] >= 225 && p[1] >= 225 && p[2] >= 225; }

// Pixels of a box near-white in one shot and not in the other (text that changed)
long textChange(const xdriver::Image &a, const xdriver::Image &b, Box box)
{
    long count = 0;
    for (int y = box.y0; y <= box.y1; y++)
        for (int x = box.x0; x <= box.x1; x++) count += nearWhite(a.pixel(x, y)) != nearWhite(b.pixel(x, y)) ? 1 : 0;
    return count;
}

class Menus : public ::testing::Test {
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
        // The objects are drawn from the second frame on
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return brickShows(s); }, 20000)) << "no scene";
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
                return shot.width == 1024 && shot.height == 768 && condition(shot);
            },
            timeoutMs, 40);
    }

    // Waits until a box has not changed for quietMs (a menu finished swinging in: while it
    // swings every frame moves it, however slowly the frames come)
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

    // Opens a menu by moving the pointer to an edge point; the menu's part of the screen changes
    xdriver::Image openMenu(Pixel edge, Box part)
    {
        return openMenu(edge, part, part);
    }
    xdriver::Image openMenu(Pixel edge, Box part, Box still)
    {
        const xdriver::Image before = run.input.screenshot();
        run.input.moveMouse(edge.x, edge.y);
        EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(before, s, part) > boxArea(part) / 4; }))
            << "the menu at (" << edge.x << ", " << edge.y << ") did not open";
        EXPECT_TRUE(settles(still));
        return shot;
    }

    // Moves over a button until it lights up (its hover image replaces the idle one)
    bool hover(Pixel p, const xdriver::Image &idle)
    {
        for (int attempt = 0; attempt < 8; attempt++) {
            run.input.moveMouse(p.x + attempt % 2, p.y);
            if (screenUntil([&](const xdriver::Image &s) { return changedIn(idle, s, around(p, 12)) > 100; }, 600))
                return true;
        }
        return false;
    }

    // The brick cube of the start scene, seen from the start camera
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

    void exitWithEscape()
    {
        run.input.tap(XK_Escape);
        ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
        EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
    }
};

}  // namespace

TEST_F(Menus, PrimitiveMenuOpensAtTheLeftEdgeAndAddsACube)
{
    // The HUD counts the objects ("Solidos")
    const xdriver::Image noHud = run.input.screenshot();
    run.input.tap(XK_l);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return textChange(noHud, s, solidosLine()) > 100; }));
    const xdriver::Image base = shot;

    // The left edge swings the menu in; the rest of the view stays as it was
    const xdriver::Image open = openMenu({3, 384}, LEFT_PART, LEFT_BELOW_HUD);
    std::string file = run.saveScreenshot(open, "menus_primitive_open");
    EXPECT_LT(changedIn(base, open, SKY), boxArea(SKY) / 50) << file;

    // Right of x = 269 the menu closes again
    run.input.moveMouse(400, 384);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, LEFT_BELOW_HUD) < boxArea(LEFT_BELOW_HUD) / 50; }))
        << "the menu did not close";

    // Over the cube button its picture lights up
    const xdriver::Image reopened = openMenu({3, 384}, LEFT_PART, LEFT_BELOW_HUD);
    const Pixel cube = buttonOnScreen(primitiveMenu(), 0);
    ASSERT_TRUE(hover(cube, reopened)) << "the cube button did not light up";
    run.saveScreenshot(shot, "menus_primitive_hover");
    // only that button: the pyramid beside it keeps its idle picture
    const Pixel pyramid = buttonOnScreen(primitiveMenu(), 1);
    EXPECT_LT(changedIn(reopened, shot, around(pyramid, 12)), 20);

    // A click adds a cube (one more object in the HUD) and closes the menu
    run.input.click(1);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return textChange(base, s, solidosLine()) > 20; }))
        << "the object count did not change";
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, LEFT_BELOW_HUD) < boxArea(LEFT_BELOW_HUD) / 50; }))
        << "the menu stayed open";
    run.saveScreenshot(shot, "menus_primitive_after_cube");
    exitWithEscape();
}

TEST_F(Menus, ModeMenuSwitchesToObjectEditingWhereDeleteRemovesAnObject)
{
    const xdriver::Image base = run.input.screenshot();

    // In navigation mode the bottom edge opens nothing
    run.input.moveMouse(512, 766);
    EXPECT_FALSE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, BOTTOM_PART) > boxArea(BOTTOM_PART) / 10; },
                             1500))
        << "the operation menu opened in navigation mode";

    // The right edge opens the editing-mode menu; "Edicion de objetos" switches modes
    const xdriver::Image modeOpen = openMenu({1020, 384}, RIGHT_PART);
    run.saveScreenshot(modeOpen, "menus_mode_open");
    ASSERT_TRUE(hover(buttonOnScreen(modeMenu(), 1), modeOpen)) << "the object editing button did not light up";
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, RIGHT_PART) < boxArea(RIGHT_PART) / 50; }))
        << "the mode menu stayed open";

    // Now the bottom edge opens the operation menu; choose delete
    const xdriver::Image operationOpen = openMenu({512, 766}, BOTTOM_PART);
    run.saveScreenshot(operationOpen, "menus_operation_open");
    ASSERT_TRUE(hover(buttonOnScreen(operationMenu(), 2), operationOpen)) << "the delete button did not light up";
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, BOTTOM_PART) < boxArea(BOTTOM_PART) / 50; }))
        << "the operation menu stayed open";

    // A click on the brick cube deletes it
    ASSERT_TRUE(brickShows(shot));
    run.input.moveMouse(brick().x, brick().y);
    run.input.click(1);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return !brickShows(s); })) << "the brick cube is still there";
    run.saveScreenshot(shot, "menus_after_delete");
    exitWithEscape();
}

TEST_F(Menus, AppearanceMenuOpensOnAnObjectAndDrawsItAsAWireFrame)
{
    const xdriver::Image base = run.input.screenshot();
    // Object editing with the Apariencia operation
    const xdriver::Image modeOpen = openMenu({1020, 384}, RIGHT_PART);
    ASSERT_TRUE(hover(buttonOnScreen(modeMenu(), 1), modeOpen));
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, RIGHT_PART) < boxArea(RIGHT_PART) / 50; }));
    const xdriver::Image operationOpen = openMenu({512, 766}, BOTTOM_PART);
    ASSERT_TRUE(hover(buttonOnScreen(operationMenu(), 3), operationOpen));
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, BOTTOM_PART) < boxArea(BOTTOM_PART) / 50; }));

    // A click on the red cylinder opens the appearance menu beside it
    ScreenPoint c = projectPoint(11, 18, 3, EYE_X, EYE_Y, EYE_Z, YAW, PITCH);
    const Pixel cylinder = {(int)c.x, (int)c.y};
    const Box menuPart = {40, 250, 220, 520};
    run.input.moveMouse(cylinder.x, cylinder.y);
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, menuPart) > boxArea(menuPart) / 3; }))
        << "the appearance menu did not open";
    const xdriver::Image menuOpen = shot;
    run.saveScreenshot(menuOpen, "menus_appearance_open");

    // "malla": the cylinder is drawn as a wire frame and the menu stays open
    ASSERT_TRUE(hover(buttonOnScreen(appearanceMenu(), 3), menuOpen)) << "the wireframe button did not light up";
    run.input.click(1);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, around(cylinder, 20)) > 41 * 41 / 3; }))
        << "the cylinder was not drawn as a wire frame";
    run.saveScreenshot(shot, "menus_appearance_wireframe");
    EXPECT_GT(changedIn(base, shot, menuPart), boxArea(menuPart) / 3) << "the appearance menu closed";

    // A click outside the menu closes it. A click acts on the name the last pick found, so
    // first light "Cambiar material" and wait until moving away has put it out again
    const xdriver::Image wired = shot;
    const Pixel change = buttonOnScreen(appearanceMenu(), 0);
    ASSERT_TRUE(hover(change, wired));
    run.input.moveMouse(900, 700);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(wired, s, around(change, 12)) < 10; }));
    run.input.click(1);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(base, s, menuPart) < boxArea(menuPart) / 50; }))
        << "the appearance menu stayed open";
    exitWithEscape();
}

TEST_F(Menus, FileMenuAtTheTopEdgeEndsTheProgramWithItsExitButton)
{
    const Box topPart = {80, 0, 940, 230};
    const xdriver::Image open = openMenu({512, 3}, topPart);
    run.saveScreenshot(open, "menus_file_open");
    ASSERT_TRUE(hover(buttonOnScreen(fileMenu(), 3), open)) << "the exit button did not light up";
    run.input.click(1);
    ASSERT_TRUE(run.app.waitExit(10000)) << "the exit button did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
}

namespace {

// Modification time of a file in nanoseconds, 0 when it is missing
long long modifiedAt(const std::string &path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return 0;
    return (long long)info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
}

}  // namespace

TEST_F(Menus, PlayFromTheFileMenuRunsTheEventsAndEscapeRestoresTheScene)
{
    // F9 before playing: the scene as the editor has it
    const std::string scene = run.path("escena.xml");
    long long before = modifiedAt(scene);
    run.input.tap(XK_F9);
    ASSERT_TRUE(xdriver::waitUntil([&] { return modifiedAt(scene) != before; }, 10000)) << "F9 did not save";
    std::string savedBefore;
    ASSERT_TRUE(xdriver::readFile(scene, savedBefore));

    // The pyramid of the demo scene turns for ever once play starts
    ScreenPoint p = projectPoint(-0.1, 13.0, 12.45, EYE_X, EYE_Y, EYE_Z, YAW, PITCH);
    ASSERT_TRUE(onScreen(p));
    const Box pyramid = around({(int)p.x, (int)p.y}, 45);
    const xdriver::Image still = run.input.screenshot();

    const Box topPart = {80, 0, 940, 230};
    const xdriver::Image open = openMenu({512, 3}, topPart);
    ASSERT_TRUE(hover(buttonOnScreen(fileMenu(), 0), open)) << "the play button did not light up";
    run.input.click(1);

    // Frames go on changing around the pyramid while the events run
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(still, s, pyramid) > boxArea(pyramid) / 20; }, 10000))
        << "nothing moved in play mode";
    run.saveScreenshot(shot, "play_running");
    const xdriver::Image first = shot;
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(first, s, pyramid) > boxArea(pyramid) / 20; }, 10000))
        << "the pyramid stopped turning";

    // Escape ends play and puts the pyramid back
    run.input.tap(XK_Escape);
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return changedIn(still, s, pyramid) < boxArea(pyramid) / 50; }, 10000))
        << "the scene was not restored";
    run.saveScreenshot(shot, "play_stopped");
    ASSERT_FALSE(run.app.exited) << "Escape in play mode ended the program";

    // A save after play has the bytes of the save before it
    before = modifiedAt(scene);
    run.input.tap(XK_F9);
    ASSERT_TRUE(xdriver::waitUntil([&] { return modifiedAt(scene) != before; }, 10000)) << "F9 did not save";
    std::string savedAfter;
    ASSERT_TRUE(xdriver::readFile(scene, savedAfter));
    EXPECT_EQ(savedAfter, savedBefore);
    exitWithEscape();
}
