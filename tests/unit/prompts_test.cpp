// Typed prompts: the three filters, Backspace and Enter, cancelling, and what each prompt stores.
#include "app_state.h"
#include "event_cursor.h"
#include "events.h"
#include "flags.h"
#include "objects.h"
#include "prompts.h"

#include <gtest/gtest.h>

#include <string>

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
};

}  // namespace

TEST_F(Prompts, SignedNumberFilter)
{
    startTextEntry(15);
    typeAll("-05");
    EXPECT_EQ(getTextEntry().text, "-5");  // the 0 after the minus is refused
    typeAll("\b\b");
    typeAll("05");
    EXPECT_EQ(getTextEntry().text, "0");  // no leading zeros
    typeAll("\b1-2345678");
    EXPECT_EQ(getTextEntry().text, "1234567");  // the minus only first; 7 digits
    typeAll("\b\b\b\b\b\b\b-12345678");
    EXPECT_EQ(getTextEntry().text, "-1234567");  // 8 characters with the minus
    typeAll("x ");
    EXPECT_EQ(getTextEntry().text, "-1234567");
}

TEST_F(Prompts, UnsignedNumberFilter)
{
    startTextEntry(12);
    typeAll("-12345678");
    EXPECT_EQ(getTextEntry().text, "1234567");  // no sign; the eighth digit is ignored
    typeAll("\b\b\b\b\b\b\b05");
    EXPECT_EQ(getTextEntry().text, "0");
}

TEST_F(Prompts, NameFieldIsUpperCaseLettersOnly)
{
    startTextEntry(9);
    typeAll("puerta1 X");
    EXPECT_EQ(getTextEntry().text, "PUERTAX");
    typeAll("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(getTextEntry().text.size(), 25u);
}

TEST_F(Prompts, NewFlagTakesNameThenValue)
{
    startTextEntry(9);
    EXPECT_EQ(getTextEntryOpen(), 1);
    EXPECT_EQ(promptLine(9), "Introduzca el nombre de la nueva FLAG :");
    typeAll("puerta\r");
    EXPECT_EQ(getTextEntry().fieldIndex, 1);
    EXPECT_EQ(getTextEntry().text, "");
    EXPECT_EQ(promptLine(9), "Introduzca el valor inicial de PUERTA :");
    typeAll("-3\r");
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(getEditorState(), 7);
    ASSERT_NE(findFlag("PUERTA"), nullptr);
    EXPECT_EQ(findFlag("PUERTA")->value, -3);
}

TEST_F(Prompts, EnterOnAnEmptyFieldCancels)
{
    startTextEntry(15);
    typeAll("\r");
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(event()->consequenceCount, 0);

    startTextEntry(15);
    typeAll("12\r-\r");  // a lone minus in the second field also cancels
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(event()->consequenceCount, 0);
}

TEST_F(Prompts, MovePromptStoresThreeValues)
{
    startTextEntry(15);
    EXPECT_EQ(promptLine(15), "Introduzca el desplazamiento en el eje X :");
    typeAll("100\r");
    EXPECT_EQ(promptLine(15), "Introduzca el desplazamiento en el eje Y :");
    typeAll("-50\r0\r");
    ASSERT_EQ(event()->consequenceCount, 1);
    const MoveValue *move = moveValueOf(event()->firstConsequence);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->x, 100);
    EXPECT_EQ(move->y, -50);
    EXPECT_EQ(move->z, 0);
    EXPECT_EQ(consequenceRowText(event()->firstConsequence), "MOVE OBJECT In (100, -50, 0)");
}

TEST_F(Prompts, EachStateStoresItsKind)
{
    startTextEntry(12);
    typeAll("40\r");
    EXPECT_EQ(conditionRowText(&event()->conditions[0]), "DISTANCE is MAYOR To 40");

    setSelectedConditionRow(1);
    startTextEntry(13);
    typeAll("15\r");
    EXPECT_EQ(conditionRowText(&event()->conditions[1]), "DISTANCE is MINOR To 15");

    setSelectedFlag("PUERTA", 0);
    setSelectedConditionRow(2);
    startTextEntry(14);
    EXPECT_EQ(promptLine(14), "Introduzca el valor de la Flag PUERTA a cumplir :");
    typeAll("1\r");
    EXPECT_EQ(conditionRowText(&event()->conditions[2]), "FLAG PUERTA = 1");
    EXPECT_EQ(event()->conditionCount, 3);

    startTextEntry(17);
    typeAll("0\r");
    setSelectedConsequenceRow(1);
    startTextEntry(16);
    typeAll("90\r0\r-45\r");
    setSelectedConsequenceRow(2);
    startTextEntry(18);
    EXPECT_EQ(promptLine(18), "Introduzca la rotacion en Yaw :");
    typeAll("15\r15\r0\r");
    setSelectedConsequenceRow(3);
    startTextEntry(21);
    typeAll("7\r");
    ASSERT_EQ(event()->consequenceCount, 4);
    EXPECT_EQ(consequenceRowText(consequenceAt(event(), 0)), "LOOP Infinite");
    EXPECT_EQ(consequenceRowText(consequenceAt(event(), 1)), "ROTATE OBJECT In (90, 0, -45)");
    EXPECT_EQ(consequenceRowText(consequenceAt(event(), 2)), "ROTATE MATERIAL In (15, 15, 0)");
    EXPECT_EQ(consequenceRowText(consequenceAt(event(), 3)), "FLAG PUERTA = 7");
}

TEST_F(Prompts, RefusedConditionIsDroppedAndThePromptCloses)
{
    startTextEntry(12);
    typeAll("40\r");
    setSelectedConditionRow(1);
    startTextEntry(12);  // a second DISTANCE > in another row
    typeAll("80\r");
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(event()->conditionCount, 1);
    EXPECT_EQ(conditionRowText(&event()->conditions[0]), "DISTANCE is MAYOR To 40");
}

TEST_F(Prompts, KeysAreDroppedOutsidePromptStates)
{
    EXPECT_EQ(entryFilterFor(7, 0), FilterNone);
    EXPECT_EQ(entryFilterFor(9, 2), FilterNone);
    EXPECT_EQ(entryFilterFor(17, 0), FilterUnsignedNumber);
    EXPECT_EQ(entryFilterFor(21, 0), FilterSignedNumber);
    EXPECT_EQ(parseFieldValue("-1234567"), -1234567);
    EXPECT_EQ(parseFieldValue("0"), 0);
}

TEST_F(Prompts, ASecondFlagConditionOnTheSameFlagIsDropped)
{
    setSelectedFlag("PUERTA", 0);
    startTextEntry(14);
    typeAll("1\r");
    setSelectedConditionRow(1);
    startTextEntry(14);
    typeAll("2\r");
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(getEditorState(), 7);
    ASSERT_EQ(event()->conditionCount, 1);
    EXPECT_EQ(conditionRowText(&event()->conditions[0]), "FLAG PUERTA = 1");

    // Another flag may share the event
    setSelectedFlag("VENTANA", 0);
    startTextEntry(14);
    typeAll("3\r");
    ASSERT_EQ(event()->conditionCount, 2);
    EXPECT_EQ(conditionRowText(&event()->conditions[1]), "FLAG VENTANA = 3");
}

TEST_F(Prompts, ADuplicateFlagNamePrintsTheFlagErrorAndClosesThePrompt)
{
    startTextEntry(9);
    typeAll("puerta\r4\r");
    testing::internal::CaptureStdout();
    startTextEntry(9);
    typeAll("PUERTA\r9\r");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n ERROR : Flag ya introducida anteriormente.");
    EXPECT_EQ(getTextEntryOpen(), 0);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(getFlagCount(), 1);
    EXPECT_EQ(findFlag("PUERTA")->value, 4);
}
