/**********************************************************************************************
*
*   editor_material - the in-memory material of matforge and its text helpers
*
*   A material is held as the texts read from the scene file, with the decimal point turned
*   into a comma (the decimal comma of the forms). This module has the record, its defaults
*   for a new material, the conversions between decimal text and file text, and the rule
*   for names that the scene file can hold.
*
*   DEPENDENCIES: C++ standard library only
*
**********************************************************************************************/
#pragma once

#include <array>
#include <cstdint>
#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int EDITOR_MATERIALS = 257;       // records of the material table (indices 0 to 256)
constexpr int MATERIAL_FRAMES = 101;        // texture frames of one material (indices 0 to 100)
constexpr int MAX_NAME_LENGTH = 255;        // longest name the scene reader of stageworks takes
constexpr const char *DEFAULT_MATERIAL = "(default)";

// One material; reals are decimal text with a comma ("0,500")
struct EditorMaterial {
    std::string name;
    std::string blend;
    std::string shine;
    int16_t textured = 0;                   // 1 textured, 0 plain
    std::string ka, kd, ks;
    std::array<std::string, 4> diffuse;     // R G B A
    std::array<std::string, 4> specular;
    std::array<std::string, 4> emission;
    std::string texScaleX, texScaleY;
    // NOTE: 32 bits so that any interval stageworks writes survives a load and a save
    int32_t frameInterval = 0;              // milliseconds between frames
    int16_t frameCode = 0;                  // 0 still texture in frames[0]; n >= 2 frames[0..n-2]
    std::array<std::string, MATERIAL_FRAMES> frames;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Fills a record with the defaults of a new material and gives it a name
void inicializaMaterial(EditorMaterial &material, const std::string &name);

// Decimal text to file text: comma to point, at least three decimals ("0,5" -> "0.500")
std::string formatoFloat(const std::string &text);

// Decimal text padded to at least three decimals, keeping the comma ("0,5" -> "0,500")
std::string formatoFloat2(const std::string &text);

// Every backslash of a path becomes a slash
std::string formateaDir(const std::string &path);

// File text to decimal text: every point becomes a comma
std::string decimalConComa(const std::string &text);

// Integer value of a text: optional blanks and sign, then digits; 0 when there are none.
// The result is held within [minimum, maximum].
int32_t textoAEntero(const std::string &text, int32_t minimum, int32_t maximum);

// 1 when a name can be stored in the scene file: 1 to 255 printable ASCII characters, no
// white space, no double quote, no <, > or &
int nombreValido(const std::string &name);

// 1 when two names are equal ignoring the letter case of ASCII letters
int mismoNombreSinMayusculas(const std::string &a, const std::string &b);

// 1 when two records hold the same texts and values in every field
int mismoMaterial(const EditorMaterial &a, const EditorMaterial &b);
