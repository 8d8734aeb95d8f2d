// stageworks-export on scenes a stranger sent: a bitmap named by an absolute path, through ".."
// or through a link out of the scene directory is never read into the export (and the message
// does not tell whether the outside file exists); an entity naming an outside file is refused;
// a pipe where a bitmap belongs and a run-length bomb end the export at once and small; twelve
// spellings of one bitmap give one image; a version 5 bitmap is exported; a .gltf that cannot
// be written whole leaves the older .gltf and .bin as they were.
#include "export_support.h"
#include "hostile_bitmaps.h"

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <spawn.h>

using namespace export_test;

namespace {

const std::string SECRET = "PALABRASECRETA";

// Every occurrence of from replaced by to
std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Runs the export of dir to out, bounded in time; the exit status (124: it did not finish),
// what it wrote on standard error and its largest resident size in kilobytes
struct ExportRun {
    int status = -1;
    std::string errors;
    long maxKilobytes = 0;
};

ExportRun exportScene(const std::string &dir, const std::string &out, const std::string &limits = "")
{
    ExportRun result;
    const std::string errors = out + ".errors";
    const std::string script = limits + "exec timeout 20 '" + EXPORT + "' '" + dir + "' '" + out + "' >/dev/null 2>'" +
                               errors + "'";
    const char *argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, (char *const *)argv, environ) != 0) return result;
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.maxKilobytes = usage.ru_maxrss;
    result.errors = readBytes(errors);
    unlink(errors.c_str());
    return result;
}

// The images of a .glb
size_t imagesIn(const std::string &path)
{
    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    EXPECT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, path)) << error;
    return model.images.size();
}

}  // namespace

TEST(ExportSafety, BitmapsOutsideTheSceneAreNeverReadAndNeverHinted)
{
    ScratchDir dir, outside;
    writeBytes(outside / "secreto.bmp", readBytes(dir / "Data/ladrillo.bmp"));   // a good bitmap: it would export
    ASSERT_EQ(symlink((outside / "secreto.bmp").c_str(), (dir / "Data/fuera.bmp").c_str()), 0);
    ASSERT_EQ(symlink((outside / "ninguno.bmp").c_str(), (dir / "Data/nada.bmp").c_str()), 0);
    const std::string scene = readBytes(dir / "escena.xml"), out = dir / "out.glb";
    writeBytes(out, "older export");
    const std::string climbing = "../" + outside.path.substr(outside.path.rfind('/') + 1) + "/secreto.bmp";
    std::string outsideMessage, missingMessage;
    for (const std::string &name : {outside / "secreto.bmp", climbing, std::string("Data/fuera.bmp"),
                                    std::string("Data/nada.bmp"), std::string("Data/otro.bmp")}) {
        writeBytes(dir / "escena.xml", replaced(scene, "Data/ladrillo.bmp", name));
        const ExportRun r = exportScene(dir.path, out);
        EXPECT_EQ(r.status, 1) << name << ": " << r.errors;
        EXPECT_NE(r.errors.find("the bitmap \"" + name + "\": "), std::string::npos) << r.errors;
        EXPECT_EQ(readBytes(out), "older export") << name;
        if (name == "Data/fuera.bmp") outsideMessage = r.errors;
        if (name == "Data/nada.bmp") missingMessage = r.errors;
    }
    EXPECT_EQ(replaced(outsideMessage, "fuera", "X"), replaced(missingMessage, "nada", "X"));

    // an entity naming an outside file is refused: its words never reach the flags
    writeBytes(outside / "secreto.txt", SECRET + "\n");
    writeBytes(dir / "escena.xml", replaced(replaced(scene, "<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">",
                                                     "<!DOCTYPE escena SYSTEM \"DESCscene.dtd\" [<!ENTITY x SYSTEM \"" +
                                                         outside / "secreto.txt" + "\">]>"),
                                            "<Flag>PUERTA</Flag>", "<Flag>&x;</Flag>"));
    const ExportRun entity = exportScene(dir.path, out);
    EXPECT_EQ(entity.status, 1) << entity.errors;
    EXPECT_NE(entity.errors.find("it names another file"), std::string::npos) << entity.errors;
    EXPECT_EQ(entity.errors.find(SECRET), std::string::npos) << entity.errors;
    EXPECT_EQ(readBytes(out), "older export");
}

TEST(ExportSafety, PipesAndRunLengthBombsEndTheExportAtOnceAndSmall)
{
    ScratchDir dir;
    const std::string out = dir / "out.glb";
    ASSERT_EQ(unlink((dir / "Data/ladrillo.bmp").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "Data/ladrillo.bmp").c_str(), 0644), 0);
    ExportRun r = exportScene(dir.path, out);
    EXPECT_EQ(r.status, 1) << r.errors;   // 124 if it waited on the pipe
    EXPECT_NE(r.errors.find("the bitmap \"Data/ladrillo.bmp\": not a regular file"), std::string::npos) << r.errors;

    // 1080 bytes claiming 8192 x 8192 pixels; a real picture of that size would need 200 MB
    ASSERT_EQ(unlink((dir / "Data/ladrillo.bmp").c_str()), 0);
    writeBytes(dir / "Data/ladrillo.bmp", hostile_bitmaps::runLengthBomb(8192, 8192, 8, 1080));
    r = exportScene(dir.path, out);
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_NE(r.errors.find("the bitmap 'Data/ladrillo.bmp' is not a readable BMP image"), std::string::npos) << r.errors;
    EXPECT_LT(r.maxKilobytes, 200 * 1024);
    EXPECT_FALSE(exists(out));
}

TEST(ExportSafety, TwelveSpellingsOfABitmapAreOneImageAndVersion5BitmapsExport)
{
    ScratchDir dir;
    const std::string scene = readBytes(dir / "escena.xml");
    ASSERT_EQ(run("'" + EXPORT + "' '" + dir.path + "' '" + (dir / "demo.glb") + "' >/dev/null"), 0);
    const size_t demoImages = imagesIn(dir / "demo.glb");

    ASSERT_EQ(symlink("ladrillo.bmp", (dir / "Data/alias.bmp").c_str()), 0);
    ASSERT_EQ(symlink("alias.bmp", (dir / "Data/alias2.bmp").c_str()), 0);
    ASSERT_EQ(symlink("Data", (dir / "Datos").c_str()), 0);
    const std::vector<std::string> spellings = {
        "./Data/ladrillo.bmp", "Data//ladrillo.bmp", "Data/./ladrillo.bmp", "Data/../Data/ladrillo.bmp",
        ".//Data/ladrillo.bmp", "Data/.//ladrillo.bmp", "./Data/./ladrillo.bmp", "Data/alias.bmp", "Data/alias2.bmp",
        "Datos/ladrillo.bmp", "Datos/../Data/ladrillo.bmp"};
    const size_t start = scene.find("<IDMaterial codigo=\"ladrillo\">");
    const std::string brick = scene.substr(start, scene.find("</IDMaterial>", start) + 13 - start);
    std::string textures, materials;
    for (size_t i = 0; i < spellings.size(); i++) {
        textures += "<IDTextura>" + spellings[i] + "</IDTextura>";
        materials += replaced(replaced(brick, "Data/ladrillo.bmp", spellings[i]), "\"ladrillo\"",
                              "\"ladrillo" + std::to_string(i) + "\"");
    }
    std::string spelled = scene;
    spelled.insert(scene.find("<IDMaterial"), textures + materials);
    writeBytes(dir / "escena.xml", spelled);
    const ExportRun r = exportScene(dir.path, dir / "spelled.glb");
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(imagesIn(dir / "spelled.glb"), demoImages);

    // the bitmap image tools write by default
    writeBytes(dir / "Data/ladrillo.bmp", hostile_bitmaps::version5Bitmap(64, 32));
    writeBytes(dir / "escena.xml", scene);
    const ExportRun v5 = exportScene(dir.path, dir / "v5.glb");
    EXPECT_EQ(v5.status, 0) << v5.errors;
    EXPECT_EQ(imagesIn(dir / "v5.glb"), demoImages);
}

TEST(ExportSafety, AGltfThatCannotBeWrittenWholeLeavesTheOlderFilesAsTheyWere)
{
    ScratchDir dir;
    const std::string out = dir / "demo.gltf";
    ASSERT_EQ(exportScene(dir.path, out).status, 0);
    const std::string json = readBytes(out), bin = readBytes(dir / "demo.bin");
    ASSERT_GT(json.size(), 1000u);
    ASSERT_GT(bin.size(), 100000u);
    ASSERT_NE(json.find("\"uri\": \"demo.bin\""), std::string::npos);

    // a full disk (a file size limit of 64 KiB stands in for it) while the .bin is written
    writeBytes(dir / "escena.xml", readBytes(dir / "escena.xml") + "\n");
    const ExportRun full = exportScene(dir.path, out, "trap '' XFSZ; ulimit -f 64; ");
    EXPECT_EQ(full.status, 1) << full.errors;
    EXPECT_NE(full.errors.find("cannot write"), std::string::npos) << full.errors;
    EXPECT_EQ(readBytes(out), json);
    EXPECT_EQ(readBytes(dir / "demo.bin"), bin);
    EXPECT_EQ(run("ls -a '" + dir.path + "' | grep -q partial"), 1);
}
