// Scene objects: the object table (identifiers, capacity, deleting, cloning, ownership of event
// sets, the solid switch), the deep copy of a record, and the operations on an object (snapping,
// angle wrap, camera sectors, the move, rotate and scale tables, rebuilding the vertices from the
// reference shape).
#include "app_state.h"
#include "camera.h"
#include "generators.h"
#include "objects.h"
#include "operations.h"
#include "parameters.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

using namespace scene_test;

// The events library's record; the table only stores and releases it
struct EventSet {
    int id;
};

namespace {

std::vector<int> released;

void recordRelease(EventSet *set)
{
    released.push_back(set->id);
    delete set;
}

class Objects : public ::testing::Test {
protected:
    void TearDown() override
    {
        clear_objects();
        free_sample_objects();
        set_creation_counter(0);
        set_current_material(nullptr);
        resetAppState();
    }
};

// Stores an object built from explicit parameters, as the scene reader does
int storeBuilt(int kind, std::vector<int> values)
{
    primitiva record = {};
    EXPECT_EQ(build_primitive(kind, values.data(), &record), 1);
    record.nameBase = take_name_base();
    append_material_name(&record, "(default)");
    return store_object(record, nullptr);
}

// A ring of separately allocated edges and vertices at the points given (no vertex where a
// point's x is NaN) with a next-vertex copy on the last edge
arista *bareRing(const std::vector<vertice> &points, vertice next)
{
    arista *ring = nullptr;
    arista **tail = &ring;
    arista *last = nullptr;
    for (const vertice &point : points) {
        last = (arista *)calloc(1, sizeof(arista));
        if (!std::isnan(point.x)) {
            last->vertex = (vertice *)malloc(sizeof(vertice));
            *last->vertex = point;
        }
        *tail = last;
        tail = &last->next;
    }
    last->nextVertex = (vertice *)malloc(sizeof(vertice));
    *last->nextVertex = next;
    return ring;
}

// Compares two rings value by value; every vertex record of the copy is its own
void expectSameRing(const arista *a, const arista *b, std::set<const void *> &sourceRecords)
{
    for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
        EXPECT_EQ(sourceRecords.count(b), 0u);
        ASSERT_EQ(a->vertex == nullptr, b->vertex == nullptr);
        ASSERT_EQ(a->nextVertex == nullptr, b->nextVertex == nullptr);
        if (a->vertex != nullptr) {
            EXPECT_EQ(memcmp(a->vertex, b->vertex, sizeof(vertice)), 0);
            EXPECT_EQ(sourceRecords.count(b->vertex), 0u);
        }
        if (a->nextVertex != nullptr) {
            EXPECT_EQ(memcmp(a->nextVertex, b->nextVertex, sizeof(vertice)), 0);
        }
    }
    EXPECT_TRUE(a == nullptr && b == nullptr) << "rings of different lengths";
}

// Every face, edge and vertex record reachable from the object
std::set<const void *> recordsOf(const primitiva &object)
{
    std::set<const void *> records;
    auto addRing = [&](const arista *edge) {
        for (; edge != nullptr; edge = edge->next) records.insert({edge, edge->vertex, edge->nextVertex});
    };
    for (const cara *face = object.faces; face != nullptr; face = face->next) {
        records.insert(face);
        addRing(face->ring);
        for (const agujero *hole = face->holes; hole != nullptr; hole = hole->next) addRing(hole->ring);
    }
    return records;
}

class Operations : public ::testing::Test {
protected:
    primitiva o = new_primitiva();
    Camera camera{};
    void TearDown() override
    {
        free_primitiva(&o);
        free_sample_objects();
    }
    Camera &heading(float yaw, float pitch = 0.0f) { return camera = Camera{0, 0, 0, yaw, pitch, 0, 0, 0}; }
};

}  // namespace

TEST_F(Objects, IdentifiersCapacityAndDeletion)
{
    EXPECT_EQ(create_object(KIND_RECTANGLE), 0);
    EXPECT_EQ(create_object(KIND_CUBE), 1);
    EXPECT_EQ(create_object(KIND_SPHERE), 2);
    // deleting slot 0 of three keeps the order and drops the lock
    setLockedObject(1);
    ASSERT_EQ(delete_object(0), 1);
    EXPECT_EQ(object_at(0)->nameBase, 200000);
    EXPECT_EQ(object_at(1)->objeto3D, KIND_SPHERE);
    EXPECT_EQ(getLockedObject(), -1);
    EXPECT_EQ(delete_object(2), 0);
    EXPECT_EQ(create_object(KIND_CUBE), 2);
    EXPECT_EQ(object_at(2)->nameBase, 400000);   // not reused while objects remain
    // identifiers start again at 100000 once the scene is empty
    for (int i = 2; i >= 0; i--) EXPECT_EQ(delete_object(i), 1);
    EXPECT_EQ(create_object(KIND_PYRAMID), 0);
    EXPECT_EQ(object_at(0)->nameBase, 100000);
    EXPECT_EQ(create_object(12), -1);

    // the 1001st creation changes nothing
    for (int i = 1; i < MAX_OBJECTS; i++) ASSERT_EQ(create_object(KIND_CUBE), i);
    EXPECT_EQ(create_object(KIND_CUBE), -1);
    EXPECT_EQ(clone_object(0), -1);
    EXPECT_EQ(creation_counter(), 1000);
    EXPECT_EQ(object_at(999)->nameBase, 100000000);
}

TEST_F(Objects, IdentifiersAreRenumberedBeforeTheyOverflow)
{
    create_object(KIND_CUBE);
    create_object(KIND_CUBE);
    set_creation_counter(MAX_CREATION_COUNTER);
    ASSERT_EQ(create_object(KIND_CUBE), 2);
    setLockedObject(MAX_CREATION_COUNTER);   // the object in slot 2
    object_at(0)->dirty = 0;
    ASSERT_EQ(create_object(KIND_CUBE), 3);
    for (int i = 0; i < 4; i++) EXPECT_EQ(object_at(i)->nameBase, (i + 1) * 100000);
    EXPECT_EQ(object_at(0)->dirty, 1);   // its display list carries the old names
    EXPECT_EQ(getLockedObject(), 2);
    EXPECT_EQ(creation_counter(), 4);
}

TEST_F(Objects, NewObjectsAndClonesStandAtTheCamera)
{
    set_current_material("ladrillo");
    setCamera(Camera{5.0f, 30.0f, -7.0f, 10.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    ASSERT_EQ(create_object(KIND_CUBE), 0);
    primitiva *source = object_at(0);
    EXPECT_TRUE(source->pose.x == 5.0f && source->pose.z == -7.0f && source->pose.yaw == 10.0f);
    source->pose.pitch = 10.0f;
    source->scaleX = 2.0f;
    source->scaleY = 1.5f;
    finish_scaling(source);

    set_current_material(nullptr);
    setCamera(Camera{-1.0f, 30.0f, 4.0f, 90.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    ASSERT_EQ(clone_object(0), 1);
    const primitiva *copy = object_at(1);
    EXPECT_TRUE(copy->pose.x == -1.0f && copy->pose.yaw == 10.0f && copy->pose.pitch == 10.0f);
    EXPECT_EQ(copy->scaleY, 1.5f);
    EXPECT_STREQ(first_material_name(copy), "ladrillo");
    EXPECT_TRUE(spanOf(*copy) == (Span{-4, 4, -3, 3, -2, 2}));
}

TEST_F(Objects, CloneAndRescaleWorkFromTheObjectsOwnParameters)
{
    build_sample_objects();
    // a sphere as a scene file may hold it: other radii and segment counts, scaled on load
    ASSERT_EQ(storeBuilt(KIND_SPHERE, {6, 4, 8, 3, 2}), 0);
    Span reference = spanOf(*object_at(0));
    rescale_geometry(object_at(0), 2.0f, 2.0f, 2.0f);
    ASSERT_EQ(clone_object(0), 1);
    EXPECT_EQ(object_at(1)->numCaras, 48);
    EXPECT_TRUE(spanOf(*object_at(1)) == spanOf(*object_at(0)));
    primitiva *clone = object_at(1);
    clone->scaleX = clone->scaleY = clone->scaleZ = 1.0f;
    finish_scaling(clone);
    EXPECT_TRUE(spanOf(*clone) == reference);

    // the switches of the source go with the copy
    ASSERT_EQ(storeBuilt(KIND_CYLINDER, {0, 1, 4, 4, 4, 4, 2}), 2);
    ASSERT_EQ(clone_object(2), 3);
    EXPECT_EQ(is_solid(object_at(3)), 0);
    EXPECT_EQ(cull_face(object_at(3)), 1);
    EXPECT_EQ(faces_to_draw(object_at(3)), 8);
}

TEST(Records, ACopyHoldsTheSameValuesAndSharesNoRecord)
{
    // a generated sphere with, on its first face, a hole of three edges (one without a vertex)
    // and its own material names on the second
    primitiva source = {};
    int values[] = {6, 4, 8, 3, 2};
    ASSERT_EQ(build_primitive(KIND_SPHERE, values, &source), 1);
    source.faces->holes = (agujero *)calloc(1, sizeof(agujero));
    source.faces->holes->numAristas = 3;
    source.faces->holes->ring =
        bareRing({{1, 2, 3, 0, 0, 1}, {NAN, 0, 0, 0, 0, 0}, {4, 5, 6, 1, 0, 0}}, {7, 8, 9, 0, 1, 0});
    list_append(&source.faces->next->materials, strdup("oro"));
    append_material_name(&source, "ladrillo");
    source.pose.x = 3.5f;

    primitiva copy = {};
    ASSERT_EQ(copy_primitiva(&source, &copy), 1);
    std::set<const void *> sourceRecords = recordsOf(source);
    EXPECT_EQ(copy.numCaras, source.numCaras);
    EXPECT_EQ(copy.pose.x, 3.5f);
    EXPECT_NE(copy.caract, source.caract);
    EXPECT_EQ(memcmp(copy.caract, source.caract, sizeof(caract_record)), 0);
    EXPECT_NE(first_material_name(&copy), first_material_name(&source));
    EXPECT_STREQ(first_material_name(&copy), "ladrillo");
    const cara *a = source.faces, *b = copy.faces;
    int faces = 0;
    for (; a != nullptr && b != nullptr; a = a->next, b = b->next, faces++) {
        EXPECT_EQ(sourceRecords.count(b), 0u);
        EXPECT_TRUE(a->numVertices == b->numVertices && a->group == b->group);
        EXPECT_EQ(memcmp(a->normal, b->normal, sizeof a->normal), 0);
        expectSameRing(a->ring, b->ring, sourceRecords);
        ASSERT_EQ(a->holes == nullptr, b->holes == nullptr);
        if (a->holes != nullptr) {
            EXPECT_EQ(b->holes->numAristas, 3);
            EXPECT_EQ(b->holes->next, nullptr);
            expectSameRing(a->holes->ring, b->holes->ring, sourceRecords);
        }
        ASSERT_EQ(a->materials == nullptr, b->materials == nullptr);
        if (a->materials != nullptr) {
            EXPECT_NE(b->materials->value, a->materials->value);
            EXPECT_STREQ((const char *)b->materials->value, "oro");
        }
    }
    EXPECT_TRUE(a == nullptr && b == nullptr) << "face lists of different lengths";
    EXPECT_EQ(faces, 48);

    // each is released on its own, the source first
    free_primitiva(&source);
    EXPECT_EQ(copy.faces->holes->ring->next->vertex, nullptr);
    EXPECT_EQ(copy.faces->holes->ring->next->next->nextVertex->y, 8.0f);
    free_primitiva(&copy);
    EXPECT_EQ(copy.faces, nullptr);
    EXPECT_EQ(copy.geometry, nullptr);
}

TEST_F(Objects, EventSetsAreReleasedWithTheirObjects)
{
    set_event_set_release(recordRelease);
    for (int i = 0; i < 3; i++) create_object(KIND_CUBE);
    set_slot_event_set(0, new EventSet{10});
    set_slot_event_set(1, new EventSet{11});
    set_slot_event_set(2, new EventSet{12});
    set_slot_event_set(2, new EventSet{13});   // replacing releases the old one
    delete_object(1);
    EXPECT_EQ(released, std::vector<int>({12, 11}));
    EXPECT_EQ(slot_event_set(1)->id, 13);   // moved down with its object
    EXPECT_EQ(store_object(generate_kind(KIND_CYLINDER), new EventSet{14}), 2);
    clear_objects();
    EXPECT_EQ(released, std::vector<int>({12, 11, 10, 13, 14}));
    set_event_set_release(nullptr);
}

TEST_F(Operations, SnappingWrapAndSectors)
{
    for (auto [in, out] : {std::pair{0.125f, 0.13f}, {-0.125f, -0.13f}, {0.004f, 0.0f}, {-0.006f, -0.01f}})
        EXPECT_EQ(snap_hundredths(in), out) << in;
    o.pose.x = 0.004f;
    EXPECT_EQ(move_object(&o, &heading(0.0f), 0.1f, DIRECTION_LEFT), 1);
    EXPECT_EQ(o.pose.x, -0.01f);

    o.pose.yaw = 359.5f;
    rotate_object(&o, &heading(0.0f, 60.0f), 10.0f, DIRECTION_RIGHT);   // steep: right turns the yaw
    EXPECT_FLOAT_EQ(o.pose.yaw, 0.5f);
    rotate_object(&o, &camera, 10.0f, DIRECTION_LEFT);
    EXPECT_FLOAT_EQ(o.pose.yaw, 359.5f);
    o.pose.roll = 350.0f;
    add_roll(&o, 10.0f);
    EXPECT_EQ(o.pose.roll, 360.0f);   // 360 itself stays
    add_pitch(&o, -30.0f);
    EXPECT_EQ(o.pose.pitch, 330.0f);

    for (auto [yaw, sector] : {std::pair{0.0f, 0}, {44.99f, 0}, {45.0f, 1}, {135.0f, 2}, {224.99f, 2}, {225.0f, 3},
                               {315.0f, 0}, {359.99f, 0}, {360.0f, -1}, {-1.0f, -1}})
        EXPECT_EQ(heading_sector(yaw), sector) << "yaw " << yaw;
    EXPECT_EQ(pitch_is_level(44.99f), 1);
    EXPECT_EQ(pitch_is_level(-45.01f), 0);

    // a yaw of exactly 360 is in no sector: only the heading-free steps apply
    o.pose = object_pose{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};
    EXPECT_EQ(move_object(&o, &heading(360.0f), 10.0f, DIRECTION_LEFT), 0);
    EXPECT_EQ(rotate_object(&o, &camera, 10.0f, DIRECTION_UP), 0);
    EXPECT_EQ(scale_object_axis(&o, &camera, 10.0f, DIRECTION_RIGHT), 0);
    EXPECT_EQ(move_object(&o, &camera, 10.0f, DIRECTION_UP), 1);
    EXPECT_TRUE(o.pose.x == 1.0f && o.pose.y == 3.0f && o.pose.pitch == 5.0f && o.scaleX == 1.0f);
    EXPECT_EQ(move_object(&o, &heading(0.0f), 10.0f, 45.0f), 0);   // not a direction
}

TEST_F(Operations, MovesAndRotationsFollowTheViewersHeading)
{
    // (yaw, pitch, direction) -> (dx, dz) for amount 10, i.e. a step of 1
    struct Move {
        float yaw, pitch, direction, dx, dz;
    } moves[] = {
        {0, 0, DIRECTION_LEFT, -1, 0}, {90, 0, DIRECTION_LEFT, 0, 1}, {180, 0, DIRECTION_LEFT, 1, 0},
        {270, 0, DIRECTION_LEFT, 0, -1}, {0, 0, DIRECTION_RIGHT, 1, 0}, {90, 0, DIRECTION_RIGHT, 0, -1},
        {0, -80, DIRECTION_UP, 0, -1}, {90, -80, DIRECTION_UP, -1, 0}, {180, -80, DIRECTION_UP, 0, 1},
        {270, 50, DIRECTION_DOWN, -1, 0}, {0, 50, DIRECTION_DOWN, 0, 1},
    };
    for (const Move &m : moves) {
        o.pose = object_pose{};
        move_object(&o, &heading(m.yaw, m.pitch), 10.0f, m.direction);
        EXPECT_TRUE(o.pose.x == m.dx && o.pose.y == 0.0f && o.pose.z == m.dz) << m.yaw << " " << m.direction;
    }
    o.pose = object_pose{};
    move_object(&o, &heading(200.0f, 10.0f), 10.0f, DIRECTION_UP);   // level: up is Y
    EXPECT_EQ(o.pose.y, 1.0f);

    o.pose = object_pose{0, 0, 0, 0, 0, 10};
    rotate_object(&o, &heading(10.0f), 10.0f, DIRECTION_LEFT);   // H0 level: left is roll - s
    EXPECT_EQ(o.pose.roll, 9.0f);
    rotate_object(&o, &camera, 10.0f, DIRECTION_UP);   // up is pitch + s
    EXPECT_EQ(o.pose.pitch, 1.0f);
    rotate_object(&o, &heading(100.0f), 10.0f, DIRECTION_LEFT);   // H1: left is yaw + s
    EXPECT_EQ(o.pose.yaw, 1.0f);
    rotate_object(&o, &heading(300.0f), 10.0f, DIRECTION_DOWN);   // H3: down is roll - s
    EXPECT_EQ(o.pose.roll, 8.0f);
}

TEST_F(Operations, ScalingHasFloorsAndFollowsTheViewer)
{
    o.scaleX = o.scaleY = o.scaleZ = 0.05f;
    scale_object_uniform(&o, 1.0f, DIRECTION_LEFT);
    EXPECT_TRUE(o.scaleX == 0.01f && o.scaleY == 0.01f && o.scaleZ == 0.01f);
    add_scale_y(&o, -5.0f);
    EXPECT_EQ(o.scaleY, 0.0f);

    o.scaleX = o.scaleY = o.scaleZ = 1.0f;
    scale_object_axis(&o, &heading(0.0f, -70.0f), 1.0f, DIRECTION_UP);   // H0 steep: up shrinks Z
    EXPECT_TRUE(o.scaleZ == 0.9f && o.scaleX == 1.0f && o.scaleY == 1.0f);
    scale_object_axis(&o, &heading(90.0f), 2.0f, DIRECTION_RIGHT);   // H1 level: right grows Z
    EXPECT_EQ(o.scaleZ, 1.1f);
    o.scaleX = 0.03f;
    scale_object_axis(&o, &heading(270.0f, 60.0f), 1.0f, DIRECTION_UP);   // H3 steep: up shrinks X, floored
    EXPECT_EQ(o.scaleX, 0.01f);
}

TEST_F(Operations, RescalingStartsFromTheReferenceShape)
{
    for (bool samples : {false, true}) {   // with or without the sample objects to start from
        if (samples) build_sample_objects();
        free_primitiva(&o);
        o = generate_kind(KIND_CUBE);
        rescale_geometry(&o, 3.0f, 3.0f, 3.0f);
        o.scaleX = 2.0f;
        o.scaleY = o.scaleZ = 1.0f;
        finish_scaling(&o);
        EXPECT_TRUE(spanOf(o) == (Span{-4, 4, -2, 2, -2, 2}));
        EXPECT_FLOAT_EQ(o.faces->ring->vertex->nx * o.faces->ring->vertex->nx * 3.0f, 1.0f);   // normals kept
    }
    // an object built from other parameters goes back to its own shape
    int values[] = {1, 1, 10, 6, 20, 2, 3};
    free_primitiva(&o);
    ASSERT_EQ(build_primitive(KIND_HALF_CYLINDER, values, &o), 1);
    Span unscaled = spanOf(o);
    rescale_geometry(&o, 0.5f, 2.0f, 1.0f);
    ASSERT_EQ(reset_to_reference(&o), 1);
    EXPECT_TRUE(spanOf(o) == unscaled);
}
