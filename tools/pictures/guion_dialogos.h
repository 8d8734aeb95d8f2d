/**********************************************************************************************
*
*   guion_dialogos - the dialogs of matforge answered for the picture drivers
*
*   "Cargar Escena XML" gets the scene given; every other dialog is refused, and messages go
*   to standard error.
*
*   DEPENDENCIES: matforge's dialogos, Qt
*
**********************************************************************************************/
#pragma once

#include "dialogos.h"

#include <QString>
#include <QStringList>

#include <cstdio>

// Answers "Cargar Escena XML" with the scene and refuses everything else
class GuionDialogos : public Dialogos {
public:
    explicit GuionDialogos(const QString &escena) : escena_(escena) {}

    QString abrirFichero(QWidget *, const QString &, const QString &, const QString &) override { return escena_; }
    QString guardarFichero(QWidget *, const QString &, const QString &, const QString &) override { return QString(); }
    void mensaje(QWidget *, Icono, const QString &texto) override
    {
        fprintf(stderr, "pictures: matforge says: %s\n", texto.toUtf8().constData());
    }
    bool pregunta(QWidget *, const QString &) override { return false; }
    int eligeOpcion(QWidget *, const QString &, const QStringList &, int, int alEscapar) override { return alEscapar; }
    bool entrada(QWidget *, const QString &, const QString &, QString &) override { return false; }
    bool eligeColor(QWidget *, const QColor &, QColor &) override { return false; }
    QString eligeTextura(QWidget *, const SceneDocument &) override { return QString(); }

private:
    QString escena_;
};
