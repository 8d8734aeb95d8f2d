// matforge's material form and texture chooser on Qt's offscreen platform, driven through
// scripted dialogs: opening, the coefficient coupling, colours, frames, interval, scales,
// "Aceptar" and "Cancelar", modality, and a whole edit saved by the main window.
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "matforge_dialogs.h"
#include "matforge_files.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <memory>

using namespace mftest;

namespace {

class MaterialForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = std::make_unique<SceneDocument>();
        doc->XMLPath = dir.path;
        for (const char *name : {"Data/a.bmp", "Data/b.bmp", "Data/c.bmp"}) doc->texturas.push_back(name);
        writeBitmap(dir.file("Data/a.bmp"), Qt::red);
        writeBitmap(dir.file("Data/b.bmp"), Qt::green);
        writeBitmap(dir.file("Data/c.bmp"), Qt::blue);
        ASSERT_EQ(nuevoMaterial(*doc, "(default)"), ALTA_OK);
        ASSERT_EQ(nuevoMaterial(*doc, "piedra"), ALTA_OK);
        ASSERT_EQ(nuevoMaterial(*doc, "agua"), ALTA_OK);
        EditorMaterial &agua = doc->editorMaterials[2];
        agua.blend = "0,600";
        agua.shine = "0,5";
        agua.ka = "0,300";
        agua.kd = "0,700";
        agua.ks = "0,300";
        agua.diffuse = {"0,500", "0,300", "0,800", "0,600"};
        agua.specular = {"1,000", "1,000", "1,000", "1,000"};
        agua.emission = {"0,000", "0,000", "0,200", "1,000"};
        agua.textured = 1;
        agua.texScaleX = "2,000";
        agua.texScaleY = "0,500";
        agua.frameInterval = 250;
        agua.frameCode = 4;
        agua.frames[0] = "Data/a.bmp";
        agua.frames[1] = "Data/b.bmp";
        agua.frames[2] = "Data/c.bmp";
    }

    void TearDown() override
    {
        if (form) form->close();
        QTest::qWait(1);
    }

    void open(int index)
    {
        form = abreForm3(nullptr, *doc, index, dialogs);
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }

    template <typename T>
    T *child(const QString &name)
    {
        T *found = form->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QSlider *slider(const QString &name) { return child<QSlider>(name); }
    QLabel *label(const QString &name) { return child<QLabel>(name); }
    QPushButton *button(const QString &name) { return child<QPushButton>(name); }
    QString text(const QString &name) { return label(name)->text(); }
    Form3 *form3() { return static_cast<Form3 *>(form.data()); }

    void click(const QString &name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // "Aceptar" or "Cancelar", and the form is gone
    void close(const char *buttonName)
    {
        click(buttonName);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.isNull(); }, 2000));
    }

    TempDir dir;
    std::unique_ptr<SceneDocument> doc;
    ScriptedDialogs dialogs;
    QPointer<QDialog> form;
};

}  // namespace

TEST_F(MaterialForm, OpeningShowsEveryPropertyOfTheRecord)
{
    open(2);
    EXPECT_EQ(form->windowTitle(), "Editar Material");
    EXPECT_EQ(form->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(text("Label1"), "Material Name : agua");
    EXPECT_EQ(slider("Slider1_12")->value(), 30);
    EXPECT_EQ(slider("Slider1_13")->value(), 70);
    EXPECT_EQ(slider("Slider1_14")->value(), 30);
    EXPECT_EQ(slider("Slider1_15")->value(), 60);
    EXPECT_EQ(slider("Slider1_16")->value(), 64);
    EXPECT_EQ(slider("Slider1_16")->maximum(), 128);
    EXPECT_EQ(slider("Slider1_12")->maximum(), 100);
    // diffuse 0.5 shows as 127 (127.5 truncated), 0.3 as 76, 0.8 as 204
    EXPECT_EQ(text("Label2_0"), "127");
    EXPECT_EQ(text("Label2_1"), "76");
    EXPECT_EQ(text("Label2_2"), "204");
    EXPECT_EQ(slider("Slider1_3")->value(), 60);
    EXPECT_EQ(text("Label2_10"), "51");
    EXPECT_EQ(child<QFrame>("Picture1_0")->palette().color(QPalette::Window), QColor(127, 76, 204));
    EXPECT_EQ(child<QFrame>("Picture1_2")->palette().color(QPalette::Window), QColor(0, 0, 51));

    QStringList frames;
    for (auto *box : form->findChildren<QGroupBox *>()) frames << box->title();
    for (const char *title : {"Propiedades Luz Difusa", "Propiedades Luz Especular", "Propiedades Luz Emisora",
                              "Otras Propiedades", "Texturas"})
        EXPECT_TRUE(frames.contains(title)) << title;

    EXPECT_TRUE(child<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(child<QCheckBox>("Check1")->text(), "Material Texturado");
    EXPECT_EQ(text("LabelNumeroFrames"), "3");
    EXPECT_EQ(text("LabelPosicion"), "0");
    EXPECT_EQ(button("Command2_0")->text(), "Modificar Frame");
    EXPECT_TRUE(button("Command2_1")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("Text1")->text(), "250");
    EXPECT_EQ(slider("Slider2_0")->value(), 20);
    EXPECT_EQ(slider("Slider2_1")->value(), 5);
    EXPECT_FALSE(label("Image1_0")->pixmap().isNull());
    EXPECT_FALSE(label("Image1_1")->pixmap().isNull());

    auto *timer1 = child<QTimer>("Timer1");
    auto *timer2 = child<QTimer>("Timer2");
    EXPECT_EQ(timer1->interval(), 250);
    EXPECT_TRUE(timer1->isActive());
    EXPECT_EQ(timer2->interval(), 1);
    EXPECT_TRUE(timer2->isActive());
    EXPECT_EQ(form3()->muestraFrame(), 0);

    for (const char *caption : {"Número de Frames de Textura :", "Intervalo entre Frames (ms)", "Scale X ( 10 : 1.0 )",
                                "Scale Y ( 10 : 1.0 )", "Resultado Final", "Shine", "Blend", "Ka", "Kd", "Ks"}) {
        bool found = false;
        for (auto *l : form->findChildren<QLabel *>()) found = found || l->text() == QString::fromUtf8(caption);
        EXPECT_TRUE(found) << caption;
    }
    EXPECT_EQ(button("Command3")->text(), "Aceptar");
    EXPECT_EQ(button("Command4")->text(), "Cancelar");
    EXPECT_EQ(button("Command5")->text(), "OpenGL");
}

TEST_F(MaterialForm, KsFollowsKd)
{
    open(1);
    slider("Slider1_13")->setValue(30);
    EXPECT_EQ(slider("Slider1_14")->value(), 70);
    // Ks moved by hand goes back within a tick of Timer2
    slider("Slider1_14")->setValue(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider("Slider1_14")->value() == 70; }, 1000));
    close("Command3");
    EXPECT_EQ(doc->editorMaterials[1].kd, "0,3");
    EXPECT_EQ(doc->editorMaterials[1].ks, "0,7");
}

TEST_F(MaterialForm, AcceptStoresControlsAsDecimalText)
{
    open(1);
    slider("Slider1_12")->setValue(100);
    slider("Slider1_15")->setValue(0);
    slider("Slider1_16")->setValue(25);
    slider("Slider1_7")->setValue(25);
    close("Command3");
    const EditorMaterial &m = doc->editorMaterials[1];
    EXPECT_EQ(m.ka, "1,000");
    EXPECT_EQ(m.blend, "0,000");
    EXPECT_EQ(m.shine, "0,1953125");
    EXPECT_EQ(m.specular[3], "0,25");
    EXPECT_EQ(formatoFloat(m.specular[3]), "0.250");
    // untouched controls: the defaults of a new material come back through the controls
    EXPECT_EQ(m.kd, "0,9");
    EXPECT_EQ(m.ks, "0,1");
    EXPECT_EQ(m.diffuse[0], "0,898039215686275");  // 0.9 shows as 229
    EXPECT_EQ(m.emission[0], "0,000");
    EXPECT_EQ(m.diffuse[3], "1,000");
    EXPECT_EQ(m.textured, 0);
}

TEST_F(MaterialForm, ShineScaleAndUntouchedDiffuse)
{
    open(2);
    slider("Slider2_0")->setValue(25);
    close("Command3");
    const EditorMaterial &m = doc->editorMaterials[2];
    EXPECT_EQ(m.shine, "0,5");
    EXPECT_EQ(m.texScaleX, "2,5");
    EXPECT_EQ(m.texScaleY, "0,5");
    EXPECT_EQ(m.diffuse[0], "0,498039215686275");
    EXPECT_EQ(m.diffuse[3], "0,6");
    EXPECT_EQ(m.frameInterval, 250);
    EXPECT_EQ(m.frameCode, 4);
}

TEST_F(MaterialForm, ColourDialogSetsLabelsAndSwatch)
{
    open(2);
    dialogs.colours = {QColor(), QColor(10, 20, 30)};
    QTest::mouseClick(child<QFrame>("Picture1_1"), Qt::LeftButton);  // cancelled
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].kind, "colour");
    EXPECT_EQ(dialogs.asked[0].text, QColor(255, 255, 255).name());  // the swatch's colour preselected
    EXPECT_EQ(text("Label2_4"), "255");
    EXPECT_EQ(child<QFrame>("Picture1_1")->palette().color(QPalette::Window), QColor(255, 255, 255));

    QTest::mouseClick(child<QFrame>("Picture1_1"), Qt::LeftButton);
    EXPECT_EQ(text("Label2_4"), "10");
    EXPECT_EQ(text("Label2_5"), "20");
    EXPECT_EQ(text("Label2_6"), "30");
    EXPECT_EQ(child<QFrame>("Picture1_1")->palette().color(QPalette::Window), QColor(10, 20, 30));
    close("Command3");
    EXPECT_EQ(doc->editorMaterials[2].specular[0], "0,0392156862745098");
    EXPECT_EQ(doc->editorMaterials[2].specular[3], "1,000");
}

TEST_F(MaterialForm, CancelLeavesTheRecordUntouched)
{
    open(2);
    EditorMaterial before = doc->editorMaterials[2];
    slider("Slider1_12")->setValue(0);
    slider("Slider1_13")->setValue(10);
    child<QCheckBox>("Check1")->setChecked(false);
    click("Command2_1");
    dialogs.colours = {QColor(1, 2, 3)};
    QTest::mouseClick(child<QFrame>("Picture1_0"), Qt::LeftButton);
    close("Command4");
    const EditorMaterial &after = doc->editorMaterials[2];
    EXPECT_EQ(after.ka, before.ka);
    EXPECT_EQ(after.kd, before.kd);
    EXPECT_EQ(after.diffuse, before.diffuse);
    EXPECT_EQ(after.textured, 1);
    EXPECT_EQ(after.frameCode, 4);
    EXPECT_EQ(after.frames[0], "Data/a.bmp");
}

TEST_F(MaterialForm, ClosingTheWindowIsCancel)
{
    open(2);
    slider("Slider1_12")->setValue(0);
    form->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isNull(); }, 2000));
    EXPECT_EQ(doc->editorMaterials[2].ka, "0,300");
}

TEST_F(MaterialForm, FrameNavigationAndButtons)
{
    open(2);
    click("Command1_0");  // already at 0
    EXPECT_EQ(text("LabelPosicion"), "0");
    click("Command1_1");
    click("Command1_1");
    EXPECT_EQ(text("LabelPosicion"), "2");
    EXPECT_EQ(button("Command2_0")->text(), "Modificar Frame");
    click("Command1_1");
    EXPECT_EQ(text("LabelPosicion"), "3");
    EXPECT_EQ(button("Command2_0")->text(), "Insertar Frame");
    EXPECT_FALSE(button("Command2_1")->isEnabled());
    EXPECT_TRUE(label("Image1_0")->pixmap().isNull());
    click("Command1_1");  // no further than the place for a new frame
    EXPECT_EQ(text("LabelPosicion"), "3");

    // Insertar: a cancelled choice changes nothing, a chosen one becomes frame 3
    dialogs.textures = {QString(), QString("Data/a.bmp")};
    click("Command2_0");
    EXPECT_EQ(text("LabelNumeroFrames"), "3");
    EXPECT_EQ(button("Command2_0")->text(), "Insertar Frame");
    click("Command2_0");
    EXPECT_EQ(text("LabelNumeroFrames"), "4");
    EXPECT_EQ(button("Command2_0")->text(), "Modificar Frame");
    EXPECT_TRUE(button("Command2_1")->isEnabled());
    EXPECT_FALSE(label("Image1_0")->pixmap().isNull());
    EXPECT_EQ(dialogs.asked.size(), 2u);

    // Modificar frame 0
    click("Command1_0");
    click("Command1_0");
    click("Command1_0");
    dialogs.textures = {QString("Data/c.bmp")};
    click("Command2_0");
    EXPECT_EQ(text("LabelNumeroFrames"), "4");
    close("Command3");
    const EditorMaterial &m = doc->editorMaterials[2];
    EXPECT_EQ(m.frameCode, 5);
    EXPECT_EQ(m.frames[0], "Data/c.bmp");
    EXPECT_EQ(m.frames[1], "Data/b.bmp");
    EXPECT_EQ(m.frames[2], "Data/c.bmp");
    EXPECT_EQ(m.frames[3], "Data/a.bmp");
}

TEST_F(MaterialForm, DeletingTheMiddleOfThreeFramesLeavesTwoInOrder)
{
    open(2);
    click("Command1_1");
    click("Command2_1");
    EXPECT_EQ(text("LabelNumeroFrames"), "2");
    EXPECT_EQ(text("LabelPosicion"), "1");
    EXPECT_EQ(button("Command2_0")->text(), "Modificar Frame");  // frame c moved to position 1
    close("Command3");
    const EditorMaterial &m = doc->editorMaterials[2];
    EXPECT_EQ(m.textured, 1);
    EXPECT_EQ(m.frameCode, 3);
    EXPECT_EQ(m.frames[0], "Data/a.bmp");
    EXPECT_EQ(m.frames[1], "Data/c.bmp");
}

TEST_F(MaterialForm, OneFrameIsAStillTexture)
{
    open(1);
    child<QCheckBox>("Check1")->setChecked(true);
    EXPECT_EQ(text("LabelNumeroFrames"), "0");
    EXPECT_EQ(button("Command2_0")->text(), "Insertar Frame");
    dialogs.textures = {QString("Data/b.bmp")};
    click("Command2_0");
    close("Command3");
    const EditorMaterial &m = doc->editorMaterials[1];
    EXPECT_EQ(m.textured, 1);
    EXPECT_EQ(m.frameCode, 0);
    EXPECT_EQ(m.frames[0], "Data/b.bmp");
    EXPECT_EQ(m.texScaleX, "1,000");
    EXPECT_EQ(m.frameInterval, 0);
}

TEST_F(MaterialForm, TickedWithoutAFrameSavesPlain)
{
    open(1);
    child<QCheckBox>("Check1")->setChecked(true);
    dialogs.textures = {QString()};
    click("Command2_0");  // cancelled
    close("Command3");
    EXPECT_EQ(doc->editorMaterials[1].textured, 0);
    EXPECT_EQ(doc->editorMaterials[1].frames[0], "");
}

TEST_F(MaterialForm, UntickingKeepsTheFramesForLater)
{
    open(2);
    child<QCheckBox>("Check1")->setChecked(false);
    close("Command3");
    const EditorMaterial &m = doc->editorMaterials[2];
    EXPECT_EQ(m.textured, 0);
    EXPECT_EQ(m.frameCode, 4);
    EXPECT_EQ(m.frames[2], "Data/c.bmp");
    EXPECT_EQ(m.frameInterval, 250);
    EXPECT_EQ(m.texScaleX, "2,000");

    // opened again: unticked, but the frames are there to be ticked back
    open(2);
    EXPECT_FALSE(child<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(text("LabelNumeroFrames"), "3");
    child<QCheckBox>("Check1")->setChecked(true);
    close("Command3");
    EXPECT_EQ(doc->editorMaterials[2].textured, 1);
    EXPECT_EQ(doc->editorMaterials[2].frameCode, 4);
}

TEST_F(MaterialForm, FrameIntervalDrivesTheAnimation)
{
    open(2);
    auto *text1 = child<QLineEdit>("Text1");
    auto *timer1 = child<QTimer>("Timer1");
    text1->setText("-5");
    EXPECT_EQ(text1->text(), "0");
    EXPECT_FALSE(timer1->isActive());
    text1->setText("");
    EXPECT_FALSE(timer1->isActive());
    EXPECT_EQ(timer1->interval(), 0);

    // typed text: the validator only lets numbers through
    QTest::keyClicks(text1, "1x0");
    EXPECT_EQ(text1->text(), "10");
    EXPECT_TRUE(timer1->isActive());
    EXPECT_EQ(timer1->interval(), 10);
    int first = form3()->muestraFrame();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form3()->muestraFrame() == (first + 1) % 3; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form3()->muestraFrame() == (first + 2) % 3; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form3()->muestraFrame() == first; }, 2000));

    text1->setText("-5");
    close("Command3");
    EXPECT_EQ(doc->editorMaterials[2].frameInterval, 0);
}

TEST_F(MaterialForm, DeletingTheShownFrameKeepsTheAnimationInRange)
{
    open(2);
    child<QLineEdit>("Text1")->setText("0");
    click("Command1_1");
    click("Command1_1");
    // make the animation show the last frame, then delete it
    while (form3()->muestraFrame() != 2) QMetaObject::invokeMethod(child<QTimer>("Timer1"), "timeout");
    click("Command2_1");
    EXPECT_EQ(form3()->muestraFrame(), 0);
    click("Command1_0");
    click("Command1_0");
    click("Command2_1");
    click("Command2_1");
    EXPECT_EQ(text("LabelNumeroFrames"), "0");
    EXPECT_EQ(form3()->muestraFrame(), -1);
    EXPECT_TRUE(label("Image1_1")->pixmap().isNull());
    close("Command3");
    EXPECT_EQ(doc->editorMaterials[2].textured, 0);
}

TEST_F(MaterialForm, OpenGLWithoutAContextIsReported)
{
    open(1);
    click("Command5");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "OpenGL Initialization Failed!");
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogos::Critico);
    EXPECT_EQ(form3()->preview(), nullptr);
}

TEST(TextureChooser, ListsTheTexturesAndHandsBackTheChoice)
{
    TempDir dir;
    SceneDocument doc;
    doc.XMLPath = dir.path;
    doc.texturas = {"Data/a.bmp", "Data/falta.bmp"};
    writeBitmap(dir.file("Data/a.bmp"), Qt::red);

    Form2 chooser(doc);
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    EXPECT_EQ(chooser.windowTitle(), QString::fromUtf8("Selección de Textura"));
    auto *list = chooser.findChild<QListWidget *>("List1");
    auto *image = chooser.findChild<QLabel *>("Image1");
    auto *accept = chooser.findChild<QPushButton *>("Command3");
    auto *cancel = chooser.findChild<QPushButton *>("Command4");
    ASSERT_TRUE(list && image && accept && cancel);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "Data/falta.bmp");
    EXPECT_FALSE(accept->isEnabled());

    list->setCurrentRow(0);
    EXPECT_TRUE(accept->isEnabled());
    EXPECT_EQ(image->pixmap().toImage().pixelColor(image->pixmap().width() / 2, 0), QColor(Qt::red));
    list->setCurrentRow(1);  // a bitmap that cannot be read leaves the box empty
    EXPECT_TRUE(image->pixmap().isNull());
    QTest::mouseClick(accept, Qt::LeftButton);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(chooser.textSel(), "Data/falta.bmp");
}

TEST(TextureChooser, DoubleClickChoosesAndCancelChoosesNothing)
{
    SceneDocument doc;
    doc.texturas = {"Data/a.bmp", "Data/b.bmp"};
    Form2 chooser(doc);
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    auto *list = chooser.findChild<QListWidget *>("List1");
    QPoint row = list->viewport()->mapTo(&chooser, list->visualItemRect(list->item(1)).center());
    QTest::mouseDClick(chooser.windowHandle(), Qt::LeftButton, Qt::NoModifier, row);
    EXPECT_EQ(chooser.textSel(), "Data/b.bmp");
    EXPECT_EQ(chooser.result(), QDialog::Accepted);

    Form2 other(doc);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.findChild<QListWidget *>("List1")->setCurrentRow(0);
    QTest::mouseClick(other.findChild<QPushButton *>("Command4"), Qt::LeftButton);
    EXPECT_EQ(other.result(), QDialog::Rejected);
    EXPECT_TRUE(other.textSel().isEmpty());
}

// The whole way: load a scene, edit a material, save, read the file
TEST(MaterialFormInTheEditor, AnEditIsSavedAndTheMainWindowWaitsMeanwhile)
{
    TempDir dir;
    std::string scene = dir.file("escena.xml");
    writeFile(scene, prologue + "<escena><IDMaterial codigo=\"(default)\"><pBlend>1.000</pBlend><pShine>0.500</pShine>"
                                  "<texturado>0</texturado><Ka>1.000</Ka><Kd>0.900</Kd><Ks>0.100</Ks><pLuzDif><R>0.500</R>"
                                  "<G>0.000</G><B>1.000</B><A>1.000</A></pLuzDif><pLuzEsp><R>0.100</R><G>0.100</G>"
                                  "<B>0.100</B><A>1.000</A></pLuzEsp><pLuzEmi><R>0.000</R><G>0.000</G><B>0.000</B>"
                                  "<A>1.000</A></pLuzEmi></IDMaterial></escena>\n");
    ScriptedDialogs dialogs;
    Form1 window(&dialogs);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    dialogs.files = {QString::fromStdString(scene)};
    window.findChild<QAction *>("cargar")->trigger();
    auto *materials = window.findChild<QListWidget *>("List1_0");
    ASSERT_EQ(materials->count(), 1);
    materials->setCurrentRow(0);
    QTest::mouseClick(window.findChild<QPushButton *>("Command1_1"), Qt::LeftButton);
    QPointer<QDialog> form = window.formMaterial();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), form.data());

    // the main window takes no input: a click on "Nuevo Material" asks nothing
    auto clickNew = [&] {
        QPushButton *newMaterial = window.findChild<QPushButton *>("Command1_0");
        QPoint centre = newMaterial->mapTo(&window, newMaterial->rect().center());
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
    };
    clickNew();
    EXPECT_EQ(dialogs.asked.size(), 1u);

    form->findChild<QSlider *>("Slider1_12")->setValue(25);
    QTest::mouseClick(form->findChild<QPushButton *>("Command3"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.isNull(); }, 2000));

    window.findChild<QAction *>("guardar")->trigger();
    std::string saved = readFile(scene);
    EXPECT_NE(saved.find("<Ka>0.250</Ka>"), std::string::npos);
    EXPECT_NE(saved.find("<pLuzDif><R>0.498039215686275</R><G>0.000</G><B>1.000</B><A>1.000</A></pLuzDif>"),
              std::string::npos);
    EXPECT_NE(saved.find("<Kd>0.900</Kd><Ks>0.100</Ks>"), std::string::npos);

    // input again once the form is gone
    dialogs.inputs = {QString()};
    clickNew();
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_EQ(dialogs.asked.back().kind, "input");
}

int main(int argc, char **argv)
{
    // NOTE: also set here because the test listing runs without the test environment; no
    // GLX so that the offscreen platform has no OpenGL whatever display is around
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_OFFSCREEN_NO_GLX", "1");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
