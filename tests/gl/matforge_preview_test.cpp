// matforge's OpenGL preview on the private X server (Qt's xcb platform, a real GL
// context): the sphere in the form's colour over the blue background, blending, the
// highlight, a textured sphere turned by a mouse drag sent through XTest, and closing with
// the form.
#include "form3.h"
#include "matforge_dialogs.h"
#include "matforge_files.h"
#include "oglwin.h"
#include "xdriver.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace mftest;

namespace {

xdriver::XServer &server()
{
    static xdriver::XServer instance;
    return instance;
}

// The colour at the centre of an image
QColor centre(const QImage &image) { return image.pixelColor(image.width() / 2, image.height() / 2); }

// Pixels of an image whose green is above 100 (the red sphere has no green of its own)
int greenPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); y++)
        for (int x = 0; x < image.width(); x++) count += qGreen(image.pixel(x, y)) > 100;
    return count;
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server().display.empty()) << "no private X server";
        doc.XMLPath = dir.path;
        ASSERT_EQ(nuevoMaterial(doc, "esfera"), ALTA_OK);
        EditorMaterial &material = doc.editorMaterials[0];  // pure diffuse red, no ambient, no highlight
        material.ka = material.ks = "0,0";
        material.kd = "1,0";
        material.diffuse = {"1,0", "0,0", "0,0", "1,0"};
        material.specular = {"1,0", "1,0", "1,0", "1,0"};
    }
    void TearDown() override
    {
        if (form) form->close();
        QTest::qWait(20);
    }
    void open()
    {
        form = static_cast<Form3 *>(abreForm3(nullptr, doc, 0, dialogs));
        form->move(300, 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        QTest::mouseClick(form->findChild<QPushButton *>("Command5"), Qt::LeftButton);
        ASSERT_NE(preview = form->preview(), nullptr);
        preview->move(0, 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
        ASSERT_TRUE(QTest::qWaitFor([&] { return preview->glView1()->isValid(); }, 5000));
    }
    QSlider *slider(const char *name) { return form->findChild<QSlider *>(name); }
    // A grab after the controls settled (the small sphere keeps the previous frame's material)
    QImage grab()
    {
        preview->glView1()->grabFramebuffer();
        return preview->glView1()->grabFramebuffer();
    }

    TempDir dir;
    SceneDocument doc;
    ScriptedDialogs dialogs;
    QPointer<Form3> form;
    QPointer<OGLWin> preview;
};

}  // namespace

TEST_F(Preview, SphereColourBlendAndHighlight)
{
    open();
    EXPECT_EQ(preview->windowTitle(), "Visor OpenGL");
    QImage image = grab();
    QColor corner = image.pixelColor(2, image.height() - 3), middle = centre(image);
    EXPECT_NEAR(corner.green(), 64, 1);
    EXPECT_NEAR(corner.blue(), 128, 1);
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green() + middle.blue(), 20);
    EXPECT_EQ(greenPixels(image), 0);  // Kd 100 leaves Ks at 0: no highlight at all

    slider("Slider1_15")->setValue(50);  // half the red over half the background (0, 64, 128)
    middle = centre(grab());
    EXPECT_NEAR(middle.red(), 128, 3);
    EXPECT_NEAR(middle.green(), 32, 3);
    EXPECT_NEAR(middle.blue(), 64, 3);

    slider("Slider1_15")->setValue(100);
    slider("Slider1_13")->setValue(50);  // Ks 50: the sharper the shine, the smaller the highlight
    int shines[3] = {0, 16, 128}, counts[3];
    for (int i = 0; i < 3; i++) {
        slider("Slider1_16")->setValue(shines[i]);
        counts[i] = greenPixels(grab());
    }
    EXPECT_GT(counts[0], counts[1]);
    EXPECT_GT(counts[1], counts[2]);
    EXPECT_GT(counts[2], 0);
}

TEST_F(Preview, TexturedSphereTurnsAQuarterTurnForANinetyPixelDragAndClosesWithTheForm)
{
    // the top quarter green (the pole faces the viewer), the middle rows red on the left half
    QImage bitmap(64, 64, QImage::Format_RGB888);
    bitmap.fill(Qt::blue);
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < (y < 16 ? 64 : 32); x++) bitmap.setPixelColor(x, y, y < 16 ? Qt::green : Qt::red);
    ASSERT_TRUE(bitmap.save(QString::fromStdString(dir.file("bandas.bmp")), "BMP"));
    EditorMaterial &material = doc.editorMaterials[0];
    material.textured = 1;
    material.diffuse = {"1,0", "1,0", "1,0", "1,0"};
    material.frames[0] = "bandas.bmp";
    open();
    EXPECT_GT(centre(grab()).green(), 200);

    xdriver::XClient client;  // a drag of 90 pixels to the right, through XTest
    ASSERT_TRUE(client.open(server().display));
    QPoint start = preview->glView1()->mapToGlobal(preview->glView1()->rect().center());
    for (int i = 0; i <= 6; i++) {
        client.moveMouse(start.x() + 15 * i, start.y());
        if (i == 0) client.button(1, true);
        client.sync();
        QTest::qWait(40);
    }
    client.button(1, false);
    client.sync();
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview->glView1()->yaw() == 90.0; }, 3000)) << preview->glView1()->yaw();
    QColor facing = centre(grab());  // the side of the sphere: the middle rows, left half
    EXPECT_GT(facing.red(), 200);
    EXPECT_LT(facing.green() + facing.blue(), 60);

    QTest::mouseClick(form->findChild<QPushButton *>("Command4"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview.isNull() && form.isNull(); }, 3000));
}

int main(int argc, char **argv)
{
    bool listing = false;
    for (int i = 1; i < argc; i++) listing = listing || std::string(argv[i]).rfind("--gtest_list_tests", 0) == 0;
    if (!listing) {
        xdriver::setScriptsDir(std::string(SW_SOURCE_DIR) + "/scripts");
        if (server().start(false)) setenv("DISPLAY", server().display.c_str(), 1);
    }
    qputenv("QT_QPA_PLATFORM", listing ? "offscreen" : "xcb");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
