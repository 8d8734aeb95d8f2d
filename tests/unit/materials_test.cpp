// Materials, texture blocks, the material table, the usage table as objects are created,
// cloned, deleted and given other materials, animated frame steps and unreadable textures.
#include "app_state.h"
#include "camera.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "textures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A named plain material
material_record *makeMaterial(const char *name)
{
    material_record *material = new_material();
    material->name = name;
    return material;
}

class MaterialTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        setCamera(Camera{});
        clear_objects();
        set_creation_counter(0);
        set_current_material(nullptr);
        create_material_table();
        create_texture_table();
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

TEST(MaterialRecords, NewRecordsCarryTheirDefaults)
{
    material_record *m = new_material();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->name, "(default)");
    EXPECT_FALSE(m->texture);
    EXPECT_EQ(m->pLuzDif, (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(m->pLuzEsp, (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(m->pLuzEmi, (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_FLOAT_EQ(m->Ka, 1.0f);
    EXPECT_FLOAT_EQ(m->Kd, 0.9f);
    EXPECT_FLOAT_EQ(m->Ks, 0.1f);
    EXPECT_FLOAT_EQ(m->pBlend, 1.0f);
    EXPECT_FLOAT_EQ(m->pShine, 0.5f);
    EXPECT_EQ(m->texturado, 0);
    EXPECT_EQ(m->wrapCount, 1);
    free_material(m);

    std::unique_ptr<texture_block> block = new_texture_block();
    EXPECT_FLOAT_EQ(block->TEXscaleX, 1.0f);
    EXPECT_FLOAT_EQ(block->TEXscaleY, 1.0f);
    EXPECT_EQ(block->rotationX + block->rotationY + block->rotationZ, 0.0f);
    EXPECT_EQ(block->multiple, 0);
    EXPECT_EQ(block->currentFrame, 0);
    EXPECT_TRUE(block->frames.empty());
}

TEST(MaterialRecords, FramesFollowTheReadersCountRule)
{
    // A still texture: the one name, replaced by a later one, multiple stays 0
    std::unique_ptr<texture_block> still = new_texture_block();
    add_frame(still.get(), "Data/a.bmp");
    add_frame(still.get(), "Data/b.bmp");
    EXPECT_EQ(still->multiple, 0);
    EXPECT_EQ(still->frames, std::vector<std::string>{"Data/b.bmp"});

    // A file saying multiple 3: the reader sets 1, then adds the two frame names
    std::unique_ptr<texture_block> animated = new_texture_block();
    animated->multiple = 1;
    add_frame(animated.get(), "Data/agua1.bmp");
    EXPECT_EQ(animated->multiple, 2);
    add_frame(animated.get(), "Data/agua2.bmp");
    EXPECT_EQ(animated->multiple, 3);
    EXPECT_EQ(animated->frames, (std::vector<std::string>{"Data/agua1.bmp", "Data/agua2.bmp"}));
}

TEST(MaterialRecords, OnlyABlockWithFramesIsTextured)
{
    material_record m;
    EXPECT_EQ(material_is_textured(&m), 0);
    m.texturado = 1;
    EXPECT_EQ(material_is_textured(&m), 0);  // no block
    m.texture = new_texture_block();
    EXPECT_EQ(material_is_textured(&m), 0);  // no frame
    add_frame(m.texture.get(), "Data/ladrillo.bmp");
    EXPECT_EQ(material_is_textured(&m), 1);
    m.texture->multiple = 1;  // a file that says 1: no frames to cycle
    EXPECT_EQ(material_is_textured(&m), 0);
    m.texture->multiple = 0;
    m.texturado = 0;
    EXPECT_EQ(material_is_textured(&m), 0);
    EXPECT_EQ(material_is_textured(nullptr), 0);
}

TEST(AnimatedTextures, FourFramesCycleOneTwoThree)
{
    texture_block block;
    block.multiple = 4;
    block.milTime = 500;
    block.frames = {"f1", "f2", "f3"};
    // Before the first change the first frame shows
    EXPECT_EQ(advance_texture_frame(&block, 0), 0);
    EXPECT_EQ(advance_texture_frame(&block, 500), 0);  // not past lastSwitch + milTime yet
    std::vector<int> shown;
    for (int now = 501; now <= 501 * 7; now += 501) shown.push_back(advance_texture_frame(&block, now));
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
    EXPECT_EQ(block.lastSwitch, 501 * 7);
    // Within one interval the frame stays
    EXPECT_EQ(advance_texture_frame(&block, 501 * 7 + 500), 0);
}

TEST(AnimatedTextures, TwoMeansTheOnlyFrameForeverAndStillOnesNeverStep)
{
    texture_block two;
    two.multiple = 2;
    two.milTime = 10;
    two.frames = {"only"};
    for (int now = 0; now < 1000; now += 11) EXPECT_EQ(advance_texture_frame(&two, now), 0);

    texture_block still;
    still.frames = {"one"};
    EXPECT_EQ(advance_texture_frame(&still, 100000), 0);
    EXPECT_EQ(still.currentFrame, 0);

    texture_block empty;
    empty.multiple = 1;
    EXPECT_EQ(advance_texture_frame(&empty, 100000), -1);
    EXPECT_EQ(advance_texture_frame(nullptr, 0), -1);

    // A huge interval from a file does not overflow into a switch
    texture_block slow;
    slow.multiple = 3;
    slow.milTime = 2147483647;
    slow.lastSwitch = 100;
    slow.frames = {"a", "b"};
    EXPECT_EQ(advance_texture_frame(&slow, 2147483000), 0);
    EXPECT_EQ(slow.currentFrame, 0);
}

TEST_F(MaterialTables, AddFindAndDuplicates)
{
    add_default_material();
    ASSERT_NE(find_material("(default)"), nullptr);
    material_record *brick = makeMaterial("ladrillo");
    EXPECT_EQ(add_material(brick), 1);
    material_record *again = makeMaterial("ladrillo");
    EXPECT_EQ(add_material(again), 0);  // the first one stays; the caller keeps the second
    EXPECT_EQ(find_material("ladrillo"), brick);
    free_material(again);
    EXPECT_EQ(material_count(), 2);
    EXPECT_EQ(find_material("ladrill"), nullptr);
    EXPECT_EQ(find_material(nullptr), nullptr);

    clear_material_table();
    EXPECT_EQ(material_table(), nullptr);
    EXPECT_EQ(find_material("ladrillo"), nullptr);
    material_record *orphan = makeMaterial("x");
    EXPECT_EQ(add_material(orphan), 0);  // no table
    free_material(orphan);
}

TEST_F(MaterialTables, UsageTableFollowsTheMaterialTable)
{
    add_default_material();
    add_material(makeMaterial("ladrillo"));
    add_material(makeMaterial("agua"));
    rebuild_usage_table();
    EXPECT_EQ(usage_entry_count(), 3);

    // Entries come in the material table's iteration order, each with its record
    std::vector<std::string> iterated;
    hash_iterator it = {};
    for (void *data = hash_table_first(material_table(), &it, nullptr, nullptr); data != nullptr;
         data = hash_table_next(material_table(), &it, nullptr, nullptr))
        iterated.push_back(((material_record *)data)->name);
    for (int i = 0; i < 3; i++) {
        const usage_entry *entry = usage_entry_at(i);
        EXPECT_EQ(entry->name, iterated[(size_t)i]);
        EXPECT_EQ(entry->material, find_material(iterated[(size_t)i].c_str()));
        EXPECT_EQ(entry->userCount, 0);
    }
    EXPECT_TRUE(usage_entry_at(3)->name.empty());
    EXPECT_EQ(usage_entry_at(256), nullptr);
}

TEST_F(MaterialTables, CreateCloneAndDeleteRegisterObjects)
{
    add_default_material();
    add_material(makeMaterial("ladrillo"));
    rebuild_usage_table();

    int plain = create_object(KIND_CUBE);                // 100000, "(default)"
    set_current_material("ladrillo");
    int brick = create_object(KIND_SPHERE);              // 200000, "ladrillo"
    set_current_material("no-such-material");
    int stray = create_object(KIND_PYRAMID);             // 300000, unknown name
    set_current_material(nullptr);
    ASSERT_EQ(plain, 0);
    ASSERT_EQ(brick, 1);
    ASSERT_EQ(stray, 2);

    // An unknown name is grouped under entry 0, whichever material that is
    bool brickFirst = usage_index_of("ladrillo") == 0;
    auto with = [](std::vector<int> users, bool stray, size_t at) {
        if (stray) users.insert(users.begin() + (long)at, 300000);
        return users;
    };
    EXPECT_EQ(usersOf("(default)"), with({100000}, !brickFirst, 1));
    EXPECT_EQ(usersOf("ladrillo"), with({200000}, brickFirst, 1));

    // The clone joins its source's entry; the current material is "(default)" again
    int copy = clone_object(brick);
    ASSERT_EQ(copy, 3);
    EXPECT_EQ(usersOf("ladrillo"), with({200000, 400000}, brickFirst, 1));
    EXPECT_STREQ(current_material(), "(default)");

    // Deleting rebuilds the table and registers the rest again in slot order
    ASSERT_EQ(delete_object(brick), 1);
    EXPECT_EQ(usersOf("ladrillo"), with({400000}, brickFirst, 0));
    EXPECT_EQ(usersOf("(default)"), with({100000}, !brickFirst, 1));
    int total = 0;
    for (int i = 0; i < USAGE_ENTRIES; i++) total += usage_entry_at(i)->userCount;
    EXPECT_EQ(total, object_count());
    // Each user is a live slot holding its own object
    for (int i = 0; i < USAGE_ENTRIES; i++)
        for (const scene_slot *slot : usage_entry_at(i)->users) EXPECT_GE(slot_index(slot), 0);

    clear_objects();
    for (int i = 0; i < USAGE_ENTRIES; i++) EXPECT_EQ(usage_entry_at(i)->userCount, 0) << i;
}

TEST_F(MaterialTables, AssignMaterialMovesTheObjectBetweenEntries)
{
    add_default_material();
    add_material(makeMaterial("ladrillo"));
    rebuild_usage_table();
    int a = create_object(KIND_CUBE);
    int b = create_object(KIND_CUBE);
    object_at(a)->dirty = 0;

    ASSERT_EQ(assign_material(a, "ladrillo"), 1);
    EXPECT_STREQ(first_material_name(object_at(a)), "ladrillo");
    EXPECT_EQ(object_at(a)->dirty, 1);
    EXPECT_EQ(usersOf("ladrillo"), std::vector<int>{100000});
    EXPECT_EQ(usersOf("(default)"), std::vector<int>{200000});

    // Passing the object's own name text is safe
    ASSERT_EQ(assign_material(a, first_material_name(object_at(a))), 1);
    EXPECT_EQ(usersOf("ladrillo"), std::vector<int>{100000});

    EXPECT_EQ(assign_material(b, nullptr), 0);
    EXPECT_EQ(assign_material(7, "ladrillo"), 0);
    EXPECT_EQ(usersOf("(default)"), std::vector<int>{200000});
}

TEST_F(MaterialTables, RemoveUserOnlyTakesTheObjectNamed)
{
    add_default_material();
    rebuild_usage_table();
    int a = create_object(KIND_CUBE);
    int b = create_object(KIND_CUBE);
    remove_user("(default)", object_slot(a));
    EXPECT_EQ(usersOf("(default)"), std::vector<int>{200000});
    remove_user("(default)", object_slot(a));  // not there any more: nothing happens
    EXPECT_EQ(usersOf("(default)"), std::vector<int>{200000});
    remove_user("unknown", object_slot(b));    // unknown names look in entry 0
    EXPECT_TRUE(usersOf("(default)").empty());
    remove_user("(default)", object_slot(b));  // an empty entry stays empty
    EXPECT_EQ(usage_entry_at(0)->userCount, 0);
}

TEST_F(MaterialTables, TextureNamesAreKeptAndLookedUp)
{
    EXPECT_EQ(add_texture_name("Data/ladrillo.bmp"), 1);
    EXPECT_EQ(add_texture_name("Data/ladrillo.bmp"), 0);
    EXPECT_EQ(texture_count(), 1);
    EXPECT_EQ(texture_gl_name("Data/ladrillo.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(texture_gl_name("Data/other.bmp"), TEXTURE_NOT_LOADED);
    hash_iterator it = {};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    ASSERT_NE(hash_table_first(texture_table(), &it, &key, &length), nullptr);
    EXPECT_EQ(texture_key_text(key, length), "Data/ladrillo.bmp");
}

TEST_F(MaterialTables, AnUnreadableSceneTextureIsReportedAndLeftUnloaded)
{
    add_texture_name("Data/perdida.bmp");
    testing::internal::CaptureStderr();
    EXPECT_EQ(load_texture("Data/perdida.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(load_texture("no/such/dir/agua.bmp"), TEXTURE_NOT_LOADED);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Error!: Data/perdida.bmp"), std::string::npos) << err;
    EXPECT_NE(err.find("Error!: no/such/dir/agua.bmp"), std::string::npos) << err;
    // Both stay in the table, unloaded, so the scene keeps naming them
    EXPECT_EQ(texture_count(), 2);
    EXPECT_EQ(texture_gl_name("Data/perdida.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(texture_gl_name("no/such/dir/agua.bmp"), TEXTURE_NOT_LOADED);
    EXPECT_EQ(load_texture(nullptr), TEXTURE_NOT_LOADED);

    testing::internal::CaptureStderr();
    EXPECT_EQ(load_all_textures(), 0);
    testing::internal::GetCapturedStderr();
}

TEST(RequiredBitmapsDeathTest, AMissingOneEndsTheProgramWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(load_required_bitmap_texture("Data/no-such-sky.bmp"), ::testing::ExitedWithCode(1),
                "Error!: Data/no-such-sky.bmp");
}
