/**********************************************************************************************
*
*   form2 - "Selección de Textura", the texture chooser of the material form
*
*   Lists the textures of the open scene in file order. Selecting a row enables "Aceptar"
*   and shows the bitmap; "Aceptar" or a double click on a row closes the dialog with the
*   name in textSel, "Cancelar" closes it without a name.
*
*   DEPENDENCIES: Qt Widgets, bitmaps, scene_document
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
class Form2 : public QDialog {
    Q_OBJECT

public:
    Form2(const SceneDocument &doc, QWidget *parent = nullptr);

    // The chosen texture; empty until "Aceptar" or a double click
    QString textSel() const { return textSel_; }

private:
    void filaSeleccionada(int fila);
    void aceptar();
    void dobleClic(QListWidgetItem *item);

    const SceneDocument &doc_;
    QString textSel_;
    QListWidget *list1_ = nullptr;
    QLabel *image1_ = nullptr;
    QPushButton *command3_ = nullptr;   // "Aceptar"
    QPushButton *command4_ = nullptr;   // "Cancelar"
};
