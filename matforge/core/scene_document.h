/**********************************************************************************************
*
*   scene_document - the state of the scene file open in matforge and its edits
*
*   The document holds where the scene file lies and where it is written, the positions the
*   tag scans find in it, the texture list (names in file order) and the material table.
*   Record i of the table is row i of the material list shown to the user. The edits here
*   change the document only; nothing reaches the file until it is saved (scene_save).
*
*   DEPENDENCIES: editor_material
*
**********************************************************************************************/
#pragma once

#include "editor_material.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
// NOTE: about a megabyte (the full material table); keep it on the heap
struct SceneDocument {
    std::string XMLPath;            // directory of the loaded scene file, no trailing separator
    std::string XMLFile;            // file name of the loaded scene file
    std::string XMLPathDestino;     // directory of the file to write
    std::string XMLFileDestino;     // file name of the file to write
    int32_t PosInicial = 0;         // characters up to and including the '>' of <escena>
    int32_t PosActual = 0;          // characters consumed by the running scan
    int32_t PosFinal = 0;           // characters up to the end of the sections to replace
    int16_t numM = 0;               // materials read by the running scan
    std::vector<std::string> texturas;                          // texture list, file order
    std::array<EditorMaterial, EDITOR_MATERIALS> editorMaterials;
    int16_t editorMaterialCount = 0;
    std::string huellaCargada;      // the texture and material sections as loaded or last saved (scene_conflict)
};

// Results of the two creation commands
enum ResultadoAlta {
    ALTA_OK = 0,
    ALTA_VACIO,            // empty answer: nothing to do
    ALTA_NO_VALIDO,        // a name the scene file cannot hold
    ALTA_DUPLICADO,        // the name is already in the list
    ALTA_TABLA_LLENA,      // the material table is full
    ALTA_FUERA_DIRECTORIO  // the bitmap does not lie under the scene's directory
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Splits a path at its last slash or backslash; a path without one lies in "."
void divideRuta(const std::string &path, std::string &directory, std::string &file);

// Joins a directory and a file name with "/"
std::string uneRuta(const std::string &directory, const std::string &file);

// Index of the material with exactly this name (case-sensitive), -1 when there is none
int16_t buscarNumeroMaterial(const SceneDocument &doc, const std::string &name);

// Adds a material with the defaults as the last record. An empty name gives ALTA_VACIO; the
// name must be valid (nombreValido) and differ from every material ignoring letter case.
ResultadoAlta nuevoMaterial(SceneDocument &doc, const std::string &name);

// Removes the material of that name; later records move one place down. "(default)" is
// never removed. Returns the index removed, or -1.
int borraMaterial(SceneDocument &doc, const std::string &name);

// Adds the bitmap at an absolute path to the texture list. The path must lie under XMLPath;
// the name is the rest of the path with "/" separators. The new name is stored in *name.
ResultadoAlta nuevaTextura(SceneDocument &doc, const std::string &path, std::string *name);

// Removes every reference to a texture from the frames of all materials; a material left
// without frames becomes plain
void borraTextura(SceneDocument &doc, const std::string &name);

// Removes row `index` of the texture list and every reference to it (borraTextura)
void eliminaTextura(SceneDocument &doc, int index);

// Removes frame `frame` of an animated record (frameCode >= 2): later frames move one place
// down and frameCode decreases by one; 0 when the record has no such frame
int borrarFrameMat(EditorMaterial &material, int frame);

// Number of frames the record holds (1 for a still texture, frameCode - 1 when animated)
int numeroFrames(const EditorMaterial &material);
