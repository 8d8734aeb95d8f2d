// The scene writer: the exact bytes of a small scene (table orders, three decimals, texture
// names whole, frame codes 0, 1 and 3, events in slots 3 and 7, a skipped condition slot,
// faces with a hole or their own material), save-load-save, xmllint's acceptance of what is
// written, texture names that survive a save and a load whatever their points, a failed save
// that keeps the previous file, and a save that keeps the file's mode, its link and a
// read-only file.
#include "scene_file_support.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <regex>

using namespace scene_file_test;

namespace {

class SceneWriter : public SceneDirTest {};

// A material with a texture block of the given frames
material_record *addMaterial(const char *name, int texturado, int multiple, std::vector<const char *> frames)
{
    material_record *material = new_material();
    material->name = name;
    material->texturado = texturado;
    material->texture = new_texture_block();
    material->texture->multiple = multiple;
    for (const char *frame : frames) material->texture->frames.emplace_back(frame);
    EXPECT_EQ(add_material(material), 1);
    return material;
}

// An object of the kind from explicit parameters, stored at the next slot
primitiva *addObject(int kind, std::vector<int> values, object_pose pose, std::vector<const char *> materials)
{
    values.resize(MAX_PARAMETERS);
    primitiva record = {};
    EXPECT_EQ(build_primitive(kind, values.data(), &record), 1);
    record.nameBase = take_name_base();
    record.pose = pose;
    for (const char *name : materials) append_material_name(&record, name);
    return object_at(store_object(record, nullptr));
}

// Textures, materials and flags created in an order their tables do not iterate in; three
// objects: a cube with events in slots 3 and 7, a one-sided rectangle with a hole in its first
// face and a material of its own on its third, a culled cylinder
void buildSmallScene()
{
    for (const char *name : {"Data/zeta.bmp", "Data/alfa.v2.bmp", "Data/sin_punto", "Data/v1.2/agua.bmp"})
        add_texture_name(name);
    material_record *mate = addMaterial("mate", 0, 0, {"Data/zeta.bmp"});   // block ignored: not textured
    mate->pBlend = -0.0001f;
    mate->pShine = 0.0005f;
    addMaterial("ladrillo", 1, 0, {"Data/zeta.bmp"});
    addMaterial("vacia", 1, 1, {})->texture->milTime = 40;
    material_record *water = addMaterial("agua", 1, 3, {"Data/alfa.v2.bmp", "Data/sin_punto"});
    water->texture->TEXscaleX = 2.0f;
    water->texture->TEXscaleY = 0.5f;
    water->texture->milTime = 250;
    water->pLuzDif = {0.1f, 0.3f, 0.8f, 0.6f};
    addFlag(newFlagRecord("ABRIR", 1));
    addFlag(newFlagRecord("CERRAR", -2));
    addFlag(newFlagRecord("LUZ", 0));

    primitiva *cube = addObject(KIND_CUBE, {10}, object_pose{1.5f, -0.0001f, -50.0f, 90.0f, 0.0f, 0.0f},
                                {"ladrillo", "agua", "mate"});
    cube->promediado = 1;
    cube->scaleX = 2.0f;
    cube->scaleZ = 0.5f;
    EventSet *set = object_slot(0)->eventSet = newEventSet();
    // slot 3: conditions only, with an empty position between them
    Event &three = set->events[3];
    three.conditions[0] = Condition{cActivate, newActivateValue(), 0};
    three.conditions[2] = Condition{cDistanceMY, newDistanceValue(10), 0};
    three.conditions[3] = Condition{cDistanceMN, newDistanceValue(50), 0};
    three.conditions[4] = Condition{cFlag, newFlagValue("ABRIR", 1), 0};
    three.conditionCount = 4;
    // slot 7: consequences only, every kind
    Event &seven = set->events[7];
    for (auto [kind, value] : {std::pair<int, void *>{cMoveObj, newMoveValue(1, -2, 3)},
                               {cRotateObj, newRotateValue(10, 20, 30)}, {cChangeMat, newChangeMatValue("agua")},
                               {cRotateMat, newRotateValue(0, 0, 15)}, {cFlagEqual, newFlagValue("CERRAR", 5)},
                               {cLoop, newLoopValue(0)}, {cAgain, newAgainValue()}})
        setConsequence(&seven, seven.consequenceCount, kind, value);

    cara *first = addObject(KIND_RECTANGLE, {0, 6, 4, 1}, object_pose{}, {"mate"})->faces;
    agujero *hole = first->holes = (agujero *)calloc(1, sizeof(agujero));
    hole->numAristas = 4;
    const float corners[4][3] = {{-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, -0.0001f}};
    arista **tail = &hole->ring;
    for (const float *corner : corners) {
        *tail = (arista *)calloc(1, sizeof(arista));
        (*tail)->vertex = (vertice *)calloc(1, sizeof(vertice));
        *(*tail)->vertex = vertice{corner[0], corner[1], corner[2], 0, 0, 0};
        tail = &(*tail)->next;
    }
    list_append(&first->next->next->materials, strdup("agua"));

    addObject(KIND_CYLINDER, {1, 1, 4, 4, 4, 4, 8}, object_pose{-10.25f, 5.0f, 0.0005f, 0.0f, 0.0f, 0.0f}, {"mate"});
}

}  // namespace

TEST_F(SceneWriter, SmallSceneExactBytesAndSaveLoadSave)
{
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), PROLOGUE + "<escena/>\n");

    buildSmallScene();
    ASSERT_EQ(saveScene(), 1);
    const std::string written = readFile("escena.xml");
    EXPECT_EQ(written, readFile(SW_SMALL_SCENE));
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    EXPECT_FALSE(fileExists("escena.xml.tmp"));

    // faces are regenerated from the parameters, so the hole and the face material are gone;
    // everything else is byte for byte the same, and stays so
    const std::string withoutFaces =
        std::regex_replace(written, std::regex("<caras codigo=\"C[0-9]+\"(/>|>.*?</caras>)"), "");
    ASSERT_NE(withoutFaces, written);
    for (int round = 0; round < 2; round++) {
        ASSERT_EQ(loadScene(), 1);
        ASSERT_EQ(saveScene(), 1);
        EXPECT_EQ(readFile("escena.xml"), withoutFaces);
    }
}

TEST_F(SceneWriter, TextureNamesAreWrittenWholeAndReadBackTheSame)
{
    const std::vector<std::string> names = {"Data/cesped.v2.bmp", "Data/ladrillo.bmp", "Data/ladrillo.bmp~backup",
                                            "Data/x.tar.gz", "Data/sin_punto", "Data/a.", "v1.2/muro.bmpX",
                                            "Data/a.bm\xc3\xb1X", "Data/a.\xe2\x82\xac\xc3\xb1\xc3\xb1\xc3\xb1"};
    for (const std::string &name : names) add_texture_name(name.c_str());
    addMaterial("cesped", 1, 0, {"Data/cesped.v2.bmp"});
    ASSERT_EQ(saveScene(), 1);
    EXPECT_NE(readFile("escena.xml").find("<IDTextura>Data/cesped.v2.bmp</IDTextura>"), std::string::npos);
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    ASSERT_EQ(loadScene(), 1);
    std::vector<std::string> loaded = hash_table_keys(texture_table()), wanted = names;
    std::sort(loaded.begin(), loaded.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(loaded, wanted);
    ASSERT_NE(find_material("cesped"), nullptr);
    EXPECT_EQ(find_material("cesped")->texture->frames, std::vector<std::string>{"Data/cesped.v2.bmp"});
}

TEST_F(SceneWriter, ASaveThatCannotBeCompletedKeepsThePreviousFile)
{
    const std::string previous = PROLOGUE + "<escena/>\n";
    writeFile("escena.xml", previous);
    writeFile("victim.txt", "untouched");
    buildSmallScene();
    // the names older saves wrote through: a link there is not followed, a pipe not opened
    ASSERT_EQ(symlink("victim.txt", "escena.xml.tmp"), 0);
    ASSERT_EQ(mkfifo(".escena.xml.tmp", 0644), 0);

    // the disk fills up half way (a file size limit stands in for it)
    struct rlimit saved, small;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    small = {1000, saved.rlim_max};
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    int result = saveScene();
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(errors, "Error: unable to write file \"escena.xml\": cannot write: File too large\n");
    EXPECT_EQ(lastSaveStatus().problem, FILE_WRITE_FAILED);
    EXPECT_EQ(readFile("escena.xml"), previous);
    EXPECT_EQ(readFile("victim.txt"), "untouched");
    EXPECT_EQ(directoryEntries("."), (std::vector<std::string>{".escena.xml.tmp", "DESCscene.dtd", "escena.xml",
                                                                "escena.xml.tmp", "victim.txt"}));

    // the complete file cannot take the destination's place (a folder is there)
    ASSERT_EQ(mkdir("folder", 0755), 0);
    EXPECT_EQ(saveSceneTo("folder"), 0);
    EXPECT_EQ(readFile("victim.txt"), "untouched");
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("victim.txt"), "untouched");
}

TEST_F(SceneWriter, ASaveKeepsTheModeTheLinkAndAReadOnlyFile)
{
    buildSmallScene();
    writeFile("escena.xml", "private");
    ASSERT_EQ(chmod("escena.xml", 0600), 0);
    ASSERT_EQ(saveScene(), 1);
    struct stat info;
    ASSERT_EQ(stat("escena.xml", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    ASSERT_EQ(chmod("escena.xml", 0444), 0);
    const std::string before = readFile("escena.xml");
    testing::internal::CaptureStderr();
    EXPECT_EQ(saveScene(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: escena.xml not saved: the file is read-only\n");
    EXPECT_EQ(readFile("escena.xml"), before);
    ASSERT_EQ(chmod("escena.xml", 0644), 0);

    // a scene kept elsewhere through a link: the target changes, the link stays
    ASSERT_EQ(mkdir("kept", 0755), 0);
    ASSERT_EQ(rename("escena.xml", "kept/real.xml"), 0);
    ASSERT_EQ(symlink("kept/real.xml", "escena.xml"), 0);
    add_texture_name("Data/nueva.bmp");
    ASSERT_EQ(saveScene(), 1);
    ASSERT_EQ(lstat("escena.xml", &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_NE(readFile("kept/real.xml").find("Data/nueva.bmp"), std::string::npos);
}
