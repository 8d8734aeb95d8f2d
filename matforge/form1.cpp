/**********************************************************************************************
*
*   form1 - the main window of matforge
*
**********************************************************************************************/
#include "form1.h"

#include "bitmaps.h"
#include "form1_comun.h"
#include "form3.h"
#include "scene_files.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
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

static const int LADO_IMAGEN = 160;

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
    setAcceptDrops(true);
    construyeMenu();
    construyeMarcos();
    resize(640, 440);
    estadoCerrado();
    restauraVentana();
}

Form1::~Form1() = default;

// Frames "XML TEXTURAS" and "XML MATERIALES" with their lists, buttons and image box
void Form1::construyeMarcos()
{
    auto *central = new QWidget(this);
    auto *columnas = new QHBoxLayout(central);

    auto boton = [this](int indice, const char *texto, const char *ayuda) {
        auto *b = new QPushButton(texto);
        b->setObjectName(QString("Command1_%1").arg(indice));
        b->setToolTip(QString::fromUtf8(ayuda));
        command1_[indice] = b;
        return b;
    };

    marcoTexturas_ = new QGroupBox("XML TEXTURAS", central);
    marcoTexturas_->setObjectName("frameTexturas");
    auto *texturas = new QVBoxLayout(marcoTexturas_);
    auto *botonesTexturas = new QHBoxLayout();
    botonesTexturas->addWidget(boton(NUEVA_TEXTURA, "Nueva Textura",
                                     "Añade un BMP del directorio de la escena (o arrastre uno a la ventana)"));
    botonesTexturas->addWidget(boton(BORRAR_TEXTURA, "Borrar Textura",
                                     "Quita la textura seleccionada y sus usos en los materiales (Supr)"));
    texturas->addLayout(botonesTexturas);
    listaTexturas_ = new QListWidget(marcoTexturas_);
    listaTexturas_->setObjectName("List1_1");
    listaTexturas_->setToolTip(QString::fromUtf8("Texturas de la escena, relativas a su directorio (Supr las borra)"));
    listaTexturas_->installEventFilter(this);
    texturas->addWidget(listaTexturas_, 1);
    image1_ = new QLabel(marcoTexturas_);
    image1_->setObjectName("Image1");
    image1_->setFixedSize(LADO_IMAGEN, LADO_IMAGEN);
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setFrameShape(QFrame::StyledPanel);
    image1_->setToolTip(QString::fromUtf8("La textura seleccionada"));
    texturas->addWidget(image1_, 0, Qt::AlignHCenter);

    marcoMateriales_ = new QGroupBox("XML MATERIALES", central);
    marcoMateriales_->setObjectName("frameMateriales");
    auto *materiales = new QVBoxLayout(marcoMateriales_);
    listaMateriales_ = new QListWidget(marcoMateriales_);
    listaMateriales_->setObjectName("List1_0");
    listaMateriales_->setToolTip(QString::fromUtf8("Materiales de la escena (Intro o doble clic: editar; Supr: borrar)"));
    listaMateriales_->installEventFilter(this);
    materiales->addWidget(listaMateriales_, 1);
    auto *botonesMateriales = new QHBoxLayout();
    botonesMateriales->addWidget(boton(NUEVO_MATERIAL, "Nuevo Material", "Crea un material con los valores por defecto"));
    botonesMateriales->addWidget(boton(EDITAR_MATERIAL, "Editar Material",
                                       "Abre el formulario del material seleccionado (Intro o doble clic)"));
    botonesMateriales->addWidget(boton(BORRAR_MATERIAL, "Borrar Material",
                                       "Borra el material seleccionado; \"(default)\" no se puede borrar (Supr)"));
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
    connect(listaMateriales_, &QListWidget::itemDoubleClicked, this, &Form1::editarMaterial);
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
    abierta_ = false;
    historialVacia(historial_);
    actualizaTitulo();
}

// A scene was read into the document: frames shown, lists filled, nothing selected yet
void Form1::estadoAbierto()
{
    abierta_ = true;
    cerrar_->setEnabled(true);
    guardar_->setEnabled(true);
    guardarComo_->setEnabled(true);
    image1_->clear();
    marcoTexturas_->show();
    marcoMateriales_->show();
    rellenaListas();
    historialInicia(historial_, *doc_);
    actualizaTitulo();
}

// Both lists from the document: texture rows and material names, in order
void Form1::rellenaListas()
{
    command1_[EDITAR_MATERIAL]->setEnabled(false);
    command1_[BORRAR_MATERIAL]->setEnabled(false);
    command1_[BORRAR_TEXTURA]->setEnabled(false);
    image1_->clear();
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

// Delete on a list deletes its selected row; Enter on the material list opens the material
bool Form1::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() == QEvent::KeyPress && (objeto == listaMateriales_ || objeto == listaTexturas_)) {
        const int tecla = static_cast<QKeyEvent *>(evento)->key();
        const bool materiales = objeto == listaMateriales_;
        if (tecla == Qt::Key_Delete) {
            QPushButton *borrar = command1_[materiales ? BORRAR_MATERIAL : BORRAR_TEXTURA];
            if (borrar->isEnabled()) borrar->click();
            return true;
        }
        if (materiales && (tecla == Qt::Key_Return || tecla == Qt::Key_Enter)) {
            if (command1_[EDITAR_MATERIAL]->isEnabled()) editarMaterial();
            return true;
        }
    }
    return QMainWindow::eventFilter(objeto, evento);
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
    case ALTA_OK:
        listaMateriales_->addItem(textoNombre(nombre));
        anota("Nuevo Material " + textoNombre(nombre));
        break;
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
    if (fila < 0 || fila >= doc_->editorMaterialCount || form3_) return;
    form3_ = abreForm3(this, *doc_, fila, *dialogos_);
    // NOTE: "Aceptar" has written the record by the time the form says it was accepted
    const QString accion = "Editar Material " + textoNombre(doc_->editorMaterials[fila].name);
    if (form3_) connect(form3_, &QDialog::accepted, this, [this, accion] { anota(accion); });
}

// "Borrar Material": removes the selected material after asking
void Form1::borrarMaterial()
{
    int fila = listaMateriales_->currentRow();
    if (fila < 0 || fila >= doc_->editorMaterialCount) return;
    if (!dialogos_->pregunta(this, QString::fromUtf8("¿Desea realmente eliminar el material seleccionado?"))) return;
    const QString nombre = textoNombre(doc_->editorMaterials[fila].name);
    int borrado = borraMaterial(*doc_, doc_->editorMaterials[fila].name);
    if (borrado >= 0) delete listaMateriales_->takeItem(borrado);
    anota("Borrar Material " + nombre);
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
                                           "Ficheros Graficos BMP (*.bmp)");
    if (ruta.isEmpty()) return;
    std::string nombre;
    switch (nuevaTextura(*doc_, rutaLocal(ruta), &nombre)) {
    case ALTA_OK:
        listaTexturas_->addItem(textoNombre(nombre));
        anota("Nueva Textura " + textoNombre(nombre));
        break;
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
    const QString nombre = textoNombre(doc_->texturas[fila]);
    eliminaTextura(*doc_, fila);
    delete listaTexturas_->takeItem(fila);
    anota("Borrar Textura " + nombre);
    listaTexturas_->setCurrentRow(-1);
    listaTexturas_->clearSelection();
    image1_->clear();
    command1_[BORRAR_TEXTURA]->setEnabled(false);
}
