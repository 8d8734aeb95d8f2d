/**********************************************************************************************
*
*   stageworks-export - writes the scene of a stageworks directory as a glTF 2.0 file
*
*   Reads DIR/escena.xml (DIR defaults to the current directory) through the editor's own
*   validating loader, without a display, and writes OUT.glb or OUT.gltf (with OUT.bin).
*   Exit status: 0 written, 1 the scene or a bitmap could not be read or the file not
*   written (nothing is left at OUT), 2 bad arguments.
*
*   DEPENDENCIES: export_gltf, scene_reader (tables and loader), objects (sample shapes)
*
**********************************************************************************************/
#include "export_gltf.h"
#include "objects.h"
#include "scene_reader.h"
#include "tool_arguments.h"

#include <cerrno>      // Required for: errno
#include <climits>     // Required for: PATH_MAX
#include <cstdio>
#include <cstring>     // Required for: strerror()
#include <string>
#include <unistd.h>    // Required for: chdir(), getcwd()

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

static const char *USAGE =
    "Usage: stageworks-export [DIR] OUT.glb|OUT.gltf\n"
    "Write the stageworks scene in DIR/escena.xml (DIR defaults to the current directory) as\n"
    "a glTF 2.0 file: OUT.glb holds everything, OUT.gltf gets OUT.bin beside it. The scene is\n"
    "read and validated as stageworks reads it; textures are embedded as PNG images.\n"
    "\n"
    "Options:\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Exit status: 0 when the file was written, 1 when the scene, one of its bitmaps or the\n"
    "output could not be handled (no output file is left behind), 2 on bad arguments.\n";

// The path as seen from the directory the program started in
static std::string absolutePath(const std::string &path)
{
    if (!path.empty() && path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    return std::string(cwd) + "/" + path;
}

//----------------------------------------------------------------------------------
// Main entry point
//----------------------------------------------------------------------------------
int main(int argc, char **argv)
{
    std::vector<std::string> operands;
    const int status = toolArguments(argc, argv, "stageworks-export", SW_VERSION, USAGE, "no output file", operands);
    if (status >= 0) return status;

    if (!exportPathAccepted(operands.back())) {
        fprintf(stderr, "stageworks-export: the output file must end in .glb or .gltf: '%s'\n", operands.back().c_str());
        return 2;
    }
    const std::string out = absolutePath(operands.back());
    const std::string dir = operands.size() == 2 ? operands[0] : ".";
    if (chdir(dir.c_str()) != 0) {
        fprintf(stderr, "stageworks-export: cannot work in '%s': %s\n", dir.c_str(), strerror(errno));
        return 1;
    }

    createSceneTables();
    build_sample_objects();
    if (!loadScene()) {
        fprintf(stderr, "stageworks-export: the scene '%s/escena.xml' could not be read; nothing was written\n",
                dir.c_str());
        return 1;
    }
    std::string error;
    if (!exportScene(out, error)) {
        fprintf(stderr, "stageworks-export: %s; nothing was written\n", error.c_str());
        return 1;
    }
    printf("stageworks-export: %d objects written to %s\n", object_count(), out.c_str());
    return 0;
}
