/**********************************************************************************************
*
*   scene_files - the files around the open scene: names, recent scenes, bitmaps brought in
*
*   The file jobs of the editor that are no part of reading or writing the scene itself: the
*   name "Guardar como" writes to (".xml" added to a bare name), the list of recently opened
*   scenes (newest first, no repeats, a bounded length), and a bitmap dropped from outside the
*   scene's directory, copied into its Data/ directory so that its name can be relative to
*   the scene like every texture's.
*
*   DEPENDENCIES: scene_document, scene_scan (reading a file), scene_save (writing one safely),
*                 POSIX stat() and mkdir()
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int RECIENTES_MAX = 8;   // scenes kept in the recent list

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// The path with ".xml" appended when its file name has no ending of its own ("copia" ->
// "copia.xml"; "copia.xml", "copia.old" and a path that ends in a separator stay as they are)
std::string nombreConXml(const std::string &path);

// Puts a path first in a recent list; an equal entry further down goes, and the list keeps
// at most `maximo` entries
void anadeReciente(std::vector<std::string> &lista, const std::string &path, int maximo = RECIENTES_MAX);

// 1 when a path lies inside the scene's directory (XMLPath and a separator before the rest)
int dentroDeEscena(const SceneDocument &doc, const std::string &path);

// Makes a bitmap available under the scene's directory. A path inside it is handed back as
// it is; one outside is copied into XMLPath/Data/ (made when missing) under its own file
// name, or the first free "name_2.bmp", "name_3.bmp"... when another file holds that name (a
// file with the same bytes is used as it is). Only regular files are read. 0 with a message
// when nothing could be made; else 1 with the path inside the scene in `dentro`.
int traeBitmap(const SceneDocument &doc, const std::string &path, std::string &dentro, std::string &error);
