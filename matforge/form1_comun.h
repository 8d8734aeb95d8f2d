/**********************************************************************************************
*
*   form1_comun - what the three parts of the main window share: texts and settings
*
*   Paths of the file system are bytes in the local encoding; names in the scene file are
*   the file's ISO-8859-1 bytes; messages of the scene library are UTF-8. The parts of the
*   main window turn them into QString the same way, and keep their settings (recent scenes,
*   the window's place, options) in one QSettings store.
*
*   DEPENDENCIES: Qt Core
*
**********************************************************************************************/
#pragma once

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// A path of the file system as bytes, cleaned of "." and ".." parts and double separators
inline std::string rutaLocal(const QString &ruta)
{
    return QFile::encodeName(QDir::cleanPath(ruta)).toStdString();
}

// A path of the file system as text
inline QString textoRuta(const std::string &ruta)
{
    return QFile::decodeName(QByteArray::fromStdString(ruta));
}

// Names in the scene file are ISO-8859-1, the file's declared encoding
inline QString textoNombre(const std::string &nombre)
{
    return QString::fromLatin1(nombre.data(), (qsizetype)nombre.size());
}

// Messages of the scene library are UTF-8
inline QString textoError(const std::string &error)
{
    return QString::fromUtf8(error.data(), (qsizetype)error.size());
}

// The settings of matforge (~/.config/stageworks/matforge.conf), whatever the program that
// shows the window is called
inline QSettings ajustesMatforge()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "stageworks", "matforge");
}
