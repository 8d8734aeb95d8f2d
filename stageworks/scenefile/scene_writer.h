/**********************************************************************************************
*
*   scene_writer - writing the whole scene to escena.xml
*
*   The document is written with the libxml2 text writer, without indentation: the XML
*   declaration (ISO-8859-1) and the DOCTYPE line, then the whole element tree on one line and
*   a final line feed. Textures, materials and flags come in their tables' iteration order,
*   objects in slot order with their events, parameters and the faces that carry holes or a
*   material of their own. Reals are written with three decimals.
*
*   The file is written under a temporary name beside the destination and renamed over it
*   only when every byte reached the disk, so a failed save leaves the previous scene as it
*   was (and removes the temporary file).
*
*   DEPENDENCIES: scene (textures, materials, objects, parameters, records), events (flags,
*                 event sets), libxml2 (xmlwriter)
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Writes the scene to escena.xml in the working directory. 1 when the file was replaced; 0
// when it could not be written ("Error: unable to write file \"escena.xml\"" on standard
// error), the previous file then being untouched. Changes nothing in memory.
int saveScene();

// The same document written to another path (through path + ".tmp")
int saveSceneTo(const char *path);

// A texture name as the texture section stores it: cut right after the three characters
// (UTF-8 characters, not bytes) that follow the first point of its file name (the part after
// the last '/'); a file name without a point is kept whole
std::string textureNameForFile(const std::string &name);
