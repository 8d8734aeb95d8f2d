/**********************************************************************************************
*
*   scene_reader - loading escena.xml into the running scene
*
*   The file is read once into memory (refused first when it is no regular file or larger than
*   MAX_SCENE_FILE_BYTES). Those bytes are parsed once, validated against DESCscene.dtd beside
*   it as they are parsed, whatever the DOCTYPE names, and no other file is read (scene_parse:
*   a document that asks for any other file is refused whole) (a file in the form a save
*   writes whose bytes, and the DTD's, are all ASCII is parsed without converting them from
*   Latin-1: they read the same either way); the tree is read into plain records
*   (scene_document) and only then is the scene replaced, in this order:
*   texture table, material table, flag table, object table (identifiers from a creation
*   counter that starts again at 0) and the material usage table. Any failure up to
*   that point leaves every table, object and flag as it was. After a load nothing refers to
*   the old scene: no object is selected, locked or held.
*
*   Messages on standard error: "Failed to allocate parser context", "Failed to parse
*   escena.xml" (also for a missing file), "Failed to validate escena.xml" (also for a
*   missing DTD), "Error: unable to create new XPath context", and "Error: scene file
*   \"escena.xml\" not loaded: <reason>" for a file that is no regular file or too large, a
*   document that names another file, a DTD that cannot be read (after "Failed to validate")
*   and a valid document that is refused (see scene_document for the limits).
*
*   DEPENDENCIES: scene_document, scene_parse, scene (objects, materials, textures, usage
*                 table, generators, operations), events (flags, event sets), base (app_state),
*                 scene_paths (file_safety), libxml2 (xpath)
*
**********************************************************************************************/
#pragma once

#include "file_status.h"

#include <string>  // Required for: std::string

struct SceneData;
struct MaterialData;
struct material_record;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Empty texture, material and flag tables with the default material and a usage table, as
// the editor makes them at start-up; event sets are released by the events library
void createSceneTables();

// 1 when escena.xml is well formed and valid against its DTD; 0 (with its message) otherwise
int validateSceneFile();

// The bytes of escena.xml; false when it cannot be read, is no regular file or is too large
bool readSceneBytes(std::string *bytes);

// The same with the reason
FileStatus readSceneFileBytes(std::string *bytes);

// Replaces the scene with the content of escena.xml. 1 when the scene was replaced; 0 when
// it was left as it was (the reason is on standard error). The bytes read, when there were
// any, go to *document (empty otherwise)
int loadScene(std::string *document = nullptr);

// Reads another scene file of the scene directory (a recovery copy beside escena.xml) with
// the checks of a load, into records, without touching the running scene (buildScene puts
// them in place). 0 with the reason (Spanish, for the screen; the details on standard error)
// when the file cannot be read, is not valid or is refused
int readOtherSceneFile(const char *path, SceneData *scene, std::string *reason);

// The second half of a load: replaces the tables and the objects with the records read
// (nothing can be refused any more); selection, lock and held object are cleared
void buildScene(const SceneData &scene);

// A material record with the values the file gives; null without memory
material_record *materialFromData(const MaterialData &data);
