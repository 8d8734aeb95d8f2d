// matforge's main window on Qt's offscreen platform, driven through scripted dialogs:
// enable rules, loading, saving, closing, new and deleted materials and textures.
#include "form1.h"
#include "matforge_dialogs.h"
#include "matforge_files.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <gtest/gtest.h>
#include <memory>

using namespace mftest;

namespace {

class MatforgeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        scene = installScene(dir, "escena_stageworks.xml");
        window = std::make_unique<Form1>(&dialogs);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T>
    T *child(const char *name)
    {
        T *found = window->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction *action(const char *name) { return child<QAction>(name); }
    QPushButton *button(int index) { return child<QPushButton>(QString("Command1_%1").arg(index).toLatin1().constData()); }
    QListWidget *materials() { return child<QListWidget>("List1_0"); }
    QListWidget *textures() { return child<QListWidget>("List1_1"); }
    QLabel *image() { return child<QLabel>("Image1"); }

    QStringList rows(QListWidget *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); i++) texts << list->item(i)->text();
        return texts;
    }

    void clickRow(QListWidget *list, const QString &text)
    {
        QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        QRect place = list->visualItemRect(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
        ASSERT_EQ(list->currentItem(), items.first());
    }

    void loadScene(const std::string &path)
    {
        dialogs.files.push_back(QString::fromStdString(path));
        action("cargar")->trigger();
    }

    void click(int index) { QTest::mouseClick(button(index), Qt::LeftButton); }

    TempDir dir;
    std::string scene;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> window;
};

}  // namespace

TEST_F(MatforgeWindow, StartsInTheClosedState)
{
    EXPECT_EQ(window->windowTitle(), "Editor Materiales XML");
    QMenu *menu = child<QMenu>("Archivo");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&Archivo");
    QStringList entries;
    for (QAction *entry : menu->actions()) entries << (entry->isSeparator() ? "-" : entry->text());
    EXPECT_EQ(entries, (QStringList{"Cargar Escena XML", "-", "Guardar Escena XML", "Guardar Escena XML como...", "-",
                                    "Cerrar Escena", "-", "Salir"}));

    EXPECT_TRUE(action("cargar")->isEnabled());
    EXPECT_TRUE(action("Salir")->isEnabled());
    EXPECT_FALSE(action("guardar")->isEnabled());
    EXPECT_FALSE(action("guardarcomo")->isEnabled());
    EXPECT_FALSE(action("cerrar")->isEnabled());

    auto *texturesFrame = child<QGroupBox>("frameTexturas");
    auto *materialsFrame = child<QGroupBox>("frameMateriales");
    EXPECT_EQ(texturesFrame->title(), "XML TEXTURAS");
    EXPECT_EQ(materialsFrame->title(), "XML MATERIALES");
    EXPECT_TRUE(texturesFrame->isHidden());
    EXPECT_TRUE(materialsFrame->isHidden());

    EXPECT_EQ(button(0)->text(), "Nuevo Material");
    EXPECT_EQ(button(1)->text(), "Editar Material");
    EXPECT_EQ(button(2)->text(), "Borrar Material");
    EXPECT_EQ(button(3)->text(), "Borrar Textura");
    EXPECT_EQ(button(5)->text(), "Nueva Textura");
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(2)->isEnabled());
    EXPECT_FALSE(button(3)->isEnabled());
}

TEST_F(MatforgeWindow, LoadFillsTheListsAndEnablesTheFileCommands)
{
    dialogs.files.push_back(QString());  // cancelled
    action("cargar")->trigger();
    EXPECT_TRUE(child<QGroupBox>("frameTexturas")->isHidden());
    EXPECT_TRUE(dialogs.messages().empty());

    loadScene(scene);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].title, "Carga Escena desde Fichero XML (.xml)");
    EXPECT_EQ(dialogs.asked[1].filter, "Ficheros XML (*.xml)");
    EXPECT_TRUE(dialogs.messages().empty());

    EXPECT_FALSE(child<QGroupBox>("frameTexturas")->isHidden());
    EXPECT_FALSE(child<QGroupBox>("frameMateriales")->isHidden());
    EXPECT_EQ(rows(textures()), (QStringList{"Data/muro.bmp", "Data/agua1.bmp", "Data/agua2.bmp", "Data/cielo.bmp"}));
    EXPECT_EQ(rows(materials()), (QStringList{"(default)", "ladrillo", "agua", "uno", "doble", "vacio"}));
    EXPECT_TRUE(action("guardar")->isEnabled());
    EXPECT_TRUE(action("guardarcomo")->isEnabled());
    EXPECT_TRUE(action("cerrar")->isEnabled());
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(2)->isEnabled());
    EXPECT_FALSE(button(3)->isEnabled());
    EXPECT_EQ(window->documento().XMLPath, dir.path);
}

TEST_F(MatforgeWindow, ARefusedFileLeavesTheWindowAsItWas)
{
    std::string other = installScene(dir, "no_escena.xml", "otro.xml");
    loadScene(other);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogos::Critico);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("<escena>"));
    EXPECT_TRUE(child<QGroupBox>("frameTexturas")->isHidden());
    EXPECT_FALSE(action("guardar")->isEnabled());

    loadScene(scene);
    ASSERT_EQ(window->documento().editorMaterialCount, 6);
    ASSERT_EQ(nuevoMaterial(window->documento(), "sinGuardar"), ALTA_OK);
    loadScene(other);
    EXPECT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(window->documento().editorMaterialCount, 7);
    EXPECT_EQ(window->documento().XMLFile, "escena.xml");
    EXPECT_EQ(materials()->count(), 6);
    EXPECT_TRUE(action("guardar")->isEnabled());
}

TEST_F(MatforgeWindow, MaterialSelectionEnablesEditAndDeleteButNotForDefault)
{
    loadScene(scene);
    clickRow(materials(), "(default)");
    EXPECT_TRUE(button(1)->isEnabled());
    EXPECT_FALSE(button(2)->isEnabled());
    click(2);  // disabled: no question
    EXPECT_EQ(window->documento().editorMaterialCount, 6);

    clickRow(materials(), "ladrillo");
    EXPECT_TRUE(button(1)->isEnabled());
    EXPECT_TRUE(button(2)->isEnabled());
    clickRow(materials(), "(default)");
    EXPECT_FALSE(button(2)->isEnabled());
}

TEST_F(MatforgeWindow, NewMaterial)
{
    loadScene(scene);
    dialogs.inputs = {QString(""), QString(), QString("LADRILLO"), QString("mi material"), QString("piedra")};
    for (int i = 0; i < 2; i++) click(0);  // empty answer and cancel: nothing at all
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(materials()->count(), 6);
    EXPECT_EQ(dialogs.asked.back().title, "Nuevo Material");
    EXPECT_EQ(dialogs.asked.back().text, "Introduzca el nombre del nuevo material:");

    click(0);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Nombre de Material ya existente.");
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogos::Exclamacion);

    click(0);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(dialogs.messages()[1].text.startsWith("Nombre de Material no valido."));
    EXPECT_EQ(materials()->count(), 6);

    click(0);
    EXPECT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(rows(materials()).last(), "piedra");
    ASSERT_EQ(window->documento().editorMaterialCount, 7);
    EXPECT_EQ(window->documento().editorMaterials[6].name, "piedra");
    EXPECT_EQ(window->documento().editorMaterials[6].blend, "1,0");

    // a full table is refused before the name is asked
    SceneDocument &doc = window->documento();
    for (int i = 7; i < EDITOR_MATERIALS; i++) ASSERT_EQ(nuevoMaterial(doc, "m" + std::to_string(i)), ALTA_OK);
    size_t askedBefore = dialogs.asked.size();
    click(0);
    ASSERT_EQ(dialogs.asked.size(), askedBefore + 1);
    EXPECT_EQ(dialogs.asked.back().kind, "message");
    EXPECT_TRUE(dialogs.asked.back().text.contains("257"));
    EXPECT_EQ(doc.editorMaterialCount, EDITOR_MATERIALS);
}

TEST_F(MatforgeWindow, NewTexture)
{
    QImage bitmap(16, 8, QImage::Format_RGB888);
    bitmap.fill(Qt::red);
    writeFile(dir.file("Data/placeholder"), "");
    ASSERT_TRUE(bitmap.save(QString::fromStdString(dir.file("Data/nueva.bmp")), "BMP"));
    writeFile(dir.file("Data/rota.bmp"), "esto no es un BMP");
    TempDir elsewhere;
    ASSERT_TRUE(bitmap.save(QString::fromStdString(elsewhere.file("fuera.bmp")), "BMP"));
    loadScene(scene);

    dialogs.files = {QString::fromStdString(dir.file("Data/nueva.bmp")), QString(),
                     QString::fromStdString(elsewhere.file("fuera.bmp")),
                     QString::fromStdString(dir.file("Data/nueva.bmp")), QString::fromStdString(dir.file("Data/rota.bmp"))};
    click(5);
    EXPECT_EQ(dialogs.asked.back().title, "Carga Textura Desde Fichero BMP (.bmp)");
    EXPECT_EQ(dialogs.asked.back().filter, "Ficheros Graficos BMP (*.bmp)");
    EXPECT_EQ(dialogs.asked.back().text, QString::fromStdString(dir.path));
    EXPECT_EQ(rows(textures()).last(), "Data/nueva.bmp");
    EXPECT_EQ(window->documento().texturas.back(), "Data/nueva.bmp");

    click(5);  // cancelled
    EXPECT_TRUE(dialogs.messages().empty());

    click(5);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text,
              QString::fromUtf8("Directorio no valido. La raíz del BMP seleccionado debe ser la misma que la del XML."));

    click(5);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text, "Textura ya existente.");
    EXPECT_EQ(dialogs.messages()[1].icon, Dialogos::Exclamacion);
    EXPECT_EQ(textures()->count(), 5);

    click(5);
    EXPECT_EQ(textures()->count(), 6);

    // the image box shows bitmaps it can read and stays empty for the others, silently
    clickRow(textures(), "Data/nueva.bmp");
    EXPECT_TRUE(button(3)->isEnabled());
    ASSERT_FALSE(image()->pixmap().isNull());
    EXPECT_EQ(image()->pixmap().width(), image()->width());
    clickRow(textures(), "Data/rota.bmp");
    EXPECT_TRUE(image()->pixmap().isNull());
    clickRow(textures(), "Data/nueva.bmp");
    clickRow(textures(), "Data/muro.bmp");  // no such file
    EXPECT_TRUE(image()->pixmap().isNull());
    EXPECT_EQ(dialogs.messages().size(), 2u);
}

TEST_F(MatforgeWindow, DeleteMaterialAsksFirst)
{
    loadScene(scene);
    clickRow(materials(), "agua");
    dialogs.answers = {false, true};
    click(2);
    ASSERT_EQ(dialogs.asked.back().kind, "question");
    EXPECT_EQ(dialogs.asked.back().text, QString::fromUtf8("¿Desea realmente eliminar el material seleccionado?"));
    EXPECT_EQ(materials()->count(), 6);
    EXPECT_TRUE(button(2)->isEnabled());

    click(2);
    EXPECT_EQ(rows(materials()), (QStringList{"(default)", "ladrillo", "uno", "doble", "vacio"}));
    EXPECT_EQ(window->documento().editorMaterialCount, 5);
    EXPECT_EQ(window->documento().editorMaterials[2].name, "uno");
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(2)->isEnabled());
    EXPECT_EQ(materials()->currentRow(), -1);
}

TEST_F(MatforgeWindow, DeleteTextureAsksFirstAndUnlinksIt)
{
    QImage bitmap(4, 4, QImage::Format_RGB888);
    bitmap.fill(Qt::blue);
    writeFile(dir.file("Data/x"), "");
    ASSERT_TRUE(bitmap.save(QString::fromStdString(dir.file("Data/agua1.bmp")), "BMP"));
    loadScene(scene);
    clickRow(textures(), "Data/agua1.bmp");
    ASSERT_FALSE(image()->pixmap().isNull());

    dialogs.answers = {false, true};
    click(3);
    EXPECT_EQ(dialogs.asked.back().text,
              QString::fromUtf8("¿Desea realmente eliminar la textura seleccionada?.\nSe borrarán los enlaces a esta textura "
                                "en todos los materiales que la utilicen."));
    EXPECT_EQ(textures()->count(), 4);
    EXPECT_EQ(window->documento().editorMaterials[4].frameCode, 4);

    click(3);
    EXPECT_EQ(rows(textures()), (QStringList{"Data/muro.bmp", "Data/agua2.bmp", "Data/cielo.bmp"}));
    EXPECT_TRUE(image()->pixmap().isNull());
    EXPECT_FALSE(button(3)->isEnabled());
    const EditorMaterial &doble = window->documento().editorMaterials[4];
    EXPECT_EQ(doble.frameCode, 2);
    EXPECT_EQ(doble.frames[0], "Data/muro.bmp");
}

TEST_F(MatforgeWindow, SaveAndSaveAs)
{
    loadScene(scene);
    action("guardar")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "XML actualizado correctamente.");
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogos::Informacion);
    EXPECT_EQ(readFile(scene), dataFile("escena_stageworks_guardada.xml"));

    dialogs.files = {QString(), QString::fromStdString(dir.file("copia.xml"))};
    action("guardarcomo")->trigger();  // cancelled
    EXPECT_EQ(dialogs.messages().size(), 1u);
    action("guardarcomo")->trigger();
    EXPECT_EQ(dialogs.asked.back().kind, "message");
    EXPECT_EQ(dialogs.messages().back().text, "XML guardado correctamente.");
    const ScriptedDialogs::Asked &saveDialog = dialogs.asked[dialogs.asked.size() - 2];
    EXPECT_EQ(saveDialog.title, "Guarda Escena a Fichero XML (.xml)");
    EXPECT_EQ(saveDialog.filter, "Ficheros XML (*.xml)");
    // the source had been saved once already: the copy carries the second empty line
    std::string copy = readFile(dir.file("copia.xml"));
    std::string savedTwice = dataFile("escena_stageworks_guardada.xml");
    savedTwice.insert(savedTwice.find("</IDMaterial>\r\n") + 15, "\r\n");
    EXPECT_EQ(copy, savedTwice);
    EXPECT_EQ(readFile(scene), dataFile("escena_stageworks_guardada.xml"));

    // later saves go to the loaded file again
    dialogs.inputs = {QString("piedra")};
    click(0);
    action("guardar")->trigger();
    EXPECT_NE(readFile(scene).find("codigo=\"piedra\""), std::string::npos);
    EXPECT_EQ(readFile(dir.file("copia.xml")), copy);
}

TEST_F(MatforgeWindow, AFailedSaveIsReportedAndLosesNothing)
{
    loadScene(scene);
    std::string before = readFile(scene);
    dialogs.files = {QString::fromStdString(dir.file("no_existe/copia.xml"))};
    action("guardarcomo")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogos::Critico);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("no se ha modificado"));

    std::filesystem::rename(scene, dir.file("movida.xml"));
    action("guardar")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].icon, Dialogos::Critico);
    EXPECT_FALSE(std::filesystem::exists(scene));
    EXPECT_EQ(readFile(dir.file("movida.xml")), before);
}

TEST_F(MatforgeWindow, CloseHidesTheFramesAndDisablesTheCommands)
{
    loadScene(scene);
    clickRow(materials(), "agua");
    clickRow(textures(), "Data/muro.bmp");
    action("cerrar")->trigger();
    EXPECT_TRUE(child<QGroupBox>("frameTexturas")->isHidden());
    EXPECT_TRUE(child<QGroupBox>("frameMateriales")->isHidden());
    EXPECT_FALSE(action("guardar")->isEnabled());
    EXPECT_FALSE(action("guardarcomo")->isEnabled());
    EXPECT_FALSE(action("cerrar")->isEnabled());
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_FALSE(button(2)->isEnabled());
    EXPECT_FALSE(button(3)->isEnabled());

    loadScene(scene);
    EXPECT_FALSE(child<QGroupBox>("frameMateriales")->isHidden());
    EXPECT_EQ(materials()->count(), 6);
    EXPECT_TRUE(action("cerrar")->isEnabled());
}

TEST_F(MatforgeWindow, EditMaterialOpensTheMaterialForm)
{
    loadScene(scene);
    clickRow(materials(), "agua");
    click(1);
    QPointer<QDialog> form = window->formMaterial();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Editar Material");
    EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
    auto *name = form->findChild<QLabel *>("Label1");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "Material Name : agua");

    auto *close = form->findChild<QPushButton *>("Command4");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isNull(); }, 2000));
    EXPECT_EQ(window->formMaterial(), nullptr);
}

TEST_F(MatforgeWindow, ExitClosesTheWindowWithoutAsking)
{
    loadScene(scene);
    dialogs.inputs = {QString("piedra")};
    click(0);
    action("Salir")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readFile(scene), dataFile("escena_stageworks.xml"));
    EXPECT_EQ(dialogs.asked.size(), 2u);  // the load and the name: nothing at exit
}

int main(int argc, char **argv)
{
    // NOTE: also set here because the test listing runs without the test environment
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
