/**********************************************************************************************
*
*   material_form_values - the values of the material form and their mapping to a material
*
**********************************************************************************************/
#include "material_form_values.h"

#include "scene_document.h"

#include <charconv>
#include <cmath>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// The number at the start of `text` (after blanks): optional sign, digits, one decimal
// separator and digits. Its characters, with a point as separator, go to `normal`.
static void extraeNumero(const std::string &text, std::string &normal)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') normal += '-';
        i++;
    }
    bool separator = false;
    for (; i < text.size(); i++) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            normal += c;
        } else if ((c == ',' || c == '.') && !separator) {
            separator = true;
            normal += '.';
        } else {
            break;
        }
    }
}

// Removes the zeros after the last significant decimal, and the separator if nothing is
// left after it
static void quitaCerosFinales(std::string &text)
{
    if (text.find('.') == std::string::npos) return;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
}

// Floating value of a control divided by its range
static float fraccion(int valor, int divisor)
{
    return (float)valor / (float)divisor;
}

// Copies a material text into a colour component
static void guardaColor(const ValoresForm &valores, int luz, std::array<std::string, 4> &destino)
{
    for (int c = 0; c < 3; c++) destino[c] = textoDesdeControl(valores.color[luz][c], COLOR_MAX);
    destino[3] = textoDesdeControl(valores.alfa[luz], COEFICIENTE_MAX);
}

// Reads a colour of a material into the labels and the alpha slider
static void leeColor(const std::array<std::string, 4> &origen, int luz, ValoresForm &valores)
{
    for (int c = 0; c < 3; c++) valores.color[luz][c] = valorControl(origen[c], COLOR_MAX, 0, COLOR_MAX);
    valores.alfa[luz] = valorControl(origen[3], COEFICIENTE_MAX, 0, COEFICIENTE_MAX);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
double numeroDecimal(const std::string &text)
{
    std::string normal;
    extraeNumero(text, normal);
    double value = 0;
    const char *first = normal.data();
    const char *last = normal.data() + normal.size();
    if (first != last && *first == '-') first++;
    if (first == last || (last - first == 1 && *first == '.')) return 0;
    std::from_chars_result read = std::from_chars(first, last, value, std::chars_format::fixed);
    if (read.ec != std::errc()) return 0;
    if (!normal.empty() && normal[0] == '-') value = -value;
    return value;
}

int valorControl(const std::string &text, double factor, int minimo, int maximo)
{
    double product = numeroDecimal(text) * factor;
    double truncated = product >= 0 ? std::floor(product + 1e-9) : std::ceil(product - 1e-9);
    if (!(truncated >= minimo)) return minimo;
    if (truncated > maximo) return maximo;
    return (int)truncated;
}

std::string textoNumero(double value)
{
    if (!std::isfinite(value)) return "0";
    char buffer[400];
    std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, written.ptr);
    if (text.find('e') != std::string::npos) {
        // NOTE: tiny or huge values: fixed notation with as many decimals as 15 significant
        // digits need, so that the scene file never gets an exponent
        int exponent = (int)std::floor(std::log10(std::fabs(value)));
        int decimals = exponent < 0 ? 14 - exponent : 0;
        if (decimals > 340) decimals = 340;
        written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        text.assign(buffer, written.ptr);
        quitaCerosFinales(text);
    }
    if (text == "-0") text = "0";
    for (char &c : text) {
        if (c == '.') c = ',';
    }
    return text;
}

std::string textoDesdeControl(int valor, int divisor)
{
    std::string text = textoNumero((double)valor / (double)divisor);
    if (text == "1") return "1,000";
    if (text == "0") return "0,000";
    return text;
}

int32_t intervaloDesdeTexto(const std::string &text)
{
    return textoAEntero(text, 0, INTERVALO_MAX);
}

int intervaloNegativo(const std::string &text)
{
    return textoAEntero(text, -INTERVALO_MAX, INTERVALO_MAX) < 0;
}

ValoresForm valoresDeMaterial(const EditorMaterial &material)
{
    ValoresForm valores;
    valores.ka = valorControl(material.ka, COEFICIENTE_MAX, 0, COEFICIENTE_MAX);
    valores.kd = valorControl(material.kd, COEFICIENTE_MAX, 0, COEFICIENTE_MAX);
    valores.ks = valorControl(material.ks, COEFICIENTE_MAX, 0, COEFICIENTE_MAX);
    valores.blend = valorControl(material.blend, COEFICIENTE_MAX, 0, COEFICIENTE_MAX);
    valores.shine = valorControl(material.shine, SHINE_MAX, 0, SHINE_MAX);
    leeColor(material.diffuse, LUZ_DIFUSA, valores);
    leeColor(material.specular, LUZ_ESPECULAR, valores);
    leeColor(material.emission, LUZ_EMISORA, valores);

    valores.texturado = material.textured == 1;
    valores.intervalo = std::to_string(material.frameInterval < 0 ? 0 : material.frameInterval);
    valores.scaleX = valorControl(material.texScaleX, ESCALA_FACTOR, ESCALA_MIN, ESCALA_MAX);
    valores.scaleY = valorControl(material.texScaleY, ESCALA_FACTOR, ESCALA_MIN, ESCALA_MAX);
    // NOTE: a still texture without a name has no frame at all, so that the form offers
    // "Insertar Frame" on it instead of a frame with an empty name
    if (material.frameCode <= 0) {
        if (!material.frames[0].empty()) valores.frames.push_back(material.frames[0]);
    } else {
        int count = numeroFrames(material);
        for (int i = 0; i < count; i++) valores.frames.push_back(material.frames[i]);
    }
    return valores;
}

void aplicaValores(const ValoresForm &valores, EditorMaterial &material)
{
    material.ka = textoDesdeControl(valores.ka, COEFICIENTE_MAX);
    material.kd = textoDesdeControl(valores.kd, COEFICIENTE_MAX);
    material.ks = textoDesdeControl(valores.ks, COEFICIENTE_MAX);
    material.blend = textoDesdeControl(valores.blend, COEFICIENTE_MAX);
    material.shine = textoDesdeControl(valores.shine, SHINE_MAX);
    guardaColor(valores, LUZ_DIFUSA, material.diffuse);
    guardaColor(valores, LUZ_ESPECULAR, material.specular);
    guardaColor(valores, LUZ_EMISORA, material.emission);

    if (!valores.texturado || valores.frames.empty() || valores.frames[0].empty()) {
        material.textured = 0;
        return;
    }
    int count = (int)valores.frames.size();
    if (count > MATERIAL_FRAMES) count = MATERIAL_FRAMES;
    material.textured = 1;
    material.frameInterval = intervaloDesdeTexto(valores.intervalo);
    material.frameCode = (int16_t)(count == 1 ? 0 : count + 1);
    material.texScaleX = textoDesdeControl(valores.scaleX, ESCALA_FACTOR);
    material.texScaleY = textoDesdeControl(valores.scaleY, ESCALA_FACTOR);
    for (int i = 0; i < count; i++) material.frames[i] = valores.frames[i];
    // NOTE: frames past the new count are cleared so that no stale name can come back
    for (int i = count; i < MATERIAL_FRAMES; i++) material.frames[i].clear();
}

int insertaFrame(std::vector<std::string> &frames, int p, const std::string &name)
{
    if (p < 0 || p > (int)frames.size() || (int)frames.size() >= MATERIAL_FRAMES) return 0;
    frames.insert(frames.begin() + p, name);
    return 1;
}

int borraFrame(std::vector<std::string> &frames, int p)
{
    if (p < 0 || p >= (int)frames.size()) return 0;
    frames.erase(frames.begin() + p);
    return 1;
}

void separaColor(uint32_t color, std::array<int, 3> &rgb)
{
    rgb[0] = (int)(color & 255);
    rgb[1] = (int)((color / 256) & 255);
    rgb[2] = (int)((color / 65536) & 255);
}

uint32_t colorDesdeRGB(const std::array<int, 3> &rgb)
{
    auto byte = [](int v) { return (uint32_t)(v < 0 ? 0 : v > 255 ? 255 : v); };
    return byte(rgb[0]) + byte(rgb[1]) * 256 + byte(rgb[2]) * 65536;
}

int siguienteFrame(int muestraFrame, int count)
{
    int next = muestraFrame + 1;
    if (next >= count || next < 0) return 0;
    return next;
}

MaterialVista materialVista(const ValoresForm &valores)
{
    MaterialVista vista;
    float ka = fraccion(valores.ka, COEFICIENTE_MAX);
    float kd = fraccion(valores.kd, COEFICIENTE_MAX);
    float ks = fraccion(valores.ks, COEFICIENTE_MAX);
    float b = fraccion(valores.blend, COEFICIENTE_MAX);
    auto componente = [&](int luz, int c) { return fraccion(valores.color[luz][c], COLOR_MAX); };
    for (int c = 0; c < 3; c++) {
        vista.ambient[c] = ka * componente(LUZ_DIFUSA, c);
        vista.diffuse[c] = kd * componente(LUZ_DIFUSA, c);
        vista.specular[c] = ks * componente(LUZ_ESPECULAR, c);
        vista.emission[c] = ka * componente(LUZ_EMISORA, c);
    }
    vista.ambient[3] = b * fraccion(valores.alfa[LUZ_DIFUSA], COEFICIENTE_MAX);
    vista.diffuse[3] = b * fraccion(valores.alfa[LUZ_DIFUSA], COEFICIENTE_MAX);
    vista.specular[3] = b * fraccion(valores.alfa[LUZ_ESPECULAR], COEFICIENTE_MAX);
    vista.emission[3] = b * fraccion(valores.alfa[LUZ_EMISORA], COEFICIENTE_MAX);
    int shine = valores.shine < 0 ? 0 : valores.shine > SHINE_MAX ? SHINE_MAX : valores.shine;
    vista.shininess = (float)shine;
    vista.scaleX = fraccion(valores.scaleX, ESCALA_FACTOR);
    vista.scaleY = fraccion(valores.scaleY, ESCALA_FACTOR);
    return vista;
}
