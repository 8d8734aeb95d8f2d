// scripts/pictures.sh on the current build: it drives stageworks and matforge on the private X
// server and writes every picture the README shows, each a readable PNG that is more than a
// blank screen (the pictures are not compared with the committed ones pixel by pixel).
#include "readme_images.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(Pictures, ScriptWritesEveryPictureOfTheReadme)
{
    const std::vector<std::string> links = readme_test::imageLinks();
    ASSERT_FALSE(links.empty());
    const std::string out = xdriver::makeTempDir("stageworks-pictures-out");
    ASSERT_FALSE(out.empty());
    // NOTE: the run waits on what the screen shows, with time-outs; on a machine loaded by
    // other tests a step can miss its time and the run reports it (status 1), so one run
    // more is allowed before the failure counts
    int status = -1;
    std::string log;
    for (int run = 0; run < 2 && status != 0; run++) {
        xdriver::ChildProcess script;
        ASSERT_TRUE(script.spawn({std::string(SW_SOURCE_DIR) + "/scripts/pictures.sh", "--no-build", "--build-dir",
                                  SW_BUILD_DIR, out}, out, ""));
        ASSERT_TRUE(script.waitExit(500000)) << "the picture script did not finish\n" << script.out << script.err;
        status = script.exitStatus;
        log = script.out + script.err;
        if (status != 0) std::printf("picture run %d reported failed steps:\n%s\n", run + 1, log.c_str());
    }
    EXPECT_EQ(status, 0) << log;

    for (const std::string &link : links) {
        const std::string name = link.substr(link.rfind('/') + 1);
        xdriver::Image image;
        std::string error;
        ASSERT_TRUE(readme_test::showsSomething(out + "/" + name, image, error)) << name << ": " << error << "\n" << log;
        // stageworks pictures are the whole screen, the two programs side by side a wider
        // screen, the published page beside the player two screens at half size (a gap
        // between them), the others a window cropped from it
        if (name.rfind("stageworks-", 0) == 0)
            EXPECT_TRUE(image.width == 1024 && image.height == 768) << name;
        else if (name.rfind("web-page-", 0) == 0)
            EXPECT_TRUE(image.width > 1024 && image.width < 1024 + 100 && image.height == 384)
                << name << ": " << image.width << "x" << image.height;
        else if (name.rfind("both-", 0) == 0)
            EXPECT_TRUE(image.width > 1024 + 100 && image.height >= 768) << name << ": " << image.width;
        else
            EXPECT_TRUE(image.width > 100 && image.width < 1024) << name << ": " << image.width;
    }
    xdriver::removeTree(out);
}
