/**********************************************************************************************
*
*   form1_archivo - the file commands of matforge's main window
*
*   "Cargar Escena XML", "Guardar Escena XML", "Guardar Escena XML como...", "Cerrar Escena",
*   "Salir" and the recent scenes, with the question every one of them asks before unsaved
*   changes would be lost ("Guardar" / "Descartar" / "Cancelar"), and the question a save asks
*   when the sections on disk changed since the load ("Recargar" / "Sobrescribir" /
*   "Cancelar"). Neither question loses anything by Enter, Escape or the window's close box.
*
*   DEPENDENCIES: Qt Widgets, form1, scene_scan, scene_save, scene_conflict, scene_files
*
**********************************************************************************************/
#include "form1.h"

#include "form1_comun.h"
#include "scene_conflict.h"
#include "scene_files.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QTime>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
static const char *const FILTRO_XML = "Ficheros XML (*.xml)";
static const char *const CLAVE_RECIENTES = "recientes";

enum { GUARDAR = 0, DESCARTAR = 1, CANCELAR_CAMBIOS = 2 };           // unsaved changes
enum { RECARGAR = 0, SOBRESCRIBIR = 1, CANCELAR_CONFLICTO = 2 };     // sections changed on disk

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
// The recent scenes as stored, newest first
static std::vector<std::string> leeRecientes()
{
    std::vector<std::string> lista;
    for (const QString &ruta : ajustesMatforge().value(CLAVE_RECIENTES).toStringList()) lista.push_back(rutaLocal(ruta));
    return lista;
}

//----------------------------------------------------------------------------------
// Loading
//----------------------------------------------------------------------------------
// "Cargar Escena XML": asks for a scene file and reads it
void Form1::cargar()
{
    if (!puedeDescartar()) return;
    QString ruta = dialogos_->abrirFichero(this, "Carga Escena desde Fichero XML (.xml)", textoRuta(doc_->XMLPath),
                                           FILTRO_XML);
    if (ruta.isEmpty()) return;
    cargaRuta(rutaLocal(ruta));
}

bool Form1::abreEscena(const QString &ruta)
{
    if (!puedeDescartar()) return false;
    return cargaRuta(rutaLocal(QFileInfo(ruta).absoluteFilePath()));
}

// Reads the scene file at a path and shows it; a refused file leaves the open scene as it was
bool Form1::cargaRuta(const std::string &ruta)
{
    // NOTE: read into a fresh document so that a refused file leaves the open scene as it was
    auto nuevo = std::make_unique<SceneDocument>();
    std::string error;
    std::string directorio, fichero;
    divideRuta(ruta, directorio, fichero);
    if (!cargaEscena(*nuevo, ruta, error)) {
        informa("No se ha cargado " + textoRuta(fichero) + ": " + textoError(error));
        avisa(Dialogos::Critico, textoError(error) + "\nNo se ha cargado nada.");
        return false;
    }
    anotaSecciones(*nuevo);
    *doc_ = std::move(*nuevo);
    estadoAbierto();
    anotaReciente(ruta);
    informa(QString::fromUtf8("Cargada %1: %2 texturas, %3 materiales.")
                .arg(textoRuta(fichero))
                .arg(doc_->texturas.size())
                .arg(doc_->editorMaterialCount));
    return true;
}

//----------------------------------------------------------------------------------
// Saving
//----------------------------------------------------------------------------------
// "Guardar Escena XML", with the box that confirms it unless the user turned it off
void Form1::guardar()
{
    guardaEscena(avisoGuardado_->isChecked());
}

// Writes over the loaded file. Texture or material sections changed on disk since the load
// (another matforge, a hand edit) are not written over without asking; true once written
bool Form1::guardaEscena(bool aviso)
{
    if (!abierta_) return false;
    const QString fichero = textoRuta(doc_->XMLFile);
    std::string error;
    const int cambiadas = seccionesCambiadas(*doc_, error);
    if (cambiadas < 0) {
        informa("No se ha guardado " + fichero + ".");
        avisa(Dialogos::Critico, "No se ha podido guardar el XML; el fichero no se ha modificado.\n" + textoError(error));
        return false;
    }
    if (cambiadas == 1) {
        const int opcion = dialogos_->eligeOpcion(
            this,
            "Las texturas o los materiales de " + fichero +
                " han cambiado en el disco desde que se cargo la escena.\n"
                "Recargar: lee la escena del disco y se pierden los cambios hechos aqui.\n"
                "Sobrescribir: guarda los de matforge en su lugar.",
            {"Recargar", "Sobrescribir", "Cancelar"}, CANCELAR_CONFLICTO, CANCELAR_CONFLICTO);
        if (opcion == RECARGAR) cargaRuta(uneRuta(doc_->XMLPath, doc_->XMLFile));
        if (opcion != SOBRESCRIBIR) {
            if (opcion != RECARGAR) informa("No se ha guardado " + fichero + ".");
            return false;
        }
    }
    doc_->XMLPathDestino = doc_->XMLPath;
    doc_->XMLFileDestino = doc_->XMLFile;
    if (!guardaXML(*doc_, error)) {
        informa("No se ha guardado " + fichero + ".");
        avisa(Dialogos::Critico, "No se ha podido guardar el XML; el fichero no se ha modificado.\n" + textoError(error));
        return false;
    }
    anotaSecciones(*doc_);
    historialMarcaGuardado(historial_);
    actualizaTitulo();
    informa("Guardada " + fichero + " a las " + QTime::currentTime().toString("HH:mm:ss") + ".");
    if (aviso) avisa(Dialogos::Informacion, "XML actualizado correctamente.");
    return true;
}

// "Guardar Escena XML como...": writes another file, which from then on is the scene's file
// (later saves go there, the title names it). A name without an ending gets ".xml".
void Form1::guardarComo()
{
    if (!abierta_) return;
    QString ruta = dialogos_->guardarFichero(this, "Guarda Escena a Fichero XML (.xml)",
                                             textoRuta(uneRuta(doc_->XMLPath, doc_->XMLFile)), FILTRO_XML);
    if (ruta.isEmpty()) return;
    const std::string destino = nombreConXml(rutaLocal(ruta));
    divideRuta(destino, doc_->XMLPathDestino, doc_->XMLFileDestino);
    std::string error;
    if (!guardaXML(*doc_, error)) {
        informa("No se ha guardado " + textoRuta(doc_->XMLFileDestino) + ".");
        avisa(Dialogos::Critico, "No se ha podido guardar el XML; el fichero no se ha modificado.\n" + textoError(error));
        return;
    }
    doc_->XMLPath = doc_->XMLPathDestino;
    doc_->XMLFile = doc_->XMLFileDestino;
    anotaSecciones(*doc_);
    historialMarcaGuardado(historial_);
    anotaReciente(destino);
    actualizaTitulo();
    informa("Guardada " + textoRuta(doc_->XMLFile) + " a las " + QTime::currentTime().toString("HH:mm:ss") + ".");
    if (avisoGuardado_->isChecked()) avisa(Dialogos::Informacion, "XML guardado correctamente.");
}

//----------------------------------------------------------------------------------
// Closing
//----------------------------------------------------------------------------------
// With unsaved changes: "Guardar" (the default), "Descartar" or "Cancelar" (Escape); true
// when the command that asked may go on
bool Form1::puedeDescartar()
{
    if (!modificado()) return true;
    const int opcion = dialogos_->eligeOpcion(
        this,
        "La escena " + textoRuta(doc_->XMLFile) + " tiene cambios sin guardar.\n" +
            QString::fromUtf8("¿Desea guardarlos antes de continuar?"),
        {"Guardar", "Descartar", "Cancelar"}, GUARDAR, CANCELAR_CAMBIOS);
    if (opcion == GUARDAR) return guardaEscena(false);
    return opcion == DESCARTAR;
}

// "Cerrar Escena"
void Form1::cerrar()
{
    if (!puedeDescartar()) return;
    estadoCerrado();
    informa("Escena cerrada.");
}

// "Salir": closes the window, which asks first about unsaved changes
void Form1::salir()
{
    if (close()) QApplication::quit();
}

// The window's close box, Ctrl+Q and "Salir": unsaved changes are not lost without asking;
// the window's place and size are kept for the next start
void Form1::closeEvent(QCloseEvent *evento)
{
    if (form3_ || !puedeDescartar()) {
        evento->ignore();
        return;
    }
    ajustesMatforge().setValue("geometria", saveGeometry());
    evento->accept();
}

//----------------------------------------------------------------------------------
// Recent scenes
//----------------------------------------------------------------------------------
// A scene loaded or saved as: first in the recent list
void Form1::anotaReciente(const std::string &ruta)
{
    std::vector<std::string> lista = leeRecientes();
    anadeReciente(lista, ruta);
    QStringList guardada;
    for (const std::string &entrada : lista) guardada << textoRuta(entrada);
    ajustesMatforge().setValue(CLAVE_RECIENTES, guardada);
    rellenaRecientes();
}

// The "Recientes" menu: one entry per scene, then "Vaciar lista"
void Form1::rellenaRecientes()
{
    recientes_->clear();
    const std::vector<std::string> lista = leeRecientes();
    int numero = 1;
    for (const std::string &ruta : lista) {
        std::string directorio, fichero;
        divideRuta(ruta, directorio, fichero);
        QAction *entrada = recientes_->addAction(QString("&%1 %2").arg(numero++).arg(textoRuta(fichero)));
        entrada->setToolTip(textoRuta(ruta));
        const QString texto = textoRuta(ruta);
        connect(entrada, &QAction::triggered, this, [this, texto] { abreEscena(texto); });
    }
    if (!lista.empty()) recientes_->addSeparator();
    QAction *vaciar = recientes_->addAction("Vaciar lista", this, [this] {
        ajustesMatforge().remove(CLAVE_RECIENTES);
        rellenaRecientes();
    });
    vaciar->setObjectName("vaciarRecientes");
    vaciar->setEnabled(!lista.empty());
    recientes_->setEnabled(true);
}
