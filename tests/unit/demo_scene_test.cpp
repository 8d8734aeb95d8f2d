// The demo scene shipped as the default escena.xml: it loads and saves back to the same bytes,
// every bitmap it names is in the run data, and it shows off play mode (a door opened by a
// click, an endless turn, a reaction to the viewer coming near).
#include "scene_file_support.h"

using namespace scene_file_test;

namespace {

class DemoScene : public SceneDirTest {
protected:
    void SetUp() override
    {
        SceneDirTest::SetUp();
        shipped = readFile(std::string(SW_RUNDATA_DIR) + "/escena.xml");
        writeFile("escena.xml", shipped);
        ASSERT_EQ(loadScene(), 1);
    }
    std::string shipped;
};

}  // namespace

TEST_F(DemoScene, ItSavesBackToTheSameBytesAndItsBitmapsAreInTheRunData)
{
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), shipped);
    for (const std::string &name : hash_table_keys(texture_table()))
        EXPECT_TRUE(fileExists(std::string(SW_RUNDATA_DIR) + "/" + name)) << name;
    int still = 0, animated = 0;
    for (const std::string &name : hash_table_keys(material_table())) {
        const material_record *m = find_material(name.c_str());
        if (material_is_textured(m)) (m->texture->multiple == 0 ? still : animated)++;
    }
    EXPECT_GE(still, 3);
    EXPECT_GE(animated, 1);
}

TEST_F(DemoScene, EventsShowOffPlayMode)
{
    bool opensOnClick = false, turnsForever = false, reactsNear = false;
    for (int i = 0; i < object_count(); i++) {
        const EventSet *set = slot_event_set(i);
        for (int slot = 0; set != nullptr && slot < EVENTS_PER_SET; slot++) {
            const Event *e = &set->events[(size_t)slot];
            if (eventIsEmpty(e)) continue;
            EXPECT_GT(e->conditionCount, 0) << "an event with no conditions never starts";
            const Consequence *first = e->firstConsequence;
            bool rotatingLoop = first != nullptr && first->kind == cLoop && first->next != nullptr &&
                                first->next->kind == cRotateObj;
            for (int s = 0; s < e->conditionCount; s++) {
                const Condition &c = e->conditions[(size_t)s];
                opensOnClick |= c.kind == cActivate && rotatingLoop && loopValueOf(first)->count > 0;
                turnsForever |= c.kind == cDistanceMY && rotatingLoop && loopValueOf(first)->count == 0;
                reactsNear |= c.kind == cDistanceMN && distanceValueOf(&c)->distance == 120 && first != nullptr;
            }
        }
    }
    EXPECT_TRUE(opensOnClick);
    EXPECT_TRUE(turnsForever);
    EXPECT_TRUE(reactsNear);
}
