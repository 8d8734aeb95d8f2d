/**********************************************************************************************
*
*   form3 - "Editar Material", the material form opened by "Editar Material"
*
**********************************************************************************************/
#include "form3.h"

#include "bitmaps.h"
#include "oglwin.h"

#include <QCheckBox>
#include <QColor>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
static const char *const TITULO_LUZ[3] = {"Propiedades Luz Difusa", "Propiedades Luz Especular",
                                          "Propiedades Luz Emisora"};
static const char *const NOMBRE_COMPONENTE[3] = {"R", "G", "B"};
static const int LADO_FRAME = 96;      // frame and animation images
static const int LADO_MUESTRA = 40;    // colour swatches
static const int INTERVALO_ACOPLE = 1; // Timer2, milliseconds

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// A horizontal slider named as its control, with its range
static QSlider *sliderNombrado(QWidget *padre, const QString &nombre, int minimo, int maximo)
{
    auto *slider = new QSlider(Qt::Horizontal, padre);
    slider->setObjectName(nombre);
    slider->setRange(minimo, maximo);
    slider->setMinimumWidth(120);
    return slider;
}

// One row of a grid: caption, slider and a label that follows the slider's value
static void filaSlider(QGridLayout *rejilla, int fila, const QString &titulo, QSlider *slider)
{
    auto *valor = new QLabel(QString::number(slider->value()));
    valor->setObjectName(slider->objectName() + "_valor");
    valor->setMinimumWidth(28);
    QObject::connect(slider, &QSlider::valueChanged, valor, [valor](int v) { valor->setText(QString::number(v)); });
    rejilla->addWidget(new QLabel(titulo), fila, 0);
    rejilla->addWidget(slider, fila, 1);
    rejilla->addWidget(valor, fila, 2);
}

// An image box of the texture frame
static QLabel *cajaImagen(QWidget *padre, const QString &nombre)
{
    auto *caja = new QLabel(padre);
    caja->setObjectName(nombre);
    caja->setFixedSize(LADO_FRAME, LADO_FRAME);
    caja->setAlignment(Qt::AlignCenter);
    caja->setFrameShape(QFrame::StyledPanel);
    return caja;
}

// Texture names are held as the file's ISO-8859-1 bytes
static QString textoNombre(const std::string &nombre)
{
    return QString::fromLatin1(nombre.data(), (qsizetype)nombre.size());
}

//----------------------------------------------------------------------------------
// Construction
//----------------------------------------------------------------------------------
// Builds the controls, fills them from the record and starts the two timers
Form3::Form3(SceneDocument &doc, int matSel, Dialogos &dialogos, QWidget *padre)
    : QDialog(padre), doc_(doc), matSel_(matSel), dialogos_(dialogos)
{
    setObjectName("Form3");
    setWindowTitle("Editar Material");

    timer1_ = new QTimer(this);
    timer1_->setObjectName("Timer1");
    timer2_ = new QTimer(this);
    timer2_->setObjectName("Timer2");
    timer2_->setInterval(INTERVALO_ACOPLE);

    const EditorMaterial &material = doc_.editorMaterials[matSel_];
    label1_ = new QLabel("Material Name : " + textoNombre(material.name), this);
    label1_->setObjectName("Label1");

    auto *luces = new QVBoxLayout();
    construyeLuces(luces);
    auto *otras = new QVBoxLayout();
    construyeOtras(otras);
    auto *texturas = new QVBoxLayout();
    construyeTexturas(texturas);

    command3_ = new QPushButton("Aceptar", this);
    command3_->setObjectName("Command3");
    command3_->setDefault(true);
    command4_ = new QPushButton("Cancelar", this);
    command4_->setObjectName("Command4");

    auto *columnas = new QHBoxLayout();
    columnas->addLayout(luces);
    columnas->addLayout(otras);
    columnas->addLayout(texturas);
    auto *botones = new QHBoxLayout();
    botones->addStretch(1);
    botones->addWidget(command3_);
    botones->addWidget(command4_);
    auto *todo = new QVBoxLayout(this);
    todo->addWidget(label1_);
    todo->addLayout(columnas, 1);
    todo->addLayout(botones);

    connect(command3_, &QPushButton::clicked, this, &Form3::aceptar);
    connect(command4_, &QPushButton::clicked, this, &QDialog::reject);
    connect(timer1_, &QTimer::timeout, this, &Form3::pasoAnimacion);
    connect(timer2_, &QTimer::timeout, this, &Form3::acoplaKs);

    preparaTeclado();

    // Opening: the controls from the record, the frame buttons for position 0, one step
    muestraValores(valoresDeMaterial(material));
    pasoAnimacion();
    timer2_->start();
}

// The preview, the timers and the controls go with the form
Form3::~Form3() = default;

// The three light frames: swatch, R, G, B labels and alpha slider
void Form3::construyeLuces(QVBoxLayout *columna)
{
    for (int luz = 0; luz < 3; luz++) {
        auto *marco = new QGroupBox(TITULO_LUZ[luz], this);
        marco->setObjectName(QString("Frame%1").arg(luz));
        auto *rejilla = new QGridLayout(marco);

        picture1_[luz] = new QFrame(marco);
        picture1_[luz]->setObjectName(QString("Picture1_%1").arg(luz));
        picture1_[luz]->setFixedSize(LADO_MUESTRA, LADO_MUESTRA);
        picture1_[luz]->setFrameShape(QFrame::Box);
        picture1_[luz]->setAutoFillBackground(true);
        picture1_[luz]->setCursor(Qt::PointingHandCursor);
        picture1_[luz]->installEventFilter(this);
        rejilla->addWidget(picture1_[luz], 0, 0, 3, 1);

        for (int c = 0; c < 3; c++) {
            // NOTE: components are numbered as R, G, B, A of the three colours, 0 to 11
            valorColor_[luz][c] = new QLabel("0", marco);
            valorColor_[luz][c]->setObjectName(QString("Label2_%1").arg(luz * 4 + c));
            valorColor_[luz][c]->setMinimumWidth(28);
            rejilla->addWidget(new QLabel(QString(NOMBRE_COMPONENTE[c]) + " :", marco), c, 1);
            rejilla->addWidget(valorColor_[luz][c], c, 2);
        }
        alfa_[luz] = sliderNombrado(marco, QString("Slider1_%1").arg(luz * 4 + 3), 0, COEFICIENTE_MAX);
        auto *fila = new QGridLayout();
        filaSlider(fila, 0, "A :", alfa_[luz]);
        rejilla->addLayout(fila, 3, 0, 1, 3);
        columna->addWidget(marco);
    }
    columna->addStretch(1);
}

// "Otras Propiedades": Ka, Kd, Ks, Shine and Blend
void Form3::construyeOtras(QVBoxLayout *columna)
{
    auto *marco = new QGroupBox("Otras Propiedades", this);
    marco->setObjectName("FrameOtras");
    auto *rejilla = new QGridLayout(marco);
    ka_ = sliderNombrado(marco, "Slider1_12", 0, COEFICIENTE_MAX);
    kd_ = sliderNombrado(marco, "Slider1_13", 0, COEFICIENTE_MAX);
    ks_ = sliderNombrado(marco, "Slider1_14", 0, COEFICIENTE_MAX);
    blend_ = sliderNombrado(marco, "Slider1_15", 0, COEFICIENTE_MAX);
    shine_ = sliderNombrado(marco, "Slider1_16", 0, SHINE_MAX);
    filaSlider(rejilla, 0, "Ka", ka_);
    filaSlider(rejilla, 1, "Kd", kd_);
    filaSlider(rejilla, 2, "Ks", ks_);
    filaSlider(rejilla, 3, "Shine", shine_);
    filaSlider(rejilla, 4, "Blend", blend_);
    connect(kd_, &QSlider::valueChanged, this, &Form3::acoplaKs);
    columna->addWidget(marco);
    columna->addStretch(1);
}

// "Texturas": the box, the frames with their buttons, the interval, the scales, the result
void Form3::construyeTexturas(QVBoxLayout *columna)
{
    auto *marco = new QGroupBox("Texturas", this);
    marco->setObjectName("FrameTexturas");
    auto *caja = new QVBoxLayout(marco);

    check1_ = new QCheckBox("Material Texturado", marco);
    check1_->setObjectName("Check1");
    caja->addWidget(check1_);

    auto *cuenta = new QHBoxLayout();
    cuenta->addWidget(new QLabel(QString::fromUtf8("Número de Frames de Textura :"), marco));
    numeroFrames_ = new QLabel("0", marco);
    numeroFrames_->setObjectName("LabelNumeroFrames");
    cuenta->addWidget(numeroFrames_);
    cuenta->addStretch(1);
    caja->addLayout(cuenta);

    image1_[0] = cajaImagen(marco, "Image1_0");
    command1_[0] = new QPushButton("<", marco);
    command1_[0]->setObjectName("Command1_0");
    command1_[1] = new QPushButton(">", marco);
    command1_[1]->setObjectName("Command1_1");
    posicionFrame_ = new QLabel("0", marco);
    posicionFrame_->setObjectName("LabelPosicion");
    posicionFrame_->setAlignment(Qt::AlignCenter);
    auto *navegacion = new QHBoxLayout();
    navegacion->addWidget(command1_[0]);
    navegacion->addWidget(posicionFrame_, 1);
    navegacion->addWidget(command1_[1]);
    auto *frame = new QVBoxLayout();
    frame->addWidget(image1_[0], 0, Qt::AlignHCenter);
    frame->addLayout(navegacion);

    command2_[0] = new QPushButton("Insertar Frame", marco);
    command2_[0]->setObjectName("Command2_0");
    command2_[1] = new QPushButton("Borrar Frame", marco);
    command2_[1]->setObjectName("Command2_1");
    auto *edicion = new QVBoxLayout();
    edicion->addWidget(command2_[0]);
    edicion->addWidget(command2_[1]);
    edicion->addStretch(1);
    auto *frames = new QHBoxLayout();
    frames->addLayout(frame);
    frames->addLayout(edicion);
    caja->addLayout(frames);

    caja->addWidget(new QLabel("Intervalo entre Frames (ms)", marco));
    text1_ = new QLineEdit(marco);
    text1_->setObjectName("Text1");
    text1_->setValidator(new QRegularExpressionValidator(QRegularExpression("-?[0-9]{0,10}"), text1_));
    caja->addWidget(text1_);

    auto *escalas = new QGridLayout();
    slider2_[0] = sliderNombrado(marco, "Slider2_0", ESCALA_MIN, ESCALA_MAX);
    slider2_[1] = sliderNombrado(marco, "Slider2_1", ESCALA_MIN, ESCALA_MAX);
    filaSlider(escalas, 0, "Scale X ( 10 : 1.0 )", slider2_[0]);
    filaSlider(escalas, 1, "Scale Y ( 10 : 1.0 )", slider2_[1]);
    caja->addLayout(escalas);

    image1_[1] = cajaImagen(marco, "Image1_1");
    command5_ = new QPushButton("OpenGL", marco);
    command5_->setObjectName("Command5");
    auto *resultado = new QHBoxLayout();
    resultado->addWidget(new QLabel("Resultado Final", marco));
    resultado->addWidget(image1_[1]);
    resultado->addWidget(command5_, 0, Qt::AlignBottom);
    caja->addLayout(resultado);
    columna->addWidget(marco);
    columna->addStretch(1);

    connect(command1_[0], &QPushButton::clicked, this, &Form3::anterior);
    connect(command1_[1], &QPushButton::clicked, this, &Form3::siguiente);
    connect(command2_[0], &QPushButton::clicked, this, &Form3::insertarFrame);
    connect(command2_[1], &QPushButton::clicked, this, &Form3::borrarFrame);
    connect(text1_, &QLineEdit::textChanged, this, &Form3::intervaloCambiado);
    connect(command5_, &QPushButton::clicked, this, &Form3::abrePreview);
}

//----------------------------------------------------------------------------------
// Values of the controls
//----------------------------------------------------------------------------------
// Puts a set of values into the controls and the working frames at position 0
void Form3::muestraValores(const ValoresForm &valores)
{
    ka_->setValue(valores.ka);
    kd_->setValue(valores.kd);
    ks_->setValue(valores.ks);
    blend_->setValue(valores.blend);
    shine_->setValue(valores.shine);
    for (int luz = 0; luz < 3; luz++) {
        ponColor(luz, valores.color[luz]);
        alfa_[luz]->setValue(valores.alfa[luz]);
    }
    acoplaKs();

    frames_ = valores.frames;
    text1_->setText(QString::fromStdString(valores.intervalo));
    intervaloCambiado(text1_->text());
    slider2_[0]->setValue(valores.scaleX);
    slider2_[1]->setValue(valores.scaleY);
    check1_->setChecked(valores.texturado);
    posicion_ = 0;
    muestraFrame_ = -1;   // the opening step shows frame 0
    actualizaFrames();
}

// The controls as plain values
ValoresForm Form3::valores() const
{
    ValoresForm valores;
    valores.ka = ka_->value();
    valores.kd = kd_->value();
    valores.ks = ks_->value();
    valores.blend = blend_->value();
    valores.shine = shine_->value();
    valores.color = color_;
    for (int luz = 0; luz < 3; luz++) valores.alfa[luz] = alfa_[luz]->value();
    valores.texturado = check1_->isChecked();
    valores.intervalo = text1_->text().toStdString();
    valores.scaleX = slider2_[0]->value();
    valores.scaleY = slider2_[1]->value();
    valores.frames = frames_;
    return valores;
}

// The animation's frame while it is one of the working frames
int Form3::muestraFrame() const
{
    return muestraFrame_ >= 0 && muestraFrame_ < (int)frames_.size() ? muestraFrame_ : -1;
}

// A light colour into its labels and its swatch
void Form3::ponColor(int luz, const std::array<int, 3> &rgb)
{
    color_[luz] = rgb;
    for (int c = 0; c < 3; c++) valorColor_[luz][c]->setText(QString::number(rgb[c]));
    QPalette paleta = picture1_[luz]->palette();
    paleta.setColor(QPalette::Window, QColor(rgb[0], rgb[1], rgb[2]));
    picture1_[luz]->setPalette(paleta);
}

// A click on a swatch: the colour dialog with the swatch's colour; a cancelled dialog
// changes nothing
void Form3::eligeColor(int luz)
{
    QColor inicial(color_[luz][0], color_[luz][1], color_[luz][2]);
    QColor elegido;
    if (!dialogos_.eligeColor(this, inicial, elegido) || !elegido.isValid()) return;
    std::array<int, 3> rgb{};
    uint32_t color = colorDesdeRGB({elegido.red(), elegido.green(), elegido.blue()});
    separaColor(color, rgb);
    ponColor(luz, rgb);
}

// A left click on a colour swatch, or Space or Enter while it has the focus, opens the
// colour dialog
bool Form3::eventFilter(QObject *objeto, QEvent *evento)
{
    for (int luz = 0; luz < 3; luz++) {
        if (objeto != picture1_[luz]) continue;
        if (evento->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(evento)->button() == Qt::LeftButton) {
            eligeColor(luz);
            return true;
        }
        if (evento->type() == QEvent::KeyPress && teclaDeMuestra(static_cast<QKeyEvent *>(evento)->key())) {
            eligeColor(luz);
            return true;
        }
        if (evento->type() == QEvent::FocusIn || evento->type() == QEvent::FocusOut) marcaFoco(luz);
    }
    return QDialog::eventFilter(objeto, evento);
}

// Ks follows Kd so that Kd + Ks = 100
void Form3::acoplaKs()
{
    ks_->setValue(COEFICIENTE_MAX - kd_->value());
}

// The frame interval box: empty stops the animation, a negative number becomes "0"
void Form3::intervaloCambiado(const QString &texto)
{
    if (texto.isEmpty()) {
        timer1_->stop();
        timer1_->setInterval(0);
        return;
    }
    std::string valor = texto.toStdString();
    if (intervaloNegativo(valor)) {
        text1_->setText("0");
        return;
    }
    int intervalo = intervaloDesdeTexto(valor);
    timer1_->setInterval(intervalo);
    // NOTE: a Qt timer of interval 0 would fire without pause; 0 means stopped here
    if (intervalo > 0) {
        timer1_->start();
    } else {
        timer1_->stop();
    }
}

//----------------------------------------------------------------------------------
// Texture frames
//----------------------------------------------------------------------------------
// A frame's bitmap fitted into an image box, read once per name
QPixmap Form3::miniatura(const std::string &frame, QLabel *caja)
{
    QString clave = textoNombre(frame) + QString("|%1").arg(caja->width());
    auto hallada = miniaturas_.constFind(clave);
    if (hallada != miniaturas_.constEnd()) return *hallada;
    QImage imagen = leeBitmap(doc_, frame);
    QPixmap pixmap;
    if (!imagen.isNull())
        pixmap = QPixmap::fromImage(imagen).scaled(caja->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    miniaturas_.insert(clave, pixmap);
    return pixmap;
}

// Labels, buttons and images after the frames or the position changed
void Form3::actualizaFrames()
{
    int cuenta = (int)frames_.size();
    if (posicion_ > cuenta) posicion_ = cuenta;
    numeroFrames_->setText(QString::number(cuenta));
    posicionFrame_->setText(QString::number(posicion_));
    bool hayFrame = posicion_ < cuenta;
    command2_[0]->setText(hayFrame ? "Modificar Frame" : "Insertar Frame");
    command2_[0]->setEnabled(hayFrame || cuenta < MATERIAL_FRAMES);
    command2_[1]->setEnabled(hayFrame);
    if (hayFrame) {
        image1_[0]->setPixmap(miniatura(frames_[posicion_], image1_[0]));
    } else {
        image1_[0]->clear();
    }
    int mostrado = muestraFrame();
    if (mostrado >= 0) {
        image1_[1]->setPixmap(miniatura(frames_[mostrado], image1_[1]));
    } else {
        image1_[1]->clear();
    }
}

// Previous frame
void Form3::anterior()
{
    if (posicion_ > 0) posicion_--;
    actualizaFrames();
}

// Next frame, up to the place after the last one
void Form3::siguiente()
{
    if (posicion_ < (int)frames_.size()) posicion_++;
    actualizaFrames();
}

// "Insertar Frame" / "Modificar Frame": a cancelled choice changes nothing
void Form3::insertarFrame()
{
    bool hayFrame = posicion_ < (int)frames_.size();
    if (!hayFrame && (int)frames_.size() >= MATERIAL_FRAMES) return;
    QString textSel = dialogos_.eligeTextura(this, doc_);
    if (textSel.isEmpty()) return;
    std::string nombre = textSel.toLatin1().toStdString();
    if (hayFrame) {
        frames_[posicion_] = nombre;
    } else {
        insertaFrame(frames_, posicion_, nombre);
    }
    actualizaFrames();
}

// "Borrar Frame": the animation stays on an existing frame
void Form3::borrarFrame()
{
    if (!borraFrame(frames_, posicion_)) return;
    if (muestraFrame_ >= (int)frames_.size()) muestraFrame_ = 0;
    actualizaFrames();
}

// One step of the animation (Timer1), which also keeps Ks coupled
void Form3::pasoAnimacion()
{
    acoplaKs();
    muestraFrame_ = siguienteFrame(muestraFrame_, (int)frames_.size());
    int mostrado = muestraFrame();
    if (mostrado >= 0) {
        image1_[1]->setPixmap(miniatura(frames_[mostrado], image1_[1]));
    } else {
        image1_[1]->clear();
    }
}

//----------------------------------------------------------------------------------
// Closing and the preview
//----------------------------------------------------------------------------------
// "Aceptar": the controls into the record, then the form closes
void Form3::aceptar()
{
    if (matSel_ >= 0 && matSel_ < doc_.editorMaterialCount) aplicaValores(valores(), doc_.editorMaterials[matSel_]);
    accept();
}

// "Aceptar", "Cancelar" and the window frame end here: timers and preview stop
void Form3::done(int resultado)
{
    timer1_->stop();
    timer2_->stop();
    if (preview_) preview_->close();
    QDialog::done(resultado);
}

// The preview while it is open
OGLWin *Form3::preview() const
{
    return preview_.data();
}

// "OpenGL": opens the preview, or brings it forward when it is open
void Form3::abrePreview()
{
    if (preview_) {
        preview_->show();
        preview_->raise();
        preview_->activateWindow();
        return;
    }
    if (!OGLWin::contextoPosible()) {
        dialogos_.mensaje(this, Dialogos::Critico, "OpenGL Initialization Failed!");
        return;
    }
    preview_ = new OGLWin(this, *this);
    preview_->show();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Shows the form without waiting; ApplicationModal keeps the main window from input
QDialog *abreForm3(QWidget *padre, SceneDocument &doc, int matSel, Dialogos &dialogos)
{
    if (matSel < 0 || matSel >= doc.editorMaterialCount) return nullptr;
    auto *form = new Form3(doc, matSel, dialogos, padre);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    return form;
}
