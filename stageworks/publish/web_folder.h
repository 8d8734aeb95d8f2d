/**********************************************************************************************
*
*   web_folder - the folder of static files that shows the loaded scene in a browser
*
*   The folder holds index.html, the player's modules and the compiled event engine
*   (player/), scene.json (behaviour and render fields), the geometry buffers, the mipmap
*   levels of every texture and the font of the HUD (data/). It is made in a scratch folder
*   beside OUTDIR and put in place whole at the end, so a failure leaves no folder and an
*   existing OUTDIR as it was. An existing OUTDIR is replaced only when it is empty or a folder
*   this program wrote (it carries a marker file), never any other folder.
*
*   DEPENDENCIES: web_geometry, web_textures, web_render, atomic_output, nlohmann json
*
**********************************************************************************************/
#pragma once

#include <nlohmann/json.hpp>   // Required for: nlohmann::json

#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Marker file of a published folder
constexpr const char *PUBLISHED_MARKER = ".stageworks-publish";

// Where the page's own files come from
struct WebSources {
    std::string playerDir;   // index.html, the player's modules and style sheet
    std::string engineDir;   // stageworks-engine.mjs and stageworks-engine.wasm
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The installed or built web files: STAGEWORKS_WEB_DIR (player/ and engine/ in it), else
// ../share/stageworks/web beside the program, else the build tree's; false when none is whole
bool findWebSources(WebSources &sources, std::string &error);

// True when path may be replaced: it does not exist, or is an empty folder or a published one
bool outputReplaceable(const std::string &path, std::string &error);

// Writes the folder of the loaded scene (whose working directory is the scene directory) to
// outDir, with behaviour the scene.json fields the engine reads; false with the reason in
// error, and then nothing at outDir has changed
bool publishFolder(const std::string &outDir, const WebSources &sources, const nlohmann::json &behaviour,
                   std::string &error);
