/**********************************************************************************************
*
*   form3_teclado - the material form without a mouse: tab order, swatches, tool tips
*
*   Tab walks the controls in reading order, column by column: the three light colours
*   (swatch, then its alpha), the coefficients, the texture part, then "Aceptar" and
*   "Cancelar". A colour swatch takes the focus, shows it with a thicker border, and opens
*   the colour dialog with Space or Enter. Ks follows Kd on its own, so it is shown read-only
*   and Tab passes it by. Every control says what it does in a tool tip.
*
*   DEPENDENCIES: Qt Widgets, form3
*
**********************************************************************************************/
#include "form3.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
static const char *const AYUDA_MUESTRA[3] = {
    "Color de la luz difusa: clic, Espacio o Intro para elegirlo",
    "Color de la luz especular: clic, Espacio o Intro para elegirlo",
    "Color de la luz emitida: clic, Espacio o Intro para elegirlo"};
static const int BORDE_NORMAL = 1;
static const int BORDE_FOCO = 3;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// Tool tip from UTF-8 text
static void ayuda(QWidget *control, const char *texto)
{
    control->setToolTip(QString::fromUtf8(texto));
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool teclaDeMuestra(int tecla)
{
    return tecla == Qt::Key_Space || tecla == Qt::Key_Return || tecla == Qt::Key_Enter;
}

// Focus, read-only state, tool tips and the tab order of every control
void Form3::preparaTeclado()
{
    for (int luz = 0; luz < 3; luz++) {
        picture1_[luz]->setFocusPolicy(Qt::StrongFocus);
        picture1_[luz]->setLineWidth(BORDE_NORMAL);
        ayuda(picture1_[luz], AYUDA_MUESTRA[luz]);
        ayuda(alfa_[luz], "Alfa del color (0 a 100)");
    }
    ayuda(ka_, "Ka: peso del color difuso en la luz ambiente y de la luz emitida (0 a 100)");
    ayuda(kd_, "Kd: peso de la luz difusa (0 a 100); Ks es 100 - Kd");
    ayuda(ks_, "Ks: peso de la luz especular; sigue a Kd (100 - Kd) y no se edita");
    ayuda(shine_, "Shine: brillo especular (0 a 128; más alto, brillo más pequeño)");
    ayuda(blend_, "Blend: opacidad del material (0 a 100)");
    ayuda(check1_, "Usa los frames de textura en el material");
    ayuda(command1_[0], "Frame anterior");
    ayuda(command1_[1], "Frame siguiente (tras el último, el lugar de uno nuevo)");
    ayuda(command2_[0], "Elige una textura de la escena para este frame");
    ayuda(command2_[1], "Quita este frame");
    ayuda(text1_, "Milisegundos entre dos frames de la animación (vacío o 0: parada)");
    ayuda(slider2_[0], "Repeticiones de la textura en horizontal (10 = 1.0)");
    ayuda(slider2_[1], "Repeticiones de la textura en vertical (10 = 1.0)");
    ayuda(command5_, "Abre la vista previa OpenGL del material");
    ayuda(command3_, "Guarda los valores en el material y cierra");
    ayuda(command4_, "Cierra sin cambiar el material");

    // NOTE: disabled, Ks keeps its value, which the coupling and the preview go on using
    ks_->setEnabled(false);

    const QList<QWidget *> orden = {picture1_[0], alfa_[0], picture1_[1], alfa_[1], picture1_[2], alfa_[2],
                                    ka_, kd_, ks_, shine_, blend_, check1_, command1_[0], command1_[1],
                                    command2_[0], command2_[1], text1_, slider2_[0], slider2_[1], command5_,
                                    command3_, command4_};
    for (int i = 0; i + 1 < orden.size(); i++) setTabOrder(orden[i], orden[i + 1]);
}

// A swatch with the focus shows a thicker border
void Form3::marcaFoco(int luz)
{
    picture1_[luz]->setLineWidth(picture1_[luz]->hasFocus() ? BORDE_FOCO : BORDE_NORMAL);
}
