// matforge's scene text processing: loading by tag scans, byte-exact saves, refused files,
// a load-edit-save that validates against the DTD, and saves that fail without loss.
#include "matforge_files.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mftest;

namespace {

std::unique_ptr<SceneDocument> load(const std::string &path)
{
    auto doc = std::make_unique<SceneDocument>();
    std::string error;
    EXPECT_EQ(cargaEscena(*doc, path, error), 1) << error;
    return doc;
}

// Saves over the loaded file itself, as "Guardar Escena XML" does
void saveInPlace(SceneDocument &doc)
{
    doc.XMLPathDestino = doc.XMLPath;
    doc.XMLFileDestino = doc.XMLFile;
    std::string error;
    EXPECT_EQ(guardaXML(doc, error), 1) << error;
}

// True when the file is well formed and valid against the DTD beside it
bool validAgainstDtd(const std::string &path)
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    xmlDocPtr document = xmlCtxtReadFile(context, path.c_str(), nullptr, XML_PARSE_DTDVALID | XML_PARSE_NONET);
    bool valid = document != nullptr && context->valid != 0;
    xmlFreeDoc(document);
    xmlFreeParserCtxt(context);
    return valid;
}

size_t entries(const std::string &path)
{
    auto all = std::filesystem::directory_iterator(path);
    return std::distance(begin(all), end(all));
}

}  // namespace

TEST(MatforgeLoad, StageworksFileFillsTexturesAndMaterials)
{
    TempDir dir;
    auto doc = load(installScene(dir, "escena_stageworks.xml"));
    EXPECT_EQ(doc->texturas, (std::vector<std::string>{"Data/muro.bmp", "Data/agua1.bmp", "Data/agua2.bmp",
                                                       "Data/cielo.bmp"}));
    ASSERT_EQ(doc->editorMaterialCount, 6);
    const EditorMaterial &water = doc->editorMaterials[2], &one = doc->editorMaterials[3];
    EXPECT_EQ((std::vector<std::string>{water.diffuse[1], water.diffuse[3], water.frames[1], one.frames[0],
                                        doc->editorMaterials[5].shine}),
              (std::vector<std::string>{"0,300", "0,600", "Data/agua2.bmp", "Data/cielo.bmp", "-1,500"}));
    // one frame of animation reads as a still texture
    EXPECT_EQ((std::vector<int>{water.frameInterval, water.frameCode, one.frameCode}), (std::vector<int>{250, 3, 0}));
}

TEST(MatforgeLoad, FilesThatAreNoSceneOrOverflowTheTablesAreRefused)
{
    TempDir dir;
    auto scene = [&](int materials, int frames) {
        std::string text = prologue + "<escena>";
        for (int i = 0; i < materials; i++) {
            text += "<IDMaterial codigo=\"m" + std::to_string(i) + "\"><texturado>1</texturado><texturas><multiple>" +
                    std::to_string(frames + 1) + "</multiple>";
            for (int f = 0; f < frames; f++) text += "<TexturasID>t" + std::to_string(f) + ".bmp</TexturasID>";
            text += "</texturas></IDMaterial>";
        }
        return text + "</escena>\n";
    };
    installScene(dir, "no_escena.xml", "otro.xml");
    writeFile(dir.file("vacia.xml"), prologue + "<escena/>\n");
    writeFile(dir.file("materiales.xml"), scene(258, 2));
    writeFile(dir.file("frames.xml"), scene(1, 102));
    const std::pair<const char *, const char *> refused[] = {
        {"otro.xml", "<escena>"}, {"vacia.xml", "<escena>"}, {"no_existe.xml", "no_existe.xml"},
        {"materiales.xml", "257"}, {"frames.xml", "101"}};
    for (auto [file, message] : refused) {
        SceneDocument doc;
        std::string error;
        EXPECT_EQ(cargaEscena(doc, dir.file(file), error), 0) << file;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }

    // 257 materials and 101 frames fit, and are written back whole
    writeFile(dir.file("llena.xml"), scene(257, 101));
    auto doc = load(dir.file("llena.xml"));
    EXPECT_EQ(doc->editorMaterialCount, 257);
    EXPECT_EQ(doc->editorMaterials[256].frames[100], "t100.bmp");
    EXPECT_NE(seccionesXML(*doc).find("<multiple>102</multiple>"), std::string::npos);
}

TEST(MatforgeSave, UnchangedStageworksFileGainsOnlyLineBreaksAndEachSaveAnEmptyLine)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    auto doc = load(path);
    saveInPlace(*doc);
    std::string expected = dataFile("escena_stageworks_guardada.xml");
    EXPECT_EQ(readFile(path), expected);
    EXPECT_TRUE(validAgainstDtd(path));

    saveInPlace(*doc);
    expected.insert(expected.find("</IDMaterial>\r\n") + 15, "\r\n");
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(entries(dir.path), 2u);  // no temporary file left
}

TEST(MatforgeSave, FileWithoutMaterials)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_sin_material.xml");
    std::string original = readFile(path);
    auto doc = load(path);
    EXPECT_EQ(doc->editorMaterialCount, 0);

    // the old texture elements are replaced, not repeated
    saveInPlace(*doc);
    size_t afterTextures = original.rfind("</IDTextura>") + 12;
    std::string expected = original.substr(0, afterTextures) + "\r\n" + original.substr(afterTextures);
    expected.replace(expected.size() - 1, 1, "\r\n");
    EXPECT_EQ(readFile(path), expected);

    // a new material goes right after the textures
    ASSERT_EQ(nuevoMaterial(*doc, "piedra"), ALTA_OK);
    saveInPlace(*doc);
    EXPECT_NE(readFile(path).find("<IDTextura>suelo.bmp</IDTextura><IDMaterial codigo=\"piedra\">"), std::string::npos);
    EXPECT_TRUE(validAgainstDtd(path));
}

TEST(MatforgeSave, LoadEditSaveValidatesAgainstDtd)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    auto doc = load(path);
    ASSERT_EQ(nuevoMaterial(*doc, "nuevo"), ALTA_OK);
    std::string name;
    ASSERT_EQ(nuevaTextura(*doc, dir.path + "/Data/nueva.bmp", &name), ALTA_OK);
    eliminaTextura(*doc, 1);  // Data/agua1.bmp: once in "agua", twice in a row in "doble"
    saveInPlace(*doc);
    EXPECT_TRUE(validAgainstDtd(path));
    auto back = load(path);
    EXPECT_EQ(back->texturas, (std::vector<std::string>{"Data/muro.bmp", "Data/agua2.bmp", "Data/cielo.bmp",
                                                        "Data/nueva.bmp"}));
    EXPECT_EQ(back->editorMaterialCount, 7);
    std::string saved = readFile(path);
    EXPECT_NE(saved.find("<multiple>2</multiple><TexturasID>Data/muro.bmp</TexturasID></texturas>"), std::string::npos);
    // everything after the sections is the old rest
    std::string original = dataFile("escena_stageworks.xml");
    std::string rest = original.substr(original.find("<Flags>"));
    rest.replace(rest.size() - 1, 1, "\r\n");
    EXPECT_EQ(saved.substr(saved.find("</IDMaterial>\r\n<Flags>") + 15), rest);
}

TEST(MatforgeSave, SaveAsKeepsPermissionsAndFailedSavesLeaveTheOldFile)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    std::string original = readFile(path);
    auto doc = load(path);
    writeFile(dir.file("copia/otra.xml"), "vieja");
    std::filesystem::permissions(dir.file("copia/otra.xml"), std::filesystem::perms(0640));
    doc->XMLPathDestino = dir.path + "/copia";
    doc->XMLFileDestino = "otra.xml";
    std::string error;
    ASSERT_EQ(guardaXML(*doc, error), 1) << error;
    EXPECT_EQ(readFile(dir.file("copia/otra.xml")), dataFile("escena_stageworks_guardada.xml"));
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(std::filesystem::status(dir.file("copia/otra.xml")).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(entries(dir.path + "/copia"), 1u);

    doc->XMLPathDestino = dir.path + "/no_existe";
    EXPECT_EQ(guardaXML(*doc, error), 0);
    EXPECT_NE(error.find("no_existe"), std::string::npos);
    // the disk refuses the data half way (file size limit, in a child): the temporary file goes away
    doc->XMLPathDestino = doc->XMLPath;
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {1024, 1024};
        std::string childError;
        _exit(setrlimit(RLIMIT_FSIZE, &limit) == 0 && guardaXML(*doc, childError) == 0 ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(entries(dir.path), 3u);  // the scene, its DTD and "copia"

    // the source vanished or lost its start tag since the load: nothing is written
    writeFile(path, "<otra/>\n");
    EXPECT_EQ(guardaXML(*doc, error), 0);
    EXPECT_NE(error.find("<escena>"), std::string::npos);
    EXPECT_EQ(readFile(path), "<otra/>\n");
    std::filesystem::rename(path, dir.file("movida.xml"));
    EXPECT_EQ(guardaXML(*doc, error), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}
