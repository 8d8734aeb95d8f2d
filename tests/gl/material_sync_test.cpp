// Materials taken over from the scene file while the program runs, on a real GL context: a
// changed material keeps its record (the usage table points at it) and only its objects are
// compiled again; a gone material leaves its objects with "(default)"; a new one reaches the
// material chooser; the same sections a second time change nothing.
#include "choosers.h"
#include "gl_context.h"
#include "material_sync.h"
#include "material_usage.h"
#include "scene_document.h"
#include "scene_setup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

namespace {

MaterialData plain(const std::string &name, float r, float g, float b)
{
    MaterialData m;
    m.name = name;
    m.pBlend = 1.0f;
    m.pShine = 0.5f;
    m.Ka = 1.0f;
    m.Kd = 0.9f;
    m.Ks = 0.1f;
    m.pLuzDif = {r, g, b, 1.0f};
    m.pLuzEsp = {1.0f, 1.0f, 1.0f, 1.0f};
    m.pLuzEmi = {0.0f, 0.0f, 0.0f, 1.0f};
    return m;
}

// Adds a material with the values of the file record
void addPlain(const MaterialData &data)
{
    material_record *material = new_material();
    material->name = data.name;
    material->pLuzDif = data.pLuzDif;
    material->pShine = data.pShine;
    ASSERT_EQ(add_material(material), 1);
}

bool chooserShows(const std::string &name)
{
    const std::vector<ChooserOption> &options = materialChooser().options;
    return std::any_of(options.begin(), options.end(), [&](const ChooserOption &o) { return o.text == name; });
}

}  // namespace

TEST(MaterialSync, TakenOverInPlaceObjectsKeptAndGoneMaterialsBecomeTheDefault)
{
    ASSERT_TRUE(openGlContext());
    ASSERT_EQ(chdir(SW_RUNDATA_DIR), 0);  // the chooser's arrow bitmaps
    scene_setup::startTables();
    const MaterialData red = plain("rojo", 0.9f, 0.1f, 0.1f), blue = plain("azul", 0.1f, 0.1f, 0.9f);
    addPlain(red);
    addPlain(blue);
    rebuild_usage_table();
    const int a = scene_setup::placeObject(0, 0, 0, 0, "rojo");
    const int b = scene_setup::placeObject(0, 5, 0, 0, "azul");
    const int c = scene_setup::placeObject(0, 10, 0, 0);
    ASSERT_GE(a, 0);
    for (int i : {a, b, c}) set_dirty(object_at(i), 0);
    set_current_material("azul");
    buildMaterialChooser("(default)");
    material_record *kept = find_material("rojo");
    material_record *defaultBefore = find_material("(default)");

    SceneData disk;
    MaterialData defaults = plain("(default)", 1.0f, 1.0f, 1.0f);
    defaults.Ka = defaultBefore->Ka, defaults.Kd = defaultBefore->Kd, defaults.Ks = defaultBefore->Ks;
    defaults.pLuzEsp = defaultBefore->pLuzEsp, defaults.pBlend = defaultBefore->pBlend, defaults.pShine = defaultBefore->pShine;
    disk.materials = {defaults, plain("rojo", 0.1f, 0.9f, 0.1f), plain("nuevo", 0.5f, 0.5f, 0.5f)};
    EXPECT_EQ(takeOverSceneMaterials(disk), 1);

    EXPECT_EQ(find_material("rojo"), kept);
    EXPECT_FLOAT_EQ(kept->pLuzDif[1], 0.9f);
    EXPECT_EQ(find_material("(default)"), defaultBefore);
    EXPECT_EQ(find_material("azul"), nullptr);
    ASSERT_NE(find_material("nuevo"), nullptr);
    EXPECT_STREQ(first_material_name(object_at(a)), "rojo");
    EXPECT_STREQ(first_material_name(object_at(b)), "(default)");
    EXPECT_EQ((std::vector<int>{get_dirty(object_at(a)), get_dirty(object_at(b)), get_dirty(object_at(c))}),
              (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(usage_entry_at(usage_index_of("rojo"))->material, kept);
    EXPECT_EQ(usage_entry_at(usage_index_of("rojo"))->userCount, 1);
    EXPECT_EQ(usage_entry_at(usage_index_of("(default)"))->userCount, 2);
    EXPECT_STREQ(current_material(), "(default)");
    EXPECT_TRUE(chooserShows("nuevo"));
    EXPECT_FALSE(chooserShows("azul"));

    for (int i : {a, b, c}) set_dirty(object_at(i), 0);
    EXPECT_EQ(takeOverSceneMaterials(disk), 0);
    EXPECT_EQ(get_dirty(object_at(a)) + get_dirty(object_at(b)) + get_dirty(object_at(c)), 0);
    EXPECT_EQ(object_count(), 3);
    scene_setup::clearPlayScene();
}
