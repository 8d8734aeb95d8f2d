/**********************************************************************************************
*
*   scene_check - is a scene file fit to be opened: well-formed, and its sections whole?
*
**********************************************************************************************/
#include "scene_check.h"

#include <libxml/parser.h>         // Required for: xmlParseDocument(), xmlCtxtUseOptions()
#include <libxml/parserInternals.h>  // Required for: xmlCreateMemoryParserCtxt()
#include <libxml/tree.h>    // Required for: xmlNode, xmlGetLineNo(), xmlHasProp()

#include <cstring>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
// The first error the parser reported, and whether it met the end of the text too early
struct ErroresParser {
    int linea = 0;
    int codigo = 0;
    std::string texto;
    bool acabaAntes = false;
};

// The first problem found in the sections
struct Problema {
    long linea = 0;
    std::string motivo;
};

enum TipoValor { DECIMAL, ENTERO };

// The children of a material, each wanted exactly once (texturas at most once)
static const char *const HIJOS_MATERIAL[] = {"pBlend", "pShine", "texturado", "Ka", "Kd", "Ks",
                                              "pLuzDif", "pLuzEsp", "pLuzEmi"};
static const TipoValor TIPO_HIJO_MATERIAL[] = {DECIMAL, DECIMAL, ENTERO, DECIMAL, DECIMAL, DECIMAL};
static const char *const COMPONENTES[] = {"R", "G", "B", "A"};
static const char *const HIJOS_TEXTURAS[] = {"TEXscaleX", "TEXscaleY", "milTime", "multiple"};
static const TipoValor TIPO_HIJO_TEXTURAS[] = {DECIMAL, DECIMAL, ENTERO, ENTERO};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// libxml2's loader of external files while a scene is checked: none is ever read (a DTD or
// an entity naming a file stays unread; a pipe named there cannot hold the window)
static xmlParserInputPtr ningunFichero(const char *, const char *, xmlParserCtxtPtr) { return nullptr; }

// Keeps the first error of the parse (warnings aside); notes a text that ends too early
static void recogeError(void *datos, xmlErrorPtr error)
{
    auto *contexto = static_cast<xmlParserCtxtPtr>(datos);
    auto *errores = static_cast<ErroresParser *>(contexto->_private);
    if (errores == nullptr || error == nullptr || error->level < XML_ERR_ERROR) return;
    if (error->code == XML_ERR_TAG_NOT_FINISHED || error->code == XML_ERR_DOCUMENT_END) errores->acabaAntes = true;
    if (errores->linea != 0) return;
    errores->linea = error->line > 0 ? error->line : 1;
    errores->codigo = error->code;
    errores->texto = error->message != nullptr ? error->message : "";
    while (!errores->texto.empty() && (errores->texto.back() == '\n' || errores->texto.back() == ' '))
        errores->texto.pop_back();
}

// Why the parser refused the text, in the words of the editor
static std::string motivoParser(const ErroresParser &errores)
{
    if (errores.codigo == XML_ERR_DOCUMENT_EMPTY) return "el fichero está vacío";
    if (errores.acabaAntes) return "el fichero se acaba antes de cerrar sus elementos (¿está cortado?)";
    if (errores.codigo == XML_ERR_TAG_NAME_MISMATCH)
        return "una etiqueta de cierre no corresponde a la que está abierta (" + errores.texto + ")";
    return "XML mal formado (" + errores.texto + ")";
}

// The name of an element node, or an empty text for any other node
static std::string nombre(const xmlNode *nodo)
{
    return nodo->type == XML_ELEMENT_NODE ? reinterpret_cast<const char *>(nodo->name) : "";
}

// The next node in document order that is not inside `nodo`'s subtree, up to `raiz`
static xmlNode *siguienteFuera(xmlNode *nodo, const xmlNode *raiz)
{
    while (nodo != nullptr && nodo != raiz) {
        if (nodo->next != nullptr) return nodo->next;
        nodo = nodo->parent;
    }
    return nullptr;
}

// The next node in document order under `raiz`; only elements are entered
static xmlNode *siguienteNodo(xmlNode *nodo, const xmlNode *raiz)
{
    if (nodo->type == XML_ELEMENT_NODE && nodo->children != nullptr) return nodo->children;
    return siguienteFuera(nodo, raiz);
}

// Notes the first problem; always false, so that a check can return through it
static bool problema(Problema &p, const xmlNode *nodo, const std::string &motivo)
{
    if (p.motivo.empty()) {
        p.linea = xmlGetLineNo(nodo);
        p.motivo = motivo;
    }
    return false;
}

// The text of an element that holds text alone; false (the problem noted) otherwise
static bool textoHoja(const xmlNode *hoja, std::string &texto, Problema &p)
{
    texto.clear();
    for (const xmlNode *hijo = hoja->children; hijo != nullptr; hijo = hijo->next) {
        if (hijo->type == XML_TEXT_NODE || hijo->type == XML_ENTITY_REF_NODE) {
            xmlChar *contenido = xmlNodeGetContent(hijo);
            if (contenido != nullptr) texto += reinterpret_cast<const char *>(contenido);
            xmlFree(contenido);
        } else {
            return problema(p, hijo, "<" + nombre(hoja) + "> solo puede contener texto");
        }
    }
    return true;
}

// True for a number the scans read whole: blanks, a sign, digits with an optional point
static bool esNumero(const std::string &texto, TipoValor tipo)
{
    size_t i = texto.find_first_not_of(" \t\r\n");
    size_t fin = texto.find_last_not_of(" \t\r\n");
    if (i == std::string::npos) return false;
    if (texto[i] == '+' || texto[i] == '-') i++;
    int cifras = 0, puntos = 0;
    for (; i <= fin; i++) {
        if (texto[i] >= '0' && texto[i] <= '9') {
            cifras++;
        } else if (texto[i] == '.' && tipo == DECIMAL && puntos == 0) {
            puntos++;
        } else {
            return false;
        }
    }
    return cifras > 0;
}

// A leaf element that must hold a number
static bool compruebaValor(const xmlNode *hoja, TipoValor tipo, const std::string &donde, Problema &p)
{
    std::string texto;
    if (!textoHoja(hoja, texto, p)) return false;
    if (esNumero(texto, tipo)) return true;
    return problema(p, hoja, "<" + nombre(hoja) + "> no es un número" + (tipo == ENTERO ? " entero" : "") + " en " +
                                 donde + ": \"" + texto + "\"");
}

// Children of an element: every one of `nombres` exactly once, `opcional` (if any) at most
// once, `repetible` (if any) any number of times, comments and blanks between them; the
// element children found are handed back by name index (optional last, repeatable ignored)
static bool compruebaHijos(const xmlNode *padre, const char *const *nombres, int cuantos, const char *opcional,
                           const char *repetible, const std::string &donde, const xmlNode **hallados, Problema &p)
{
    const int total = cuantos + (opcional != nullptr ? 1 : 0);
    for (int i = 0; i < total; i++) hallados[i] = nullptr;
    for (const xmlNode *hijo = padre->children; hijo != nullptr; hijo = hijo->next) {
        if (hijo->type == XML_COMMENT_NODE) continue;
        if (hijo->type == XML_TEXT_NODE) {
            xmlChar *contenido = xmlNodeGetContent(hijo);
            bool blanco = contenido == nullptr || strspn(reinterpret_cast<const char *>(contenido), " \t\r\n") ==
                                                      strlen(reinterpret_cast<const char *>(contenido));
            xmlFree(contenido);
            if (blanco) continue;
            return problema(p, hijo, "texto suelto dentro de <" + nombre(padre) + "> en " + donde);
        }
        if (hijo->type != XML_ELEMENT_NODE)
            return problema(p, hijo, "contenido que matforge no puede leer dentro de <" + nombre(padre) + "> en " + donde);
        const std::string n = nombre(hijo);
        if (repetible != nullptr && n == repetible) continue;
        int indice = -1;
        for (int i = 0; i < cuantos; i++)
            if (n == nombres[i]) indice = i;
        if (opcional != nullptr && n == opcional) indice = cuantos;
        if (indice < 0) return problema(p, hijo, "elemento desconocido <" + n + "> dentro de <" + nombre(padre) + "> en " + donde);
        if (hallados[indice] != nullptr) return problema(p, hijo, "<" + n + "> repetido en " + donde);
        hallados[indice] = hijo;
    }
    for (int i = 0; i < cuantos; i++)
        if (hallados[i] == nullptr) return problema(p, padre, "falta <" + std::string(nombres[i]) + "> en " + donde);
    return true;
}

// One IDMaterial element, whole
static bool compruebaMaterial(const xmlNode *material, Problema &p)
{
    xmlChar *codigo = xmlGetProp(material, reinterpret_cast<const xmlChar *>("codigo"));
    if (codigo == nullptr) return problema(p, material, "un material sin el atributo codigo");
    const std::string donde = "el material \"" + std::string(reinterpret_cast<const char *>(codigo)) + "\"";
    xmlFree(codigo);

    const xmlNode *hijos[10];
    if (!compruebaHijos(material, HIJOS_MATERIAL, 9, "texturas", nullptr, donde, hijos, p)) return false;
    for (int i = 0; i < 6; i++)
        if (!compruebaValor(hijos[i], TIPO_HIJO_MATERIAL[i], donde, p)) return false;
    for (int luz = 6; luz < 9; luz++) {
        const xmlNode *componentes[4];
        if (!compruebaHijos(hijos[luz], COMPONENTES, 4, nullptr, nullptr, donde, componentes, p)) return false;
        for (const xmlNode *componente : componentes)
            if (!compruebaValor(componente, DECIMAL, donde, p)) return false;
    }
    if (hijos[9] == nullptr) return true;

    const xmlNode *texturas[4];
    if (!compruebaHijos(hijos[9], HIJOS_TEXTURAS, 4, nullptr, "TexturasID", donde, texturas, p)) return false;
    for (int i = 0; i < 4; i++)
        if (!compruebaValor(texturas[i], TIPO_HIJO_TEXTURAS[i], donde, p)) return false;
    std::string frame;
    for (const xmlNode *hijo = hijos[9]->children; hijo != nullptr; hijo = hijo->next)
        if (nombre(hijo) == "TexturasID" && !textoHoja(hijo, frame, p)) return false;
    return true;
}

// Walks the document: counts and checks every texture and every material the scans read
static bool compruebaSecciones(xmlNode *raiz, InformeEscena &informe, Problema &p)
{
    bool materialesLeidos = true;  // the material scan stops at the first PRIMestado
    std::string texto;
    for (xmlNode *nodo = raiz; nodo != nullptr;) {
        const std::string n = nombre(nodo);
        if (n == "PRIMestado") materialesLeidos = false;
        if (materialesLeidos && informe.lineaDudosa == 0 &&
            (nodo->type == XML_COMMENT_NODE || nodo->type == XML_CDATA_SECTION_NODE || nodo->type == XML_PI_NODE))
            informe.lineaDudosa = (int)xmlGetLineNo(nodo);
        if (n == "IDTextura") {
            informe.texturas++;
            if (!textoHoja(nodo, texto, p)) return false;
        } else if (n == "IDMaterial" && materialesLeidos) {
            informe.materiales++;
            if (!compruebaMaterial(nodo, p)) return false;
        }
        nodo = (n == "IDTextura" || n == "IDMaterial") ? siguienteFuera(nodo, raiz) : siguienteNodo(nodo, raiz);
    }
    return true;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int compruebaEscena(const std::string &text, const std::string &fileName, InformeEscena &informe, std::string &error)
{
    informe = InformeEscena{};
    if (text.empty()) {
        error = "El fichero " + fileName + " no es XML bien formado: línea 1: el fichero está vacío.";
        return 0;
    }
    xmlParserCtxtPtr contexto = xmlCreateMemoryParserCtxt(text.data(), (int)text.size());
    if (contexto == nullptr) {
        error = "No hay memoria para leer el fichero " + fileName + ".";
        return 0;
    }
    // NOTE: the errors come to recogeError instead of the standard error; no DTD, entity
    // or file is loaded from outside the text
    ErroresParser errores;
    contexto->_private = &errores;
    contexto->sax->serror = recogeError;
    xmlCtxtUseOptions(contexto, XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_NOWARNING);
    const xmlExternalEntityLoader anterior = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(ningunFichero);
    xmlParseDocument(contexto);
    xmlSetExternalEntityLoader(anterior);
    const bool bienFormado = contexto->wellFormed != 0 && contexto->myDoc != nullptr;
    xmlDocPtr documento = contexto->myDoc;
    contexto->myDoc = nullptr;
    xmlFreeParserCtxt(contexto);

    int resultado = 1;
    if (!bienFormado) {
        if (errores.linea == 0) errores.linea = 1;
        error = "El fichero " + fileName + " no es XML bien formado: línea " + std::to_string(errores.linea) + ": " +
                motivoParser(errores) + ".";
        resultado = 0;
    } else if (xmlNode *raiz = xmlDocGetRootElement(documento)) {
        Problema p;
        if (!compruebaSecciones(raiz, informe, p)) {
            error = "Las texturas y los materiales de " + fileName + " no se pueden leer enteros: línea " +
                    std::to_string(p.linea) + ": " + p.motivo + ".";
            resultado = 0;
        }
    }
    xmlFreeDoc(documento);
    return resultado;
}
