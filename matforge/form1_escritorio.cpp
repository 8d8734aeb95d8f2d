/**********************************************************************************************
*
*   form1_escritorio - what makes matforge's main window a desktop editor
*
*   The menus with their keys and tool tips ("Archivo" with "Recientes", "Editar" with
*   "Deshacer" and "Rehacer", "Ayuda" with "Acerca de"), the title with the file's name and
*   Qt's modified marker, undo and redo of the lists, the status bar, files dropped on the
*   window, and the window's place and size kept between runs.
*
*   DEPENDENCIES: Qt Widgets, form1, scene_history, scene_files
*
**********************************************************************************************/
#include "form1.h"

#include "form1_comun.h"
#include "scene_files.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#ifndef SW_VERSION
#define SW_VERSION "0.0.0"
#endif

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
static const char *const CLAVE_AVISO = "avisoAlGuardar";

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// A menu entry with its object name, keys and tool tip
static QAction *entrada(QAction *accion, const char *nombre, const QList<QKeySequence> &teclas, const char *ayuda)
{
    accion->setObjectName(nombre);
    accion->setShortcuts(teclas);
    accion->setToolTip(QString::fromUtf8(ayuda));
    accion->setStatusTip(QString::fromUtf8(ayuda));
    return accion;
}

// The local files a drag carries, scene files and bitmaps alike
static QStringList ficherosLocales(const QMimeData *datos)
{
    QStringList rutas;
    if (datos == nullptr || !datos->hasUrls()) return rutas;
    for (const QUrl &url : datos->urls()) {
        if (!url.isLocalFile()) continue;
        const QString ruta = url.toLocalFile();
        const QString extension = QFileInfo(ruta).suffix().toLower();
        if (extension == "xml" || extension == "bmp") rutas << ruta;
    }
    return rutas;
}

//----------------------------------------------------------------------------------
// Menus
//----------------------------------------------------------------------------------
// "&Archivo" with its entries in order ("Recientes" after "Cargar Escena XML"), "&Editar"
// and "A&yuda"
void Form1::construyeMenu()
{
    QMenu *archivo = menuBar()->addMenu("&Archivo");
    archivo->setObjectName("Archivo");
    archivo->setToolTipsVisible(true);
    cargar_ = entrada(archivo->addAction("Cargar Escena XML", this, &Form1::cargar), "cargar", {QKeySequence::Open},
                      "Abre un fichero de escena (Ctrl+O)");
    recientes_ = archivo->addMenu("Recientes");
    recientes_->setObjectName("Recientes");
    recientes_->setToolTipsVisible(true);
    archivo->addSeparator();
    guardar_ = entrada(archivo->addAction("Guardar Escena XML", this, &Form1::guardar), "guardar",
                       {QKeySequence(Qt::CTRL | Qt::Key_S)}, "Guarda las texturas y los materiales en el fichero (Ctrl+S)");
    guardarComo_ = entrada(archivo->addAction("Guardar Escena XML como...", this, &Form1::guardarComo), "guardarcomo",
                           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
                           "Guarda la escena en otro fichero, que pasa a ser el de la escena (Ctrl+Mayús+S)");
    archivo->addSeparator();
    cerrar_ = entrada(archivo->addAction("Cerrar Escena", this, &Form1::cerrar), "cerrar",
                      {QKeySequence(Qt::CTRL | Qt::Key_W)}, "Cierra la escena (Ctrl+W)");
    archivo->addSeparator();
    salir_ = entrada(archivo->addAction("Salir", this, &Form1::salir), "Salir", {QKeySequence(Qt::CTRL | Qt::Key_Q)},
                     "Termina matforge (Ctrl+Q)");

    QMenu *editar = menuBar()->addMenu("&Editar");
    editar->setObjectName("Editar");
    editar->setToolTipsVisible(true);
    deshacer_ = entrada(editar->addAction("Deshacer", this, &Form1::deshacer), "deshacer",
                        {QKeySequence(Qt::CTRL | Qt::Key_Z)}, "Deshace el último cambio de las listas (Ctrl+Z)");
    rehacer_ = entrada(editar->addAction("Rehacer", this, &Form1::rehacer), "rehacer",
                       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
                       "Rehace el cambio deshecho (Ctrl+Mayús+Z o Ctrl+Y)");
    editar->addSeparator();
    avisoGuardado_ = entrada(editar->addAction("Avisar al guardar"), "avisoGuardado", {},
                             "Muestra un aviso después de cada guardado");
    avisoGuardado_->setCheckable(true);
    avisoGuardado_->setChecked(ajustesMatforge().value(CLAVE_AVISO, true).toBool());
    connect(avisoGuardado_, &QAction::toggled, this, [](bool si) { ajustesMatforge().setValue(CLAVE_AVISO, si); });

    QMenu *ayuda = menuBar()->addMenu("A&yuda");
    ayuda->setObjectName("Ayuda");
    ayuda->setToolTipsVisible(true);
    entrada(ayuda->addAction("Acerca de", this, &Form1::acercaDe), "acercade", {}, "La versión de matforge");

    statusBar()->setObjectName("barraEstado");
    rellenaRecientes();
}

// "Acerca de": the program, its version and what it is for
void Form1::acercaDe()
{
    dialogos_->acercaDe(this, QString::fromUtf8("matforge %1\n\nEditor de las texturas y los materiales de las escenas "
                                                "de stageworks (escena.xml).")
                                  .arg(SW_VERSION));
}

//----------------------------------------------------------------------------------
// Title, status bar and window place
//----------------------------------------------------------------------------------
bool Form1::modificado() const
{
    return abierta_ && historialModificado(historial_);
}

// "escena.xml[*] - matforge" with the scene open (Qt shows "*" while modified), the
// editor's caption without one; Deshacer and Rehacer follow the history
void Form1::actualizaTitulo()
{
    if (abierta_) {
        setWindowTitle(textoRuta(doc_->XMLFile) + "[*] - matforge");
    } else {
        setWindowTitle(QString::fromUtf8(TITULO_EDITOR) + " - matforge");
    }
    setWindowModified(modificado());
    const QString atras = textoError(historialAccionDeshacer(historial_));
    const QString adelante = textoError(historialAccionRehacer(historial_));
    deshacer_->setEnabled(abierta_ && !atras.isEmpty());
    rehacer_->setEnabled(abierta_ && !adelante.isEmpty());
    deshacer_->setStatusTip(atras.isEmpty() ? QString() : "Deshacer: " + atras);
    rehacer_->setStatusTip(adelante.isEmpty() ? QString() : "Rehacer: " + adelante);
}

// A line in the status bar that stays until the next one
void Form1::informa(const QString &texto)
{
    statusBar()->showMessage(texto);
}

// The place and size the window had when it was last closed
void Form1::restauraVentana()
{
    const QByteArray geometria = ajustesMatforge().value("geometria").toByteArray();
    if (!geometria.isEmpty()) restoreGeometry(geometria);
}

//----------------------------------------------------------------------------------
// Undo and redo
//----------------------------------------------------------------------------------
// A change of the lists was made in the document: noted for undo, the title follows
void Form1::anota(const QString &accion)
{
    historialAnota(historial_, *doc_, accion.toUtf8().toStdString());
    actualizaTitulo();
}

// "Deshacer" (Ctrl+Z): the lists as they were before the last change
void Form1::deshacer()
{
    const QString accion = textoError(historialAccionDeshacer(historial_));
    if (!abierta_ || form3_ || !historialDeshace(historial_, *doc_)) return;
    rellenaListas();
    actualizaTitulo();
    informa("Deshecho: " + accion);
}

// "Rehacer" (Ctrl+Shift+Z, Ctrl+Y): the change undone last, made again
void Form1::rehacer()
{
    const QString accion = textoError(historialAccionRehacer(historial_));
    if (!abierta_ || form3_ || !historialRehace(historial_, *doc_)) return;
    rellenaListas();
    actualizaTitulo();
    informa("Rehecho: " + accion);
}

//----------------------------------------------------------------------------------
// Dropped files
//----------------------------------------------------------------------------------
// Scene files and bitmaps from the file manager are taken
void Form1::dragEnterEvent(QDragEnterEvent *evento)
{
    if (!ficherosLocales(evento->mimeData()).isEmpty()) evento->acceptProposedAction();
}

// A scene file dropped opens (the first one, after asking about unsaved changes); bitmaps
// are added as textures of the open scene
void Form1::dropEvent(QDropEvent *evento)
{
    const QStringList rutas = ficherosLocales(evento->mimeData());
    if (rutas.isEmpty()) return;
    evento->acceptProposedAction();
    QStringList bitmaps;
    for (const QString &ruta : rutas) {
        if (QFileInfo(ruta).suffix().toLower() == "bmp") bitmaps << ruta;
    }
    if (bitmaps.size() < rutas.size()) {
        for (const QString &ruta : rutas) {
            if (QFileInfo(ruta).suffix().toLower() != "xml") continue;
            abreEscena(ruta);
            return;
        }
    }
    anadeBitmaps(bitmaps);
}

// Bitmaps dropped on the window: those outside the scene's directory are copied into its
// Data/ first; all the new textures are one change to undo
void Form1::anadeBitmaps(const QStringList &rutas)
{
    if (!abierta_) {
        avisa(Dialogos::Exclamacion, "Cargue primero una escena para poder añadirle texturas.");
        return;
    }
    QStringList nuevas;
    for (const QString &ruta : rutas) {
        std::string dentro, nombre, error;
        if (!traeBitmap(*doc_, rutaLocal(QFileInfo(ruta).absoluteFilePath()), dentro, error)) {
            avisa(Dialogos::Critico, textoError(error));
            continue;
        }
        switch (nuevaTextura(*doc_, dentro, &nombre)) {
        case ALTA_OK: nuevas << textoNombre(nombre); break;
        case ALTA_DUPLICADO: informa("Textura ya existente: " + textoNombre(nombre)); break;
        default:
            avisa(Dialogos::Exclamacion, QString::fromUtf8("Nombre de Textura no valido: %1").arg(textoRuta(dentro)));
            break;
        }
    }
    if (nuevas.isEmpty()) return;
    for (const QString &nombre : nuevas) listaTexturas_->addItem(nombre);
    anota((nuevas.size() == 1 ? "Nueva Textura " : "Nuevas Texturas ") + nuevas.join(", "));
    informa(QString::fromUtf8("Añadida: ") + nuevas.join(", "));
}
