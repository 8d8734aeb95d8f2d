/**********************************************************************************************
*
*   scene_parse - parsing a scene document with its own DTD and nothing else
*
*   A scene file names its DTD in its DOCTYPE and may declare entities that name other files.
*   A parse here reads exactly one file besides the document: DESCscene.dtd of the scene
*   directory, whatever the DOCTYPE says and opened under the rule for files a scene names
*   (scene_paths: inside the scene directory, a regular file, without blocking, at most
*   MAX_SCENE_DTD_BYTES). Every other file the document asks for (an external entity, a
*   parameter entity, a file the DTD itself names) is refused: nothing is read, and the parse
*   reports the refusal so that the document is refused whole. libxml2's own loader, its
*   catalogs and the network are never used.
*
*   DEPENDENCIES: scene_file (names, limits), scene_paths (file_safety), libxml2 (parser)
*
**********************************************************************************************/
#pragma once

#include <libxml/parser.h>

#include <string>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// What one parse gave
struct SceneParse {
    xmlDocPtr doc = nullptr;      // the tree (null when not well formed); the caller frees it
    bool valid = false;           // valid against the DTD
    std::string refusal;          // the first file the document asked for besides its DTD
    std::string dtdProblem;       // why the DTD could not be read (empty when it was)
    std::string firstMessage;     // libxml2's first message, with its line
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Parses bytes as the scene document of sceneDirectory with libxml2's options (validating when
// they ask for it); libxml2's messages are only kept (firstMessage) when quiet is true
SceneParse parseSceneBytes(const std::string &bytes, const std::string &sceneDirectory, int options, bool quiet);

// The text for a parse whose document asked for another file: "it names another file
// (\"/etc/passwd\"); a scene may name no file but its DTD"
std::string sceneRefusalText(const SceneParse &parse);
