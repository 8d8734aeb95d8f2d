/**********************************************************************************************
*
*   scene_scan - the tag scans that read a scene file into the document
*
**********************************************************************************************/
#include "scene_scan.h"

#include "scene_check.h"
#include "scene_paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// Cursor of one scan over the text of a file
struct CursorEtiquetas {
    const std::string &text;
    size_t pos;
};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// Reads the next tag from the cursor on: skips text up to a "<", then takes the tag up to
// and including the first of `ends`. False at the end of the text or of an unclosed tag.
static bool siguienteEtiqueta(CursorEtiquetas &cursor, const char *ends, std::string &tag)
{
    size_t open = cursor.text.find('<', cursor.pos);
    if (open == std::string::npos) {
        cursor.pos = cursor.text.size();
        return false;
    }
    size_t close = cursor.text.find_first_of(ends, open + 1);
    if (close == std::string::npos) {
        cursor.pos = cursor.text.size();
        return false;
    }
    tag.assign(cursor.text, open, close - open + 1);
    cursor.pos = close + 1;
    return true;
}

// The text from the cursor up to the next "<" (or the end); the cursor stops at the "<"
static std::string textoHastaEtiqueta(CursorEtiquetas &cursor)
{
    size_t end = cursor.text.find('<', cursor.pos);
    if (end == std::string::npos) end = cursor.text.size();
    std::string value = cursor.text.substr(cursor.pos, end - cursor.pos);
    cursor.pos = end;
    return value;
}

// The text from the cursor up to the next double quote, which is consumed
static std::string textoHastaComillas(CursorEtiquetas &cursor)
{
    size_t end = cursor.text.find('"', cursor.pos);
    if (end == std::string::npos) end = cursor.text.size();
    std::string value = cursor.text.substr(cursor.pos, end - cursor.pos);
    cursor.pos = end < cursor.text.size() ? end + 1 : end;
    return value;
}

// The decimal text field a material tag fills, or nullptr
static std::string *campoDecimal(EditorMaterial &material, const std::string &tag)
{
    if (tag == "<pBlend>") return &material.blend;
    if (tag == "<pShine>") return &material.shine;
    if (tag == "<Ka>") return &material.ka;
    if (tag == "<Kd>") return &material.kd;
    if (tag == "<Ks>") return &material.ks;
    if (tag == "<TEXscaleX>") return &material.texScaleX;
    if (tag == "<TEXscaleY>") return &material.texScaleY;
    return nullptr;
}

// The colour a colour tag selects, or nullptr
static std::array<std::string, 4> *campoColor(EditorMaterial &material, const std::string &tag)
{
    if (tag == "<pLuzDif>") return &material.diffuse;
    if (tag == "<pLuzEsp>") return &material.specular;
    if (tag == "<pLuzEmi>") return &material.emission;
    return nullptr;
}

// Index of a component tag <R>, <G>, <B>, <A>, or -1
static int indiceComponente(const std::string &tag)
{
    if (tag == "<R>") return 0;
    if (tag == "<G>") return 1;
    if (tag == "<B>") return 2;
    if (tag == "<A>") return 3;
    return -1;
}

// Empties the texture list and the material table
static void vaciaListas(SceneDocument &doc)
{
    doc.texturas.clear();
    for (int i = 0; i < doc.editorMaterialCount; i++) doc.editorMaterials[i] = EditorMaterial{};
    doc.editorMaterialCount = 0;
}

// Reads the loaded file (XMLPath, XMLFile) and runs a scan over its text
static int escaneaFichero(SceneDocument &doc, std::string &error, int (*scan)(SceneDocument &, const std::string &, std::string &))
{
    std::string text;
    if (!leeFichero(uneRuta(doc.XMLPath, doc.XMLFile), text, error)) return 0;
    return scan(doc, text, error);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int leeFichero(const std::string &path, std::string &text, std::string &error)
{
    // NOTE: a pipe or a device is refused before it is opened, so reading never waits
    const FileStatus status = readRegularFile(path, SCENE_FILE_MAX_BYTES, &text);
    if (fileOk(status)) return 1;
    error = "No se puede leer el fichero " + path + ": " + fileProblemSpanish(status) + ".";
    return 0;
}

int32_t buscaInicioEscena(const std::string &text)
{
    CursorEtiquetas cursor{text, 0};
    std::string tag;
    while (siguienteEtiqueta(cursor, ">", tag)) {
        if (tag == "<escena>") return (int32_t)cursor.pos;
    }
    return 0;
}

void escaneaTexturas(SceneDocument &doc, const std::string &text)
{
    CursorEtiquetas cursor{text, 0};
    std::string tag;
    bool sceneSeen = false;
    while (siguienteEtiqueta(cursor, ">", tag)) {
        if (!sceneSeen && tag == "<escena>") {
            doc.PosInicial = (int32_t)cursor.pos;
            sceneSeen = true;
        } else if (tag == "<IDTextura>") {
            doc.texturas.push_back(textoHastaEtiqueta(cursor));
        }
    }
    doc.PosActual = (int32_t)cursor.pos;
}

int escaneaMateriales(SceneDocument &doc, const std::string &text, bool store, std::string &error)
{
    CursorEtiquetas cursor{text, 0};
    std::string tag;
    EditorMaterial scratch;                 // the record being read when nothing is stored
    EditorMaterial *material = nullptr;     // open material, nullptr outside one
    std::array<std::string, 4> *colour = nullptr;
    int32_t lastMaterialEnd = 0;
    int32_t lastTextureEnd = 0;
    int result = 1;

    while (siguienteEtiqueta(cursor, ">\"", tag)) {
        if (tag == "<PRIMestado>" || tag == "</escena>") break;
        if (tag == "</IDTextura>") {
            lastTextureEnd = (int32_t)cursor.pos;
            continue;
        }
        if (tag == "<IDMaterial codigo=\"") {
            std::string name = textoHastaComillas(cursor);
            if (store && doc.numM >= EDITOR_MATERIALS) {
                error = "El fichero tiene más de " + std::to_string(EDITOR_MATERIALS) +
                        " materiales; el editor no puede cargarlo.";
                result = 0;
                break;
            }
            material = store ? &doc.editorMaterials[doc.numM] : &scratch;
            inicializaMaterial(*material, name);
            colour = nullptr;
            continue;
        }
        if (material == nullptr) continue;

        if (tag == "</IDMaterial>") {
            lastMaterialEnd = (int32_t)cursor.pos;
            // one or no frame read means a still texture
            material->frameCode = (int16_t)(material->frameCode >= 2 ? material->frameCode + 1 : 0);
            if (store) {
                doc.numM++;
                doc.editorMaterialCount++;
            }
            material = nullptr;
        } else if (std::string *field = campoDecimal(*material, tag)) {
            *field = decimalConComa(textoHastaEtiqueta(cursor));
        } else if (auto *selected = campoColor(*material, tag)) {
            colour = selected;
        } else if (int component = indiceComponente(tag); component >= 0) {
            if (colour != nullptr) (*colour)[component] = decimalConComa(textoHastaEtiqueta(cursor));
        } else if (tag == "<texturado>") {
            material->textured = (int16_t)textoAEntero(textoHastaEtiqueta(cursor), INT16_MIN, INT16_MAX);
        } else if (tag == "<milTime>") {
            material->frameInterval = textoAEntero(textoHastaEtiqueta(cursor), INT32_MIN, INT32_MAX);
        } else if (tag == "<TexturasID>") {
            std::string frame = textoHastaEtiqueta(cursor);
            if (material->frameCode >= MATERIAL_FRAMES) {
                if (store) {
                    error = "El material " + material->name + " tiene más de " + std::to_string(MATERIAL_FRAMES) +
                            " frames de textura; el editor no puede cargarlo.";
                    result = 0;
                    break;
                }
                continue;
            }
            material->frames[material->frameCode] = frame;
            material->frameCode++;
        }
    }
    doc.PosActual = (int32_t)cursor.pos;
    doc.PosFinal = (store || lastMaterialEnd > 0) ? lastMaterialEnd : lastTextureEnd;
    return result;
}

int leeEtiqueta(SceneDocument &doc, std::string &error)
{
    return escaneaFichero(doc, error, [](SceneDocument &d, const std::string &text, std::string &) {
        escaneaTexturas(d, text);
        return 1;
    });
}

int leeEtiqueta2(SceneDocument &doc, std::string &error)
{
    return escaneaFichero(doc, error, [](SceneDocument &d, const std::string &text, std::string &e) {
        return escaneaMateriales(d, text, true, e);
    });
}

int leeEtiqueta3(SceneDocument &doc, std::string &error)
{
    return escaneaFichero(doc, error, [](SceneDocument &d, const std::string &text, std::string &e) {
        return escaneaMateriales(d, text, false, e);
    });
}

int cargaXML(SceneDocument &doc, std::string &error)
{
    // NOTE: a file that is not well-formed, or whose sections cannot be read whole, is
    // refused before anything of it reaches the document
    std::string text;
    InformeEscena informe;
    if (!leeFichero(uneRuta(doc.XMLPath, doc.XMLFile), text, error)) return 0;
    if (!compruebaEscena(text, doc.XMLFile, informe, error)) return 0;

    vaciaListas(doc);
    doc.numM = 0;
    doc.PosInicial = 0;
    doc.PosActual = 0;
    doc.PosFinal = 0;
    if (!leeEtiqueta(doc, error)) return 0;
    // NOTE: without the start tag the new sections would have no place but the very start
    // of the file, which would make it unreadable; such a file is refused here instead
    if (doc.PosInicial == 0) {
        vaciaListas(doc);
        error = "El fichero " + doc.XMLFile + " no es una escena XML: no contiene la etiqueta <escena>.";
        return 0;
    }
    doc.PosActual = 0;
    if (!leeEtiqueta2(doc, error)) {
        vaciaListas(doc);
        return 0;
    }
    // NOTE: tags inside comments or CDATA can make the scans see more or fewer sections
    // than the file holds; saving would then lose or invent some
    if ((int)doc.texturas.size() != informe.texturas || doc.editorMaterialCount != informe.materiales) {
        vaciaListas(doc);
        error = "Las texturas y los materiales de " + doc.XMLFile + " no se pueden leer enteros: línea " +
                std::to_string(informe.lineaDudosa > 0 ? informe.lineaDudosa : 1) +
                ": un comentario o una sección CDATA contiene etiquetas de la escena.";
        return 0;
    }
    // NOTE: a save replaces the file from <escena> to the last material; a texture after that
    // would stay where it is and be written again with the others
    size_t suelta = doc.PosFinal > 0 ? text.find("<IDTextura>", (size_t)doc.PosFinal) : std::string::npos;
    if (suelta != std::string::npos) {
        vaciaListas(doc);
        const long linea = 1 + std::count(text.begin(), text.begin() + (long)suelta, '\n');
        error = "Las texturas y los materiales de " + doc.XMLFile + " no se pueden leer enteros: línea " +
                std::to_string(linea) + ": una textura después de los materiales se repetiría al guardar.";
        return 0;
    }
    return 1;
}

int cargaEscena(SceneDocument &doc, const std::string &path, std::string &error)
{
    divideRuta(path, doc.XMLPath, doc.XMLFile);
    doc.XMLPathDestino = doc.XMLPath;
    doc.XMLFileDestino = doc.XMLFile;
    return cargaXML(doc, error);
}
