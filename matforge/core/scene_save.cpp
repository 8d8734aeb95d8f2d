/**********************************************************************************************
*
*   scene_save - writing the scene file back with new texture and material sections
*
**********************************************************************************************/
#include "scene_save.h"

#include "file_replace.h"
#include "scene_scan.h"

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// Appends <name>value</name>
static void elemento(std::string &out, const char *name, const std::string &value)
{
    out += '<';
    out += name;
    out += '>';
    out += value;
    out += "</";
    out += name;
    out += '>';
}

// Appends a colour element with its R, G, B and A children in file form
static void elementoColor(std::string &out, const char *name, const std::array<std::string, 4> &colour)
{
    static const char *const components[4] = {"R", "G", "B", "A"};
    out += '<';
    out += name;
    out += '>';
    for (int i = 0; i < 4; i++) elemento(out, components[i], formatoFloat(colour[i]));
    out += "</";
    out += name;
    out += '>';
}

// Appends the texturas block of a textured material
static void bloqueTexturas(std::string &out, const EditorMaterial &material)
{
    out += "<texturas>";
    elemento(out, "TEXscaleX", formatoFloat(material.texScaleX));
    elemento(out, "TEXscaleY", formatoFloat(material.texScaleY));
    elemento(out, "milTime", std::to_string(material.frameInterval));
    if (material.frameCode <= 0 && material.frames[0].empty()) {
        // NOTE: a still texture without a name (read from a block with no frame) is written
        // as the animation with no frame it was, never as a reference to an empty name
        elemento(out, "multiple", "1");
    } else if (material.frameCode <= 0) {
        elemento(out, "multiple", "0");
        elemento(out, "TexturasID", material.frames[0]);
    } else {
        int frames = numeroFrames(material);
        elemento(out, "multiple", std::to_string(frames + 1));
        for (int i = 0; i < frames; i++) elemento(out, "TexturasID", material.frames[i]);
    }
    out += "</texturas>";
}

// Appends one IDMaterial element with all its children
static void seccionMaterial(std::string &out, const EditorMaterial &material)
{
    out += "<IDMaterial codigo=\"";
    out += material.name;
    out += "\">";
    elemento(out, "pBlend", formatoFloat(material.blend));
    elemento(out, "pShine", formatoFloat(material.shine));
    elemento(out, "texturado", std::to_string(material.textured));
    elemento(out, "Ka", formatoFloat(material.ka));
    elemento(out, "Kd", formatoFloat(material.kd));
    elemento(out, "Ks", formatoFloat(material.ks));
    elementoColor(out, "pLuzDif", material.diffuse);
    elementoColor(out, "pLuzEsp", material.specular);
    elementoColor(out, "pLuzEmi", material.emission);
    if (material.textured == 1) bloqueTexturas(out, material);
    out += "</IDMaterial>";
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::string seccionesXML(const SceneDocument &doc)
{
    std::string out;
    for (const std::string &row : doc.texturas) elemento(out, "IDTextura", row);
    for (int i = 0; i < doc.editorMaterialCount; i++) seccionMaterial(out, doc.editorMaterials[i]);
    return out;
}

int componeXML(SceneDocument &doc, const std::string &source, std::string &result, std::string &error)
{
    doc.PosInicial = buscaInicioEscena(source);
    if (doc.PosInicial == 0) {
        error = "El fichero " + doc.XMLFile + " ya no contiene la etiqueta <escena>; no se ha guardado nada.";
        return 0;
    }
    std::string ignored;
    escaneaMateriales(doc, source, false, ignored);

    size_t restStart = (size_t)(doc.PosFinal > doc.PosInicial ? doc.PosFinal : doc.PosInicial);
    result.clear();
    result.reserve(source.size() + 4096);
    result.append(source, 0, (size_t)doc.PosInicial);
    result += seccionesXML(doc);
    // NOTE: what follows the old sections is copied byte for byte, line ends included, so
    // that a scene saved without changes is the file it was and saving again adds nothing
    result.append(source, restStart, std::string::npos);
    return 1;
}

int escribeFicheroSeguro(const std::string &directory, const std::string &file, const std::string &data,
                         std::string &error)
{
    const std::string destination = uneRuta(directory, file);
    const FileStatus status = replaceFile(destination, data);
    if (fileOk(status)) return 1;
    error = destination + ": " + fileProblemSpanish(status) + ".";
    return 0;
}

int guardaXML(SceneDocument &doc, std::string &error)
{
    std::string source;
    if (!leeFichero(uneRuta(doc.XMLPath, doc.XMLFile), source, error)) return 0;
    std::string result;
    if (!componeXML(doc, source, result, error)) return 0;
    return escribeFicheroSeguro(doc.XMLPathDestino, doc.XMLFileDestino, result, error);
}
