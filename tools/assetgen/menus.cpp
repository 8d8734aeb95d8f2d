/**********************************************************************************************
*
*   menus - backgrounds and buttons of the editor menus
*
*   DEPENDENCIES: asset_output, buttons, canvas, text
*
**********************************************************************************************/
#include "menus.h"

#include "buttons.h"

#include <array>
#include <cmath>

//----------------------------------------------------------------------------------
// Types and tables
//----------------------------------------------------------------------------------
namespace {

struct MenuButton {
    const char *stem;
    const char *label;
    int width, height;   // pixels, at the aspect of the menu's buttons
    Color accent;
    int labelSize;       // largest label size, shared by a menu so its labels match
};

const Color OPERATION_ACCENT = {0.26f, 0.38f, 0.62f};
const Color FILE_ACCENT = {0.52f, 0.30f, 0.24f};
const Color MODE_ACCENT = {0.34f, 0.28f, 0.58f};
const Color LOOK_ACCENT = {0.40f, 0.42f, 0.16f};

// Operation buttons are 6.5 x 2.5, file and mode 6.5 x 3.25, appearance 5 x 2 scene units
const std::array<MenuButton, 19> MENU_BUTTONS = {{
    {"clonacion", "Clonar", 208, 80, OPERATION_ACCENT, 26},
    {"bloquear", "Bloquear", 208, 80, OPERATION_ACCENT, 26},
    {"eliminar", "Eliminar", 208, 80, OPERATION_ACCENT, 26},
    {"Apariencia", "Apariencia", 208, 80, OPERATION_ACCENT, 26},
    {"translacion", "Trasladar", 208, 80, OPERATION_ACCENT, 26},
    {"rotacion", "Rotar", 208, 80, OPERATION_ACCENT, 26},
    {"EscaladoUni", "Escalado uniforme", 208, 80, OPERATION_ACCENT, 26},
    {"EscaladoDir", "Escalado por eje", 208, 80, OPERATION_ACCENT, 26},
    {"play", "Jugar", 192, 96, FILE_ACCENT, 30},
    {"load", "Cargar", 192, 96, FILE_ACCENT, 30},
    {"save", "Guardar", 192, 96, FILE_ACCENT, 30},
    {"exit", "Salir", 192, 96, FILE_ACCENT, 30},
    {"navegacion", "Navegacion", 192, 96, MODE_ACCENT, 26},
    {"edObjetos", "Edicion de objetos", 192, 96, MODE_ACCENT, 26},
    {"eventos", "Eventos", 192, 96, MODE_ACCENT, 26},
    {"cambiarMaterial", "Cambiar material", 160, 64, LOOK_ACCENT, 19},
    {"solido", "Solido", 160, 64, LOOK_ACCENT, 19},
    {"Promedio", "Promediado", 160, 64, LOOK_ACCENT, 19},
    {"malla", "Malla", 160, 64, LOOK_ACCENT, 19},
}};

const std::array<const char *, 3> STATE_SUFFIX = {"Up", "Move", "Down"};

// A background: panel size in scene units, picture scale, title and the box (in scene
// units from the panel's top-left corner) that stays free of buttons on screen
struct MenuBackground {
    const char *file;
    float panelW, panelH;
    float pixelsPerUnit;
    const char *title;
    float titleX0, titleY0, titleX1, titleY1;
    Color tone;
};

const std::array<MenuBackground, 5> MENU_BACKGROUNDS = {{
    {"menuPrimitiva.bmp", 20, 25, 10.0f, "Primitivas", 10.8f, 0.3f, 19.2f, 2.55f, {0.16f, 0.22f, 0.34f}},
    {"menuOperation.bmp", 32, 20, 8.0f, "Operaciones", 2.5f, 0.25f, 29.5f, 2.85f, OPERATION_ACCENT},
    {"menuFile.bmp", 32, 20, 8.0f, "Archivo", 2.5f, 17.0f, 29.5f, 19.8f, FILE_ACCENT},
    {"menuOpEsp.bmp", 20, 25, 10.0f, "Modo", 0.8f, 0.4f, 9.4f, 3.5f, MODE_ACCENT},
    {"menuApariencia.bmp", 8, 14, 16.0f, "Apariencia", 0.5f, 0.25f, 7.5f, 2.55f, LOOK_ACCENT},
}};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Dark brushed panel in a tone: gradient, fine noise, a rim and an inner line
Canvas drawPanel(int width, int height, Color tone)
{
    Canvas canvas = makeCanvas(width, height, {0, 0, 0});
    Color top = mixColor(scaleColor(tone, 0.55f), {0.05f, 0.06f, 0.08f}, 0.3f);
    Color bottom = scaleColor(tone, 0.16f);
    fillVerticalGradient(canvas, top, bottom);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            float n = fractalNoise(x / 24.0f, y / 3.0f, 1024, 3, 17U) - 0.5f;
            Color p = getPixel(canvas, x, y);
            setPixel(canvas, x, y, scaleColor(p, 1.0f + 0.18f * n));
        }
    float w = static_cast<float>(width), h = static_cast<float>(height);
    float border = std::max(2.0f, std::min(w, h) / 60.0f);
    strokeRoundedRect(canvas, 0, 0, w, h, 0.05f * w, border * 1.5f, mixColor(tone, {1, 1, 1}, 0.35f));
    strokeRoundedRect(canvas, border * 2.5f, border * 2.5f, w - border * 2.5f, h - border * 2.5f,
                      0.05f * w - border * 2.5f, 1.0f, {1, 1, 1}, 0.18f);
    return canvas;
}

bool writeBackgrounds(AssetOutput &out)
{
    for (const MenuBackground &m : MENU_BACKGROUNDS) {
        int width = static_cast<int>(std::lround(m.panelW * m.pixelsPerUnit));
        int height = static_cast<int>(std::lround(m.panelH * m.pixelsPerUnit));
        Canvas canvas = drawPanel(width, height, m.tone);
        float k = m.pixelsPerUnit;
        drawLabel(canvas, out.bold, m.title, m.titleX0 * k, m.titleY0 * k, m.titleX1 * k, m.titleY1 * k,
                  static_cast<int>((m.titleY1 - m.titleY0) * k * 0.8f), {0.95f, 0.86f, 0.55f}, 1.0f);
        if (!saveBitmap(out, m.file, canvas)) return false;
    }

    // Event panel, 30 x 6 units: a plain plate with a caption beside the event arrows
    const float k = 10.0f;
    Canvas events = drawPanel(static_cast<int>(30 * k), static_cast<int>(6 * k), {0.20f, 0.30f, 0.26f});
    drawLine(events, {1.0f * k, 3.1f * k}, {29.0f * k, 3.1f * k}, 1.0f, {1, 1, 1}, 0.2f);
    drawLabel(events, out.bold, "Evento", 25.0f * k, 4.3f * k, 29.6f * k, 5.6f * k, 12, {0.85f, 0.95f, 0.85f}, 1.0f);
    return saveBitmap(out, "events1.bmp", events);
}

bool writeButtons(AssetOutput &out)
{
    for (const MenuButton &b : MENU_BUTTONS) {
        for (int s = 0; s < 3; s++) {
            Canvas canvas = makeLabelButton(out.bold, b.width, b.height, b.label, static_cast<ButtonState>(s), b.accent,
                                            b.labelSize);
            if (!saveBitmap(out, std::string(b.stem) + STATE_SUFFIX[static_cast<size_t>(s)] + ".bmp", canvas)) return false;
        }
    }
    return true;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Backgrounds first, then the buttons of the four labelled menus
bool generateMenus(AssetOutput &out)
{
    return writeBackgrounds(out) && writeButtons(out);
}
