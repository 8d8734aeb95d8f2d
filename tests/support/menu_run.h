// A test fixture for driving the real stageworks through its bitmap menus: the program at its
// start view, and the menu records built here with the program's own tables (without bitmaps)
// so that buttons are found where the panel layouts and the projection put them. Depends on
// stageworks_run, start_view, the menus module and gtest.
#pragma once

#include "menus.h"
#include "stageworks_run.h"
#include "start_view.h"

#include <gtest/gtest.h>

#include <string>

class MenuRun : public ::testing::Test {
protected:
    StageworksRun run;
    xdriver::Image shot;  // the last screenshot taken by screenUntil

    static int noTexture(const char *) { return -1; }
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

    // Starts the program and waits for the brick cube on the screen
    void SetUp() override
    {
        ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
        ASSERT_TRUE(screenUntil(start_view::brickShows, 20000)) << "no scene";
    }

    // Takes screenshots until condition holds for one of them (kept in shot)
    template <typename Condition>
    bool screenUntil(Condition condition, int timeoutMs = 10000)
    {
        return run.screenUntil(shot, condition, timeoutMs);
    }

    // Waits until a box has not changed for quietMs (a menu finished swinging in)
    bool settles(start_view::Box box, long quietMs = 500)
    {
        xdriver::Image previous = run.input.screenshot();
        long stillSince = xdriver::nowMs();
        return screenUntil(
            [&](const xdriver::Image &s) {
                if (start_view::changedIn(previous, s, box) != 0) stillSince = xdriver::nowMs();
                previous = s;
                return xdriver::nowMs() - stillSince >= quietMs;
            },
            10000);
    }

    // Moves to a screen edge until the menu's part of the screen changes, and lets it settle
    xdriver::Image openMenu(start_view::Pixel edge, start_view::Box part, start_view::Box still)
    {
        const xdriver::Image before = run.input.screenshot();
        run.input.moveMouse(edge.x, edge.y);
        EXPECT_TRUE(screenUntil([&](const xdriver::Image &s) {
            return start_view::changedIn(before, s, part) > start_view::boxArea(part) / 4;
        })) << "the menu at (" << edge.x << ", " << edge.y << ") did not open";
        EXPECT_TRUE(settles(still));
        return shot;
    }

    // Moves over a point until the area around it changes from the idle picture (it lights up)
    bool hover(start_view::Pixel p, const xdriver::Image &idle, int half = 12, long enough = 100)
    {
        for (int attempt = 0; attempt < 8; attempt++) {
            run.input.moveMouse(p.x + attempt % 2, p.y);
            if (screenUntil([&](const xdriver::Image &s) { return start_view::changedIn(idle, s, start_view::around(p, half)) > enough; },
                            600))
                return true;
        }
        return false;
    }

    // Hovers over a menu button and clicks it; the menu closes back to the base picture
    void chooseButton(start_view::Pixel button, const xdriver::Image &open, const xdriver::Image &base, start_view::Box part)
    {
        ASSERT_TRUE(hover(button, open)) << "the button did not light up";
        run.input.click(1);
        ASSERT_TRUE(screenUntil([&](const xdriver::Image &s) {
            return start_view::changedIn(base, s, part) < start_view::boxArea(part) / 50;
        })) << "the menu stayed open " << run.saveScreenshot(shot, "menu_open");
    }

    // Opens the menu at a screen edge and clicks one of its buttons
    void chooseFromMenu(start_view::Pixel edge, start_view::Box part, const ButtonPanel *panel, int button)
    {
        const xdriver::Image closed = run.input.screenshot();
        const xdriver::Image open = openMenu(edge, part, part);
        chooseButton(start_view::menuButton(panel, button), open, closed, part);
    }

    // F9, and the text of the file it wrote
    std::string save()
    {
        std::string text;
        EXPECT_TRUE(run.saveWithF9(text)) << "F9 did not save";
        return text;
    }
};
