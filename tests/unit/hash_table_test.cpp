// The chained hash table: hashing, bucket counts, insertion order, iteration and removal.
#include "hash_table.h"

#include <gtest/gtest.h>

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
    for (hash_table_first(table, &it, &key, &length); key != nullptr; hash_table_next(table, &it, &key, &length))
        keys.emplace_back((const char *)key, length);
    return keys;
}

uint32_t bucketOf(const hash_table *table, const std::string &key)
{
    return one_at_a_time_hash((uint32_t)key.size(), (const unsigned char *)key.data()) & (uint32_t)table->bucketMask;
}

intptr_t take(hash_table *table, const std::string &key)
{
    return (intptr_t)hash_table_remove(table, (uint32_t)key.size(), key.data());
}

}  // namespace

TEST(HashTable, HashValuesAndBucketCounts)
{
    EXPECT_EQ(one_at_a_time_hash(1, (const unsigned char *)"a"), 0xCA2E9442u);
    const char *fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(one_at_a_time_hash((uint32_t)strlen(fox), (const unsigned char *)fox), 0x519E91F5u);
    for (auto [size, buckets] : {std::pair{256u, 256u}, {5u, 8u}, {1u, 1u}, {257u, 512u}}) {
        hash_table *table = hash_table_create(size);
        EXPECT_EQ(table->bucketCount, buckets) << size;
        hash_table_destroy(table);
    }
}

TEST(HashTable, InsertGetAndReplace)
{
    hash_table *table = hash_table_create(256);
    char buffer[8] = "ROJO";
    EXPECT_EQ(hash_table_insert(table, (void *)1, 4, buffer), HASH_OK);
    EXPECT_EQ(hash_table_insert(table, (void *)2, 4, "ROJO"), HASH_DUPLICATE);
    memcpy(buffer, "XXXX", 4);   // the table keeps its own copy of the key
    EXPECT_EQ((intptr_t)hash_table_get(table, 4, "ROJO"), 1);
    // "ab" and "ab\0" are different keys
    EXPECT_EQ(hash_table_insert(table, (void *)10, 2, "ab"), HASH_OK);
    EXPECT_EQ(hash_table_insert(table, (void *)11, 3, "ab\0"), HASH_OK);
    EXPECT_EQ((intptr_t)hash_table_get(table, 3, "ab\0"), 11);
    EXPECT_EQ(hash_table_get(table, 1, "a"), nullptr);
    EXPECT_EQ((intptr_t)hash_table_replace(table, 2, "ab", (void *)7), 10);
    EXPECT_EQ((intptr_t)hash_table_get(table, 2, "ab"), 7);
    EXPECT_EQ(hash_table_replace(table, 2, "ba", (void *)9), nullptr);
    EXPECT_EQ(hash_table_size(table), 3u);
    hash_table_destroy(table);
}

TEST(HashTable, IterationAndRemovalAlongAChain)
{
    // keys that land in one bucket, then others: buckets ascending, newest first in a chain
    hash_table *table = hash_table_create(4);
    std::vector<std::string> same, other;
    for (int i = 0; same.size() < 4 || other.size() < 2; i++) {
        std::string key = "k" + std::to_string(i);
        (bucketOf(table, key) == bucketOf(table, "k0") ? same : other).push_back(key);
    }
    for (size_t i = 0; i < same.size(); i++) hash_table_insert(table, (void *)(i + 1), (uint32_t)same[i].size(), same[i].data());
    std::vector<std::string> order = iterationOrder(table);
    EXPECT_EQ(order, (std::vector<std::string>{same[3], same[2], same[1], same[0]}));
    hash_table_insert(table, (void *)9, (uint32_t)other[0].size(), other[0].data());
    order = iterationOrder(table);
    ASSERT_EQ(order.size(), 5u);
    for (size_t i = 1; i < order.size(); i++) EXPECT_LE(bucketOf(table, order[i - 1]), bucketOf(table, order[i]));

    EXPECT_EQ(take(table, same[3]), 4);   // head
    EXPECT_EQ(take(table, same[1]), 2);   // middle
    EXPECT_EQ(take(table, same[0]), 1);   // tail
    EXPECT_EQ(table->bucketSizes[bucketOf(table, same[2])], 1);
    EXPECT_EQ(take(table, same[2]), 3);   // only entry
    EXPECT_EQ(table->buckets[bucketOf(table, same[2])], nullptr);
    EXPECT_EQ(take(table, "nada"), 0);
    EXPECT_EQ(iterationOrder(table), std::vector<std::string>{other[0]});
    hash_table_destroy(table);

    // removing the current entry while walking visits every entry once
    table = hash_table_create(2);
    for (int i = 0; i < 20; i++) hash_table_insert(table, (void *)1, 3, ("n" + std::to_string(i + 10)).c_str());
    hash_iterator it{};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    int visited = 0;
    for (hash_table_first(table, &it, &key, &length); key != nullptr; hash_table_next(table, &it, &key, &length)) {
        std::string copy((const char *)key, length);
        take(table, copy);
        visited++;
    }
    EXPECT_EQ(visited, 20);
    EXPECT_EQ(hash_table_size(table), 0u);
    hash_table_destroy(table);
}

TEST(HashTable, ListsAppendAtTheTail)
{
    pair_node *head = nullptr;
    int a = 1, b = 2;
    list_append(&head, &a);
    list_append(&head, &b);
    ASSERT_EQ(list_length(head), 2);
    EXPECT_EQ(head->next->value, &b);
    list_free(&head);
    EXPECT_EQ(head, nullptr);
}
