/**********************************************************************************************
*
*   form1 - the main window of matforge
*
*   Loads a scene file, lists its textures and materials, creates and deletes them, opens
*   the material form on a material and writes the file back. The scene itself lives in a
*   SceneDocument owned by the window; every question to the user goes through Dialogos.
*   Around that it behaves as a desktop editor: the title names the file and shows unsaved
*   changes, unsaved work is never dropped without asking, every list change and accepted
*   material form can be undone, the usual keys work, recent scenes, the window's place and
*   the options are remembered (QSettings), files can be dropped on the window, and a status
*   bar tells what was loaded, saved or refused. The file commands live in form1_archivo.cpp,
*   the desktop parts (title, history, status bar, drops, settings) in form1_escritorio.cpp.
*
*   DEPENDENCIES: Qt Widgets, dialogos, form3, scene_document, scene_scan, scene_save,
*                 scene_conflict, scene_history, scene_files
*
**********************************************************************************************/
#pragma once

#include "dialogos.h"
#include "scene_document.h"
#include "scene_history.h"

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
class QMenu;
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

    // Opens the scene file at `ruta` (command line, recent list, a drop), after asking what
    // to do with unsaved changes; false when it was not opened
    bool abreEscena(const QString &ruta);

    // True while a scene is open and differs from the file as loaded or last saved
    bool modificado() const;

protected:
    void closeEvent(QCloseEvent *evento) override;
    void dragEnterEvent(QDragEnterEvent *evento) override;
    void dropEvent(QDropEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    // Menu "Archivo" (form1_archivo.cpp)
    void cargar();
    bool cargaRuta(const std::string &ruta);
    void guardar();
    bool guardaEscena(bool aviso);
    void guardarComo();
    void cerrar();
    void salir();
    bool puedeDescartar();
    void rellenaRecientes();
    void anotaReciente(const std::string &ruta);

    // Menus "Editar" and "Ayuda", title, history, status bar, settings (form1_escritorio.cpp)
    void construyeMenu();
    void deshacer();
    void rehacer();
    void anota(const QString &accion);
    void actualizaTitulo();
    void informa(const QString &texto);
    void restauraVentana();
    void acercaDe();
    void anadeBitmaps(const QStringList &rutas);

    // Buttons of the two frames
    void nuevoMaterialPulsado();
    void editarMaterial();
    void borrarMaterial();
    void nuevaTexturaPulsada();
    void borrarTextura();

    // Selections in the lists
    void materialSeleccionado(int fila);
    void texturaSeleccionada(int fila);

    void construyeMarcos();
    void estadoCerrado();
    void estadoAbierto();
    void rellenaListas();
    void muestraImagen(int fila);
    void avisa(Dialogos::Icono icono, const QString &texto);

    std::unique_ptr<SceneDocument> doc_;
    std::unique_ptr<Dialogos> dialogosPropios_;
    Dialogos *dialogos_ = nullptr;
    QPointer<QDialog> form3_;    // the open material form; cleared by Qt when it goes
    HistorialEscena historial_;  // undo and redo of the lists
    bool abierta_ = false;       // a scene is open

    QAction *cargar_ = nullptr;
    QAction *guardar_ = nullptr;
    QAction *guardarComo_ = nullptr;
    QAction *cerrar_ = nullptr;
    QAction *salir_ = nullptr;
    QAction *deshacer_ = nullptr;
    QAction *rehacer_ = nullptr;
    QAction *avisoGuardado_ = nullptr;
    QMenu *recientes_ = nullptr;
    QGroupBox *marcoTexturas_ = nullptr;
    QGroupBox *marcoMateriales_ = nullptr;
    QListWidget *listaMateriales_ = nullptr;  // List1 index 0
    QListWidget *listaTexturas_ = nullptr;    // List1 index 1
    std::array<QPushButton *, 6> command1_{}; // Command1 indices 0, 1, 2, 3 and 5
    QLabel *image1_ = nullptr;
};
