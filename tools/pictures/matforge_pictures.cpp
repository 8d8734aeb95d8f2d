/**********************************************************************************************
*
*   matforge_pictures - the README's pictures of matforge, taken from its real windows
*
*   Usage: matforge_pictures --rundata DIR --out DIR
*
*   Starts the private X server with a window manager (openbox, for the title bars) and runs
*   matforge's windows on it (Qt's xcb platform, a real OpenGL context for the preview) on a
*   scratch copy of the demo scene: the main window with the scene loaded, a texture and a
*   material selected and its status bar, the material form of "ladrillo", and its OpenGL
*   preview. The file dialog of "Cargar Escena XML" is answered with the copy's escena.xml;
*   every other dialog is refused. Each picture is the window with its frame as the X server
*   shows it (XGetImage of the root, cropped to the frame), written as a PNG file.
*
*   DEPENDENCIES: Qt Widgets and Test, matforge's windows (form1, form3, oglwin), xdriver, Xlib,
*                 openbox (Debian's package)
*
**********************************************************************************************/
#include "form1.h"
#include "form3.h"
#include "guion_dialogos.h"
#include "matforge_steps.h"
#include "oglwin.h"
#include "xdriver.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// The part of a screenshot that a top-level window covers, its frame included
xdriver::Image crop(const xdriver::Image &screen, QWidget *window)
{
    const QRect frame = window->frameGeometry();
    return cropScreen(screen, frame.x(), frame.y(), frame.width(), frame.height());
}

// True once a window manager has announced itself on the root window
bool windowManagerUp(xdriver::XClient &client)
{
    Atom check = XInternAtom(client.dpy, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char *data = nullptr;
    bool up = XGetWindowProperty(client.dpy, DefaultRootWindow(client.dpy), check, 0, 1, False, XA_WINDOW, &type,
                                 &format, &items, &after, &data) == Success &&
              items == 1;
    if (data) XFree(data);
    return up;
}

// Brings a window to the front, lets it draw, and writes it as the X server shows it
bool grab(xdriver::XClient &client, QWidget *window, const std::string &file)
{
    window->raise();
    window->activateWindow();
    // NOTE: Qt knows the frame once the window manager has told its size
    check(QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }, 3000), "a window has no frame");
    // a window placed before its frame was known may have its title bar above the screen
    const QPoint inside(std::max(window->frameGeometry().x(), 0), std::max(window->frameGeometry().y(), 0));
    if (inside != window->frameGeometry().topLeft()) {
        window->move(inside);
        check(QTest::qWaitFor([&] { return window->frameGeometry().topLeft() == inside; }, 3000), "a window did not move");
    }
    QTest::qWait(600);
    client.sync();
    xdriver::Image part = crop(client.screenshot(), window);
    if (!check(!part.empty() && xdriver::writePng(part, file), "a window could not be written")) return false;
    printf("%s\n", file.c_str());
    return true;
}

// Drags on a widget with the first button through XTest, from its centre by (dx, dy)
void drag(xdriver::XClient &client, QWidget *widget, int dx, int dy)
{
    QPoint start = widget->mapToGlobal(QPoint(widget->width() / 2, widget->height() / 2));
    client.moveMouse(start.x(), start.y());
    client.sync();
    QTest::qWait(50);
    client.button(1, true);
    client.sync();
    QTest::qWait(50);
    const int steps = 8;
    for (int i = 1; i <= steps; i++) {
        client.moveMouse(start.x() + dx * i / steps, start.y() + dy * i / steps);
        client.sync();
        QTest::qWait(30);
    }
    client.button(1, false);
    client.sync();
    QTest::qWait(50);
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int main(int argc, char **argv)
{
    PictureArgs args;
    if (!readPictureArgs(argc, argv, false, "matforge_pictures --rundata DIR --out DIR", args)) return 2;
    const std::string &rundata = args.rundata, &out = args.out;

    xdriver::XServer server;
    xdriver::XClient client;
    std::string scratch;
    if (!startPictureRun(false, rundata, "matforge-pictures", server, client, scratch)) return 1;
    useXcbOn(server.display, scratch);
    xdriver::ChildProcess openbox;
    check(openbox.spawn({"/usr/bin/openbox", "--sm-disable"}, scratch, server.display), "openbox did not start");
    check(xdriver::waitUntil([&] { openbox.pump(0); return windowManagerUp(client); }, 20000),
          "openbox did not manage the screen" + openbox.err);

    long started = xdriver::nowMs();
    int written = 0;
    {
        int qtArgc = 1;
        char *qtArgv[] = {argv[0], nullptr};
        QApplication app(qtArgc, qtArgv);
        GuionDialogos dialogos(QString::fromStdString(scratch + "/escena.xml"));

        // The main window with the demo scene, the brick texture and material selected: its
        // title names the file, its status bar says what was loaded
        Form1 ventana(&dialogos);
        showWithScene(ventana, 0);
        check(ventana.windowHandle()->title() == "escena.xml - matforge", "the title does not name the scene");
        check(ventana.statusBar()->currentMessage().startsWith("Cargada escena.xml"), "the status bar says nothing");
        check(selectRow(ventana.findChild<QListWidget *>("List1_1"), "Data/ladrillo.bmp"), "no texture Data/ladrillo.bmp");
        check(selectRow(ventana.findChild<QListWidget *>("List1_0"), "ladrillo"), "no material ladrillo");
        written += grab(client, &ventana, out + "/matforge-main.png");

        // "Editar Material": the material form
        QPushButton *editar = ventana.findChild<QPushButton *>("Command1_1");
        if (check(editar != nullptr && editar->isEnabled(), "\"Editar Material\" is not enabled")) editar->click();
        auto *form = qobject_cast<Form3 *>(ventana.formMaterial());
        if (check(form != nullptr, "the material form did not open")) {
            form->move(0, 0);
            check(QTest::qWaitForWindowExposed(form), "the material form did not show");
            written += grab(client, form, out + "/matforge-material.png");

            // "OpenGL": the preview beside the form, the sphere turned a little by a drag
            QPushButton *opengl = form->findChild<QPushButton *>("Command5");
            if (check(opengl != nullptr, "no \"OpenGL\" button")) opengl->click();
            OGLWin *preview = form->preview();
            if (check(preview != nullptr, "the preview did not open")) {
                preview->move(std::min(form->width() + 10, 1024 - preview->width()), 0);
                check(QTest::qWaitForWindowExposed(preview), "the preview did not show");
                check(QTest::qWaitFor([&] { return preview->glView1()->isValid(); }, 5000), "the preview has no GL context");
                drag(client, preview->glView1(), 30, 70);
                check(preview->glView1()->pitch() != 0.0, "the drag did not turn the sphere");
                written += grab(client, preview, out + "/matforge-preview.png");
            }
            form->close();
        }
        ventana.close();
        QTest::qWait(50);
    }
    openbox.kill();
    xdriver::removeTree(scratch);
    client.close();
    server.stop();
    fprintf(stderr, "pictures: %d matforge pictures in %.1f s, %d failed steps\n", written,
            (xdriver::nowMs() - started) / 1000.0, pictureFailures);
    return pictureFailures == 0 ? 0 : 1;
}
