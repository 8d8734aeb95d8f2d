/**********************************************************************************************
*
*   matforge_steps - the steps of the picture drivers that show matforge's windows
*
*   Qt's xcb platform on the private X server, the main window shown with the scene loaded,
*   and picking a row of a list by its text.
*
*   DEPENDENCIES: Qt Widgets and Test, matforge's main window, picture_steps
*
**********************************************************************************************/
#pragma once

#include "form1.h"
#include "picture_steps.h"

#include <QAction>
#include <QListWidget>
#include <QTest>

#include <sys/stat.h>  // Required for: mkdir()

#include <cstdlib>  // Required for: getenv(), setenv()
#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Qt on the private X server (xcb), with a private runtime directory in the scratch one and
// matforge's settings there too (the user's recent scenes and window place stay untouched)
inline void useXcbOn(const std::string &display, const std::string &scratch)
{
    setenv("DISPLAY", display.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
    // NOTE: Qt wants a private runtime directory; the scratch one took the run data's mode
    const std::string runtime = scratch + "/runtime";
    if (getenv("XDG_RUNTIME_DIR") == nullptr && mkdir(runtime.c_str(), 0700) == 0) setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

// Selects the row of a list that shows `text`
inline bool selectRow(QListWidget *list, const QString &text)
{
    if (list == nullptr) return false;
    QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    list->setCurrentItem(found.first());
    return true;
}

// Shows the main window with its left edge at x and loads the scene with "Cargar Escena XML"
inline void showWithScene(Form1 &ventana, int x)
{
    ventana.move(x, 0);
    ventana.show();
    check(QTest::qWaitForWindowExposed(&ventana), "the main window did not show");
    QAction *cargar = ventana.findChild<QAction *>("cargar");
    if (check(cargar != nullptr, "no \"Cargar Escena XML\"")) cargar->trigger();
}
