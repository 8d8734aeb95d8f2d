/**********************************************************************************************
*
*   scene_save - writing the scene file back with new texture and material sections
*
*   The new file is the source file up to and including the <escena> start tag, the freshly
*   written texture and material sections on one line, and then the rest of the source after
*   its old sections, byte for byte. The file is
*   written under a temporary name beside the destination and then renamed over it, so that
*   a failed save leaves the destination as it was.
*
*   DEPENDENCIES: scene_document, scene_scan, editor_material, POSIX file calls
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

// Writes `data` as directory/file through a temporary file in the same directory, renamed
// over the destination once complete; 0 with a message, the destination untouched
int escribeFicheroSeguro(const std::string &directory, const std::string &file, const std::string &data,
                         std::string &error);

// Saves the document: reads the source (XMLPath, XMLFile) and writes the destination
// (XMLPathDestino, XMLFileDestino); 0 with a message when nothing was written
int guardaXML(SceneDocument &doc, std::string &error);
