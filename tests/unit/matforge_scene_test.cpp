// matforge's scene text processing without any window: number texts, the material table
// and texture list, loading by tag scans, byte-exact saves, refused files, a load-edit-save
// that validates against the DTD, and saves that fail without loss.
#include "material_form_values.h"
#include "matforge_files.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace mftest;

namespace {

// A document with the given materials, in order
std::unique_ptr<SceneDocument> documentWith(std::initializer_list<const char *> names)
{
    auto doc = std::make_unique<SceneDocument>();
    for (const char *name : names) EXPECT_EQ(nuevoMaterial(*doc, name), ALTA_OK) << name;
    return doc;
}

// Makes a material an animation of the given frames (a still texture for one frame)
void animate(EditorMaterial &material, std::initializer_list<const char *> frames)
{
    material.textured = 1;
    int count = 0;
    for (const char *frame : frames) material.frames[count++] = frame;
    material.frameCode = (int16_t)(count == 1 ? 0 : count + 1);
}

// Loads a scene file that must be accepted
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

// The number of entries in a directory
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
        std::string colour = "<R>1.000</R><G>1.000</G><B>1.000</B><A>1.000</A>";
        std::string material = "<pBlend>1.000</pBlend><pShine>0.500</pShine><texturado>1</texturado><Ka>1.000</Ka>"
                               "<Kd>0.900</Kd><Ks>0.100</Ks><pLuzDif>" + colour + "</pLuzDif><pLuzEsp>" + colour +
                               "</pLuzEsp><pLuzEmi>" + colour + "</pLuzEmi><texturas><TEXscaleX>1.000</TEXscaleX>"
                               "<TEXscaleY>1.000</TEXscaleY><milTime>0</milTime><multiple>" + std::to_string(frames + 1) +
                               "</multiple>";
        for (int f = 0; f < frames; f++) material += "<TexturasID>t" + std::to_string(f) + ".bmp</TexturasID>";
        std::string text = prologue + "<escena>";
        for (int i = 0; i < materials; i++)
            text += "<IDMaterial codigo=\"m" + std::to_string(i) + "\">" + material + "</texturas></IDMaterial>";
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

// Only the sections change: a still texture read as an animation of one frame is written
// as the still texture it is; everything else comes back byte for byte, save after save
TEST(MatforgeSave, UnchangedStageworksFileKeepsEveryByteButItsOneFrameAnimation)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_stageworks.xml");
    auto doc = load(path);
    saveInPlace(*doc);
    const std::string expected = dataFile("escena_stageworks_guardada.xml");
    EXPECT_EQ(readFile(path), expected);
    saveInPlace(*doc);
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(entries(dir.path), 2u);  // no temporary file left
}

TEST(MatforgeSave, FileWithoutMaterials)
{
    TempDir dir;
    std::string path = installScene(dir, "escena_sin_material.xml");
    std::string original = readFile(path);
    auto doc = load(path);

    // the old texture elements are replaced, not repeated
    saveInPlace(*doc);
    EXPECT_EQ(readFile(path), original);

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
    ASSERT_EQ(nuevaTextura(*doc, dir.path + "/Data/nueva.bmp", nullptr), ALTA_OK);
    eliminaTextura(*doc, 1);  // Data/agua1.bmp: once in "agua", twice in a row in "doble"
    saveInPlace(*doc);
    EXPECT_TRUE(validAgainstDtd(path));
    auto back = load(path);
    EXPECT_EQ(back->texturas, (std::vector<std::string>{"Data/muro.bmp", "Data/agua2.bmp", "Data/cielo.bmp",
                                                        "Data/nueva.bmp"}));
    EXPECT_EQ(back->editorMaterialCount, 7);
    std::string saved = readFile(path);
    EXPECT_NE(saved.find("<multiple>2</multiple><TexturasID>Data/muro.bmp</TexturasID></texturas>"), std::string::npos);
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
    // the disk refuses the data half way (file size limit): the temporary file goes away
    doc->XMLPathDestino = doc->XMLPath;
    struct rlimit normal, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &normal), 0);
    small = {1024, normal.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int saved = guardaXML(*doc, error);
    setrlimit(RLIMIT_FSIZE, &normal);
    EXPECT_EQ(saved, 0);
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

TEST(MatforgeNumbers, FileAndControlTextsAndFrameLimits)
{
    const std::pair<std::string, std::string> texts[] = {
        {formatoFloat("0,5"), "0.500"},    {formatoFloat("-1,5"), "-1.500"},     {formatoFloat("2,"), "2.000"},
        {formatoFloat("0,498039215686275"), "0.498039215686275"},              {formatoFloat2("1"), "1,000"},
        {formatoFloat2("0,12345"), "0,12345"}, {decimalConComa("-12.500"), "-12,500"},
        {formateaDir("Data\\sub\\a.bmp"), "Data/sub/a.bmp"},
        {textoDesdeControl(20, 10), "2"},   // only "1" and "0" get three decimals
        {textoNumero(1e-7), "0,0000001"}};  // never an exponent
    for (auto &[got, expected] : texts) EXPECT_EQ(got, expected);
    const std::pair<double, double> numbers[] = {
        {numeroDecimal("3,5,7"), 3.5}, {numeroDecimal("inf"), 0}, {numeroDecimal("nan"), 0},
        {valorControl("0,29", 100, 0, 100), 29},  // not 28 through binary fractions
        {valorControl("20,000", 128, 0, 128), 128}, {valorControl("-1,500", 128, 0, 128), 0},
        {textoAEntero("99999999999999999999", INT16_MIN, INT16_MAX), INT16_MAX},
        {intervaloDesdeTexto("99999999999"), INTERVALO_MAX}};
    for (auto [got, expected] : numbers) EXPECT_EQ(got, expected);

    std::vector<std::string> frames(MATERIAL_FRAMES, "f");  // a full animation takes no more frames
    EXPECT_EQ(insertaFrame(frames, MATERIAL_FRAMES, "g") + borraFrame(frames, MATERIAL_FRAMES), 0);
    EXPECT_EQ((int)frames.size(), MATERIAL_FRAMES);
    EXPECT_EQ(siguienteFrame(7, 2), 0);  // the animation wraps after frames were deleted
}

TEST(MatforgeNumbers, AnUntouchedFormGivesEveryScaleBackUpToItsTenthStep)
{
    const std::pair<std::string, std::string> scales[] = {
        {"25", "25"}, {"12,5", "12,5"}, {"0", "0,000"}, {"1", "1,000"}, {"0,25", "0,2"},
        {"1000", "1000"}, {"-3", "0,000"}};
    for (const auto &[file, back] : scales) {
        EditorMaterial material;
        material.textured = 1;
        material.frames[0] = "Data/a.bmp";
        material.texScaleX = file;
        material.texScaleY = file;
        material.diffuse[0] = "0,85";
        aplicaValores(valoresDeMaterial(material), material);
        EXPECT_EQ((std::pair{material.texScaleX, material.texScaleY}), (std::pair{back, back})) << file;
        EXPECT_EQ(material.diffuse[0], textoNumero(216.0 / 255.0));  // the colours keep their steps
    }
}

TEST(MatforgeMaterials, RefusedNamesFullTableAndDeletion)
{
    auto doc = documentWith({"(default)", "ladrillo"});
    EXPECT_EQ(nuevoMaterial(*doc, ""), ALTA_VACIO);
    EXPECT_EQ(nuevoMaterial(*doc, "(DEFAULT)"), ALTA_DUPLICADO);
    for (const char *bad : {" ", "dos palabras", "linea\n", "con\"comilla", "a<b", "a>b", "a&b", "\xC3\xB1", "del\x7F"})
        EXPECT_EQ(nuevoMaterial(*doc, bad), ALTA_NO_VALIDO) << bad;
    EXPECT_EQ(nuevoMaterial(*doc, std::string(256, 'x')), ALTA_NO_VALIDO);
    EXPECT_EQ(nuevoMaterial(*doc, "m-1_(b).'c'"), ALTA_OK);
    for (int i = 3; i < EDITOR_MATERIALS; i++) ASSERT_EQ(nuevoMaterial(*doc, "m" + std::to_string(i)), ALTA_OK);
    EXPECT_EQ(nuevoMaterial(*doc, "otro"), ALTA_TABLA_LLENA);

    // deleting moves the later records down, and never takes "(default)"
    animate(doc->editorMaterials[3], {"x.bmp", "y.bmp"});
    EXPECT_EQ(borraMaterial(*doc, "(default)"), -1);
    EXPECT_EQ(borraMaterial(*doc, "LADRILLO"), -1);
    EXPECT_EQ(borraMaterial(*doc, "ladrillo"), 1);
    EXPECT_EQ(doc->editorMaterialCount, EDITOR_MATERIALS - 1);
    EXPECT_EQ(doc->editorMaterials[2].frames[1], "y.bmp");
    EXPECT_EQ(doc->editorMaterials[EDITOR_MATERIALS - 1].name, "");
}

TEST(MatforgeTextures, DeletingATextureRemovesEveryReference)
{
    auto doc = documentWith({"(default)", "twice", "only", "plainKept", "other"});
    doc->texturas = {"a.bmp", "b.bmp", "c.bmp"};
    animate(doc->editorMaterials[1], {"a.bmp", "a.bmp", "b.bmp"});
    animate(doc->editorMaterials[2], {"a.bmp", "a.bmp"});
    animate(doc->editorMaterials[3], {"c.bmp", "a.bmp", "b.bmp"});
    doc->editorMaterials[3].textured = 0;  // unticked: keeps its frames for later
    animate(doc->editorMaterials[4], {"A.bmp"});
    eliminaTextura(*doc, 0);
    eliminaTextura(*doc, 5);  // no such row: nothing happens
    EXPECT_EQ(doc->texturas, (std::vector<std::string>{"b.bmp", "c.bmp"}));
    EXPECT_EQ(doc->editorMaterials[1].frameCode, 2);  // one frame left, saved as a still texture
    EXPECT_EQ(doc->editorMaterials[1].frames[0] + doc->editorMaterials[1].frames[1], "b.bmp");
    EXPECT_EQ(doc->editorMaterials[2].textured, 0);
    EXPECT_EQ(doc->editorMaterials[3].frameCode, 3);
    EXPECT_EQ(doc->editorMaterials[3].frames[1], "b.bmp");
    EXPECT_EQ(doc->editorMaterials[4].frames[0], "A.bmp");  // names are compared exactly
    EXPECT_EQ(seccionesXML(*doc).find(">a.bmp<"), std::string::npos);
}

TEST(MatforgeTextures, NewTextureMustLieUnderTheScene)
{
    auto doc = std::make_unique<SceneDocument>();
    doc->XMLPath = "/home/ana/escenas";
    std::string name;
    const std::pair<const char *, ResultadoAlta> results[] = {
        {"/home/ana/escenas/Data/muro.bmp", ALTA_OK},         {"/home/ana/escenas/Data/muro.bmp", ALTA_DUPLICADO},
        {"/home/ana/escenas2/muro.bmp", ALTA_FUERA_DIRECTORIO}, {"/home/ana/escenas/", ALTA_FUERA_DIRECTORIO},
        {"/home/ana/escenas/mi muro.bmp", ALTA_NO_VALIDO}};
    for (auto [path, result] : results) EXPECT_EQ(nuevaTextura(*doc, path, &name), result) << path;
    EXPECT_EQ(doc->texturas, std::vector<std::string>{"Data/muro.bmp"});
    doc->XMLPath = "";  // a scene in the root directory
    EXPECT_EQ(nuevaTextura(*doc, "/Data/cielo.bmp", &name), ALTA_OK);
    EXPECT_EQ(name, "Data/cielo.bmp");
}
