// Reading OpenGL selection records: the nearest hit's last name, ties, empty name lists and
// records that do not fit the buffer.
#include "picking.h"

#include <gtest/gtest.h>

#include <vector>

TEST(HitRecords, NearestLastNameTiesToTheEarlierAndNothingReadPastTheBuffer)
{
    // {names, min depth, max depth, names...}; depths compare unsigned
    std::vector<uint32_t> hits = {1, 900, 950, 210000, 2, 300, 400, 0, 120000, 1, 0x90000000u, 0x90000001u, 330000};
    std::vector<uint32_t> tie = {1, 500, 600, 110000, 1, 500, 510, 220000};
    std::vector<uint32_t> empty = {0, 10, 20, 1, 500, 600, 110000};
    std::vector<uint32_t> overlong = {1, 800, 900, 110000, 9, 10, 20, 220000};
    std::vector<uint32_t> huge = {0xFFFFFFFFu, 1, 2};
    struct { const std::vector<uint32_t> *buffer; int size, count, name; } cases[] = {
        {&hits, 13, 3, 120000}, {&hits, 13, 1, 210000}, {&hits, 13, 0, 0},  {&tie, 8, 2, 110000},
        {&empty, 7, 2, 0},      {&overlong, 8, 2, 110000}, {&huge, 3, 1, 0}, {&overlong, 2, 1, 0},
        {&overlong, 4, 50, 110000},
    };
    for (const auto &c : cases) EXPECT_EQ(nearestHitName(c.buffer->data(), c.size, c.count), c.name) << c.size << " " << c.count;
    EXPECT_EQ(nearestHitName(nullptr, 512, 3), 0);
}
