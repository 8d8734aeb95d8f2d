/**********************************************************************************************
*
*   bitmaps - the texture bitmaps of the open scene as the windows show them
*
*   A texture name is a path relative to the scene's directory; these helpers read its
*   bitmap with Qt's image reader and fit it into an image box. The file is read under the
*   rule for files a scene names (scene_paths: inside the scene's directory after links, a
*   regular file, without blocking), and a picture larger than its bytes can describe
*   (bitmap_limits) is not decoded. A bitmap that is refused or cannot be read gives a null
*   image and an empty box.
*
*   DEPENDENCIES: Qt Gui and Widgets, scene_document, scene_paths and bitmap_limits
*                 (file_safety)
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

#include <QImage>
#include <QString>
#include <string>

class QLabel;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Path of a texture of the document in the file system
QString rutaTextura(const SceneDocument &doc, const std::string &name);

// The texture's bitmap; a null image when it cannot be read
QImage leeBitmap(const SceneDocument &doc, const std::string &name);

// Shows an image in an image box, scaled to fit and keeping its proportions; a null image
// empties the box
void muestraEnCaja(QLabel *caja, const QImage &imagen);
