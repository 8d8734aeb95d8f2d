// matforge's OpenGL preview on the private X server (Qt's xcb platform, a real GL
// context): the sphere in the form's colours over the blue background, blending, the
// highlight, a textured sphere turned by a mouse drag sent through XTest, and closing with
// the form.
#include "form3.h"
#include "matforge_dialogs.h"
#include "matforge_files.h"
#include "oglwin.h"
#include "xdriver.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

using namespace mftest;

namespace {

xdriver::XServer &server()
{
    static xdriver::XServer instance;
    return instance;
}

// Colour of an image at a point, 0 to 255
struct Rgb {
    int r = 0, g = 0, b = 0;
};

Rgb at(const QImage &image, int x, int y)
{
    QRgb pixel = image.pixel(x, y);
    return {qRed(pixel), qGreen(pixel), qBlue(pixel)};
}

// A 64x64 bitmap written by Qt as a 24-bit BMP: the top quarter `top`, the bottom quarter
// `bottom`, and between them the left half `left` and the right half `right`
void writeTexture(const std::string &path, const QColor &top, const QColor &bottom, const QColor &left,
                  const QColor &right)
{
    QImage image(64, 64, QImage::Format_RGB888);
    for (int y = 0; y < 64; y++) {
        for (int x = 0; x < 64; x++) {
            QColor colour = y < 16 ? top : y >= 48 ? bottom : x < 32 ? left : right;
            image.setPixelColor(x, y, colour);
        }
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
}

// Pixels that differ between two images of the same size
int differentPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); y++) {
        for (int x = 0; x < a.width(); x++) count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

// Pixels of an image whose green is above a level (the red sphere has no green of its own)
int greenPixels(const QImage &image, int level)
{
    int count = 0;
    for (int y = 0; y < image.height(); y++) {
        for (int x = 0; x < image.width(); x++) count += qGreen(image.pixel(x, y)) > level;
    }
    return count;
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server().display.empty()) << "no private X server";
        doc = std::make_unique<SceneDocument>();
        doc->XMLPath = dir.path;
        ASSERT_EQ(nuevoMaterial(*doc, "esfera"), ALTA_OK);
        EditorMaterial &material = doc->editorMaterials[0];
        // Pure diffuse red, no ambient, no emission, no highlight
        material.ka = "0,0";
        material.kd = "1,0";
        material.ks = "0,0";
        material.diffuse = {"1,0", "0,0", "0,0", "1,0"};
        material.specular = {"1,0", "1,0", "1,0", "1,0"};
    }

    void TearDown() override
    {
        if (form) form->close();
        QTest::qWait(20);
    }

    // Opens the form and its preview; false when the preview did not show
    void open()
    {
        form = new Form3(*doc, 0, dialogs);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->move(300, 0);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        QTest::mouseClick(form->findChild<QPushButton *>("Command5"), Qt::LeftButton);
        ASSERT_NE(form->preview(), nullptr);
        preview = form->preview();
        preview->move(0, 0);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
        ASSERT_TRUE(QTest::qWaitFor([&] { return preview->glView1()->isValid(); }, 5000));
    }

    QSlider *slider(const char *name) { return form->findChild<QSlider *>(name); }
    QPushButton *button(const char *name) { return form->findChild<QPushButton *>(name); }

    // Makes the material textured with the given frames, each a generated bitmap
    void textured(std::initializer_list<std::string> frames)
    {
        EditorMaterial &material = doc->editorMaterials[0];
        material.textured = 1;
        material.diffuse = {"1,0", "1,0", "1,0", "1,0"};
        int count = 0;
        for (const std::string &frame : frames) {
            doc->texturas.push_back(frame);
            material.frames[count++] = frame;
        }
        material.frameCode = (int16_t)(count == 1 ? 0 : count + 1);
        material.frameInterval = 0;
    }

    // Drags on the view with the first button through XTest, from its centre by dx pixels
    void drag(int dx, int dy)
    {
        xdriver::XClient client;
        ASSERT_TRUE(client.open(server().display));
        QWidget *view = preview->glView1();
        QPoint start = view->mapToGlobal(QPoint(view->width() / 2, view->height() / 2));
        client.moveMouse(start.x(), start.y());
        client.sync();
        QTest::qWait(50);
        client.button(1, true);
        client.sync();
        QTest::qWait(50);
        const int steps = 6;
        for (int i = 1; i <= steps; i++) {
            client.moveMouse(start.x() + dx * i / steps, start.y() + dy * i / steps);
            client.sync();
            QTest::qWait(30);
        }
        client.button(1, false);
        client.sync();
        QTest::qWait(50);
    }

    // A grab after the controls settled (the small sphere keeps the previous frame's material)
    QImage settled()
    {
        grab();
        return grab();
    }

    QImage grab()
    {
        QImage image = preview->glView1()->grabFramebuffer();
        if (const char *keep = std::getenv("MF_PREVIEW_PNG")) {
            std::string name = std::string(keep) + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                               std::to_string(grabs++) + ".png";
            image.save(QString::fromStdString(name));
            form->grab().save(QString::fromStdString(name + ".form.png"));
        }
        return image;
    }

    TempDir dir;
    std::unique_ptr<SceneDocument> doc;
    ScriptedDialogs dialogs;
    QPointer<Form3> form;
    QPointer<OGLWin> preview;
    int grabs = 0;
};

}  // namespace

TEST_F(Preview, SphereInTheDiffuseColourOverTheBackground)
{
    open();
    QImage image = grab();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(preview->windowTitle(), "Visor OpenGL");
    int w = image.width(), h = image.height();
    Rgb corner = at(image, 2, h - 3);
    EXPECT_NEAR(corner.r, 0, 1);
    EXPECT_NEAR(corner.g, 64, 1);
    EXPECT_NEAR(corner.b, 128, 1);
    Rgb centre = at(image, w / 2, h / 2);
    EXPECT_GT(centre.r, 200);
    EXPECT_LT(centre.g, 10);
    EXPECT_LT(centre.b, 10);
}

TEST_F(Preview, BlendFiftyMakesTheSphereHalfTransparent)
{
    open();
    slider("Slider1_15")->setValue(50);
    QImage image = grab();
    Rgb centre = at(image, image.width() / 2, image.height() / 2);
    // half the red over half the background (0, 64, 128)
    EXPECT_NEAR(centre.r, 128, 3);
    EXPECT_NEAR(centre.g, 32, 3);
    EXPECT_NEAR(centre.b, 64, 3);
    // the diffuse alpha weighs in too: 50 x 50 % is a quarter
    slider("Slider1_3")->setValue(50);
    centre = at(grab(), image.width() / 2, image.height() / 2);
    EXPECT_NEAR(centre.r, 64, 3);
    EXPECT_NEAR(centre.g, 48, 3);
    EXPECT_NEAR(centre.b, 96, 3);
}

TEST_F(Preview, ShineAndKdShapeTheHighlight)
{
    open();
    // Kd 100 leaves Ks at 0: no highlight at all
    EXPECT_EQ(slider("Slider1_14")->value(), 0);
    EXPECT_EQ(greenPixels(settled(), 100), 0);

    slider("Slider1_13")->setValue(50);
    EXPECT_EQ(slider("Slider1_14")->value(), 50);
    slider("Slider1_16")->setValue(0);
    int wide = greenPixels(settled(), 100);
    slider("Slider1_16")->setValue(16);
    int medium = greenPixels(settled(), 100);
    slider("Slider1_16")->setValue(128);
    QImage sharp = settled();
    int small = greenPixels(sharp, 100);
    EXPECT_GT(wide, medium);
    EXPECT_GT(medium, small);
    EXPECT_GT(small, 0);
    // at 0 the highlight covers the lit sphere: most of the view
    EXPECT_GT(wide, sharp.width() * sharp.height() / 3);
}

TEST_F(Preview, ColourChosenInTheFormShowsAtOnce)
{
    open();
    dialogs.colours = {QColor(0, 0, 255)};
    QWidget *swatch = form->findChild<QWidget *>("Picture1_0");
    ASSERT_NE(swatch, nullptr);
    QTest::mouseClick(swatch, Qt::LeftButton);
    QImage image = grab();
    Rgb centre = at(image, image.width() / 2, image.height() / 2);
    EXPECT_LT(centre.r, 10);
    EXPECT_LT(centre.g, 10);
    EXPECT_GT(centre.b, 200);
}

TEST_F(Preview, TexturedSphereTurnsAQuarterTurnForANinetyPixelDrag)
{
    writeTexture(dir.file("Data/bandas.bmp"), Qt::green, Qt::yellow, Qt::red, Qt::blue);
    textured({"Data/bandas.bmp"});
    open();
    QImage before = grab();
    int cx = before.width() / 2, cy = before.height() / 2;
    // facing the viewer: the top rows of the bitmap (the pole of the sphere)
    Rgb facing = at(before, cx, cy);
    EXPECT_GT(facing.g, 200);
    EXPECT_LT(facing.r, 30);
    EXPECT_LT(facing.b, 30);

    drag(90, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview->glView1()->yaw() == 90.0; }, 3000))
        << preview->glView1()->yaw();
    EXPECT_EQ(preview->glView1()->pitch(), 0.0);
    QImage after = grab();
    // a quarter turn about Y brings the side of the sphere to the front: the middle rows,
    // on the left half of the bitmap (gluSphere runs its s coordinate from +y towards -x)
    facing = at(after, cx, cy);
    EXPECT_GT(facing.r, 200);
    EXPECT_LT(facing.g, 30);
    EXPECT_LT(facing.b, 30);
    EXPECT_GT(differentPixels(before, after), before.width() * before.height() / 4);

    // Scale X 4.0 repeats the bitmap four times around: s 0.18 becomes 0.72, the right half
    slider("Slider2_0")->setValue(40);
    facing = at(grab(), cx, cy);
    EXPECT_GT(facing.b, 200);
    EXPECT_LT(facing.r, 30);

    // a vertical drag turns it about X
    drag(0, 30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview->glView1()->pitch() == 30.0; }, 3000));
    EXPECT_EQ(preview->glView1()->yaw(), 90.0);
}

TEST_F(Preview, TheShownFrameIsRemadeWhenItsNameChanges)
{
    writeTexture(dir.file("Data/verde.bmp"), Qt::green, Qt::green, Qt::green, Qt::green);
    writeTexture(dir.file("Data/rojo.bmp"), Qt::red, Qt::red, Qt::red, Qt::red);
    textured({"Data/verde.bmp", "Data/rojo.bmp"});
    open();
    ASSERT_EQ(form->muestraFrame(), 0);
    QImage image = grab();
    int cx = image.width() / 2, cy = image.height() / 2;
    EXPECT_GT(at(image, cx, cy).g, 200);

    // frame 0 deleted: the shown frame 0 is now the red bitmap
    QTest::mouseClick(button("Command2_1"), Qt::LeftButton);
    Rgb facing = at(grab(), cx, cy);
    EXPECT_GT(facing.r, 200);
    EXPECT_LT(facing.g, 30);

    // unticked: the plain white material
    form->findChild<QWidget *>("Check1")->setProperty("checked", false);
    facing = at(grab(), cx, cy);
    EXPECT_GT(facing.r, 200);
    EXPECT_GT(facing.g, 200);
    EXPECT_GT(facing.b, 200);
}

TEST_F(Preview, AMissingBitmapDrawsThePlainMaterial)
{
    textured({"Data/no_existe.bmp"});
    doc->editorMaterials[0].diffuse = {"1,0", "0,0", "0,0", "1,0"};
    open();
    QImage image = grab();
    Rgb centre = at(image, image.width() / 2, image.height() / 2);
    EXPECT_GT(centre.r, 200);
    EXPECT_LT(centre.g, 10);
}

TEST_F(Preview, ThePreviewClosesWithTheForm)
{
    open();
    // a second "OpenGL" brings the same window forward
    QTest::mouseClick(button("Command5"), Qt::LeftButton);
    EXPECT_EQ(form->preview(), preview.data());
    EXPECT_EQ(form->findChildren<OGLWin *>().size(), 1);
    // it keeps drawing on its own timer
    EXPECT_TRUE(QTest::qWaitFor([&] { return !preview->glView1()->grabFramebuffer().isNull(); }, 1000));

    QTest::mouseClick(button("Command4"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview.isNull() && form.isNull(); }, 3000));
}

TEST_F(Preview, ClosingThePreviewLeavesTheFormOpen)
{
    open();
    preview->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview.isNull(); }, 3000));
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->preview(), nullptr);
    // and it opens again
    open();
    EXPECT_FALSE(grab().isNull());
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
