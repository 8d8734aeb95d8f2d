/**********************************************************************************************
*
*   form1 - the main window of matforge
*
**********************************************************************************************/
#include "form1.h"

#include "bitmaps.h"
#include "form3.h"
#include "scene_conflict.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
enum BotonComando {
    NUEVO_MATERIAL = 0,
    EDITAR_MATERIAL = 1,
    BORRAR_MATERIAL = 2,
    BORRAR_TEXTURA = 3,
    NUEVA_TEXTURA = 5
};

static const char *const FILTRO_XML = "Ficheros XML (*.xml)";
static const char *const FILTRO_BMP = "Ficheros Graficos BMP (*.bmp)";
static const int LADO_IMAGEN = 160;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// A path of the file system as bytes, cleaned of "." and ".." parts and double separators
static std::string rutaLocal(const QString &ruta)
{
    return QFile::encodeName(QDir::cleanPath(ruta)).toStdString();
}

// A path of the file system as text
static QString textoRuta(const std::string &ruta)
{
    return QFile::decodeName(QByteArray::fromStdString(ruta));
}

// Names in the scene file are ISO-8859-1, the file's declared encoding
static QString textoNombre(const std::string &nombre)
{
    return QString::fromLatin1(nombre.data(), (qsizetype)nombre.size());
}

// Messages of the scene library are UTF-8
static QString textoError(const std::string &error)
{
    return QString::fromUtf8(error.data(), (qsizetype)error.size());
}

//----------------------------------------------------------------------------------
// Construction
//----------------------------------------------------------------------------------
// Builds the menu and the two frames and starts with no scene
Form1::Form1(Dialogos *dialogos, QWidget *parent)
    : QMainWindow(parent), doc_(std::make_unique<SceneDocument>())
{
    if (dialogos == nullptr) {
        dialogosPropios_ = std::make_unique<DialogosQt>();
        dialogos = dialogosPropios_.get();
    }
    dialogos_ = dialogos;

    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(TITULO_EDITOR));
    construyeMenu();
    construyeMarcos();
    resize(640, 440);
    estadoCerrado();
}

Form1::~Form1() = default;

// Menu "&Archivo" with its entries in order
void Form1::construyeMenu()
{
    QMenu *archivo = menuBar()->addMenu("&Archivo");
    archivo->setObjectName("Archivo");
    cargar_ = archivo->addAction("Cargar Escena XML", this, &Form1::cargar);
    cargar_->setObjectName("cargar");
    archivo->addSeparator();
    guardar_ = archivo->addAction("Guardar Escena XML", this, &Form1::guardar);
    guardar_->setObjectName("guardar");
    guardarComo_ = archivo->addAction("Guardar Escena XML como...", this, &Form1::guardarComo);
    guardarComo_->setObjectName("guardarcomo");
    archivo->addSeparator();
    cerrar_ = archivo->addAction("Cerrar Escena", this, &Form1::cerrar);
    cerrar_->setObjectName("cerrar");
    archivo->addSeparator();
    salir_ = archivo->addAction("Salir", this, &Form1::salir);
    salir_->setObjectName("Salir");
}

// Frames "XML TEXTURAS" and "XML MATERIALES" with their lists, buttons and image box
void Form1::construyeMarcos()
{
    auto *central = new QWidget(this);
    auto *columnas = new QHBoxLayout(central);

    auto boton = [this](int indice, const char *texto) {
        auto *b = new QPushButton(texto);
        b->setObjectName(QString("Command1_%1").arg(indice));
        command1_[indice] = b;
        return b;
    };

    marcoTexturas_ = new QGroupBox("XML TEXTURAS", central);
    marcoTexturas_->setObjectName("frameTexturas");
    auto *texturas = new QVBoxLayout(marcoTexturas_);
    auto *botonesTexturas = new QHBoxLayout();
    botonesTexturas->addWidget(boton(NUEVA_TEXTURA, "Nueva Textura"));
    botonesTexturas->addWidget(boton(BORRAR_TEXTURA, "Borrar Textura"));
    texturas->addLayout(botonesTexturas);
    listaTexturas_ = new QListWidget(marcoTexturas_);
    listaTexturas_->setObjectName("List1_1");
    texturas->addWidget(listaTexturas_, 1);
    image1_ = new QLabel(marcoTexturas_);
    image1_->setObjectName("Image1");
    image1_->setFixedSize(LADO_IMAGEN, LADO_IMAGEN);
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setFrameShape(QFrame::StyledPanel);
    texturas->addWidget(image1_, 0, Qt::AlignHCenter);

    marcoMateriales_ = new QGroupBox("XML MATERIALES", central);
    marcoMateriales_->setObjectName("frameMateriales");
    auto *materiales = new QVBoxLayout(marcoMateriales_);
    listaMateriales_ = new QListWidget(marcoMateriales_);
    listaMateriales_->setObjectName("List1_0");
    materiales->addWidget(listaMateriales_, 1);
    auto *botonesMateriales = new QHBoxLayout();
    botonesMateriales->addWidget(boton(NUEVO_MATERIAL, "Nuevo Material"));
    botonesMateriales->addWidget(boton(EDITAR_MATERIAL, "Editar Material"));
    botonesMateriales->addWidget(boton(BORRAR_MATERIAL, "Borrar Material"));
    materiales->addLayout(botonesMateriales);

    columnas->addWidget(marcoTexturas_);
    columnas->addWidget(marcoMateriales_);
    setCentralWidget(central);

    connect(command1_[NUEVA_TEXTURA], &QPushButton::clicked, this, &Form1::nuevaTexturaPulsada);
    connect(command1_[BORRAR_TEXTURA], &QPushButton::clicked, this, &Form1::borrarTextura);
    connect(command1_[NUEVO_MATERIAL], &QPushButton::clicked, this, &Form1::nuevoMaterialPulsado);
    connect(command1_[EDITAR_MATERIAL], &QPushButton::clicked, this, &Form1::editarMaterial);
    connect(command1_[BORRAR_MATERIAL], &QPushButton::clicked, this, &Form1::borrarMaterial);
    connect(listaMateriales_, &QListWidget::currentRowChanged, this, &Form1::materialSeleccionado);
    connect(listaTexturas_, &QListWidget::currentRowChanged, this, &Form1::texturaSeleccionada);
}

//----------------------------------------------------------------------------------
// Window state
//----------------------------------------------------------------------------------
// No scene: frames hidden, every command that needs one disabled (also the start-up state)
void Form1::estadoCerrado()
{
    marcoTexturas_->hide();
    marcoMateriales_->hide();
    command1_[EDITAR_MATERIAL]->setEnabled(false);
    command1_[BORRAR_MATERIAL]->setEnabled(false);
    command1_[BORRAR_TEXTURA]->setEnabled(false);
    cerrar_->setEnabled(false);
    guardar_->setEnabled(false);
    guardarComo_->setEnabled(false);
}

// Both lists from the document: texture rows and material names, in order
void Form1::rellenaListas()
{
    listaTexturas_->clear();
    listaMateriales_->clear();
    for (const std::string &fila : doc_->texturas) listaTexturas_->addItem(textoNombre(fila));
    for (int i = 0; i < doc_->editorMaterialCount; i++) listaMateriales_->addItem(textoNombre(doc_->editorMaterials[i].name));
}

// Shows the bitmap of texture row `fila`; a bitmap that cannot be read leaves the box empty
void Form1::muestraImagen(int fila)
{
    image1_->clear();
    if (fila < 0 || fila >= (int)doc_->texturas.size()) return;
    muestraEnCaja(image1_, leeBitmap(*doc_, doc_->texturas[fila]));
}

// Message box through the dialogs of the window
void Form1::avisa(Dialogos::Icono icono, const QString &texto)
{
    dialogos_->mensaje(this, icono, texto);
}

//----------------------------------------------------------------------------------
// Menu "Archivo"
//----------------------------------------------------------------------------------
// "Cargar Escena XML": asks for a scene file and reads it
void Form1::cargar()
{
    QString ruta = dialogos_->abrirFichero(this, "Carga Escena desde Fichero XML (.xml)", textoRuta(doc_->XMLPath),
                                           FILTRO_XML);
    if (ruta.isEmpty()) return;
    cargaRuta(rutaLocal(ruta));
}

// Reads the scene file at a path and shows it; a refused file leaves the open scene as it was
void Form1::cargaRuta(const std::string &ruta)
{
    // NOTE: read into a fresh document so that a refused file leaves the open scene as it was
    auto nuevo = std::make_unique<SceneDocument>();
    std::string error;
    if (!cargaEscena(*nuevo, ruta, error)) {
        avisa(Dialogos::Critico, textoError(error));
        return;
    }
    anotaSecciones(*nuevo);
    *doc_ = std::move(*nuevo);

    cerrar_->setEnabled(true);
    guardar_->setEnabled(true);
    guardarComo_->setEnabled(true);
    image1_->clear();
    marcoTexturas_->show();
    marcoMateriales_->show();
    rellenaListas();
    command1_[EDITAR_MATERIAL]->setEnabled(false);
    command1_[BORRAR_MATERIAL]->setEnabled(false);
    command1_[BORRAR_TEXTURA]->setEnabled(false);
}

// "Guardar Escena XML": writes over the loaded file. Texture or material sections changed on
// disk since the load (another matforge, a hand edit) are not written over without asking
void Form1::guardar()
{
    std::string error;
    const int cambiadas = seccionesCambiadas(*doc_, error);
    if (cambiadas < 0) {
        avisa(Dialogos::Critico, "No se ha podido guardar el XML; el fichero no se ha modificado.\n" + textoError(error));
        return;
    }
    if (cambiadas == 1) {
        const int opcion = dialogos_->eligeOpcion(
            this,
            "Las texturas o los materiales de " + QString::fromStdString(doc_->XMLFile) +
                " han cambiado en el disco desde que se cargo la escena.\n"
                "Recargar: lee la escena del disco y se pierden los cambios hechos aqui.\n"
                "Sobrescribir: guarda los de matforge en su lugar.",
            {"Recargar", "Sobrescribir", "Cancelar"});
        if (opcion == 0) cargaRuta(uneRuta(doc_->XMLPath, doc_->XMLFile));
        if (opcion != 1) return;
    }
    doc_->XMLPathDestino = doc_->XMLPath;
    doc_->XMLFileDestino = doc_->XMLFile;
    if (!guardaXML(*doc_, error)) {
        avisa(Dialogos::Critico, "No se ha podido guardar el XML; el fichero no se ha modificado.\n" + textoError(error));
        return;
    }
    anotaSecciones(*doc_);
    avisa(Dialogos::Informacion, "XML actualizado correctamente.");
}

// "Guardar Escena XML como...": writes another file; the loaded file stays the source
void Form1::guardarComo()
{
    QString ruta = dialogos_->guardarFichero(this, "Guarda Escena a Fichero XML (.xml)", textoRuta(doc_->XMLPath),
                                             FILTRO_XML);
    if (ruta.isEmpty()) return;
    divideRuta(rutaLocal(ruta), doc_->XMLPathDestino, doc_->XMLFileDestino);
    std::string error;
    if (!guardaXML(*doc_, error)) {
        avisa(Dialogos::Critico, "No se ha podido guardar el XML; el fichero no se ha modificado.\n" + textoError(error));
        return;
    }
    avisa(Dialogos::Informacion, "XML guardado correctamente.");
}

// "Cerrar Escena"
void Form1::cerrar()
{
    estadoCerrado();
}

// "Salir": ends at once, without asking and without saving
void Form1::salir()
{
    close();
    QApplication::quit();
}

//----------------------------------------------------------------------------------
// Materials
//----------------------------------------------------------------------------------
// A material row: edit enabled, delete too unless it is "(default)"
void Form1::materialSeleccionado(int fila)
{
    bool hay = fila >= 0 && fila < doc_->editorMaterialCount;
    command1_[EDITAR_MATERIAL]->setEnabled(hay);
    command1_[BORRAR_MATERIAL]->setEnabled(hay && doc_->editorMaterials[fila].name != DEFAULT_MATERIAL);
}

// "Nuevo Material": asks for the name and adds the material with the defaults
void Form1::nuevoMaterialPulsado()
{
    QString texto = QString::fromUtf8("No se pueden crear más materiales: la tabla admite %1.").arg(EDITOR_MATERIALS);
    if (doc_->editorMaterialCount >= EDITOR_MATERIALS) {
        avisa(Dialogos::Exclamacion, texto);
        return;
    }
    QString respuesta;
    if (!dialogos_->entrada(this, "Nuevo Material", "Introduzca el nombre del nuevo material:", respuesta)) return;
    std::string nombre = respuesta.toUtf8().toStdString();
    switch (nuevoMaterial(*doc_, nombre)) {
    case ALTA_OK: listaMateriales_->addItem(textoNombre(nombre)); break;
    case ALTA_DUPLICADO: avisa(Dialogos::Exclamacion, "Nombre de Material ya existente."); break;
    case ALTA_NO_VALIDO:
        avisa(Dialogos::Exclamacion,
              QString::fromUtf8("Nombre de Material no valido. Debe tener entre 1 y %1 caracteres ASCII, sin "
                                "espacios, comillas dobles, <, > ni &.")
                  .arg(MAX_NAME_LENGTH));
        break;
    case ALTA_TABLA_LLENA: avisa(Dialogos::Exclamacion, texto); break;
    default: break;
    }
}

// "Editar Material": opens the material form on the selected material
void Form1::editarMaterial()
{
    int fila = listaMateriales_->currentRow();
    if (fila < 0 || fila >= doc_->editorMaterialCount) return;
    form3_ = abreForm3(this, *doc_, fila, *dialogos_);
}

// "Borrar Material": removes the selected material after asking
void Form1::borrarMaterial()
{
    int fila = listaMateriales_->currentRow();
    if (fila < 0 || fila >= doc_->editorMaterialCount) return;
    if (!dialogos_->pregunta(this, QString::fromUtf8("¿Desea realmente eliminar el material seleccionado?"))) return;
    int borrado = borraMaterial(*doc_, doc_->editorMaterials[fila].name);
    if (borrado >= 0) delete listaMateriales_->takeItem(borrado);
    listaMateriales_->setCurrentRow(-1);
    listaMateriales_->clearSelection();
    command1_[EDITAR_MATERIAL]->setEnabled(false);
    command1_[BORRAR_MATERIAL]->setEnabled(false);
}

//----------------------------------------------------------------------------------
// Textures
//----------------------------------------------------------------------------------
// A texture row: delete enabled and its bitmap shown
void Form1::texturaSeleccionada(int fila)
{
    command1_[BORRAR_TEXTURA]->setEnabled(fila >= 0);
    muestraImagen(fila);
}

// "Nueva Textura": asks for a bitmap under the scene's directory and adds its name
void Form1::nuevaTexturaPulsada()
{
    QString ruta = dialogos_->abrirFichero(this, "Carga Textura Desde Fichero BMP (.bmp)", textoRuta(doc_->XMLPath),
                                           FILTRO_BMP);
    if (ruta.isEmpty()) return;
    std::string nombre;
    switch (nuevaTextura(*doc_, rutaLocal(ruta), &nombre)) {
    case ALTA_OK: listaTexturas_->addItem(textoNombre(nombre)); break;
    case ALTA_FUERA_DIRECTORIO:
        avisa(Dialogos::Exclamacion, QString::fromUtf8("Directorio no valido. La raíz del BMP seleccionado debe ser la "
                                                       "misma que la del XML."));
        break;
    case ALTA_DUPLICADO: avisa(Dialogos::Exclamacion, "Textura ya existente."); break;
    case ALTA_NO_VALIDO:
        avisa(Dialogos::Exclamacion,
              QString::fromUtf8("Nombre de Textura no valido: la ruta del BMP dentro del directorio del XML debe tener "
                                "entre 1 y %1 caracteres ASCII, sin espacios, comillas dobles, <, > ni &.")
                  .arg(MAX_NAME_LENGTH));
        break;
    default: break;
    }
}

// "Borrar Textura": removes the selected texture and its links after asking
void Form1::borrarTextura()
{
    int fila = listaTexturas_->currentRow();
    if (fila < 0 || fila >= (int)doc_->texturas.size()) return;
    QString texto = QString::fromUtf8("¿Desea realmente eliminar la textura seleccionada?.\nSe borrarán los enlaces a "
                                      "esta textura en todos los materiales que la utilicen.");
    if (!dialogos_->pregunta(this, texto)) return;
    eliminaTextura(*doc_, fila);
    delete listaTexturas_->takeItem(fila);
    listaTexturas_->setCurrentRow(-1);
    listaTexturas_->clearSelection();
    image1_->clear();
    command1_[BORRAR_TEXTURA]->setEnabled(false);
}
