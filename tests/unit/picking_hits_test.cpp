// Reading OpenGL selection records: the nearest hit's last name, ties, empty name lists and
// records that do not fit the buffer.
#include "picking.h"

#include <gtest/gtest.h>

#include <vector>

TEST(HitRecords, TheSmallestMinimumDepthGivesItsLastName)
{
    // {names, min depth, max depth, names...}
    std::vector<uint32_t> buffer = {
        1, 900, 950, 210000,
        2, 300, 400, 0, 120000,
        1, 0x90000000u, 0x90000001u, 330000,   // compared unsigned: far
    };
    EXPECT_EQ(nearestHitName(buffer.data(), (int)buffer.size(), 3), 120000);
    // Only as many records as the hit count are read
    EXPECT_EQ(nearestHitName(buffer.data(), (int)buffer.size(), 1), 210000);
    EXPECT_EQ(nearestHitName(buffer.data(), (int)buffer.size(), 0), 0);
}

TEST(HitRecords, TiesGoToTheEarlierRecordAndEmptyRecordsGiveZero)
{
    std::vector<uint32_t> tie = {1, 500, 600, 110000, 1, 500, 510, 220000};
    EXPECT_EQ(nearestHitName(tie.data(), (int)tie.size(), 2), 110000);
    std::vector<uint32_t> empty = {0, 10, 20, 1, 500, 600, 110000};
    EXPECT_EQ(nearestHitName(empty.data(), (int)empty.size(), 2), 0);
}

TEST(HitRecords, RecordsPastTheBufferAreIgnored)
{
    // The second record claims more names than the buffer holds
    std::vector<uint32_t> buffer = {1, 800, 900, 110000, 9, 10, 20, 220000};
    EXPECT_EQ(nearestHitName(buffer.data(), (int)buffer.size(), 2), 110000);
    std::vector<uint32_t> huge = {0xFFFFFFFFu, 1, 2};
    EXPECT_EQ(nearestHitName(huge.data(), (int)huge.size(), 1), 0);
    EXPECT_EQ(nearestHitName(buffer.data(), 2, 1), 0);   // not even a header
    EXPECT_EQ(nearestHitName(nullptr, 512, 3), 0);
    // A hit count larger than the records present stops at the end of the buffer
    EXPECT_EQ(nearestHitName(buffer.data(), 4, 50), 110000);
}
