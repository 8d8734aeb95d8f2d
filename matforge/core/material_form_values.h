/**********************************************************************************************
*
*   material_form_values - the values of the material form and their mapping to a material
*
*   The material form shows a material as integer controls: sliders for the coefficients,
*   blend, shine, alphas and texture scales, labels 0 to 255 for the colour components, a
*   check box, the frame interval as text and the list of working frames. This module holds
*   those values as a plain record, fills it from a material (values truncated into the
*   controls), writes it back (control values turned into decimal text with a comma), edits
*   the working frames, splits dialog colours and computes the lit material the preview
*   draws. Everything here is free of any toolkit so that it can be tested alone.
*
*   DEPENDENCIES: editor_material, scene_document (frame counts)
*
**********************************************************************************************/
#pragma once

#include "editor_material.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int COEFICIENTE_MAX = 100;   // Ka, Kd, Ks, Blend and alpha sliders: value / 100
constexpr int SHINE_MAX = 128;         // Shine slider: value / 128
constexpr int COLOR_MAX = 255;         // colour labels: value / 255
constexpr int ESCALA_FACTOR = 10;      // scale sliders: value / 10
constexpr int ESCALA_MIN = 0;          // scale sliders from 0.0 ...
constexpr int ESCALA_MAX = 10000;      // ... to 1000.0, so that a file's scale comes back as it was
constexpr int INTERVALO_MAX = 2147483647;

// The three light colours of a material, in the order of the form's frames
enum LuzMaterial { LUZ_DIFUSA = 0, LUZ_ESPECULAR = 1, LUZ_EMISORA = 2 };

// The controls of the material form as plain values
struct ValoresForm {
    int ka = 0, kd = 0, ks = 0;                   // 0 to 100
    int blend = 0;                                // 0 to 100
    int shine = 0;                                // 0 to 128
    std::array<std::array<int, 3>, 3> color{};    // [light][R, G, B], 0 to 255
    std::array<int, 3> alfa{};                    // [light], 0 to 100
    bool texturado = false;                       // "Material Texturado"
    std::string intervalo;                        // text of the frame interval box
    int scaleX = ESCALA_FACTOR, scaleY = ESCALA_FACTOR;
    std::vector<std::string> frames;              // working frames, in order
};

// What the preview hands to OpenGL for the front material
struct MaterialVista {
    std::array<float, 4> ambient{}, diffuse{}, specular{}, emission{};
    float shininess = 0;
    float scaleX = 1, scaleY = 1;                 // texture matrix scales
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Number held by a decimal text ("0,5" or "0.5", optional sign); 0 when there is none.
// Reading stops at the first character that cannot continue the number.
double numeroDecimal(const std::string &text);

// Control value of a decimal text: number x factor, truncated towards zero, held within
// [minimo, maximo]. NOTE: a nudge of 1e-9 keeps products such as 0.29 x 100 from
// truncating to 28 through binary rounding.
int valorControl(const std::string &text, double factor, int minimo, int maximo);

// A real as decimal text: up to 15 significant digits, decimal comma, no exponent, no
// trailing zeros ("0,498039215686275", "0,25", "2")
std::string textoNumero(double value);

// Decimal text of a control: valor / divisor through textoNumero, and then the exact texts
// "1" and "0" become "1,000" and "0,000"
std::string textoDesdeControl(int valor, int divisor);

// Frame interval of the text box: empty or not a number gives 0; negative numbers give 0
int32_t intervaloDesdeTexto(const std::string &text);

// 1 when the interval text holds a negative number (the form then shows "0" instead)
int intervaloNegativo(const std::string &text);

// The controls of a material as the form shows them when it opens. The working frames,
// the interval and the scales are taken even for a plain material, so that a texture kept
// while unticked comes back when the box is ticked again.
ValoresForm valoresDeMaterial(const EditorMaterial &material);

// "Aceptar": writes the controls into the material, in the order ka, kd, ks, blend, shine,
// the twelve colour components, then the texture part. Ticked with a first frame: textured
// with the working frames (frameCode 0 for one frame, count + 1 for more); otherwise plain,
// and the other texture fields keep their values.
void aplicaValores(const ValoresForm &valores, EditorMaterial &material);

// Inserts a frame at position p (0 to count); 0 when the position is out of range or the
// material already holds MATERIAL_FRAMES frames
int insertaFrame(std::vector<std::string> &frames, int p, const std::string &name);

// Removes frame p, the later ones move one place down; 0 when there is no frame p
int borraFrame(std::vector<std::string> &frames, int p);

// Splits a dialog colour (red in the low byte, then green, then blue) into R, G, B
void separaColor(uint32_t color, std::array<int, 3> &rgb);

// The colour of three components 0 to 255, red in the low byte
uint32_t colorDesdeRGB(const std::array<int, 3> &rgb);

// Next frame of the animation: one more, back to 0 at the frame count (0 with no frames)
int siguienteFrame(int muestraFrame, int count);

// The lit material of the preview: k = slider / 100 for Ka, Kd, Ks; b = Blend / 100;
// colours = label / 255, a = alpha / 100. Ambient and emission are weighted by Ka, diffuse
// by Kd, specular by Ks, every alpha by b; shininess is the Shine slider.
MaterialVista materialVista(const ValoresForm &valores);
