// The demo scene shipped as the default escena.xml: it is exactly what a save of the scene
// writes, it loads back to the same bytes, every bitmap it names is in the run data, and it
// shows off play mode (a door opened by a click, an endless turn, a reaction to the viewer
// coming near, a flag set by one object and tested by another) in front of the start camera.
#include "demo_scene.h"
#include "scene_file_support.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "view_projection.h"

#include <cmath>
#include <map>
#include <set>

using namespace scene_file_test;

namespace {

class DemoScene : public SceneDirTest {
protected:
    void SetUp() override
    {
        SceneDirTest::SetUp();
        shipped = readFile(std::string(SW_RUNDATA_DIR) + "/escena.xml");
        ASSERT_FALSE(shipped.empty());
        writeFile("escena.xml", shipped);
        ASSERT_EQ(loadScene(), 1);
    }
    std::string shipped;
};

// The start camera
constexpr double EYE_X = -41.51, EYE_Y = 30.0, EYE_Z = 38.74, YAW = 314.22, PITCH = -8.82;

double distanceFromStart(const primitiva *o)
{
    double dx = o->pose.x - EYE_X, dy = o->pose.y - EYE_Y, dz = o->pose.z - EYE_Z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool isGroundTile(const primitiva *o) { return o->objeto3D == KIND_RECTANGLE && o->pose.pitch == 270.0f; }

// Every (object, event) pair whose event holds something
struct EventRef {
    int object;
    const Event *event;
};

std::vector<EventRef> allEvents()
{
    std::vector<EventRef> events;
    for (int i = 0; i < object_count(); i++) {
        const EventSet *set = slot_event_set(i);
        if (set == nullptr) continue;
        for (const Event &e : set->events)
            if (!eventIsEmpty(&e)) events.push_back(EventRef{i, &e});
    }
    return events;
}

bool hasCondition(const Event *e, int kind)
{
    for (int s = 0; s < e->conditionCount; s++)
        if (e->conditions[(size_t)s].kind == kind) return true;
    return false;
}

std::vector<int> chainKinds(const Event *e)
{
    std::vector<int> kinds;
    for (const Consequence *c = e->firstConsequence; c != nullptr; c = c->next) kinds.push_back(c->kind);
    return kinds;
}

}  // namespace

TEST_F(DemoScene, TheShippedFileIsWhatASaveWritesAndItLoadsBackToTheSameBytes)
{
    EXPECT_TRUE(xmllintAccepts("escena.xml"));
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), shipped);

    releaseScene();
    freshScene();
    buildDemoScene();
    ASSERT_EQ(saveScene(), 1);
    EXPECT_EQ(readFile("escena.xml"), shipped);
}

TEST_F(DemoScene, EveryBitmapItNamesIsInTheRunData)
{
    std::vector<std::string> textures = keysInOrder(texture_table());
    std::set<std::string> named(textures.begin(), textures.end());
    for (const char *bitmap : {"Data/ladrillo.bmp", "Data/madera.bmp", "Data/suelo.bmp", "Data/cesped.bmp",
                               "Data/marmol.bmp", "Data/agua1.bmp", "Data/agua2.bmp", "Data/agua3.bmp"})
        EXPECT_EQ(named.count(bitmap), 1u) << bitmap;
    for (const std::string &name : textures)
        EXPECT_TRUE(fileExists(std::string(SW_RUNDATA_DIR) + "/" + name)) << name;

    // still and animated textures, every frame in the texture table
    int still = 0, animated = 0;
    for (const std::string &name : keysInOrder(material_table())) {
        const material_record *m = find_material(name.c_str());
        if (!material_is_textured(m)) continue;
        (m->texture->multiple == 0 ? still : animated)++;
        for (const std::string &frame : m->texture->frames) EXPECT_EQ(named.count(frame), 1u) << frame;
    }
    EXPECT_GE(still, 3);
    EXPECT_GE(animated, 1);
}

TEST_F(DemoScene, SeveralKindsStandOnAGroundInFrontOfTheStartCamera)
{
    std::set<int> kinds;
    int ground = 0, inView = 0, others = 0;
    for (int i = 0; i < object_count(); i++) {
        const primitiva *o = object_at(i);
        kinds.insert(o->objeto3D);
        const char *material = first_material_name(o);
        ASSERT_NE(material, nullptr);
        EXPECT_NE(find_material(material), nullptr) << material;
        if (isGroundTile(o)) {
            ground++;
            EXPECT_TRUE(std::string(material) == "suelo" || std::string(material) == "cesped") << material;
            EXPECT_GE(get_parameter(o, RECT_LADO_HOR), 90);
            continue;
        }
        others++;
        view_test::ScreenPoint p = view_test::projectPoint(o->pose.x, o->pose.y, o->pose.z, EYE_X, EYE_Y, EYE_Z, YAW, PITCH);
        if (view_test::onScreen(p)) inView++;
    }
    EXPECT_GE(kinds.size(), 8u);
    EXPECT_GE(ground, 1);
    EXPECT_GE(others, 8);
    EXPECT_EQ(inView, others) << "every object but the ground is in the first view";
}

TEST_F(DemoScene, EventsShowOffPlayMode)
{
    std::vector<EventRef> events = allEvents();
    ASSERT_GE(events.size(), 4u);
    bool opensOnClick = false, turnsForever = false, reactsNear = false;
    std::map<std::pair<std::string, int>, int> setBy, testedBy;
    for (const EventRef &ref : events) {
        const Event *e = ref.event;
        EXPECT_GT(e->conditionCount, 0) << "an event with no conditions never starts";
        std::vector<int> chain = chainKinds(e);
        ASSERT_EQ((int)chain.size(), e->consequenceCount);
        bool rotatingLoop = chain.size() >= 3 && chain[0] == cLoop && chain[1] == cRotateObj && chain[2] == cAgain;
        if (hasCondition(e, cActivate) && rotatingLoop && loopValueOf(e->firstConsequence)->count > 0)
            opensOnClick = true;
        for (int s = 0; s < e->conditionCount; s++) {
            const Condition &c = e->conditions[(size_t)s];
            if (c.kind == cDistanceMY && distanceValueOf(&c)->distance == 0 && rotatingLoop &&
                loopValueOf(e->firstConsequence)->count == 0)
                turnsForever = true;
            if (c.kind == cDistanceMN && distanceValueOf(&c)->distance == 120 &&
                distanceFromStart(object_at(ref.object)) > 120 && !chain.empty() &&
                (chain[0] == cChangeMat || chain[0] == cMoveObj))
                reactsNear = true;
            if (c.kind == cFlag) testedBy[{flagValueOf(&c)->name, flagValueOf(&c)->value}] = ref.object;
        }
        for (const Consequence *link = e->firstConsequence; link != nullptr; link = link->next) {
            if (link->kind == cFlagEqual) setBy[{flagValueOf(link)->name, flagValueOf(link)->value}] = ref.object;
            if (link->kind == cChangeMat) {
                EXPECT_NE(find_material(changeMatValueOf(link)->material.c_str()), nullptr);
            }
        }
    }
    EXPECT_TRUE(opensOnClick);
    EXPECT_TRUE(turnsForever);
    EXPECT_TRUE(reactsNear);
    bool flagLinksTwoObjects = false;
    for (const auto &set : setBy) {
        auto tested = testedBy.find(set.first);
        if (tested != testedBy.end() && tested->second != set.second && findFlag(set.first.first) != nullptr &&
            findFlag(set.first.first)->value != set.first.second)
            flagLinksTwoObjects = true;
    }
    EXPECT_TRUE(flagLinksTwoObjects) << "a flag set by one object's consequence and tested by another's condition";
}
