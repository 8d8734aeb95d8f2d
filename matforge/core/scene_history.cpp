/**********************************************************************************************
*
*   scene_history - undo and redo of the texture list and the material table
*
**********************************************************************************************/
#include "scene_history.h"

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// True when two states hold the same lists (records compared by content)
static bool mismoEstado(const EstadoListas &a, const EstadoListas &b)
{
    if (a.texturas != b.texturas || a.materiales.size() != b.materiales.size()) return false;
    for (size_t i = 0; i < a.materiales.size(); i++) {
        if (a.materiales[i] != b.materiales[i] && !mismoMaterial(*a.materiales[i], *b.materiales[i])) return false;
    }
    return true;
}

// The document's lists as a state. A record equal to one of the previous state at the same
// place, or one place off (a material added or deleted before it), is shared with it.
static EstadoListas estadoDe(const SceneDocument &doc, const EstadoListas *anterior)
{
    EstadoListas estado;
    estado.texturas = doc.texturas;
    for (int i = 0; i < doc.editorMaterialCount; i++) {
        const EditorMaterial &material = doc.editorMaterials[(size_t)i];
        std::shared_ptr<const EditorMaterial> compartido;
        if (anterior != nullptr) {
            const auto &previos = anterior->materiales;
            for (int j : {i, i + 1, i - 1}) {
                if (j < 0 || j >= (int)previos.size() || !mismoMaterial(*previos[(size_t)j], material)) continue;
                compartido = previos[(size_t)j];
                break;
            }
        }
        estado.materiales.push_back(compartido ? compartido : std::make_shared<const EditorMaterial>(material));
    }
    return estado;
}

// Puts a state into the document; records past the new count are emptied
static void aplicaEstado(const EstadoListas &estado, SceneDocument &doc)
{
    doc.texturas = estado.texturas;
    const int cuenta = (int)estado.materiales.size();
    for (int i = 0; i < cuenta; i++) doc.editorMaterials[(size_t)i] = *estado.materiales[(size_t)i];
    for (int i = cuenta; i < doc.editorMaterialCount; i++) doc.editorMaterials[(size_t)i] = EditorMaterial{};
    doc.editorMaterialCount = (int16_t)cuenta;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void historialInicia(HistorialEscena &historial, const SceneDocument &doc)
{
    historial.pasos.clear();
    historial.pasos.push_back(estadoDe(doc, nullptr));
    historial.actual = 0;
    historial.guardado = historial.pasos[0];
}

void historialVacia(HistorialEscena &historial)
{
    historial = HistorialEscena{};
}

int historialAnota(HistorialEscena &historial, const SceneDocument &doc, const std::string &accion)
{
    if (historial.pasos.empty()) return 0;
    EstadoListas estado = estadoDe(doc, &historial.pasos[historial.actual]);
    if (mismoEstado(estado, historial.pasos[historial.actual])) return 0;
    estado.accion = accion;
    historial.pasos.resize(historial.actual + 1);
    historial.pasos.push_back(std::move(estado));
    if (historial.pasos.size() > (size_t)HISTORIAL_PASOS + 1) historial.pasos.erase(historial.pasos.begin());
    historial.actual = historial.pasos.size() - 1;
    return 1;
}

int historialDeshace(HistorialEscena &historial, SceneDocument &doc)
{
    if (historial.pasos.empty() || historial.actual == 0) return 0;
    historial.actual--;
    aplicaEstado(historial.pasos[historial.actual], doc);
    return 1;
}

int historialRehace(HistorialEscena &historial, SceneDocument &doc)
{
    if (historial.actual + 1 >= historial.pasos.size()) return 0;
    historial.actual++;
    aplicaEstado(historial.pasos[historial.actual], doc);
    return 1;
}

std::string historialAccionDeshacer(const HistorialEscena &historial)
{
    if (historial.pasos.empty() || historial.actual == 0) return std::string();
    return historial.pasos[historial.actual].accion;
}

std::string historialAccionRehacer(const HistorialEscena &historial)
{
    if (historial.actual + 1 >= historial.pasos.size()) return std::string();
    return historial.pasos[historial.actual + 1].accion;
}

void historialMarcaGuardado(HistorialEscena &historial)
{
    if (!historial.pasos.empty()) historial.guardado = historial.pasos[historial.actual];
}

bool historialModificado(const HistorialEscena &historial)
{
    return !historial.pasos.empty() && !mismoEstado(historial.pasos[historial.actual], historial.guardado);
}
