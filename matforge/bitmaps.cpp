/**********************************************************************************************
*
*   bitmaps - the texture bitmaps of the open scene as the windows show them
*
**********************************************************************************************/
#include "bitmaps.h"

#include "bitmap_limits.h"
#include "scene_paths.h"

#include <QBuffer>
#include <QByteArray>
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
    // NOTE: the bytes are read under the rule for files a scene names (inside the scene's
    // directory, a regular file, without blocking), and the picture only when its header asks
    // for no more than its bytes can describe
    std::string bytes;
    if (!fileOk(readSceneFile(doc.XMLPath, name, BITMAP_MAX_FILE_BYTES, &bytes))) return QImage();
    QByteArray datos = QByteArray::fromRawData(bytes.data(), (qsizetype)bytes.size());
    QBuffer buffer(&datos);
    buffer.open(QIODevice::ReadOnly);
    QImageReader lector(&buffer);
    const QSize claimed = lector.size();
    if (claimed.isValid() && !bitmapDescribable((uint64_t)claimed.width(), (uint64_t)claimed.height(), bytes.size()))
        return QImage();
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
