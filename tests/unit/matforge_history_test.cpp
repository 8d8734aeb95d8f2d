// matforge's undo and redo of the two lists back to the loaded scene, the modified state
// against the loaded or saved one, and the files around a scene: the name "Guardar como"
// writes, the recent list, and bitmaps brought in from outside the scene's directory.
#include "matforge_files.h"
#include "scene_files.h"
#include "scene_history.h"
#include "scene_save.h"
#include "scene_scan.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

using namespace mftest;

namespace {

size_t filesIn(const std::string &path)
{
    auto all = std::filesystem::directory_iterator(path);
    return (size_t)std::distance(begin(all), end(all));
}

}  // namespace

TEST(MatforgeHistory, EveryChangeIsUndoneBackToTheLoadedSceneAndRedone)
{
    TempDir dir;
    auto doc = std::make_unique<SceneDocument>();
    std::string error;
    ASSERT_EQ(cargaEscena(*doc, installScene(dir, "escena_stageworks.xml"), error), 1) << error;
    const std::string loaded = seccionesXML(*doc);
    HistorialEscena history;
    historialInicia(history, *doc);
    EXPECT_FALSE(historialModificado(history));
    EXPECT_EQ(historialAnota(history, *doc, "nada"), 0);  // no change, no step

    // four changes: a material deleted, a texture with its uses deleted, a material added and edited
    ASSERT_EQ(borraMaterial(*doc, "agua"), 2);
    EXPECT_EQ(historialAnota(history, *doc, "Borrar Material agua"), 1);
    eliminaTextura(*doc, 0);  // Data/muro.bmp, the frame of "ladrillo" and one of "doble"
    EXPECT_EQ(historialAnota(history, *doc, "Borrar Textura"), 1);
    ASSERT_EQ(nuevoMaterial(*doc, "piedra"), ALTA_OK);
    EXPECT_EQ(historialAnota(history, *doc, "Nuevo Material"), 1);
    doc->editorMaterials[5].ka = "0,25";
    EXPECT_EQ(historialAnota(history, *doc, "Editar Material piedra"), 1);
    const std::string changed = seccionesXML(*doc);
    EXPECT_TRUE(historialModificado(history));
    EXPECT_EQ(history.pasos[4].materiales[0], history.pasos[0].materiales[0]);  // untouched records are shared
    EXPECT_EQ(history.pasos[4].materiales[4], history.pasos[0].materiales[5]);  // even one place down
    EXPECT_NE(history.pasos[4].materiales[3], history.pasos[0].materiales[4]);  // "doble" lost a frame

    EXPECT_EQ(historialAccionDeshacer(history), "Editar Material piedra");
    int undone = 0;
    while (historialDeshace(history, *doc)) undone++;
    EXPECT_EQ(undone, 4);
    EXPECT_EQ(seccionesXML(*doc), loaded);
    EXPECT_EQ(doc->editorMaterials[6].name, "");  // the record "piedra" was in is empty again
    EXPECT_FALSE(historialModificado(history));
    EXPECT_EQ(historialAccionRehacer(history), "Borrar Material agua");
    while (historialRehace(history, *doc)) undone--;
    EXPECT_EQ(undone, 0);
    EXPECT_EQ(seccionesXML(*doc), changed);

    // a save makes this the unmodified state; a new change after an undo drops the redo steps
    historialMarcaGuardado(history);
    EXPECT_FALSE(historialModificado(history));
    ASSERT_EQ(historialDeshace(history, *doc), 1);
    EXPECT_TRUE(historialModificado(history));
    ASSERT_EQ(nuevoMaterial(*doc, "otro"), ALTA_OK);
    EXPECT_EQ(historialAnota(history, *doc, "Nuevo Material"), 1);
    EXPECT_EQ(historialRehace(history, *doc), 0);
    EXPECT_EQ(historialAccionRehacer(history), "");
}

TEST(MatforgeHistory, OnlyTheLatestChangesAreKept)
{
    auto doc = std::make_unique<SceneDocument>();
    HistorialEscena history;
    EXPECT_EQ(historialAnota(history, *doc, "x"), 0);  // no scene: nothing to note
    EXPECT_FALSE(historialModificado(history));
    historialInicia(history, *doc);
    for (int i = 0; i < HISTORIAL_PASOS + 5; i++) {
        doc->texturas = {"t" + std::to_string(i) + ".bmp"};
        ASSERT_EQ(historialAnota(history, *doc, "t"), 1);
    }
    int undone = 0;
    while (historialDeshace(history, *doc)) undone++;
    EXPECT_EQ(undone, HISTORIAL_PASOS);
    EXPECT_EQ(doc->texturas, std::vector<std::string>{"t4.bmp"});
    EXPECT_TRUE(historialModificado(history));  // the loaded state itself was forgotten
}

TEST(MatforgeFiles, SaveAsNamesAndTheRecentList)
{
    const std::pair<const char *, const char *> names[] = {
        {"/e/copia", "/e/copia.xml"}, {"/e/copia.xml", "/e/copia.xml"}, {"/e/copia.old", "/e/copia.old"},
        {"/e/copia.", "/e/copia.xml"}, {"/e.d/copia", "/e.d/copia.xml"}, {"/e/.oculta", "/e/.oculta.xml"},
        {"/e/", "/e/"}};
    for (auto [given, written] : names) EXPECT_EQ(nombreConXml(given), written) << given;

    std::vector<std::string> recent;
    for (const char *path : {"/a.xml", "/b.xml", "/a.xml"}) anadeReciente(recent, path, 3);
    EXPECT_EQ(recent, (std::vector<std::string>{"/a.xml", "/b.xml"}));
    for (const char *path : {"/c.xml", "/d.xml"}) anadeReciente(recent, path, 3);
    EXPECT_EQ(recent, (std::vector<std::string>{"/d.xml", "/c.xml", "/a.xml"}));
}

TEST(MatforgeFiles, BitmapsFromOutsideAreCopiedUnderData)
{
    TempDir dir, outside;
    auto owner = std::make_unique<SceneDocument>();
    SceneDocument &doc = *owner;
    doc.XMLPath = dir.path + "/escena";
    ASSERT_EQ(mkdir(doc.XMLPath.c_str(), 0755), 0);
    writeFile(outside.file("piedra.bmp"), "BM piedra");
    writeFile(outside.file("otra/piedra.bmp"), "BM otra piedra");
    writeFile(doc.XMLPath + "/texturas/suelo.bmp", "BM suelo");

    std::string inside, error;
    ASSERT_EQ(traeBitmap(doc, doc.XMLPath + "/texturas/suelo.bmp", inside, error), 1) << error;
    EXPECT_EQ(inside, doc.XMLPath + "/texturas/suelo.bmp");  // already inside: used where it is
    EXPECT_FALSE(std::filesystem::exists(doc.XMLPath + "/Data"));
    ASSERT_EQ(traeBitmap(doc, outside.file("piedra.bmp"), inside, error), 1) << error;
    EXPECT_EQ(inside, doc.XMLPath + "/Data/piedra.bmp");
    EXPECT_EQ(readFile(inside), "BM piedra");
    ASSERT_EQ(traeBitmap(doc, outside.file("piedra.bmp"), inside, error), 1);  // the same bytes: no second copy
    EXPECT_EQ(inside, doc.XMLPath + "/Data/piedra.bmp");
    ASSERT_EQ(traeBitmap(doc, outside.file("otra/piedra.bmp"), inside, error), 1);  // another file of that name
    EXPECT_EQ(inside, doc.XMLPath + "/Data/piedra_2.bmp");
    EXPECT_EQ(readFile(doc.XMLPath + "/Data/piedra.bmp"), "BM piedra");
    EXPECT_EQ(filesIn(doc.XMLPath + "/Data"), 2u);

    // a FIFO is refused at once (reading it would wait for a writer), and so is a missing file
    ASSERT_EQ(mkfifo(outside.file("tuberia.bmp").c_str(), 0600), 0);
    EXPECT_EQ(traeBitmap(doc, outside.file("tuberia.bmp"), inside, error), 0);
    EXPECT_NE(error.find("no es un fichero normal"), std::string::npos) << error;
    EXPECT_EQ(traeBitmap(doc, outside.file("no_existe.bmp"), inside, error), 0);
    EXPECT_EQ(filesIn(doc.XMLPath + "/Data"), 2u);
}
