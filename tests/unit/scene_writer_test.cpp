// The scene writer: the exact bytes of a small scene (table orders, three decimals, the
// texture-name cut, frame codes 0, 1 and 3, events in slots 3 and 7, a skipped condition slot,
// faces with a hole or their own material), save-load-save, xmllint's acceptance of what is
// written, and a failed save that keeps the previous file.
#include "scene_file_support.h"
#include "scene_reader.h"
#include "scene_writer.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <regex>

using namespace scene_file_test;

namespace {

const std::string PROLOGUE =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n";

class SceneWriter : public SceneDirTest {};

// A square hole of four vertices on the face
void addHole(cara *face)
{
    agujero *hole = (agujero *)calloc(1, sizeof(agujero));
    const float corners[4][3] = {{-1.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 0.0f}, {1.0f, -1.0f, 0.0f}, {-1.0f, -1.0f, -0.0001f}};
    arista **tail = &hole->ring;
    for (const float *corner : corners) {
        arista *edge = (arista *)calloc(1, sizeof(arista));
        edge->vertex = (vertice *)calloc(1, sizeof(vertice));
        edge->vertex->x = corner[0];
        edge->vertex->y = corner[1];
        edge->vertex->z = corner[2];
        *tail = edge;
        tail = &edge->next;
    }
    hole->numAristas = 4;
    face->holes = hole;
}

// Textures, materials and flags created in an order their tables do not iterate in; three
// objects: a cube with events in slots 3 and 7, a one-sided rectangle with a hole in its first
// face and a material of its own on its third, a culled cylinder
void buildSmallScene()
{
    for (const char *name : {"Data/zeta.bmp", "Data/alfa.bmpOLD", "Data/sin_punto", "Data/v1.2/agua.bmp"})
        add_texture_name(name);

    material_record *mate = addTestMaterial("mate", 0, 0, {"Data/zeta.bmp"});   // block ignored: not textured
    mate->pBlend = -0.0001f;
    mate->pShine = 0.0005f;
    addTestMaterial("ladrillo", 1, 0, {"Data/zeta.bmp"});
    material_record *empty = addTestMaterial("vacia", 1, 1, {});
    empty->texture->milTime = 40;
    material_record *water = addTestMaterial("agua", 1, 3, {"Data/alfa.bmp", "Data/sin_punto"});
    water->texture->TEXscaleX = 2.0f;
    water->texture->TEXscaleY = 0.5f;
    water->texture->milTime = 250;
    water->pLuzDif = {0.1f, 0.3f, 0.8f, 0.6f};

    addFlag(newFlagRecord("ABRIR", 1));
    addFlag(newFlagRecord("CERRAR", -2));
    addFlag(newFlagRecord("LUZ", 0));
    rebuild_usage_table();

    int cube = addTestObject(KIND_CUBE, {10}, object_pose{1.5f, -0.0001f, -50.0f, 90.0f, 0.0f, 0.0f},
                             {"ladrillo", "agua", "mate"});
    primitiva *object = object_at(cube);
    object->promediado = 1;
    object->scaleX = 2.0f;
    object->scaleZ = 0.5f;
    EventSet *set = eventSetOf(cube);
    // slot 3: conditions only, with an empty position between them
    Event &three = set->events[3];
    three.conditions[0] = Condition{cActivate, newActivateValue(), 0};
    three.conditions[2] = Condition{cDistanceMY, newDistanceValue(10), 0};
    three.conditions[3] = Condition{cDistanceMN, newDistanceValue(50), 0};
    three.conditions[4] = Condition{cFlag, newFlagValue("ABRIR", 1), 0};
    three.conditionCount = 4;
    // slot 7: consequences only, every kind
    Event &seven = set->events[7];
    append(seven, cMoveObj, newMoveValue(1, -2, 3));
    append(seven, cRotateObj, newRotateValue(10, 20, 30));
    append(seven, cChangeMat, newChangeMatValue("agua"));
    append(seven, cRotateMat, newRotateValue(0, 0, 15));
    append(seven, cFlagEqual, newFlagValue("CERRAR", 5));
    append(seven, cLoop, newLoopValue(0));
    append(seven, cAgain, newAgainValue());

    int rectangle = addTestObject(KIND_RECTANGLE, {0, 6, 4, 1}, object_pose{}, {"mate"});
    cara *first = object_at(rectangle)->faces;
    addHole(first);
    list_append(&first->next->next->materials, strdup("agua"));

    addTestObject(KIND_CYLINDER, {1, 1, 4, 4, 4, 4, 8}, object_pose{-10.25f, 5.0f, 0.0005f, 0.0f, 0.0f, 0.0f}, {"mate"});
}

// One colour element
std::string colour(const char *name, const char *r, const char *g, const char *b, const char *a)
{
    return std::string("<") + name + "><R>" + r + "</R><G>" + g + "</G><B>" + b + "</B><A>" + a + "</A></" + name + ">";
}

// The material values every test material shares apart from pBlend, pShine, texturado and the block
std::string lights(const char *dif = "1.000,1.000,1.000,1.000")
{
    std::string d = dif;
    std::string r = d.substr(0, 5), g = d.substr(6, 5), b = d.substr(12, 5), a = d.substr(18, 5);
    return "<Ka>1.000</Ka><Kd>0.900</Kd><Ks>0.100</Ks>" + colour("pLuzDif", r.c_str(), g.c_str(), b.c_str(), a.c_str()) +
           colour("pLuzEsp", "1.000", "1.000", "1.000", "1.000") + colour("pLuzEmi", "0.000", "0.000", "0.000", "1.000");
}

// The sections in the iteration order of their tables (hash order of the names)
std::string expectedTextures()
{
    return "<IDTextura>Data/sin_punto</IDTextura>"
           "<IDTextura>Data/zeta.bmp</IDTextura>"
           "<IDTextura>Data/v1.2/agua.bmp</IDTextura>"
           "<IDTextura>Data/alfa.bmp</IDTextura>";
}

std::string expectedMaterials()
{
    return "<IDMaterial codigo=\"agua\"><pBlend>1.000</pBlend><pShine>0.500</pShine><texturado>1</texturado>" +
           lights("0.100,0.300,0.800,0.600") +
           "<texturas><TEXscaleX>2.000</TEXscaleX><TEXscaleY>0.500</TEXscaleY><milTime>250</milTime>"
           "<multiple>3</multiple><TexturasID>Data/alfa.bmp</TexturasID><TexturasID>Data/sin_punto</TexturasID>"
           "</texturas></IDMaterial>"
           "<IDMaterial codigo=\"vacia\"><pBlend>1.000</pBlend><pShine>0.500</pShine><texturado>1</texturado>" +
           lights() +
           "<texturas><TEXscaleX>1.000</TEXscaleX><TEXscaleY>1.000</TEXscaleY><milTime>40</milTime>"
           "<multiple>1</multiple></texturas></IDMaterial>"
           "<IDMaterial codigo=\"ladrillo\"><pBlend>1.000</pBlend><pShine>0.500</pShine><texturado>1</texturado>" +
           lights() +
           "<texturas><TEXscaleX>1.000</TEXscaleX><TEXscaleY>1.000</TEXscaleY><milTime>0</milTime>"
           "<multiple>0</multiple><TexturasID>Data/zeta.bmp</TexturasID></texturas></IDMaterial>"
           "<IDMaterial codigo=\"mate\"><pBlend>-0.000</pBlend><pShine>0.001</pShine><texturado>0</texturado>" +
           lights() + "</IDMaterial>";
}

std::string expectedFlags()
{
    return "<Flags><Flag>LUZ</Flag><Value>0</Value><Flag>CERRAR</Flag><Value>-2</Value>"
           "<Flag>ABRIR</Flag><Value>1</Value></Flags>";
}

std::string pose(const char *x, const char *y, const char *z, const char *yaw)
{
    return std::string("<PRIMestado><miPos><X>") + x + "</X><Y>" + y + "</Y><Z>" + z + "</Z></miPos><miRot><Yaw>" + yaw +
           "</Yaw><Pitch>0.000</Pitch><Roll>0.000</Roll></miRot></PRIMestado>";
}

std::string expectedCube()
{
    return "<primitiva codigo=\"P0\">" + pose("1.500", "-0.000", "-50.000", "90.000") +
           "<IDPRIMMaterial>ladrillo</IDPRIMMaterial><IDPRIMMaterial>agua</IDPRIMMaterial>"
           "<IDPRIMMaterial>mate</IDPRIMMaterial><objeto3D>4</objeto3D><promediado>1</promediado>"
           "<wireFrame>0</wireFrame><scaleX>2.000</scaleX><scaleY>1.000</scaleY><scaleZ>0.500</scaleZ>"
           "<evento codigo=\"3\">"
           "<condicion><tipoCond>1</tipoCond><cond><cActivate><valueAct>0</valueAct></cActivate></cond></condicion>"
           "<condicion><tipoCond>2</tipoCond><cond><cDistanceMY><valueDMY>10</valueDMY></cDistanceMY></cond></condicion>"
           "<condicion><tipoCond>3</tipoCond><cond><cDistanceMN><valueDMN>50</valueDMN></cDistanceMN></cond></condicion>"
           "<condicion><tipoCond>4</tipoCond><cond><cFlag><nameFlag>ABRIR</nameFlag><valueFlag>1</valueFlag></cFlag>"
           "</cond></condicion></evento>"
           "<evento codigo=\"7\">"
           "<consec><tipoCons>1</tipoCons><cons><cMoveObj><moveObjX>1</moveObjX><moveObjY>-2</moveObjY>"
           "<moveObjZ>3</moveObjZ></cMoveObj></cons></consec>"
           "<consec><tipoCons>2</tipoCons><cons><cRotateObj><rotateObjYaw>10</rotateObjYaw>"
           "<rotateObjPitch>20</rotateObjPitch><rotateObjRoll>30</rotateObjRoll></cRotateObj></cons></consec>"
           "<consec><tipoCons>3</tipoCons><cons><cChangeMat><nameChangeMat>agua</nameChangeMat></cChangeMat></cons>"
           "</consec>"
           "<consec><tipoCons>4</tipoCons><cons><cRotateMat><rotateMatYaw>0</rotateMatYaw>"
           "<rotateMatPitch>0</rotateMatPitch><rotateMatRoll>15</rotateMatRoll></cRotateMat></cons></consec>"
           "<consec><tipoCons>5</tipoCons><cons><cFlagEqual><nameFlagEqual>CERRAR</nameFlagEqual>"
           "<valueFlagEqual>5</valueFlagEqual></cFlagEqual></cons></consec>"
           "<consec><tipoCons>6</tipoCons><cons><cLoop><valueLoop>0</valueLoop></cLoop></cons></consec>"
           "<consec><tipoCons>7</tipoCons><cons><cAgain><valueAgain>0</valueAgain></cAgain></cons></consec>"
           "</evento>"
           "<caract><cCubo><CUBOlado>10</CUBOlado></cCubo></caract></primitiva>";
}

std::string expectedRectangle()
{
    return "<primitiva codigo=\"P1\">" + pose("0.000", "0.000", "0.000", "0.000") +
           "<IDPRIMMaterial>mate</IDPRIMMaterial><objeto3D>0</objeto3D><promediado>0</promediado>"
           "<wireFrame>0</wireFrame><scaleX>1.000</scaleX><scaleY>1.000</scaleY><scaleZ>1.000</scaleZ>"
           "<caract><cRectangulo><RECTsolido>0</RECTsolido><RECTladoHor>6</RECTladoHor>"
           "<RECTladoVert>4</RECTladoVert><RECTgrosor>1</RECTgrosor></cRectangulo></caract>"
           "<caras codigo=\"C0\"><agujeros codigo=\"Ag0\"><numAristas>4</numAristas>"
           "<AGUvertices codigo=\"AgA0\"><X>-1.000</X><Y>1.000</Y><Z>0.000</Z></AGUvertices>"
           "<AGUvertices codigo=\"AgA1\"><X>1.000</X><Y>1.000</Y><Z>0.000</Z></AGUvertices>"
           "<AGUvertices codigo=\"AgA2\"><X>1.000</X><Y>-1.000</Y><Z>0.000</Z></AGUvertices>"
           "<AGUvertices codigo=\"AgA3\"><X>-1.000</X><Y>-1.000</Y><Z>-0.000</Z></AGUvertices>"
           "</agujeros></caras>"
           "<caras codigo=\"C2\"/></primitiva>";
}

std::string expectedCylinder()
{
    return "<primitiva codigo=\"P2\">" + pose("-10.250", "5.000", "0.001", "0.000") +
           "<IDPRIMMaterial>mate</IDPRIMMaterial><objeto3D>8</objeto3D><promediado>0</promediado>"
           "<wireFrame>0</wireFrame><scaleX>1.000</scaleX><scaleY>1.000</scaleY><scaleZ>1.000</scaleZ>"
           "<caract><cCilindro><CILsolido>1</CILsolido><CILcullFace>1</CILcullFace><CILradioHor>4</CILradioHor>"
           "<CILradioVert>4</CILradioVert><CILgrosorX>4</CILgrosorX><CILgrosorY>4</CILgrosorY>"
           "<CILsegmentos>8</CILsegmentos></cCilindro></caract></primitiva>";
}

std::string expectedSmallScene()
{
    return PROLOGUE + "<escena>" + expectedTextures() + expectedMaterials() + expectedFlags() + expectedCube() +
           expectedRectangle() + expectedCylinder() + "</escena>\n";
}

// Where two texts part, with some context of each (for a readable failure)
std::string firstDifference(const std::string &actual, const std::string &expected)
{
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) at++;
    size_t from = at > 60 ? at - 60 : 0;
    return "first difference at byte " + std::to_string(at) + "\n  actual:   ..." + actual.substr(from, 160) +
           "\n  expected: ..." + expected.substr(from, 160);
}

// The document without its face sections (they are written but never read back)
std::string withoutFaces(const std::string &text)
{
    return std::regex_replace(text, std::regex("<caras codigo=\"C[0-9]+\"(/>|>.*?</caras>)"), "");
}

}  // namespace

TEST_F(SceneWriter, AnEmptySceneIsThePrologueAndAnEmptyEscena)
{
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), PROLOGUE + "<escena/>\n");
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    EXPECT_FALSE(fileExists("escena.xml.tmp"));
}

TEST_F(SceneWriter, SmallSceneExactBytes)
{
    buildSmallScene();
    ASSERT_EQ(saveScene(), 1);
    std::string written = readFile("escena.xml");
    EXPECT_TRUE(written == expectedSmallScene()) << firstDifference(written, expectedSmallScene());
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    EXPECT_FALSE(fileExists("escena.xml.tmp"));
    // saving changes nothing in memory: a second save writes the same bytes
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), written);
}

TEST_F(SceneWriter, TexturesMaterialsAndFlagsComeInTheirTablesIterationOrder)
{
    buildSmallScene();
    ASSERT_EQ(saveScene(), 1);
    std::string written = readFile("escena.xml");

    std::vector<std::string> textures;
    for (const std::string &key : keysInOrder(texture_table())) textures.push_back(">" + textureNameForFile(key) + "<");
    std::vector<std::string> materials;
    for (const std::string &key : keysInOrder(material_table())) materials.push_back("\"" + key + "\"");
    std::vector<std::string> flags;
    for (const std::string &key : keysInOrder(getFlagTable())) flags.push_back("<Flag>" + key + "<");

    for (const std::vector<std::string> &order : {textures, materials, flags}) {
        std::vector<size_t> at = positionsOf(written, order);
        for (size_t i = 0; i < at.size(); i++) {
            ASSERT_NE(at[i], std::string::npos) << order[i];
            if (i > 0) {
                EXPECT_LT(at[i - 1], at[i]) << order[i - 1] << " before " << order[i];
            }
        }
    }
    // ... which is not the order they were made in
    EXPECT_NE(textures.front(), ">Data/zeta.bmp<");
    EXPECT_NE(materials.front(), "\"mate\"");
    EXPECT_NE(flags.front(), "<Flag>ABRIR<");
}

TEST_F(SceneWriter, SaveLoadSaveGivesTheSameBytes)
{
    buildSmallScene();
    ASSERT_EQ(saveScene(), 1);
    std::string first = readFile("escena.xml");

    ASSERT_EQ(loadScene(), 1);
    ASSERT_EQ(saveScene(), 1);
    std::string second = readFile("escena.xml");
    // faces are regenerated from the parameters, so the hole and the face material are gone;
    // everything else is byte for byte the same
    EXPECT_TRUE(second == withoutFaces(first)) << firstDifference(second, withoutFaces(first));
    EXPECT_NE(second, first);
    EXPECT_TRUE(xmllintAccepts("escena.xml"));

    ASSERT_EQ(loadScene(), 1);
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), second);
}

TEST_F(SceneWriter, TextureNamesAreCutAfterTheirExtension)
{
    EXPECT_EQ(textureNameForFile("Data/ladrillo.bmp"), "Data/ladrillo.bmp");
    EXPECT_EQ(textureNameForFile("Data/ladrillo.bmp~backup"), "Data/ladrillo.bmp");
    EXPECT_EQ(textureNameForFile("Data/x.tar.gz"), "Data/x.tar");
    EXPECT_EQ(textureNameForFile("Data/a.bm"), "Data/a.bm");
    EXPECT_EQ(textureNameForFile("Data/a."), "Data/a.");
    // a name without a point in its file name is written whole
    EXPECT_EQ(textureNameForFile("Data/sin_punto"), "Data/sin_punto");
    EXPECT_EQ(textureNameForFile(""), "");
    // points in the folders do not count: the file name's own extension does
    EXPECT_EQ(textureNameForFile("./Data/muro.bmp"), "./Data/muro.bmp");
    EXPECT_EQ(textureNameForFile("../v1.2/muro.bmpX"), "../v1.2/muro.bmp");
    EXPECT_EQ(textureNameForFile(".bmpX"), ".bmp");
    // characters, not bytes: a character of two bytes is kept whole
    EXPECT_EQ(textureNameForFile("Data/a.bm\xc3\xb1X"), "Data/a.bm\xc3\xb1");
    EXPECT_EQ(textureNameForFile("Data/a.\xe2\x82\xac\xc3\xb1\xc3\xb1\xc3\xb1"), "Data/a.\xe2\x82\xac\xc3\xb1\xc3\xb1");
}

TEST_F(SceneWriter, ASaveThatCannotBeCompletedKeepsThePreviousFile)
{
    const std::string previous = PROLOGUE + "<escena/>\n";
    writeFile("escena.xml", previous);
    buildSmallScene();

    // the temporary file cannot be made (a folder has its name)
    ASSERT_EQ(mkdir("escena.xml.tmp", 0755), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(saveScene(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: unable to write file \"escena.xml\"\n");
    EXPECT_EQ(readFile("escena.xml"), previous);
    ASSERT_EQ(rmdir("escena.xml.tmp"), 0);

    // the disk fills up half way (a file size limit stands in for it)
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    int result = saveScene();
    std::string message = testing::internal::GetCapturedStderr();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, 0);
    // (libxml2 reports the failed write on its own line before ours)
    EXPECT_NE(message.find("Error: unable to write file \"escena.xml\"\n"), std::string::npos) << message;
    EXPECT_EQ(readFile("escena.xml"), previous);
    EXPECT_FALSE(fileExists("escena.xml.tmp"));

    // the complete file cannot take the destination's place (a folder is there)
    ASSERT_EQ(mkdir("folder", 0755), 0);
    writeFile("folder/inside", "x");
    EXPECT_EQ(saveSceneTo("folder"), 0);
    EXPECT_FALSE(fileExists("folder.tmp"));
    EXPECT_EQ(readFile("folder/inside"), "x");

    // and once the way is free the save goes through
    EXPECT_EQ(saveScene(), 1);
    std::string written = readFile("escena.xml");
    EXPECT_TRUE(written == expectedSmallScene()) << firstDifference(written, expectedSmallScene());
}
