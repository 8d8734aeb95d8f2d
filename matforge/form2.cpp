/**********************************************************************************************
*
*   form2 - "Selección de Textura", the texture chooser of the material form
*
**********************************************************************************************/
#include "form2.h"

#include "bitmaps.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
static const int LADO_IMAGEN = 128;

//----------------------------------------------------------------------------------
// Construction
//----------------------------------------------------------------------------------
// The list filled with the texture rows, the image box and the two buttons
Form2::Form2(const SceneDocument &doc, QWidget *parent) : QDialog(parent), doc_(doc)
{
    setObjectName("Form2");
    setWindowTitle(QString::fromUtf8("Selección de Textura"));
    setWindowModality(Qt::ApplicationModal);

    list1_ = new QListWidget(this);
    list1_->setObjectName("List1");
    for (const std::string &fila : doc_.texturas)
        list1_->addItem(QString::fromLatin1(fila.data(), (qsizetype)fila.size()));
    image1_ = new QLabel(this);
    image1_->setObjectName("Image1");
    image1_->setFixedSize(LADO_IMAGEN, LADO_IMAGEN);
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setFrameShape(QFrame::StyledPanel);
    command3_ = new QPushButton("Aceptar", this);
    command3_->setObjectName("Command3");
    command3_->setEnabled(false);
    command3_->setDefault(true);
    command4_ = new QPushButton("Cancelar", this);
    command4_->setObjectName("Command4");
    list1_->setToolTip(QString::fromUtf8("Texturas de la escena (doble clic: elegir)"));
    image1_->setToolTip(QString::fromUtf8("La textura seleccionada"));
    command3_->setToolTip(QString::fromUtf8("Usa la textura seleccionada en el frame"));
    command4_->setToolTip(QString::fromUtf8("Cierra sin elegir textura"));

    auto *arriba = new QHBoxLayout();
    arriba->addWidget(list1_, 1);
    arriba->addWidget(image1_, 0, Qt::AlignTop);
    auto *botones = new QHBoxLayout();
    botones->addStretch(1);
    botones->addWidget(command3_);
    botones->addWidget(command4_);
    auto *todo = new QVBoxLayout(this);
    todo->addLayout(arriba, 1);
    todo->addLayout(botones);

    // NOTE: the selection, not the current row, which the list sets by itself on focus
    connect(list1_, &QListWidget::itemSelectionChanged, this, [this] {
        QList<QListWidgetItem *> elegidos = list1_->selectedItems();
        filaSeleccionada(elegidos.isEmpty() ? -1 : list1_->row(elegidos.first()));
    });
    connect(list1_, &QListWidget::itemDoubleClicked, this, &Form2::dobleClic);
    connect(command3_, &QPushButton::clicked, this, &Form2::aceptar);
    connect(command4_, &QPushButton::clicked, this, &QDialog::reject);
}

//----------------------------------------------------------------------------------
// Events
//----------------------------------------------------------------------------------
// A row: "Aceptar" enabled and the bitmap shown
void Form2::filaSeleccionada(int fila)
{
    bool hay = fila >= 0 && fila < (int)doc_.texturas.size();
    command3_->setEnabled(hay);
    muestraEnCaja(image1_, hay ? leeBitmap(doc_, doc_.texturas[fila]) : QImage());
}

// "Aceptar": hands over the selected row
void Form2::aceptar()
{
    QList<QListWidgetItem *> elegidos = list1_->selectedItems();
    if (elegidos.isEmpty()) return;
    textSel_ = elegidos.first()->text();
    accept();
}

// A double click chooses the row at once
void Form2::dobleClic(QListWidgetItem *item)
{
    if (item == nullptr) return;
    textSel_ = item->text();
    accept();
}
