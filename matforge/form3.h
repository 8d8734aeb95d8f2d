/**********************************************************************************************
*
*   form3 - "Editar Material", the material form opened by "Editar Material"
*
*   Edits one material of the document in its controls: the three light colours (swatch,
*   R, G, B labels, alpha slider), Ka, Kd, Ks, Shine and Blend, and the texture (ticked box,
*   working frames with their navigation, frame interval, scales, the animation). Nothing
*   reaches the record until "Aceptar"; "Cancelar" or closing the window leaves it as it
*   was. The form is modal to the application, so the main window takes no input while it
*   is open. Timer1 plays the animation; Timer2 keeps Ks at 100 - Kd. The "OpenGL" button
*   opens the preview (OGLWin), which reads the controls through the FuentePreview the form
*   offers (valores(), muestraFrame(), documento()). Every control is reached with Tab in
*   reading order and has a tool tip (form3_teclado.cpp); the swatches open with Space or
*   Enter, and Ks, which follows Kd, is shown read-only.
*
*   DEPENDENCIES: Qt Widgets, dialogos, bitmaps, oglwin, fuente_preview, material_form_values,
*                 scene_document
*
**********************************************************************************************/
#pragma once

#include "dialogos.h"
#include "fuente_preview.h"
#include "material_form_values.h"
#include "scene_document.h"

#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <array>

class OGLWin;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class QVBoxLayout;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
class Form3 : public QDialog, public FuentePreview {
    Q_OBJECT

public:
    // The form on record `matSel` of the document; questions go through `dialogos`
    Form3(SceneDocument &doc, int matSel, Dialogos &dialogos, QWidget *padre = nullptr);
    ~Form3() override;

    // The values the controls hold now (the preview reads them on every frame)
    ValoresForm valores() const override;

    // Working frame shown by the animation, -1 when there is none
    int muestraFrame() const override;

    // The document and the record being edited
    const SceneDocument &documento() const override { return doc_; }
    int matSel() const { return matSel_; }

    // The preview opened by "OpenGL" (null while closed)
    OGLWin *preview() const;

    // "Insertar Frame" / "Modificar Frame": asks for a texture and puts it at the current
    // position (a new frame after the last one, else in place of the frame there)
    void insertarFrame();

    // "Borrar Frame": removes the frame at the current position
    void borrarFrame();

    // Closes the preview and the form; the record was written by "Aceptar" only
    void done(int resultado) override;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void construyeLuces(QVBoxLayout *columna);
    void construyeOtras(QVBoxLayout *columna);
    void construyeTexturas(QVBoxLayout *columna);
    void preparaTeclado();
    void marcaFoco(int luz);
    void muestraValores(const ValoresForm &valores);
    void ponColor(int luz, const std::array<int, 3> &rgb);
    void eligeColor(int luz);

    void anterior();
    void siguiente();
    void actualizaFrames();
    void pasoAnimacion();
    void acoplaKs();
    void intervaloCambiado(const QString &texto);
    void aceptar();
    void abrePreview();
    QPixmap miniatura(const std::string &frame, QLabel *caja);

    SceneDocument &doc_;
    int matSel_ = -1;
    Dialogos &dialogos_;

    std::vector<std::string> frames_;        // working frames
    int posicion_ = 0;                       // current position, 0 to frame count
    int muestraFrame_ = 0;                   // frame shown by the animation
    std::array<std::array<int, 3>, 3> color_{};
    QHash<QString, QPixmap> miniaturas_;     // bitmaps already read, by frame name and box

    QLabel *label1_ = nullptr;               // "Material Name : "
    std::array<QFrame *, 3> picture1_{};     // colour swatches
    std::array<std::array<QLabel *, 3>, 3> valorColor_{};
    std::array<QSlider *, 3> alfa_{};
    QSlider *ka_ = nullptr, *kd_ = nullptr, *ks_ = nullptr, *blend_ = nullptr, *shine_ = nullptr;
    QCheckBox *check1_ = nullptr;            // "Material Texturado"
    QLabel *numeroFrames_ = nullptr;
    QLabel *posicionFrame_ = nullptr;
    std::array<QLabel *, 2> image1_{};       // frame image, animation
    std::array<QPushButton *, 2> command1_{};// previous, next
    std::array<QPushButton *, 2> command2_{};// "Insertar Frame" / "Modificar Frame", "Borrar Frame"
    QLineEdit *text1_ = nullptr;             // frame interval
    std::array<QSlider *, 2> slider2_{};     // scale X, scale Y
    QPushButton *command3_ = nullptr;        // "Aceptar"
    QPushButton *command4_ = nullptr;        // "Cancelar"
    QPushButton *command5_ = nullptr;        // "OpenGL"
    QTimer *timer1_ = nullptr;
    QTimer *timer2_ = nullptr;
    QPointer<OGLWin> preview_;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// True for the keys that open a colour swatch's dialog (Space, Return, Enter)
bool teclaDeMuestra(int tecla);

// Opens the material form on record `matSel` of the document. The form is modal to the
// application, deletes itself when closed, and is returned so that the caller can follow it.
QDialog *abreForm3(QWidget *padre, SceneDocument &doc, int matSel, Dialogos &dialogos);
