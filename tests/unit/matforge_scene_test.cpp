// matforge's scene text processing: loading by tag scans, byte-exact saves, refused files,
// a load-edit-save that validates against the DTD, and saves that fail without loss.
#include "matforge_files.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
int saveInPlace(SceneDocument &doc, std::string &error)
{
    doc.XMLPathDestino = doc.XMLPath;
    doc.XMLFileDestino = doc.XMLFile;
    return guardaXML(doc, error);
}

// Parses a file with DTD validation (the DTD lies beside it); true when well formed and valid
bool validAgainstDtd(const std::string &path)
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr) return false;
    xmlDocPtr document = xmlCtxtReadFile(context, path.c_str(), nullptr, XML_PARSE_DTDVALID | XML_PARSE_NONET);
    bool valid = document != nullptr && context->valid != 0;
    if (document != nullptr) xmlFreeDoc(document);
    xmlFreeParserCtxt(context);
    return valid;
}

std::vector<std::string> directoryEntries(const std::string &path)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `body` in a child process and returns its exit status (-1 when it did not exit)
template <typename Body>
int runInChild(Body body)
{
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(MatforgeLoad, StageworksFileFillsTexturesMaterialsAndPositions)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    auto doc = load(path);
    std::string text = readFile(path);

    EXPECT_EQ(doc->XMLPath, dir.path);
    EXPECT_EQ(doc->XMLFile, "escena.xml");
    EXPECT_EQ(doc->texturas, (std::vector<std::string>{"Data/muro.bmp", "Data/agua1.bmp", "Data/agua2.bmp", "Data/cielo.bmp"}));
    EXPECT_EQ(doc->PosInicial, (int32_t)(text.find("<escena>") + 8));
    EXPECT_EQ(doc->PosFinal, (int32_t)(text.rfind("</IDMaterial>") + 13));
    ASSERT_EQ(doc->editorMaterialCount, 6);
    EXPECT_EQ(doc->numM, 6);

    const EditorMaterial &plain = doc->editorMaterials[0];
    EXPECT_EQ(plain.name, "(default)");
    EXPECT_EQ(plain.blend, "1,000");
    EXPECT_EQ(plain.shine, "0,500");
    EXPECT_EQ(plain.textured, 0);
    EXPECT_EQ(plain.kd, "0,900");
    EXPECT_EQ(plain.diffuse, (std::array<std::string, 4>{"0,900", "0,900", "0,900", "1,000"}));
    EXPECT_EQ(plain.specular, (std::array<std::string, 4>{"0,100", "0,100", "0,100", "1,000"}));

    const EditorMaterial &still = doc->editorMaterials[1];
    EXPECT_EQ(still.name, "ladrillo");
    EXPECT_EQ(still.textured, 1);
    EXPECT_EQ(still.shine, "20,000");
    EXPECT_EQ(still.frameCode, 0);
    EXPECT_EQ(still.frames[0], "Data/muro.bmp");

    const EditorMaterial &water = doc->editorMaterials[2];
    EXPECT_EQ(water.diffuse, (std::array<std::string, 4>{"0,100", "0,300", "0,800", "0,600"}));
    EXPECT_EQ(water.texScaleX, "2,000");
    EXPECT_EQ(water.texScaleY, "0,500");
    EXPECT_EQ(water.frameInterval, 250);
    EXPECT_EQ(water.frameCode, 3);
    EXPECT_EQ(water.frames[0], "Data/agua1.bmp");
    EXPECT_EQ(water.frames[1], "Data/agua2.bmp");

    // one frame of animation reads as a still texture
    EXPECT_EQ(doc->editorMaterials[3].frameCode, 0);
    EXPECT_EQ(doc->editorMaterials[3].frames[0], "Data/cielo.bmp");
    EXPECT_EQ(doc->editorMaterials[4].frameCode, 4);
    // an animation with no frame
    EXPECT_EQ(doc->editorMaterials[5].textured, 1);
    EXPECT_EQ(doc->editorMaterials[5].frameCode, 0);
    EXPECT_EQ(doc->editorMaterials[5].frames[0], "");
    EXPECT_EQ(doc->editorMaterials[5].shine, "-1,500");
}

TEST(MatforgeLoad, FilesThatAreNoSceneAreRefused)
{
    TempDir dir;
    auto doc = std::make_unique<SceneDocument>();
    std::string error;

    EXPECT_EQ(cargaEscena(*doc, installScene(dir, "no_escena.xml", "otro.xml"), error), 0);
    EXPECT_NE(error.find("<escena>"), std::string::npos);

    error.clear();
    writeFile(dir.file("vacia.xml"), prologue + "<escena/>\n");
    EXPECT_EQ(cargaEscena(*doc, dir.file("vacia.xml"), error), 0);
    EXPECT_NE(error.find("<escena>"), std::string::npos);

    error.clear();
    EXPECT_EQ(cargaEscena(*doc, dir.file("no_existe.xml"), error), 0);
    EXPECT_NE(error.find("no_existe.xml"), std::string::npos);
}

TEST(MatforgeLoad, TableAndFrameLimits)
{
    TempDir dir;
    auto material = [](int i, int frames) {
        std::string text = "<IDMaterial codigo=\"m" + std::to_string(i) + "\"><pBlend>1.000</pBlend><texturado>1</texturado>" +
                           "<texturas><multiple>" + std::to_string(frames + 1) + "</multiple>";
        for (int f = 0; f < frames; f++) text += "<TexturasID>t" + std::to_string(f) + ".bmp</TexturasID>";
        return text + "</texturas></IDMaterial>";
    };
    auto scene = [&](int materials, int frames) {
        std::string text = prologue + "<escena>";
        for (int i = 0; i < materials; i++) text += material(i, frames);
        return text + "</escena>\n";
    };
    std::string error;
    auto doc = std::make_unique<SceneDocument>();

    writeFile(dir.file("llena.xml"), scene(257, 2));
    EXPECT_EQ(cargaEscena(*doc, dir.file("llena.xml"), error), 1) << error;
    EXPECT_EQ(doc->editorMaterialCount, 257);
    EXPECT_EQ(doc->editorMaterials[256].name, "m256");

    writeFile(dir.file("demasiados.xml"), scene(258, 2));
    EXPECT_EQ(cargaEscena(*doc, dir.file("demasiados.xml"), error), 0);
    EXPECT_NE(error.find("257"), std::string::npos);

    // 101 frames fit and are written back whole
    writeFile(dir.file("frames.xml"), scene(1, 101));
    ASSERT_EQ(cargaEscena(*doc, dir.file("frames.xml"), error), 1) << error;
    EXPECT_EQ(doc->editorMaterials[0].frameCode, 102);
    EXPECT_EQ(doc->editorMaterials[0].frames[100], "t100.bmp");
    std::string sections = seccionesXML(*doc);
    EXPECT_NE(sections.find("<multiple>102</multiple>"), std::string::npos);
    EXPECT_NE(sections.find("<TexturasID>t100.bmp</TexturasID></texturas>"), std::string::npos);

    writeFile(dir.file("frames2.xml"), scene(1, 102));
    EXPECT_EQ(cargaEscena(*doc, dir.file("frames2.xml"), error), 0);
    EXPECT_NE(error.find("101"), std::string::npos);
}

TEST(MatforgeSave, UnchangedStageworksFileGainsOnlyLineBreaks)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    auto doc = load(path);
    std::string error;

    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;
    std::string expected = dataFile("escena_stageworks_guardada.xml");
    EXPECT_EQ(readFile(path), expected);
    EXPECT_TRUE(validAgainstDtd(path));

    // every further save adds one empty line after the material section
    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;
    std::string twice = expected;
    twice.insert(twice.find("</IDMaterial>\r\n") + 15, "\r\n");
    EXPECT_EQ(readFile(path), twice);
    EXPECT_EQ(directoryEntries(dir.path), (std::vector<std::string>{"DESCscene.dtd", "escena.xml"}));
}

TEST(MatforgeSave, HandEditedNumbersAndLineEnds)
{
    TempDir dir;
    const std::string head = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\r\n<escena>";
    const std::string colours = "<pLuzEsp><R>1</R><G>1</G><B>1</B><A>1</A></pLuzEsp><pLuzEmi><R>0</R><G>0</G><B>0</B><A>1</A></pLuzEmi>";
    writeFile(dir.file("escena.xml"),
              head + "\r\n<IDTextura>Data/a&amp;b.bmp</IDTextura>\r\n" +
                  "<IDMaterial codigo=\"m&amp;n\"><pBlend>0.5</pBlend><pShine>1</pShine><texturado>1</texturado>"
                  "<Ka>12.25</Ka><Kd>0.498039215686275</Kd><Ks>-2</Ks>\r\n"
                  "<pLuzDif><R>0.125</R><G>1.</G><B>0</B><A>1.0000</A></pLuzDif>" + colours +
                  "<texturas><TEXscaleX>2.5</TEXscaleX><TEXscaleY>10</TEXscaleY><milTime>40000</milTime>"
                  "<multiple>0</multiple><TexturasID>Data/a&amp;b.bmp</TexturasID></texturas></IDMaterial>\r\n"
                  "<Flags><Flag>f</Flag><Value>3</Value></Flags>\r<primitiva codigo=\"P0\">\n<PRIMestado/></primitiva></escena>");
    auto doc = load(dir.file("escena.xml"));
    EXPECT_EQ(doc->editorMaterials[0].name, "m&amp;n");
    EXPECT_EQ(doc->editorMaterials[0].frameInterval, 40000);
    std::string error;
    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;

    const std::string expectedColours = "<pLuzEsp><R>1.000</R><G>1.000</G><B>1.000</B><A>1.000</A></pLuzEsp>"
                                        "<pLuzEmi><R>0.000</R><G>0.000</G><B>0.000</B><A>1.000</A></pLuzEmi>";
    EXPECT_EQ(readFile(dir.file("escena.xml")),
              head + "<IDTextura>Data/a&amp;b.bmp</IDTextura>" +
                  "<IDMaterial codigo=\"m&amp;n\"><pBlend>0.500</pBlend><pShine>1.000</pShine><texturado>1</texturado>"
                  "<Ka>12.250</Ka><Kd>0.498039215686275</Kd><Ks>-2.000</Ks>"
                  "<pLuzDif><R>0.125</R><G>1.000</G><B>0.000</B><A>1.0000</A></pLuzDif>" + expectedColours +
                  "<texturas><TEXscaleX>2.500</TEXscaleX><TEXscaleY>10.000</TEXscaleY><milTime>40000</milTime>"
                  "<multiple>0</multiple><TexturasID>Data/a&amp;b.bmp</TexturasID></texturas></IDMaterial>\r\n"
                  "\r\n<Flags><Flag>f</Flag><Value>3</Value></Flags>\r\n<primitiva codigo=\"P0\">\r\n"
                  "<PRIMestado/></primitiva></escena>\r\n");
}

TEST(MatforgeSave, FileWithTexturesButNoMaterial)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_sin_material.xml");
    std::string original = readFile(path);
    auto doc = load(path);
    EXPECT_EQ(doc->editorMaterialCount, 0);
    EXPECT_EQ(doc->PosFinal, 0);
    EXPECT_EQ(doc->texturas.size(), 2u);

    // the old texture elements are replaced, not repeated
    std::string error;
    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;
    size_t afterTextures = original.rfind("</IDTextura>") + 12;
    std::string expected = original.substr(0, afterTextures) + "\r\n" + original.substr(afterTextures);
    expected.replace(expected.size() - 1, 1, "\r\n");
    EXPECT_EQ(readFile(path), expected);

    // a new material goes right after the textures and the file stays valid
    ASSERT_EQ(nuevoMaterial(*doc, "piedra"), ALTA_OK);
    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;
    std::string saved = readFile(path);
    EXPECT_NE(saved.find("<IDTextura>suelo.bmp</IDTextura><IDMaterial codigo=\"piedra\">"), std::string::npos);
    EXPECT_EQ(saved.find("<IDTextura>", saved.find("</IDMaterial>")), std::string::npos);
    EXPECT_TRUE(validAgainstDtd(path));
}

TEST(MatforgeSave, FileWithOnlyObjects)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_solo_objetos.xml");
    std::string original = readFile(path);
    auto doc = load(path);
    std::string error;
    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;
    size_t start = original.find("<escena>") + 8;
    std::string expected = original.substr(0, start) + "\r\n" + original.substr(start, original.size() - start - 1) + "\r\n";
    EXPECT_EQ(readFile(path), expected);

    doc = load(path);
    doc->texturas.push_back("Data/muro.bmp");
    ASSERT_EQ(nuevoMaterial(*doc, "piedra"), ALTA_OK);
    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;
    std::string saved = readFile(path);
    EXPECT_EQ(saved.find("<escena><IDTextura>Data/muro.bmp</IDTextura><IDMaterial codigo=\"piedra\">"), start - 8);
    EXPECT_TRUE(validAgainstDtd(path));
}

TEST(MatforgeSave, AnimationWithoutFrameStaysOne)
{
    EditorMaterial material;
    inicializaMaterial(material, "vacio");
    material.textured = 1;
    auto doc = std::make_unique<SceneDocument>();
    doc->editorMaterials[0] = material;
    doc->editorMaterialCount = 1;
    std::string sections = seccionesXML(*doc);
    EXPECT_NE(sections.find("<milTime>0</milTime><multiple>1</multiple></texturas>"), std::string::npos);
    EXPECT_EQ(sections.find("<TexturasID>"), std::string::npos);
}

TEST(MatforgeSave, LoadEditSaveValidatesAgainstDtd)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    ASSERT_TRUE(validAgainstDtd(path));
    auto doc = load(path);

    ASSERT_EQ(nuevoMaterial(*doc, "nuevo"), ALTA_OK);
    std::string name;
    ASSERT_EQ(nuevaTextura(*doc, dir.path + "/Data/nueva.bmp", &name), ALTA_OK);
    EXPECT_EQ(name, "Data/nueva.bmp");
    eliminaTextura(*doc, 1);  // Data/agua1.bmp: once in "agua", twice in a row in "doble"
    std::string error;
    ASSERT_EQ(saveInPlace(*doc, error), 1) << error;
    EXPECT_TRUE(validAgainstDtd(path));

    auto back = load(path);
    EXPECT_EQ(back->texturas, (std::vector<std::string>{"Data/muro.bmp", "Data/agua2.bmp", "Data/cielo.bmp", "Data/nueva.bmp"}));
    ASSERT_EQ(back->editorMaterialCount, 7);
    EXPECT_EQ(back->editorMaterials[6].name, "nuevo");
    EXPECT_EQ(back->editorMaterials[6].kd, "0,900");
    // one frame left of each animation: read back as still textures
    EXPECT_EQ(back->editorMaterials[2].frameCode, 0);
    EXPECT_EQ(back->editorMaterials[2].frames[0], "Data/agua2.bmp");
    EXPECT_EQ(back->editorMaterials[4].frameCode, 0);
    EXPECT_EQ(back->editorMaterials[4].frames[0], "Data/muro.bmp");
    std::string saved = readFile(path);
    EXPECT_NE(saved.find("<multiple>2</multiple><TexturasID>Data/muro.bmp</TexturasID></texturas>"), std::string::npos);
    EXPECT_EQ(saved.find("agua1"), std::string::npos);
    // everything after the sections is the old rest
    std::string original = dataFile("escena_stageworks.xml");
    std::string rest = original.substr(original.find("<Flags>"));
    rest.replace(rest.size() - 1, 1, "\r\n");
    EXPECT_EQ(saved.substr(saved.find("</IDMaterial>\r\n<Flags>") + 15), rest);
}

TEST(MatforgeSave, SaveAsWritesTheOtherFileAndKeepsItsPermissions)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    auto doc = load(path);
    writeFile(dir.file("copia/otra.xml"), "vieja");
    chmod(dir.file("copia/otra.xml").c_str(), 0640);
    doc->XMLPathDestino = dir.path + "/copia";
    doc->XMLFileDestino = "otra.xml";
    std::string error;
    ASSERT_EQ(guardaXML(*doc, error), 1) << error;
    EXPECT_EQ(readFile(dir.file("copia/otra.xml")), dataFile("escena_stageworks_guardada.xml"));
    EXPECT_EQ(readFile(path), dataFile("escena_stageworks.xml"));
    struct stat info;
    ASSERT_EQ(stat(dir.file("copia/otra.xml").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(directoryEntries(dir.path + "/copia"), (std::vector<std::string>{"otra.xml"}));
}

TEST(MatforgeSave, FailedSavesLeaveTheOldFile)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    std::string original = readFile(path);
    auto doc = load(path);
    ASSERT_EQ(nuevoMaterial(*doc, "nuevo"), ALTA_OK);
    std::string error;

    // destination directory missing
    doc->XMLPathDestino = dir.path + "/no_existe";
    doc->XMLFileDestino = "escena.xml";
    EXPECT_EQ(guardaXML(*doc, error), 0);
    EXPECT_NE(error.find("no_existe"), std::string::npos);

    // destination directory not writable (run as an unprivileged user when we are root)
    doc->XMLPathDestino = doc->XMLPath;
    ASSERT_EQ(chmod(dir.path.c_str(), 0555), 0);
    int status = runInChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 3;
        std::string childError;
        int result = guardaXML(*doc, childError);
        return result == 0 && !childError.empty() ? 0 : 1;
    });
    chmod(dir.path.c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(directoryEntries(dir.path), (std::vector<std::string>{"DESCscene.dtd", "escena.xml"}));

    // the disk refuses the data half way (file size limit): the temporary file goes away
    status = runInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {1024, 1024};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        std::string childError;
        return guardaXML(*doc, childError) == 0 ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(directoryEntries(dir.path), (std::vector<std::string>{"DESCscene.dtd", "escena.xml"}));

    // the source vanished since the load: nothing is written
    std::filesystem::rename(path, dir.file("movida.xml"));
    EXPECT_EQ(guardaXML(*doc, error), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(MatforgeSave, SourceThatLostItsSceneTagIsNotSaved)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    auto doc = load(path);
    writeFile(path, "<?xml version=\"1.0\"?>\n<otra/>\n");
    std::string error;
    EXPECT_EQ(saveInPlace(*doc, error), 0);
    EXPECT_NE(error.find("<escena>"), std::string::npos);
    EXPECT_EQ(readFile(path), "<?xml version=\"1.0\"?>\n<otra/>\n");
}
