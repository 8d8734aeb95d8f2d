// The chained hash table: hashing, bucket counts, insertion order, iteration and removal.
#include "hash_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Keys in iteration order
std::vector<std::string> iterationOrder(const hash_table *table)
{
    std::vector<std::string> keys;
    hash_iterator it{};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    for (void *data = hash_table_first(table, &it, &key, &length); key != nullptr;
         data = hash_table_next(table, &it, &key, &length)) {
        (void)data;
        keys.emplace_back((const char *)key, length);
    }
    return keys;
}

uint32_t bucketOf(const hash_table *table, const std::string &key)
{
    return one_at_a_time_hash((uint32_t)key.size(), (const unsigned char *)key.data()) & (uint32_t)table->bucketMask;
}

int insert(hash_table *table, const std::string &key, intptr_t value)
{
    return hash_table_insert(table, (void *)value, (uint32_t)key.size(), key.data());
}

// Finds n distinct keys that land in the same bucket of the table
std::vector<std::string> collidingKeys(const hash_table *table, size_t n)
{
    std::vector<std::string> keys;
    uint32_t target = bucketOf(table, "k0");
    for (int i = 0; keys.size() < n; i++) {
        std::string key = "k" + std::to_string(i);
        if (bucketOf(table, key) == target) keys.push_back(key);
    }
    return keys;
}

}  // namespace

TEST(HashFunction, KnownValues)
{
    EXPECT_EQ(one_at_a_time_hash(1, (const unsigned char *)"a"), 0xCA2E9442u);
    EXPECT_EQ(one_at_a_time_hash(0, (const unsigned char *)""), 0u);
    // The classic reference value of the one-at-a-time hash
    const char *fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(one_at_a_time_hash((uint32_t)strlen(fox), (const unsigned char *)fox), 0x519E91F5u);
}

TEST(HashTableCreate, BucketCountIsNextPowerOfTwo)
{
    struct { uint32_t size, buckets; } cases[] = {{256, 256}, {6, 8}, {5, 8}, {1, 1}, {257, 512}, {2, 2}};
    for (auto c : cases) {
        hash_table *table = hash_table_create(c.size);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->bucketCount, c.buckets) << "size " << c.size;
        EXPECT_EQ(table->bucketMask, (int32_t)c.buckets - 1);
        EXPECT_EQ(hash_table_size(table), 0u);
        hash_table_destroy(table);
    }
}

TEST(HashTableInsert, DuplicatesAndDistinctKeys)
{
    hash_table *table = hash_table_create(256);
    EXPECT_EQ(insert(table, "ROJO", 1), HASH_OK);
    EXPECT_EQ(insert(table, "ROJO", 2), HASH_DUPLICATE);
    EXPECT_EQ(hash_table_size(table), 1u);
    EXPECT_EQ((intptr_t)hash_table_get(table, 4, "ROJO"), 1);

    // "ab" and "ab\0" are different keys
    EXPECT_EQ(hash_table_insert(table, (void *)10, 2, "ab"), HASH_OK);
    EXPECT_EQ(hash_table_insert(table, (void *)11, 3, "ab\0"), HASH_OK);
    EXPECT_EQ((intptr_t)hash_table_get(table, 2, "ab"), 10);
    EXPECT_EQ((intptr_t)hash_table_get(table, 3, "ab\0"), 11);
    EXPECT_EQ(hash_table_get(table, 1, "a"), nullptr);
    EXPECT_EQ(hash_table_size(table), 3u);

    // The caller keeps its key buffer
    char buffer[8] = "VERDE";
    EXPECT_EQ(hash_table_insert(table, (void *)5, 5, buffer), HASH_OK);
    memcpy(buffer, "XXXXX", 5);
    EXPECT_EQ((intptr_t)hash_table_get(table, 5, "VERDE"), 5);
    hash_table_destroy(table);
}

TEST(HashTableReplace, OnlyExistingKeys)
{
    hash_table *table = hash_table_create(16);
    insert(table, "tex", -1);
    EXPECT_EQ((intptr_t)hash_table_replace(table, 3, "tex", (void *)7), -1);
    EXPECT_EQ((intptr_t)hash_table_get(table, 3, "tex"), 7);
    EXPECT_EQ(hash_table_replace(table, 3, "xet", (void *)9), nullptr);
    EXPECT_EQ(hash_table_size(table), 1u);
    EXPECT_EQ(hash_table_get(table, 3, "xet"), nullptr);
    hash_table_destroy(table);
}

TEST(HashTableIteration, BucketsAscendingNewestFirstInChain)
{
    hash_table *table = hash_table_create(4);
    std::vector<std::string> same = collidingKeys(table, 3);
    for (size_t i = 0; i < same.size(); i++) insert(table, same[i], (intptr_t)i);
    std::vector<std::string> order = iterationOrder(table);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], same[2]);
    EXPECT_EQ(order[1], same[1]);
    EXPECT_EQ(order[2], same[0]);
    hash_table_destroy(table);

    // Across buckets: every key of a lower bucket comes before every key of a higher one
    table = hash_table_create(8);
    std::vector<std::string> keys;
    for (int i = 0; i < 40; i++) keys.push_back("flag" + std::to_string(i));
    for (size_t i = 0; i < keys.size(); i++) insert(table, keys[i], (intptr_t)i);
    order = iterationOrder(table);
    ASSERT_EQ(order.size(), keys.size());
    for (size_t i = 1; i < order.size(); i++) {
        uint32_t a = bucketOf(table, order[i - 1]), b = bucketOf(table, order[i]);
        ASSERT_LE(a, b);
        if (a == b) {
            // inside one chain the later-inserted key comes first
            auto pos = [&](const std::string &k) { return std::find(keys.begin(), keys.end(), k) - keys.begin(); };
            EXPECT_GT(pos(order[i - 1]), pos(order[i]));
        }
    }
    hash_table_destroy(table);
}

TEST(HashTableIteration, EmptyTableAndIteratorReset)
{
    hash_table *table = hash_table_create(8);
    hash_iterator it{};
    const unsigned char *key = (const unsigned char *)"junk";
    EXPECT_EQ(hash_table_first(table, &it, &key, nullptr), nullptr);
    EXPECT_EQ(key, nullptr);

    insert(table, "uno", 1);
    EXPECT_EQ((intptr_t)hash_table_first(table, &it, &key, nullptr), 1);
    EXPECT_EQ(hash_table_next(table, &it, &key, nullptr), nullptr);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(it.current, nullptr);
    hash_table_destroy(table);
}

TEST(HashTableRemove, HeadMiddleTailAndOnlyEntry)
{
    hash_table *table = hash_table_create(4);
    std::vector<std::string> same = collidingKeys(table, 4);
    for (size_t i = 0; i < same.size(); i++) insert(table, same[i], (intptr_t)(i + 1));
    uint32_t bucket = bucketOf(table, same[0]);
    EXPECT_EQ(table->bucketSizes[bucket], 4);

    // Chain is same[3] (head), same[2], same[1], same[0] (tail)
    EXPECT_EQ((intptr_t)hash_table_remove(table, (uint32_t)same[3].size(), same[3].data()), 4);  // head
    EXPECT_EQ(std::string((const char *)table->buckets[bucket]->key, table->buckets[bucket]->keyLength), same[2]);
    EXPECT_EQ(table->buckets[bucket]->previous, nullptr);
    EXPECT_EQ((intptr_t)hash_table_remove(table, (uint32_t)same[1].size(), same[1].data()), 2);  // middle
    EXPECT_EQ((intptr_t)hash_table_remove(table, (uint32_t)same[0].size(), same[0].data()), 1);  // tail
    std::vector<std::string> order = iterationOrder(table);
    ASSERT_EQ(order.size(), 1u);
    EXPECT_EQ(order[0], same[2]);
    EXPECT_EQ(table->bucketSizes[bucket], 1);

    EXPECT_EQ((intptr_t)hash_table_remove(table, (uint32_t)same[2].size(), same[2].data()), 3);  // only entry
    EXPECT_EQ(table->buckets[bucket], nullptr);
    EXPECT_EQ(table->bucketSizes[bucket], 0);
    EXPECT_EQ(hash_table_size(table), 0u);
    EXPECT_EQ(hash_table_remove(table, 3, "nada"), nullptr);
    hash_table_destroy(table);
}

TEST(HashTableIteration, RemovingTheCurrentEntryWhileWalking)
{
    hash_table *table = hash_table_create(2);
    for (int i = 0; i < 20; i++) insert(table, "n" + std::to_string(i), i);
    hash_iterator it{};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    int visited = 0;
    for (hash_table_first(table, &it, &key, &length); key != nullptr; hash_table_next(table, &it, &key, &length)) {
        std::string copy((const char *)key, length);
        hash_table_remove(table, length, copy.data());
        visited++;
    }
    EXPECT_EQ(visited, 20);
    EXPECT_EQ(hash_table_size(table), 0u);
    hash_table_destroy(table);
}

TEST(Lists, AppendAtTailAndFree)
{
    pair_node *head = nullptr;
    EXPECT_EQ(list_length(head), 0);
    int a = 1, b = 2, c = 3;
    list_append(&head, &a);
    list_append(&head, &b);
    list_append(&head, &c);
    ASSERT_EQ(list_length(head), 3);
    EXPECT_EQ(head->value, &a);
    EXPECT_EQ(head->next->value, &b);
    EXPECT_EQ(head->next->next->value, &c);
    EXPECT_EQ(head->next->next->next, nullptr);
    list_free(&head);
    EXPECT_EQ(head, nullptr);
}
