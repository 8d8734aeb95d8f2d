// The Debian package that scripts/package.sh makes (its path in SW_PACKAGE_PATH_FILE): its
// contents and computed dependencies, the desktop entries, AppStream metadata and lintian's
// verdict, then installed with apt, run from outside the build tree and purged again.
#include "stageworks_run.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const STARTUP_LINES[] = {" Creating hashes...\n", " XML loading...\n", " MainLoop started...\n"};
const std::string VERSION = SW_VERSION;

struct Result {
    int status = -1;
    std::string out, err;
};

// The program file a command name resolves to through PATH (as a shell would)
std::string onPath(const std::string &name)
{
    if (name.find('/') != std::string::npos) return name;
    const char *path = getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (access((dir + "/" + name).c_str(), X_OK) == 0) return dir + "/" + name;
    return "";
}

// Runs a command (found on PATH) without a display and waits for it
Result run(std::vector<std::string> argv, const std::string &cwd = "/", int timeoutMs = 300000)
{
    Result result;
    argv[0] = onPath(argv[0]);
    xdriver::ChildProcess child;
    if (argv[0].empty() || !child.spawn(argv, cwd, "", {"DEBIAN_FRONTEND=noninteractive", "LC_ALL=C.UTF-8"}))
        return result;
    if (child.waitExit(timeoutMs)) result.status = child.exitStatus;
    result.out = child.out;
    result.err = child.err;
    return result;
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> list;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) list.push_back(line);
    return list;
}

bool exists(const std::string &path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string &path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool installed() { return run({"dpkg-query", "-W", "-f=${Status}", "stageworks"}).out == "install ok installed"; }

Result purge() { return run({"apt-get", "-o", "DPkg::Lock::Timeout=600", "remove", "--purge", "-y", "stageworks"}); }

class Package : public ::testing::Test {
protected:
    std::string deb;
    std::string scratch = xdriver::makeTempDir("stageworks-package");
    std::vector<std::string> listing;    // the package's paths, "/usr/bin/stageworks" and so on

    void SetUp() override
    {
        ASSERT_FALSE(scratch.empty());
        std::string text;
        ASSERT_TRUE(xdriver::readFile(SW_PACKAGE_PATH_FILE, text)) << "no package was made";
        deb = text.substr(0, text.find('\n'));
        ASSERT_TRUE(exists(deb)) << deb;
        Result names = run({"sh", "-c", "dpkg-deb --fsys-tarfile \"$0\" | tar -t", deb});
        ASSERT_EQ(names.status, 0) << names.err;
        for (const std::string &name : lines(names.out))
            if (name != "./") listing.push_back(name.substr(1, name.back() == '/' ? name.size() - 2 : std::string::npos));
        ASSERT_FALSE(listing.empty());
    }

    ~Package() override { xdriver::removeTree(scratch); }

    bool listed(const std::string &path) const
    {
        for (const std::string &entry : listing)
            if (entry == path) return true;
        return false;
    }

    // The package unpacked under the scratch directory
    std::string unpack()
    {
        const std::string root = scratch + "/unpacked";
        Result r = run({"dpkg-deb", "-x", deb, root});
        EXPECT_EQ(r.status, 0) << r.err;
        return root;
    }
};

}  // namespace

TEST_F(Package, HoldsProgramsDataPagesIconsAndComputedDependencies)
{
    std::vector<std::string> programs = {"stageworks", "stageworks-launch", "matforge", "stageworks-publish"};
    if (listed("/usr/bin/stageworks-export")) programs.push_back("stageworks-export");
    for (const std::string &program : programs) {
        EXPECT_TRUE(listed("/usr/bin/" + program)) << program;
        EXPECT_TRUE(listed("/usr/share/man/man1/" + program + ".1.gz")) << program;
    }
    for (const char *name : {"DESCscene.dtd", "escena.xml", "arial.glf", "Data/ladrillo.bmp", "Data/menuFile.bmp"})
        EXPECT_TRUE(listed(std::string("/usr/share/stageworks/") + name)) << name;
    for (const char *name : {"copyright", "changelog.gz"}) EXPECT_TRUE(listed(std::string("/usr/share/doc/stageworks/") + name));
    for (const char *name : {"player/index.html", "player/main.mjs", "player/engine.mjs", "player/player.css",
                             "engine/stageworks-engine.mjs", "engine/stageworks-engine.wasm"})
        EXPECT_TRUE(listed(std::string("/usr/share/stageworks/web/") + name)) << name;

    // Icons of the stated size (the PNG header's width and height)
    const std::string root = unpack();
    for (const char *program : {"stageworks", "matforge"})
        for (int size : {48, 128, 256}) {
            const std::string dim = std::to_string(size) + "x" + std::to_string(size);
            std::string png;
            ASSERT_TRUE(xdriver::readFile(root + "/usr/share/icons/hicolor/" + dim + "/apps/" + program + ".png", png)) << dim;
            ASSERT_GT(png.size(), 24u);
            auto be32 = [&](size_t at) { return (int)((uint8_t)png[at] << 24 | (uint8_t)png[at + 1] << 16 | (uint8_t)png[at + 2] << 8 | (uint8_t)png[at + 3]); };
            EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
            EXPECT_EQ(be32(16), size);
            EXPECT_EQ(be32(20), size);
        }

    // Pages compressed without a name or time stamp (gzip -9n), and readable as manual pages
    for (const std::string &program : programs) {
        std::string page;
        ASSERT_TRUE(xdriver::readFile(root + "/usr/share/man/man1/" + program + ".1.gz", page)) << program;
        ASSERT_GT(page.size(), 10u);
        EXPECT_EQ(page[3] & 0x08, 0) << program << ": the original name is stored";
        EXPECT_EQ(page.substr(4, 4), std::string(4, '\0')) << program << ": a time stamp is stored";
        Result text = run({"man", "-l", "-P", "cat", root + "/usr/share/man/man1/" + program + ".1.gz"});
        for (const char *section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "EXAMPLES", "SEE ALSO"})
            EXPECT_NE(text.out.find(std::string("\n") + section + "\n"), std::string::npos) << program << " lacks " << section;
    }

    // Version and dependencies: the libraries the programs link to, found by dpkg-shlibdeps
    EXPECT_EQ(run({"dpkg-deb", "-f", deb, "Version"}).out, VERSION + "\n");
    const std::string depends = run({"dpkg-deb", "-f", deb, "Depends"}).out;
    for (const char *dependency : {"libglut3.12", "libxml2", "libqt6widgets6", "libglu1-mesa", "libc6 (>=", "qt6-qpa-plugins",
                                   "qt6-translations-l10n"})
        EXPECT_NE(depends.find(dependency), std::string::npos) << dependency << " missing in: " << depends;
}

TEST_F(Package, DesktopEntriesMetadataAndLintianPass)
{
    const std::string root = unpack();
    for (const char *entry : {"stageworks.desktop", "matforge.desktop"}) {
        Result r = run({"desktop-file-validate", root + "/usr/share/applications/" + entry});
        EXPECT_EQ(r.status, 0) << entry << "\n" << r.out << r.err;
        EXPECT_EQ(r.out + r.err, "") << entry;
    }
    int metainfo = 0;
    for (const std::string &path : listing)
        if (path.rfind("/usr/share/metainfo/", 0) == 0 && path.size() > 20) {
            metainfo++;
            Result r = run({"appstreamcli", "validate", "--no-net", root + path});
            EXPECT_EQ(r.status, 0) << path << "\n" << r.out << r.err;
            // MIT, and no address while the project has no published home
            std::string xml;
            ASSERT_TRUE(xdriver::readFile(root + path, xml));
            EXPECT_NE(xml.find("<project_license>MIT</project_license>"), std::string::npos) << path;
            for (const char *address : {"<url", "<screenshot", "http"}) EXPECT_EQ(xml.find(address), std::string::npos) << path << ": " << address;
        }
    EXPECT_EQ(metainfo, 2);

    // The licence, and the maintainer is whoever built the package (set by the test's build)
    std::string copyright;
    ASSERT_TRUE(xdriver::readFile(root + "/usr/share/doc/stageworks/copyright", copyright));
    EXPECT_NE(copyright.find("\nFiles: *\nCopyright: 2026 the stageworks developers\nLicense: Expat\n"), std::string::npos);
    EXPECT_EQ(run({"dpkg-deb", "-f", deb, "Maintainer"}).out, std::string(SW_PACKAGE_MAINTAINER) + "\n");
    Result changelog = run({"sh", "-c", "zcat \"$0\" | tail -n 1", root + "/usr/share/doc/stageworks/changelog.gz"});
    EXPECT_EQ(changelog.out.rfind(std::string(" -- ") + SW_PACKAGE_MAINTAINER + "  ", 0), 0u) << changelog.out;

    // No invented address anywhere in the package
    Result invented = run({"grep", "-rlIE", "example[.](org|com|net)|[.]example\\b", root});
    EXPECT_EQ(invented.out, "") << "files naming an example address";

    Result lint = run({"lintian", "--tag-display-limit", "0", deb}, scratch, 600000);
    ASSERT_NE(lint.status, -1) << "lintian did not finish";
    for (const std::string &line : lines(lint.out)) {
        EXPECT_NE(line.rfind("E: ", 0), 0) << line;
        EXPECT_NE(line.rfind("W: ", 0), 0) << line;
    }
    EXPECT_EQ(lint.err.find("E: "), std::string::npos) << lint.err;
}

TEST_F(Package, InstallsWithAptRunsFromOutsideTheTreeAndPurgesCleanly)
{
    // A package left installed by an earlier run goes first; this run's goes at the end whatever happens
    if (installed()) {
        ASSERT_EQ(purge().status, 0);
    }
    struct Purger {
        ~Purger() { if (installed()) purge(); }
    } purger;
    std::vector<bool> existedBefore;
    for (const std::string &path : listing) existedBefore.push_back(exists(path));

    Result install = run({"apt-get", "-o", "DPkg::Lock::Timeout=600", "install", "-y", deb});
    ASSERT_EQ(install.status, 0) << install.out << install.err;
    ASSERT_TRUE(installed());

    // Versions and pages, with no display
    for (const char *program : {"stageworks", "stageworks-launch", "matforge", "stageworks-publish"}) {
        ASSERT_EQ(onPath(program), std::string("/usr/bin/") + program);
        Result version = run({program, "--version"}, scratch);
        EXPECT_EQ(version.status, 0) << program << ": " << version.err;
        EXPECT_EQ(version.out, std::string(program) + " " + VERSION + "\n");
        Result help = run({program, "--help"}, scratch);
        EXPECT_EQ(help.status, 0) << program;
        EXPECT_EQ(help.out.rfind("Usage: " + std::string(program), 0), 0u) << help.out;
        Result page = run({"man", "-w", program}, scratch);
        EXPECT_EQ(page.out, "/usr/share/man/man1/" + std::string(program) + ".1.gz\n") << page.err;
    }

    // The publisher finds the installed page files: the demo becomes a folder with its page
    Result published = run({"stageworks-publish", "/usr/share/stageworks", scratch + "/web"}, scratch);
    EXPECT_EQ(published.status, 0) << published.err;
    for (const char *name : {"index.html", "scene.json", "player/main.mjs", "player/stageworks-engine.wasm"})
        EXPECT_TRUE(exists(scratch + "/web/" + name)) << name;

    // The launcher makes the default scene directory in a fresh home and starts stageworks there
    const std::string home = scratch + "/home";
    {
        xdriver::XServer server;
        xdriver::XClient client;
        xdriver::setScriptsDir(std::string(SW_SOURCE_DIR) + "/scripts");
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(client.open(server.display));
        xdriver::ChildProcess app;
        ASSERT_TRUE(app.spawn({onPath("stageworks-launch")}, scratch, server.display, {"HOME=" + home}));
        ASSERT_TRUE(app.waitForOutput(" MainLoop started...\n", 90000)) << app.out << app.err;
        EXPECT_NE(app.out.find("new scene directory " + home + "/stageworks"), std::string::npos) << app.out;
        EXPECT_TRUE(appearInOrder(app.out, STARTUP_LINES, sizeof STARTUP_LINES / sizeof STARTUP_LINES[0])) << app.out;
        ASSERT_TRUE(xdriver::waitUntil([&] { return client.hasMappedWindow(); }, 30000));
        client.moveMouse(512, 384);
        client.tap(XK_Escape);
        ASSERT_TRUE(app.waitExit(20000)) << "Escape did not end stageworks";
        EXPECT_EQ(app.exitStatus, 0) << app.err;
    }

    // Purged: every file of the package is gone, and every directory it made; the user's scene stays
    std::vector<std::string> owned = lines(run({"dpkg", "-L", "stageworks"}).out);
    ASSERT_GT(owned.size(), listing.size() / 2);
    Result removal = purge();
    ASSERT_EQ(removal.status, 0) << removal.out << removal.err;
    EXPECT_FALSE(installed());
    for (const std::string &path : owned) {
        if (path == "/.") continue;
        size_t at = 0;
        while (at < listing.size() && listing[at] != path) at++;
        bool keep = at < listing.size() && existedBefore[at] && isDirectory(path);
        if (!keep) {
            EXPECT_FALSE(exists(path)) << path << " is left behind";
        }
    }
    EXPECT_TRUE(exists(home + "/stageworks/escena.xml"));
}
