// The edit history: every kind of step undone and redone, checked by the bytes the scene
// writer produces (undo gives the file of before the step, redo the file of after it, and
// undoing everything gives the first file back); arrow-key steps merging; a new step dropping
// the redo steps and the keys refused while a prompt is open; the step and memory bounds.
#include "scene_file_support.h"

#include "camera.h"
#include "edit_history.h"
#include "edit_snapshots.h"
#include "event_cursor.h"
#include "event_editor.h"
#include "operations.h"
#include "panels.h"

#include <functional>

using namespace scene_file_test;

namespace {

int noTexture(const char *) { return -1; }

class History : public SceneDirTest {
protected:
    void SetUp() override
    {
        SceneDirTest::SetUp();
        setPanelTextureLoader(noTexture);
        add_default_material();
        material_record *stone = new_material();
        stone->name = "piedra";
        ASSERT_EQ(add_material(stone), 1);
        rebuild_usage_table();
        build_sample_objects();
        ASSERT_EQ(create_object(KIND_CUBE), 0);
        ASSERT_EQ(create_object(KIND_RECTANGLE), 1);
        ASSERT_EQ(create_object(KIND_CYLINDER), 2);
        object_at(1)->pose = object_pose{5, 0, -3, 10, 0, 0};
        addFlag(newFlagRecord("PUERTA", 1));
        // enough flags for some to share a bucket of the table, whose order the file shows
        for (int i = 0; i < 60; i++) addFlag(newFlagRecord("F" + std::to_string(i), i));
        clearEditHistory();
    }
    void TearDown() override
    {
        clearEditHistory();
        free_sample_objects();
        setPanelTextureLoader(nullptr);
        SceneDirTest::TearDown();
    }
    static std::string saved()
    {
        EXPECT_EQ(saveSceneTo("paso.xml"), 1);
        return readFile("paso.xml");
    }
    // An edit on the open event editor of an object, as a click on its panel makes it
    static void onEventEditor(int index, const std::function<void(Event *)> &edit)
    {
        setEditorState(EVENT_PANEL_STATE);
        ASSERT_EQ(openEventEditorOn(index), 1);
        beginScreenEdit();
        edit(getEditedEvent());
        endScreenEdit();
        closeEventEditorSet();
        setEditorState(0);
    }
    // An edit on an open menu, chooser or prompt with an object selected
    static void onScreen(int state, int selected, const std::function<void()> &edit)
    {
        setEditorState(state);
        setSelectedObject(object_at(selected));
        beginScreenEdit();
        edit();
        endScreenEdit();
        setEditorState(0);
    }
    static void nudge(int index, int operation, float direction)
    {
        beginEdit(index);
        if (operation == Move) move_object(object_at(index), getCamera(), 0.1f, direction);
        if (operation == Rotate) rotate_object(object_at(index), getCamera(), 10.0f, direction);
        endNudge(operation);
    }
};

}  // namespace

TEST_F(History, EveryKindOfStepIsUndoneAndRedoneToTheBytesOfTheFile)
{
    struct Kind {
        const char *name;
        std::function<void()> edit;
    };
    // Objects 0 cube, 1 rectangle, 2 cylinder; the indexes follow the creations and the delete
    const std::vector<Kind> kinds = {
        {"create", [] { beginEdit(-1); create_object(KIND_SPHERE); endEdit("crear objeto"); }},
        {"clone", [] { beginEdit(1); clone_object(1); endEdit("clonar objeto"); }},
        {"events set", [] {
             onEventEditor(0, [](Event *e) {
                 setCondition(e, 0, cActivate, newActivateValue());
                 setConsequence(e, 0, cMoveObj, newMoveValue(1, -2, 3));
             });
         }},
        {"delete of the object with events", [] { beginEdit(0); delete_object(0); endEdit("eliminar objeto"); }},
        {"move drag", [] {
             beginDragEdit(0, Move);
             for (float d : {0.0f, 90.0f, 90.0f}) move_object(object_at(0), getCamera(), 3.7f, d);
             endDragEdit();
         }},
        {"uniform scale drag", [] {
             beginDragEdit(2, ScaleUniform);
             reset_to_reference(object_at(2));
             scale_object_uniform(object_at(2), 4.0f, DIRECTION_UP);
             finish_scaling(object_at(2));
             endDragEdit();
         }},
        {"axis scale arrow", [] {
             beginEdit(1);
             scale_object_axis(object_at(1), getCamera(), 1.0f, DIRECTION_LEFT);
             finish_scaling(object_at(1));
             endNudge(ScaleAxis);
         }},
        {"reset", [] { beginEdit(2); reset_scale(object_at(2)); endEdit("restablecer objeto"); }},
        {"material", [] { onScreen(6, 0, [] { assign_material(0, "piedra"); }); }},
        {"appearance", [] {
             onScreen(5, 1, [] {
                 toggle_solido(object_at(1));
                 set_wire_frame(object_at(1), 1);
                 set_promediado(object_at(1), 1);
             });
         }},
        {"events of another object", [] {
             onEventEditor(1, [](Event *e) {
                 setCondition(e, 0, cFlag, newFlagValue("PUERTA", 2));
                 setConsequence(e, 0, cMoveObj, newMoveValue(1, -2, 3));
                 setConsequence(e, 1, cChangeMat, newChangeMatValue("piedra"));
             });
         }},
        {"event changed", [] { onEventEditor(1, [](Event *e) { setConsequence(e, 0, cLoop, newLoopValue(4)); }); }},
        {"event emptied", [] {
             onEventEditor(1, [](Event *e) {
                 removeCondition(e, 0);
                 removeConsequence(e, 1);
                 removeConsequence(e, 0);
             });
         }},
        {"flag added", [] { onScreen(9, -1, [] { addFlag(newFlagRecord("BOTON", -5)); }); }},
        {"flag removed", [] { onScreen(7, -1, [] { removeFlag("PUERTA"); }); }},
    };
    std::vector<std::string> files = {saved()};
    for (const Kind &kind : kinds) {
        SCOPED_TRACE(kind.name);
        const int steps = undoStepCount();
        kind.edit();
        const std::string after = saved();
        ASSERT_NE(after, files.back()) << "the edit changed nothing in the file";
        ASSERT_EQ(undoStepCount(), steps + 1) << "not one step";
        ASSERT_EQ(undoEdit(), 1);
        EXPECT_EQ(saved(), files.back());
        ASSERT_EQ(redoEdit(), 1);
        EXPECT_EQ(saved(), after);
        files.push_back(after);
    }
    EXPECT_EQ(historyNotice(), "Rehacer: cambiar flags");
    // Everything undone gives the first file back, everything redone the last
    for (size_t i = files.size() - 1; i-- > 0;) {
        ASSERT_EQ(undoEdit(), 1);
        EXPECT_EQ(saved(), files[i]) << "after undoing back to file " << i;
    }
    EXPECT_EQ(undoEdit(), 0);
    EXPECT_EQ(historyNotice(), "Nada que deshacer");
    while (redoEdit() == 1) {}
    EXPECT_EQ(historyNotice(), "Nada que rehacer");
    EXPECT_EQ(saved(), files.back());
}

TEST_F(History, ArrowStepsMergeANewStepDropsTheRedoStepsAndAnOpenPromptRefusesTheKeys)
{
    const std::string start = saved();
    for (int i = 0; i < 5; i++) nudge(0, Move, DIRECTION_LEFT);
    EXPECT_EQ(undoStepCount(), 1);
    nudge(0, Rotate, DIRECTION_UP);   // another operation
    nudge(1, Rotate, DIRECTION_UP);   // another object
    nudge(1, Rotate, DIRECTION_UP);
    EXPECT_EQ(undoStepCount(), 3);
    const std::string moved = saved();

    // Steps that cancel out leave no step
    nudge(2, Move, DIRECTION_LEFT);
    nudge(2, Move, DIRECTION_RIGHT);
    EXPECT_EQ(undoStepCount(), 3);
    EXPECT_EQ(saved(), moved);

    ASSERT_EQ(undoEdit(), 1);
    EXPECT_EQ(historyNotice(), "Deshacer: rotar objeto P1");
    EXPECT_EQ(redoStepCount(), 1);
    // After an undo the next arrow step is a step of its own, and the redo step is gone
    nudge(0, Rotate, DIRECTION_UP);
    EXPECT_EQ(undoStepCount(), 3);
    EXPECT_EQ(redoStepCount(), 0);
    EXPECT_EQ(redoEdit(), 0);

    // Ctrl+Z with a prompt open is taken but does nothing; Ctrl+Shift+Z redoes
    setTextEntryOpen(1);
    EXPECT_EQ(historyKey(KEY_CTRL_Z, 0), 1);
    EXPECT_EQ(undoStepCount(), 3);
    setTextEntryOpen(0);
    EXPECT_EQ(historyKey('z', 0), 0);
    while (historyKey(KEY_CTRL_Z, 0) == 1 && undoStepCount() > 0) {}
    EXPECT_EQ(saved(), start);
    EXPECT_EQ(historyKey(KEY_CTRL_Z, 1), 1);
    EXPECT_EQ(undoStepCount(), 1);
}

TEST_F(History, StepAndMemoryBoundsDropTheOldestSteps)
{
    // Flag steps are small: the step count is the bound, the newest steps stay
    for (int i = 0; i < HISTORY_MAX_STEPS + 20; i++) {
        beginEdit(-1);
        setFlag("PUERTA", i + 2);
        endEdit("");
    }
    EXPECT_EQ(undoStepCount(), HISTORY_MAX_STEPS);
    EXPECT_LE(historyBytes(), HISTORY_MAX_BYTES);
    ASSERT_EQ(undoEdit(), 1);
    EXPECT_EQ(findFlag("PUERTA")->value, HISTORY_MAX_STEPS + 20);

    // Big objects: the memory bound drops steps, but never below the minimum count
    clearEditHistory();
    int values[MAX_PARAMETERS] = {100, 100, 100, 32, 32};
    primitiva big = {};
    ASSERT_EQ(build_primitive(KIND_SPHERE, values, &big), 1);
    ASSERT_EQ(store_object(big, nullptr), 3);
    beginEdit(3);
    add_x(object_at(3), 1.0f);
    endEdit("mover objeto");
    const size_t stepSize = historyBytes();
    ASSERT_GT(stepSize * (HISTORY_MIN_STEPS + 40), HISTORY_MAX_BYTES) << stepSize << " bytes: too small for this test";
    for (int i = 0; i < HISTORY_MIN_STEPS + 40; i++) {
        beginEdit(3);
        add_x(object_at(3), 1.0f);
        endEdit("mover objeto");
    }
    EXPECT_GE(undoStepCount(), HISTORY_MIN_STEPS);
    EXPECT_LT(undoStepCount(), HISTORY_MIN_STEPS + 41);
    EXPECT_TRUE(historyBytes() <= HISTORY_MAX_BYTES || undoStepCount() == HISTORY_MIN_STEPS) << historyBytes();
}

TEST(FeedbackLine, ALineTooLongForTheScreenIsCutAtSpacesAndNothingIsLost)
{
    EXPECT_EQ(noticeLines("Nada que deshacer"), std::vector<std::string>{"Nada que deshacer"});
    const std::string question = "escena.xml cambio en disco (objetos o flags): F9 otra vez en 5 s guarda y conserva "
                                 "esa version aparte";
    const std::vector<std::string> lines = noticeLines(question);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0] + " " + lines[1], question);
    const std::string word(100, 'x');   // no space to cut at: cut where the line is full
    EXPECT_EQ(noticeLines(word), (std::vector<std::string>{word.substr(0, 78), word.substr(78)}));
    showNotice(question, 6000);
    EXPECT_EQ(historyNotice(), question);
}
