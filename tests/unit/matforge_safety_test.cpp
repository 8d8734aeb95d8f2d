// matforge and files a stranger sent: a read-only scene is not replaced (and says so), a
// scene kept through a link is saved into its target and stays a link, a scene file that is a
// pipe, a device or too large is refused without waiting, and a texture's bitmap is read only
// inside the scene's directory, only as a regular file and only when its bytes can describe the
// picture its header claims (the version 5 bitmaps image tools write are read).
#include "bitmaps.h"
#include "hostile_bitmaps.h"
#include "matforge_files.h"
#include "scene_paths.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace mftest;

namespace {

// A document loaded from a scene installed in dir
std::unique_ptr<SceneDocument> loaded(const TempDir &dir)
{
    auto doc = std::make_unique<SceneDocument>();
    std::string error;
    EXPECT_EQ(cargaEscena(*doc, installScene(dir, "escena_stageworks.xml"), error), 1) << error;
    doc->XMLPathDestino = doc->XMLPath;
    doc->XMLFileDestino = doc->XMLFile;
    return doc;
}

}  // namespace

TEST(MatforgeSafety, AReadOnlySceneIsRefusedAndALinkedOneSavedIntoItsTarget)
{
    TempDir dir;
    auto doc = loaded(dir);
    const std::string path = dir.file("escena.xml"), original = readFile(path);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    std::string error;
    EXPECT_EQ(guardaXML(*doc, error), 0);
    EXPECT_EQ(error, path + ": el fichero es de solo lectura.");
    EXPECT_EQ(readFile(path), original);
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);

    // the scene lives elsewhere and escena.xml links to it
    writeFile(dir.file("guardada/real.xml"), original);
    ASSERT_EQ(chmod(dir.file("guardada/real.xml").c_str(), 0640), 0);
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(symlink("guardada/real.xml", path.c_str()), 0);
    ASSERT_EQ(guardaXML(*doc, error), 1) << error;
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readFile(dir.file("guardada/real.xml")), dataFile("escena_stageworks_guardada.xml"));
    ASSERT_EQ(stat(dir.file("guardada/real.xml").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(MatforgeSafety, ASceneFileThatIsAPipeADeviceOrTooLargeIsRefusedWithoutWaiting)
{
    TempDir dir;
    std::string text, error;
    ASSERT_EQ(mkfifo(dir.file("tuberia.xml").c_str(), 0644), 0);
    EXPECT_EQ(leeFichero(dir.file("tuberia.xml"), text, error), 0);
    EXPECT_NE(error.find("no es un fichero normal"), std::string::npos) << error;
    ASSERT_EQ(symlink("/dev/zero", dir.file("cero.xml").c_str()), 0);
    EXPECT_EQ(leeFichero(dir.file("cero.xml"), text, error), 0);
    EXPECT_NE(error.find("no es un fichero normal"), std::string::npos) << error;
    const int file = open(dir.file("enorme.xml").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(ftruncate(file, (off_t)SCENE_FILE_MAX_BYTES + 1), 0);
    close(file);
    EXPECT_EQ(leeFichero(dir.file("enorme.xml"), text, error), 0);
    EXPECT_NE(error.find("demasiado grande"), std::string::npos) << error;
    EXPECT_TRUE(text.empty());
}

TEST(MatforgeSafety, TextureBitmapsAreReadOnlyInsideTheSceneAndWithinWhatTheirBytesDescribe)
{
    TempDir dir, outside;
    auto doc = loaded(dir);
    writeFile(dir.file("Data/v5.bmp"), hostile_bitmaps::version5Bitmap(64, 32));
    writeFile(outside.file("secreto.bmp"), hostile_bitmaps::version5Bitmap(8, 8));
    writeFile(dir.file("Data/bomba.bmp"), hostile_bitmaps::runLengthBomb(3000, 3000, 8, 1080));
    ASSERT_EQ(symlink(outside.file("secreto.bmp").c_str(), dir.file("Data/fuera.bmp").c_str()), 0);
    ASSERT_EQ(symlink("v5.bmp", dir.file("Data/alias.bmp").c_str()), 0);
    ASSERT_EQ(mkfifo(dir.file("Data/tuberia.bmp").c_str(), 0644), 0);

    // the version 5 bitmap: red grows to the right, green upwards (rows bottom first)
    const QImage v5 = leeBitmap(*doc, "Data/v5.bmp");
    ASSERT_FALSE(v5.isNull());
    EXPECT_EQ(v5.size(), QSize(64, 32));
    EXPECT_EQ(qRed(v5.pixel(63, 31)), 63 * 255 / 64);
    EXPECT_EQ(qGreen(v5.pixel(0, 0)), 31 * 255 / 32);
    EXPECT_FALSE(leeBitmap(*doc, "Data/alias.bmp").isNull());

    const std::string climbing = "../" + outside.path.substr(outside.path.rfind('/') + 1) + "/secreto.bmp";
    for (const std::string &name : {std::string("Data/fuera.bmp"), outside.file("secreto.bmp"), climbing,
                                    std::string("Data/tuberia.bmp"), std::string("Data/bomba.bmp"), std::string("Data")})
        EXPECT_TRUE(leeBitmap(*doc, name).isNull()) << name;
}
