// The real stageworks on a private X server: start-up messages, game mode and the exit.
#include "stageworks_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace {

const char *const STARTUP_LINES[] = {" Creating hashes...\n", " Adding materials...\n", " Creating menus...\n",
                                     " Input initialization...\n", " Light initialization...\n", " Call backs...\n",
                                     " Loading textures...\n", " XML loading...\n", " MainLoop started...\n"};

}  // namespace

TEST(Startup, MessagesInOrderThenEscapeExitsWithZero)
{
    StageworksRun run;
    ASSERT_TRUE(run.startServer());
    ASSERT_TRUE(run.prepareWorkDir());
    ASSERT_TRUE(run.launch());
    ASSERT_TRUE(run.waitReady()) << run.app.out << run.app.err;
    EXPECT_TRUE(appearInOrder(run.app.out, STARTUP_LINES, 9)) << run.app.out;
    xdriver::Image shot = run.input.screenshot();  // the game-mode window covers the screen
    EXPECT_EQ(shot.width, 1024);
    EXPECT_EQ(shot.height, 768);
    run.input.moveMouse(512, 384);
    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(10000)) << "Escape did not end the program";
    EXPECT_EQ(run.app.exitStatus, 0) << run.app.err;
}

TEST(Startup, WithoutGameModeSaysSoAndExitsWithOne)
{
    StageworksRun run;
    ASSERT_TRUE(run.startServer(/*xvfb=*/true));
    ASSERT_TRUE(run.prepareWorkDir());
    ASSERT_TRUE(run.launch());
    ASSERT_TRUE(run.app.waitExit(30000));
    EXPECT_EQ(run.app.exitStatus, 1);
    const std::string message = "El modo Game no esta disponible.\n";
    const size_t at = run.app.out.find(message);
    ASSERT_NE(at, std::string::npos) << run.app.out;
    EXPECT_EQ(run.app.out.substr(at + message.size()), "");  // nothing of the start-up after it
    EXPECT_EQ(run.app.out.find(STARTUP_LINES[0]), std::string::npos);
}
