/**********************************************************************************************
*
*   bitmaps - the texture bitmaps of the open scene as the windows show them
*
**********************************************************************************************/
#include "bitmaps.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
QString rutaTextura(const SceneDocument &doc, const std::string &name)
{
    return QFile::decodeName(QByteArray::fromStdString(uneRuta(doc.XMLPath, name)));
}

QImage leeBitmap(const SceneDocument &doc, const std::string &name)
{
    if (name.empty()) return QImage();
    QImageReader lector(rutaTextura(doc, name));
    return lector.read();
}

void muestraEnCaja(QLabel *caja, const QImage &imagen)
{
    if (imagen.isNull()) {
        caja->clear();
        return;
    }
    caja->setPixmap(QPixmap::fromImage(imagen).scaled(caja->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
