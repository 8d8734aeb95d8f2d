// The real stageworks on a private X server without game mode. The start-up messages in order
// and the exit with Escape are checked by the input test, on the run it drives anyway.
#include "stageworks_run.h"

#include <gtest/gtest.h>

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
    // nothing of the start-up after it, only the way out
    EXPECT_EQ(run.app.out.substr(at + message.size()), "Pruebe 'stageworks --window' para trabajar en una ventana.\n");
    EXPECT_EQ(run.app.out.find(" Creating hashes..."), std::string::npos);
}
