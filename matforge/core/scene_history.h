/**********************************************************************************************
*
*   scene_history - undo and redo of the texture list and the material table
*
*   Every change to the lists of the open scene (a texture or material added or deleted, a
*   material form accepted) is noted as a whole state of both lists; undo and redo put a noted
*   state back into the document. States share the material records they have in common, so
*   a step costs the records it changed and a pointer for each of the others. The history
*   also keeps the state as loaded or last saved: the scene is modified while the current
*   state differs from it, and undoing back to it leaves the scene unmodified again.
*
*   DEPENDENCIES: scene_document, editor_material
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

#include <memory>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int HISTORIAL_PASOS = 200;   // changes that can be undone; older ones are forgotten

// The two lists at one moment, and the change that led to them
struct EstadoListas {
    std::vector<std::string> texturas;
    std::vector<std::shared_ptr<const EditorMaterial>> materiales;
    std::string accion;
};

struct HistorialEscena {
    std::vector<EstadoListas> pasos;   // pasos[actual] is what the document holds
    size_t actual = 0;
    EstadoListas guardado;             // as loaded or last saved
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Starts the history of a document just loaded: nothing to undo, nothing modified
void historialInicia(HistorialEscena &historial, const SceneDocument &doc);

// Forgets everything (no scene open)
void historialVacia(HistorialEscena &historial);

// Notes the document after a change described by `accion`; the redo steps are dropped.
// 0 (nothing noted) when the lists are what they were.
int historialAnota(HistorialEscena &historial, const SceneDocument &doc, const std::string &accion);

// Puts the state before the last change (or after the next one) back into the document;
// 0 when there is none
int historialDeshace(HistorialEscena &historial, SceneDocument &doc);
int historialRehace(HistorialEscena &historial, SceneDocument &doc);

// The change an undo or a redo would take back or do again; empty when there is none
std::string historialAccionDeshacer(const HistorialEscena &historial);
std::string historialAccionRehacer(const HistorialEscena &historial);

// The current state is now the one on disk (after a save)
void historialMarcaGuardado(HistorialEscena &historial);

// True while the lists differ from the state as loaded or last saved
bool historialModificado(const HistorialEscena &historial);
