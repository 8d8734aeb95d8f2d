// The picture stays the same: the demo scene's start view and a view of 1000 mixed objects,
// as the real program draws them on the private X server, against reference screenshots kept
// under tests/data/pictures. Every channel of at least 99.9% of the pixels may differ by at
// most 2 levels. The water bitmaps of the working directory are made one picture, so that
// the animated textures show the same frame whenever the screenshot is taken.
//
// SW_WRITE_REFERENCES=1 writes the references instead of comparing (only for a deliberate
// change of the picture).
#include "stageworks_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const std::string REFERENCE_DIR = std::string(SW_SOURCE_DIR) + "/tests/data/pictures/";

// Starts the program on the run data, with escena.xml replaced by mixed objects when count > 0
bool start(StageworksRun &run, int count)
{
    if (!run.startServer() || !run.prepareWorkDir()) return false;
    for (const char *frame : {"Data/agua2.bmp", "Data/agua3.bmp"}) {
        std::string water;
        if (!xdriver::readFile(run.path("Data/agua1.bmp"), water)) return false;
        FILE *file = fopen(run.path(frame).c_str(), "wb");
        if (file == nullptr) return false;
        bool written = fwrite(water.data(), 1, water.size(), file) == water.size();
        if (fclose(file) != 0 || !written) return false;
    }
    if (count > 0) {
        xdriver::ChildProcess generator;
        if (!generator.spawn({SW_MIXEDSCENE_BIN, std::to_string(count), run.workDir}, run.workDir, "") ||
            !generator.waitExit(60000) || generator.exitStatus != 0)
            return false;
    }
    return run.launch() && run.waitReady(120000);
}

// A screenshot once two taken a second apart agree (the first frames build the display lists;
// the sun's slow turn may move a few pixels by a level)
bool steadyPicture(StageworksRun &run, xdriver::Image &shot)
{
    xdriver::Image previous;
    return xdriver::waitUntil(
        [&] {
            run.app.pump(1000);
            shot = run.input.screenshot();
            long moved = previous.empty() ? -1 : xdriver::differentPixels(previous, shot, 2);
            bool steady = moved >= 0 && moved <= (long)shot.width * shot.height / 10000;
            previous = shot;
            return steady;
        },
        120000, 0);
}

// Compares the program's picture with the reference of that name (or writes the reference)
void expectSamePicture(int count, const std::string &name)
{
    StageworksRun run;
    ASSERT_TRUE(start(run, count)) << run.app.out << run.app.err;
    xdriver::Image shot;
    ASSERT_TRUE(steadyPicture(run, shot)) << "the picture did not settle";
    ASSERT_EQ(shot.width, 1024);
    ASSERT_EQ(shot.height, 768);
    std::string reference = REFERENCE_DIR + name + ".png";
    const char *write = getenv("SW_WRITE_REFERENCES");
    if (write != nullptr && std::string(write) == "1") {
        ASSERT_TRUE(xdriver::writePng(shot, reference));
        GTEST_SKIP() << "reference written: " << reference;
    }
    xdriver::Image expected;
    std::string error;
    ASSERT_TRUE(xdriver::readPng(reference, expected, &error)) << error;
    long differing = xdriver::differentPixels(expected, shot, 2);
    long allowed = (long)shot.width * shot.height / 1000;
    EXPECT_GE(differing, 0);
    EXPECT_LE(differing, allowed) << "screenshot: " << run.saveScreenshot(shot, name);
}

}  // namespace

TEST(SamePicture, DemoStartView) { expectSamePicture(0, "demo_start_view"); }

TEST(SamePicture, ThousandMixedObjects) { expectSamePicture(1000, "mixed_1000"); }
