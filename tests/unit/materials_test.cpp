// Texture blocks (frames to show, frame steps), the material table, the usage table as objects
// are created, cloned, deleted and given other materials, and unreadable textures.
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "textures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MaterialTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        create_material_table();
        create_texture_table();
        add_default_material();
        material_record *brick = new_material();
        brick->name = "ladrillo";
        add_material(brick);
        rebuild_usage_table();
    }
    void TearDown() override
    {
        clear_objects();
        set_creation_counter(0);
        clear_material_table();
        clear_texture_table();
        set_current_material(nullptr);
    }
    // Names of the objects (nameBase) registered in the entry of a material name
    static std::vector<int> usersOf(const char *name)
    {
        std::vector<int> bases;
        const usage_entry *entry = usage_entry_at(usage_index_of(name));
        for (const scene_slot *slot : entry->users) bases.push_back(slot->object.nameBase);
        EXPECT_EQ(entry->userCount, (int)entry->users.size());
        return bases;
    }
};

}  // namespace

TEST(TextureBlocks, FramesToShowAndFrameSteps)
{
    material_record m;
    m.texturado = 1;
    m.texture = new_texture_block();
    EXPECT_EQ(material_is_textured(&m), 0);  // no frame
    add_frame(m.texture.get(), "Data/a.bmp");
    EXPECT_EQ(material_is_textured(&m), 1);
    m.texture->multiple = 1;                 // a file that says 1: no frames to cycle
    EXPECT_EQ(material_is_textured(&m), 0);

    // a huge interval from a file does not overflow into a switch
    add_frame(m.texture.get(), "Data/b.bmp");
    m.texture->multiple = 3;
    m.texture->milTime = 2147483647;
    m.texture->lastSwitch = 100;
    EXPECT_EQ(advance_texture_frame(m.texture.get(), 2147483000), 0);
    EXPECT_EQ(m.texture->currentFrame, 0);  // no switch happened
    EXPECT_EQ(advance_texture_frame(nullptr, 0), -1);
}

TEST_F(MaterialTables, CreateCloneAndDeleteRegisterObjects)
{
    material_record *again = new_material();
    again->name = "ladrillo";
    EXPECT_EQ(add_material(again), 0);  // the first one stays; the caller keeps the second
    free_material(again);
    EXPECT_EQ(usage_entry_count(), 2);

    ASSERT_EQ(create_object(KIND_CUBE), 0);          // 100000, "(default)"
    set_current_material("ladrillo");
    int brick = create_object(KIND_SPHERE);          // 200000, "ladrillo"
    EXPECT_EQ(usersOf("ladrillo"), std::vector<int>{200000});
    // the clone joins its source's entry; the current material is "(default)" again
    ASSERT_EQ(clone_object(brick), 2);               // 300000
    EXPECT_EQ(usersOf("ladrillo"), (std::vector<int>{200000, 300000}));
    EXPECT_STREQ(current_material(), "(default)");
    // deleting rebuilds the table and registers the rest again in slot order, as live slots
    ASSERT_EQ(delete_object(brick), 1);
    EXPECT_EQ(usersOf("ladrillo"), std::vector<int>{300000});
    EXPECT_EQ(usersOf("(default)"), std::vector<int>{100000});
    // an unknown name is grouped under the default material, wherever its entry stands (as
    // a save and a load give it that material)
    ASSERT_NE(usage_entry_at(0)->name, "(default)") << "the case needs another material first";
    set_current_material("no-such-material");
    create_object(KIND_PYRAMID);                     // 400000
    EXPECT_EQ(usersOf("(default)").back(), 400000);
    EXPECT_EQ(drawn_material_of("no-such-material"), find_material("(default)"));
    EXPECT_EQ(drawn_material_of("ladrillo"), find_material("ladrillo"));
    for (int i = 0; i < USAGE_ENTRIES; i++)
        for (const scene_slot *slot : usage_entry_at(i)->users) EXPECT_GE(slot_index(slot), 0);
    clear_objects();
    for (int i = 0; i < USAGE_ENTRIES; i++) EXPECT_EQ(usage_entry_at(i)->userCount, 0) << i;
}

TEST_F(MaterialTables, AssignAndRemoveUsersMoveOnlyTheObjectNamed)
{
    int a = create_object(KIND_CUBE), b = create_object(KIND_CUBE);
    object_at(a)->dirty = 0;
    ASSERT_EQ(assign_material(a, "ladrillo"), 1);
    EXPECT_EQ(object_at(a)->dirty, 1);
    // passing the object's own name text is safe
    ASSERT_EQ(assign_material(a, first_material_name(object_at(a))), 1);
    EXPECT_EQ(usersOf("ladrillo"), std::vector<int>{100000});
    EXPECT_EQ(usersOf("(default)"), std::vector<int>{200000});
    EXPECT_TRUE(assign_material(b, nullptr) == 0 && assign_material(7, "ladrillo") == 0);  // refused

    remove_user("ladrillo", object_slot(b));   // not there: nothing happens
    remove_user("ladrillo", object_slot(a));
    EXPECT_TRUE(usersOf("ladrillo").empty());
    EXPECT_EQ(usersOf("(default)"), std::vector<int>{200000});
    remove_user("unknown", object_slot(b));  // unknown names look in the default material's entry
    EXPECT_TRUE(usersOf("(default)").empty());
}

TEST_F(MaterialTables, AnUnreadableSceneTextureIsReportedAndLeftUnloaded)
{
    EXPECT_EQ(add_texture_name("Data/perdida.bmp"), 1);
    EXPECT_EQ(add_texture_name("Data/perdida.bmp"), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(load_all_textures(), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error!: Data/perdida.bmp"), std::string::npos);
    // it stays in the table, unloaded, so the scene keeps naming it
    EXPECT_EQ(texture_count(), 1);
    EXPECT_EQ(texture_gl_name("Data/perdida.bmp"), TEXTURE_NOT_LOADED);
}

TEST(RequiredBitmapsDeathTest, AMissingOneEndsTheProgramWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(load_required_bitmap_texture("Data/no-such-sky.bmp"), ::testing::ExitedWithCode(1),
                "Error!: Data/no-such-sky.bmp");
}
