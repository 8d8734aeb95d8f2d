// Event sets: condition and consequence editing rules, opening and closing, and row texts.
#include "events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Link {
    int kind;
    void *value;
};

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

}  // namespace

TEST_F(EventSetTest, OneDistanceOfEachKindOneActivationAndOneConditionPerFlag)
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
}

TEST_F(EventSetTest, ConditionSlotsStayPacked)
{
    EXPECT_EQ(setCondition(event, 1, cActivate, newActivateValue()), 0);  // gap refused
    EXPECT_EQ(setCondition(event, 8, cActivate, newActivateValue()), 0);
    EXPECT_EQ(setCondition(event, 0, cActivate, nullptr), 0);
    DistanceValue *value = newDistanceValue(3);
    EXPECT_EQ(setCondition(event, 0, 9, value), 0);
    delete value;  // a refused value is left to the caller
    EXPECT_EQ(event->conditionCount, 0);

    setCondition(event, 0, cActivate, newActivateValue());
    setCondition(event, 1, cDistanceMY, newDistanceValue(20));
    setCondition(event, 2, cFlag, newFlagValue("PUERTA", 1));
    event->conditions[2].satisfied = 1;
    EXPECT_EQ(removeCondition(event, 1), 1);
    EXPECT_EQ(conditionRow(1), "FLAG PUERTA = 1");
    EXPECT_EQ(event->conditions[1].satisfied, 1);  // the mark moves with its condition
    EXPECT_EQ(conditionRow(2), "- Nothing -");
    EXPECT_EQ(removeCondition(event, 2), 0);
    EXPECT_EQ(removeCondition(event, -1), 0);
    EXPECT_EQ(event->conditionCount, 2);
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

TEST_F(EventSetTest, RowTextsOfEveryKind)
{
    setCondition(event, 0, cActivate, newActivateValue());
    setCondition(event, 1, cDistanceMN, newDistanceValue(0));
    setCondition(event, 2, cFlag, newFlagValue("PUERTA", -42));
    EXPECT_EQ(conditionRow(0), "IS ACTIVATED ??");
    EXPECT_EQ(conditionRow(1), "DISTANCE is MINOR To 0");
    EXPECT_EQ(conditionRow(2), "FLAG PUERTA = -42");
    std::string longName(300, 'M');  // formatted whole
    const Link links[] = {{cMoveObj, newMoveValue(100, -50, 0)},  {cRotateObj, newRotateValue(90, -15, 7)},
                          {cChangeMat, newChangeMatValue(longName)}, {cRotateMat, newRotateValue(1, 2, -3)},
                          {cFlagEqual, newFlagValue("LUZ", 1234567)}, {cLoop, newLoopValue(10)},
                          {cLoop, newLoopValue(0)},                  {cAgain, newAgainValue()}};
    for (int i = 0; i < 8; i++) setConsequence(event, i, links[i].kind, links[i].value);
    EXPECT_EQ(chain(), (std::vector<std::string>{"MOVE OBJECT In (100, -50, 0)", "ROTATE OBJECT In (90, -15, 7)",
                                                 "CHANGE MATERIAL To " + longName, "ROTATE MATERIAL In (1, 2, -3)",
                                                 "FLAG LUZ = 1234567", "LOOP 10 times", "LOOP Infinite", "AGAIN"}));
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
