/**********************************************************************************************
*
*   web_scene - the behaviour half of a published scene's scene.json
*
*   What the page's event engine needs to play the scene as stageworks --play does, taken from
*   the tables a scene load filled: the player's start camera, the flags, the materials (with
*   what makes them textured), and every object's slot, identifier, kind, pose, material names
*   and events. The publish program adds what the page draws to the same document.
*
*   Flags are listed in the order that, added one by one, rebuilds the same flag table (the
*   reverse of its iteration order: a bucket keeps its newest entry first); materials in the
*   material table's iteration order (the order the renderer draws them in). Floats are the
*   exact doubles of the 32-bit values, so a reader rounding them to 32 bits (Math.fround)
*   gets the very same bits.
*
*   DEPENDENCIES: events (flags, event sets), scene (objects, materials), base (camera),
*                 nlohmann/json (the document)
*
**********************************************************************************************/
#pragma once

#include <nlohmann/json.hpp>  // Required for: the scene.json document

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The behaviour fields of the loaded scene: "name" (given), "camera", "flags", "materials"
// and "objects" (one per slot, in slot order)
nlohmann::json webSceneBehaviour(const std::string &name);
