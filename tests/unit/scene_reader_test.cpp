// The scene reader: the messages and untouched scene of a failed load (no file, not well
// formed, invalid, no DTD, limits broken), what a valid document loads (textures, materials
// with their frame codes, flags, objects with events, parameters, materials and scale),
// identifiers, the state cleared after a load, and objects read each from its own element.
#include "scene_file_support.h"
#include "scene_reader.h"
#include "scene_writer.h"

#include <cstring>

using namespace scene_file_test;

namespace {

class SceneReader : public SceneDirTest {};

const std::string PROLOGUE =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n";

std::string document(const std::string &body) { return PROLOGUE + "<escena>" + body + "</escena>\n"; }

std::string element(const std::string &name, const std::string &content)
{
    return "<" + name + ">" + content + "</" + name + ">";
}

std::string colour(const char *name) { return element(name, "<R>1</R><G>0.5</G><B>0.25</B><A>1</A>"); }

// A material; block is the content of texturas (none when empty)
std::string material(const std::string &name, int texturado, const std::string &block = "")
{
    std::string text = "<IDMaterial codigo=\"" + name + "\"><pBlend>0.75</pBlend><pShine>0.3</pShine>" +
                       element("texturado", std::to_string(texturado)) + "<Ka>0.2</Ka><Kd>0.8</Kd><Ks>0.1</Ks>" +
                       colour("pLuzDif") + colour("pLuzEsp") + colour("pLuzEmi");
    if (!block.empty()) text += element("texturas", block);
    return text + "</IDMaterial>";
}

std::string textureBlock(int multiple, std::initializer_list<const char *> frames)
{
    std::string text = "<TEXscaleX>2</TEXscaleX><TEXscaleY>0.5</TEXscaleY><milTime>120</milTime>" +
                       element("multiple", std::to_string(multiple));
    for (const char *frame : frames) text += element("TexturasID", frame);
    return text;
}

// The parts of one primitiva
struct ObjectXml {
    std::string code = "P0";
    std::string position = "<X>1.5</X><Y>2</Y><Z>-3</Z>";
    std::string rotation = "<Yaw>90</Yaw><Pitch>10</Pitch><Roll>0</Roll>";
    std::vector<std::string> materials;
    std::string kind = "4";
    std::string promediado = "0", wireFrame = "0";
    std::string scale = "<scaleX>1</scaleX><scaleY>1</scaleY><scaleZ>1</scaleZ>";
    std::string events;
    std::string caract = "<cCubo><CUBOlado>10</CUBOlado></cCubo>";
    std::string faces;

    std::string text() const
    {
        std::string t = "<primitiva codigo=\"" + code + "\"><PRIMestado>" + element("miPos", position) +
                        element("miRot", rotation) + "</PRIMestado>";
        for (const std::string &m : materials) t += element("IDPRIMMaterial", m);
        t += element("objeto3D", kind) + element("promediado", promediado) + element("wireFrame", wireFrame) + scale +
             events + element("caract", caract) + faces + "</primitiva>";
        return t;
    }
};

std::string condition(int kind, const std::string &holder)
{
    return "<condicion>" + element("tipoCond", std::to_string(kind)) + element("cond", holder) + "</condicion>";
}

std::string consequence(int kind, const std::string &holder)
{
    return "<consec>" + element("tipoCons", std::to_string(kind)) + element("cons", holder) + "</consec>";
}

std::string activate() { return condition(1, "<cActivate><valueAct>0</valueAct></cActivate>"); }
std::string fartherThan(int d) { return condition(2, "<cDistanceMY><valueDMY>" + std::to_string(d) + "</valueDMY></cDistanceMY>"); }
std::string move(int x, int y, int z)
{
    return consequence(1, "<cMoveObj>" + element("moveObjX", std::to_string(x)) + element("moveObjY", std::to_string(y)) +
                              element("moveObjZ", std::to_string(z)) + "</cMoveObj>");
}

std::string event(const std::string &code, const std::string &content)
{
    return "<evento codigo=\"" + code + "\">" + content + "</evento>";
}

// A scene to load over: one texture, a material, a flag and one object, locked and selected
struct Previous {
    material_record *material;
    primitiva *object;
    int nameBase;
};

Previous makePreviousScene()
{
    add_texture_name("Data/antes.bmp");
    material_record *m = addTestMaterial("antes", 0, -1, {});
    addFlag(newFlagRecord("ANTES", 7));
    rebuild_usage_table();
    int index = addTestObject(KIND_CUBE, {4}, object_pose{}, {"antes"});
    setSelectedObject(object_at(index));
    setSelectedIndex(index);
    setLockedObject(0);
    setObjectHeld(1);
    return Previous{m, object_at(index), object_at(index)->nameBase};
}

void expectPreviousScene(const Previous &previous)
{
    EXPECT_EQ(texture_count(), 1);
    EXPECT_EQ(texture_gl_name("Data/antes.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(material_count(), 1);
    EXPECT_EQ(find_material("antes"), previous.material);
    EXPECT_EQ(getFlagCount(), 1);
    ASSERT_NE(findFlag("ANTES"), nullptr);
    EXPECT_EQ(findFlag("ANTES")->value, 7);
    EXPECT_EQ(object_count(), 1);
    EXPECT_EQ(object_at(0), previous.object);
    EXPECT_EQ(object_at(0)->nameBase, previous.nameBase);
    EXPECT_EQ(creation_counter(), 1);
    EXPECT_EQ(getSelectedObject(), previous.object);
    EXPECT_EQ(getLockedObject(), 0);
    EXPECT_EQ(getObjectHeld(), 1);
    EXPECT_EQ(usage_entry_at(usage_index_of("antes"))->userCount, 1);
}

// Loads the document and returns what was written on standard error
std::string loadText(const std::string &text, int *result)
{
    writeFile("escena.xml", text);
    testing::internal::CaptureStderr();
    *result = loadScene();
    return testing::internal::GetCapturedStderr();
}

// The refusal message of a valid document the reader does not take
std::string refusal(const std::string &reason) { return "Error: scene file \"escena.xml\" not loaded: " + reason; }

}  // namespace

//----------------------------------------------------------------------------------
// Failed loads
//----------------------------------------------------------------------------------

TEST_F(SceneReader, NoFileIsAParseFailureAndTheSceneStays)
{
    Previous previous = makePreviousScene();
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadScene(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to parse escena.xml\n");
    expectPreviousScene(previous);
    testing::internal::CaptureStderr();
    EXPECT_EQ(validateSceneFile(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to parse escena.xml\n");
}

TEST_F(SceneReader, ADocumentNotWellFormedIsAParseFailure)
{
    Previous previous = makePreviousScene();
    int result = -1;
    for (const std::string &text : {PROLOGUE + "<escena><IDTextura>a.bmp</escena>\n", std::string(""),
                                    PROLOGUE + "<escena></escena><escena/>\n"}) {
        std::string err = loadText(text, &result);
        EXPECT_EQ(result, 0);
        EXPECT_NE(err.find("Failed to parse escena.xml\n"), std::string::npos) << err;
        EXPECT_EQ(err.find("Failed to validate"), std::string::npos) << err;
    }
    expectPreviousScene(previous);
}

TEST_F(SceneReader, AnInvalidDocumentOrAMissingDtdIsAValidationFailure)
{
    Previous previous = makePreviousScene();
    int result = -1;
    const std::vector<std::string> invalid = {
        document("<primitiva codigo=\"P0\"/>"),                                   // children missing
        document("<Flags><Flag>A</Flag></Flags>"),                                // a Flag without its Value
        document("<primitiva codigo=\"P0\"/><IDTextura>a.bmp</IDTextura>"),      // out of order
        "<?xml version=\"1.0\"?>\n<escena/>\n",                                  // no DOCTYPE
    };
    for (const std::string &text : invalid) {
        std::string err = loadText(text, &result);
        EXPECT_EQ(result, 0);
        EXPECT_NE(err.find("Failed to validate escena.xml\n"), std::string::npos) << text << "\n" << err;
    }
    expectPreviousScene(previous);

    // a valid document without its DTD
    writeFile("escena.xml", document(material("m", 0)));
    EXPECT_EQ(validateSceneFile(), 1);
    ASSERT_EQ(remove("DESCscene.dtd"), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(validateSceneFile(), 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Failed to validate escena.xml\n"), std::string::npos) << err;
    std::string again = loadText(document(material("m", 0)), &result);
    EXPECT_EQ(result, 0);
    EXPECT_NE(again.find("Failed to validate escena.xml\n"), std::string::npos) << again;
    expectPreviousScene(previous);
}

//----------------------------------------------------------------------------------
// Textures, materials and flags
//----------------------------------------------------------------------------------

TEST_F(SceneReader, TexturesMaterialsWithTheirFrameCodesAndFlags)
{
    makePreviousScene();
    std::string body = element("IDTextura", "Data/a.bmp") + element("IDTextura", "  Data/b.bmp  ") +
                       material("plana", 0, textureBlock(0, {"Data/a.bmp"})) +
                       material("quieta", 1, textureBlock(0, {"Data/a.bmp"})) +
                       material("tres", 1, textureBlock(3, {"Data/a.bmp", "Data/b.bmp"})) +
                       material("uno", 1, textureBlock(1, {})) +
                       material("sobran", 1, textureBlock(2, {"Data/a.bmp", "Data/b.bmp", "Data/c.bmp"})) +
                       material("faltan", 1, textureBlock(5, {"Data/b.bmp"})) +
                       "<Flags><Flag>ABRIR</Flag><Value>-12</Value><Flag>LUZ</Flag><Value>3</Value></Flags>";
    int result = -1;
    EXPECT_EQ(loadText(document(body), &result), "");
    ASSERT_EQ(result, 1);

    EXPECT_EQ(texture_count(), 2);
    EXPECT_EQ(texture_gl_name("Data/b.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(find_material("antes"), nullptr);
    EXPECT_EQ(material_count(), 6);

    material_record *plain = find_material("plana");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->texturado, 0);
    EXPECT_FALSE(plain->texture) << "a block under texturado 0 is not read";
    EXPECT_FLOAT_EQ(plain->pBlend, 0.75f);
    EXPECT_FLOAT_EQ(plain->pShine, 0.3f);
    EXPECT_FLOAT_EQ(plain->Ka, 0.2f);
    EXPECT_FLOAT_EQ(plain->Kd, 0.8f);
    EXPECT_FLOAT_EQ(plain->Ks, 0.1f);
    EXPECT_EQ(plain->pLuzEmi, (std::array<float, 4>{1.0f, 0.5f, 0.25f, 1.0f}));

    struct Expected {
        const char *name;
        int multiple;
        std::vector<std::string> frames;
    };
    for (const Expected &e : std::vector<Expected>{{"quieta", 0, {"Data/a.bmp"}},
                                                   {"tres", 3, {"Data/a.bmp", "Data/b.bmp"}},
                                                   {"uno", 1, {}},
                                                   {"sobran", 2, {"Data/a.bmp"}},
                                                   {"faltan", 2, {"Data/b.bmp"}}}) {
        material_record *m = find_material(e.name);
        ASSERT_NE(m, nullptr) << e.name;
        ASSERT_TRUE(m->texture) << e.name;
        EXPECT_EQ(m->texture->multiple, e.multiple) << e.name;
        EXPECT_EQ(m->texture->frames, e.frames) << e.name;
        EXPECT_FLOAT_EQ(m->texture->TEXscaleX, 2.0f);
        EXPECT_FLOAT_EQ(m->texture->TEXscaleY, 0.5f);
        EXPECT_EQ(m->texture->milTime, 120);
    }

    EXPECT_EQ(getFlagCount(), 2);
    ASSERT_NE(findFlag("ABRIR"), nullptr);
    EXPECT_EQ(findFlag("ABRIR")->value, -12);
    EXPECT_EQ(findFlag("LUZ")->value, 3);
    EXPECT_EQ(findFlag("ANTES"), nullptr);
}

TEST_F(SceneReader, WithoutFlagsTheFlagTableEndsEmptyAndDuplicatesKeepTheFirst)
{
    makePreviousScene();
    int result = -1;
    EXPECT_EQ(loadText(document(material("m", 0) + material("m", 1)), &result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(getFlagCount(), 0);
    EXPECT_EQ(material_count(), 1);
    EXPECT_EQ(find_material("m")->texturado, 0);

    testing::internal::CaptureStdout();
    std::string err = loadText(document("<Flags><Flag>A</Flag><Value>1</Value><Flag>A</Flag><Value>2</Value></Flags>"),
                               &result);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n ERROR : Flag ya introducida anteriormente.");
    EXPECT_EQ(err, "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(getFlagCount(), 1);
    EXPECT_EQ(findFlag("A")->value, 1);
}

//----------------------------------------------------------------------------------
// Objects
//----------------------------------------------------------------------------------

TEST_F(SceneReader, ObjectsWithPoseMaterialsFlagsScaleAndIdentifiers)
{
    makePreviousScene();
    set_creation_counter(41);
    ObjectXml cube;
    cube.materials = {"a", "nada", "b"};
    cube.promediado = "1";
    cube.wireFrame = "1";
    cube.scale = "<scaleX>2</scaleX><scaleY>0.5</scaleY><scaleZ>1</scaleZ>";
    ObjectXml rectangle;
    rectangle.code = "P1";
    rectangle.materials = {"b"};
    rectangle.kind = "0";
    rectangle.caract = "<cRectangulo><RECTsolido>0</RECTsolido><RECTladoHor>6</RECTladoHor>"
                       "<RECTladoVert>4</RECTladoVert><RECTgrosor>1</RECTgrosor></cRectangulo>";
    ObjectXml cylinder;
    cylinder.code = "P2";
    cylinder.materials = {"b"};
    cylinder.kind = "8";
    cylinder.caract = "<cCilindro><CILsolido>0</CILsolido><CILcullFace>1</CILcullFace><CILradioHor>4</CILradioHor>"
                      "<CILradioVert>4</CILradioVert><CILgrosorX>4</CILgrosorX><CILgrosorY>4</CILgrosorY>"
                      "<CILsegmentos>6</CILsegmentos></cCilindro>";
    int result = -1;
    std::string body = material("a", 0) + material("b", 0) + cube.text() + rectangle.text() + cylinder.text();
    EXPECT_EQ(loadText(document(body), &result), "");
    ASSERT_EQ(result, 1);
    ASSERT_EQ(object_count(), 3);

    // identifiers from a counter that starts again at 0
    EXPECT_EQ(object_at(0)->nameBase, 100000);
    EXPECT_EQ(object_at(1)->nameBase, 200000);
    EXPECT_EQ(object_at(2)->nameBase, 300000);
    EXPECT_EQ(creation_counter(), 3);

    const primitiva *c = object_at(0);
    EXPECT_EQ(c->objeto3D, KIND_CUBE);
    EXPECT_FLOAT_EQ(c->pose.x, 1.5f);
    EXPECT_FLOAT_EQ(c->pose.y, 2.0f);
    EXPECT_FLOAT_EQ(c->pose.z, -3.0f);
    EXPECT_FLOAT_EQ(c->pose.yaw, 90.0f);
    EXPECT_FLOAT_EQ(c->pose.pitch, 10.0f);
    ASSERT_EQ(material_name_count(c), 3);
    EXPECT_STREQ(material_name_at(c, 0), "a");
    EXPECT_STREQ(material_name_at(c, 1), "(default)");
    EXPECT_STREQ(material_name_at(c, 2), "b");
    EXPECT_EQ(c->promediado, 1);
    EXPECT_EQ(c->wireFrame, 1);
    EXPECT_EQ(c->dirty, 1);
    EXPECT_EQ(get_parameter(c, CUBO_LADO), 10);
    // the generated vertices are scaled: the cube of side 10 spans 20 along X and 5 along Y
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const cara *face = c->faces; face != nullptr; face = face->next)
        for (const arista *edge = face->ring; edge != nullptr; edge = edge->next) {
            minX = std::min(minX, edge->vertex->x);
            maxX = std::max(maxX, edge->vertex->x);
            minY = std::min(minY, edge->vertex->y);
            maxY = std::max(maxY, edge->vertex->y);
        }
    EXPECT_FLOAT_EQ(maxX - minX, 20.0f);
    EXPECT_FLOAT_EQ(maxY - minY, 5.0f);
    EXPECT_FLOAT_EQ(c->scaleX, 2.0f);
    EXPECT_EQ(usage_entry_at(usage_index_of("a"))->userCount, 1);
    EXPECT_EQ(usage_entry_at(usage_index_of("b"))->userCount, 2);

    // the solid and culling switches stored in the file survive
    EXPECT_EQ(is_solid(object_at(1)), 0);
    EXPECT_EQ(faces_to_draw(object_at(1)), 1);
    EXPECT_EQ(is_solid(object_at(2)), 0);
    EXPECT_EQ(cull_face(object_at(2)), 1);
    EXPECT_EQ(get_parameter(object_at(2), CIL_SEGMENTOS), 6);

    // nothing points into the old scene
    EXPECT_EQ(getSelectedObject(), nullptr);
    EXPECT_EQ(getLockedObject(), -1);
    EXPECT_EQ(getObjectHeld(), 0);
}

TEST_F(SceneReader, TwoObjectsWithTheSameCodeKeepTheirOwnValues)
{
    ObjectXml first;
    first.position = "<X>1</X><Y>2</Y><Z>3</Z>";
    first.materials = {"a"};
    first.events = event("0", activate() + move(1, 2, 3));
    ObjectXml second = first;
    second.position = "<X>-7</X><Y>8</Y><Z>9</Z>";
    second.materials = {"b", "a"};
    second.kind = "10";
    second.events = event("4", fartherThan(30));
    second.caract = "<cEsfera><ESFradioHor>6</ESFradioHor><ESFradioVert>6</ESFradioVert><ESFradioZ>6</ESFradioZ>"
                    "<ESFsegmentosX>4</ESFsegmentosX><ESFsegmentosY>4</ESFsegmentosY></cEsfera>";
    int result = -1;
    EXPECT_EQ(loadText(document(material("a", 0) + material("b", 0) + first.text() + second.text()), &result), "");
    ASSERT_EQ(result, 1);
    ASSERT_EQ(object_count(), 2);
    EXPECT_FLOAT_EQ(object_at(0)->pose.x, 1.0f);
    EXPECT_FLOAT_EQ(object_at(1)->pose.x, -7.0f);
    EXPECT_EQ(object_at(0)->objeto3D, KIND_CUBE);
    EXPECT_EQ(object_at(1)->objeto3D, KIND_SPHERE);
    EXPECT_EQ(material_name_count(object_at(0)), 1);
    EXPECT_STREQ(first_material_name(object_at(1)), "b");
    ASSERT_NE(slot_event_set(0), nullptr);
    ASSERT_NE(slot_event_set(1), nullptr);
    EXPECT_EQ(slot_event_set(0)->events[0].conditionCount, 1);
    EXPECT_EQ(slot_event_set(0)->events[4].conditionCount, 0);
    EXPECT_EQ(slot_event_set(1)->events[0].conditionCount, 0);
    EXPECT_EQ(slot_event_set(1)->events[4].conditions[0].kind, cDistanceMY);
}

TEST_F(SceneReader, ObjectsOfAnUnknownKindAreSkipped)
{
    ObjectXml cube, unknown, negative, cube2;
    unknown.kind = "12";
    unknown.caract = "";
    negative.kind = "-1";
    negative.caract = "<cCubo><CUBOlado>3</CUBOlado></cCubo>";
    cube2.position = "<X>5</X><Y>0</Y><Z>0</Z>";
    int result = -1;
    EXPECT_EQ(loadText(document(cube.text() + unknown.text() + negative.text() + cube2.text()), &result), "");
    ASSERT_EQ(result, 1);
    ASSERT_EQ(object_count(), 2);
    EXPECT_FLOAT_EQ(object_at(1)->pose.x, 5.0f);
    EXPECT_EQ(object_at(1)->nameBase, 200000);
}

TEST_F(SceneReader, FacesAreNotReadBack)
{
    ObjectXml plain;
    ObjectXml holed = plain;
    holed.faces = "<caras codigo=\"C0\"><agujeros codigo=\"Ag0\"><numAristas>1</numAristas>"
                  "<AGUvertices codigo=\"AgA0\"><X>1</X><Y>1</Y><Z>0</Z></AGUvertices></agujeros></caras>"
                  "<caras codigo=\"C3\"/>";
    int result = -1;
    EXPECT_EQ(loadText(document(holed.text()), &result), "");
    ASSERT_EQ(result, 1);
    ASSERT_EQ(saveScene(), 1);
    std::string fromHoled = readFile("escena.xml");
    EXPECT_EQ(loadText(document(plain.text()), &result), "");
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), fromHoled);
    EXPECT_EQ(fromHoled.find("caras"), std::string::npos);
}

TEST_F(SceneReader, LineBreaksBetweenElementsAreReadPast)
{
    // as the material editor leaves them after the materials and after the root
    std::string text = PROLOGUE + "<escena>\r\n" + material("m", 0) + "\r\n\r\n" + ObjectXml().text() +
                       "<!-- a comment -->\n</escena>\r\n";
    int result = -1;
    EXPECT_EQ(loadText(text, &result), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(material_count(), 1);
    EXPECT_EQ(object_count(), 1);
}

//----------------------------------------------------------------------------------
// Events
//----------------------------------------------------------------------------------

TEST_F(SceneReader, EventsAtCodesTwoAndFiveOnly)
{
    ObjectXml object;
    object.events =
        event("2", activate() + condition(4, "<cFlag><nameFlag>ABRIR</nameFlag><valueFlag>3</valueFlag></cFlag>") +
                       move(100, -200, 0) +
                       consequence(3, "<cChangeMat><nameChangeMat>oro</nameChangeMat></cChangeMat>")) +
        event("5", condition(3, "<cDistanceMN><valueDMN>120</valueDMN></cDistanceMN>") +
                       consequence(6, "<cLoop><valueLoop>0</valueLoop></cLoop>") +
                       consequence(2, "<cRotateObj><rotateObjYaw>2</rotateObjYaw><rotateObjPitch>-1</rotateObjPitch>"
                                      "<rotateObjRoll>4</rotateObjRoll></cRotateObj>") +
                       consequence(4, "<cRotateMat><rotateMatYaw>0</rotateMatYaw><rotateMatPitch>0</rotateMatPitch>"
                                      "<rotateMatRoll>9</rotateMatRoll></cRotateMat>") +
                       consequence(5, "<cFlagEqual><nameFlagEqual>ABRIR</nameFlagEqual>"
                                      "<valueFlagEqual>1</valueFlagEqual></cFlagEqual>") +
                       consequence(7, "<cAgain><valueAgain>0</valueAgain></cAgain>"));
    int result = -1;
    EXPECT_EQ(loadText(document(object.text()), &result), "");
    ASSERT_EQ(result, 1);
    const EventSet *set = slot_event_set(0);
    ASSERT_NE(set, nullptr);
    for (int slot = 0; slot < EVENTS_PER_SET; slot++) {
        if (slot == 2 || slot == 5) continue;
        EXPECT_TRUE(eventIsEmpty(&set->events[(size_t)slot])) << slot;
    }
    const Event &two = set->events[2];
    ASSERT_EQ(two.conditionCount, 2);
    EXPECT_EQ(two.conditions[0].kind, cActivate);
    ASSERT_NE(flagValueOf(&two.conditions[1]), nullptr);
    EXPECT_EQ(flagValueOf(&two.conditions[1])->name, "ABRIR");
    EXPECT_EQ(flagValueOf(&two.conditions[1])->value, 3);
    ASSERT_EQ(two.consequenceCount, 2);
    const MoveValue *m = moveValueOf(consequenceAt(&two, 0));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->x, 100);
    EXPECT_EQ(m->y, -200);
    EXPECT_EQ(changeMatValueOf(consequenceAt(&two, 1))->material, "oro");

    const Event &five = set->events[5];
    ASSERT_EQ(five.conditionCount, 1);
    EXPECT_EQ(distanceValueOf(&five.conditions[0])->distance, 120);
    ASSERT_EQ(five.consequenceCount, 5);
    EXPECT_EQ(loopValueOf(consequenceAt(&five, 0))->count, 0);
    EXPECT_EQ(rotateValueOf(consequenceAt(&five, 1))->pitch, -1);
    EXPECT_EQ(consequenceAt(&five, 2)->kind, cRotateMat);
    EXPECT_EQ(rotateValueOf(consequenceAt(&five, 2))->roll, 9);
    EXPECT_EQ(flagValueOf(consequenceAt(&five, 3))->name, "ABRIR");
    EXPECT_EQ(consequenceAt(&five, 4)->kind, cAgain);
    EXPECT_EQ(consequenceAt(&five, 5), nullptr);
}

TEST_F(SceneReader, UnknownConditionAndConsequenceKindsAreDropped)
{
    ObjectXml object;
    object.events = event("1", condition(9, "<cActivate><valueAct>0</valueAct></cActivate>") + fartherThan(15) +
                                   condition(0, "") + consequence(9, "") + move(1, 1, 1) +
                                   consequence(0, "<cLoop><valueLoop>3</valueLoop></cLoop>"));
    // an event left with nothing gives the object no event set at all
    ObjectXml bare;
    bare.events = event("3", condition(7, "") + consequence(8, ""));
    int result = -1;
    EXPECT_EQ(loadText(document(object.text() + bare.text()), &result), "");
    ASSERT_EQ(result, 1);
    const Event &e = slot_event_set(0)->events[1];
    ASSERT_EQ(e.conditionCount, 1);
    EXPECT_EQ(e.conditions[0].kind, cDistanceMY);
    EXPECT_EQ(distanceValueOf(&e.conditions[0])->distance, 15);
    EXPECT_EQ(e.conditions[1].kind, cEmpty);
    // the chain holds only what runs, so a save keeps the move
    ASSERT_EQ(e.consequenceCount, 1);
    EXPECT_EQ(e.firstConsequence->kind, cMoveObj);
    EXPECT_EQ(e.firstConsequence->next, nullptr);
    EXPECT_EQ(slot_event_set(1), nullptr);
    ASSERT_EQ(saveScene(), 1);
    EXPECT_NE(readFile("escena.xml").find("<moveObjZ>1</moveObjZ>"), std::string::npos);
}

TEST_F(SceneReader, EventsWithTheSameCodeFillOneSlot)
{
    ObjectXml object;
    object.events = event("6", activate() + move(1, 0, 0)) + event("6", fartherThan(5) + move(2, 0, 0));
    int result = -1;
    EXPECT_EQ(loadText(document(object.text()), &result), "");
    ASSERT_EQ(result, 1);
    const Event &e = slot_event_set(0)->events[6];
    EXPECT_EQ(e.conditionCount, 2);
    EXPECT_EQ(e.consequenceCount, 2);
    EXPECT_EQ(moveValueOf(consequenceAt(&e, 1))->x, 2);
}

//----------------------------------------------------------------------------------
// Limits a valid document can break
//----------------------------------------------------------------------------------

TEST_F(SceneReader, AThousandObjectsLoadAndOneMoreIsRefused)
{
    std::string objects;
    for (int i = 0; i < 1000; i++) objects += ObjectXml().text();
    int result = -1;
    EXPECT_EQ(loadText(document(objects), &result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(object_count(), 1000);
    EXPECT_EQ(object_at(999)->nameBase, 100000000);
    releaseScene();
    freshScene();

    Previous previous = makePreviousScene();
    ObjectXml unknown;
    unknown.kind = "99";
    std::string err = loadText(document(objects + unknown.text()), &result);
    EXPECT_EQ(err, "") << "an object of an unknown kind does not count";
    EXPECT_EQ(object_count(), 1000);
    releaseScene();
    freshScene();

    previous = makePreviousScene();
    err = loadText(document(objects + ObjectXml().text()), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(err, refusal("more than 1000 objects (object 1000)\n"));
    expectPreviousScene(previous);
}

TEST_F(SceneReader, MoreThanEightConditionsInOneEventAreRefused)
{
    Previous previous = makePreviousScene();
    std::string eight;
    for (int i = 0; i < 8; i++) eight += fartherThan(i);
    ObjectXml object;
    object.events = event("0", eight);
    int result = -1;
    EXPECT_EQ(loadText(document(object.text()), &result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(slot_event_set(0)->events[0].conditionCount, 8);
    releaseScene();
    freshScene();

    previous = makePreviousScene();
    ObjectXml nine = object;
    nine.events = event("0", eight + activate());
    std::string err = loadText(document(ObjectXml().text() + nine.text()), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(err, refusal("more than 8 conditions in event 0 (object 1)\n"));
    expectPreviousScene(previous);

    // two events of the same code count together
    ObjectXml split = object;
    split.events = event("9", eight.substr(0, eight.size() / 2) + activate()) + event("9", eight.substr(eight.size() / 2));
    err = loadText(document(split.text()), &result);
    EXPECT_EQ(err, refusal("more than 8 conditions in event 9 (object 0)\n"));
    expectPreviousScene(previous);
}

TEST_F(SceneReader, EventCodesOutsideZeroToFifteenAreRefused)
{
    Previous previous = makePreviousScene();
    int result = -1;
    for (const char *code : {"16", "-1", "x", "", "99999999999999999999"}) {
        ObjectXml object;
        object.events = event(code, activate());
        std::string err = loadText(document(object.text()), &result);
        EXPECT_EQ(result, 0) << code;
        EXPECT_EQ(err, refusal(std::string("event code \"") + code + "\" is not a number from 0 to 15 (object 0)\n"));
    }
    expectPreviousScene(previous);
    ObjectXml fifteen;
    fifteen.events = event(" 15", activate());
    EXPECT_EQ(loadText(document(fifteen.text()), &result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(slot_event_set(0)->events[15].conditionCount, 1);
}

TEST_F(SceneReader, NamesLongerThan255CharactersAreRefusedLongValuesAreRead)
{
    Previous previous = makePreviousScene();
    const std::string longest(255, 'N'), tooLong(256, 'N');
    int result = -1;
    struct Case {
        std::string text, where;
    };
    ObjectXml withMaterial;
    withMaterial.materials = {tooLong};
    ObjectXml withFlag;
    withFlag.events =
        event("0", condition(4, "<cFlag><nameFlag>" + tooLong + "</nameFlag><valueFlag>1</valueFlag></cFlag>"));
    ObjectXml withChange;
    withChange.events = event("0", consequence(3, element("cChangeMat", element("nameChangeMat", tooLong))));
    for (const Case &c : std::vector<Case>{
             {element("IDTextura", tooLong), "IDTextura"},
             {material(tooLong, 0), "IDMaterial codigo"},
             {material("m", 1, textureBlock(0, {tooLong.c_str()})), "TexturasID"},
             {"<Flags><Flag>" + tooLong + "</Flag><Value>0</Value></Flags>", "Flag"},
             {withMaterial.text(), "IDPRIMMaterial"},
             {withFlag.text(), "nameFlag"},
             {withChange.text(), "nameChangeMat"}}) {
        std::string err = loadText(document(c.text), &result);
        EXPECT_EQ(result, 0) << c.where;
        EXPECT_EQ(err.find(refusal("a name longer than 255 characters in <" + c.where + ">")), 0u) << err;
    }
    expectPreviousScene(previous);

    // 255 characters, numbers of any length, and a name that is only its first word
    ObjectXml object;
    object.materials = {longest + " and more"};
    object.position = "<X>" + std::string(300, '0') + "1.5</X><Y>1e999</Y><Z>nan</Z>";
    object.caract = "<cCubo><CUBOlado>" + std::string(400, '0') + "12</CUBOlado></cCubo>";
    std::string err = loadText(document(material(longest, 0) + object.text()), &result);
    EXPECT_EQ(err, "");
    ASSERT_EQ(result, 1);
    EXPECT_STREQ(first_material_name(object_at(0)), longest.c_str());
    EXPECT_FLOAT_EQ(object_at(0)->pose.x, 1.5f);
    EXPECT_FLOAT_EQ(object_at(0)->pose.y, 0.0f) << "not a finite number";
    EXPECT_FLOAT_EQ(object_at(0)->pose.z, 0.0f);
    EXPECT_EQ(get_parameter(object_at(0), CUBO_LADO), 12);
}

TEST_F(SceneReader, ParametersThatAskForTooManyFacesAreRefused)
{
    Previous previous = makePreviousScene();
    ObjectXml sphere;
    sphere.kind = "10";
    sphere.caract = "<cEsfera><ESFradioHor>6</ESFradioHor><ESFradioVert>6</ESFradioVert><ESFradioZ>6</ESFradioZ>"
                    "<ESFsegmentosX>2147483647</ESFsegmentosX><ESFsegmentosY>2147483647</ESFsegmentosY></cEsfera>";
    int result = -1;
    std::string err = loadText(document(sphere.text()), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(err, refusal("the objects ask for more than 1048576 faces (object 0)\n"));
    expectPreviousScene(previous);

    // 600 spheres of 8 x 8 x 8 faces each: fine one by one, too many together
    sphere.caract = "<cEsfera><ESFradioHor>6</ESFradioHor><ESFradioVert>6</ESFradioVert><ESFradioZ>6</ESFradioZ>"
                    "<ESFsegmentosX>16</ESFsegmentosX><ESFsegmentosY>16</ESFsegmentosY></cEsfera>";
    std::string many;
    for (int i = 0; i < 600; i++) many += sphere.text();
    err = loadText(document(many), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(err, refusal("the objects ask for more than 1048576 faces (object 512)\n"));
    expectPreviousScene(previous);
}

TEST_F(SceneReader, AValidDocumentOutOfTheExpectedShapeIsRefused)
{
    Previous previous = makePreviousScene();
    int result = -1;
    // valid against a DTD of its own, which lets anything into primitiva
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE escena [\n<!ELEMENT escena (primitiva*)>\n"
                       "<!ELEMENT primitiva ANY>\n<!ATTLIST primitiva codigo CDATA #REQUIRED>\n"
                       "<!ELEMENT objeto3D (#PCDATA)>\n]>\n<escena><primitiva codigo=\"P0\"><objeto3D>4</objeto3D>"
                       "</primitiva></escena>\n";
    std::string err = loadText(text, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(err, refusal("<objeto3D> found where <PRIMestado> belongs in <primitiva> (object 0)\n"));
    expectPreviousScene(previous);

    // a parameter element of another kind
    ObjectXml mismatch;
    mismatch.kind = "3";
    err = loadText(document(mismatch.text()), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(err, refusal("<caract> does not hold the <cPiramide> of kind 3 (object 0)\n"));
    expectPreviousScene(previous);
}

TEST_F(SceneReader, NamesWithLatinOneCharactersSurviveASaveAndALoad)
{
    // the file is ISO-8859-1: 0xF1 is an n with a tilde, right where the texture name is cut
    std::string body = element("IDTextura", "Data/ba\xf1o.bm\xf1") + material("pi\xf1" "a", 0) +
                       "<Flags><Flag>A\xf1O</Flag><Value>1</Value></Flags>";
    int result = -1;
    EXPECT_EQ(loadText(document(body), &result), "");
    ASSERT_EQ(result, 1);
    EXPECT_NE(find_material("pi\xc3\xb1" "a"), nullptr);
    EXPECT_EQ(texture_gl_name("Data/ba\xc3\xb1o.bm\xc3\xb1"), TEXTURE_NOT_LOADED);
    ASSERT_EQ(saveScene(), 1);
    std::string saved = readFile("escena.xml");
    EXPECT_NE(saved.find("<IDTextura>Data/ba\xf1o.bm\xf1</IDTextura>"), std::string::npos);
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    ASSERT_EQ(loadScene(), 1);
    EXPECT_NE(find_material("pi\xc3\xb1" "a"), nullptr);
    EXPECT_NE(findFlag("A\xc3\xb1O"), nullptr);
}
