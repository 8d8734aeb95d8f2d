/**********************************************************************************************
*
*   editor_material - the in-memory material of matforge and its text helpers
*
**********************************************************************************************/
#include "editor_material.h"

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// Appends zeros until at least three characters follow the first separator; a text without
// separator gets the separator and three zeros
static std::string rellenaDecimales(std::string text, char separator)
{
    size_t point = text.find(separator);
    if (point == std::string::npos) return text + separator + "000";
    size_t decimals = text.size() - point - 1;
    if (decimals < 3) text.append(3 - decimals, '0');
    return text;
}

// Lower case of an ASCII letter; any other character unchanged
static char minusculaAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void inicializaMaterial(EditorMaterial &material, const std::string &name)
{
    material = EditorMaterial{};
    material.name = name;
    material.blend = "1,0";
    material.shine = "0,5";
    material.textured = 0;
    material.ka = "1,0";
    material.kd = "0,9";
    material.ks = "0,1";
    material.diffuse = {"0,9", "0,9", "0,9", "1,0"};
    material.specular = {"0,1", "0,1", "0,1", "1,0"};
    material.emission = {"0,0", "0,0", "0,0", "1,0"};
    material.texScaleX = "1,0";
    material.texScaleY = "1,0";
    material.frameInterval = 0;
    material.frameCode = 0;
}

std::string formatoFloat(const std::string &text)
{
    std::string fileText = text;
    for (char &c : fileText) {
        if (c == ',') c = '.';
    }
    return rellenaDecimales(fileText, '.');
}

std::string formatoFloat2(const std::string &text)
{
    return rellenaDecimales(text, ',');
}

std::string formateaDir(const std::string &path)
{
    std::string result = path;
    for (char &c : result) {
        if (c == '\\') c = '/';
    }
    return result;
}

std::string decimalConComa(const std::string &text)
{
    std::string result = text;
    for (char &c : result) {
        if (c == '.') c = ',';
    }
    return result;
}

int32_t textoAEntero(const std::string &text, int32_t minimum, int32_t maximum)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = (text[i++] == '-');
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++) {
        value = value * 10 + (text[i] - '0');
        if (value > (int64_t)1 << 40) break;  // already far beyond any bound
    }
    if (negative) value = -value;
    if (value < minimum) return minimum;
    if (value > maximum) return maximum;
    return (int32_t)value;
}

int nombreValido(const std::string &name)
{
    if (name.empty() || name.size() > (size_t)MAX_NAME_LENGTH) return 0;
    for (char c : name) {
        unsigned char u = (unsigned char)c;
        if (u <= 0x20 || u >= 0x7F) return 0;
        if (c == '"' || c == '<' || c == '>' || c == '&') return 0;
    }
    return 1;
}

int mismoNombreSinMayusculas(const std::string &a, const std::string &b)
{
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); i++) {
        if (minusculaAscii(a[i]) != minusculaAscii(b[i])) return 0;
    }
    return 1;
}

int mismoMaterial(const EditorMaterial &a, const EditorMaterial &b)
{
    return a.name == b.name && a.blend == b.blend && a.shine == b.shine && a.textured == b.textured && a.ka == b.ka &&
           a.kd == b.kd && a.ks == b.ks && a.diffuse == b.diffuse && a.specular == b.specular &&
           a.emission == b.emission && a.texScaleX == b.texScaleX && a.texScaleY == b.texScaleY &&
           a.frameInterval == b.frameInterval && a.frameCode == b.frameCode && a.frames == b.frames;
}
