/**********************************************************************************************
*
*   dialogos - the dialogs the main window of matforge asks through
*
**********************************************************************************************/
#include "dialogos.h"

#include "form2.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>  // Required for: the buttons QMessageBox::addButton() makes

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
const char *const TITULO_EDITOR = "Editor Materiales XML";

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// QFileDialog, which only accepts existing files
QString DialogosQt::abrirFichero(QWidget *padre, const QString &titulo, const QString &directorio,
                                 const QString &filtro)
{
    return QFileDialog::getOpenFileName(padre, titulo, directorio, filtro);
}

// QFileDialog, which asks before overwriting; a name typed without an ending gets ".xml"
QString DialogosQt::guardarFichero(QWidget *padre, const QString &titulo, const QString &propuesto,
                                   const QString &filtro)
{
    QFileDialog dialogo(padre, titulo, QString(), filtro);
    dialogo.setObjectName("dialogoGuardar");
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setDefaultSuffix("xml");
    dialogo.selectFile(propuesto);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return QString();
    return dialogo.selectedFiles().first();
}

// QMessageBox with the icon asked for
void DialogosQt::mensaje(QWidget *padre, Icono icono, const QString &texto)
{
    QString titulo = QString::fromUtf8(TITULO_EDITOR);
    switch (icono) {
    case Informacion: QMessageBox::information(padre, titulo, texto); break;
    case Exclamacion: QMessageBox::warning(padre, titulo, texto); break;
    case Critico: QMessageBox::critical(padre, titulo, texto); break;
    }
}

// QMessageBox with Yes and No, No being the default button
bool DialogosQt::pregunta(QWidget *padre, const QString &texto)
{
    return QMessageBox::question(padre, QString::fromUtf8(TITULO_EDITOR), texto, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

// QMessageBox with one button per option, in order; the default button has the focus
int DialogosQt::eligeOpcion(QWidget *padre, const QString &texto, const QStringList &opciones, int porDefecto,
                            int alEscapar)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(TITULO_EDITOR), texto, QMessageBox::NoButton, padre);
    box.setObjectName("eligeOpcion");
    QList<QPushButton *> buttons;
    for (const QString &option : opciones) buttons.append(box.addButton(option, QMessageBox::ActionRole));
    if (porDefecto >= 0 && porDefecto < buttons.size()) box.setDefaultButton(buttons[porDefecto]);
    if (alEscapar >= 0 && alEscapar < buttons.size()) box.setEscapeButton(buttons[alEscapar]);
    box.exec();
    // NOTE: the escape button stands for a box closed any other way too
    int elegido = (int)buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    return elegido >= 0 ? elegido : alEscapar;
}

// QInputDialog with an empty line
bool DialogosQt::entrada(QWidget *padre, const QString &titulo, const QString &etiqueta, QString &respuesta)
{
    bool aceptado = false;
    respuesta = QInputDialog::getText(padre, titulo, etiqueta, QLineEdit::Normal, QString(), &aceptado);
    return aceptado;
}

// QColorDialog; Qt shows the full dialog (basic and custom colours) at once
bool DialogosQt::eligeColor(QWidget *padre, const QColor &inicial, QColor &elegido)
{
    QColor color = QColorDialog::getColor(inicial, padre);
    if (!color.isValid()) return false;
    elegido = color;
    return true;
}

// Form2 shown modally
QString DialogosQt::eligeTextura(QWidget *padre, const SceneDocument &doc)
{
    Form2 form(doc, padre);
    if (form.exec() != QDialog::Accepted) return QString();
    return form.textSel();
}

// QMessageBox's about box, titled with the program's name
void DialogosQt::acercaDe(QWidget *padre, const QString &texto)
{
    QMessageBox::about(padre, QString::fromUtf8("Acerca de matforge"), texto);
}
