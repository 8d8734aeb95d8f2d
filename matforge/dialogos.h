/**********************************************************************************************
*
*   dialogos - the dialogs the main window of matforge asks through
*
*   File dialogs, message boxes, yes/no and several-choice questions, the input box, the
*   colour dialog, the texture selection dialog and the about box go through one small interface, so that the windows can be
*   driven by scripted answers in tests. DialogosQt is the real one (QFileDialog,
*   QMessageBox, QInputDialog, QColorDialog and Form2).
*
*   DEPENDENCIES: Qt Widgets, form2 (real texture selection)
*
**********************************************************************************************/
#pragma once

#include <QString>
#include <QStringList>

class QColor;
class QWidget;
struct SceneDocument;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
class Dialogos {
public:
    enum Icono { Informacion, Exclamacion, Critico };

    virtual ~Dialogos() = default;

    // File-open dialog; the chosen path, or an empty text when cancelled
    virtual QString abrirFichero(QWidget *padre, const QString &titulo, const QString &directorio,
                                 const QString &filtro) = 0;

    // File-save dialog (asks before overwriting) with `propuesto` (a path) as the name offered;
    // the chosen path, or empty when cancelled
    virtual QString guardarFichero(QWidget *padre, const QString &titulo, const QString &propuesto,
                                   const QString &filtro) = 0;

    // Message box with an OK button
    virtual void mensaje(QWidget *padre, Icono icono, const QString &texto) = 0;

    // Question with Yes and No buttons; true for Yes
    virtual bool pregunta(QWidget *padre, const QString &texto) = 0;

    // Question with one button per option; the index of the option chosen. Enter chooses
    // option `porDefecto`; Escape and the window's close button choose `alEscapar`.
    virtual int eligeOpcion(QWidget *padre, const QString &texto, const QStringList &opciones, int porDefecto,
                            int alEscapar) = 0;

    // Input box; false when cancelled, else the answer in `respuesta`
    virtual bool entrada(QWidget *padre, const QString &titulo, const QString &etiqueta, QString &respuesta) = 0;

    // Colour dialog with `inicial` preselected and the full dialog open; false when cancelled,
    // else the colour in `elegido`
    virtual bool eligeColor(QWidget *padre, const QColor &inicial, QColor &elegido) = 0;

    // Texture selection among the document's textures, shown modally; the chosen name, or
    // an empty text when cancelled
    virtual QString eligeTextura(QWidget *padre, const SceneDocument &doc) = 0;

    // "Acerca de": the program's name, version and purpose (a message box unless overridden)
    virtual void acercaDe(QWidget *padre, const QString &texto) { mensaje(padre, Informacion, texto); }
};

class DialogosQt : public Dialogos {
public:
    QString abrirFichero(QWidget *padre, const QString &titulo, const QString &directorio,
                         const QString &filtro) override;
    QString guardarFichero(QWidget *padre, const QString &titulo, const QString &propuesto,
                           const QString &filtro) override;
    void mensaje(QWidget *padre, Icono icono, const QString &texto) override;
    bool pregunta(QWidget *padre, const QString &texto) override;
    int eligeOpcion(QWidget *padre, const QString &texto, const QStringList &opciones, int porDefecto,
                    int alEscapar) override;
    bool entrada(QWidget *padre, const QString &titulo, const QString &etiqueta, QString &respuesta) override;
    bool eligeColor(QWidget *padre, const QColor &inicial, QColor &elegido) override;
    QString eligeTextura(QWidget *padre, const SceneDocument &doc) override;
    void acercaDe(QWidget *padre, const QString &texto) override;
};

// Title of the message boxes and questions (the caption of the main window)
extern const char *const TITULO_EDITOR;
