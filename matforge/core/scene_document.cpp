/**********************************************************************************************
*
*   scene_document - the state of the scene file open in matforge and its edits
*
**********************************************************************************************/
#include "scene_document.h"

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// Removes every frame equal to `name` from an animated record (frameCode >= 2); returns
// how many were removed
static int quitaFramesAnimacion(EditorMaterial &material, const std::string &name)
{
    int removed = 0;
    int i = 0;
    while (i < numeroFrames(material)) {
        if (material.frames[i] != name) {
            i++;
            continue;
        }
        if (!borrarFrameMat(material, i)) break;
        removed++;
    }
    return removed;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void divideRuta(const std::string &path, std::string &directory, std::string &file)
{
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        directory = ".";
        file = path;
        return;
    }
    directory = path.substr(0, cut);
    file = path.substr(cut + 1);
}

std::string uneRuta(const std::string &directory, const std::string &file)
{
    return directory + "/" + file;
}

int16_t buscarNumeroMaterial(const SceneDocument &doc, const std::string &name)
{
    for (int16_t i = 0; i < doc.editorMaterialCount; i++) {
        if (doc.editorMaterials[i].name == name) return i;
    }
    return -1;
}

ResultadoAlta nuevoMaterial(SceneDocument &doc, const std::string &name)
{
    if (name.empty()) return ALTA_VACIO;
    if (doc.editorMaterialCount >= EDITOR_MATERIALS) return ALTA_TABLA_LLENA;
    if (!nombreValido(name)) return ALTA_NO_VALIDO;
    for (int i = 0; i < doc.editorMaterialCount; i++) {
        if (mismoNombreSinMayusculas(doc.editorMaterials[i].name, name)) return ALTA_DUPLICADO;
    }
    inicializaMaterial(doc.editorMaterials[doc.editorMaterialCount], name);
    doc.editorMaterialCount++;
    return ALTA_OK;
}

int borraMaterial(SceneDocument &doc, const std::string &name)
{
    if (name == DEFAULT_MATERIAL) return -1;
    int index = buscarNumeroMaterial(doc, name);
    if (index < 0) return -1;
    int last = doc.editorMaterialCount - 1;
    for (int i = index; i < last; i++) doc.editorMaterials[i] = std::move(doc.editorMaterials[i + 1]);
    doc.editorMaterials[last] = EditorMaterial{};
    doc.editorMaterialCount--;
    return index;
}

ResultadoAlta nuevaTextura(SceneDocument &doc, const std::string &path, std::string *name)
{
    // NOTE: the separator after the directory is part of the test, so that a sibling
    // directory sharing the first letters ("/scenes2" for "/scenes") is not taken as inside
    const std::string &root = doc.XMLPath;
    if (path.size() <= root.size() + 1 || path.compare(0, root.size(), root) != 0) return ALTA_FUERA_DIRECTORIO;
    char separator = path[root.size()];
    if (separator != '/' && separator != '\\') return ALTA_FUERA_DIRECTORIO;
    std::string textureName = formateaDir(path.substr(root.size() + 1));
    if (name != nullptr) *name = textureName;
    if (!nombreValido(textureName)) return ALTA_NO_VALIDO;
    for (const std::string &row : doc.texturas) {
        if (row == textureName) return ALTA_DUPLICADO;
    }
    doc.texturas.push_back(textureName);
    return ALTA_OK;
}

void borraTextura(SceneDocument &doc, const std::string &name)
{
    // NOTE: plain records are visited too: a plain material keeps its frames for when it is
    // textured again, and they must not bring back a texture that left the list
    for (int i = 0; i < doc.editorMaterialCount; i++) {
        EditorMaterial &material = doc.editorMaterials[i];
        if (material.frameCode <= 0) {
            if (material.frames[0] == name) {
                material.frames[0].clear();
                material.frameCode = 0;
                material.textured = 0;
            }
            continue;
        }
        if (quitaFramesAnimacion(material, name) > 0 && material.frameCode <= 1) {
            material.frames[0].clear();
            material.frameCode = 0;
            material.textured = 0;
        }
    }
}

void eliminaTextura(SceneDocument &doc, int index)
{
    if (index < 0 || index >= (int)doc.texturas.size()) return;
    std::string name = doc.texturas[index];
    borraTextura(doc, name);
    doc.texturas.erase(doc.texturas.begin() + index);
}

int borrarFrameMat(EditorMaterial &material, int frame)
{
    if (material.frameCode <= 0 || frame < 0 || frame >= numeroFrames(material)) return 0;
    int last = numeroFrames(material) - 1;
    for (int k = frame; k < last; k++) material.frames[k] = material.frames[k + 1];
    material.frames[last].clear();
    material.frameCode--;
    return 1;
}

int numeroFrames(const EditorMaterial &material)
{
    if (material.frameCode <= 0) return 1;
    int frames = material.frameCode - 1;
    return frames < MATERIAL_FRAMES ? frames : MATERIAL_FRAMES;
}
