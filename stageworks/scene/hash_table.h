/**********************************************************************************************
*
*   hash_table - chained hash table keyed by byte strings, and the plain list node
*
*   Jenkins one-at-a-time hash, a power-of-two bucket count fixed at creation, new entries
*   linked at the head of their chain. Iteration goes through the buckets in ascending order
*   and inside a bucket from the head, so the most recently inserted entry of a chain comes
*   first. That order decides the order of the sections of every saved scene file.
*
*   DEPENDENCIES: C library allocator; std::string and std::vector for the list of keys
*
**********************************************************************************************/
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
typedef uint32_t (*hash_function)(uint32_t keyLength, const unsigned char *key);

// One entry; its key bytes are stored in the same allocation right behind it
struct hash_entry {
    void *data;
    hash_entry *next;
    hash_entry *previous;
    uint32_t keyLength;
    unsigned char *key;
};

struct hash_table {
    uint32_t entryCount;
    uint32_t bucketCount;
    hash_function hash;
    void *(*allocate)(size_t size);
    void (*release)(void *block);
    hash_entry **buckets;
    int32_t *bucketSizes;
    int32_t bucketMask;
};

// Kept by the caller while walking a table
struct hash_iterator {
    int32_t bucket;
    hash_entry *current;
    hash_entry *following;
};

// Result codes of hash_table_insert
constexpr int HASH_OK = 0;
constexpr int HASH_DUPLICATE = -1;
constexpr int HASH_NO_MEMORY = -2;

// Node of the null-terminated singly linked lists of names and object slots
struct pair_node {
    void *value;
    pair_node *next;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The one-at-a-time hash (an empty key hashes to 0)
uint32_t one_at_a_time_hash(uint32_t keyLength, const unsigned char *key);

// A new empty table with the smallest power-of-two bucket count not below size
hash_table *hash_table_create(uint32_t size);

// 0 after adding, -1 when the key exists already, -2 when the entry cannot be allocated
int hash_table_insert(hash_table *table, void *data, uint32_t keyLength, const void *key);

// Data stored under the key, or null
void *hash_table_get(const hash_table *table, uint32_t keyLength, const void *key);

// Stores data in the existing entry and returns the previous data; null when absent
void *hash_table_replace(hash_table *table, uint32_t keyLength, const void *key, void *data);

// Unlinks and frees the entry, returning its data; null when absent
void *hash_table_remove(hash_table *table, uint32_t keyLength, const void *key);

uint32_t hash_table_size(const hash_table *table);

// Iteration: data of the next entry with its key; null (and a null key) at the end,
// which also resets the iterator. The entry just returned may be removed while walking.
void *hash_table_first(const hash_table *table, hash_iterator *iterator,
                       const unsigned char **keyOut, uint32_t *keyLengthOut);
void *hash_table_next(const hash_table *table, hash_iterator *iterator,
                      const unsigned char **keyOut, uint32_t *keyLengthOut);

// Every key of the table as text, in iteration order (none for a null table)
std::vector<std::string> hash_table_keys(const hash_table *table);

// Frees every entry and the table; the data values are left to their owners
void hash_table_destroy(hash_table *table);

// Appends a zero-filled node holding value at the tail; returns the node or null
pair_node *list_append(pair_node **head, void *value);

// Number of nodes of a list
int list_length(const pair_node *head);

// Frees every node of a list (not the values) and empties it
void list_free(pair_node **head);
