/**********************************************************************************************
*
*   scene_writer - writing the whole scene to escena.xml
*
*   The document is written with the libxml2 text writer, without indentation: the XML
*   declaration (ISO-8859-1) and the DOCTYPE line, then the whole element tree on one line and
*   a final line feed. Textures, materials and flags come in their tables' iteration order,
*   objects in slot order with their events, parameters and the faces that carry holes or a
*   material of their own. Reals are written with three decimals; texture names are written
*   whole, as the texture table holds them.
*
*   The document is made in memory and put in the file's place whole (file_replace): a
*   temporary file made with mkstemp beside the file (beside the target of a link, which stays
*   a link), every write and the flush to the disk checked, the old file's permissions kept,
*   then renamed over it. A read-only file is not replaced. A failed save leaves the previous
*   scene as it was.
*
*   DEPENDENCIES: scene (textures, materials, objects, parameters, records), events (flags,
*                 event sets), file_replace (file_safety), libxml2 (xmlwriter)
*
**********************************************************************************************/
#pragma once

#include "file_status.h"

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Writes the scene to escena.xml in the working directory. 1 when the file was replaced, with
// the bytes written in *document when given; 0 when it was not, the previous file then being
// untouched, with the reason on standard error ("Error: escena.xml not saved: the file is
// read-only", "Error: unable to write file \"escena.xml\": cannot write: No space left on
// device"). Changes nothing in memory.
int saveScene(std::string *document = nullptr);

// The same document written to another path
int saveSceneTo(const char *path, std::string *document = nullptr);

// The whole document in memory; 0 when the writer failed
int writeSceneDocument(std::string *bytes);

// How the last save ended: FILE_OK, or why nothing was written
FileStatus lastSaveStatus();
