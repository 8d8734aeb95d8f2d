/**********************************************************************************************
*
*   web_folder - the folder of static files that shows the loaded scene in a browser
*
**********************************************************************************************/
#include "web_folder.h"

#include "atomic_output.h"
#include "web_geometry.h"
#include "web_render.h"
#include "web_textures.h"

#include <cstdlib>      // Required for: getenv()
#include <filesystem>   // Required for: the player's files, the output's checks
#include <fstream>      // Required for: reading the files copied
#include <sstream>
#include <sys/stat.h>   // Required for: mkdir(), chmod()
#include <unistd.h>     // Required for: readlink()

namespace fs = std::filesystem;
using nlohmann::json;

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const char *ENGINE_FILES[] = {"stageworks-engine.mjs", "stageworks-engine.wasm"};
static const char *FONT_FILE = "arial.glf";
static const char *PLAYER_PAGE = "index.html";

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

static bool isFile(const std::string &path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

static bool readWhole(const std::string &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    bytes = out.str();
    return !in.bad();
}

// The program's own directory (through /proc), empty when unknown
static std::string programDir()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    path[n] = '\0';
    return parentOf(path);
}

// True when dir holds both halves of the page's files
static bool wholeSources(const WebSources &s)
{
    if (!isFile(s.playerDir + "/" + PLAYER_PAGE)) return false;
    for (const char *name : ENGINE_FILES)
        if (!isFile(s.engineDir + "/" + name)) return false;
    return true;
}

// Copies one file into the folder being made
static bool copyInto(const std::string &from, const std::string &to, std::string &error)
{
    std::string bytes;
    if (!readWhole(from, bytes)) {
        error = "cannot read '" + from + "'";
        return false;
    }
    return writeFileSynced(to, bytes, error);
}

static bool makeDir(const std::string &path, std::string &error)
{
    if (mkdir(path.c_str(), 0755) == 0) return true;
    error = "cannot make the folder '" + path + "'";
    return false;
}

// The player's files (every plain file of its folder) and the compiled engine into player/
static bool copyPlayer(const std::string &scratch, const WebSources &sources, std::string &error)
{
    if (!makeDir(scratch + "/player", error)) return false;
    std::error_code ec;
    for (const fs::directory_entry &entry : fs::directory_iterator(sources.playerDir, ec)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        const std::string to = name == PLAYER_PAGE ? scratch + "/" + name : scratch + "/player/" + name;
        if (!copyInto(entry.path().string(), to, error)) return false;
    }
    if (ec) {
        error = "cannot list '" + sources.playerDir + "'";
        return false;
    }
    for (const char *name : ENGINE_FILES)
        if (!copyInto(sources.engineDir + "/" + name, scratch + "/player/" + name, error)) return false;
    return true;
}

// Every bitmap's mipmap levels into data/tN.bin; the names and sizes go into files
static bool writeTextures(const std::string &scratch, const WebBitmaps &bitmaps, WebFiles &files,
                          MipmapContext &context, std::string &error)
{
    for (size_t i = 0; i < bitmaps.paths.size(); i++) {
        const std::string &path = bitmaps.paths[i];
        int width = 0, height = 0;
        std::string rgb;
        std::vector<MipmapLevel> levels;
        if (!readTextureBitmap(path, width, height, rgb, error) ||
            !buildMipmapLevels(context, width, height, rgb, levels, error)) {
            // NOTE: worded as the glTF export words it
            if (i < bitmaps.owners.size() && !bitmaps.owners[i].empty()) error = bitmaps.owners[i] + ": " + error;
            return false;
        }
        const std::string name = "data/t" + std::to_string(i) + ".bin";
        const std::string bytes = mipmapFileBytes(levels);
        if (!writeFileSynced(scratch + "/" + name, bytes, error)) return false;
        files.textures.push_back(name);
        files.textureBytes.push_back(bytes.size());
    }
    return true;
}

// Everything of the folder into scratch
static bool writeFolder(const std::string &scratch, const WebSources &sources, const json &behaviour,
                        std::string &error)
{
    std::string contextError;
    auto context = openMipmapContext(contextError);
    if (!context) {
        error = contextError;
        return false;
    }
    const WebBitmaps bitmaps = sceneBitmaps();
    WebFiles files;
    if (!copyPlayer(scratch, sources, error) || !makeDir(scratch + "/data", error) ||
        !writeTextures(scratch, bitmaps, files, *context, error))
        return false;

    const WebGeometry geometry = sceneGeometry();
    const std::string bytes = geometryBytes(geometry, &files.indexOffset, &files.planeOffset);
    files.geometry = "data/geometry.bin";
    files.geometryBytes = bytes.size();
    if (!writeFileSynced(scratch + "/" + files.geometry, bytes, error)) return false;

    // NOTE: without the font the HUD has no text, as in stageworks
    std::string font;
    if (isFile(FONT_FILE) && readWhole(FONT_FILE, font)) {
        files.font = "data/font.glf";
        if (!writeFileSynced(scratch + "/" + files.font, font, error)) return false;
    }

    json scene = behaviour.is_object() ? behaviour : json::object();
    scene["render"] = renderFields(geometry, bitmaps, files);
    // NOTE: the names are UTF-8 (the loader converts the scene file's Latin-1); should one not
    // be, its bad bytes become replacement characters instead of ending the program
    const std::string text = scene.dump(-1, ' ', false, json::error_handler_t::replace);
    if (!writeFileSynced(scratch + "/scene.json", text, error)) return false;
    return writeFileSynced(scratch + "/" + PUBLISHED_MARKER, std::string("stageworks-publish ") + SW_VERSION + "\n",
                           error);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool findWebSources(WebSources &sources, std::string &error)
{
    std::vector<WebSources> candidates;
    if (const char *dir = getenv("STAGEWORKS_WEB_DIR")) candidates.push_back({std::string(dir) + "/player", std::string(dir) + "/engine"});
    const std::string here = programDir();
    if (!here.empty()) candidates.push_back({here + "/../share/stageworks/web/player", here + "/../share/stageworks/web/engine"});
#ifdef SW_WEB_PLAYER_DIR
    candidates.push_back({SW_WEB_PLAYER_DIR, SW_WEB_ENGINE_DIR});
#endif
    for (const WebSources &candidate : candidates) {
        if (wholeSources(candidate)) {
            sources = candidate;
            return true;
        }
    }
    error = "the player's files (index.html and the compiled engine) were not found";
    if (!candidates.empty()) error += " in '" + parentOf(candidates.front().playerDir) + "'";
    return false;
}

bool outputReplaceable(const std::string &path, std::string &error)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (!fs::exists(status)) return true;
    if (!fs::is_directory(status)) {
        error = "'" + path + "' exists and is not a folder";
        return false;
    }
    if (fs::is_empty(path, ec) || isFile(path + "/" + PUBLISHED_MARKER)) return true;
    error = "'" + path + "' is a folder that stageworks-publish did not write; it is left alone";
    return false;
}

bool publishFolder(const std::string &outDir, const WebSources &sources, const json &behaviour, std::string &error)
{
    if (!outputReplaceable(outDir, error)) return false;
    const std::string scratch = makeScratchDir(parentOf(outDir), ".stageworks-publish-", error);
    if (scratch.empty()) return false;
    // NOTE: a scratch folder is private (0700); the folder is meant to be served to anyone
    bool ok = chmod(scratch.c_str(), 0755) == 0;
    if (!ok) error = "cannot open up the folder '" + scratch + "'";
    if (ok) ok = writeFolder(scratch, sources, behaviour, error);
    if (ok) ok = replaceDirectory(scratch, outDir, error);
    if (!ok) removeTree(scratch);
    return ok;
}
