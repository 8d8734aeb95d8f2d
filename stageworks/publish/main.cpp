/**********************************************************************************************
*
*   stageworks-publish - writes the scene of a stageworks directory as a folder of static web
*                        files that shows it in a browser, events and all
*
*   Reads DIR/escena.xml (DIR defaults to the current directory) through the editor's own
*   validating loader, without a display, and writes OUTDIR: index.html, the player, the
*   compiled event engine, scene.json, the geometry, the textures' mipmap levels and the font.
*   Exit status: 0 written, 1 the scene or a bitmap could not be read or the folder not
*   written (nothing is left at OUTDIR and an existing OUTDIR is as it was), 2 bad arguments.
*
*   DEPENDENCIES: web_folder, web_scene, scene_reader (tables and loader), objects (sample shapes)
*
**********************************************************************************************/
#include "web_folder.h"
#include "web_scene.h"

#include "objects.h"
#include "scene_reader.h"
#include "tool_arguments.h"

#include <cerrno>      // Required for: errno
#include <climits>     // Required for: PATH_MAX
#include <cstdio>
#include <cstring>     // Required for: strerror()
#include <string>
#include <unistd.h>    // Required for: chdir(), getcwd()
#include <vector>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

static const char *USAGE =
    "Usage: stageworks-publish [DIR] OUTDIR\n"
    "Write the stageworks scene in DIR/escena.xml (DIR defaults to the current directory) as\n"
    "a folder of static web files: OUTDIR/index.html shows the scene in a browser, with its\n"
    "lights, sky, textures and events, walked with the keys and the mouse as in\n"
    "'stageworks --play'. Serve the folder with any static web server (for example\n"
    "'python3 -m http.server' inside it); it fetches nothing from anywhere else.\n"
    "The scene is read and validated as stageworks reads it.\n"
    "\n"
    "An existing OUTDIR is replaced only when it is empty or was written by stageworks-publish.\n"
    "\n"
    "Options:\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Exit status: 0 when the folder was written, 1 when the scene, one of its bitmaps or the\n"
    "output could not be handled (no folder is left behind and an existing OUTDIR is kept as\n"
    "it was), 2 on bad arguments.\n";

// The path as seen from the directory the program started in
static std::string absolutePath(const std::string &path)
{
    if (!path.empty() && path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    return std::string(cwd) + "/" + path;
}

// Without its trailing slashes ("/" stays)
static std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// True when text is well-formed UTF-8
static bool isUtf8(const std::string &text)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = (unsigned char)text[i];
        const size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; k++)
            if (((unsigned char)text[i + k] >> 6) != 0x2) return false;
        i += length;
    }
    return true;
}

// The scene's name from its directory's name, as UTF-8 text: a name that is not UTF-8 is
// taken as Latin-1, the scene file's own encoding
static std::string sceneName(const std::string &directory)
{
    std::string name = directory.substr(directory.find_last_of('/') + 1);
    if (name.empty()) name = "escena";
    if (isUtf8(name)) return name;
    std::string utf8;
    for (unsigned char c : name) {
        if (c < 0x80) {
            utf8 += (char)c;
        } else {
            utf8 += (char)(0xC0 | (c >> 6));
            utf8 += (char)(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

//----------------------------------------------------------------------------------
// Main entry point
//----------------------------------------------------------------------------------
int main(int argc, char **argv)
{
    std::vector<std::string> operands;
    const int status = toolArguments(argc, argv, "stageworks-publish", SW_VERSION, USAGE, "no output folder", operands);
    if (status >= 0) return status;

    const std::string out = withoutTrailingSlashes(absolutePath(operands.back()));
    const std::string dir = operands.size() == 2 ? operands[0] : ".";
    WebSources sources;
    std::string error;
    if (!findWebSources(sources, error) || !outputReplaceable(out, error)) {
        fprintf(stderr, "stageworks-publish: %s; nothing was written\n", error.c_str());
        return 1;
    }
    if (chdir(dir.c_str()) != 0) {
        fprintf(stderr, "stageworks-publish: cannot work in '%s': %s\n", dir.c_str(), strerror(errno));
        return 1;
    }

    createSceneTables();
    build_sample_objects();
    if (!loadScene()) {
        fprintf(stderr, "stageworks-publish: the scene '%s/escena.xml' could not be read; nothing was written\n",
                dir.c_str());
        return 1;
    }
    char cwd[PATH_MAX];
    const std::string here = getcwd(cwd, sizeof cwd) != nullptr ? cwd : dir;
    if (!publishFolder(out, sources, webSceneBehaviour(sceneName(here)), error)) {
        fprintf(stderr, "stageworks-publish: %s; nothing was written\n", error.c_str());
        return 1;
    }
    printf("stageworks-publish: %d objects written to %s\n", object_count(), out.c_str());
    return 0;
}
