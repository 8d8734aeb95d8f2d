// Object operations: snapping, angle wrap, camera sectors, the move, rotate and scale tables,
// and rebuilding the vertices from the reference shape.
#include "camera.h"
#include "generators.h"
#include "objects.h"
#include "operations.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace scene_test;

namespace {

class Operations : public ::testing::Test {
protected:
    primitiva o = new_primitiva();
    Camera camera{};
    void TearDown() override
    {
        free_primitiva(&o);
        free_sample_objects();
    }
    Camera heading(float yaw, float pitch = 0.0f)
    {
        Camera c{};
        c.yaw = yaw;
        c.pitch = pitch;
        return c;
    }
};

struct Expected {
    float x, y, z;
};

}  // namespace

TEST_F(Operations, SnappingRoundsHalfAwayFromZero)
{
    EXPECT_EQ(snap_hundredths(1.0f), 1.0f);
    EXPECT_EQ(snap_hundredths(0.125f), 0.13f);
    EXPECT_EQ(snap_hundredths(-0.125f), -0.13f);
    EXPECT_EQ(snap_hundredths(0.004f), 0.0f);
    EXPECT_EQ(snap_hundredths(-0.006f), -0.01f);

    camera = heading(0.0f);
    EXPECT_EQ(move_object(&o, &camera, 0.1f, DIRECTION_LEFT), 1);
    EXPECT_EQ(o.pose.x, -0.01f);
    o.pose.x = 0.004f;
    move_object(&o, &camera, 0.1f, DIRECTION_LEFT);
    EXPECT_EQ(o.pose.x, -0.01f);
}

TEST_F(Operations, AnglesWrapAroundOnce)
{
    camera = heading(0.0f, 60.0f);   // steep: left and right turn the yaw
    o.pose.yaw = 359.5f;
    rotate_object(&o, &camera, 10.0f, DIRECTION_RIGHT);
    EXPECT_FLOAT_EQ(o.pose.yaw, 0.5f);
    rotate_object(&o, &camera, 10.0f, DIRECTION_LEFT);
    EXPECT_FLOAT_EQ(o.pose.yaw, 359.5f);

    o.pose.roll = 350.0f;
    add_roll(&o, 10.0f);
    EXPECT_EQ(o.pose.roll, 360.0f);   // 360 itself stays
    add_pitch(&o, -30.0f);
    EXPECT_EQ(o.pose.pitch, 330.0f);
}

TEST_F(Operations, HeadingSectorsAndPitch)
{
    const std::vector<std::pair<float, int>> cases = {
        {0.0f, 0}, {44.99f, 0}, {45.0f, 1}, {134.99f, 1}, {135.0f, 2}, {224.99f, 2},
        {225.0f, 3}, {314.99f, 3}, {315.0f, 0}, {359.99f, 0}, {360.0f, -1}, {-1.0f, -1}};
    for (auto [yaw, sector] : cases) EXPECT_EQ(heading_sector(yaw), sector) << "yaw " << yaw;
    EXPECT_EQ(pitch_is_level(-45.0f), 1);
    EXPECT_EQ(pitch_is_level(44.99f), 1);
    EXPECT_EQ(pitch_is_level(45.0f), 0);
    EXPECT_EQ(pitch_is_level(-45.01f), 0);
}

TEST_F(Operations, MovesFollowTheViewersHeading)
{
    // per sector: left, right, up steep, down steep as (dx, dy, dz) for amount 10 (s = 1)
    const float yaws[4] = {0.0f, 90.0f, 180.0f, 270.0f};
    const Expected left[4] = {{-1, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, -1}};
    const Expected right[4] = {{1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 0, 1}};
    const Expected upSteep[4] = {{0, 0, -1}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}};
    const Expected downSteep[4] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}};
    struct Row { const Expected *expected; float direction; float pitch; };
    const Row rows[] = {{left, DIRECTION_LEFT, 0.0f}, {right, DIRECTION_RIGHT, 0.0f},
                        {upSteep, DIRECTION_UP, -80.0f}, {downSteep, DIRECTION_DOWN, 50.0f}};
    for (const Row &row : rows) {
        for (int h = 0; h < 4; h++) {
            o.pose = object_pose{};
            camera = heading(yaws[h], row.pitch);
            move_object(&o, &camera, 10.0f, row.direction);
            EXPECT_EQ(o.pose.x, row.expected[h].x) << "direction " << row.direction << " sector " << h;
            EXPECT_EQ(o.pose.y, 0.0f);
            EXPECT_EQ(o.pose.z, row.expected[h].z) << "direction " << row.direction << " sector " << h;
        }
    }
    o.pose = object_pose{};
    camera = heading(200.0f, 10.0f);
    move_object(&o, &camera, 10.0f, DIRECTION_UP);
    EXPECT_EQ(o.pose.y, 1.0f);
    move_object(&o, &camera, 5.0f, DIRECTION_DOWN);
    EXPECT_EQ(o.pose.y, 0.5f);
}

TEST_F(Operations, OutsideEverySectorOnlyHeadingFreeStepsApply)
{
    camera = heading(360.0f);
    o.pose = object_pose{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};
    EXPECT_EQ(move_object(&o, &camera, 10.0f, DIRECTION_LEFT), 0);
    EXPECT_EQ(rotate_object(&o, &camera, 10.0f, DIRECTION_UP), 0);
    EXPECT_EQ(scale_object_axis(&o, &camera, 10.0f, DIRECTION_RIGHT), 0);
    EXPECT_EQ(o.pose.x, 1.0f);
    EXPECT_EQ(o.pose.z, 3.0f);
    EXPECT_EQ(o.pose.pitch, 5.0f);
    EXPECT_EQ(o.scaleX, 1.0f);
    EXPECT_EQ(move_object(&o, &camera, 10.0f, DIRECTION_UP), 1);   // level up is Y in every sector
    EXPECT_EQ(o.pose.y, 3.0f);

    camera = heading(0.0f);
    EXPECT_EQ(move_object(&o, &camera, 10.0f, 45.0f), 0);
    EXPECT_EQ(scale_object_uniform(&o, 10.0f, 45.0f), 0);
    EXPECT_EQ(o.pose.x, 1.0f);
    EXPECT_EQ(o.scaleY, 1.0f);
}

TEST_F(Operations, RotationsFollowTheViewersHeading)
{
    camera = heading(10.0f);   // H0, level: left is roll - s, up is pitch + s
    o.pose.roll = 10.0f;
    rotate_object(&o, &camera, 10.0f, DIRECTION_LEFT);
    EXPECT_EQ(o.pose.roll, 9.0f);
    rotate_object(&o, &camera, 10.0f, DIRECTION_UP);
    EXPECT_EQ(o.pose.pitch, 1.0f);

    camera = heading(100.0f);   // H1: left is yaw + s, up is roll - s
    rotate_object(&o, &camera, 10.0f, DIRECTION_LEFT);
    EXPECT_EQ(o.pose.yaw, 1.0f);
    rotate_object(&o, &camera, 10.0f, DIRECTION_UP);
    EXPECT_EQ(o.pose.roll, 8.0f);

    camera = heading(200.0f);   // H2: right is roll - s, down is pitch + s
    rotate_object(&o, &camera, 10.0f, DIRECTION_RIGHT);
    EXPECT_EQ(o.pose.roll, 7.0f);
    rotate_object(&o, &camera, 10.0f, DIRECTION_DOWN);
    EXPECT_EQ(o.pose.pitch, 2.0f);

    camera = heading(300.0f);   // H3: right is yaw - s, down is roll - s
    rotate_object(&o, &camera, 10.0f, DIRECTION_RIGHT);
    EXPECT_EQ(o.pose.yaw, 0.0f);
    rotate_object(&o, &camera, 10.0f, DIRECTION_DOWN);
    EXPECT_EQ(o.pose.roll, 6.0f);
}

TEST_F(Operations, UniformScaleHasAFloor)
{
    EXPECT_EQ(scale_object_uniform(&o, 1.0f, DIRECTION_DOWN), 1);
    EXPECT_EQ(o.scaleX, 0.9f);
    EXPECT_EQ(o.scaleY, 0.9f);
    EXPECT_EQ(o.scaleZ, 0.9f);
    scale_object_uniform(&o, 2.0f, DIRECTION_RIGHT);
    EXPECT_EQ(o.scaleX, 1.1f);

    o.scaleX = o.scaleY = o.scaleZ = 0.05f;
    scale_object_uniform(&o, 1.0f, DIRECTION_LEFT);
    EXPECT_EQ(o.scaleX, 0.01f);
    EXPECT_EQ(o.scaleZ, 0.01f);

    add_scale_y(&o, -5.0f);
    EXPECT_EQ(o.scaleY, 0.0f);
}

TEST_F(Operations, AxisScaleFollowsTheViewer)
{
    camera = heading(0.0f, -70.0f);   // looking steeply down, heading 0: up shrinks Z
    scale_object_axis(&o, &camera, 1.0f, DIRECTION_UP);
    EXPECT_EQ(o.scaleZ, 0.9f);
    EXPECT_EQ(o.scaleX, 1.0f);
    EXPECT_EQ(o.scaleY, 1.0f);

    camera = heading(90.0f);   // H1 level: right grows Z, up grows Y
    scale_object_axis(&o, &camera, 2.0f, DIRECTION_RIGHT);
    EXPECT_EQ(o.scaleZ, 1.1f);
    scale_object_axis(&o, &camera, 1.0f, DIRECTION_UP);
    EXPECT_EQ(o.scaleY, 1.1f);

    camera = heading(180.0f, 60.0f);   // H2 steep: down grows Z
    scale_object_axis(&o, &camera, 1.0f, DIRECTION_DOWN);
    EXPECT_EQ(o.scaleZ, 1.2f);

    o.scaleX = 0.03f;
    camera = heading(270.0f, 60.0f);   // H3 steep: up shrinks X, floored at 0.01
    scale_object_axis(&o, &camera, 1.0f, DIRECTION_UP);
    EXPECT_EQ(o.scaleX, 0.01f);
}

TEST_F(Operations, RescalingStartsFromTheReferenceShape)
{
    for (bool samples : {false, true}) {
        if (samples) build_sample_objects();
        free_primitiva(&o);
        o = generate_kind(KIND_CUBE);
        rescale_geometry(&o, 3.0f, 3.0f, 3.0f);
        EXPECT_EQ(spanOf(o).maxX, 6.0f);

        o.scaleX = 2.0f;
        o.scaleY = 1.0f;
        o.scaleZ = 1.0f;
        o.dirty = 0;
        finish_scaling(&o);
        Span s = spanOf(o);
        EXPECT_EQ(s.minX, -4.0f); EXPECT_EQ(s.maxX, 4.0f);
        EXPECT_EQ(s.minY, -2.0f); EXPECT_EQ(s.maxY, 2.0f);
        EXPECT_EQ(s.minZ, -2.0f); EXPECT_EQ(s.maxZ, 2.0f);
        EXPECT_EQ(o.scaleX, 2.0f);
        EXPECT_EQ(o.dirty, 1);
        // normals are not touched by scaling
        EXPECT_FLOAT_EQ(o.faces->ring->vertex->nx * o.faces->ring->vertex->nx * 3.0f, 1.0f);

        reset_scale(&o);
        EXPECT_EQ(spanOf(o).maxX, 2.0f);
        EXPECT_EQ(o.scaleX, 1.0f);
    }
}

TEST_F(Operations, ReferenceOfAnObjectBuiltFromOtherParameters)
{
    build_sample_objects();
    int values[] = {1, 1, 10, 6, 20, 2, 3};   // half cylinder, 3 segments
    free_primitiva(&o);
    ASSERT_EQ(build_primitive(KIND_HALF_CYLINDER, values, &o), 1);
    Span unscaled = spanOf(o);
    rescale_geometry(&o, 0.5f, 2.0f, 1.0f);
    EXPECT_EQ(spanOf(o).maxY, unscaled.maxY * 2.0f);
    ASSERT_EQ(reset_to_reference(&o), 1);
    Span back = spanOf(o);
    EXPECT_EQ(back.maxX, unscaled.maxX);
    EXPECT_EQ(back.minY, unscaled.minY);
    EXPECT_EQ(back.minZ, -20.0f);
    EXPECT_EQ(face_list_length(&o), 26);

    primitiva none = new_primitiva();
    none.objeto3D = 42;
    EXPECT_EQ(reset_to_reference(&none), 0);
}
