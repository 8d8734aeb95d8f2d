/**********************************************************************************************
*
*   scene_save - writing the scene file back with new texture and material sections
*
*   The new file is the source file up to and including the <escena> start tag, the freshly
*   written texture and material sections on one line, and then the rest of the source after
*   its old sections, byte for byte. The file is put in the destination's place whole
*   (file_replace): a temporary file made with mkstemp beside it, every write and the flush
*   checked, the old permissions kept, then renamed over it; a destination that is a link
*   keeps being one (its target is replaced), and a read-only destination is not replaced.
*   A failed save leaves the destination as it was.
*
*   DEPENDENCIES: scene_document, scene_scan, editor_material, file_replace (file_safety)
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// The texture and material sections of the document, without any separator
std::string seccionesXML(const SceneDocument &doc);

// The whole new file made from the text of the source file. PosInicial and PosFinal are
// found again in that text; 0 with a message when it has no <escena> start tag.
int componeXML(SceneDocument &doc, const std::string &source, std::string &result, std::string &error);

// Writes `data` as directory/file through a temporary file beside the file it replaces,
// renamed over it once complete; 0 with a message ("escena.xml: el fichero es de solo
// lectura."), the destination untouched
int escribeFicheroSeguro(const std::string &directory, const std::string &file, const std::string &data,
                         std::string &error);

// Saves the document: reads the source (XMLPath, XMLFile) and writes the destination
// (XMLPathDestino, XMLFileDestino); 0 with a message when nothing was written
int guardaXML(SceneDocument &doc, std::string &error);
