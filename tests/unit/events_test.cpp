// Event sets: condition and consequence editing rules, opening and closing, row texts,
// chooser labels and the editor cursor.
#include "event_cursor.h"
#include "events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class EventSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set = newEventSet();
        ASSERT_NE(set, nullptr);
        event = &set->events[0];
    }
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

    EventSet *set = nullptr;
    Event *event = nullptr;
};

}  // namespace

TEST_F(EventSetTest, NewSetIsEmpty)
{
    for (const Event &e : set->events) {
        EXPECT_EQ(e.running, 0);
        EXPECT_EQ(e.conditionCount, 0);
        EXPECT_EQ(e.consequenceCount, 0);
        EXPECT_EQ(e.firstConsequence, nullptr);
        for (const Condition &c : e.conditions) {
            EXPECT_EQ(c.kind, cEmpty);
            EXPECT_EQ(c.value, nullptr);
            EXPECT_EQ(c.satisfied, 0);
        }
    }
    EXPECT_EQ(eventSetIsEmpty(set), 1);
}

TEST_F(EventSetTest, SecondDistanceInAnotherRowRefusedInItsOwnRowReplaces)
{
    ASSERT_EQ(setCondition(event, 0, cDistanceMY, newDistanceValue(50)), 1);
    ASSERT_EQ(setCondition(event, 1, cActivate, newActivateValue()), 1);
    EXPECT_EQ(setCondition(event, 2, cDistanceMY, newDistanceValue(70)), 0);
    EXPECT_EQ(event->conditionCount, 2);
    EXPECT_EQ(event->conditions[2].kind, cEmpty);
    EXPECT_EQ(setCondition(event, 1, cDistanceMY, newDistanceValue(70)), 0);  // over another kind, still refused
    EXPECT_EQ(event->conditions[1].kind, cActivate);

    EXPECT_EQ(setCondition(event, 0, cDistanceMY, newDistanceValue(80)), 1);
    EXPECT_EQ(event->conditionCount, 2);
    EXPECT_EQ(distanceValueOf(&event->conditions[0])->distance, 80);
    EXPECT_EQ(conditionRow(0), "DISTANCE is MAYOR To 80");

    // The other distance kind and a second activation follow the same rule
    EXPECT_EQ(setCondition(event, 2, cDistanceMN, newDistanceValue(10)), 1);
    EXPECT_EQ(setCondition(event, 3, cActivate, newActivateValue()), 0);
    EXPECT_EQ(event->conditionCount, 3);
}

TEST_F(EventSetTest, FlagConditionsShareAnEventOnlyForDifferentFlags)
{
    ASSERT_EQ(setCondition(event, 0, cFlag, newFlagValue("PUERTA", 1)), 1);
    EXPECT_EQ(setCondition(event, 1, cFlag, newFlagValue("LUZ", 0)), 1);
    EXPECT_EQ(setCondition(event, 2, cFlag, newFlagValue("PUERTA", 2)), 0);
    EXPECT_EQ(event->conditionCount, 2);
    EXPECT_EQ(flagValueOf(&event->conditions[0])->value, 1);
    // Its own slot may change its value, another slot may switch to a free flag name
    EXPECT_EQ(setCondition(event, 0, cFlag, newFlagValue("PUERTA", 3)), 1);
    EXPECT_EQ(setCondition(event, 1, cFlag, newFlagValue("PUERTA", 3)), 0);
    EXPECT_EQ(setCondition(event, 1, cFlag, newFlagValue("VENTANA", 3)), 1);
    EXPECT_EQ(conditionRow(0), "FLAG PUERTA = 3");
    EXPECT_EQ(conditionRow(1), "FLAG VENTANA = 3");
    EXPECT_EQ(event->conditionCount, 2);
}

TEST_F(EventSetTest, ConditionSlotsStayPacked)
{
    EXPECT_EQ(setCondition(event, 1, cActivate, newActivateValue()), 0);  // gap refused
    EXPECT_EQ(setCondition(event, -1, cActivate, newActivateValue()), 0);
    EXPECT_EQ(setCondition(event, 8, cActivate, newActivateValue()), 0);
    EXPECT_EQ(setCondition(event, 0, cActivate, nullptr), 0);
    EXPECT_EQ(setCondition(nullptr, 0, cDistanceMN, newDistanceValue(1)), 0);
    EXPECT_EQ(event->conditionCount, 0);

    // Eight flag conditions fill every slot
    for (int i = 0; i < CONDITIONS_PER_EVENT; i++)
        ASSERT_EQ(setCondition(event, i, cFlag, newFlagValue(std::string(1, (char)('A' + i)), i)), 1);
    EXPECT_EQ(event->conditionCount, 8);
    EXPECT_EQ(setCondition(event, 8, cFlag, newFlagValue("Z", 0)), 0);
    EXPECT_EQ(conditionRow(7), "FLAG H = 7");
}

TEST_F(EventSetTest, RemovingAConditionMovesLaterSlotsUp)
{
    setCondition(event, 0, cActivate, newActivateValue());
    setCondition(event, 1, cDistanceMY, newDistanceValue(20));
    setCondition(event, 2, cDistanceMN, newDistanceValue(5));
    setCondition(event, 3, cFlag, newFlagValue("PUERTA", 1));
    ASSERT_EQ(event->conditionCount, 4);
    event->conditions[3].satisfied = 1;

    EXPECT_EQ(removeCondition(event, 1), 1);
    EXPECT_EQ(event->conditionCount, 3);
    EXPECT_EQ(conditionRow(0), "IS ACTIVATED ??");
    EXPECT_EQ(conditionRow(1), "DISTANCE is MINOR To 5");
    EXPECT_EQ(conditionRow(2), "FLAG PUERTA = 1");
    EXPECT_EQ(event->conditions[2].satisfied, 1);  // the mark moves with its condition
    EXPECT_EQ(conditionRow(3), "- Nothing -");
    EXPECT_EQ(event->conditions[3].value, nullptr);

    // Empty and out-of-range slots: nothing happens
    EXPECT_EQ(removeCondition(event, 3), 0);
    EXPECT_EQ(removeCondition(event, 8), 0);
    EXPECT_EQ(removeCondition(event, -1), 0);
    EXPECT_EQ(event->conditionCount, 3);

    // The freed kind may be added again
    EXPECT_EQ(setCondition(event, 3, cDistanceMY, newDistanceValue(30)), 1);
    EXPECT_EQ(event->conditionCount, 4);
}

TEST_F(EventSetTest, ConsequenceAppendReplaceAndRefuse)
{
    ASSERT_EQ(setConsequence(event, 0, cMoveObj, newMoveValue(1, 2, 3)), 1);  // first link
    EXPECT_EQ(event->consequenceCount, 1);
    ASSERT_EQ(setConsequence(event, 1, cLoop, newLoopValue(3)), 1);            // just after the last
    ASSERT_EQ(setConsequence(event, 2, cAgain, newAgainValue()), 1);
    EXPECT_EQ(event->consequenceCount, 3);

    Consequence *second = consequenceAt(event, 1);
    EXPECT_EQ(setConsequence(event, 1, cChangeMat, newChangeMatValue("ladrillo")), 1);
    EXPECT_EQ(event->consequenceCount, 3);
    EXPECT_EQ(consequenceAt(event, 1), second);  // overwritten in place
    EXPECT_EQ(chain(), (std::vector<std::string>{"MOVE OBJECT In (1, 2, 3)", "CHANGE MATERIAL To ladrillo", "AGAIN"}));

    EXPECT_EQ(setConsequence(event, 5, cAgain, newAgainValue()), 0);  // beyond the end
    EXPECT_EQ(setConsequence(event, -1, cAgain, newAgainValue()), 0);
    EXPECT_EQ(setConsequence(event, 0, cAgain, nullptr), 0);
    EXPECT_EQ(event->consequenceCount, 3);
    EXPECT_EQ(consequenceAt(event, 3), nullptr);
    EXPECT_EQ(consequenceAt(event, -1), nullptr);
}

TEST_F(EventSetTest, ConsequenceRemoval)
{
    for (int i = 0; i < 5; i++) setConsequence(event, i, cLoop, newLoopValue(i + 1));
    ASSERT_EQ(event->consequenceCount, 5);

    EXPECT_EQ(removeConsequence(event, 7), 0);  // missing position
    EXPECT_EQ(removeConsequence(event, 5), 0);
    EXPECT_EQ(removeConsequence(event, -1), 0);
    EXPECT_EQ(event->consequenceCount, 5);

    EXPECT_EQ(removeConsequence(event, 0), 1);  // head
    EXPECT_EQ(chain(), (std::vector<std::string>{"LOOP 2 times", "LOOP 3 times", "LOOP 4 times", "LOOP 5 times"}));
    EXPECT_EQ(removeConsequence(event, 1), 1);  // middle
    EXPECT_EQ(chain(), (std::vector<std::string>{"LOOP 2 times", "LOOP 4 times", "LOOP 5 times"}));
    EXPECT_EQ(removeConsequence(event, 2), 1);  // end
    EXPECT_EQ(chain(), (std::vector<std::string>{"LOOP 2 times", "LOOP 4 times"}));
    EXPECT_EQ(event->consequenceCount, 2);

    // Appending after removals goes at the new end
    EXPECT_EQ(setConsequence(event, 2, cAgain, newAgainValue()), 1);
    EXPECT_EQ(chain(), (std::vector<std::string>{"LOOP 2 times", "LOOP 4 times", "AGAIN"}));

    while (event->consequenceCount > 0) ASSERT_EQ(removeConsequence(event, 0), 1);
    EXPECT_EQ(event->firstConsequence, nullptr);
    EXPECT_EQ(removeConsequence(event, 0), 0);
}

TEST_F(EventSetTest, RowTextsOfEveryKind)
{
    setCondition(event, 0, cActivate, newActivateValue());
    setCondition(event, 1, cDistanceMY, newDistanceValue(120));
    setCondition(event, 2, cDistanceMN, newDistanceValue(0));
    setCondition(event, 3, cFlag, newFlagValue("PUERTA", -42));
    EXPECT_EQ(conditionRow(0), "IS ACTIVATED ??");
    EXPECT_EQ(conditionRow(1), "DISTANCE is MAYOR To 120");
    EXPECT_EQ(conditionRow(2), "DISTANCE is MINOR To 0");
    EXPECT_EQ(conditionRow(3), "FLAG PUERTA = -42");
    EXPECT_EQ(conditionRow(4), "- Nothing -");
    EXPECT_EQ(conditionRowText(nullptr), "- Nothing -");

    setConsequence(event, 0, cMoveObj, newMoveValue(100, -50, 0));
    setConsequence(event, 1, cRotateObj, newRotateValue(90, -15, 7));
    setConsequence(event, 2, cChangeMat, newChangeMatValue("(default)"));
    setConsequence(event, 3, cRotateMat, newRotateValue(1, 2, -3));
    setConsequence(event, 4, cFlagEqual, newFlagValue("LUZ", 1234567));
    setConsequence(event, 5, cLoop, newLoopValue(10));
    setConsequence(event, 6, cLoop, newLoopValue(0));
    setConsequence(event, 7, cAgain, newAgainValue());
    EXPECT_EQ(chain(), (std::vector<std::string>{
                           "MOVE OBJECT In (100, -50, 0)",
                           "ROTATE OBJECT In (90, -15, 7)",
                           "CHANGE MATERIAL To (default)",
                           "ROTATE MATERIAL In (1, 2, -3)",
                           "FLAG LUZ = 1234567",
                           "LOOP 10 times",
                           "LOOP Infinite",
                           "AGAIN",
                       }));
    EXPECT_EQ(consequenceRowText(consequenceAt(event, 8)), "- Nothing -");

    // A long name is formatted whole
    std::string longName(300, 'M');
    setConsequence(event, 2, cChangeMat, newChangeMatValue(longName));
    EXPECT_EQ(consequenceRowText(consequenceAt(event, 2)), "CHANGE MATERIAL To " + longName);
}

TEST_F(EventSetTest, TypedViewsCheckTheKind)
{
    setCondition(event, 0, cActivate, newActivateValue());
    setCondition(event, 1, cDistanceMN, newDistanceValue(4));
    EXPECT_EQ(distanceValueOf(&event->conditions[0]), nullptr);
    EXPECT_EQ(flagValueOf(&event->conditions[1]), nullptr);
    ASSERT_NE(distanceValueOf(&event->conditions[1]), nullptr);

    setConsequence(event, 0, cRotateMat, newRotateValue(1, 2, 3));
    setConsequence(event, 1, cFlagEqual, newFlagValue("X", 2));
    Consequence *rotate = consequenceAt(event, 0);
    Consequence *flag = consequenceAt(event, 1);
    EXPECT_EQ(moveValueOf(rotate), nullptr);
    EXPECT_EQ(loopValueOf(rotate), nullptr);
    EXPECT_EQ(changeMatValueOf(flag), nullptr);
    ASSERT_NE(rotateValueOf(rotate), nullptr);
    EXPECT_EQ(rotateValueOf(rotate)->roll, 3);
    ASSERT_NE(flagValueOf(flag), nullptr);
    EXPECT_EQ(flagValueOf(flag)->name, "X");
}

TEST_F(EventSetTest, UnknownKindsAreRefused)
{
    DistanceValue *value = newDistanceValue(3);
    EXPECT_EQ(setCondition(event, 0, 9, value), 0);
    EXPECT_EQ(setCondition(event, 0, cEmpty, value), 0);
    EXPECT_EQ(setConsequence(event, 0, 0, value), 0);
    EXPECT_EQ(setConsequence(event, 0, 8, value), 0);
    EXPECT_EQ(event->conditionCount, 0);
    EXPECT_EQ(event->consequenceCount, 0);
    delete value;  // left to the caller
}

TEST(ChooserLabels, EveryKind)
{
    EXPECT_STREQ(conditionChooserLabel(cActivate), "ACTIVATED ??");
    EXPECT_STREQ(conditionChooserLabel(cDistanceMY), "DISTANCE > ??");
    EXPECT_STREQ(conditionChooserLabel(cDistanceMN), "DISTANCE < ??");
    EXPECT_STREQ(conditionChooserLabel(cFlag), "FLAG = ??");
    EXPECT_STREQ(conditionChooserLabel(cEmpty), "");
    EXPECT_STREQ(consequenceChooserLabel(cMoveObj), "MOVE OBJECT");
    EXPECT_STREQ(consequenceChooserLabel(cRotateObj), "ROTATE OBJECT");
    EXPECT_STREQ(consequenceChooserLabel(cChangeMat), "CHANGE OBJECT MATERIAL");
    EXPECT_STREQ(consequenceChooserLabel(cRotateMat), "ROTATE OBJECT MATERIAL");
    EXPECT_STREQ(consequenceChooserLabel(cFlagEqual), "FLAG ? = ?");
    EXPECT_STREQ(consequenceChooserLabel(cLoop), "LOOP");
    EXPECT_STREQ(consequenceChooserLabel(cAgain), "AGAIN");
    EXPECT_STREQ(consequenceChooserLabel(8), "");
}

TEST(OpenClose, UnchangedPanelLeavesNoEventSet)
{
    EventSet *objectSet = nullptr;
    setCurrentEvent(5);
    setConditionOffset(2);
    setConsequenceOffset(9);
    EventSet *opened = openEventSet(objectSet);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(objectSet, opened);
    EXPECT_EQ(getCurrentEvent(), 0);
    EXPECT_EQ(getConditionOffset(), 0);
    EXPECT_EQ(getConsequenceOffset(), 0);
    EXPECT_EQ(closeEventSet(objectSet), 1);
    EXPECT_EQ(objectSet, nullptr);
    EXPECT_EQ(closeEventSet(objectSet), 0);  // nothing to close
}

TEST(OpenClose, SetWithContentStaysAndIsReused)
{
    EventSet *objectSet = nullptr;
    openEventSet(objectSet);
    ASSERT_EQ(setConsequence(&objectSet->events[15], 0, cAgain, newAgainValue()), 1);
    EXPECT_EQ(closeEventSet(objectSet), 0);
    ASSERT_NE(objectSet, nullptr);
    EventSet *kept = objectSet;
    EXPECT_EQ(openEventSet(objectSet), kept);  // reopening keeps the events

    // A condition alone keeps it too; emptying everything lets it go
    removeConsequence(&objectSet->events[15], 0);
    setCondition(&objectSet->events[3], 0, cActivate, newActivateValue());
    EXPECT_EQ(closeEventSet(objectSet), 0);
    removeCondition(&objectSet->events[3], 0);
    EXPECT_EQ(closeEventSet(objectSet), 1);
    EXPECT_EQ(objectSet, nullptr);
}

TEST(OpenClose, FreeingAFullSetReleasesEverything)
{
    EventSet *full = newEventSet();
    ASSERT_NE(full, nullptr);
    for (Event &e : full->events) {
        setCondition(&e, 0, cFlag, newFlagValue("A", 1));
        setCondition(&e, 1, cDistanceMY, newDistanceValue(2));
        for (int i = 0; i < 6; i++) setConsequence(&e, i, cChangeMat, newChangeMatValue("material"));
        setConsequence(&e, 6, cFlagEqual, newFlagValue("B", 2));
    }
    EXPECT_EQ(eventSetIsEmpty(full), 0);
    freeEventSet(full);  // LeakSanitizer checks that nothing is left behind
    freeEventSet(nullptr);
    EXPECT_EQ(eventSetIsEmpty(nullptr), 1);
}

TEST(EventCursor, TargetsAndRanges)
{
    setEditedObject(12);
    EXPECT_EQ(getEditedObject(), 12);
    setEditedObject(-5);
    EXPECT_EQ(getEditedObject(), NO_EDITED_OBJECT);

    setConditionOffset(3);
    setSelectedConditionRow(2);
    EXPECT_EQ(getConditionTargetSlot(), 5);
    setConsequenceOffset(10);
    setSelectedConsequenceRow(7);
    EXPECT_EQ(getConsequenceTargetPosition(), 17);

    setCurrentEvent(16);
    EXPECT_EQ(getCurrentEvent(), 15);
    setCurrentEvent(-1);
    EXPECT_EQ(getCurrentEvent(), 0);
    setConditionOffset(5);
    EXPECT_EQ(getConditionOffset(), 4);
    setConsequenceOffset(-2);
    EXPECT_EQ(getConsequenceOffset(), 0);
    setSelectedConditionRow(4);
    EXPECT_EQ(getSelectedConditionRow(), 3);
    setSelectedConsequenceRow(8);
    EXPECT_EQ(getSelectedConsequenceRow(), 7);

    resetEventCursor();
    EXPECT_EQ(getCurrentEvent(), 0);
    EXPECT_EQ(getConditionOffset(), 0);
    EXPECT_EQ(getConsequenceOffset(), 0);
}
