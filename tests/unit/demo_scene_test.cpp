// The demo scene shipped as the default escena.xml: it loads and saves back to the same bytes,
// every bitmap it names is in the run data, and it shows off play mode (a door opened by a
// click, an endless turn, a reaction to the viewer coming near). The mixed scene of the
// benchmarks: a load gives every object the geometry it had, and saves back the same bytes.
#include "mixed_scene.h"
#include "operations.h"
#include "scene_file_support.h"

#include <cstring>

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

class MixedScene : public SceneDirTest {};

// Every number of an object's faces, rings and vertices (normals included), bit for bit
std::vector<uint32_t> geometryOf(const primitiva *object)
{
    std::vector<uint32_t> values;
    auto add = [&values](const float *numbers, size_t count) {
        for (size_t i = 0; i < count; i++) {
            uint32_t bits;
            memcpy(&bits, &numbers[i], sizeof bits);
            values.push_back(bits);
        }
    };
    for (const cara *face : scene_test::facesOf(*object)) {
        values.push_back((uint32_t)face->numVertices);
        values.push_back((uint32_t)face->group);
        add(face->normal, 3);
        for (const vertice *v : scene_test::ringOf(face)) add(&v->x, 6);
    }
    return values;
}

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

TEST_F(MixedScene, ALoadGivesEveryObjectItsGeometryAndSavesTheSameBytes)
{
    // five objects of every kind, some of them scaled (the file keeps only the factors)
    ASSERT_TRUE(buildMixedScene(60));
    for (int i = 0; i < object_count(); i += 3) rescale_geometry(object_at(i), 2.5f, 1.0f, 0.3f);
    std::vector<std::vector<uint32_t>> built;
    for (int i = 0; i < object_count(); i++) built.push_back(geometryOf(object_at(i)));
    ASSERT_EQ(saveScene(), 1);

    // NOTE: the materials are written in the order of the material table's buckets, where
    // names sharing a bucket trade places from one load to the next: the flags and objects
    // that follow them come back the same bytes after every load
    std::string saved;
    for (int round = 0; round < 2; round++) {
        saved = readFile("escena.xml");
        ASSERT_EQ(loadScene(), 1);
        ASSERT_EQ(object_count(), 60);
        for (int i = 0; i < object_count(); i++)
            EXPECT_EQ(geometryOf(object_at(i)), built[(size_t)i]) << "object " << i << " of load " << round;
        ASSERT_EQ(saveScene(), 1);
        const std::string again = readFile("escena.xml");
        ASSERT_NE(saved.find("<Flags>"), std::string::npos);
        EXPECT_TRUE(again.substr(again.find("<Flags>")) == saved.substr(saved.find("<Flags>")))
            << "load " << round << " and a save changed the objects";
    }
}
