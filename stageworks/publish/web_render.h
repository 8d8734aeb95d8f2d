/**********************************************************************************************
*
*   web_render - what the page needs to draw the scene as stageworks draws it
*
*   The render fields of scene.json, under "render": the projection, the clear colour, the
*   lights and the fog as the editor's start-up leaves them in OpenGL (replayed on the
*   publisher's own context and read back, so the values are the editor's own), the sun and
*   the sky box, every material as apply_material sends it (with its texture frames, scale and
*   animation), the material usage table the scene is drawn from, every texture the page
*   loads, and each object's place in the geometry buffers with its parts.
*
*   DEPENDENCIES: web_geometry, materials, material_usage, objects, base (camera, lights,
*                 frame pacing), OpenGL (the state read back), nlohmann json
*
**********************************************************************************************/
#pragma once

#include "web_geometry.h"

#include <nlohmann/json.hpp>   // Required for: nlohmann::json

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// The bitmaps the page needs, in the order of their texture numbers
struct WebBitmaps {
    std::vector<std::string> paths;
    std::vector<std::string> owners;   // who needs each first ("material 'agua'", "the sky box")

    // The number of a bitmap, given on first use (by owner)
    int numberOf(const std::string &path, const std::string &owner = std::string());
};

// Where the files of the folder are, as the page fetches them
struct WebFiles {
    std::string geometry;                 // the geometry buffers
    size_t geometryBytes = 0;
    size_t indexOffset = 0;
    size_t planeOffset = 0;
    std::vector<std::string> textures;    // one per bitmap number
    std::vector<size_t> textureBytes;
    std::string font;                     // empty without a font
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The bitmaps of the loaded scene's textured materials, then those of the sky box
WebBitmaps sceneBitmaps();

// The render fields of the loaded scene. The publisher's OpenGL context must be current: the
// editor's light and fog set-up is replayed on it and read back
nlohmann::json renderFields(const WebGeometry &geometry, const WebBitmaps &bitmaps, const WebFiles &files);
