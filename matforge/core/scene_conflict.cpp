/**********************************************************************************************
*
*   scene_conflict - did someone else change the texture and material sections on disk?
*
**********************************************************************************************/
#include "scene_conflict.h"

#include "scene_scan.h"

#include <algorithm>
#include <charconv>   // Required for: std::from_chars() (numbers read whatever the locale)
#include <cstdio>
#include <memory>
#include <vector>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Appends a decimal text (point or comma) as a number with three decimals
static void anadeNumero(std::string &out, const std::string &text)
{
    std::string plain = text;
    std::replace(plain.begin(), plain.end(), ',', '.');
    size_t start = plain.find_first_not_of(' ');
    if (start == std::string::npos) start = plain.size();
    if (start < plain.size() && plain[start] == '+') start++;
    double value = 0.0;
    std::from_chars(plain.data() + start, plain.data() + plain.size(), value);
    char number[64];
    snprintf(number, sizeof number, "|%.3f", value);
    out += number;
}

// One material's values as one line: what its IDMaterial element says
static std::string huellaMaterial(const EditorMaterial &m)
{
    std::string out = m.name;
    for (const std::string *value : {&m.blend, &m.shine, &m.ka, &m.kd, &m.ks}) anadeNumero(out, *value);
    for (const auto *colour : {&m.diffuse, &m.specular, &m.emission})
        for (const std::string &component : *colour) anadeNumero(out, component);
    out += "|" + std::to_string(m.textured);
    if (m.textured != 1) return out;
    anadeNumero(out, m.texScaleX);
    anadeNumero(out, m.texScaleY);
    out += "|" + std::to_string(m.frameInterval) + "|" + std::to_string(m.frameCode);
    const int frames = m.frameCode >= 2 ? m.frameCode - 1 : 1;
    for (int i = 0; i < frames && i < MATERIAL_FRAMES; i++) out += "|" + m.frames[(size_t)i];
    return out;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::string huellaSecciones(const SceneDocument &doc)
{
    std::vector<std::string> textures = doc.texturas;
    std::vector<std::string> materials;
    for (int i = 0; i < doc.editorMaterialCount; i++) materials.push_back(huellaMaterial(doc.editorMaterials[(size_t)i]));
    std::sort(textures.begin(), textures.end());
    std::sort(materials.begin(), materials.end());
    std::string out;
    for (const std::string &texture : textures) out += "T " + texture + "\n";
    for (const std::string &material : materials) out += "M " + material + "\n";
    return out;
}

void anotaSecciones(SceneDocument &doc) { doc.huellaCargada = huellaSecciones(doc); }

int seccionesCambiadas(const SceneDocument &doc, std::string &error)
{
    // NOTE: a document holds the whole material table: too large for the stack
    auto onDisk = std::make_unique<SceneDocument>();
    if (!cargaEscena(*onDisk, uneRuta(doc.XMLPath, doc.XMLFile), error)) return -1;
    return huellaSecciones(*onDisk) == doc.huellaCargada ? 0 : 1;
}
