// Event sets, the flag table and typed prompts: condition and consequence editing rules,
// opening and closing, row texts; adding, setting, removing and snapshotting flags; the three
// prompt filters, what each prompt stores and what it refuses.
#include "app_state.h"
#include "event_cursor.h"
#include "events.h"
#include "flags.h"
#include "objects.h"
#include "prompts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class EventSetTest : public ::testing::Test {
protected:
    void SetUp() override { event = &set->events[0]; }
    void TearDown() override { freeEventSet(set); }

    // Row texts of the whole chain
    std::vector<std::string> chain() const
    {
        std::vector<std::string> rows;
        for (Consequence *link = event->firstConsequence; link != nullptr; link = link->next)
            rows.push_back(consequenceRowText(link));
        return rows;
    }
    std::string conditionRow(int slot) const { return conditionRowText(&event->conditions[(size_t)slot]); }

    EventSet *set = newEventSet();
    Event *event = nullptr;
};

class FlagTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(createFlagTable(), 1); }
    void TearDown() override { clearFlagTable(); }
};

int add(const std::string &name, int value) { return addFlag(newFlagRecord(name, value)); }

void typeAll(const std::string &keys)
{
    for (char c : keys) typePromptCharacter((unsigned char)c);
}

class Prompts : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppState();
        clear_objects();
        createFlagTable();
        clearSelectedFlag();
        set_event_set_release(freeEventSet);
        ASSERT_EQ(create_object(4), 0);
        EventSet *set = nullptr;
        openEventSet(set);
        set_slot_event_set(0, set);
        setEditedObject(0);
        setSelectedConditionRow(0);
        setSelectedConsequenceRow(0);
        setEditorState(7);
    }
    void TearDown() override
    {
        clear_objects();
        clearFlagTable();
    }
    Event *event() { return getEditedEvent(); }
    std::string conditionRow(int slot) { return conditionRowText(&event()->conditions[(size_t)slot]); }
    // Types into the prompt of the state for the given condition row or consequence position
    void enter(int state, int row, const std::string &keys)
    {
        setSelectedConditionRow(row);
        setSelectedConsequenceRow(row);
        startTextEntry(state);
        typeAll(keys);
    }
};

}  // namespace

TEST_F(EventSetTest, OneDistanceOfEachKindOneActivationOneConditionPerFlagAndPackedSlots)
{
    ASSERT_EQ(setCondition(event, 0, cDistanceMY, newDistanceValue(50)), 1);
    ASSERT_EQ(setCondition(event, 1, cFlag, newFlagValue("PUERTA", 1)), 1);
    EXPECT_EQ(setCondition(event, 2, cDistanceMY, newDistanceValue(70)), 0);
    EXPECT_EQ(setCondition(event, 1, cDistanceMY, newDistanceValue(70)), 0);  // over another kind, still refused
    EXPECT_EQ(setCondition(event, 2, cFlag, newFlagValue("PUERTA", 2)), 0);
    EXPECT_EQ(event->conditionCount, 2);
    // In its own slot a condition is replaced
    EXPECT_EQ(setCondition(event, 0, cDistanceMY, newDistanceValue(80)), 1);
    EXPECT_EQ(setCondition(event, 1, cFlag, newFlagValue("PUERTA", 3)), 1);
    EXPECT_EQ(conditionRow(0), "DISTANCE is MAYOR To 80");
    EXPECT_EQ(conditionRow(1), "FLAG PUERTA = 3");
    EXPECT_EQ(setCondition(event, 2, cDistanceMN, newDistanceValue(10)), 1);
    EXPECT_EQ(setCondition(event, 3, cActivate, newActivateValue()), 1);
    EXPECT_EQ(setCondition(event, 4, cActivate, newActivateValue()), 0);
    EXPECT_EQ(event->conditionCount, 4);
    EXPECT_EQ(setCondition(event, 5, cFlag, newFlagValue("LUZ", 1)), 0);  // gap refused
    EXPECT_EQ(setCondition(event, 8, cFlag, newFlagValue("LUZ", 1)), 0);
    EXPECT_EQ(setCondition(event, 4, cFlag, nullptr), 0);
    DistanceValue *value = newDistanceValue(3);
    EXPECT_EQ(setCondition(event, 4, 9, value), 0);
    delete value;  // a refused value is left to the caller

    // Removing keeps the slots packed
    event->conditions[2].satisfied = 1;
    EXPECT_EQ(removeCondition(event, 1), 1);
    EXPECT_EQ(conditionRow(1), "DISTANCE is MINOR To 10");
    EXPECT_EQ(event->conditions[1].satisfied, 1);  // the mark moves with its condition
    EXPECT_EQ(conditionRow(3), "- Nothing -");
    EXPECT_EQ(removeCondition(event, 3), 0);
    EXPECT_EQ(removeCondition(event, -1), 0);
    EXPECT_EQ(event->conditionCount, 3);
}

TEST_F(EventSetTest, ConsequencesAppendReplaceAndRemove)
{
    for (int i = 0; i < 5; i++) ASSERT_EQ(setConsequence(event, i, cLoop, newLoopValue(i + 1)), 1);
    Consequence *second = consequenceAt(event, 1);
    EXPECT_EQ(setConsequence(event, 1, cChangeMat, newChangeMatValue("ladrillo")), 1);
    EXPECT_EQ(consequenceAt(event, 1), second);  // overwritten in place
    EXPECT_EQ(setConsequence(event, 6, cAgain, newAgainValue()), 0);  // beyond the end
    EXPECT_EQ(removeConsequence(event, 5), 0);
    EXPECT_EQ(removeConsequence(event, 0), 1);  // head
    EXPECT_EQ(removeConsequence(event, 1), 1);  // middle
    EXPECT_EQ(removeConsequence(event, 2), 1);  // end
    EXPECT_EQ(setConsequence(event, 2, cAgain, newAgainValue()), 1);
    EXPECT_EQ(chain(), (std::vector<std::string>{"CHANGE MATERIAL To ladrillo", "LOOP 4 times", "AGAIN"}));
    EXPECT_EQ(event->consequenceCount, 3);
}

TEST_F(EventSetTest, RowTextsTheOtherTestsDoNotShow)
{
    setCondition(event, 0, cActivate, newActivateValue());
    EXPECT_EQ(conditionRow(0), "IS ACTIVATED ??");
    std::string longName(300, 'M');  // formatted whole
    setConsequence(event, 0, cChangeMat, newChangeMatValue(longName));
    setConsequence(event, 1, cFlagEqual, newFlagValue("LUZ", 1234567));
    setConsequence(event, 2, cLoop, newLoopValue(10));
    EXPECT_EQ(chain(), (std::vector<std::string>{"CHANGE MATERIAL To " + longName, "FLAG LUZ = 1234567", "LOOP 10 times"}));
}

TEST(OpenClose, OnlyASetWithContentIsKept)
{
    EventSet *objectSet = nullptr;
    EventSet *opened = openEventSet(objectSet);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(objectSet, opened);
    ASSERT_EQ(setConsequence(&objectSet->events[15], 0, cAgain, newAgainValue()), 1);
    EXPECT_EQ(closeEventSet(objectSet), 0);
    EXPECT_EQ(openEventSet(objectSet), opened);  // reopening keeps the events
    removeConsequence(&objectSet->events[15], 0);
    EXPECT_EQ(closeEventSet(objectSet), 1);
    EXPECT_EQ(objectSet, nullptr);
    EXPECT_EQ(closeEventSet(objectSet), 0);

    EventSet *full = newEventSet();  // LeakSanitizer checks that freeing leaves nothing behind
    for (Event &e : full->events) {
        setCondition(&e, 0, cFlag, newFlagValue("A", 1));
        for (int i = 0; i < 6; i++) setConsequence(&e, i, cChangeMat, newChangeMatValue("material"));
    }
    EXPECT_EQ(eventSetIsEmpty(full), 0);
    freeEventSet(full);
}

TEST_F(FlagTableTest, DuplicatesMissingNamesRemovalAndSnapshots)
{
    ASSERT_EQ(add("PUERTA", 1), 1);
    EXPECT_EQ(add("PUERTA", 9), 0);
    EXPECT_EQ(findFlag("PUERTA")->value, 1);
    EXPECT_EQ(findFlag("puerta"), nullptr);  // names are compared exactly
    EXPECT_EQ(setFlag("NADA", 5), 0);        // setting never creates
    EXPECT_EQ(setFlag("PUERTA", 42), 1);
    EXPECT_EQ(findFlag("PUERTA")->value, 42);
    EXPECT_EQ(removeFlag(""), 0);  // the empty selected flag finds nothing
    EXPECT_EQ(removeFlag("PUERTA"), 1);
    EXPECT_EQ(getFlagCount(), 0);
    EXPECT_EQ(add(std::string("AB\0CD", 5), 1), 1);  // a name stops at its NUL
    EXPECT_NE(findFlag("AB"), nullptr);

    clearFlagTable();  // without a table an add creates one
    EXPECT_EQ(setFlag("A", 1), 0);
    EXPECT_EQ(add("A", 4), 1);
    EXPECT_EQ(findFlag("A")->value, 4);

    // A snapshot restores values but never creates
    add("PUERTA", 0);
    add("LUZ", -3);
    snapshotFlags();
    setFlag("PUERTA", 5);
    removeFlag("LUZ");
    restoreFlags();
    EXPECT_EQ(findFlag("PUERTA")->value, 0);
    EXPECT_EQ(findFlag("LUZ"), nullptr);
    setSelectedFlag("PUERTA", 0);  // the selected flag is a copy
    setFlag("PUERTA", 9);
    EXPECT_EQ(getSelectedFlag().value, 0);
    clearSelectedFlag();
    EXPECT_EQ(hasSelectedFlag(), 0);
}

TEST_F(Prompts, FiltersKeepOnlyWhatTheFieldTakes)
{
    struct Case {
        int state;
        const char *keys, *text;
    } cases[] = {
        {15, "-05", "-5"},                 // the 0 after the minus is refused
        {15, "05", "0"},                   // no leading zeros
        {15, "1-2345678x ", "1234567"},    // the minus only first; 7 digits
        {15, "-12345678", "-1234567"},     // 8 characters with the minus
        {12, "-12345678", "1234567"},      // unsigned: no sign, the eighth digit ignored
        {9, "puerta1 X", "PUERTAX"},       // upper-case letters only
        {9, "abc\b\bd", "AD"},
    };
    for (const Case &c : cases) {
        startTextEntry(c.state);
        typeAll(c.keys);
        EXPECT_EQ(getTextEntry().text, c.text) << c.state << " " << c.keys;
    }
}

TEST_F(Prompts, EachStateStoresItsKind)
{
    enter(15, 0, "\r");  // Enter on an empty first field cancels
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(event()->consequenceCount, 0);
    enter(15, 0, "100\r");
    EXPECT_EQ(promptLine(15), "Introduzca el desplazamiento en el eje Y :");
    typeAll("-50\r0\r");
    enter(16, 1, "90\r0\r-45\r");
    enter(18, 2, "15\r15\r0\r");
    enter(17, 3, "0\r");  // a loop count of 0 is an endless loop
    setSelectedFlag("PUERTA", 0);
    enter(21, 4, "7\r");
    std::vector<std::string> rows;
    for (int i = 0; i < event()->consequenceCount; i++) rows.push_back(consequenceRowText(consequenceAt(event(), i)));
    EXPECT_EQ(rows, (std::vector<std::string>{"MOVE OBJECT In (100, -50, 0)", "ROTATE OBJECT In (90, 0, -45)",
                                              "ROTATE MATERIAL In (15, 15, 0)", "LOOP Infinite", "FLAG PUERTA = 7"}));

    enter(12, 0, "40\r");
    enter(13, 1, "15\r");
    EXPECT_EQ(promptLine(14), "Introduzca el valor de la Flag PUERTA a cumplir :");
    enter(14, 2, "1\r");
    EXPECT_EQ(conditionRow(0), "DISTANCE is MAYOR To 40");
    EXPECT_EQ(conditionRow(1), "DISTANCE is MINOR To 15");
    EXPECT_EQ(conditionRow(2), "FLAG PUERTA = 1");
    EXPECT_EQ(getEditorState(), 7);
}

TEST_F(Prompts, RefusedConditionsAndFlagsAreDroppedAndThePromptCloses)
{
    enter(12, 0, "40\r");
    enter(12, 1, "80\r");  // a second DISTANCE > in another row
    setSelectedFlag("PUERTA", 0);
    enter(14, 1, "1\r");
    enter(14, 2, "2\r");  // a second condition on the same flag
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(event()->conditionCount, 2);
    EXPECT_EQ(conditionRow(0), "DISTANCE is MAYOR To 40");
    EXPECT_EQ(conditionRow(1), "FLAG PUERTA = 1");

    // A new flag takes a name then a value; a duplicate name is refused
    startTextEntry(9);
    EXPECT_EQ(promptLine(9), "Introduzca el nombre de la nueva FLAG :");
    typeAll("puerta\r");
    EXPECT_EQ(promptLine(9), "Introduzca el valor inicial de PUERTA :");
    typeAll("-3\r");
    EXPECT_EQ(findFlag("PUERTA")->value, -3);
    testing::internal::CaptureStdout();
    enter(9, 0, "PUERTA\r9\r");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n ERROR : Flag ya introducida anteriormente.");
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(getFlagCount(), 1);
    EXPECT_EQ(findFlag("PUERTA")->value, -3);
}
