// A scene file from a stranger: the DTD read is always the scene directory's own, whatever the
// DOCTYPE says and never through a link out of it; no entity naming a file is read (an outside
// file's first word never reaches the flags); a scene file that is a pipe, a device or too large
// is refused before it is read. And what a save may write over: the file whose load failed is
// kept beside it first, a file whose objects or flags another program changed is written only
// at a second request in time (and kept beside it), a change of matforge's sections alone is
// taken over, a read-only file is refused.
#include "scene_file_support.h"

#include "material_sync.h"
#include "save_guard.h"
#include "scene_file.h"

#include <fcntl.h>
#include <sys/stat.h>

using namespace scene_file_test;

namespace {

const std::string SECRET = "PALABRASECRETA";

// True when text ends with tail (libxml2's own messages come before ours)
bool endsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The last part of a path
std::string lastPart(const std::string &path) { return path.substr(path.rfind('/') + 1); }

// A scene directory with a folder beside it that a hostile scene tries to reach
class SceneSafety : public SceneDirTest {
protected:
    std::string outside;

    void SetUp() override
    {
        SceneDirTest::SetUp();
        outside = dir + "-fuera";
        ASSERT_EQ(mkdir(outside.c_str(), 0755), 0);
        writeFile(outside + "/secreto.txt", SECRET + " y mas\n");
        // a DTD that would accept any content under escena
        writeFile(outside + "/suelta.dtd", "<!ELEMENT escena ANY><!ELEMENT Raro EMPTY>");
    }
    void TearDown() override
    {
        SceneDirTest::TearDown();
        ASSERT_EQ(std::system(("rm -rf '" + outside + "'").c_str()), 0);
    }

    // escena.xml with its own DOCTYPE line (internal subset included) and body
    std::string withDoctype(const std::string &doctype, const std::string &body)
    {
        return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + doctype + "\n<escena>" + body + "</escena>\n";
    }
};

const std::string FLAGS_WITH_ENTITY = "<Flags><Flag>&x;</Flag><Value>1</Value></Flags>";

// A document as a save writes it, after the object at slot 0 was moved to x
std::string movedFirstObject(const std::string &document, const std::string &x)
{
    std::string moved = document;
    const size_t at = moved.find("<X>");
    moved.replace(at, moved.find("</X>", at) - at, "<X>" + x);
    return moved;
}

// Replaces escena.xml as another program does: a new file renamed over it
void replaceScene(const std::string &text)
{
    writeFile("otro.tmp", text);
    ASSERT_EQ(rename("otro.tmp", "escena.xml"), 0);
}

}  // namespace

TEST_F(SceneSafety, OnlyTheScenesOwnDtdIsReadWhateverTheDoctypeNames)
{
    const std::string valid = "<Flags><Flag>A</Flag><Value>1</Value></Flags>";
    int result = -1;
    for (const std::string &named : {outside + "/suelta.dtd", std::string("../") + lastPart(outside) + "/suelta.dtd",
                                     std::string("/no/such/file.dtd")}) {
        const std::string doctype = "<!DOCTYPE escena SYSTEM \"" + named + "\">";
        // what the named DTD would allow is refused by the scene's own
        EXPECT_TRUE(endsWith(loadText(withDoctype(doctype, "<Raro/>"), &result), "\nFailed to validate escena.xml\n"))
            << named;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(loadText(withDoctype(doctype, valid), &result), "") << named;
        EXPECT_EQ(result, 1);
        EXPECT_NE(findFlag("A"), nullptr);
    }

    // the scene's DTD itself must lie inside the scene directory and be a regular file
    const std::string scene = withDoctype("<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">", valid);
    ASSERT_EQ(rename("DESCscene.dtd", (outside + "/DESCscene.dtd").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/DESCscene.dtd").c_str(), "DESCscene.dtd"), 0);
    EXPECT_TRUE(endsWith(loadText(scene, &result), "Failed to validate escena.xml\nError: scene file \"escena.xml\" not "
                                                   "loaded: \"DESCscene.dtd\": no such file in the scene directory\n"));
    ASSERT_EQ(remove("DESCscene.dtd"), 0);
    ASSERT_EQ(mkfifo("DESCscene.dtd", 0644), 0);
    EXPECT_TRUE(endsWith(loadText(scene, &result), "Failed to validate escena.xml\nError: scene file \"escena.xml\" not "
                                                   "loaded: \"DESCscene.dtd\": not a regular file\n"));
    EXPECT_EQ(result, 0);
}

TEST_F(SceneSafety, NoEntityNamingAFileIsReadAndTheDocumentIsRefused)
{
    ASSERT_EQ(mkfifo((outside + "/tuberia").c_str(), 0644), 0);
    addFlag(newFlagRecord("ANTES", 7));
    const std::string secret = "../" + lastPart(outside) + "/secreto.txt";
    struct Case {
        std::string doctype, body, named;
    } cases[] = {
        {"<!DOCTYPE escena SYSTEM \"DESCscene.dtd\" [<!ENTITY x SYSTEM \"" + secret + "\">]>", FLAGS_WITH_ENTITY, secret},
        {"<!DOCTYPE escena SYSTEM \"DESCscene.dtd\" [<!ENTITY x SYSTEM \"" + outside + "/secreto.txt\">]>",
         FLAGS_WITH_ENTITY, outside + "/secreto.txt"},
        {"<!DOCTYPE escena SYSTEM \"DESCscene.dtd\" [<!ENTITY x SYSTEM \"" + outside + "/tuberia\">]>",
         FLAGS_WITH_ENTITY, outside + "/tuberia"},
        {"<!DOCTYPE escena SYSTEM \"DESCscene.dtd\" [<!ENTITY % p SYSTEM \"" + outside + "/suelta.dtd\"> %p;]>",
         "<Raro/>", outside + "/suelta.dtd"},
    };
    int result = -1;
    for (const Case &c : cases) {
        const std::string errors = loadText(withDoctype(c.doctype, c.body), &result);
        EXPECT_EQ(result, 0) << c.named;
        EXPECT_NE(errors.find("Error: scene file \"escena.xml\" not loaded: it names another file (\"" + c.named +
                              "\"); a scene may name no file but its DTD\n"),
                  std::string::npos)
            << errors;
        EXPECT_EQ(errors.find(SECRET), std::string::npos) << errors;
        EXPECT_EQ(getFlagCount(), 1);
        EXPECT_NE(findFlag("ANTES"), nullptr);

        // the live check of another program's save refuses it the same way
        rememberSceneRead(sceneFileStamp(), nullptr);
        replaceScene(withDoctype(c.doctype, c.body + " "));
        testing::internal::CaptureStderr();
        EXPECT_EQ(syncSceneMaterials(), 0);
        const std::string live = testing::internal::GetCapturedStderr();
        EXPECT_NE(live.find("not taken over: it names another file"), std::string::npos) << live;
        EXPECT_EQ(live.find(SECRET), std::string::npos) << live;
    }
}

TEST_F(SceneSafety, ASceneFileThatIsNoRegularFileOrTooLargeIsRefusedBeforeItIsRead)
{
    const std::string refused = "Error: scene file \"escena.xml\" not loaded: ";
    ASSERT_EQ(mkfifo("escena.xml", 0644), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadScene(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), refused + "not a regular file\n");
    ASSERT_EQ(remove("escena.xml"), 0);
    ASSERT_EQ(symlink("/dev/zero", "escena.xml"), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadScene(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), refused + "not a regular file\n");
    ASSERT_EQ(remove("escena.xml"), 0);

    // a file past the limit (sparse: nothing of it is on the disk, and nothing is read)
    const int file = open("escena.xml", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(ftruncate(file, (off_t)MAX_SCENE_FILE_BYTES + 1), 0);
    close(file);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadScene(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), refused + "the file is too large\n");
}

TEST_F(SceneSafety, TheFileWhoseLoadFailedIsKeptBesideItBeforeASave)
{
    const std::string typo = PROLOGUE + "<escena><IDTextura>a.bmp</escena>\n";
    writeFile("escena.xml", typo);
    const SceneFileStamp before = sceneFileStamp();
    testing::internal::CaptureStderr();
    ASSERT_EQ(loadScene(), 0);
    testing::internal::GetCapturedStderr();
    rememberSceneRead(before, nullptr);
    ASSERT_EQ(create_object(KIND_CUBE), 0);

    const SaveCheck check = checkSceneSave(0);
    ASSERT_EQ(check.verdict, SAVE_KEEP_COPY_FIRST);
    std::string copy, notice;
    ASSERT_TRUE(keepSceneCopy(check, &copy, &notice));
    EXPECT_EQ(copy, "escena.xml.no-cargado");
    EXPECT_EQ(readFile(copy), typo);
    std::string document;
    ASSERT_EQ(saveScene(&document), 1);
    rememberSceneWritten(document);
    EXPECT_EQ(savedWithCopyNotice(check, copy), "Guardado. El escena.xml que no se pudo cargar queda en escena.xml.no-cargado");
    // from then on the file is the editor's own: no more copies
    EXPECT_EQ(checkSceneSave(0).verdict, SAVE_GO);

    // without any file there is nothing to keep
    ASSERT_EQ(remove("escena.xml"), 0);
    rememberSceneRead(sceneFileStamp(), nullptr);
    EXPECT_EQ(checkSceneSave(0).verdict, SAVE_GO);
}

TEST_F(SceneSafety, ObjectsAnotherProgramSavedAreWrittenOverOnlyAtASecondRequestAndKept)
{
    ASSERT_EQ(create_object(KIND_CUBE), 0);
    std::string mine;
    ASSERT_EQ(saveScene(&mine), 1);
    rememberSceneWritten(mine);

    // matforge rewrote its sections (line ends become CR LF): taken over, no question
    std::string rewritten = mine;
    rewritten.insert(rewritten.find("<primitiva"), "\r\n");
    rewritten.replace(rewritten.size() - 1, 1, "\r\n");
    replaceScene(rewritten);
    EXPECT_EQ(checkSceneSave(0).verdict, SAVE_GO);
    ASSERT_EQ(saveScene(&mine), 1);
    rememberSceneWritten(mine);

    // another stageworks moved the object: the first request asks and writes nothing
    const std::string theirs = movedFirstObject(mine, "40.000");
    replaceScene(theirs);
    testing::internal::CaptureStderr();
    SaveCheck check = checkSceneSave(10000);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error: escena.xml not saved: its flags or objects changed"),
              std::string::npos);
    EXPECT_EQ(check.verdict, SAVE_ASK_AGAIN);
    EXPECT_EQ(check.notice, "escena.xml cambio en disco (objetos o flags): F9 otra vez en 5 s guarda y conserva esa "
                            "version aparte");
    // too late an answer asks again; one in time writes, keeping their file
    testing::internal::CaptureStderr();
    EXPECT_EQ(checkSceneSave(10000 + SAVE_CONFIRM_MS + 1).verdict, SAVE_ASK_AGAIN);
    testing::internal::GetCapturedStderr();
    check = checkSceneSave(10000 + SAVE_CONFIRM_MS + 2);
    ASSERT_EQ(check.verdict, SAVE_KEEP_COPY_FIRST);
    std::string copy, notice;
    ASSERT_TRUE(keepSceneCopy(check, &copy, &notice));
    EXPECT_EQ(copy, "escena.xml.cambiado-en-disco");
    EXPECT_EQ(readFile(copy), theirs);
    EXPECT_EQ(savedWithCopyNotice(check, copy), "Guardado. La version que habia en disco queda en escena.xml.cambiado-en-disco");

    // a file that cannot be read is asked about the same way, with the message it always had
    replaceScene(PROLOGUE + "<escena><roto/></escena>\n");
    testing::internal::CaptureStderr();
    check = checkSceneSave(50000);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("Error: escena.xml not saved: it changed on disk and saving now would lose those changes\n"),
              std::string::npos) << errors;
    EXPECT_EQ(check.verdict, SAVE_ASK_AGAIN);
    // a question about another state of the file is no answer to this one
    replaceScene(PROLOGUE + "<escena><roto/><roto/></escena>\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(checkSceneSave(50001).verdict, SAVE_ASK_AGAIN);
    EXPECT_EQ(checkSceneSave(50002).verdict, SAVE_KEEP_COPY_FIRST);
    testing::internal::GetCapturedStderr();
}

TEST_F(SceneSafety, AReadOnlySceneIsRefusedBeforeAnythingIsWritten)
{
    std::string mine;
    ASSERT_EQ(saveScene(&mine), 1);
    rememberSceneWritten(mine);
    ASSERT_EQ(chmod("escena.xml", 0444), 0);
    testing::internal::CaptureStderr();
    const SaveCheck check = checkSceneSave(0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: escena.xml not saved: the file is read-only\n");
    EXPECT_EQ(check.verdict, SAVE_REFUSED);
    EXPECT_EQ(check.notice, "No guardado: escena.xml: el fichero es de solo lectura");
    EXPECT_EQ(readFile("escena.xml"), mine);
}
