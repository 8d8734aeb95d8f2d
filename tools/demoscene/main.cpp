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

#include <cstdio>

// Builds the demo scene and writes DIRECTORY/escena.xml
int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: demoscene DIRECTORY\n");
        return 1;
    }
    buildDemoScene();
    return writeBuiltScene("demoscene", argv[1]) ? 0 : 1;
}
