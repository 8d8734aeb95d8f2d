/**********************************************************************************************
*
*   demoscene - writes the demo scene as escena.xml into a directory
*
*   Usage: demoscene DIRECTORY
*
*   The build runs it to put the demo scene into the run data, beside the DTD and the
*   generated bitmaps. Exit status 0 when the file was written, 1 otherwise.
*
**********************************************************************************************/
#include "demo_scene.h"
#include "flags.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "scene_file.h"
#include "scene_writer.h"
#include "textures.h"

#include <cstdio>
#include <string>

// Builds the demo scene and writes DIRECTORY/escena.xml
int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: demoscene DIRECTORY\n");
        return 1;
    }
    buildDemoScene();
    std::string path = std::string(argv[1]) + "/" + SCENE_FILE_NAME;
    int saved = saveSceneTo(path.c_str());
    // NOTE: released so that a sanitizer build reports no leak at exit
    clear_objects();
    clear_usage_table();
    clear_material_table();
    clear_texture_table();
    clearFlagTable();
    if (!saved) {
        fprintf(stderr, "demoscene: could not write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
