// matforge's main window on a private Xvfb server (Qt's xcb platform) with the real Qt
// dialogs, answered by keys as a user would: the unsaved-changes question when the window
// closes (Escape keeps the window and the edit, Enter saves), the conflict box (Escape, Enter
// and its close button lose nothing), Guardar como "copia" in the file dialog and the Ctrl+S
// after it, a truncated scene refused, Ctrl+Z back to the file as loaded byte for byte, Qt's
// texts in Spanish, and the real program opening the file named on its command line.
#include "form1.h"
#include "idioma.h"
#include "matforge_dialogs.h"
#include "matforge_files.h"
#include "stageworks_run.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>

using namespace mftest;

namespace {

xdriver::XServer &server()
{
    static xdriver::XServer instance;
    return instance;
}

// Dialogs that an answer did not close and were rejected after the time-out
int leftOpen = 0;

// Runs `command`, answering the modal dialogs it opens in turn, each once it shows; the
// number answered. A dialog left open past the time is rejected (and counted) so that the
// test ends.
using Answer = std::function<void(QWidget *)>;
size_t answerModals(const std::function<void()> &command, const std::vector<Answer> &answers, int timeoutMs = 10000)
{
    size_t next = 0;
    QPointer<QWidget> last;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        const bool shown = dialog != nullptr && dialog->isVisible() && dialog->windowHandle() != nullptr &&
                           dialog->windowHandle()->isExposed();
        if (shown && dialog != last && next < answers.size()) {
            last = dialog;
            answers[next++](dialog);
        } else if (clock.elapsed() > timeoutMs) {
            if (auto *open = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                leftOpen++;
                open->reject();
            }
        }
    });
    poll.start();
    command();
    return next;
}

// One modal dialog of type T answered
template <typename T>
bool answerModal(const std::function<void()> &command, const std::function<void(T *)> &answer)
{
    return answerModals(command, {[&](QWidget *dialog) {
                            T *typed = qobject_cast<T *>(dialog);
                            ASSERT_NE(typed, nullptr) << dialog->metaObject()->className();
                            answer(typed);
                        }}) == 1;
}

// A message box that is closed by Enter, its text kept
Answer enterOnBox(QString *text = nullptr)
{
    return [text](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        ASSERT_NE(box, nullptr) << dialog->metaObject()->className();
        if (text != nullptr) *text = box->text();
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
    };
}

// A key pressed in a window as the X server would hand it over (to its focus widget)
void press(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

// The texts of a message box's buttons, in order
QStringList buttonTexts(QMessageBox *box)
{
    QStringList texts;
    for (QAbstractButton *button : box->buttons()) texts << button->text();
    return texts;
}

class RealDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server().display.empty()) << "no private X server";
        scene = installScene(dir, "escena_stageworks.xml");
        window = std::make_unique<Form1>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        leftOpen = 0;
    }
    void TearDown() override { EXPECT_EQ(leftOpen, 0) << "a dialog did not close by its answer"; }
    void open(const std::string &path)
    {
        ASSERT_TRUE(window->abreEscena(QString::fromStdString(path)));
        activate();
    }
    // NOTE: without a window manager nobody gives the focus back to the main window when a
    // dialog closes, as a desktop would; the test does
    void activate()
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // A key of the menus (Ctrl+S...) pressed in the main window
    void shortcut(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        activate();
        press(window.get(), key, modifiers);
    }
    QListWidget *materials() { return window->findChild<QListWidget *>("List1_0"); }
    bool hasMaterial(const char *name) { return !materials()->findItems(name, Qt::MatchExactly).isEmpty(); }
    // Delete on a material of the list, and "Sí" to the question
    void deleteMaterial(const char *name)
    {
        materials()->setCurrentItem(materials()->findItems(name, Qt::MatchExactly).value(0));
        materials()->setFocus();
        EXPECT_TRUE(answerModal<QMessageBox>([&] { press(window.get(), Qt::Key_Delete); }, [](QMessageBox *box) {
            EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QString::fromUtf8("&Sí"));  // Qt's texts in Spanish
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        }));
        EXPECT_FALSE(hasMaterial(name));
    }
    // Ctrl+S, with the box that confirms the save closed by Enter
    void saveWithCtrlS()
    {
        QString said;
        EXPECT_EQ(answerModals([&] { shortcut(Qt::Key_S, Qt::ControlModifier); }, {enterOnBox(&said)}), 1u);
        EXPECT_EQ(said, "XML actualizado correctamente.");
    }

    TempDir dir;
    std::string scene;
    std::unique_ptr<Form1> window;
};

}  // namespace

TEST_F(RealDialogs, ClosingWithAnEditAsksEscapeKeepsItEnterSavesIt)
{
    open(scene);
    const std::string original = readFile(scene);
    deleteMaterial("agua");
    for (int way = 0; way < 2; way++) {  // Escape, then the box's own close button
        bool closed = true;
        EXPECT_TRUE(answerModal<QMessageBox>([&] { closed = window->close(); }, [&](QMessageBox *box) {
            EXPECT_EQ(buttonTexts(box), (QStringList{"Guardar", "Descartar", "Cancelar"}));
            ASSERT_NE(box->defaultButton(), nullptr);
            EXPECT_EQ(box->defaultButton()->text(), "Guardar");
            if (way == 0) press(box, Qt::Key_Escape);
            else box->close();
        }));
        EXPECT_FALSE(closed);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(hasMaterial("agua"));
        EXPECT_EQ(window->windowHandle()->title(), "escena.xml* - matforge");
        EXPECT_EQ(readFile(scene), original);
    }
    bool closed = false;
    EXPECT_EQ(answerModals([&] { closed = window->close(); }, {enterOnBox()}), 1u);
    EXPECT_TRUE(closed);
    const std::string saved = readFile(scene);
    EXPECT_EQ(saved.find("codigo=\"agua\""), std::string::npos);
    EXPECT_NE(saved.find("codigo=\"ladrillo\""), std::string::npos);
}

TEST_F(RealDialogs, TheConflictBoxLosesNothingByEscapeEnterOrItsCloseButton)
{
    open(scene);
    const std::string loaded = readFile(scene);
    deleteMaterial("uno");
    std::string edited = loaded;  // someone else adds a material on disk meanwhile
    edited.insert(edited.find("<Flags>"), "<IDMaterial codigo=\"amano\">" +
                                              loaded.substr(loaded.find("<pBlend>"), loaded.find("</IDMaterial>") -
                                                                                         loaded.find("<pBlend>")) +
                                              "</IDMaterial>");
    writeFile(scene, edited);
    for (int way = 0; way < 3; way++) {
        EXPECT_TRUE(answerModal<QMessageBox>([&] { shortcut(Qt::Key_S, Qt::ControlModifier); },
                                             [&](QMessageBox *box) {
                                                 EXPECT_EQ(buttonTexts(box),
                                                           (QStringList{"Recargar", "Sobrescribir", "Cancelar"}));
                                                 ASSERT_NE(box->defaultButton(), nullptr);
                                                 EXPECT_EQ(box->defaultButton()->text(), "Cancelar");
                                                 if (way == 0) press(box, Qt::Key_Escape);
                                                 if (way == 1) press(box, Qt::Key_Return);
                                                 if (way == 2) box->close();
                                             }))
            << way;
        EXPECT_EQ(readFile(scene), edited) << way;
        EXPECT_FALSE(hasMaterial("uno")) << way;
        EXPECT_FALSE(hasMaterial("amano")) << way;
        EXPECT_TRUE(window->isWindowModified()) << way;
    }
}

TEST_F(RealDialogs, SaveAsCopiaWritesCopiaXmlAndCtrlSFollowsIt)
{
    open(scene);
    const std::string original = readFile(scene);
    QString confirmed;
    const Answer saveAsCopia = [&](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        ASSERT_NE(dialog, nullptr) << widget->metaObject()->className();
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        ASSERT_TRUE(name != nullptr && buttons != nullptr);
        EXPECT_EQ(name->text(), "escena.xml");  // the current name offered
        EXPECT_EQ(buttons->button(QDialogButtonBox::Save)->text(), "&Guardar");
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, "copia");
        press(dialog, Qt::Key_Return);
    };
    EXPECT_EQ(answerModals([&] { shortcut(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier); },
                           {saveAsCopia, enterOnBox(&confirmed)}),
              2u);
    EXPECT_EQ(confirmed, "XML guardado correctamente.");
    // the scene as matforge writes it (its one-frame animation as the still texture it is)
    EXPECT_TRUE(readFile(dir.file("copia.xml")) == dataFile("escena_stageworks_guardada.xml"));
    EXPECT_EQ(window->windowHandle()->title(), "copia.xml - matforge");

    activate();
    deleteMaterial("agua");
    saveWithCtrlS();
    EXPECT_TRUE(readFile(scene) == original);
    EXPECT_EQ(readFile(dir.file("copia.xml")).find("codigo=\"agua\""), std::string::npos);
}

TEST_F(RealDialogs, ATruncatedSceneIsRefusedWithTheLineAndNothingIsWritten)
{
    const std::string truncated = readFile(std::string(SW_RUNDATA_DIR) + "/escena.xml").substr(0, 5000);
    writeFile(scene, truncated);
    QString said;
    bool opened = true;
    EXPECT_EQ(answerModals([&] { opened = window->abreEscena(QString::fromStdString(scene)); }, {enterOnBox(&said)}), 1u);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(said.contains(QString::fromUtf8("no es XML bien formado: línea ")) && said.contains("cortado"))
        << said.toStdString();
    EXPECT_EQ(window->windowHandle()->title(), "Editor Materiales XML - matforge");
    EXPECT_FALSE(window->findChild<QGroupBox *>("frameMateriales")->isVisible());
    EXPECT_EQ(readFile(scene), truncated);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);  // the scene and the DTD
}

TEST_F(RealDialogs, UndoAfterADeleteThenSaveGivesTheFileAsLoadedByteForByte)
{
    // the demo scene as stageworks writes it
    writeFile(scene, readFile(std::string(SW_RUNDATA_DIR) + "/escena.xml"));
    const std::string original = readFile(scene);
    open(scene);
    deleteMaterial("ladrillo");
    shortcut(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(hasMaterial("ladrillo"));
    EXPECT_FALSE(window->isWindowModified());
    saveWithCtrlS();
    EXPECT_TRUE(readFile(scene) == original);
}

// The real program, as the desktop entry starts it: matforge DIR/escena.xml
TEST(CommandLine, MatforgeOpensTheSceneNamedOnItsCommandLine)
{
    TempDir dir, config;
    const std::string scene = installScene(dir, "escena_stageworks.xml");
    xdriver::XClient client;
    ASSERT_TRUE(client.open(server().display));
    xdriver::ChildProcess app;
    ASSERT_TRUE(app.spawn({MF_MATFORGE_BIN, scene}, config.path, server().display,
                          {"QT_QPA_PLATFORM=xcb", "XDG_CONFIG_HOME=" + config.path, "HOME=" + config.path}));
    std::vector<std::string> titles;
    EXPECT_TRUE(xdriver::waitUntil(
        [&] {
            app.pump(0);
            titles = client.windowTitles();
            return std::find(titles.begin(), titles.end(), "escena.xml - matforge") != titles.end();
        },
        30000, 50))
        << (titles.empty() ? std::string("no window") : titles[0]) << "\n" << app.err;
    // the scene goes into the recent list of that configuration
    EXPECT_TRUE(xdriver::waitUntil(
        [&] { return readFile(config.file("stageworks/matforge.conf")).find(scene) != std::string::npos; }, 10000));
    EXPECT_FALSE(app.exited) << app.err;
    app.kill();
}

int main(int argc, char **argv)
{
    bool listing = false;
    for (int i = 1; i < argc; i++) listing = listing || std::string(argv[i]).rfind("--gtest_list_tests", 0) == 0;
    if (!listing) {
        xdriver::setScriptsDir(std::string(SW_SOURCE_DIR) + "/scripts");
        if (server().start(true)) setenv("DISPLAY", server().display.c_str(), 1);
        privateSettings();
    }
    qputenv("QT_QPA_PLATFORM", listing ? "offscreen" : "xcb");
    QApplication app(argc, argv);
    instalaTraduccionesQt(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
