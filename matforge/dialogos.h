/**********************************************************************************************
*
*   dialogos - the dialogs the main window of matforge asks through
*
*   File dialogs, message boxes, yes/no questions and the input box go through one small
*   interface, so that the window can be driven by scripted answers in tests. DialogosQt is
*   the real one (QFileDialog, QMessageBox, QInputDialog).
*
*   DEPENDENCIES: Qt Widgets
*
**********************************************************************************************/
#pragma once

#include <QString>

class QWidget;

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

    // File-save dialog (asks before overwriting); the chosen path, or empty when cancelled
    virtual QString guardarFichero(QWidget *padre, const QString &titulo, const QString &directorio,
                                   const QString &filtro) = 0;

    // Message box with an OK button
    virtual void mensaje(QWidget *padre, Icono icono, const QString &texto) = 0;

    // Question with Yes and No buttons; true for Yes
    virtual bool pregunta(QWidget *padre, const QString &texto) = 0;

    // Input box; false when cancelled, else the answer in `respuesta`
    virtual bool entrada(QWidget *padre, const QString &titulo, const QString &etiqueta, QString &respuesta) = 0;
};

class DialogosQt : public Dialogos {
public:
    QString abrirFichero(QWidget *padre, const QString &titulo, const QString &directorio,
                         const QString &filtro) override;
    QString guardarFichero(QWidget *padre, const QString &titulo, const QString &directorio,
                           const QString &filtro) override;
    void mensaje(QWidget *padre, Icono icono, const QString &texto) override;
    bool pregunta(QWidget *padre, const QString &texto) override;
    bool entrada(QWidget *padre, const QString &titulo, const QString &etiqueta, QString &respuesta) override;
};

// Title of the message boxes and questions (the caption of the main window)
extern const char *const TITULO_EDITOR;
