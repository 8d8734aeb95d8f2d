// matforge's main window as a desktop editor, on Qt's offscreen platform with scripted
// dialogs: the title and its modified marker, undo and redo by key, the unsaved-changes
// question before every command that would drop them, Guardar como, the recent list, files
// dropped on the window, the status bar, the remembered window place, and the material form
// without a mouse (tab order, swatches, tool tips).
#include "form1.h"
#include "form3.h"
#include "matforge_dialogs.h"
#include "matforge_files.h"
#include "scene_save.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace mftest;

namespace {

QStringList rows(QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); i++) texts << list->item(i)->text();
    return texts;
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "stageworks", "matforge").clear();
        scene = installScene(dir, "escena_stageworks.xml");
        window = std::make_unique<Form1>(&dialogs);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override
    {
        if (window && window->formMaterial()) window->formMaterial()->close();
    }
    template <typename T = QWidget>
    T *find(QObject *parent, const QString &name)
    {
        T *found = parent ? parent->findChild<T *>(name) : nullptr;
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QAction *action(const char *name) { return find<QAction>(window.get(), name); }
    QListWidget *materials() { return find<QListWidget>(window.get(), "List1_0"); }
    QListWidget *textures() { return find<QListWidget>(window.get(), "List1_1"); }
    QString status() { return window->statusBar()->currentMessage(); }
    void load(const std::string &path)
    {
        dialogs.files.push_back(QString::fromStdString(path));
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    }
    // Selects a row by its text and presses Delete on the list, answering Yes to the question
    void deleteRow(QListWidget *list, const QString &text)
    {
        list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
        list->setFocus();
        dialogs.answers.push_back(true);
        QTest::keyClick(list, Qt::Key_Delete);
    }
    // A key with the main window active again (a closed form leaves no window active here)
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), (Qt::Key)key, modifiers);
    }

    TempDir dir;
    std::string scene;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> window;
};

}  // namespace

TEST_F(Desktop, TitleMarkerAndUndoRedoBackToTheLoadedScene)
{
    load(scene);
    EXPECT_EQ(window->windowTitle(), "escena.xml[*] - matforge");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(action("deshacer")->isEnabled());
    const QStringList loaded = rows(materials());

    deleteRow(materials(), "agua");
    deleteRow(textures(), "Data/muro.bmp");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(rows(materials()).size(), loaded.size() - 1);
    key(Qt::Key_Z);
    EXPECT_EQ(rows(textures()).value(0), "Data/muro.bmp");
    EXPECT_EQ(status(), "Deshecho: Borrar Textura Data/muro.bmp");
    key(Qt::Key_Z);
    EXPECT_EQ(rows(materials()), loaded);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(action("deshacer")->isEnabled());
    key(Qt::Key_Y);                                    // Ctrl+Y and Ctrl+Shift+Z both redo
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(rows(textures()).size(), 3);
    EXPECT_FALSE(rows(materials()).contains("agua"));

    // an accepted material form is one step; a cancelled one none. Enter on the list opens it
    key(Qt::Key_Z);
    key(Qt::Key_Z);
    materials()->setCurrentRow(0);
    materials()->setFocus();
    QTest::keyClick(materials(), Qt::Key_Return);
    QPointer<QDialog> form = window->formMaterial();
    ASSERT_NE(form, nullptr);
    form->findChild<QSlider *>("Slider1_12")->setValue(25);
    QTest::mouseClick(form->findChild<QPushButton *>("Command3"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.isNull(); }, 2000));
    EXPECT_EQ(window->documento().editorMaterials[0].ka, "0,25");
    EXPECT_TRUE(window->isWindowModified());
    key(Qt::Key_Z);
    EXPECT_EQ(window->documento().editorMaterials[0].ka, "1,000");
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(Desktop, UnsavedChangesAreNeverDroppedWithoutAsking)
{
    load(scene);
    const std::string original = readFile(scene);
    deleteRow(materials(), "agua");
    const std::string question = "La escena escena.xml tiene cambios sin guardar";

    // Cancelar (Escape) keeps everything: loading, closing the scene, closing the window
    dialogs.choices = {2, 2, 2};
    load(dir.file("otra.xml"));
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.asked.back().title, "Guardar|Descartar|Cancelar");
    EXPECT_EQ(dialogs.asked.back().filter, "0/2");  // Enter saves, Escape cancels
    EXPECT_NE(dialogs.asked.back().text.toStdString().find(question), std::string::npos);
    EXPECT_FALSE(rows(materials()).contains("agua"));
    EXPECT_EQ(readFile(scene), original);
    EXPECT_TRUE(dialogs.files.size() == 1) << "the file dialog came before the question";
    dialogs.files.clear();

    // Guardar writes the file, without the box, and the window closes
    dialogs.choices = {0};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(readFile(scene).find("codigo=\"agua\""), std::string::npos);
    EXPECT_TRUE(dialogs.said.isEmpty());

    // Descartar drops the change; an unmodified scene asks nothing
    window->show();
    deleteRow(materials(), "ladrillo");
    dialogs.choices = {1};
    action("cerrar")->trigger();
    EXPECT_FALSE(find(window.get(), "frameMateriales")->isVisible());
    EXPECT_EQ(window->windowTitle(), "Editor Materiales XML - matforge");
    EXPECT_NE(readFile(scene).find("codigo=\"ladrillo\""), std::string::npos);
    load(scene);
    action("cerrar")->trigger();
    EXPECT_TRUE(dialogs.choices.empty());
}

TEST_F(Desktop, SaveAsProposesTheNameAddsXmlAndBecomesTheScenesFile)
{
    load(scene);
    const std::string original = readFile(scene);
    deleteRow(materials(), "agua");
    dialogs.files = {QString::fromStdString(dir.file("copia"))};
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_GE(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked.end()[-2].kind, "save");
    EXPECT_EQ(dialogs.asked.end()[-2].text, QString::fromStdString(scene));  // the current name offered
    EXPECT_EQ(readFile(scene), original);
    EXPECT_EQ(readFile(dir.file("copia.xml")).find("codigo=\"agua\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("copia")));
    EXPECT_EQ(window->windowTitle(), "copia.xml[*] - matforge");
    EXPECT_FALSE(window->isWindowModified());

    deleteRow(materials(), "ladrillo");
    key(Qt::Key_S);
    EXPECT_EQ(readFile(scene), original);
    EXPECT_EQ(readFile(dir.file("copia.xml")).find("codigo=\"ladrillo\""), std::string::npos);
    EXPECT_TRUE(status().startsWith("Guardada copia.xml a las ")) << status().toStdString();
    EXPECT_TRUE(QRegularExpression("\\d\\d:\\d\\d:\\d\\d\\.$").match(status()).hasMatch()) << status().toStdString();
    EXPECT_EQ(dialogs.said, (QStringList{"0 XML guardado correctamente.", "0 XML actualizado correctamente."}));

    // the boxes after a save can be turned off, and that is remembered
    action("avisoGuardado")->setChecked(false);
    deleteRow(materials(), "uno");
    key(Qt::Key_S);
    EXPECT_EQ(dialogs.said.size(), 2);
    Form1 another(&dialogs);
    EXPECT_FALSE(find<QAction>(&another, "avisoGuardado")->isChecked());
}

TEST_F(Desktop, RefusedFilesChangeNothingAndTheStatusBarSaysWhy)
{
    load(scene);
    EXPECT_EQ(status(), "Cargada escena.xml: 4 texturas, 6 materiales.");
    writeFile(dir.file("cortada.xml"), readFile(scene).substr(0, 5000));
    load(dir.file("cortada.xml"));
    ASSERT_FALSE(dialogs.said.isEmpty());
    EXPECT_TRUE(dialogs.said.last().startsWith("2 El fichero cortada.xml no es XML bien formado: línea 3:"))
        << dialogs.said.last().toStdString();
    EXPECT_TRUE(status().startsWith("No se ha cargado cortada.xml: ")) << status().toStdString();
    EXPECT_EQ(window->windowTitle(), "escena.xml[*] - matforge");
    EXPECT_EQ(rows(materials()).size(), 6);
}

TEST_F(Desktop, RecentScenesNewestFirstAndOpenedFromTheMenu)
{
    const std::string other = installScene(dir, "escena_sin_material.xml", "otra.xml");
    load(scene);
    load(other);
    auto *menu = find<QMenu>(window.get(), "Recientes");
    QStringList entries;
    for (QAction *entry : menu->actions()) entries << (entry->isSeparator() ? "-" : entry->text());
    EXPECT_EQ(entries, (QStringList{"&1 otra.xml", "&2 escena.xml", "-", "Vaciar lista"}));
    menu->actions()[1]->trigger();
    EXPECT_EQ(window->windowTitle(), "escena.xml[*] - matforge");

    Form1 another(&dialogs);  // kept for the next start
    EXPECT_EQ(find<QMenu>(&another, "Recientes")->actions().value(0)->text(), "&1 escena.xml");
    find<QAction>(&another, "vaciarRecientes")->trigger();
    EXPECT_EQ(find<QMenu>(&another, "Recientes")->actions().size(), 1);
}

TEST_F(Desktop, DroppedBitmapsBecomeTexturesAndADroppedSceneOpens)
{
    TempDir outside;
    writeBitmap(outside.file("piedra.bmp"), Qt::gray);
    auto drop = [&](const std::vector<std::string> &paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string &path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &event);
        return enter.isAccepted();
    };
    EXPECT_TRUE(drop({outside.file("piedra.bmp")}));  // no scene yet: refused with a message
    EXPECT_TRUE(dialogs.said.value(0).startsWith("1 Cargue primero una escena")) << dialogs.said.value(0).toStdString();
    EXPECT_FALSE(drop({outside.file("notas.txt")}));

    EXPECT_TRUE(drop({scene}));
    EXPECT_EQ(window->windowTitle(), "escena.xml[*] - matforge");
    writeBitmap(dir.file("Data/suelo.bmp"), Qt::green);
    drop({outside.file("piedra.bmp"), dir.file("Data/suelo.bmp")});
    EXPECT_EQ(rows(textures()).mid(4), (QStringList{"Data/piedra.bmp", "Data/suelo.bmp"}));
    EXPECT_EQ(readFile(dir.file("Data/piedra.bmp")), readFile(outside.file("piedra.bmp")));
    key(Qt::Key_Z);  // both in one step
    EXPECT_EQ(rows(textures()).size(), 4);
}

TEST_F(Desktop, TheWindowPlaceIsKept)
{
    window->setGeometry(120, 90, 700, 480);
    ASSERT_TRUE(window->close());
    Form1 another(&dialogs);
    EXPECT_EQ(another.geometry(), QRect(120, 90, 700, 480));
}

TEST_F(Desktop, TheMaterialFormWorksFromTheKeyboard)
{
    load(scene);
    const QPoint row = materials()->visualItemRect(materials()->item(2)).center();
    QTest::mouseClick(materials()->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::mouseDClick(materials()->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QPointer<QDialog> form = window->formMaterial();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    QStringList order;
    QWidget *focus = form->findChild<QWidget *>("Picture1_0");
    focus->setFocus();
    for (int i = 0; i < 21; i++) {
        order << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
        focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
    }
    EXPECT_EQ(order, (QStringList{"Picture1_0", "Slider1_3", "Picture1_1", "Slider1_7", "Picture1_2", "Slider1_11",
                                  "Slider1_12", "Slider1_13", "Slider1_16", "Slider1_15", "Check1", "Command1_0",
                                  "Command1_1", "Command2_0", "Command2_1", "Text1", "Slider2_0", "Slider2_1",
                                  "Command5", "Command3", "Command4"}));
    EXPECT_FALSE(form->findChild<QSlider *>("Slider1_14")->isEnabled());  // Ks follows Kd

    dialogs.colours = {QColor(10, 20, 30), QColor()};
    QWidget *swatch = form->findChild<QWidget *>("Picture1_1");
    swatch->setFocus();
    QTest::keyClick(swatch, Qt::Key_Space);
    QTest::keyClick(swatch, Qt::Key_Return);
    EXPECT_EQ(dialogs.asked.back().kind, "colour");
    EXPECT_EQ(form->findChild<QLabel *>("Label2_6")->text(), "30");
    EXPECT_TRUE(form->isVisible());  // Enter on a swatch is not "Aceptar"

    // every control of the form and of the main window has a tool tip (Qt's own parts aside)
    for (QWidget *parent : {(QWidget *)form.data(), (QWidget *)window.get()}) {
        for (QWidget *control : parent->findChildren<QWidget *>()) {
            const bool own = !control->objectName().startsWith("qt_") && !qobject_cast<QScrollBar *>(control);
            const bool isControl = qobject_cast<QAbstractButton *>(control) || qobject_cast<QAbstractSlider *>(control) ||
                                   qobject_cast<QLineEdit *>(control) || qobject_cast<QListWidget *>(control) ||
                                   control->objectName().startsWith("Picture1");
            if (own && isControl) {
                EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
            }
        }
    }
    form->close();
}

int main(int argc, char **argv) { return mftest::runOffscreen(argc, argv); }
