/**********************************************************************************************
*
*   form1 - the main window of matforge
*
*   Loads a scene file, lists its textures and materials, creates and deletes them, opens
*   the material form on a material and writes the file back. The scene itself lives in a
*   SceneDocument owned by the window; every question to the user goes through Dialogos.
*
*   DEPENDENCIES: Qt Widgets, dialogos, form3, scene_document, scene_scan, scene_save
*
**********************************************************************************************/
#pragma once

#include "dialogos.h"
#include "scene_document.h"

#include <QDialog>
#include <QPointer>
#include <QMainWindow>
#include <array>
#include <memory>

class QAction;
class QDialog;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // Without `dialogos` the window asks through the real Qt dialogs
    explicit Form1(Dialogos *dialogos = nullptr, QWidget *parent = nullptr);
    ~Form1() override;

    SceneDocument &documento() { return *doc_; }

    // The material form opened last by "Editar Material" (null once it has closed)
    QDialog *formMaterial() const { return form3_; }

private:
    // Menu "Archivo"
    void cargar();
    void cargaRuta(const std::string &ruta);
    void guardar();
    void guardarComo();
    void cerrar();
    void salir();

    // Buttons of the two frames
    void nuevoMaterialPulsado();
    void editarMaterial();
    void borrarMaterial();
    void nuevaTexturaPulsada();
    void borrarTextura();

    // Selections in the lists
    void materialSeleccionado(int fila);
    void texturaSeleccionada(int fila);

    void construyeMenu();
    void construyeMarcos();
    void estadoCerrado();
    void rellenaListas();
    void muestraImagen(int fila);
    void avisa(Dialogos::Icono icono, const QString &texto);

    std::unique_ptr<SceneDocument> doc_;
    std::unique_ptr<Dialogos> dialogosPropios_;
    Dialogos *dialogos_ = nullptr;
    QPointer<QDialog> form3_;    // the open material form; cleared by Qt when it goes

    QAction *cargar_ = nullptr;
    QAction *guardar_ = nullptr;
    QAction *guardarComo_ = nullptr;
    QAction *cerrar_ = nullptr;
    QAction *salir_ = nullptr;
    QGroupBox *marcoTexturas_ = nullptr;
    QGroupBox *marcoMateriales_ = nullptr;
    QListWidget *listaMateriales_ = nullptr;  // List1 index 0
    QListWidget *listaTexturas_ = nullptr;    // List1 index 1
    std::array<QPushButton *, 6> command1_{}; // Command1 indices 0, 1, 2, 3 and 5
    QLabel *image1_ = nullptr;
};
