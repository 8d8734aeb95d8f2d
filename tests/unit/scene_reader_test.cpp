// The scene reader: the messages and untouched scene of a failed load (no file, not well
// formed, invalid, no DTD), what a valid document loads (textures, materials with their frame
// codes, flags, objects with pose, materials, parameters and scale), identifiers, the state
// cleared after a load, and objects read each from its own element.
#include "scene_xml.h"

#include "scene_writer.h"

#include <algorithm>

using namespace scene_xml_test;

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
