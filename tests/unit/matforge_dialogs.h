// Dialogs that answer from scripts, for the matforge window tests. Every question is
// recorded; the answers come from queues filled by the test, and an empty queue is a test
// failure (a dialog nobody expected). Depends on dialogos, Qt and gtest.
#pragma once

#include "dialogos.h"

#include <QApplication>  // Required for: QApplication, in runOffscreen()
#include <QtGui>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace mftest {

struct ScriptedDialogs : Dialogos {
    struct Asked {
        // kind: "open", "save", "message", "question", "choice", "input", "colour" or "texture";
        // text: the directory for file dialogs, the prompt of the input box, the colour's name;
        // title: the options of a choice, joined by "|"; filter: for a choice, the indices of
        // its default and escape options ("2/2")
        QString kind{}, title{}, text{}, filter{};
    };
    std::deque<QString> files, inputs, textures;  // a null text cancels (an empty one too, but for inputs)
    std::deque<bool> answers;
    std::deque<int> choices;                      // index of the option chosen, -1 for none
    std::deque<QColor> colours;                   // an invalid colour cancels
    std::vector<Asked> asked;
    QStringList said;  // the messages shown, each after its icon's number ("2 XML guardado...")

    // Records a dialog and takes its answer from the queue
    template <typename T>
    T ask(Asked dialog, std::deque<T> &queue)
    {
        asked.push_back(dialog);
        EXPECT_FALSE(queue.empty()) << "unexpected dialog: " << dialog.kind.toStdString();
        T value = queue.empty() ? T() : queue.front();
        if (!queue.empty()) queue.pop_front();
        return value;
    }
    using Text = const QString &;
    QString abrirFichero(QWidget *, Text t, Text d, Text f) override { return ask({"open", t, d, f}, files); }
    QString guardarFichero(QWidget *, Text t, Text d, Text f) override { return ask({"save", t, d, f}, files); }
    void mensaje(QWidget *, Icono icono, const QString &texto) override
    {
        asked.push_back({"message", "", texto});
        said << QString::number(icono) + " " + texto;
    }
    bool pregunta(QWidget *, const QString &texto) override { return ask({"question", "", texto}, answers); }
    int eligeOpcion(QWidget *, const QString &texto, const QStringList &options, int byDefault, int onEscape) override
    {
        return ask({"choice", options.join("|"), texto, QString("%1/%2").arg(byDefault).arg(onEscape)}, choices);
    }
    bool entrada(QWidget *, const QString &t, const QString &label, QString &answer) override
    {
        answer = ask({"input", t, label}, inputs);
        return !answer.isNull();
    }
    bool eligeColor(QWidget *, const QColor &inicial, QColor &elegido) override
    {
        QColor answer = ask({"colour", "", inicial.name()}, colours);
        if (answer.isValid()) elegido = answer;
        return answer.isValid();
    }
    QString eligeTextura(QWidget *, const SceneDocument &) override { return ask({"texture"}, textures); }
};

// A bitmap of one colour, written as a BMP by Qt
inline void writeBitmap(const std::string &path, const QColor &colour, int width = 16, int height = 16)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
}

// Settings (recent scenes, the window's place) in a fresh directory of their own, so that a
// test neither reads nor changes the user's; before the first window is made
inline void privateSettings()
{
    static std::string dir = (std::filesystem::temp_directory_path() / "matforge-settings.XXXXXX").string();
    if (mkdtemp(&dir[0]) == nullptr) return;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    std::atexit([] { std::error_code ignored; std::filesystem::remove_all(dir, ignored); });
}

// The main of a test program with matforge windows: Qt's offscreen platform, all tests run
inline int runOffscreen(int argc, char **argv)
{
    privateSettings();
    // NOTE: also set here because the test listing runs without the test environment; no
    // GLX so that the offscreen platform has no OpenGL whatever display is around
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_OFFSCREEN_NO_GLX", "1");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace mftest
