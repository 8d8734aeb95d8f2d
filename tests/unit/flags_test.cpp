// The flag table: adding, duplicates, setting, removing, order, snapshot and the selected flag.
#include "flags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char *const DUPLICATE_MESSAGE = "\n ERROR : Flag ya introducida anteriormente.";

class FlagTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(createFlagTable(), 1);
        clearSelectedFlag();
    }
    void TearDown() override { clearFlagTable(); }
};

int add(const std::string &name, int value) { return addFlag(newFlagRecord(name, value)); }

// Names in table order
std::vector<std::string> flagNames()
{
    std::vector<std::string> names;
    hash_iterator it{};
    for (FlagRecord *record = firstFlag(&it); record != nullptr; record = nextFlag(&it)) names.push_back(record->name);
    return names;
}

// Names in the order the underlying table walks its entries
std::vector<std::string> tableKeys()
{
    std::vector<std::string> keys;
    hash_iterator it{};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    for (hash_table_first(getFlagTable(), &it, &key, &length); key != nullptr;
         hash_table_next(getFlagTable(), &it, &key, &length)) {
        keys.emplace_back((const char *)key, length);
    }
    return keys;
}

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

TEST_F(FlagTableTest, AddAndFind)
{
    EXPECT_EQ(getFlagCount(), 0);
    EXPECT_EQ(findFlag("PUERTA"), nullptr);
    EXPECT_EQ(add("PUERTA", 3), 1);
    EXPECT_EQ(add("LUZ", -7), 1);
    EXPECT_EQ(getFlagCount(), 2);
    ASSERT_NE(findFlag("PUERTA"), nullptr);
    EXPECT_EQ(findFlag("PUERTA")->value, 3);
    EXPECT_EQ(findFlag("LUZ")->value, -7);
    EXPECT_EQ(findFlag("puerta"), nullptr);  // names are compared exactly
    EXPECT_EQ(findFlag("PUERT"), nullptr);
}

TEST_F(FlagTableTest, DuplicatePrintsOnceAndKeepsTheFirstValue)
{
    ASSERT_EQ(add("PUERTA", 1), 1);
    testing::internal::CaptureStdout();
    int result = add("PUERTA", 9);
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(output, DUPLICATE_MESSAGE);
    EXPECT_EQ(getFlagCount(), 1);
    EXPECT_EQ(findFlag("PUERTA")->value, 1);

    // A successful add prints nothing
    testing::internal::CaptureStdout();
    add("OTRA", 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(FlagTableTest, AddWithoutTableCreatesOne)
{
    clearFlagTable();
    EXPECT_EQ(getFlagTable(), nullptr);
    EXPECT_EQ(getFlagCount(), 0);
    EXPECT_EQ(findFlag("A"), nullptr);
    EXPECT_EQ(setFlag("A", 1), 0);
    EXPECT_EQ(removeFlag("A"), 0);
    EXPECT_EQ(add("A", 4), 1);
    ASSERT_NE(getFlagTable(), nullptr);
    EXPECT_EQ(findFlag("A")->value, 4);
    EXPECT_EQ(addFlag(nullptr), 0);
}

TEST_F(FlagTableTest, SetReplacesExistingAndNeverCreates)
{
    EXPECT_EQ(setFlag("NADA", 5), 0);  // empty table
    EXPECT_EQ(getFlagCount(), 0);

    add("PUERTA", 0);
    add("LUZ", 1);
    EXPECT_EQ(setFlag("NADA", 5), 0);
    EXPECT_EQ(getFlagCount(), 2);
    EXPECT_EQ(findFlag("NADA"), nullptr);

    EXPECT_EQ(setFlag("PUERTA", 42), 1);
    EXPECT_EQ(getFlagCount(), 2);
    ASSERT_NE(findFlag("PUERTA"), nullptr);
    EXPECT_EQ(findFlag("PUERTA")->value, 42);
    EXPECT_EQ(findFlag("PUERTA")->name, "PUERTA");
    EXPECT_EQ(findFlag("LUZ")->value, 1);
}

TEST_F(FlagTableTest, RemoveDeletesOnlyThatFlag)
{
    add("PUERTA", 0);
    add("LUZ", 1);
    EXPECT_EQ(removeFlag("PUERTA"), 1);
    EXPECT_EQ(findFlag("PUERTA"), nullptr);
    EXPECT_EQ(getFlagCount(), 1);
    EXPECT_EQ(removeFlag("PUERTA"), 0);
    EXPECT_EQ(removeFlag(""), 0);  // the empty selected flag finds nothing
    EXPECT_EQ(getFlagCount(), 1);
    // The name can be used again after removal
    EXPECT_EQ(add("PUERTA", 8), 1);
    EXPECT_EQ(findFlag("PUERTA")->value, 8);
}

TEST_F(FlagTableTest, TwoHundredFiftySixFlagsFit)
{
    for (int i = 0; i < MAX_FLAGS; i++) ASSERT_EQ(add(letterName(i), i), 1) << letterName(i);
    EXPECT_EQ(getFlagCount(), 256);
    for (int i = 0; i < MAX_FLAGS; i++) {
        ASSERT_NE(findFlag(letterName(i)), nullptr);
        EXPECT_EQ(findFlag(letterName(i))->value, i);
    }
    EXPECT_EQ((int)flagNames().size(), 256);
}

TEST_F(FlagTableTest, IterationFollowsTableOrder)
{
    for (int i = 0; i < 40; i++) add(letterName(i), i);
    std::vector<std::string> names = flagNames();
    EXPECT_EQ(names, tableKeys());
    ASSERT_EQ(names.size(), 40u);
    for (int i = 0; i < 40; i++) {
        ASSERT_NE(flagAtPosition(i), nullptr);
        EXPECT_EQ(flagAtPosition(i)->name, names[(size_t)i]);
    }
    EXPECT_EQ(flagAtPosition(40), nullptr);
    EXPECT_EQ(flagAtPosition(-1), nullptr);
    // setFlag keeps a flag's place in the order
    setFlag(names[5], 1000);
    EXPECT_EQ(flagNames(), names);
}

TEST_F(FlagTableTest, SnapshotRestoresValuesAfterPlay)
{
    add("PUERTA", 0);
    add("LUZ", -3);
    snapshotFlags();
    ASSERT_EQ(getFlagSnapshot().size(), 2u);
    EXPECT_EQ(getFlagSnapshot()[0].name, flagNames()[0]);

    setFlag("PUERTA", 5);
    setFlag("LUZ", 12);
    EXPECT_EQ(findFlag("PUERTA")->value, 5);
    restoreFlags();
    EXPECT_EQ(findFlag("PUERTA")->value, 0);
    EXPECT_EQ(findFlag("LUZ")->value, -3);
    EXPECT_EQ(getFlagCount(), 2);

    // A new snapshot replaces the old one
    removeFlag("LUZ");
    setFlag("PUERTA", 7);
    snapshotFlags();
    ASSERT_EQ(getFlagSnapshot().size(), 1u);
    EXPECT_EQ(getFlagSnapshot()[0].name, "PUERTA");
    EXPECT_EQ(getFlagSnapshot()[0].value, 7);
    setFlag("PUERTA", 1);
    restoreFlags();
    EXPECT_EQ(findFlag("PUERTA")->value, 7);
    EXPECT_EQ(findFlag("LUZ"), nullptr);  // restoring never creates
}

TEST_F(FlagTableTest, RecreatingTheTableEmptiesIt)
{
    add("PUERTA", 1);
    add("LUZ", 2);
    ASSERT_EQ(createFlagTable(), 1);
    EXPECT_EQ(getFlagCount(), 0);
    EXPECT_EQ(findFlag("PUERTA"), nullptr);
    EXPECT_EQ(getFlagTable()->bucketCount, 256u);
}

TEST_F(FlagTableTest, SelectedFlagIsACopy)
{
    EXPECT_EQ(hasSelectedFlag(), 0);
    EXPECT_EQ(getSelectedFlag().name, "");
    add("PUERTA", 4);
    FlagRecord *record = findFlag("PUERTA");
    setSelectedFlag(record->name, record->value);
    EXPECT_EQ(hasSelectedFlag(), 1);
    setFlag("PUERTA", 9);
    EXPECT_EQ(getSelectedFlag().value, 4);

    // The delete command: remove by the selected name, then empty the selection
    EXPECT_EQ(removeFlag(getSelectedFlag().name), 1);
    clearSelectedFlag();
    EXPECT_EQ(hasSelectedFlag(), 0);
    EXPECT_EQ(getSelectedFlag().value, 0);
    EXPECT_EQ(getFlagCount(), 0);
}

TEST_F(FlagTableTest, RecordNameStopsAtNul)
{
    FlagRecord *record = newFlagRecord(std::string("AB\0CD", 5), 1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->name, "AB");
    EXPECT_EQ(addFlag(record), 1);
    EXPECT_NE(findFlag("AB"), nullptr);
}
