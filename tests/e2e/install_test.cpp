// The installed programs: cmake --install into a scratch prefix; every program answers
// --version and --help without a display and has its manual page; the installed launcher
// prepares scene directories and starts stageworks in them on the private X server, and the
// installed matforge opens its window there.
#include "stageworks_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isExecutable(const std::string &path) { return access(path.c_str(), X_OK) == 0; }

class Install : public ::testing::Test {
protected:
    std::string scratch = xdriver::makeTempDir("stageworks-install");
    std::string prefix = scratch + "/prefix";
    xdriver::XServer server;
    xdriver::XClient client;

    void SetUp() override
    {
        ASSERT_FALSE(scratch.empty());
        xdriver::setScriptsDir(std::string(SW_SOURCE_DIR) + "/scripts");
        xdriver::ChildProcess install;
        ASSERT_TRUE(install.spawn({SW_CMAKE_COMMAND, "--install", SW_BUILD_DIR, "--prefix", prefix}, scratch, ""));
        ASSERT_TRUE(install.waitExit(120000)) << "cmake --install did not finish";
        ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;
    }

    // the scratch tree goes with the fixture; the X client and server close themselves
    ~Install() override { xdriver::removeTree(scratch); }

    std::string bin(const std::string &name) const { return prefix + "/bin/" + name; }
    std::string share(const std::string &name) const { return prefix + "/share/stageworks/" + name; }

    // The launcher started with the given arguments reaches the main loop, then Escape ends it with 0
    void launchAndEscape(const std::vector<std::string> &arguments, const std::function<void(const std::string &err)> &whileUp)
    {
        std::vector<std::string> argv = {bin("stageworks-launch")};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        xdriver::ChildProcess app;
        ASSERT_TRUE(app.spawn(argv, scratch, server.display, {"HOME=" + scratch + "/home"}));
        ASSERT_TRUE(app.waitForOutput(" MainLoop started...\n", 60000)) << app.out << app.err;
        ASSERT_TRUE(xdriver::waitUntil([&] { return client.hasMappedWindow(); }, 20000));
        whileUp(app.err);
        client.moveMouse(512, 384);
        client.tap(XK_Escape);
        ASSERT_TRUE(app.waitExit(10000)) << "Escape did not end stageworks";
        EXPECT_EQ(app.exitStatus, 0) << app.err;
    }

    // The shipped files the launcher puts in a scene directory, equal to the share's
    void expectShippedFiles(const std::string &dir)
    {
        for (const char *name : {"DESCscene.dtd", "arial.glf", "Data/ladrillo.bmp", "Data/menuFile.bmp"}) {
            EXPECT_FALSE(readText(share(name)).empty()) << name;
            EXPECT_EQ(readText(dir + "/" + name), readText(share(name))) << name;
        }
    }
};

}  // namespace

TEST_F(Install, ProgramsRunDataLauncherAndDesktopEntriesUnderThePrefix)
{
    std::vector<std::string> programs = {"stageworks"};
#ifdef SW_MATFORGE_BUILT
    programs.push_back("matforge");
#endif
    EXPECT_TRUE(isExecutable(bin("stageworks-launch")));
    // The run data as the build made it (the generated demo scene included), without the build's stamp
    for (const char *name : {"escena.xml", "arial.glf", "Data/izpos2.bmp"})
        EXPECT_EQ(readText(share(name)), readText(std::string(SW_RUNDATA_DIR) + "/" + name)) << name;
    EXPECT_EQ(readText(share("DESCscene.dtd")), readText(std::string(SW_SOURCE_DIR) + "/assets/DESCscene.dtd"));
    EXPECT_NE(access(share(".stamp").c_str(), F_OK), 0);

    // Desktop entries that start the installed programs, valid for desktop-file-validate;
    // matforge's opens the file it is given (%f) and says which files it takes
    for (const std::string &name : programs) {
        const std::string path = prefix + "/share/applications/" + name + ".desktop";
        const std::string entry = readText(path);
        EXPECT_TRUE(entry.rfind("[Desktop Entry]\n", 0) == 0 && entry.find("\nType=Application\n") != std::string::npos &&
                    entry.find("\nName=" + name + "\n") != std::string::npos) << entry;
        ASSERT_NE(entry.find("\nExec="), std::string::npos) << name;
        size_t exec = entry.find("\nExec=") + 6;
        const std::string command = entry.substr(exec, entry.find('\n', exec) - exec);
        EXPECT_EQ(command.rfind(prefix + "/bin/", 0), 0u) << entry;
        EXPECT_TRUE(isExecutable(command.substr(0, command.find(' ')))) << entry;
        EXPECT_TRUE(isExecutable(bin(name))) << name;
        xdriver::ChildProcess validate;
        ASSERT_TRUE(validate.spawn({"/usr/bin/desktop-file-validate", path}, scratch, ""));
        ASSERT_TRUE(validate.waitExit(10000));
        EXPECT_EQ(validate.exitStatus, 0) << validate.out << validate.err;
        EXPECT_EQ(validate.out + validate.err, "") << name;
        if (name == "matforge") {
            EXPECT_EQ(command, bin("matforge") + " %f");
            EXPECT_NE(entry.find("\nMimeType=application/xml;"), std::string::npos) << entry;
        }
    }
}

TEST_F(Install, LauncherPreparesSceneDirectoriesAndKeepsAChangedScene)
{
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(client.open(server.display));
    const std::string dir = scratch + "/mi escena";    // a space in the path, as users have

    // A new directory gets the demo scene and everything it needs
    launchAndEscape({dir}, [&](const std::string &err) {
        EXPECT_EQ(readText(dir + "/escena.xml"), readText(share("escena.xml")));
        expectShippedFiles(dir);
        EXPECT_EQ(err.find("Error"), std::string::npos) << err;
    });

    // The user's changed scene and own bitmap are kept, the shipped files they spoilt refreshed
    const std::string changed = readText(dir + "/escena.xml") + "<!-- mine -->\n";
    std::ofstream(dir + "/escena.xml") << changed;
    std::ofstream(dir + "/Data/mio.bmp") << "my own bitmap";
    std::ofstream(dir + "/Data/ladrillo.bmp") << "damaged";
    std::ofstream(dir + "/DESCscene.dtd") << "damaged";
    launchAndEscape({dir}, [&](const std::string &err) {
        EXPECT_EQ(readText(dir + "/escena.xml"), changed);
        EXPECT_EQ(readText(dir + "/Data/mio.bmp"), "my own bitmap");
        expectShippedFiles(dir);
        EXPECT_EQ(err.find("not loaded"), std::string::npos) << "the changed scene was refused: " << err;
    });

    // Without an argument the directory is stageworks in the home directory
    launchAndEscape({}, [&](const std::string &) { expectShippedFiles(scratch + "/home/stageworks"); });
}

TEST_F(Install, ProgramsAnswerVersionAndHelpWithoutADisplayAndTheLauncherPassesOptions)
{
    std::vector<std::string> programs = {"stageworks", "stageworks-launch"};
#ifdef SW_MATFORGE_BUILT
    programs.push_back("matforge");
#endif
    for (const std::string &name : programs) {
        xdriver::ChildProcess version, help;
        ASSERT_TRUE(version.spawn({bin(name), "--version"}, scratch, ""));
        ASSERT_TRUE(help.spawn({bin(name), "--help"}, scratch, ""));
        ASSERT_TRUE(version.waitExit(10000) && help.waitExit(10000)) << name;
        EXPECT_EQ(version.exitStatus, 0) << name;
        EXPECT_EQ(version.out, name + " " + SW_VERSION + "\n");
        EXPECT_EQ(help.exitStatus, 0) << name;
        EXPECT_EQ(help.out.rfind("Usage: " + name + " ", 0), 0u) << help.out;
        EXPECT_FALSE(readText(prefix + "/share/man/man1/" + name + ".1.gz").empty()) << name;
    }

    // An option before the directory goes to stageworks (which refuses this one); the directory is still made
    const std::string dir = scratch + "/a scene";
    xdriver::ChildProcess launch;
    ASSERT_TRUE(launch.spawn({bin("stageworks-launch"), "--no-such-option", dir}, scratch, "", {"HOME=" + scratch}));
    ASSERT_TRUE(launch.waitExit(10000));
    EXPECT_EQ(launch.exitStatus, 2);
    EXPECT_NE(launch.err.find("unknown option '--no-such-option'"), std::string::npos) << launch.err;
    EXPECT_FALSE(readText(dir + "/escena.xml").empty());
}

TEST_F(Install, LauncherWithoutRunDataSaysSoAndStartsNothing)
{
    xdriver::removeTree(share("Data"));
    xdriver::ChildProcess app;
    ASSERT_TRUE(app.spawn({bin("stageworks-launch"), scratch + "/scene"}, scratch, "", {"HOME=" + scratch}));
    ASSERT_TRUE(app.waitExit(10000));
    EXPECT_EQ(app.exitStatus, 1);
    EXPECT_NE(app.err.find("run data is missing"), std::string::npos) << app.err;
    EXPECT_NE(access((scratch + "/scene").c_str(), F_OK), 0);
}

TEST_F(Install, InstalledMatforgeOpensItsWindow)
{
#ifndef SW_MATFORGE_BUILT
    GTEST_SKIP() << "matforge is not built";
#endif
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(client.open(server.display));
    const std::string runtime = scratch + "/runtime";
    ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
    // started as the desktop starts it from its entry, on a copy of the shipped scene
    const std::string scene = scratch + "/escena.xml";
    std::ofstream(scene, std::ios::binary) << readText(share("escena.xml"));
    std::ofstream(scratch + "/DESCscene.dtd", std::ios::binary) << readText(share("DESCscene.dtd"));
    const std::string entry = readText(prefix + "/share/applications/matforge.desktop");
    const size_t exec = entry.find("\nExec=") + 6;
    std::string command = entry.substr(exec, entry.find('\n', exec) - exec);
    ASSERT_NE(command.find(" %f"), std::string::npos) << command;
    command.resize(command.find(" %f"));
    xdriver::ChildProcess app;
    ASSERT_TRUE(app.spawn({command, scene}, scratch, server.display,
                          {"QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime, "HOME=" + scratch + "/home",
                           "XDG_CONFIG_HOME=" + scratch + "/config"}));
    std::vector<std::string> titles;
    EXPECT_TRUE(xdriver::waitUntil(
        [&] {
            titles = client.windowTitles();
            return std::find(titles.begin(), titles.end(), "escena.xml - matforge") != titles.end();
        },
        30000))
        << app.err;
    // Still up a moment later: the window is the program waiting for the user
    for (long until = xdriver::nowMs() + 1000; xdriver::nowMs() < until;) app.pump(50);
    EXPECT_FALSE(app.exited) << "matforge ended with status " << app.exitStatus << ": " << app.err;
    app.kill();
}
