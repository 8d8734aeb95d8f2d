// stageworks beside another program: --window on a plain X server without game mode (the
// scene, the window made smaller, a menu at its edge, Escape), and escena.xml changed on disk while the
// program runs (a material's new colour on screen with no key pressed, a new material kept by
// F9 together with an object not saved before, a bad file reported once and never written over).
#include "stageworks_run.h"
#include "start_view.h"

#include <gtest/gtest.h>
// NOTE: after gtest: Xlib defines macros (None, Bool) that gtest's own names would collide with
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstdio>
#include <iostream>

using namespace view_test;

namespace {

// Mean colour around a world point seen from the start camera
void meanAround(const xdriver::Image &shot, double x, double y, double z, int half, double rgb[3])
{
    ScreenPoint p = projectPoint(x, y, z, -41.51, 30.0, 38.74, 314.22, -8.82);
    EXPECT_TRUE(onScreen(p));
    xdriver::meanColour(shot, (int)p.x - half, (int)p.y - half, (int)p.x + half, (int)p.y + half, rgb);
}

// Pixels of a box that differ between two screenshots
long changedIn(const xdriver::Image &a, const xdriver::Image &b, int x0, int y0, int x1, int y1)
{
    long changed = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            for (int c = 0; c < 3; c++)
                if (std::abs(a.pixel(x, y)[c] - b.pixel(x, y)[c]) > 24) {
                    changed++;
                    break;
                }
    return changed;
}

// Replaces the file the way another program saves: a new file renamed over it
void replaceFile(const std::string &path, const std::string &content)
{
    const std::string temporary = path + ".other";
    std::FILE *file = std::fopen(temporary.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    ASSERT_EQ(std::rename(temporary.c_str(), path.c_str()), 0);
}

}  // namespace

TEST(WindowMode, OnAPlainXServerTheSceneAMenuAtTheWindowEdgeAndEscape)
{
    StageworksRun run;
    ASSERT_TRUE(run.start({"--window"}, /*xvfb=*/true)) << run.app.out << run.app.err;
    const Window window = run.input.windowNamed(run.workDir);
    ASSERT_NE(window, 0u) << "no window is titled with the scene directory";

    // Without a window manager the window lies at the top left of the 1024x768 screen
    xdriver::Image shot;
    ASSERT_TRUE(run.screenUntil(shot, start_view::brickShows, 30000)) << "no scene";
    std::cout << "screenshot: " << run.saveScreenshot(shot, "window_mode_scene") << "\n";

    // Made smaller, the window shows the same picture scaled, and its right edge opens the
    // mode menu
    XResizeWindow(run.input.dpy, window, 800, 600);
    XSync(run.input.dpy, False);
    auto smallBrick = [](const xdriver::Image &s) {
        ScreenPoint p = projectPoint(-12, 22, -20, -41.51, 30.0, 38.74, 314.22, -8.82);
        double rgb[3];
        const int x = (int)(p.x * 800 / 1024), y = (int)(p.y * 600 / 768);
        xdriver::meanColour(s, x - 15, y - 15, x + 15, y + 15, rgb);
        double outside[3];  // the screen beyond the window shows nothing of the scene
        xdriver::meanColour(s, 900, 0, 1024, 768, outside);
        return rgb[0] > rgb[2] + 40 && outside[0] + outside[1] + outside[2] < 30;
    };
    ASSERT_TRUE(run.screenUntil(shot, smallBrick, 30000)) << "the resized window does not show the scene";
    const xdriver::Image before = shot;
    run.input.moveMouse(798, 300);
    EXPECT_TRUE(run.screenUntil(shot, [&](const xdriver::Image &s) { return changedIn(before, s, 620, 80, 800, 520) > 12000; }, 10000))
        << "the mode menu did not open at the window's right edge";
    run.saveScreenshot(shot, "window_mode_menu");

    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(30000));
    EXPECT_EQ(run.app.exitStatus, 0);
}

TEST(LiveMaterials, TakenOverFromDiskKeptByF9AndABadFileNeverWrittenOver)
{
    StageworksRun run;
    ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
    xdriver::Image shot;
    double rgb[3];
    auto cylinder = [&](const xdriver::Image &s, bool green) {
        meanAround(s, 11, 18, 3, 10, rgb);
        return green ? rgb[1] > rgb[0] + 60 : rgb[0] > rgb[1] + 60;
    };
    ASSERT_TRUE(run.screenUntil(shot, [&](const xdriver::Image &s) { return cylinder(s, false); }, 30000))
        << "the red cylinder did not show";

    // An edit not saved yet: a sphere where the camera stands
    run.input.tap(XK_e);
    const std::string scene = run.path("escena.xml");
    std::string text = readText(scene);
    const size_t objects = occurrences(text, "<primitiva");

    // Another program makes the red material green and adds a material
    const size_t red = text.find("<IDMaterial codigo=\"rojo\">");
    ASSERT_NE(red, std::string::npos);
    const size_t diffuse = text.find("<pLuzDif>", red), diffuseEnd = text.find("</pLuzDif>", red);
    text.replace(diffuse, diffuseEnd - diffuse, "<pLuzDif><R>0.000</R><G>1.000</G><B>0.000</B><A>1.000</A>");
    const size_t redEnd = text.find("</IDMaterial>", red) + 13;
    std::string added = text.substr(red, redEnd - red);
    added.replace(0, 26, "<IDMaterial codigo=\"nuevo\">");
    text.insert(redEnd, added);
    replaceFile(scene, text);
    const long changedAt = xdriver::nowMs();
    EXPECT_TRUE(run.screenUntil(shot, [&](const xdriver::Image &s) { return cylinder(s, true); }, 20000))
        << "the new colour did not show: " << rgb[0] << " " << rgb[1] << " " << rgb[2];
    std::cout << "new colour on screen after " << xdriver::nowMs() - changedAt << " ms\n";
    run.saveScreenshot(shot, "live_material_green");
    // and says so: one material changed, one added
    EXPECT_TRUE(xdriver::waitUntil([&] { run.app.pump(20); return run.app.out.find("Materiales tomados de escena.xml: 2 cambiados") != std::string::npos; }, 10000))
        << run.app.out;
    EXPECT_TRUE(start_view::brickShows(shot));

    // F9 writes the materials from disk with the objects of the program, the new sphere too
    run.input.tap(XK_F9);
    std::string saved;
    EXPECT_TRUE(xdriver::waitUntil(
        [&] {
            saved = readText(scene);
            return occurrences(saved, "<primitiva") == objects + 1;
        },
        20000))
        << "F9 did not save the new object";
    EXPECT_NE(saved.find("<IDMaterial codigo=\"nuevo\">"), std::string::npos);
    const size_t savedRed = saved.find("<IDMaterial codigo=\"rojo\">");
    ASSERT_NE(savedRed, std::string::npos);
    EXPECT_NE(saved.substr(savedRed, saved.find("</IDMaterial>", savedRed) - savedRed)
                  .find("<pLuzDif><R>0.000</R><G>1.000</G><B>0.000</B>"),
              std::string::npos);

    // A file that does not validate: one message, and F9 leaves it alone
    const std::string bad = text.substr(0, text.find("<IDMaterial")) + "<IDMaterial codigo=\"roto\"></IDMaterial></escena>";
    replaceFile(scene, bad);
    EXPECT_TRUE(xdriver::waitUntil([&] { run.app.pump(20); return run.app.err.find("not taken over") != std::string::npos; }, 20000))
        << run.app.err;
    run.input.tap(XK_F9);
    EXPECT_TRUE(xdriver::waitUntil([&] { run.app.pump(20); return run.app.err.find("not saved") != std::string::npos; }, 20000))
        << run.app.err;
    EXPECT_EQ(readText(scene), bad);
    EXPECT_EQ(occurrences(run.app.err, "not taken over"), 1u) << run.app.err;
    EXPECT_TRUE(cylinder(run.input.screenshot(), true));

    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(30000));
    EXPECT_EQ(run.app.exitStatus, 0);
}
