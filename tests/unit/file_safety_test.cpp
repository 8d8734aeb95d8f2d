// The file-safety library: the rule for files a scene names (every spelling of one file is one
// file; outside, missing and climbing names refused alike and never read; pipes, folders and
// large files refused without waiting), whole-file replacement (mode kept, read-only refused,
// links followed to their target, a full disk leaves the old file), copies beside a file, and
// groups of files written all or none.
#include "bitmap_limits.h"
#include "file_bundle.h"
#include "file_replace.h"
#include "scene_paths.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace {

std::string readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const std::string &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

std::set<std::string> entriesOf(const std::string &folder)
{
    std::set<std::string> names;
    DIR *dir = opendir(folder.c_str());
    while (dir != nullptr) {
        const dirent *entry = readdir(dir);
        if (entry == nullptr) break;
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.insert(entry->d_name);
    }
    if (dir != nullptr) closedir(dir);
    return names;
}

mode_t modeOf(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// Runs body with a file size limit that makes every write past `bytes` fail (a full disk)
template <typename Body> void withFullDiskAfter(rlim_t bytes, Body body)
{
    struct rlimit saved, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    small = {bytes, saved.rlim_max};
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    body();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    signal(SIGXFSZ, oldHandler);
}

// A scene directory with Data/a.bmp, and a folder outside it with a secret file
class FileSafety : public ::testing::Test {
protected:
    std::string top, scene, outside;

    void SetUp() override
    {
        char pattern[] = "/tmp/file-safety-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        top = pattern;
        scene = top + "/scene";
        outside = top + "/outside";
        ASSERT_EQ(mkdir(scene.c_str(), 0755), 0);
        ASSERT_EQ(mkdir((scene + "/Data").c_str(), 0755), 0);
        ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
        writeAll(scene + "/Data/a.bmp", "BMinside");
        writeAll(outside + "/secret", "SECRET");
    }
    void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + top + "'").c_str()), 0); }

    void link(const std::string &target, const std::string &name) { ASSERT_EQ(symlink(target.c_str(), name.c_str()), 0); }
};

}  // namespace

TEST_F(FileSafety, EverySpellingOfAFileInsideTheSceneIsTheSameFile)
{
    link("a.bmp", scene + "/Data/alias.bmp");
    link(scene + "/Data/a.bmp", scene + "/Data/absolute.bmp");   // an absolute link that stays inside
    link("Data", scene + "/Datos");
    FileIdentity first;
    std::string bytes;
    ASSERT_TRUE(fileOk(readSceneFile(scene, "Data/a.bmp", 100, &bytes, &first)));
    EXPECT_EQ(bytes, "BMinside");
    for (const char *name : {"./Data//a.bmp", "Data/../Data/a.bmp", "Data/alias.bmp", "Data/absolute.bmp", "Datos/a.bmp"}) {
        OpenedFile file;
        const FileStatus status = openSceneFile(scene, name, 100, &file);
        ASSERT_TRUE(fileOk(status)) << name << ": " << fileProblemText(status);
        EXPECT_EQ(file.identity, first) << name;
        char *real = realpath((scene + "/Data/a.bmp").c_str(), nullptr);
        EXPECT_EQ(file.resolved, std::string(real)) << name;
        free(real);
    }
}

TEST_F(FileSafety, OutsideMissingAndClimbingNamesAreRefusedAlikeAndNeverRead)
{
    link(outside + "/secret", scene + "/Data/out.bmp");
    link(outside + "/missing", scene + "/Data/gone.bmp");
    link("../../outside/secret", scene + "/Data/relative.bmp");
    link(outside, scene + "/Data/elsewhere");
    struct Case { std::string name; FileProblem problem; };
    const Case cases[] = {
        {"", FILE_NAME_EMPTY},
        {outside + "/secret", FILE_NAME_ABSOLUTE},
        {"../outside/secret", FILE_NAME_CLIMBS_OUT},
        {"Data/x/../../../outside/secret", FILE_NAME_CLIMBS_OUT},
        {"Data/out.bmp", FILE_NOT_IN_SCENE},
        {"Data/relative.bmp", FILE_NOT_IN_SCENE},
        {"Data/elsewhere/secret", FILE_NOT_IN_SCENE},
        {"Data/gone.bmp", FILE_NOT_IN_SCENE},
        {"Data/none.bmp", FILE_NOT_IN_SCENE},
        {"Data/elsewhere/missing", FILE_NOT_IN_SCENE},
    };
    for (const Case &c : cases) {
        std::string bytes = "untouched";
        const FileStatus status = readSceneFile(scene, c.name, 100, &bytes);
        EXPECT_EQ(status.problem, c.problem) << c.name << ": " << fileProblemText(status);
        EXPECT_EQ(bytes, "") << c.name;
        const std::string message = sceneFileMessage(c.name, status);
        ASSERT_EQ(message.rfind("\"" + c.name + "\": ", 0), 0u) << message;
        const std::string reason = message.substr(c.name.size() + 4);
        EXPECT_TRUE(reason.find("outside") == std::string::npos && reason.find("SECRET") == std::string::npos) << message;
    }
    // an outside file that exists and one that does not get the very same message
    std::string ignored;
    EXPECT_EQ(sceneFileMessage("Data/x.bmp", readSceneFile(scene, "Data/out.bmp", 100, &ignored)),
              sceneFileMessage("Data/x.bmp", readSceneFile(scene, "Data/gone.bmp", 100, &ignored)));
}

TEST_F(FileSafety, PipesFoldersDevicesAndLargeFilesAreRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo((scene + "/Data/pipe.bmp").c_str(), 0644), 0);
    link("pipe.bmp", scene + "/Data/to-pipe.bmp");
    link("/dev/zero", scene + "/zero.xml");
    writeAll(scene + "/Data/big.bmp", std::string(101, 'x'));
    std::string bytes;
    for (const char *name : {"Data/pipe.bmp", "Data/to-pipe.bmp", "Data", "Data/."})
        EXPECT_EQ(readSceneFile(scene, name, 100, &bytes).problem, FILE_NOT_REGULAR) << name;
    EXPECT_EQ(readSceneFile(scene, "Data/big.bmp", 100, &bytes).problem, FILE_TOO_LARGE);
    EXPECT_TRUE(fileOk(readSceneFile(scene, "Data/big.bmp", 101, &bytes)));
    EXPECT_EQ(bytes.size(), 101u);

    // a file named directly may be a link anywhere, but must be a regular file of its size
    EXPECT_EQ(readRegularFile(scene + "/Data/pipe.bmp", 100, &bytes).problem, FILE_NOT_REGULAR);
    EXPECT_EQ(readRegularFile(scene + "/zero.xml", 100, &bytes).problem, FILE_NOT_REGULAR);
    EXPECT_EQ(readRegularFile(scene + "/Data/big.bmp", 100, &bytes).problem, FILE_TOO_LARGE);
    EXPECT_EQ(readRegularFile(scene + "/none.xml", 100, &bytes).problem, FILE_MISSING);
    link(outside + "/secret", scene + "/escena.xml");
    ASSERT_TRUE(fileOk(readRegularFile(scene + "/escena.xml", 100, &bytes)));
    EXPECT_EQ(bytes, "SECRET");
}

TEST_F(FileSafety, AReplacedFileKeepsItsModeALinkAndRefusesToBeReadOnly)
{
    const std::string path = scene + "/escena.xml";
    writeAll(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(fileOk(replaceFile(path, "new")));
    EXPECT_EQ(readAll(path), "new");
    EXPECT_EQ(modeOf(path), 0600u);

    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(checkReplaceable(path).problem, FILE_READ_ONLY);
    EXPECT_EQ(replaceFile(path, "newer").problem, FILE_READ_ONLY);
    EXPECT_EQ(readAll(path), "new");
    EXPECT_EQ(modeOf(path), 0444u);

    // a link is followed to its target, in the target's folder, and stays a link
    const std::string real = outside + "/real.xml";
    writeAll(real, "target");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    link("../outside/real.xml", scene + "/linked.xml");
    link("linked.xml", scene + "/chain.xml");
    ASSERT_TRUE(fileOk(replaceFile(scene + "/chain.xml", "through the links")));
    struct stat info;
    ASSERT_EQ(lstat((scene + "/chain.xml").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(lstat((scene + "/linked.xml").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readAll(real), "through the links");
    EXPECT_EQ(modeOf(real), 0640u);
    EXPECT_EQ(entriesOf(outside), (std::set<std::string>{"real.xml", "secret"}));

    // a link to nothing makes its target; a folder or a pipe in the file's place is refused
    link("made.xml", scene + "/dangling.xml");
    ASSERT_TRUE(fileOk(replaceFile(scene + "/dangling.xml", "made")));
    EXPECT_EQ(readAll(scene + "/made.xml"), "made");
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(modeOf(scene + "/made.xml"), 0666u & ~mask);
    ASSERT_EQ(mkfifo((scene + "/pipe.xml").c_str(), 0644), 0);
    EXPECT_EQ(replaceFile(scene + "/Data", "x").problem, FILE_NOT_REGULAR);
    EXPECT_EQ(replaceFile(scene + "/pipe.xml", "x").problem, FILE_NOT_REGULAR);
}

TEST_F(FileSafety, AReplaceThatCannotFinishLeavesTheOldFileAndNoTemporaryFile)
{
    const std::string path = scene + "/escena.xml";
    writeAll(path, "the previous scene");
    // a link and a pipe under the names an older save used are never followed nor opened
    link(outside + "/secret", path + ".tmp");
    ASSERT_EQ(mkfifo((path + ".XXXXXX").c_str(), 0644), 0);
    const std::set<std::string> before = entriesOf(scene);
    withFullDiskAfter(1000, [&] { EXPECT_EQ(replaceFile(path, std::string(5000, 'x')).problem, FILE_WRITE_FAILED); });
    EXPECT_EQ(readAll(path), "the previous scene");
    EXPECT_EQ(entriesOf(scene), before);
    ASSERT_TRUE(fileOk(replaceFile(path, "saved")));
    EXPECT_EQ(readAll(path), "saved");
    EXPECT_EQ(readAll(outside + "/secret"), "SECRET");
    EXPECT_EQ(entriesOf(scene), before);
}

TEST_F(FileSafety, CopiesBesideAFileNeverOverwriteOneAnother)
{
    const std::string path = scene + "/escena.xml";
    writeAll(path, "first");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    std::string copy;
    ASSERT_TRUE(fileOk(keepCopyBeside(path, ".kept", &copy)));
    EXPECT_EQ(copy, path + ".kept");
    writeAll(path, "second");
    ASSERT_TRUE(fileOk(keepCopyBeside(path, ".kept", &copy)));
    EXPECT_EQ(copy, path + ".kept.2");
    EXPECT_EQ(readAll(path + ".kept"), "first");
    EXPECT_EQ(readAll(path + ".kept.2"), "second");
    EXPECT_EQ(modeOf(path + ".kept.2"), 0600u);
    EXPECT_EQ(keepCopyBeside(scene + "/none.xml", ".kept", &copy).problem, FILE_MISSING);
}

TEST_F(FileSafety, AGroupOfFilesIsWrittenWholeOrNotAtAll)
{
    ASSERT_TRUE(fileOk(writeFilesTogether(scene, {{"model.bin", "BIN1"}, {"model.gltf", "GLTF1"}, {"img/a.png", "PNG"}})));
    EXPECT_EQ(readAll(scene + "/model.bin") + readAll(scene + "/model.gltf") + readAll(scene + "/img/a.png"), "BIN1GLTF1PNG");
    const std::set<std::string> before = entriesOf(scene);

    // the disk fills up while the second file is written: both old files stay
    withFullDiskAfter(1000, [&] {
        EXPECT_EQ(writeFilesTogether(scene, {{"model.bin", "BIN2"}, {"model.gltf", std::string(5000, 'g')}}).problem,
                  FILE_WRITE_FAILED);
    });
    EXPECT_EQ(readAll(scene + "/model.bin") + readAll(scene + "/model.gltf"), "BIN1GLTF1");
    EXPECT_EQ(entriesOf(scene), before);

    // the second file cannot take its place (a folder is there): the first one is taken back
    ASSERT_EQ(mkdir((scene + "/model2.gltf").c_str(), 0755), 0);
    EXPECT_EQ(writeFilesTogether(scene, {{"model.bin", "BIN3"}, {"new/model.bin", "x"}, {"model2.gltf", "G"}}).problem,
              FILE_NOT_REGULAR);
    EXPECT_EQ(readAll(scene + "/model.bin"), "BIN1");
    std::set<std::string> withFolder = before;
    withFolder.insert("model2.gltf");
    EXPECT_EQ(entriesOf(scene), withFolder);

    for (const char *name : {"", "/abs", "../up", "a/../b", "./a", "a//b", "a/"})
        EXPECT_EQ(writeFilesTogether(scene, {{name, "x"}}).problem, FILE_BAD_OUTPUT_NAME) << name;
    EXPECT_EQ(writeFilesTogether(scene, {{"a", "x"}, {"a", "y"}}).problem, FILE_BAD_OUTPUT_NAME);
    EXPECT_EQ(entriesOf(scene), withFolder);
}

TEST(BitmapLimits, APictureIsBoundByTheLargestSizeAndByWhatItsBytesDescribe)
{
    EXPECT_TRUE(bitmapSizeAllowed(4096, 4096));
    EXPECT_FALSE(bitmapSizeAllowed(4097, 4096));
    EXPECT_FALSE(bitmapSizeAllowed(0, 10));
    EXPECT_FALSE(bitmapSizeAllowed(uint64_t(1) << 32, uint64_t(1) << 32));   // the product would wrap
    EXPECT_TRUE(bitmapDescribable(1024, 1024, 2));                            // small pictures always
    EXPECT_FALSE(bitmapDescribable(8192, 8192, 1080));                        // the run-length bomb
    EXPECT_FALSE(bitmapDescribable(2048, 2048, 32767));
    EXPECT_TRUE(bitmapDescribable(2048, 2048, 32768));
}
