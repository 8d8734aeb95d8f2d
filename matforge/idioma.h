/**********************************************************************************************
*
*   idioma - Qt's own texts in Spanish, like the rest of matforge
*
*   The buttons of Qt's standard dialogs ("Aceptar", "Cancelar"), the file dialog and the
*   context menus of text boxes come from Qt's Spanish translations (Debian's
*   qt6-translations-l10n), whatever the language of the desktop.
*
*   DEPENDENCIES: Qt Core (QTranslator, QLibraryInfo)
*
**********************************************************************************************/
#pragma once

class QCoreApplication;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// Installs Qt's Spanish translations in the application; false when they are not installed
// (Qt's texts then stay in English)
bool instalaTraduccionesQt(QCoreApplication &app);
