/**********************************************************************************************
*
*   main - entry point of matforge, the material editor of the scene file
*
*   Answers --help and --version before Qt is started, so neither needs a display; every
*   other argument is left to Qt (-platform, -display, ...).
*
*   DEPENDENCIES: Qt Widgets, form1
*
**********************************************************************************************/
#include "form1.h"

#include <QApplication>

#include <cstdio>   // Required for: fputs(), printf()
#include <cstring>  // Required for: strcmp()

#ifndef SW_VERSION
#define SW_VERSION "0.0.0"
#endif

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// What --help prints
static const char *const AYUDA =
    "Usage: matforge [--help] [--version] [Qt options]\n"
    "Edit the textures and materials of a stageworks scene file (escena.xml) in a window.\n"
    "The scene is opened from the program's menu (\"Archivo\" > \"Cargar Escena XML\");\n"
    "every other part of the file is written back as it was.\n"
    "\n"
    "Options:\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "  Qt's own options (for example -platform xcb, -display :1) are passed to Qt.\n"
    "\n"
    "Texture bitmaps must lie under the directory of the scene file (usually in its Data/\n"
    "directory); their names are written relative to it. Saving writes temp.tmp beside the\n"
    "scene file and then replaces the file.\n"
    "\n"
    "Errors and confirmations are shown in message boxes; Qt's own problems (no display,\n"
    "no platform plugin) go to standard error. Exit status: 0 when the window is closed.\n";

// 1 help, 2 version, 0 to start the window
// NOTE: other arguments are not refused here: Qt takes its options with one dash or two
static int leeOpciones(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return 1;
        if (strcmp(argv[i], "--version") == 0) return 2;
    }
    return 0;
}

//----------------------------------------------------------------------------------
// Program
//----------------------------------------------------------------------------------

// Options first, then the main window
int main(int argc, char *argv[])
{
    switch (leeOpciones(argc, argv)) {
    case 1:
        fputs(AYUDA, stdout);
        return 0;
    case 2:
        printf("matforge %s\n", SW_VERSION);
        return 0;
    default:
        break;
    }

    QApplication app(argc, argv);
    Form1 ventana;
    ventana.show();
    return app.exec();
}
