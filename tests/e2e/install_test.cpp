// The installed programs: cmake --install into a scratch prefix, then the installed launcher
// prepares scene directories and starts stageworks in them on the private X server, and the
// installed matforge opens its window there.
#include "stageworks_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>
#include <string>
#include <sys/stat.h>

namespace {

const char *const STARTUP_LINES[] = {
    " Creating hashes...\n",  " Adding materials...\n", " Creating menus...\n",
    " Input initialization...\n", " Light initialization...\n", " Call backs...\n",
    " Loading textures...\n", " XML loading...\n", " MainLoop started...\n",
};
constexpr int STARTUP_COUNT = sizeof STARTUP_LINES / sizeof STARTUP_LINES[0];

bool isFile(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isExecutable(const std::string &path) { return isFile(path) && access(path.c_str(), X_OK) == 0; }

std::string contents(const std::string &path)
{
    std::string text;
    xdriver::readFile(path, text);
    return text;
}

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The value of a key of a desktop entry ("" when missing)
std::string desktopValue(const std::string &entry, const std::string &key)
{
    size_t at = entry.find("\n" + key + "=");
    if (at == std::string::npos) return "";
    at += key.size() + 2;
    return entry.substr(at, entry.find('\n', at) - at);
}

class Install : public ::testing::Test {
protected:
    std::string scratch;
    std::string prefix;
    xdriver::XServer server;
    xdriver::XClient client;

    void SetUp() override
    {
        xdriver::setScriptsDir(std::string(SW_SOURCE_DIR) + "/scripts");
        scratch = xdriver::makeTempDir("stageworks-install");
        ASSERT_FALSE(scratch.empty());
        prefix = scratch + "/prefix";
        xdriver::ChildProcess install;
        ASSERT_TRUE(install.spawn({SW_CMAKE_COMMAND, "--install", SW_BUILD_DIR, "--prefix", prefix}, scratch, ""));
        ASSERT_TRUE(install.waitExit(120000)) << "cmake --install did not finish";
        ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;
    }

    void TearDown() override
    {
        client.close();
        server.stop();
        xdriver::removeTree(scratch);
    }

    void startServer()
    {
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(client.open(server.display));
    }

    std::string bin(const std::string &name) const { return prefix + "/bin/" + name; }
    std::string share(const std::string &name) const { return prefix + "/share/stageworks/" + name; }

    // The launcher started with the given arguments; its start-up must reach the main loop
    void launch(xdriver::ChildProcess &app, const std::vector<std::string> &arguments)
    {
        std::vector<std::string> argv = {bin("stageworks-launch")};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(app.spawn(argv, scratch, server.display, {"HOME=" + scratch + "/home"}));
        ASSERT_TRUE(app.waitForOutput(" MainLoop started...\n", 60000)) << app.out << app.err;
        ASSERT_TRUE(xdriver::waitUntil([&] { return client.hasMappedWindow(); }, 20000));
        EXPECT_TRUE(appearInOrder(app.out, STARTUP_LINES, STARTUP_COUNT)) << app.out;
    }

    // Escape ends stageworks with status 0
    void escape(xdriver::ChildProcess &app)
    {
        client.moveMouse(512, 384);
        client.tap(XK_Escape);
        ASSERT_TRUE(app.waitExit(10000)) << "Escape did not end stageworks";
        EXPECT_EQ(app.exitStatus, 0) << app.err;
    }

    // The files the launcher puts in a scene directory, the shipped ones equal to the share's
    void expectSceneDirectory(const std::string &dir)
    {
        EXPECT_TRUE(isFile(dir + "/escena.xml"));
        EXPECT_EQ(contents(dir + "/DESCscene.dtd"), contents(share("DESCscene.dtd")));
        EXPECT_EQ(contents(dir + "/arial.glf"), contents(share("arial.glf")));
        EXPECT_TRUE(isDirectory(dir + "/Data"));
        EXPECT_EQ(contents(dir + "/Data/ladrillo.bmp"), contents(share("Data/ladrillo.bmp")));
        EXPECT_EQ(contents(dir + "/Data/menuFile.bmp"), contents(share("Data/menuFile.bmp")));
    }
};

}  // namespace

TEST_F(Install, ProgramsRunDataLauncherAndDesktopEntriesUnderThePrefix)
{
    EXPECT_TRUE(isExecutable(bin("stageworks")));
    EXPECT_TRUE(isExecutable(bin("stageworks-launch")));
#ifdef SW_MATFORGE_BUILT
    EXPECT_TRUE(isExecutable(bin("matforge")));
#endif

    // The run data as the build made it (the generated demo scene included)
    EXPECT_EQ(contents(share("escena.xml")), contents(std::string(SW_RUNDATA_DIR) + "/escena.xml"));
    EXPECT_EQ(contents(share("DESCscene.dtd")), contents(std::string(SW_SOURCE_DIR) + "/assets/DESCscene.dtd"));
    EXPECT_EQ(contents(share("arial.glf")), contents(std::string(SW_RUNDATA_DIR) + "/arial.glf"));
    EXPECT_EQ(contents(share("Data/izpos2.bmp")), contents(std::string(SW_RUNDATA_DIR) + "/Data/izpos2.bmp"));
    EXPECT_FALSE(isFile(share(".stamp")));

    // Desktop entries that start the installed programs
    std::vector<const char *> entries = {"stageworks"};
#ifdef SW_MATFORGE_BUILT
    entries.push_back("matforge");
#endif
    for (const char *name : entries) {
        std::string entry = contents(prefix + "/share/applications/" + name + ".desktop");
        ASSERT_FALSE(entry.empty()) << name;
        EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u) << name;
        EXPECT_EQ(desktopValue(entry, "Type"), "Application");
        EXPECT_EQ(desktopValue(entry, "Name"), name);
        std::string exec = desktopValue(entry, "Exec");
        EXPECT_TRUE(isExecutable(exec)) << name << ": Exec=" << exec;
        EXPECT_EQ(exec.rfind(prefix + "/bin/", 0), 0u) << exec;
    }
}

TEST_F(Install, LauncherPreparesANewSceneDirectoryAndKeepsAChangedScene)
{
    startServer();
    const std::string dir = scratch + "/mi escena";    // a space in the path, as users have

    // First launch: a new directory gets the demo scene and everything it needs
    xdriver::ChildProcess first;
    launch(first, {dir});
    expectSceneDirectory(dir);
    EXPECT_EQ(contents(dir + "/escena.xml"), contents(share("escena.xml")));
    EXPECT_EQ(first.err.find("Error"), std::string::npos) << first.err;
    escape(first);

    // The user changes the scene, adds a bitmap of their own and spoils a shipped one
    const std::string changed = contents(dir + "/escena.xml") + "<!-- mine -->\n";
    writeText(dir + "/escena.xml", changed);
    writeText(dir + "/Data/mio.bmp", "my own bitmap");
    writeText(dir + "/Data/ladrillo.bmp", "damaged");
    writeText(dir + "/DESCscene.dtd", "damaged");

    // Second launch: the scene and the user's bitmap are kept, the shipped files refreshed
    xdriver::ChildProcess second;
    launch(second, {dir});
    EXPECT_EQ(contents(dir + "/escena.xml"), changed);
    EXPECT_EQ(contents(dir + "/Data/mio.bmp"), "my own bitmap");
    expectSceneDirectory(dir);
    EXPECT_EQ(second.err.find("not loaded"), std::string::npos) << "the changed scene was refused: " << second.err;
    escape(second);
}

TEST_F(Install, LauncherWithoutArgumentUsesStageworksInTheHomeDirectory)
{
    startServer();
    xdriver::ChildProcess app;
    launch(app, {});
    expectSceneDirectory(scratch + "/home/stageworks");
    escape(app);
}

TEST_F(Install, LauncherWithoutRunDataSaysSoAndStartsNothing)
{
    xdriver::removeTree(share("Data"));
    xdriver::ChildProcess app;
    ASSERT_TRUE(app.spawn({bin("stageworks-launch"), scratch + "/scene"}, scratch, "", {"HOME=" + scratch}));
    ASSERT_TRUE(app.waitExit(10000));
    EXPECT_EQ(app.exitStatus, 1);
    EXPECT_NE(app.err.find("run data is missing"), std::string::npos) << app.err;
    EXPECT_FALSE(isDirectory(scratch + "/scene"));
}

TEST_F(Install, InstalledMatforgeOpensItsWindow)
{
#ifndef SW_MATFORGE_BUILT
    GTEST_SKIP() << "matforge is not built";
#endif
    startServer();
    xdriver::ChildProcess app;
    const std::string runtime = scratch + "/runtime";
    ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
    ASSERT_TRUE(app.spawn({bin("matforge")}, scratch, server.display, {"QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime}));
    EXPECT_TRUE(xdriver::waitUntil([&] { return client.hasMappedWindow(); }, 30000)) << app.err;
    // Still up a moment later: the window is the program waiting for the user
    long until = xdriver::nowMs() + 1000;
    while (xdriver::nowMs() < until) app.pump(50);
    EXPECT_FALSE(app.exited) << "matforge ended with status " << app.exitStatus << ": " << app.err;
    app.kill();
}
