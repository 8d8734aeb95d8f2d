/**********************************************************************************************
*
*   scene_scan - the tag scans that read a scene file into the document
*
*   The scene file is never parsed as XML: it is read character by character, a tag being
*   everything from a "<" to the next ">" (the material scans also end a tag at a double
*   quote, so that a material opens with the token <IDMaterial codigo="), and the text of an
*   element everything from its tag to the next "<". Positions count characters (bytes) from
*   the start of the file.
*
*   DEPENDENCIES: scene_document, editor_material, scene_check (files refused before a scan),
*                 scene_paths (file_safety: reading the file)
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Reads a whole file into `text`; 0 with a message in `error` when it cannot be read, is no
// regular file or is larger than SCENE_FILE_MAX_BYTES
int leeFichero(const std::string &path, std::string &text, std::string &error);

// Characters up to and including the '>' of the first <escena> tag of a text; 0 when absent
int32_t buscaInicioEscena(const std::string &text);

// Texture scan of a text: appends a row for every <IDTextura> and sets PosInicial
void escaneaTexturas(SceneDocument &doc, const std::string &text);

// Material scan of a text, up to <PRIMestado>, </escena> or the end. With `store` the
// materials fill the table from record numM on and PosFinal is the end of the last
// </IDMaterial> (0 when none); returns 0 with a message when the table or a material's
// frames overflow. Without `store` nothing is kept but PosFinal, which is then the end of
// the last </IDMaterial>, or of the last </IDTextura> when there is no material.
int escaneaMateriales(SceneDocument &doc, const std::string &text, bool store, std::string &error);

// Texture scan of the loaded file (XMLPath, XMLFile)
int leeEtiqueta(SceneDocument &doc, std::string &error);

// Material scan of the loaded file, filling the material table
int leeEtiqueta2(SceneDocument &doc, std::string &error);

// Material scan of the loaded file that only finds PosFinal
int leeEtiqueta3(SceneDocument &doc, std::string &error);

// Empties the texture list and the material table and runs both scans on the loaded file.
// A file that is not well-formed, whose sections cannot be read whole (scene_check) or
// without the <escena> start tag is refused, with the line and the reason.
int cargaXML(SceneDocument &doc, std::string &error);

// Takes `path` as the loaded file (XMLPath, XMLFile), resets the positions and runs cargaXML
int cargaEscena(SceneDocument &doc, const std::string &path, std::string &error);
