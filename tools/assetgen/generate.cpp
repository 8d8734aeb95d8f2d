/**********************************************************************************************
*
*   generate - writes the whole run data of stageworks into a directory
*
*   DEPENDENCIES: asset_output, sky, textures, menus, event_icons, solids, font_atlas
*
**********************************************************************************************/
#include "generate.h"

#include "asset_output.h"
#include "bmp_writer.h"
#include "event_icons.h"
#include "font_atlas.h"
#include "menus.h"
#include "sky.h"
#include "solids.h"
#include "textures.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

// Font files, found by the build (see CMakeLists.txt)
#ifndef SW_FONT_REGULAR
#define SW_FONT_REGULAR "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
#endif
#ifndef SW_FONT_BOLD
#define SW_FONT_BOLD "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

// Creates a directory unless one exists already
bool makeDirectory(const std::string &path)
{
    if (mkdir(path.c_str(), 0755) == 0) return true;
    if (errno != EEXIST) return false;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// Builds and writes arial.glf into the root directory
bool writeFont(AssetOutput &out)
{
    FontAtlas atlas;
    std::string error;
    if (!buildFontAtlas(out.regular, atlas, error)) return recordFailure(out, "arial.glf: " + error);
    std::string path = out.rootDir + "/arial.glf";
    if (!writeFileBytes(path, encodeFontFile(atlas))) return recordFailure(out, "cannot write " + path + ": " + strerror(errno));
    out.filesWritten++;
    return true;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// DejaVu Sans
const char *regularFontPath()
{
    return SW_FONT_REGULAR;
}

// DejaVu Sans Bold
const char *boldFontPath()
{
    return SW_FONT_BOLD;
}

// Directories, faces, then every generator in turn
bool generateAssets(const std::string &directory, std::string &error, int &filesWritten)
{
    filesWritten = 0;
    AssetOutput out;
    out.rootDir = directory;
    out.dataDir = directory + "/Data";
    if (!makeDirectory(out.rootDir) || !makeDirectory(out.dataDir)) {
        error = "cannot create " + out.dataDir + ": " + strerror(errno);
        return false;
    }
    if (!openFontFace(out.regular, regularFontPath(), error) || !openFontFace(out.bold, boldFontPath(), error)) return false;

    bool ok = generateSky(out) && generateTextures(out) && generateMenus(out) && generateEventIcons(out) &&
              generateSolids(out) && writeFont(out);
    filesWritten = out.filesWritten;
    if (!ok) error = out.error.empty() ? "generation failed" : out.error;
    return ok;
}
