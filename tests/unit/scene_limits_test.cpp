// The scene reader's events (slots, unknown kinds, codes met twice) and the limits a valid
// document can break: more than 1000 objects, more than 8 conditions in an event, event codes
// outside 0 to 15, names longer than 255 characters, too many faces, a shape the DTD of the
// document allows but the scene file does not; names outside ASCII.
#include "scene_xml.h"

#include "scene_writer.h"

using namespace scene_xml_test;

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
