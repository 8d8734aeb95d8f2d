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

#include "demo_scene.h"
#include "mixed_scene.h"

#include <cstdio>
#include <cstdlib>  // Required for: strtol()

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
    return writeBuiltScene("mixedscene", argv[2]) ? 0 : 1;
}
