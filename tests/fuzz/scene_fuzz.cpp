// libFuzzer target: the scene loader on arbitrary documents. Each input is written as
// escena.xml in a scratch working directory beside the DTD and loaded with loadScene(). A
// scene that loads must respect the object table's capacity and the twelve kinds, and must
// save to a file that loads back to as many objects, materials and flags.
#include "events.h"
#include "flags.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "textures.h"

#include <libxml/parser.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>

// libxml2's own diagnostics would only slow the run down
static void silent(void *, const char *, ...) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // NOTE: a folder of the fuzzer's own working directory, which the test runner clears
    mkdir("scene_work", 0755);
    if (chdir("scene_work") != 0) abort();
    std::ofstream(SW_SCENE_DTD_NAME, std::ios::binary) << std::ifstream(SW_SCENE_DTD, std::ios::binary).rdbuf();
    xmlInitParser();
    xmlSetGenericErrorFunc(nullptr, silent);
    set_event_set_release(freeEventSet);
    create_texture_table();
    create_material_table();
    createFlagTable();
    rebuild_usage_table();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        std::ofstream file("escena.xml", std::ios::binary | std::ios::trunc);
        if (!file.write((const char *)data, (std::streamsize)size)) abort();
    }
    if (loadScene() != 1) return 0;

    int objects = object_count(), materials = material_count(), flags = getFlagCount(), textures = texture_count();
    if (objects < 0 || objects > MAX_OBJECTS) abort();
    for (int i = 0; i < objects; i++) {
        const primitiva *object = object_at(i);
        if (object == nullptr || object->objeto3D < 0 || object->objeto3D >= PRIMITIVE_KINDS) abort();
        if (object->nameBase != (i + 1) * NAME_BASE_STEP || object->dirty != 1) abort();
    }

    if (saveScene() != 1) abort();
    if (loadScene() != 1) abort();
    // texture names are written whole, so the table comes back as it was
    if (object_count() != objects || material_count() != materials || getFlagCount() != flags ||
        texture_count() != textures)
        abort();
    return 0;
}
