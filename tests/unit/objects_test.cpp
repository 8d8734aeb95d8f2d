// The object table: identifiers, capacity, deleting, cloning, ownership of event sets, the
// solid switch.
#include "app_state.h"
#include "camera.h"
#include "generators.h"
#include "objects.h"
#include "operations.h"
#include "parameters.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

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

TEST_F(Objects, FacesToDrawFollowsTheSolidSwitch)
{
    // a hollow cylinder draws its outer wall, flat kinds their front, closed kinds stay solid
    const int drawn[PRIMITIVE_KINDS] = {1, 1, 1, 5, 6, 1, 1, 6, 32, 16, 512, 288};
    for (int kind = 0; kind < PRIMITIVE_KINDS; kind++) {
        primitiva *o = object_at(create_object(kind));
        EXPECT_EQ(faces_to_draw(o), o->numCaras);
        toggle_solido(o);
        EXPECT_EQ(faces_to_draw(o), drawn[kind]) << "kind " << kind;
    }
}
