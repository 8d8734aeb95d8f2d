// The scene the frame benchmarks draw: 1000 default objects, kinds in turn, on a 40 x 25 grid
// filling the view of a camera looking down -Z, with the program's lights and GL state, on
// the GL context current when it is built.
#pragma once

#include "app_state.h"
#include "camera.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "startup.h"
#include "textures.h"

// Builds the benchmark scene's tables, the view and the GL state
inline void buildRenderBenchScene()
{
    create_material_table();
    create_texture_table();
    add_default_material();
    rebuild_usage_table();
    build_sample_objects();
    createLightSet();
    setUpOpenGL();
    reshape(1024, 768);
    Camera camera = {};
    camera.y = 30.0f;
    setCamera(camera);
    applyView();
    for (int i = 0; i < MAX_OBJECTS; i++) {
        int index = create_object(i % PRIMITIVE_KINDS);
        primitiva *o = object_at(index);
        o->pose = object_pose{-120.0f + 6.0f * (float)(i % 40), 30.0f - 45.0f + 3.6f * (float)(i / 40), -110.0f,
                              (float)(i * 7 % 360), 0, 0};
    }
}
