// Nothing lost, below the screen: the unsaved state following the edit history (undoing back to
// the saved state counts as saved, a new step after an undo does not, a forgotten history
// does not), the window title, the leave guard's answers and what Escape closes first, the
// recovery copy's schedule, its writing, removal and reading back (a copy that does not
// validate is refused), the start-up offer, and the help lines of every mode.
#include "scene_file_support.h"

#include "bindings.h"
#include "edit_history.h"
#include "help_overlay.h"
#include "leave_guard.h"
#include "recovery.h"
#include "recovery_offer.h"
#include "scene_document.h"
#include "unsaved.h"

#include <sys/time.h>  // Required for: utimes()

using namespace scene_file_test;

namespace {

int exits = 0;
int hookCalls = 0;
int hookAnswer = 1;

// An edit as the E key makes it: a sphere where the viewer stands
void addSphere()
{
    beginEdit(-1);
    create_object(KIND_SPHERE);
    endEdit("crear objeto");
}

// How many times what stands in text
size_t occurrences(const std::string &text, const std::string &what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) count++;
    return count;
}

// Sets a file's modification time, seconds from the epoch
void setTime(const char *path, long seconds)
{
    struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimes(path, times), 0);
}

class Unsaved : public SceneDirTest {
protected:
    void SetUp() override
    {
        SceneDirTest::SetUp();
        add_default_material();
        rebuild_usage_table();
        build_sample_objects();
        clearEditHistory();
        watchUnsavedState();
        markSceneSaved();
        exits = 0;
        hookCalls = 0;
        hookAnswer = 1;
        setBindingOps({nullptr, [] { exits++; }, nullptr});
        setLeaveHooks({nullptr, [] { hookCalls++; return hookAnswer; }});
    }
    void TearDown() override
    {
        finishRecoveryWrite();
        forgetRecoveryCopy();
        setLeaveHooks({nullptr, nullptr});
        setBindingOps({nullptr, nullptr, nullptr});
        clearEditHistory();
        clear_objects();
        free_sample_objects();
        SceneDirTest::TearDown();
    }
};

}  // namespace

TEST_F(Unsaved, FollowsTheHistoryAndUndoingBackToTheSavedStateCountsAsSaved)
{
    EXPECT_EQ(sceneUnsaved(), 0);
    addSphere();
    EXPECT_EQ(sceneUnsaved(), 1);
    EXPECT_TRUE(unsavedForSignals());
    undoEdit();
    EXPECT_EQ(sceneUnsaved(), 0) << "undone back to the loaded scene";
    EXPECT_FALSE(unsavedForSignals());
    redoEdit();
    EXPECT_EQ(sceneUnsaved(), 1);

    // saved with the sphere: undoing makes it unsaved, redoing saved again
    markSceneSaved();
    EXPECT_EQ(sceneUnsaved(), 0);
    undoEdit();
    EXPECT_EQ(sceneUnsaved(), 1);
    redoEdit();
    EXPECT_EQ(sceneUnsaved(), 0);

    // undo, then a new step: the saved state cannot come back by redo
    undoEdit();
    addSphere();
    EXPECT_EQ(sceneUnsaved(), 1);
    EXPECT_EQ(redoStepCount(), 0);

    // a history forgotten without a load (an edit it could not record) is unsaved until a save
    markSceneSaved();
    clearEditHistory();
    EXPECT_EQ(sceneUnsaved(), 1);
    markSceneSaved();
    EXPECT_EQ(sceneUnsaved(), 0);
}

TEST_F(Unsaved, ArrowStepsThatMergeOrCancelOutKeepTheStateRight)
{
    ASSERT_EQ(create_object(KIND_CUBE), 0);
    clearEditHistory();
    markSceneSaved();
    auto nudge = [](float direction) {
        beginEdit(0);
        object_at(0)->pose.x += direction;
        endNudge(Move);
    };
    nudge(1.0f);
    EXPECT_EQ(sceneUnsaved(), 1);
    nudge(-1.0f);   // back where it was saved: the steps cancel out
    EXPECT_EQ(sceneUnsaved(), 0);
    nudge(1.0f);
    markSceneSaved();
    nudge(1.0f);    // merges into the saved step: the scene changed all the same
    EXPECT_EQ(sceneUnsaved(), 1);
    undoEdit();     // the merged step goes whole: before the save
    EXPECT_EQ(sceneUnsaved(), 1);
}

TEST(UnsavedTitle, NamesTheFileWithAStarWhileUnsaved)
{
    EXPECT_EQ(sceneWindowTitle(true, "/tmp/escena"), "escena.xml* - stageworks - /tmp/escena");
    EXPECT_EQ(sceneWindowTitle(false, "/tmp/escena"), "escena.xml - stageworks - /tmp/escena");
}

TEST(LeaveGuardDecision, AsksOnceThenLeavesOnTheSameRequestInTime)
{
    LeaveMemory memory;
    EXPECT_EQ(decideLeave(false, LEAVE_ESCAPE, 0, &memory), LEAVE_NOW);
    EXPECT_EQ(decideLeave(true, LEAVE_ESCAPE, 1000, &memory), LEAVE_ASK);
    EXPECT_EQ(decideLeave(true, LEAVE_ESCAPE, 1000 + LEAVE_CONFIRM_MS, &memory), LEAVE_ANYWAY);
    // another kind of request asks again, and so does the same one too late
    EXPECT_EQ(decideLeave(true, LEAVE_ESCAPE, 20000, &memory), LEAVE_ASK);
    EXPECT_EQ(decideLeave(true, LEAVE_WINDOW_CLOSE, 20100, &memory), LEAVE_ASK);
    EXPECT_EQ(decideLeave(true, LEAVE_EXIT_BUTTON, 20200, &memory), LEAVE_ASK);
    EXPECT_EQ(decideLeave(true, LEAVE_EXIT_BUTTON, 20200 + LEAVE_CONFIRM_MS + 1, &memory), LEAVE_ASK);
    EXPECT_EQ(decideLeave(true, LEAVE_EXIT_BUTTON, 25300, &memory), LEAVE_ANYWAY);
    // each question names its own way out
    EXPECT_NE(std::string(leaveQuestion(LEAVE_ESCAPE)).find("Escape otra vez"), std::string::npos);
    EXPECT_NE(std::string(leaveQuestion(LEAVE_EXIT_BUTTON)).find("Salir otra vez"), std::string::npos);
    EXPECT_NE(std::string(leaveQuestion(LEAVE_WINDOW_CLOSE)).find("cerrar la ventana otra vez"), std::string::npos);
}

TEST_F(Unsaved, EscapeClosesPromptsAndChoosersFirstAndLeavesAtOnceOnlyWhenNothingIsUnsaved)
{
    struct Case {
        int state, prompt, stateAfter;
    } cases[] = {{9, 1, 7}, {15, 1, 7}, {6, 0, 5}, {8, 0, 7}, {10, 0, 7}, {11, 0, 7}, {19, 0, 7}, {20, 0, 7}, {22, 0, 7}};
    addSphere();
    for (const Case &c : cases) {
        setEditorState(c.state);
        setTextEntryOpen(c.prompt);
        escapeCommand();
        EXPECT_EQ(getEditorState(), c.stateAfter) << "state " << c.state;
        EXPECT_EQ(getTextEntryOpen(), 0) << "state " << c.state;
        EXPECT_EQ(exits, 0) << "state " << c.state;
    }

    // unsaved, nothing open: the first Escape asks, the second keeps the copy and leaves
    setEditorState(0);
    escapeCommand();
    EXPECT_EQ(exits, 0);
    EXPECT_NE(historyNotice().find("Hay cambios sin guardar"), std::string::npos);
    escapeCommand();
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(exits, 1);

    // the copy could not be kept: the program stays, and the same again leaves without it
    hookAnswer = 0;
    escapeCommand();
    escapeCommand();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(hookCalls, 2);
    escapeCommand();
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(hookCalls, 2);

    // an open menu is no prompt: with nothing unsaved Escape ends the program at once
    undoEdit();
    setEditorState(3);
    escapeCommand();
    EXPECT_EQ(exits, 3);
    EXPECT_EQ(hookCalls, 2);
}

TEST(RecoverySchedule, WaitsAfterTheFirstEditThenWritesAtMostOnceAMinute)
{
    RecoverySchedule s;
    EXPECT_FALSE(recoveryDue(s, 100000)) << "nothing changed";
    s.changedSinceMs = 100000;
    EXPECT_FALSE(recoveryDue(s, 100000 + RECOVERY_DELAY_MS - 1));
    EXPECT_TRUE(recoveryDue(s, 100000 + RECOVERY_DELAY_MS));
    s.lastWriteMs = 110000;
    s.changedSinceMs = 111000;
    EXPECT_FALSE(recoveryDue(s, 110000 + RECOVERY_INTERVAL_MS - 1));
    EXPECT_TRUE(recoveryDue(s, 110000 + RECOVERY_INTERVAL_MS));
    EXPECT_LE(RECOVERY_DELAY_MS, RECOVERY_INTERVAL_MS);
}

TEST_F(Unsaved, TheCopyIsWrittenWhenDueHoldsTheSceneAndASaveRemovesIt)
{
    // nothing unsaved: no copy, however long it waits
    serviceRecovery(0);
    serviceRecovery(10 * RECOVERY_INTERVAL_MS);
    finishRecoveryWrite();
    EXPECT_FALSE(fileExists(RECOVERY_FILE_NAME));

    addSphere();
    const long long edit = 20 * RECOVERY_INTERVAL_MS;
    serviceRecovery(edit);
    serviceRecovery(edit + RECOVERY_DELAY_MS - 500);
    finishRecoveryWrite();
    EXPECT_FALSE(fileExists(RECOVERY_FILE_NAME)) << "written before its delay";
    const int before = recoveryCopiesWritten();
    serviceRecovery(edit + RECOVERY_DELAY_MS);
    finishRecoveryWrite();
    ASSERT_TRUE(fileExists(RECOVERY_FILE_NAME));
    EXPECT_EQ(recoveryCopiesWritten(), before + 1);
    std::string document;
    ASSERT_EQ(writeSceneDocument(&document), 1);
    EXPECT_EQ(readFile(RECOVERY_FILE_NAME), document);
    EXPECT_TRUE(xmllintAccepts(RECOVERY_FILE_NAME));
    EXPECT_NE(historyNotice().find(".escena.xml.recuperacion"), std::string::npos);

    // another edit soon after: the next copy waits for the minute
    addSphere();
    serviceRecovery(edit + RECOVERY_DELAY_MS + 1000);
    serviceRecovery(edit + RECOVERY_DELAY_MS + RECOVERY_INTERVAL_MS - 1000);
    finishRecoveryWrite();
    EXPECT_EQ(recoveryCopiesWritten(), before + 1);
    serviceRecovery(edit + RECOVERY_DELAY_MS + RECOVERY_INTERVAL_MS);
    finishRecoveryWrite();
    EXPECT_EQ(recoveryCopiesWritten(), before + 2);
    EXPECT_EQ(occurrences(readFile(RECOVERY_FILE_NAME), "<primitiva"), 2u);

    // held already: leaving writes nothing more; a save removes it
    EXPECT_TRUE(writeRecoveryNow());
    EXPECT_EQ(recoveryCopiesWritten(), before + 2);
    markSceneSaved();
    forgetRecoveryCopy();
    EXPECT_FALSE(fileExists(RECOVERY_FILE_NAME));
}

TEST_F(Unsaved, LeavingWritesTheCopyAtOnceAndAFolderThatRefusesItIsReported)
{
    EXPECT_TRUE(writeRecoveryNow());
    EXPECT_FALSE(fileExists(RECOVERY_FILE_NAME)) << "nothing unsaved, nothing written";
    addSphere();
    EXPECT_TRUE(writeRecoveryNow());
    EXPECT_EQ(occurrences(readFile(RECOVERY_FILE_NAME), "<primitiva"), 1u);

    // a read-only copy in the way is not replaced, and the reason comes back
    addSphere();
    ASSERT_EQ(chmod(RECOVERY_FILE_NAME, 0444), 0);
    std::string reason;
    EXPECT_FALSE(writeRecoveryNow(&reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(occurrences(readFile(RECOVERY_FILE_NAME), "<primitiva"), 1u);
    ASSERT_EQ(chmod(RECOVERY_FILE_NAME, 0644), 0);
}

TEST_F(Unsaved, ACopyIsReadBackOnlyWhenItValidatesAndOfferedOnlyWhenNewer)
{
    addSphere();
    addSphere();
    ASSERT_TRUE(writeRecoveryNow());
    ASSERT_EQ(saveSceneTo("escena.xml"), 1);
    SceneData scene;
    std::string reason;
    ASSERT_EQ(readOtherSceneFile(RECOVERY_FILE_NAME, &scene, &reason), 1) << reason;
    EXPECT_EQ(scene.objects.size(), 2u);

    // newer or not, by the modification times; a copy with no escena.xml is newer
    setTime("escena.xml", 1000000);
    setTime(RECOVERY_FILE_NAME, 2000000);
    EXPECT_TRUE(copyIsNewer(RECOVERY_FILE_NAME, "escena.xml"));
    setTime(RECOVERY_FILE_NAME, 500000);
    EXPECT_FALSE(copyIsNewer(RECOVERY_FILE_NAME, "escena.xml"));
    EXPECT_TRUE(copyIsNewer(RECOVERY_FILE_NAME, "ninguna.xml"));
    EXPECT_FALSE(copyIsNewer("ninguna.xml", "escena.xml"));
    EXPECT_NE(fileTimeText(RECOVERY_FILE_NAME).find("/"), std::string::npos);

    // a copy cut short does not validate: refused, and kept as it is
    const std::string whole = readFile(RECOVERY_FILE_NAME);
    const std::string cut = whole.substr(0, whole.size() / 2);
    writeFile(RECOVERY_FILE_NAME, cut);
    SceneData none;
    EXPECT_EQ(readOtherSceneFile(RECOVERY_FILE_NAME, &none, &reason), 0);
    EXPECT_FALSE(reason.empty());
    setTime("escena.xml", 1000000);
    setTime(RECOVERY_FILE_NAME, 2000000);
    checkRecoveryAtStart(false);
    EXPECT_EQ(recoveryOfferOpen(), 0);
    EXPECT_NE(historyNotice().find("no se puede cargar"), std::string::npos);
    EXPECT_EQ(readFile(RECOVERY_FILE_NAME), cut);
}

TEST_F(Unsaved, TheOfferWaitsForAnAnswerAndNeitherAnswerRemovesTheCopy)
{
    addSphere();
    ASSERT_TRUE(writeRecoveryNow());
    const std::string copy = readFile(RECOVERY_FILE_NAME);
    markSceneSaved();
    setTime(RECOVERY_FILE_NAME, 2000000);   // no escena.xml: the copy is newer

    checkRecoveryAtStart(false);
    ASSERT_EQ(recoveryOfferOpen(), 1);
    EXPECT_EQ(recoveryOfferKey('x'), 0) << "other keys go on";
    // while it waits no copy is written, whatever is edited
    addSphere();
    addSphere();
    serviceRecovery(0);
    serviceRecovery(10 * RECOVERY_INTERVAL_MS);
    EXPECT_TRUE(writeRecoveryNow());
    EXPECT_EQ(readFile(RECOVERY_FILE_NAME), copy);
    EXPECT_EQ(recoveryOfferKey('n'), 1);
    EXPECT_EQ(recoveryOfferOpen(), 0);
    EXPECT_EQ(readFile(RECOVERY_FILE_NAME), copy);
    EXPECT_EQ(recoveryOfferKey('r'), 0) << "answered already";
}

TEST(HelpOverlay, EveryModeListsItsKeysInLinesThatFitTheScreen)
{
    for (HelpMode mode : {HELP_EDIT, HELP_EVENTS, HELP_PLAY, HELP_PLAYER}) {
        const std::vector<std::string> lines = helpLines(mode);
        ASSERT_GE(lines.size(), 5u) << mode;
        EXPECT_NE(lines[0].find("F1 o Escape cierra"), std::string::npos) << mode;
        for (const std::string &line : lines) {
            EXPECT_LE(line.size(), 76u) << line;
            for (char c : line) EXPECT_TRUE(c >= 32 && c < 127) << line;
        }
    }
    EXPECT_NE(helpLines(HELP_EDIT)[0], helpLines(HELP_PLAY)[0]);
    EXPECT_EQ(helpShown(), 0);
    toggleHelp();
    EXPECT_EQ(helpShown(), 1);
    EXPECT_EQ(hideHelp(), 1);
    EXPECT_EQ(hideHelp(), 0);
}
