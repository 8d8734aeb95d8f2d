// The object table: identifiers, capacity, deleting, cloning, ownership of event sets and
// display-list cells, the solid switch and the sample objects.
#include "app_state.h"
#include "camera.h"
#include "generators.h"
#include "objects.h"
#include "operations.h"
#include "parameters.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
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
    void SetUp() override
    {
        clear_objects();
        set_creation_counter(0);
        set_current_material(nullptr);
        setCamera(Camera{});
        resetAppState();
        released.clear();
        set_event_set_release(recordRelease);
    }
    void TearDown() override
    {
        clear_objects();
        free_sample_objects();
        set_event_set_release(nullptr);
        set_creation_counter(0);
    }
};

void expectSameCoordinates(const primitiva &a, const primitiva &b)
{
    std::vector<const cara *> fa = facesOf(a), fb = facesOf(b);
    ASSERT_EQ(fa.size(), fb.size());
    for (size_t i = 0; i < fa.size(); i++) {
        std::vector<const vertice *> ra = ringOf(fa[i]), rb = ringOf(fb[i]);
        ASSERT_EQ(ra.size(), rb.size());
        for (size_t j = 0; j < ra.size(); j++) {
            EXPECT_EQ(ra[j]->x, rb[j]->x);
            EXPECT_EQ(ra[j]->y, rb[j]->y);
            EXPECT_EQ(ra[j]->z, rb[j]->z);
        }
    }
}

}  // namespace

TEST_F(Objects, IdentifiersRestartOnlyWhenTheSceneIsEmpty)
{
    EXPECT_EQ(create_object(KIND_CUBE), 0);
    EXPECT_EQ(create_object(KIND_SPHERE), 1);
    EXPECT_EQ(object_at(0)->nameBase, 100000);
    EXPECT_EQ(object_at(1)->nameBase, 200000);

    EXPECT_EQ(delete_object(0), 1);
    EXPECT_EQ(create_object(KIND_CUBE), 1);
    EXPECT_EQ(object_at(1)->nameBase, 300000);   // not reused while objects remain

    EXPECT_EQ(delete_object(1), 1);
    EXPECT_EQ(delete_object(0), 1);
    EXPECT_EQ(object_count(), 0);
    EXPECT_EQ(creation_counter(), 0);
    EXPECT_EQ(create_object(KIND_PYRAMID), 0);
    EXPECT_EQ(object_at(0)->nameBase, 100000);
    EXPECT_EQ(find_object_by_name_base(100000), 0);
    EXPECT_EQ(find_object_by_name_base(200000), -1);
}

TEST_F(Objects, CreationRefusesBadKindsAndAFullTable)
{
    EXPECT_EQ(create_object(12), -1);
    EXPECT_EQ(create_object(-1), -1);
    EXPECT_EQ(object_count(), 0);
    EXPECT_EQ(creation_counter(), 0);

    for (int i = 0; i < MAX_OBJECTS; i++) ASSERT_EQ(create_object(KIND_CUBE), i);
    EXPECT_EQ(object_count(), 1000);
    EXPECT_EQ(create_object(KIND_CUBE), -1);
    EXPECT_EQ(clone_object(0), -1);
    EXPECT_EQ(object_count(), 1000);
    EXPECT_EQ(creation_counter(), 1000);
    EXPECT_EQ(object_at(999)->nameBase, 100000000);

    primitiva extra = generate_kind(KIND_CUBE);
    EXPECT_EQ(store_object(extra, nullptr), -1);   // left to the caller
    free_primitiva(&extra);
}

TEST_F(Objects, NewObjectStandsAtTheCameraWithTheCurrentMaterial)
{
    setCamera(Camera{1.0f, 2.0f, 3.0f, 10.0f, 20.0f, 30.0f, 0.0f, 0.0f});
    ASSERT_EQ(create_object(KIND_TRIANGLE), 0);
    const primitiva *o = object_at(0);
    EXPECT_EQ(o->pose.x, 1.0f);
    EXPECT_EQ(o->pose.z, 3.0f);
    EXPECT_EQ(o->pose.yaw, 10.0f);
    EXPECT_EQ(o->pose.roll, 30.0f);
    EXPECT_EQ(o->dirty, 1);
    EXPECT_EQ(o->scaleY, 1.0f);
    EXPECT_STREQ(first_material_name(o), "(default)");
    EXPECT_EQ(material_name_count(o), 1);
    ASSERT_NE(slot_display_list(0), nullptr);
    EXPECT_EQ(*slot_display_list(0), 0u);
    EXPECT_EQ(slot_event_set(0), nullptr);

    char name[16];
    strcpy(name, "ladrillo");
    set_current_material(name);
    ASSERT_EQ(create_object(KIND_CUBE), 1);
    strcpy(name, "cambiado");   // the object keeps its own copy
    EXPECT_STREQ(first_material_name(object_at(1)), "ladrillo");
    EXPECT_STREQ(current_material(), "ladrillo");
    EXPECT_NE(slot_display_list(0), slot_display_list(1));

    set_first_material_name(object_at(1), name);
    append_material_name(object_at(1), "otro");
    EXPECT_STREQ(material_name_at(object_at(1), 0), "cambiado");
    EXPECT_STREQ(material_name_at(object_at(1), 1), "otro");
    EXPECT_EQ(material_name_at(object_at(1), 2), nullptr);
}

TEST_F(Objects, DeletingSlotZeroKeepsTheOrderAndUnlocks)
{
    create_object(KIND_RECTANGLE);
    create_object(KIND_CUBE);
    create_object(KIND_SPHERE);
    setLockedObject(1);
    ASSERT_EQ(delete_object(0), 1);
    EXPECT_EQ(object_count(), 2);
    EXPECT_EQ(object_at(0)->objeto3D, KIND_CUBE);
    EXPECT_EQ(object_at(0)->nameBase, 200000);
    EXPECT_EQ(object_at(1)->objeto3D, KIND_SPHERE);
    EXPECT_EQ(object_at(1)->nameBase, 300000);
    EXPECT_EQ(object_at(2), nullptr);
    EXPECT_EQ(getLockedObject(), -1);
    EXPECT_EQ(copy_object(2).objeto3D, -1);
    EXPECT_EQ(copy_object(1).nameBase, 300000);

    EXPECT_EQ(delete_object(2), 0);
    EXPECT_EQ(delete_object(-1), 0);
    EXPECT_EQ(object_count(), 2);
}

TEST_F(Objects, EventSetsAreReleasedWithTheirObjects)
{
    create_object(KIND_CUBE);
    create_object(KIND_CUBE);
    create_object(KIND_CUBE);
    set_slot_event_set(0, new EventSet{10});
    set_slot_event_set(1, new EventSet{11});
    set_slot_event_set(2, new EventSet{12});
    set_slot_event_set(2, new EventSet{13});   // replacing releases the old one
    EXPECT_EQ(released, std::vector<int>({12}));

    delete_object(1);
    EXPECT_EQ(released, std::vector<int>({12, 11}));
    EXPECT_EQ(slot_event_set(1)->id, 13);   // moved down with its object

    primitiva loaded = generate_kind(KIND_CYLINDER);
    EXPECT_EQ(store_object(loaded, new EventSet{14}), 2);
    EXPECT_EQ(object_count(), 3);
    EXPECT_EQ(creation_counter(), 3);   // storing does not count a creation

    clear_objects();
    EXPECT_EQ(object_count(), 0);
    EXPECT_EQ(released, std::vector<int>({12, 11, 10, 13, 14}));
    EXPECT_EQ(object_slot(0), nullptr);
}

TEST_F(Objects, CloneOfAScaledCubeKeepsShapeScaleAndOrientation)
{
    setCamera(Camera{5.0f, 30.0f, -7.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    ASSERT_EQ(create_object(KIND_CUBE), 0);
    primitiva *source = object_at(0);
    source->pose.yaw = 30.0f;
    source->pose.pitch = 10.0f;
    source->pose.roll = 5.0f;
    source->promediado = 1;
    source->wireFrame = 1;
    set_first_material_name(source, "ladrillo");
    source->scaleX = 2.0f;
    source->scaleY = 1.5f;
    finish_scaling(source);

    setCamera(Camera{-1.0f, 30.0f, 4.0f, 90.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    ASSERT_EQ(clone_object(0), 1);
    const primitiva *copy = object_at(1);
    EXPECT_EQ(copy->nameBase, 200000);
    EXPECT_EQ(copy->pose.x, -1.0f);
    EXPECT_EQ(copy->pose.z, 4.0f);
    EXPECT_EQ(copy->pose.yaw, 30.0f);
    EXPECT_EQ(copy->pose.pitch, 10.0f);
    EXPECT_EQ(copy->pose.roll, 5.0f);
    EXPECT_EQ(copy->scaleX, 2.0f);
    EXPECT_EQ(copy->scaleY, 1.5f);
    EXPECT_EQ(copy->scaleZ, 1.0f);
    EXPECT_EQ(copy->promediado, 1);
    EXPECT_EQ(copy->wireFrame, 1);
    EXPECT_STREQ(first_material_name(copy), "ladrillo");
    EXPECT_EQ(material_name_count(copy), 1);
    EXPECT_STREQ(current_material(), "(default)");
    Span s = spanOf(*copy);
    EXPECT_EQ(s.minX, -4.0f); EXPECT_EQ(s.maxX, 4.0f);
    EXPECT_EQ(s.minY, -3.0f); EXPECT_EQ(s.maxY, 3.0f);
    EXPECT_EQ(s.minZ, -2.0f); EXPECT_EQ(s.maxZ, 2.0f);
    EXPECT_EQ(clone_object(5), -1);
}

TEST_F(Objects, CloneAndRescaleOfAnObjectWithItsOwnParameters)
{
    build_sample_objects();
    // a sphere as a scene file may hold it: other radii and segment counts, scaled on load
    int values[] = {6, 4, 8, 3, 2};
    primitiva loaded = {};
    ASSERT_EQ(build_primitive(KIND_SPHERE, values, &loaded), 1);
    loaded.nameBase = take_name_base();
    append_material_name(&loaded, "(default)");
    rescale_geometry(&loaded, 2.0f, 2.0f, 2.0f);
    ASSERT_EQ(store_object(loaded, nullptr), 0);

    ASSERT_EQ(clone_object(0), 1);
    EXPECT_EQ(object_at(1)->numCaras, 48);
    EXPECT_EQ(object_at(1)->caract->values[ESF_SEGMENTOS_X], 3);
    expectSameCoordinates(*object_at(1), *object_at(0));

    // rescaling goes back to this sphere's own reference shape, not the default sphere
    primitiva reference = {};
    ASSERT_EQ(build_primitive(KIND_SPHERE, values, &reference), 1);
    primitiva *clone = object_at(1);
    clone->scaleX = clone->scaleY = clone->scaleZ = 1.0f;
    finish_scaling(clone);
    expectSameCoordinates(*clone, reference);
    free_primitiva(&reference);

    // the switches of the source go with the copy
    int cylinder[] = {0, 1, 4, 4, 4, 4, 2};
    primitiva open = {};
    ASSERT_EQ(build_primitive(KIND_CYLINDER, cylinder, &open), 1);
    open.nameBase = take_name_base();
    ASSERT_EQ(store_object(open, nullptr), 2);
    ASSERT_EQ(clone_object(2), 3);
    EXPECT_EQ(is_solid(object_at(3)), 0);
    EXPECT_EQ(cull_face(object_at(3)), 1);
    EXPECT_EQ(faces_to_draw(object_at(3)), 8);
    EXPECT_STREQ(first_material_name(object_at(3)), "(default)");
}

TEST_F(Objects, FacesToDrawFollowsTheSolidSwitch)
{
    create_object(KIND_CYLINDER);
    primitiva *cylinder = object_at(0);
    EXPECT_EQ(is_solid(cylinder), 1);
    EXPECT_EQ(faces_to_draw(cylinder), 128);
    toggle_solido(cylinder);
    EXPECT_EQ(is_solid(cylinder), 0);
    EXPECT_EQ(faces_to_draw(cylinder), 32);
    toggle_solido(cylinder);
    EXPECT_EQ(faces_to_draw(cylinder), 128);

    create_object(KIND_HALF_CYLINDER);
    toggle_solido(object_at(1));
    EXPECT_EQ(faces_to_draw(object_at(1)), 16);

    for (int kind : {KIND_RECTANGLE, KIND_TRIANGLE, KIND_PARALLELEPIPED, KIND_CIRCLE, KIND_HALF_CIRCLE}) {
        int index = create_object(kind);
        toggle_solido(object_at(index));
        EXPECT_EQ(faces_to_draw(object_at(index)), 1) << "kind " << kind;
    }
    for (int kind : {KIND_PYRAMID, KIND_CUBE, KIND_TRAPEZOID, KIND_SPHERE, KIND_HALF_SPHERE}) {
        int index = create_object(kind);
        toggle_solido(object_at(index));
        EXPECT_EQ(is_solid(object_at(index)), 1) << "kind " << kind;
        EXPECT_EQ(faces_to_draw(object_at(index)), object_at(index)->numCaras) << "kind " << kind;
    }
}

TEST_F(Objects, IdentifiersAreRenumberedBeforeTheyOverflow)
{
    create_object(KIND_CUBE);
    create_object(KIND_CUBE);
    set_creation_counter(MAX_CREATION_COUNTER);
    ASSERT_EQ(create_object(KIND_CUBE), 2);
    EXPECT_EQ(object_at(2)->nameBase, (MAX_CREATION_COUNTER + 1) * NAME_BASE_STEP);
    setLockedObject(MAX_CREATION_COUNTER);   // the object in slot 2
    object_at(0)->dirty = 0;

    ASSERT_EQ(create_object(KIND_CUBE), 3);
    EXPECT_EQ(object_at(0)->nameBase, 100000);
    EXPECT_EQ(object_at(1)->nameBase, 200000);
    EXPECT_EQ(object_at(2)->nameBase, 300000);
    EXPECT_EQ(object_at(3)->nameBase, 400000);
    EXPECT_EQ(object_at(0)->dirty, 1);   // its display list carries the old names
    EXPECT_EQ(getLockedObject(), 2);
    EXPECT_EQ(creation_counter(), 4);
}

TEST_F(Objects, SampleObjectsOneOfEachKind)
{
    EXPECT_EQ(sample_object(KIND_CUBE), nullptr);
    build_sample_objects();
    for (int kind = 0; kind < PRIMITIVE_KINDS; kind++) {
        ASSERT_NE(sample_object(kind), nullptr);
        EXPECT_EQ(sample_object(kind)->objeto3D, kind);
        EXPECT_GT(face_list_length(sample_object(kind)), 0);
    }
    EXPECT_EQ(sample_object(12), nullptr);
    build_sample_objects();   // again: the old ones are released
    free_sample_objects();
    EXPECT_EQ(sample_object(0), nullptr);
}
