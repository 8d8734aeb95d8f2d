/**********************************************************************************************
*
*   help_overlay - F1: the keys and mouse actions of the current mode, over the view
*
**********************************************************************************************/
#include "help_overlay.h"

#include "app_state.h"
#include "bindings.h"
#include "font.h"
#include "redraw.h"

#include <GL/gl.h>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------

// Where the lines stand (eye coordinates, the HUD's plane) and the panel behind them
static const float HELP_X = -34.0f;
static const float HELP_TOP = 24.0f;
static const float HELP_LINE_STEP = 2.2f;
static const float HELP_Z = -70.0f;
static const float PANEL_LEFT = -36.0f;
static const float PANEL_RIGHT = 36.0f;
static const float PANEL_MARGIN = 1.5f;

static const int EVENTS_MODE = 2;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static bool shown = false;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void toggleHelp()
{
    shown = !shown;
    requestRedraw();
}

int hideHelp()
{
    if (!shown) return 0;
    shown = false;
    requestRedraw();
    return 1;
}

int helpShown() { return shown ? 1 : 0; }

HelpMode currentHelpMode()
{
    if (playerBindingsActive()) return HELP_PLAYER;
    if (getPlayMode() == 1) return HELP_PLAY;
    return getEditingMode() == EVENTS_MODE ? HELP_EVENTS : HELP_EDIT;
}

std::vector<std::string> helpLines(HelpMode mode)
{
    switch (mode) {
    case HELP_PLAYER:
        return {"AYUDA - visita de la escena           (F1 o Escape cierra)",
                "Raton: mirar alrededor",
                "Flechas: caminar",
                "Clic (izquierdo o derecho) sobre un objeto cercano: activarlo",
                "Escape: salir",
                "A / S: acercar / alejar   F: volar   I: invertir el raton   L: estadisticas"};
    case HELP_PLAY:
        return {"AYUDA - modo juego                    (F1 o Escape cierra)",
                "Raton: mirar alrededor",
                "Flechas: caminar",
                "Clic derecho sobre un objeto cercano: activar sus eventos",
                "Escape: volver a la edicion (la escena vuelve a como estaba)",
                "A / S: acercar / alejar   F: volar   I: invertir el raton   L: estadisticas"};
    case HELP_EVENTS:
        return {"AYUDA - modo eventos                  (F1 o Escape cierra)",
                "Clic sobre un objeto: abre el editor de eventos del objeto",
                "Panel: clic en una fila elige evento, condicion o consecuencia;",
                "clic fuera del panel lo cierra",
                "Preguntas: escriba el valor e Intro; Intro sin nada o Escape cancela",
                "Listas: flechas para desplazar, clic para elegir; Escape cierra la lista",
                "Clic en el vacio (sin panel): mirar con el raton; otro clic lo deja",
                "Ctrl+Z deshacer   Ctrl+Y o Ctrl+Mayus+Z rehacer",
                "F9 guardar   F5 cargar escena.xml   Escape: salir",
                "(con cambios sin guardar pregunta antes: Escape otra vez en 5 s sale)"};
    default:
        return {"AYUDA - modo edicion                  (F1 o Escape cierra)",
                "Clic en el vacio: mirar con el raton (otro clic lo deja); flechas: caminar",
                "Bordes de la pantalla: menus (izquierda primitivas, arriba fichero y juego,",
                "derecha modos, abajo operaciones en edicion de objetos)",
                "Edicion de objetos: clic y arrastre sobre un objeto aplica la operacion;",
                "flechas: un paso; 0: restablecer; Fin: fija el eje del arrastre",
                "E: esfera nueva   A / S: acercar / alejar   F: volar   I: invertir raton",
                "L: estadisticas   C: listas de dibujo",
                "Ctrl+Z deshacer   Ctrl+Y o Ctrl+Mayus+Z rehacer",
                "F9 guardar   F5 cargar escena.xml   Escape: salir",
                "(con cambios sin guardar pregunta antes: Escape otra vez en 5 s sale)"};
    }
}

void drawTextBacking(float left, float top, float right, float bottom)
{
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 0.75f);
    // NOTE: clockwise as seen from the eye, the front-face winding of the program
    glBegin(GL_QUADS);
    glVertex3f(left, top, HELP_Z - 0.5f);
    glVertex3f(right, top, HELP_Z - 0.5f);
    glVertex3f(right, bottom, HELP_Z - 0.5f);
    glVertex3f(left, bottom, HELP_Z - 0.5f);
    glEnd();
}

void drawHelp()
{
    if (!shown) return;
    const std::vector<std::string> lines = helpLines(currentHelpMode());
    const float bottom = HELP_TOP - HELP_LINE_STEP * (float)lines.size() - PANEL_MARGIN;
    drawTextBacking(PANEL_LEFT, HELP_TOP + PANEL_MARGIN, PANEL_RIGHT, bottom);
    for (size_t i = 0; i < lines.size(); i++) {
        if (i == 0) glColor3f(1.0f, 0.85f, 0.3f);
        else glColor3f(1.0f, 1.0f, 1.0f);
        drawText(lines[i].c_str(), HELP_X, HELP_TOP - HELP_LINE_STEP * (float)i, HELP_Z, 1000.0f);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}
