/**********************************************************************************************
*
*   form3_provisional - stand-in for the material form until the form itself is built
*
*   Shows the material's name and says that the form is not available yet; it changes
*   nothing. It is replaced as a whole by the module of the real form.
*
*   DEPENDENCIES: Qt Widgets, scene_document
*
**********************************************************************************************/
#include "form3.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
QDialog *abreForm3(QWidget *padre, SceneDocument &doc, int matSel)
{
    auto *form = new QDialog(padre);
    form->setObjectName("Form3");
    form->setWindowTitle("Editar Material");
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::ApplicationModal);

    QString nombre;
    if (matSel >= 0 && matSel < doc.editorMaterialCount) nombre = QString::fromLatin1(doc.editorMaterials[matSel].name);
    auto *etiqueta = new QLabel("Material Name : " + nombre, form);
    etiqueta->setObjectName("Label1");
    auto *aviso = new QLabel(QString::fromUtf8("El formulario de edición de materiales todavía no está disponible; "
                                               "el material no se modifica."),
                             form);
    aviso->setWordWrap(true);
    auto *cerrar = new QPushButton("Cerrar", form);
    cerrar->setObjectName("Command4");
    QObject::connect(cerrar, &QPushButton::clicked, form, &QDialog::reject);

    auto *layout = new QVBoxLayout(form);
    layout->addWidget(etiqueta);
    layout->addWidget(aviso);
    layout->addWidget(cerrar, 0, Qt::AlignRight);
    form->show();
    return form;
}
