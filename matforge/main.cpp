/**********************************************************************************************
*
*   main - entry point of matforge, the material editor of the scene file
*
*   Answers --help and --version before Qt is started, so neither needs a display; Qt takes
*   its own options (-platform, -display, ...), and what is left is the scene file to open.
*   Qt's own texts are shown in Spanish like the rest of the program.
*
*   DEPENDENCIES: Qt Widgets, form1, idioma
*
**********************************************************************************************/
#include "form1.h"
#include "idioma.h"

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
    "Usage: matforge [--help] [--version] [Qt options] [FILE]\n"
    "Edit the textures and materials of a stageworks scene file (escena.xml) in a window.\n"
    "FILE is opened at start; other scenes are opened from the program's menu (\"Archivo\" >\n"
    "\"Cargar Escena XML\" or \"Recientes\") or dropped on the window. Every other part of\n"
    "the file is written back as it was.\n"
    "\n"
    "Options:\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "  Qt's own options (for example -platform xcb, -display :1) are passed to Qt.\n"
    "\n"
    "Texture bitmaps must lie under the directory of the scene file (usually in its Data/\n"
    "directory); their names are written relative to it. A bitmap dropped from elsewhere is\n"
    "copied into Data/ first. Saving writes a temporary file beside the scene file and then\n"
    "puts it in the file's place. A file that is not well-formed XML, or whose texture or\n"
    "material sections cannot be read whole, is refused with the line and the reason.\n"
    "\n"
    "Recent scenes, the window's place and size and the options are kept in\n"
    "$XDG_CONFIG_HOME/stageworks/matforge.conf (~/.config when XDG_CONFIG_HOME is unset).\n"
    "\n"
    "Errors and confirmations are shown in message boxes; Qt's own problems (no display,\n"
    "no platform plugin) go to standard error. Exit status: 0 when the window is closed,\n"
    "2 when more than one FILE is given.\n";

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
    instalaTraduccionesQt(app);
    // NOTE: Qt has taken its own options out of the arguments by now
    QStringList ficheros = app.arguments().mid(1);
    if (ficheros.size() > 1) {
        fputs("matforge: only one scene file can be opened\n", stderr);
        fputs(AYUDA, stderr);
        return 2;
    }
    Form1 ventana;
    ventana.show();
    if (!ficheros.isEmpty()) ventana.abreEscena(ficheros.first());
    return app.exec();
}
