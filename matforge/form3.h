/**********************************************************************************************
*
*   form3 - the material form opened by "Editar Material"
*
*   The main window calls abreForm3 only; whichever module implements it owns the form.
*
*   DEPENDENCIES: Qt Widgets, scene_document
*
**********************************************************************************************/
#pragma once

#include "scene_document.h"

class QDialog;
class QWidget;

// Opens the material form on record `matSel` of the document. The form is modal to the
// application, deletes itself when closed, and is returned so that the caller can follow it.
QDialog *abreForm3(QWidget *padre, SceneDocument &doc, int matSel);
