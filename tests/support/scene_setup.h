// Scene set-up shared by the tests that build a small scene in the process: fresh state and
// material tables, objects placed level at a point, and the clean-up after a play test.
#pragma once

#include "app_state.h"
#include "camera.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "play.h"
#include "textures.h"

namespace scene_setup {

// Fresh application state and material and texture tables holding the default material
inline void startTables()
{
    resetAppState();
    setPointerCaptured(0);
    create_material_table();
    create_texture_table();
    add_default_material();
}

// An object of the kind and material at (x, y, z), not turned
inline int placeObject(int kind, float x, float y, float z, const char *material = "(default)")
{
    set_current_material(material);
    int index = create_object(kind);
    set_current_material(nullptr);
    if (index >= 0) object_at(index)->pose = object_pose{x, y, z, 0, 0, 0};
    return index;
}

// Window operations of a 1024 x 768 screen that warp, set cursors and redraw nothing
inline void quietWindowOps()
{
    setWindowOps({[](int, int) {}, [](int) {}, [] { return 1024; }, [] { return 768; }, [] {}});
}

// Two unlit materials of one emitted colour each, "rojo" and "verde"
inline void addRedAndGreen()
{
    for (int i = 0; i < 2; i++) {
        material_record *m = new_material();
        m->name = i == 0 ? "rojo" : "verde";
        m->pLuzDif = m->pLuzEsp = {0, 0, 0, 1};
        m->pLuzEmi = {1.0f - (float)i, (float)i, 0, 1};
        add_material(m);
    }
}

// Play stopped and every table a play test fills emptied
inline void clearPlayScene()
{
    if (getPlayMode() == 1) stopPlay();
    clearRunList();
    clear_objects();
    free_sample_objects();
    clear_material_table();
    clear_texture_table();
    clearFlagTable();
}

}  // namespace scene_setup
