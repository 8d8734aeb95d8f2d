// The flag table: adding, duplicates, setting, removing, order, snapshot and the selected flag.
#include "flags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FlagTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(createFlagTable(), 1); }
    void TearDown() override { clearFlagTable(); }
};

int add(const std::string &name, int value) { return addFlag(newFlagRecord(name, value)); }

// Name of the n-th flag with letters only, as the new-flag prompt would deliver it
std::string letterName(int n)
{
    std::string name = "F";
    do {
        name += (char)('A' + n % 26);
        n /= 26;
    } while (n > 0);
    return name;
}

}  // namespace

TEST_F(FlagTableTest, DuplicatesMissingNamesAndRemoval)
{
    ASSERT_EQ(add("PUERTA", 1), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(add("PUERTA", 9), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n ERROR : Flag ya introducida anteriormente.");
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
}

TEST_F(FlagTableTest, TwoHundredFiftySixFlagsKeepTheirPlacesInTableOrder)
{
    for (int i = 0; i < MAX_FLAGS; i++) ASSERT_EQ(add(letterName(i), i), 1) << letterName(i);
    EXPECT_EQ(getFlagCount(), 256);
    std::vector<std::string> names;
    hash_iterator it{};
    for (FlagRecord *record = firstFlag(&it); record != nullptr; record = nextFlag(&it)) names.push_back(record->name);
    ASSERT_EQ(names.size(), 256u);
    setFlag(names[5], 1000);
    EXPECT_EQ(flagAtPosition(5)->name, names[5]);
    EXPECT_EQ(flagAtPosition(5)->value, 1000);
    EXPECT_EQ(flagAtPosition(256), nullptr);
    EXPECT_EQ(flagAtPosition(-1), nullptr);
}

TEST_F(FlagTableTest, SnapshotRestoresValuesAfterPlay)
{
    add("PUERTA", 0);
    add("LUZ", -3);
    snapshotFlags();
    setFlag("PUERTA", 5);
    removeFlag("LUZ");
    restoreFlags();
    EXPECT_EQ(findFlag("PUERTA")->value, 0);
    EXPECT_EQ(findFlag("LUZ"), nullptr);  // restoring never creates

    // The selected flag is a copy
    setSelectedFlag("PUERTA", 0);
    setFlag("PUERTA", 9);
    EXPECT_EQ(getSelectedFlag().value, 0);
    clearSelectedFlag();
    EXPECT_EQ(hasSelectedFlag(), 0);
}
