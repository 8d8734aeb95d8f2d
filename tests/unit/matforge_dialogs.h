/**********************************************************************************************
*
*   matforge_dialogs - dialogs that answer from scripts, for the matforge window tests
*
*   Every question is recorded; the answers come from queues filled by the test. An empty
*   queue is a test failure (a dialog nobody expected).
*
*   DEPENDENCIES: dialogos, Qt, gtest
*
**********************************************************************************************/
#pragma once

#include "dialogos.h"

#include <QColor>
#include <QString>
#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace mftest {

struct ScriptedDialogs : Dialogos {
    struct Asked {
        QString kind;  // "open", "save", "message", "question", "input", "colour", "texture"
        QString title;
        QString text;  // directory for file dialogs, prompt for the input box, colour name
        QString filter;
        int icon = -1;
    };
    std::deque<QString> files;
    std::deque<bool> answers;
    std::deque<QString> inputs;   // a null QString cancels the input box
    std::deque<QColor> colours;   // an invalid colour cancels the colour dialog
    std::deque<QString> textures; // an empty name cancels the texture selection
    std::vector<Asked> asked;

    QString abrirFichero(QWidget *, const QString &titulo, const QString &directorio, const QString &filtro) override
    {
        asked.push_back({"open", titulo, directorio, filtro, -1});
        return next(files);
    }
    QString guardarFichero(QWidget *, const QString &titulo, const QString &directorio, const QString &filtro) override
    {
        asked.push_back({"save", titulo, directorio, filtro, -1});
        return next(files);
    }
    void mensaje(QWidget *, Icono icono, const QString &texto) override
    {
        asked.push_back({"message", QString(), texto, QString(), icono});
    }
    bool pregunta(QWidget *, const QString &texto) override
    {
        asked.push_back({"question", QString(), texto, QString(), -1});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << texto.toStdString();
            return false;
        }
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool entrada(QWidget *, const QString &titulo, const QString &etiqueta, QString &respuesta) override
    {
        asked.push_back({"input", titulo, etiqueta, QString(), -1});
        respuesta = next(inputs);
        return !respuesta.isNull();
    }
    bool eligeColor(QWidget *, const QColor &inicial, QColor &elegido) override
    {
        asked.push_back({"colour", QString(), inicial.name(), QString(), -1});
        if (colours.empty()) {
            ADD_FAILURE() << "unexpected colour dialog";
            return false;
        }
        QColor answer = colours.front();
        colours.pop_front();
        if (!answer.isValid()) return false;
        elegido = answer;
        return true;
    }
    QString eligeTextura(QWidget *, const SceneDocument &) override
    {
        asked.push_back({"texture", QString(), QString(), QString(), -1});
        return next(textures);
    }

    QString next(std::deque<QString> &queue)
    {
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected dialog";
            return QString();
        }
        QString value = queue.front();
        queue.pop_front();
        return value;
    }

    std::vector<Asked> messages() const
    {
        std::vector<Asked> found;
        for (const Asked &a : asked) {
            if (a.kind == "message") found.push_back(a);
        }
        return found;
    }
};

}  // namespace mftest
