// The scene reader: failed loads (no file, not well formed, invalid, no DTD, the limits a valid
// document can break) that leave the scene untouched, what a valid document loads (textures,
// materials with their frame codes, objects with pose, materials, switches, scale and events),
// identifiers, the state cleared after a load, objects read each from its own element, names
// outside ASCII, and play mode leaving a loaded scene as it was.
#include "scene_file_support.h"

#include "camera.h"
#include "play.h"

#include <cstring>  // Required for: memcmp()

using namespace scene_file_test;

namespace {

class SceneReader : public SceneDirTest {};

std::string element(const std::string &name, const std::string &content)
{
    return "<" + name + ">" + content + "</" + name + ">";
}

std::string document(const std::string &body) { return PROLOGUE + "<escena>" + body + "</escena>\n"; }

std::string material(const std::string &name)
{
    std::string colour = "<R>1</R><G>0.5</G><B>0.25</B><A>1</A>";
    return "<IDMaterial codigo=\"" + name + "\"><pBlend>0.75</pBlend><pShine>0.3</pShine><texturado>0</texturado>"
           "<Ka>0.2</Ka><Kd>0.8</Kd><Ks>0.1</Ks>" + element("pLuzDif", colour) + element("pLuzEsp", colour) +
           element("pLuzEmi", colour) + "</IDMaterial>";
}

// The parts of one primitiva
struct ObjectXml {
    std::string position = "<X>1.5</X><Y>2</Y><Z>-3</Z>", material, kind = "4", events;
    std::string caract = "<cCubo><CUBOlado>10</CUBOlado></cCubo>";

    std::string text() const
    {
        return "<primitiva codigo=\"P0\"><PRIMestado>" + element("miPos", position) +
               "<miRot><Yaw>90</Yaw><Pitch>10</Pitch><Roll>0</Roll></miRot></PRIMestado>" +
               (material.empty() ? "" : element("IDPRIMMaterial", material)) + element("objeto3D", kind) +
               "<promediado>0</promediado><wireFrame>0</wireFrame><scaleX>1</scaleX><scaleY>1</scaleY><scaleZ>1</scaleZ>" +
               events + element("caract", caract) + "</primitiva>";
    }
};

std::string condition(int kind, const std::string &holder)
{
    return "<condicion>" + element("tipoCond", std::to_string(kind)) + element("cond", holder) + "</condicion>";
}
std::string activate() { return condition(1, "<cActivate><valueAct>0</valueAct></cActivate>"); }
std::string fartherThan(int d) { return condition(2, element("cDistanceMY", element("valueDMY", std::to_string(d)))); }
std::string event(const std::string &code, const std::string &content)
{
    return "<evento codigo=\"" + code + "\">" + content + "</evento>";
}

// A scene to load over: one texture, a material, a flag and one object, locked and selected
void makePreviousScene()
{
    add_texture_name("Data/antes.bmp");
    material_record *m = new_material();
    m->name = "antes";
    ASSERT_EQ(add_material(m), 1);
    addFlag(newFlagRecord("ANTES", 7));
    rebuild_usage_table();
    set_current_material("antes");
    ASSERT_EQ(create_object(KIND_CUBE), 0);
    set_current_material(nullptr);
    setSelectedObject(object_at(0));
    setLockedObject(0);
}

// The scene as a save writes it, with the creation counter, the selection and the lock
std::string snapshot()
{
    EXPECT_EQ(saveSceneTo("snapshot.xml"), 1);
    return readFile("snapshot.xml") + std::to_string(creation_counter()) + " " +
           std::to_string(getSelectedObject() != nullptr && getSelectedObject() == object_at(0)) + " " +
           std::to_string(getLockedObject());
}

}  // namespace

TEST_F(SceneReader, AFailedLoadSaysWhyAndLeavesTheSceneUntouched)
{
    makePreviousScene();
    const std::string before = snapshot();
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadScene(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to parse escena.xml\n");
    EXPECT_EQ(snapshot(), before);

    const std::string refused = "Error: scene file \"escena.xml\" not loaded: ", tooLong(256, 'N');
    std::string thousand, eight;
    for (int i = 0; i < 1000; i++) thousand += ObjectXml().text();
    for (int i = 0; i < 8; i++) eight += fartherThan(i);
    ObjectXml nine, split, code16, codeX, mismatch, hugeSphere, hugeHalf, bigSphere, withMaterial, withFlag;
    nine.events = event("0", eight + activate());
    split.events = event("9", eight.substr(0, eight.size() / 2) + activate()) + event("9", eight.substr(eight.size() / 2));
    code16.events = event("16", activate());
    codeX.events = event("x", activate());
    mismatch.kind = "3";
    hugeSphere.kind = "10";
    hugeSphere.caract = "<cEsfera><ESFradioHor>6</ESFradioHor><ESFradioVert>6</ESFradioVert><ESFradioZ>6</ESFradioZ>"
                        "<ESFsegmentosX>2147483647</ESFsegmentosX><ESFsegmentosY>9</ESFsegmentosY></cEsfera>";
    hugeHalf.kind = "11";   // 4 x 1024 x (256 + 1) faces: one object past the generator's cap
    hugeHalf.caract = "<cMediaEsfera><MESFradioHor>6</MESFradioHor><MESFradioVert>6</MESFradioVert><MESFradioZ>6"
                      "</MESFradioZ><MESFsegmentosX>1024</MESFsegmentosX><MESFsegmentosY>256</MESFsegmentosY></cMediaEsfera>";
    bigSphere.kind = "10";  // 8 x 1024 x 64 faces: half the cap, so two fit and a third does not
    bigSphere.caract = "<cEsfera><ESFradioHor>6</ESFradioHor><ESFradioVert>6</ESFradioVert><ESFradioZ>6</ESFradioZ>"
                       "<ESFsegmentosX>1024</ESFsegmentosX><ESFsegmentosY>64</ESFsegmentosY></cEsfera>";
    withMaterial.material = tooLong;
    withFlag.events = event("0", condition(4, element("cFlag", element("nameFlag", tooLong) + "<valueFlag>1</valueFlag>")));
    const std::string ownDtd = "<?xml version=\"1.0\"?>\n<!DOCTYPE escena [\n<!ELEMENT escena (primitiva*)>\n"
                               "<!ELEMENT primitiva ANY>\n<!ATTLIST primitiva codigo CDATA #REQUIRED>\n"
                               "<!ELEMENT objeto3D (#PCDATA)>\n]>\n<escena><primitiva codigo=\"P0\"><objeto3D>4"
                               "</objeto3D></primitiva></escena>\n";
    struct Row {
        std::string text, message;
    } rows[] = {
        {PROLOGUE + "<escena><IDTextura>a.bmp</escena>\n", "Failed to parse escena.xml\n"},
        {"", "Failed to parse escena.xml\n"},
        {document("<primitiva codigo=\"P0\"/>"), "Failed to validate escena.xml\n"},
        {document("<Flags><Flag>A</Flag></Flags>"), "Failed to validate escena.xml\n"},
        {"<?xml version=\"1.0\"?>\n<escena/>\n", "Failed to validate escena.xml\n"},
        {document(thousand + ObjectXml().text()), refused + "more than 1000 objects (object 1000)\n"},
        {document(ObjectXml().text() + nine.text()), refused + "more than 8 conditions in event 0 (object 1)\n"},
        {document(split.text()), refused + "more than 8 conditions in event 9 (object 0)\n"},
        {document(code16.text()), refused + "event code \"16\" is not a number from 0 to 15 (object 0)\n"},
        {document(codeX.text()), refused + "event code \"x\" is not a number from 0 to 15 (object 0)\n"},
        {document(element("IDTextura", tooLong)), refused + "a name longer than 255 characters in <IDTextura>"},
        {document(material(tooLong)), refused + "a name longer than 255 characters in <IDMaterial codigo>"},
        {document(withMaterial.text()), refused + "a name longer than 255 characters in <IDPRIMMaterial>"},
        {document(withFlag.text()), refused + "a name longer than 255 characters in <nameFlag>"},
        {document(hugeSphere.text()), refused + "the object asks for more than 1048576 faces (object 0)\n"},
        {document(ObjectXml().text() + hugeHalf.text()), refused + "the object asks for more than 1048576 faces (object 1)\n"},
        {document(bigSphere.text() + bigSphere.text() + bigSphere.text()),
         refused + "the objects ask for more than 1048576 faces (object 2)\n"},
        {ownDtd, refused + "<objeto3D> found where <PRIMestado> belongs in <primitiva> (object 0)\n"},
        {document(mismatch.text()), refused + "<caract> does not hold the <cPiramide> of kind 3 (object 0)\n"},
    };
    int result = -1;
    for (const Row &row : rows) {
        std::string err = loadText(row.text, &result);
        EXPECT_EQ(result, 0) << row.message;
        EXPECT_NE(err.find(row.message), std::string::npos) << err;
        EXPECT_EQ(snapshot(), before) << row.message;
    }

    // a valid document without its DTD
    ASSERT_EQ(remove("DESCscene.dtd"), 0);
    EXPECT_NE(loadText(document(material("m")), &result).find("Failed to validate escena.xml\n"), std::string::npos);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(SceneReader, AValidDocumentReplacesTheScene)
{
    makePreviousScene();
    set_creation_counter(41);
    int result = -1;
    EXPECT_EQ(loadText(readFile(SW_VALID_SCENE), &result), "");
    ASSERT_EQ(result, 1);

    EXPECT_EQ(texture_count(), 2);
    EXPECT_EQ(texture_gl_name("Data/b.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(material_count(), 6);
    EXPECT_EQ(find_material("a")->texture.get(), nullptr) << "a block under texturado 0 is not read";
    EXPECT_FLOAT_EQ(find_material("a")->Kd, 0.8f);
    EXPECT_EQ(find_material("a")->pLuzEmi, (std::array<float, 4>{1.0f, 0.5f, 0.25f, 1.0f}));
    struct Frames {
        const char *name;
        int multiple;
        std::vector<std::string> frames;
    } frames[] = {{"b", 0, {"Data/a.bmp"}}, {"tres", 3, {"Data/a.bmp", "Data/b.bmp"}}, {"uno", 1, {}},
                  {"sobran", 2, {"Data/a.bmp"}}, {"faltan", 2, {"Data/b.bmp"}}};
    for (const Frames &f : frames) {
        const texture_block *block = find_material(f.name)->texture.get();
        ASSERT_NE(block, nullptr) << f.name;
        EXPECT_EQ(block->multiple, f.multiple) << f.name;
        EXPECT_EQ(block->frames, f.frames) << f.name;
        EXPECT_EQ(block->milTime, 120);
    }
    EXPECT_EQ(getFlagCount(), 0) << "no Flags leaves the flag table empty";

    // identifiers from a counter that starts again at 0; the unknown kind is skipped
    ASSERT_EQ(object_count(), 4);
    for (int i = 0; i < 4; i++) EXPECT_EQ(object_at(i)->nameBase, (i + 1) * 100000);
    EXPECT_EQ(creation_counter(), 4);
    const primitiva *c = object_at(0);
    EXPECT_FLOAT_EQ(c->pose.x, 1.5f);
    EXPECT_FLOAT_EQ(c->pose.pitch, 10.0f);
    ASSERT_EQ(material_name_count(c), 3);
    EXPECT_STREQ(material_name_at(c, 1), "(default)");
    EXPECT_STREQ(material_name_at(c, 2), "b");
    EXPECT_EQ(c->promediado, 1);
    EXPECT_EQ(usage_entry_at(usage_index_of("a"))->userCount, 1);
    // generated (the hole of the file is not read) and scaled: side 10 spans 20 along X
    EXPECT_EQ(c->faces->holes, nullptr);
    EXPECT_FLOAT_EQ(scene_test::spanOf(*c).maxX - scene_test::spanOf(*c).minX, 20.0f);

    // events: only codes 2 and 5, unknown kinds dropped
    const EventSet *set = slot_event_set(0);
    for (int slot = 0; slot < EVENTS_PER_SET; slot++)
        EXPECT_EQ(eventIsEmpty(&set->events[(size_t)slot]), slot != 2 && slot != 5) << slot;
    const Event &two = set->events[2], &five = set->events[5];
    ASSERT_EQ(two.conditionCount, 2);
    EXPECT_EQ(flagValueOf(&two.conditions[1])->value, 3);
    ASSERT_EQ(two.consequenceCount, 2);
    EXPECT_EQ(moveValueOf(consequenceAt(&two, 0))->x, 100);
    EXPECT_EQ(changeMatValueOf(consequenceAt(&two, 1))->material, "oro");
    EXPECT_EQ(distanceValueOf(&five.conditions[0])->distance, 120);
    EXPECT_EQ(consequenceAt(&five, 1)->kind, cAgain);

    // the solid and culling switches stored in the file survive
    EXPECT_EQ(faces_to_draw(object_at(1)), 1);
    EXPECT_EQ(is_solid(object_at(2)), 0);
    EXPECT_EQ(cull_face(object_at(2)), 1);
    EXPECT_EQ(get_parameter(object_at(2), CIL_SEGMENTOS), 6);
    // the object with the same code keeps its own values
    EXPECT_FLOAT_EQ(object_at(3)->pose.x, -7.0f);
    EXPECT_EQ(object_at(3)->objeto3D, KIND_SPHERE);
    EXPECT_EQ(moveValueOf(consequenceAt(&slot_event_set(3)->events[0], 0))->x, 2);
    // nothing points into the old scene
    EXPECT_EQ(getSelectedObject(), nullptr);
    EXPECT_EQ(getLockedObject(), -1);
}

TEST_F(SceneReader, LimitsAreInclusiveAndLongValuesAreRead)
{
    const std::string longest(255, 'N');
    std::string eight;
    for (int i = 0; i < 8; i++) eight += fartherThan(i);
    ObjectXml first;
    first.material = longest + " and more";   // a name is its first word
    first.events = event(" 15", eight);
    first.position = "<X>" + std::string(300, '0') + "1.5</X><Y>1e999</Y><Z>nan</Z>";
    first.caract = "<cCubo><CUBOlado>" + std::string(400, '0') + "12</CUBOlado></cCubo>";
    std::string objects = first.text();
    // numbers as strtof reads them, bit for bit: a tie between two floats, a negative zero,
    // many decimals, a decimal point with nothing after it, a sign, an exponent
    const std::vector<std::string> reals = {"16777217.000", "-0.000", "0.1", "123456.789012345", "7.", "+2.5",
                                            "-1234567.891", "3.4e2", "0.000000000000001"};
    for (size_t i = 0; i < reals.size(); i += 3) {
        ObjectXml numbers;
        numbers.position = element("X", reals[i]) + element("Y", reals[i + 1]) + element("Z", reals[i + 2]);
        objects += numbers.text();
    }
    for (int i = 1 + (int)reals.size() / 3; i < 1000; i++) objects += ObjectXml().text();
    int result = -1;
    EXPECT_EQ(loadText(document(material(longest) + objects), &result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(object_count(), 1000);
    EXPECT_EQ(object_at(999)->nameBase, 100000000);
    EXPECT_EQ(slot_event_set(0)->events[15].conditionCount, 8);
    EXPECT_STREQ(first_material_name(object_at(0)), longest.c_str());
    EXPECT_FLOAT_EQ(object_at(0)->pose.x, 1.5f);
    EXPECT_FLOAT_EQ(object_at(0)->pose.y, 0.0f) << "not a finite number";
    EXPECT_EQ(get_parameter(object_at(0), CUBO_LADO), 12);
    for (size_t i = 0; i < reals.size(); i++) {
        const object_pose &pose = object_at(1 + (int)i / 3)->pose;
        const float read = i % 3 == 0 ? pose.x : (i % 3 == 1 ? pose.y : pose.z);
        const float expected = strtof(reals[i].c_str(), nullptr);
        EXPECT_EQ(memcmp(&read, &expected, sizeof read), 0) << reals[i];
    }
}

TEST_F(SceneReader, LatinOneNamesSurviveASaveAndALoad)
{
    // the file is ISO-8859-1: 0xF1 is an n with a tilde, right where the texture name is cut
    std::string body = element("IDTextura", "Data/ba\xf1o.bm\xf1") + material("pi\xf1" "a") +
                       "<Flags><Flag>A\xf1O</Flag><Value>1</Value><Flag>A\xf1O</Flag><Value>2</Value></Flags>";
    int result = -1;
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadText(document(body), &result), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n ERROR : Flag ya introducida anteriormente.");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(texture_gl_name("Data/ba\xc3\xb1o.bm\xc3\xb1"), TEXTURE_NOT_LOADED);
    ASSERT_EQ(saveScene(), 1);
    EXPECT_NE(readFile("escena.xml").find("<IDTextura>Data/ba\xf1o.bm\xf1</IDTextura>"), std::string::npos);
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    ASSERT_EQ(loadScene(), 1);
    EXPECT_NE(find_material("pi\xc3\xb1" "a"), nullptr);
    ASSERT_EQ(getFlagCount(), 1);
    EXPECT_EQ(findFlag("A\xc3\xb1O")->value, 1) << "a flag met twice keeps its first value";

    // a DTD in Latin-1 with its own text declaration still validates a file of plain ASCII
    writeFile("DESCscene.dtd", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- a\xf1o -->\n" + readFile(SW_SCENE_DTD));
    EXPECT_EQ(loadText(document(material("m")), &result), "");
    EXPECT_EQ(result, 1);
    EXPECT_NE(find_material("m"), nullptr);
}

TEST_F(SceneReader, PlayGivesEveryObjectItsMaterialBackEvenNone)
{
    // an object read without IDPRIMMaterial and one with, both changed by their click events
    const std::string toRed = "<consec><tipoCons>3</tipoCons><cons><cChangeMat><nameChangeMat>rojo</nameChangeMat>"
                              "</cChangeMat></cons></consec>";
    ObjectXml bare, green;
    bare.events = green.events = event("0", activate() + toRed);
    green.material = "verde";
    int result = -1;
    ASSERT_EQ(loadText(document(material("rojo") + material("verde") + bare.text() + green.text()), &result), "");
    ASSERT_EQ(result, 1);
    ASSERT_EQ(first_material_name(object_at(0)), nullptr);
    const std::string before = snapshot();

    setWindowOps({[](int, int) {}, [](int) {}, [] { return 1024; }, [] { return 768; }, [] {}});
    startPlay();
    activateObject(0);
    activateObject(1);
    stepRunningEvents();
    stepRunningEvents();
    EXPECT_STREQ(first_material_name(object_at(0)), "rojo");
    EXPECT_STREQ(first_material_name(object_at(1)), "rojo");
    stopPlay();
    setWindowOps({});

    EXPECT_EQ(first_material_name(object_at(0)), nullptr);
    EXPECT_STREQ(first_material_name(object_at(1)), "verde");
    int users = 0;  // each object listed once, the green one under its own material again
    for (int i = 0; i < usage_entry_count(); i++) users += usage_entry_at(i)->userCount;
    EXPECT_EQ(users, 2);
    EXPECT_EQ(usage_entry_at(usage_index_of("verde"))->userCount, 1);
    EXPECT_EQ(snapshot(), before);  // the save after play is the save before it
}
