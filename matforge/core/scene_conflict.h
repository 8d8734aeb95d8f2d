/**********************************************************************************************
*
*   scene_conflict - did someone else change the texture and material sections on disk?
*
*   matforge rewrites the texture and material sections of the scene file and keeps every
*   other part as it is on disk when it saves, so objects another program saved in the
*   meantime survive. What it must not do silently is write over texture or material
*   sections that changed on disk since it loaded them (another matforge, a hand edit). The
*   document keeps a fingerprint of those sections as loaded (or as last saved over the
*   loaded file); the save compares it with the file on disk first. The fingerprint does not
*   depend on the order of textures and materials nor on how numbers are written, so a
*   stageworks save that wrote the same materials back in its own order is no change.
*
*   DEPENDENCIES: scene_document, scene_scan (reading the file on disk), editor_material
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// What the texture and material sections of a document hold, one text
std::string huellaSecciones(const SceneDocument &doc);

// Notes the document's sections as the loaded file holds them now: after a load, or after a
// save over the loaded file
void anotaSecciones(SceneDocument &doc);

// 1 when the sections of the loaded file on disk differ from those noted, 0 when they do not,
// -1 with a message when the file cannot be read
int seccionesCambiadas(const SceneDocument &doc, std::string &error);
