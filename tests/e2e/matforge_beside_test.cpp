// matforge and stageworks working on one scene at the same time, as a user does: stageworks
// (the real program on the private X server) saves a new object while matforge has the scene
// open; matforge's save keeps that object, and stageworks' next save keeps matforge's new
// material. matforge's main window runs in this process on Qt's offscreen platform.
#include "form1.h"
#include "matforge_dialogs.h"
#include "stageworks_run.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>
// NOTE: after gtest and Qt: Xlib's macros (None, Bool) would clash with their names
#include <X11/keysym.h>

#include <sys/stat.h>

#include <set>

namespace {

// True once the screen shows a drawn scene (many colours): the program then takes keys
bool sceneDrawn(const xdriver::Image &shot)
{
    std::set<uint32_t> seen;
    for (int y = 0; y < shot.height && seen.size() < 256; y += 8)
        for (int x = 0; x < shot.width; x += 8) {
            const uint8_t *p = shot.pixel(x, y);
            seen.insert((uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2]);
        }
    return seen.size() >= 256;
}

ino_t inodeOf(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

TEST(BothPrograms, EachSaveKeepsWhatTheOtherSaved)
{
    StageworksRun run;
    ASSERT_TRUE(run.start()) << run.app.out << run.app.err;
    xdriver::Image shot;
    ASSERT_TRUE(run.screenUntil(shot, sceneDrawn, 30000)) << "no scene";

    const std::string scene = run.path("escena.xml");
    mftest::ScriptedDialogs dialogs;
    Form1 window{&dialogs};
    window.show();
    dialogs.files = {QString::fromStdString(scene)};
    window.findChild<QAction *>("cargar")->trigger();
    ASSERT_GT(window.documento().editorMaterialCount, 0);
    const size_t objects = occurrences(readText(scene), "<primitiva");

    // stageworks: a new sphere, saved
    run.input.tap(XK_e);
    run.input.tap(XK_F9);
    ASSERT_TRUE(xdriver::waitUntil([&] { run.app.pump(10); return occurrences(readText(scene), "<primitiva") == objects + 1; }, 20000))
        << "F9 did not save the new object" << run.app.err;

    // matforge: a new material, saved without a question (stageworks wrote the same materials back)
    dialogs.inputs = {QString("piedra")};
    QTest::mouseClick(window.findChild<QPushButton *>("Command1_0"), Qt::LeftButton);
    window.findChild<QAction *>("guardar")->trigger();
    ASSERT_FALSE(dialogs.said.isEmpty());
    EXPECT_EQ(dialogs.said.last(), "0 XML actualizado correctamente.");
    std::string saved = readText(scene);
    EXPECT_EQ(occurrences(saved, "<primitiva"), objects + 1);
    EXPECT_NE(saved.find("<IDMaterial codigo=\"piedra\">"), std::string::npos);

    // stageworks: the next save (a new file in place of matforge's) keeps the new material
    const ino_t matforgeFile = inodeOf(scene);
    run.input.tap(XK_F9);
    ASSERT_TRUE(xdriver::waitUntil([&] { run.app.pump(10); return inodeOf(scene) != matforgeFile; }, 20000))
        << run.app.err;
    saved = readText(scene);
    EXPECT_NE(saved.find("<IDMaterial codigo=\"piedra\">"), std::string::npos);
    EXPECT_EQ(occurrences(saved, "<primitiva"), objects + 1);

    run.input.tap(XK_Escape);
    ASSERT_TRUE(run.app.waitExit(30000));
    EXPECT_EQ(run.app.exitStatus, 0);
}

int main(int argc, char **argv) { return mftest::runOffscreen(argc, argv); }
