// matforge's main window, material form and texture chooser on Qt's offscreen platform,
// driven through scripted dialogs: enable rules, loading, saving, new and deleted materials
// and textures, the form's controls, frames and animation, "Aceptar" and "Cancelar".
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "matforge_dialogs.h"
#include "matforge_files.h"
#include "scene_save.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace mftest;

namespace {

template <typename T = QWidget>
T *find(QObject *parent, const QString &name)
{
    T *found = parent ? parent->findChild<T *>(name) : nullptr;
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QStringList rows(QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); i++) texts << list->item(i)->text();
    return texts;
}

// The main window with a stageworks scene ready to load, and the material form opened from it
class MatforgeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        scene = installScene(dir, "escena_stageworks.xml");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override
    {
        if (form) form->close();
        QTest::qWait(1);
    }
    QAction *action(const char *name) { return find<QAction>(&window, name); }
    QPushButton *button(int index) { return find<QPushButton>(&window, QString("Command1_%1").arg(index)); }
    QListWidget *materials() { return find<QListWidget>(&window, "List1_0"); }
    QListWidget *textures() { return find<QListWidget>(&window, "List1_1"); }
    const EditorMaterial &record(int index) { return window.documento().editorMaterials[index]; }
    void click(int index) { QTest::mouseClick(button(index), Qt::LeftButton); }
    void loadScene(const std::string &path)
    {
        dialogs.files.push_back(QString::fromStdString(path));
        action("cargar")->trigger();
    }
    void clickRow(QListWidget *list, const QString &text)
    {
        QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(items[0]).center());
    }
    // Whether the two frames show, and the enabled state of Guardar, Guardar como, Cerrar, Editar,
    // Borrar Material and Borrar Textura
    std::vector<bool> enabled()
    {
        return {find(&window, "frameTexturas")->isVisible() && find(&window, "frameMateriales")->isVisible(),
                action("guardar")->isEnabled(), action("guardarcomo")->isEnabled(), action("cerrar")->isEnabled(),
                button(1)->isEnabled(),         button(2)->isEnabled(),             button(3)->isEnabled()};
    }

    // "Editar Material" on a material of the scene, loaded first if need be
    void open(const char *material)
    {
        if (materials()->count() == 0) loadScene(scene);
        clickRow(materials(), material);
        click(1);
        ASSERT_NE(form = window.formMaterial(), nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    QSlider *slider(const char *name) { return find<QSlider>(form, name); }
    QString text(const char *name) { return find<QLabel>(form, name)->text(); }
    Form3 *form3() { return static_cast<Form3 *>(form.data()); }
    void click(const char *name) { QTest::mouseClick(find<QPushButton>(form, name), Qt::LeftButton); }
    void tick(bool on) { find<QCheckBox>(form, "Check1")->setChecked(on); }
    // "Aceptar" or "Cancelar", and the form is gone
    void close(const char *button)
    {
        click(button);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.isNull(); }, 2000));
    }

    TempDir dir;
    std::string scene;
    ScriptedDialogs dialogs;
    Form1 window{&dialogs};
    QPointer<QDialog> form;
};
using MaterialForm = MatforgeWindow;

}  // namespace

TEST_F(MatforgeWindow, MenuFramesAndEnableRules)
{
    EXPECT_EQ(window.windowTitle(), "Editor Materiales XML - matforge");
    QStringList entries;
    for (QAction *entry : find<QMenu>(&window, "Archivo")->actions()) entries << (entry->isSeparator() ? "-" : entry->text());
    EXPECT_EQ(entries, (QStringList{"Cargar Escena XML", "Recientes", "-", "Guardar Escena XML",
                                    "Guardar Escena XML como...", "-", "Cerrar Escena", "-", "Salir"}));
    EXPECT_EQ(find<QGroupBox>(&window, "frameTexturas")->title(), "XML TEXTURAS");
    EXPECT_EQ(find<QGroupBox>(&window, "frameMateriales")->title(), "XML MATERIALES");
    const std::vector<bool> none(7, false);
    EXPECT_EQ(enabled(), none);
    loadScene(installScene(dir, "no_escena.xml", "otro.xml"));  // refused with a message
    EXPECT_EQ(enabled(), none);
    loadScene(scene);
    EXPECT_EQ(dialogs.asked[2].title, "Carga Escena desde Fichero XML (.xml)");
    EXPECT_EQ(dialogs.asked[2].filter, "Ficheros XML (*.xml)");
    EXPECT_EQ(rows(textures()), (QStringList{"Data/muro.bmp", "Data/agua1.bmp", "Data/agua2.bmp", "Data/cielo.bmp"}));
    EXPECT_EQ(rows(materials()), (QStringList{"(default)", "ladrillo", "agua", "uno", "doble", "vacio"}));
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, false, false, false}));
    clickRow(materials(), "(default)");  // never deleted
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true, false, false}));
    clickRow(materials(), "ladrillo");
    clickRow(textures(), "Data/muro.bmp");
    EXPECT_EQ(enabled(), std::vector<bool>(7, true));

    // a refused file leaves the loaded scene as it was
    loadScene(dir.file("otro.xml"));
    EXPECT_EQ(materials()->count(), 6);
    EXPECT_TRUE(dialogs.said.value(1).startsWith("2 ") && dialogs.said.value(1).contains("<escena>"));
    action("cerrar")->trigger();
    EXPECT_EQ(enabled(), none);
}

TEST_F(MatforgeWindow, NewMaterial)
{
    loadScene(scene);
    dialogs.inputs = {QString(""), QString(), QString("LADRILLO"), QString("mi material"), QString("piedra")};
    for (int i = 0; i < 5; i++) click(0);
    EXPECT_EQ(dialogs.asked[1].title, "Nuevo Material");
    EXPECT_EQ(dialogs.asked[1].text, "Introduzca el nombre del nuevo material:");
    ASSERT_EQ(dialogs.said.size(), 2);  // nothing for the empty answer and the cancel
    EXPECT_EQ(dialogs.said[0], "1 Nombre de Material ya existente.");
    EXPECT_TRUE(dialogs.said[1].startsWith("1 Nombre de Material no valido."));
    EXPECT_EQ(rows(materials()).mid(5), (QStringList{"vacio", "piedra"}));

    // a full table is refused before the name is asked
    for (int i = 7; i < EDITOR_MATERIALS; i++) ASSERT_EQ(nuevoMaterial(window.documento(), "m" + std::to_string(i)), ALTA_OK);
    click(0);
    EXPECT_TRUE(dialogs.said.last().contains("257"));
}

TEST_F(MatforgeWindow, NewTextureAndTheImageBox)
{
    writeBitmap(dir.file("Data/nueva.bmp"), Qt::red, 16, 8);
    writeFile(dir.file("Data/rota.bmp"), "esto no es un BMP");
    loadScene(scene);
    for (std::string path : {dir.file("Data/nueva.bmp"), std::string(), dir.path + "2/fuera.bmp",
                             dir.file("Data/nueva.bmp"), dir.file("Data/rota.bmp")}) {
        dialogs.files = {path.empty() ? QString() : QString::fromStdString(path)};
        click(5);
    }
    EXPECT_EQ(dialogs.asked.back().title, "Carga Textura Desde Fichero BMP (.bmp)");
    EXPECT_EQ(dialogs.asked.back().filter, "Ficheros Graficos BMP (*.bmp)");
    EXPECT_EQ(dialogs.asked.back().text, QString::fromStdString(dir.path));
    EXPECT_EQ(rows(textures()).mid(4), (QStringList{"Data/nueva.bmp", "Data/rota.bmp"}));

    // the image box shows bitmaps it can read and stays empty for the others, silently
    QLabel *image = find<QLabel>(&window, "Image1");
    for (auto [row, shown] : {std::pair{"Data/nueva.bmp", true}, {"Data/rota.bmp", false}, {"Data/nueva.bmp", true},
                              {"Data/muro.bmp", false}}) {
        clickRow(textures(), row);
        EXPECT_EQ(image->pixmap().width(), shown ? image->width() : 0) << row;
    }
    EXPECT_EQ(dialogs.said, (QStringList{QString::fromUtf8("1 Directorio no valido. La raíz del BMP seleccionado debe "
                                                             "ser la misma que la del XML."),
                                           "1 Textura ya existente."}));
}

TEST_F(MatforgeWindow, DeletesAskFirst)
{
    loadScene(scene);
    clickRow(materials(), "agua");
    clickRow(textures(), "Data/agua1.bmp");
    dialogs.answers = {false, true, false, true};
    click(2);
    click(2);
    click(3);
    EXPECT_EQ(textures()->count(), 4);
    click(3);
    EXPECT_EQ(dialogs.asked[2].text, QString::fromUtf8("¿Desea realmente eliminar el material seleccionado?"));
    EXPECT_EQ(dialogs.asked[4].text,
              QString::fromUtf8("¿Desea realmente eliminar la textura seleccionada?.\nSe borrarán los enlaces a esta textura "
                                "en todos los materiales que la utilicen."));
    EXPECT_EQ(rows(materials()), (QStringList{"(default)", "ladrillo", "uno", "doble", "vacio"}));
    EXPECT_EQ(rows(textures()), (QStringList{"Data/muro.bmp", "Data/agua2.bmp", "Data/cielo.bmp"}));
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, false, false, false}));
    EXPECT_EQ(window.documento().editorMaterials[3].frames[0], "Data/muro.bmp");  // "doble" lost both frames
}

// The whole way: load a scene, edit a material in the modal form, save, save as
TEST_F(MatforgeWindow, AnEditIsSavedAndTheWindowWaitsMeanwhile)
{
    open("(default)");
    EXPECT_EQ(QApplication::activeModalWidget(), form.data());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button(0)->mapTo(&window, button(0)->rect().center()));
    EXPECT_EQ(dialogs.asked.size(), 1u);  // the main window takes no input
    slider("Slider1_12")->setValue(25);
    close("Command3");
    EXPECT_EQ(window.formMaterial(), nullptr);
    action("guardar")->trigger();
    EXPECT_NE(readFile(scene).find("<Ka>0.250</Ka><Kd>0.900</Kd><Ks>0.100</Ks><pLuzDif><R>0.898039215686275</R>"),
              std::string::npos);
    for (const std::string &path : {dir.file("copia.xml"), dir.file("no_existe/copia.xml")}) {
        dialogs.files = {QString::fromStdString(path)};
        action("guardarcomo")->trigger();
    }
    EXPECT_EQ(dialogs.asked[2].title, "Guarda Escena a Fichero XML (.xml)");
    EXPECT_NE(readFile(dir.file("copia.xml")).find("<Ka>0.250</Ka>"), std::string::npos);
    EXPECT_EQ(dialogs.said.mid(0, 2), (QStringList{"0 XML actualizado correctamente.", "0 XML guardado correctamente."}));
    EXPECT_TRUE(dialogs.said[2].startsWith("2 No se ha podido guardar el XML; el fichero no se ha modificado."));
}

// Sections changed on disk since the load (a hand edit here): the save asks first. Cancelar
// writes nothing, Recargar shows the file as it is now, Sobrescribir writes matforge's own
TEST_F(MatforgeWindow, ChangedSectionsOnDiskAskBeforeTheSave)
{
    loadScene(scene);
    const std::string loaded = readFile(scene);
    const size_t first = loaded.find("<IDMaterial");
    const size_t firstEnd = loaded.find("</IDMaterial>", first) + 13;
    std::string copy = loaded.substr(first, firstEnd - first);
    copy.replace(copy.find("(default)"), 9, "amano");
    const std::string edited = std::string(loaded).insert(firstEnd, copy);
    writeFile(scene, edited);

    dialogs.choices = {2, 0};
    action("guardar")->trigger();
    EXPECT_EQ(dialogs.asked.back().kind, "choice");
    EXPECT_EQ(dialogs.asked.back().title, "Recargar|Sobrescribir|Cancelar");
    EXPECT_EQ(dialogs.asked.back().filter, "2/2");  // Enter and Escape both "Cancelar"
    EXPECT_EQ(readFile(scene), edited);
    EXPECT_FALSE(rows(materials()).contains("amano"));
    action("guardar")->trigger();
    EXPECT_TRUE(rows(materials()).contains("amano"));
    EXPECT_EQ(readFile(scene), edited);
    EXPECT_TRUE(dialogs.said.isEmpty());

    // now the sections on disk are the ones shown: no question; then the hand edit undone
    action("guardar")->trigger();
    EXPECT_EQ(dialogs.said.last(), "0 XML actualizado correctamente.");
    writeFile(scene, loaded);
    dialogs.choices = {1};
    action("guardar")->trigger();
    EXPECT_NE(readFile(scene).find("<IDMaterial codigo=\"amano\">"), std::string::npos);
    EXPECT_TRUE(dialogs.choices.empty());
}

// NOTE: the fixture then destroys the window with the form still open; the sanitizer build
// is what sees a form that reaches back into a half-destroyed window
TEST_F(MatforgeWindow, TheWindowCanGoWhileItsMaterialFormIsOpen)
{
    open("agua");
    EXPECT_EQ(window.formMaterial(), form.data());
}

TEST_F(MaterialForm, ControlsShowTheRecordAndAcceptStoresThem)
{
    loadScene(scene);
    window.documento().editorMaterials[2].diffuse[0] = "0,5";
    window.documento().editorMaterials[2].shine = "0,5";
    window.documento().editorMaterials[2].texScaleY = "12,5";  // an untouched scale above 10
    open("agua");
    // title, name, R 0.5 truncated, frames, interval; Shine 0.5 and Scale X 2.0 on their sliders
    EXPECT_EQ((QStringList{form->windowTitle(), text("Label1"), text("Label2_0"), text("LabelNumeroFrames"),
                           find<QLineEdit>(form, "Text1")->text()}),
              (QStringList{"Editar Material", "Material Name : agua", "127", "2", "250"}));
    EXPECT_EQ((std::pair{slider("Slider1_16")->value(), slider("Slider2_0")->value()}), (std::pair{64, 20}));
    slider("Slider1_13")->setValue(30);
    EXPECT_EQ(slider("Slider1_14")->value(), 70);  // Ks follows Kd
    slider("Slider1_14")->setValue(10);           // and goes back within a tick of Timer2
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider("Slider1_14")->value() == 70; }, 1000));
    slider("Slider2_0")->setValue(25);
    close("Command3");
    const EditorMaterial &m = record(2);
    EXPECT_EQ((std::vector<std::string>{m.kd, m.ks, m.shine, m.diffuse[0], m.texScaleX, m.texScaleY}),
              (std::vector<std::string>{"0,3", "0,7", "0,5", "0,498039215686275", "2,5", "12,5"}));
    EXPECT_EQ(m.frameCode, 3);

    for (auto [ka, stored] : {std::pair{100, "1,000"}, {0, "0,000"}, {25, "0,25"}}) {
        open("(default)");
        slider("Slider1_12")->setValue(ka);
        close("Command3");
        EXPECT_EQ(record(0).ka, stored);
    }
}

TEST_F(MaterialForm, CancelledDialogsAndCancelChangeNothing)
{
    open("agua");
    std::string before = seccionesXML(window.documento());
    dialogs.colours = {QColor(), QColor(10, 20, 30)};
    dialogs.textures = {QString()};
    QTest::mouseClick(find(form, "Picture1_0"), Qt::LeftButton);
    EXPECT_EQ(dialogs.asked[1].text, QColor(25, 76, 204).name());  // the swatch's colour preselected
    EXPECT_EQ(text("Label2_0"), "25");
    click("Command2_0");  // "Modificar Frame" with the choice cancelled
    EXPECT_EQ(text("LabelNumeroFrames"), "2");
    QTest::mouseClick(find(form, "Picture1_0"), Qt::LeftButton);
    EXPECT_EQ(text("Label2_2"), "30");
    slider("Slider1_12")->setValue(0);
    tick(false);
    close("Command4");
    EXPECT_EQ(seccionesXML(window.documento()), before);
}

TEST_F(MaterialForm, FramesInsertedDeletedAndUnticked)
{
    open("doble");  // the middle of three frames deleted
    click("Command1_1");
    click("Command2_1");
    close("Command3");
    EXPECT_EQ(record(4).frameCode, 3);
    EXPECT_EQ(record(4).frames[1], "Data/muro.bmp");
    open("doble");  // unticked: the frames stay for later
    tick(false);
    close("Command3");
    EXPECT_EQ(record(4).textured, 0);
    open("doble");
    EXPECT_EQ(text("LabelNumeroFrames"), "2");
    close("Command4");

    open("(default)");  // one frame is a still texture
    tick(true);
    dialogs.textures = {QString("Data/cielo.bmp")};
    click("Command2_0");
    close("Command3");
    EXPECT_EQ(record(0).frameCode, 0);
    EXPECT_EQ(record(0).frames[0], "Data/cielo.bmp");
    open("vacio");  // ticked without a frame: plain
    close("Command3");
    EXPECT_EQ(record(5).textured, 0);
}

TEST_F(MaterialForm, FrameIntervalDrivesTheAnimationAndOpenGLFailsCleanly)
{
    open("agua");
    auto *text1 = find<QLineEdit>(form, "Text1");
    text1->clear();
    QTest::keyClicks(text1, "1x0");  // the validator only lets numbers through
    EXPECT_EQ(find<QTimer>(form, "Timer1")->interval(), 10);
    int first = form3()->muestraFrame();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form3()->muestraFrame() == 1 - first; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form3()->muestraFrame() == first; }, 2000));
    text1->setText("-5");
    EXPECT_EQ(text1->text(), "0");
    EXPECT_FALSE(find<QTimer>(form, "Timer1")->isActive());
    click("Command5");  // no OpenGL on this platform
    EXPECT_EQ(dialogs.said, QStringList{"2 OpenGL Initialization Failed!"});
    EXPECT_EQ(form3()->preview(), nullptr);
    close("Command3");
    EXPECT_EQ(record(2).frameInterval, 0);
}

TEST_F(MatforgeWindow, TextureChooserListsTheTexturesAndHandsBackTheChoice)
{
    loadScene(scene);
    writeBitmap(dir.file("Data/muro.bmp"), Qt::red);
    Form2 chooser(window.documento());
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    EXPECT_EQ(chooser.windowTitle(), QString::fromUtf8("Selección de Textura"));
    auto *list = find<QListWidget>(&chooser, "List1");
    auto *image = find<QLabel>(&chooser, "Image1");
    EXPECT_FALSE(find(&chooser, "Command3")->isEnabled());
    list->setCurrentRow(0);
    EXPECT_EQ(image->pixmap().toImage().pixelColor(image->pixmap().width() / 2, 0), QColor(Qt::red));
    list->setCurrentRow(1);  // a bitmap that cannot be read leaves the box empty
    EXPECT_TRUE(image->pixmap().isNull());
    QTest::mouseClick(find(&chooser, "Command3"), Qt::LeftButton);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(chooser.textSel(), "Data/agua1.bmp");
}

int main(int argc, char **argv) { return mftest::runOffscreen(argc, argv); }
