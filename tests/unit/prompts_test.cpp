// Typed prompts: the three filters, Backspace and Enter, cancelling, and what each prompt stores.
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

TEST_F(Prompts, RefusedConditionsAreDroppedAndThePromptCloses)
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
}

TEST_F(Prompts, NewFlagsTakeANameThenAValueAndRefuseADuplicate)
{
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
