// Undo and redo in the real stageworks, in one run: a sphere made with E, the brick cube
// deleted with the Eliminar operation and a ground tile dragged with Trasladar are each taken
// back with Ctrl+Z (F9 then writes the bytes of the save before the edit) and made again with
// Ctrl+Y or Ctrl+Shift+Z (the bytes of the save after it). The feedback line shows on the
// console and for a moment on screen; after F5 there is nothing to undo.
#include "menu_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>

using namespace start_view;

namespace {

// Where the feedback line stands: below the statistics, at the left
const Box NOTICE = {30, 692, 700, 737};
long yellowIn(const xdriver::Image &s, Box box)
{
    return countIn(box, [&](int x, int y) {
        const uint8_t *p = s.pixel(x, y);
        return p[0] > 200 && p[1] > 200 && p[2] < 150;
    });
}

class History : public MenuRun {
protected:
    // Ctrl (and Shift) with a letter; waits for the feedback line on the console
    void control(unsigned long letter, bool shift, const std::string &expected)
    {
        const size_t seen = run.app.out.size();
        run.input.key(XK_Control_L, true);
        if (shift) run.input.key(XK_Shift_L, true);
        run.input.tap(letter);
        if (shift) run.input.key(XK_Shift_L, false);
        run.input.key(XK_Control_L, false);
        EXPECT_TRUE(xdriver::waitUntil(
            [&] {
                run.app.pump(0);
                return run.app.out.find(expected, seen) != std::string::npos;
            },
            10000, 40))
            << "no \"" << expected << "\" in " << run.app.out.substr(seen);
    }
    // Undo gives the file before, redo the file after
    void undoAndRedo(const std::string &before, const std::string &after, const std::string &step)
    {
        control(XK_z, false, "Deshacer: " + step);
        EXPECT_EQ(save(), before) << "undo of " << step;
        control(XK_y, false, "Rehacer: " + step);
        EXPECT_EQ(save(), after) << "redo of " << step;
    }
};

}  // namespace

TEST_F(History, CreateDeleteAndDragAreUndoneAndRedoneToTheBytesOfTheSaves)
{
    // Create: a sphere where the viewer stands; Ctrl+Shift+Z redoes like Ctrl+Y
    const std::string start = save();
    run.input.tap(XK_e);
    const std::string created = save();
    ASSERT_NE(created, start);
    const long yellowBefore = yellowIn(run.input.screenshot(), NOTICE);
    control(XK_z, false, "Deshacer: crear objeto P");
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return yellowIn(s, NOTICE) > yellowBefore + 150; }))
        << "no feedback line on screen";
    run.saveScreenshot(shot, "history_undo_notice");
    EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) { return yellowIn(s, NOTICE) < yellowBefore + 20; }))
        << "the feedback line stayed";
    EXPECT_EQ(save(), start);
    control(XK_z, true, "Rehacer: crear objeto P");
    EXPECT_EQ(save(), created);
    control(XK_z, false, "Deshacer: crear objeto P");
    control(XK_y, false, "Rehacer: crear objeto P");
    EXPECT_EQ(save(), created);

    // Delete: object editing, the Eliminar operation, a click on the brick cube (P20)
    chooseFromMenu({1020, 384}, RIGHT_PART, modeMenu(), 1);
    if (HasFatalFailure()) return;
    chooseFromMenu({512, 766}, BOTTOM_PART, operationMenu(), 2);
    if (HasFatalFailure()) return;
    run.input.moveMouse(brick().x, brick().y);
    run.input.click(1);
    ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) { return !brickShows(s); })) << "the brick cube is still there";
    const std::string deleted = save();
    undoAndRedo(created, deleted, "eliminar objeto P20\n");

    // Drag: Trasladar, a press on a ground tile, moves until the tile follows, the release
    chooseFromMenu({512, 766}, BOTTOM_PART, operationMenu(), 4);
    if (HasFatalFailure()) return;
    const Pixel tile = {512, 640};
    const Box near = around(tile, 120);
    run.input.moveMouse(tile.x, tile.y);
    const xdriver::Image still = run.input.screenshot();
    run.input.button(1, true);
    int y = tile.y;
    bool moved = false;
    while (!moved && y > tile.y - 120) {
        y -= 4;
        run.input.moveMouse(tile.x, y);
        moved = screenUntil([&](const xdriver::Image &s) { return changedIn(still, s, near) > 200; }, 400);
    }
    run.input.button(1, false);
    ASSERT_TRUE(moved) << "the tile did not follow the pointer";
    const std::string dragged = save();
    ASSERT_NE(dragged, deleted);
    undoAndRedo(deleted, dragged, "mover objeto P");

    // A load forgets the steps
    run.input.tap(XK_F5);
    control(XK_z, false, "Nada que deshacer");
    EXPECT_EQ(save(), dragged);

    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
}
