// The chained hash table: hashing, bucket counts, insertion order, iteration and removal.
#include "hash_table.h"
#include "scene_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t bucketOf(const hash_table *table, const std::string &key)
{
    return one_at_a_time_hash((uint32_t)key.size(), (const unsigned char *)key.data()) & (uint32_t)table->bucketMask;
}

}  // namespace

TEST(HashTable, HashValuesAndBucketCounts)
{
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
    EXPECT_EQ(hash_table_insert(table, (void *)11, 5, "ROJO\0"), HASH_OK);   // another key
    EXPECT_EQ((intptr_t)hash_table_replace(table, 4, "ROJO", (void *)7), 1);
    EXPECT_EQ((intptr_t)hash_table_get(table, 4, "ROJO"), 7);
    EXPECT_EQ(hash_table_replace(table, 4, "OJOR", (void *)9), nullptr);
    EXPECT_EQ(hash_table_size(table), 2u);
    hash_table_destroy(table);
}

TEST(HashTable, IterationAndRemovalAlongAChain)
{
    // four keys that land in one bucket and one that does not: buckets ascending, newest first in a chain
    hash_table *table = hash_table_create(4);
    std::vector<std::string> same, other;
    for (int i = 0; same.size() < 4 || other.empty(); i++) {
        std::string key = "k" + std::to_string(i);
        (bucketOf(table, key) == bucketOf(table, "k0") ? same : other).push_back(key);
    }
    for (size_t i = 0; i < 4; i++) hash_table_insert(table, (void *)(i + 1), (uint32_t)same[i].size(), same[i].data());
    hash_table_insert(table, (void *)9, (uint32_t)other[0].size(), other[0].data());
    std::vector<std::string> chain = {same[3], same[2], same[1], same[0]}, order = hash_table_keys(table);
    chain.insert(bucketOf(table, other[0]) < bucketOf(table, same[0]) ? chain.begin() : chain.end(), other[0]);
    EXPECT_EQ(order, chain);

    for (auto [index, value] : {std::pair{3, 4}, {1, 2}, {0, 1}, {2, 3}})   // head, middle, tail, only entry
        EXPECT_EQ((intptr_t)hash_table_remove(table, (uint32_t)same[index].size(), same[index].data()), value);
    EXPECT_EQ(table->buckets[bucketOf(table, same[0])], nullptr);
    EXPECT_EQ(hash_table_remove(table, 4, "nada"), nullptr);
    EXPECT_EQ(hash_table_keys(table), std::vector<std::string>{other[0]});
    hash_table_destroy(table);
}
