// Material runs against the objects' own display lists, in a real GL context: a scene of every
// kind (turned every way, smooth and faceted, open plates and an open tube, a face in a
// material of its own, textured, plain and see-through materials, a wire-frame object and a
// locked one drawn on their own between runs) is read back drawn both ways and must be the
// same picture; a run is built once and again only when one of its objects moves or changes.
#include "app_state.h"
#include "camera.h"
#include "gl_context.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "parameters.h"
#include "scene_draw.h"
#include "scene_runs.h"
#include "scene_setup.h"
#include "sky.h"
#include "startup.h"
#include "textures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int W = 1024, H = 768;
const std::string DATA = std::string(SW_RUNDATA_DIR) + "/Data/";

// The whole back buffer, RGB
std::vector<unsigned char> backBuffer()
{
    std::vector<unsigned char> pixels((size_t)W * H * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Pixels where a channel differs by more than 2 levels
long differing(const std::vector<unsigned char> &a, const std::vector<unsigned char> &b)
{
    long count = 0;
    for (size_t i = 0; i + 2 < a.size(); i += 3)
        if (abs(a[i] - b[i]) > 2 || abs(a[i + 1] - b[i + 1]) > 2 || abs(a[i + 2] - b[i + 2]) > 2) count++;
    return count;
}

// Pixels that are not the clear colour (black)
long drawnPixels(const std::vector<unsigned char> &a)
{
    long count = 0;
    for (size_t i = 0; i + 2 < a.size(); i += 3) count += (a[i] | a[i + 1] | a[i + 2]) != 0;
    return count;
}

class SceneRunsGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        scene_setup::quietWindowOps();
    }
    void SetUp() override
    {
        scene_setup::startTables();
        textured("ladrillo", DATA + "ladrillo.bmp", 0.0f);
        textured("madera", DATA + "madera.bmp", 30.0f);  // turned: drawn with repeat
        plain("rojo", {0.85f, 0.18f, 0.12f, 1}, 1.0f);
        plain("cristal", {0.6f, 0.85f, 0.95f, 1}, 0.5f);
        rebuild_usage_table();
        set_creation_counter(0);
        build_sample_objects();
        createLightSet();
        setUpOpenGL();
        reshape(W, H);
        Camera camera = {};
        camera.y = 30.0f;
        setCamera(camera);
        applyView();
        placeMovingLights();
        load_all_textures();
        buildScene();
    }
    void TearDown() override
    {
        setSceneRunsWanted(1);
        clearSceneRuns();
        clear_objects();
        free_sample_objects();
        delete_all_textures();
        clear_material_table();
        clear_texture_table();
    }
    static void textured(const char *name, const std::string &bitmap, float rotation)
    {
        material_record *m = new_material();
        m->name = name;
        m->texturado = 1;
        m->texture = new_texture_block();
        m->texture->rotationZ = rotation;
        add_frame(m->texture.get(), bitmap.c_str());
        add_texture_name(bitmap.c_str());
        add_material(m);
    }
    static void plain(const char *name, std::array<float, 4> colour, float blend)
    {
        material_record *m = new_material();
        m->name = name;
        m->pLuzDif = colour;
        m->pBlend = blend;
        add_material(m);
    }
    // Every kind twice, in front of the camera, turned every way, in turn each material
    static void buildScene()
    {
        const char *materials[] = {"ladrillo", "rojo", "madera", "(default)", "cristal"};
        int n = 0;
        for (int copy = 0; copy < 2; copy++) {
            for (int kind = 0; kind < PRIMITIVE_KINDS; kind++, n++) {
                float x = -60.0f + 10.0f * (float)(n % 12), y = 10.0f + 14.0f * (float)(n / 12);
                int index = scene_setup::placeObject(kind, x, y, -70.0f - 3.0f * (float)(n % 5), materials[n % 5]);
                primitiva *o = object_at(index);
                o->pose.yaw = 37.0f * (float)n;
                o->pose.pitch = 23.0f * (float)copy + 11.0f * (float)kind;
                o->pose.roll = 13.0f * (float)(n % 7);
                o->promediado = n % 3 == 0 ? 1 : 0;
                if (copy == 1 && (kind == KIND_RECTANGLE || kind == KIND_CIRCLE || kind == KIND_CYLINDER))
                    toggle_solido(o);
            }
        }
        set_parameter(object_at(PRIMITIVE_KINDS + KIND_CYLINDER), CIL_CULL_FACE, 0);  // an open tube
        // one face of a cube in a material of its own
        primitiva *cube = object_at(KIND_CUBE);
        list_append(&cube->faces->next->materials, strdup("rojo"));
        object_at(3)->wireFrame = 1;
        setLockedObject(object_at(5)->nameBase / NAME_BASE_STEP - 1);
    }
    // One scene frame on black
    static std::vector<unsigned char> frame()
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_LIGHTING);
        glEnable(GL_FOG);
        drawScene();
        return backBuffer();
    }
};

}  // namespace

TEST_F(SceneRunsGl, RunsDrawWhatTheListsDrawAndAreBuiltAgainOnlyWhenTheirObjectsChange)
{
    ASSERT_EQ(sceneRunsAvailable(), 1);
    setSceneRunsWanted(0);
    const std::vector<unsigned char> lists = frame();
    ASSERT_GT(drawnPixels(lists), (long)W * H / 20);

    setSceneRunsWanted(1);
    const long before = sceneRunBuilds();
    const std::vector<unsigned char> runs = frame();
    const long built = sceneRunBuilds() - before;
    EXPECT_GE(built, 5);  // at least one run for each material
    EXPECT_LE(differing(lists, runs), (long)W * H / 2000) << "the runs draw another picture";
    frame();
    EXPECT_EQ(sceneRunBuilds() - before, built);  // nothing changed: the same buffers

    // a moved object: its run alone is built again, and it is drawn where its list draws it
    object_at(7)->pose.x += 2.5f;
    const std::vector<unsigned char> moved = frame();
    EXPECT_EQ(sceneRunBuilds() - before, built + 1);
    EXPECT_GT(differing(runs, moved), 50);
    set_dirty(object_at(9), 1);  // a changed object, likewise
    frame();
    EXPECT_EQ(sceneRunBuilds() - before, built + 2);
    setSceneRunsWanted(0);
    EXPECT_LE(differing(frame(), moved), (long)W * H / 2000);
}
