/**********************************************************************************************
*
*   mixedscene - writes a scene of many mixed objects as escena.xml into a directory
*
*   Usage: mixedscene COUNT DIRECTORY
*
*   COUNT objects (0 to 1000) of the twelve kinds with 20 materials and two events each; the
*   frame-rate benchmark and the picture test load it. Exit status 0 when the file was
*   written, 1 otherwise.
*
**********************************************************************************************/
#include "flags.h"
#include "material_usage.h"
#include "materials.h"
#include "mixed_scene.h"
#include "objects.h"
#include "scene_file.h"
#include "scene_writer.h"
#include "textures.h"

#include <cstdio>
#include <cstdlib>  // Required for: strtol()
#include <string>

// Builds the scene of COUNT objects and writes DIRECTORY/escena.xml
int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: mixedscene COUNT DIRECTORY\n");
        return 1;
    }
    char *end = nullptr;
    long count = strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || !buildMixedScene((int)count)) {
        fprintf(stderr, "mixedscene: COUNT must be a number from 0 to %d\n", MIXED_SCENE_CELLS);
        return 1;
    }
    std::string path = std::string(argv[2]) + "/" + SCENE_FILE_NAME;
    int saved = saveSceneTo(path.c_str());
    // NOTE: released so that a sanitizer build reports no leak at exit
    clear_objects();
    clear_usage_table();
    clear_material_table();
    clear_texture_table();
    clearFlagTable();
    if (!saved) {
        fprintf(stderr, "mixedscene: could not write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
