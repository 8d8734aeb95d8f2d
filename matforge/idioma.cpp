/**********************************************************************************************
*
*   idioma - Qt's own texts in Spanish, like the rest of matforge
*
**********************************************************************************************/
#include "idioma.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool instalaTraduccionesQt(QCoreApplication &app)
{
    // NOTE: "qt_es" names qtbase_es and the other modules' catalogues together
    auto *traductor = new QTranslator(&app);
    if (!traductor->load(QLocale(QLocale::Spanish, QLocale::Spain), "qt", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traductor;
        return false;
    }
    return QCoreApplication::installTranslator(traductor);
}
