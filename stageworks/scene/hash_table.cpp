/**********************************************************************************************
*
*   hash_table - chained hash table keyed by byte strings, and the plain list node
*
**********************************************************************************************/
#include "hash_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Entry of the given key, or null
static hash_entry *find_entry(const hash_table *table, uint32_t keyLength, const void *key)
{
    uint32_t bucket = table->hash(keyLength, (const unsigned char *)key) & (uint32_t)table->bucketMask;
    for (hash_entry *entry = table->buckets[bucket]; entry != nullptr; entry = entry->next) {
        if (entry->keyLength == keyLength && (keyLength == 0 || memcmp(entry->key, key, keyLength) == 0)) {
            return entry;
        }
    }
    return nullptr;
}

// First non-empty bucket at or after start: loads the iterator and returns its data
static void *scan_from(const hash_table *table, hash_iterator *iterator, uint32_t start,
                       const unsigned char **keyOut, uint32_t *keyLengthOut)
{
    for (uint32_t bucket = start; bucket < table->bucketCount; bucket++) {
        hash_entry *head = table->buckets[bucket];
        if (head == nullptr) continue;
        iterator->bucket = (int32_t)bucket;
        iterator->current = head;
        iterator->following = head->next;
        if (keyOut) *keyOut = head->key;
        if (keyLengthOut) *keyLengthOut = head->keyLength;
        return head->data;
    }
    iterator->bucket = 0;
    iterator->current = nullptr;
    iterator->following = nullptr;
    if (keyOut) *keyOut = nullptr;
    if (keyLengthOut) *keyLengthOut = 0;
    return nullptr;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
uint32_t one_at_a_time_hash(uint32_t keyLength, const unsigned char *key)
{
    uint32_t h = 0;
    for (uint32_t i = 0; i < keyLength; i++) {
        h += key[i];
        h += h << 10;
        h ^= h >> 6;
    }
    h += h << 3;
    h ^= h >> 11;
    h += h << 15;
    return h;
}

hash_table *hash_table_create(uint32_t size)
{
    uint32_t buckets = 1;
    while (buckets < size && buckets < 0x80000000u) buckets <<= 1;

    hash_table *table = (hash_table *)calloc(1, sizeof(hash_table));
    if (table == nullptr) {
        perror("malloc");
        return nullptr;
    }
    table->buckets = (hash_entry **)calloc(buckets, sizeof(hash_entry *));
    table->bucketSizes = (int32_t *)calloc(buckets, sizeof(int32_t));
    if (table->buckets == nullptr || table->bucketSizes == nullptr) {
        perror("malloc");
        free(table->buckets);
        free(table->bucketSizes);
        free(table);
        return nullptr;
    }
    table->entryCount = 0;
    table->bucketCount = buckets;
    table->hash = one_at_a_time_hash;
    table->allocate = malloc;
    table->release = free;
    table->bucketMask = (int32_t)(buckets - 1);
    return table;
}

int hash_table_insert(hash_table *table, void *data, uint32_t keyLength, const void *key)
{
    if (find_entry(table, keyLength, key) != nullptr) return HASH_DUPLICATE;

    hash_entry *entry = (hash_entry *)table->allocate(sizeof(hash_entry) + keyLength);
    if (entry == nullptr) {
        fprintf(stderr, "fn_alloc failed!\n");
        return HASH_NO_MEMORY;
    }
    entry->data = data;
    entry->keyLength = keyLength;
    entry->key = (unsigned char *)(entry + 1);
    if (keyLength > 0) memcpy(entry->key, key, keyLength);

    uint32_t bucket = table->hash(keyLength, (const unsigned char *)key) & (uint32_t)table->bucketMask;
    entry->previous = nullptr;
    entry->next = table->buckets[bucket];
    if (entry->next != nullptr) entry->next->previous = entry;
    table->buckets[bucket] = entry;
    table->bucketSizes[bucket]++;
    table->entryCount++;
    return HASH_OK;
}

void *hash_table_get(const hash_table *table, uint32_t keyLength, const void *key)
{
    hash_entry *entry = find_entry(table, keyLength, key);
    return entry ? entry->data : nullptr;
}

void *hash_table_replace(hash_table *table, uint32_t keyLength, const void *key, void *data)
{
    hash_entry *entry = find_entry(table, keyLength, key);
    if (entry == nullptr) return nullptr;
    void *previous = entry->data;
    entry->data = data;
    return previous;
}

void *hash_table_remove(hash_table *table, uint32_t keyLength, const void *key)
{
    hash_entry *entry = find_entry(table, keyLength, key);
    if (entry == nullptr) return nullptr;

    uint32_t bucket = table->hash(keyLength, (const unsigned char *)key) & (uint32_t)table->bucketMask;
    if (entry->previous != nullptr) entry->previous->next = entry->next;
    else table->buckets[bucket] = entry->next;
    if (entry->next != nullptr) entry->next->previous = entry->previous;
    table->bucketSizes[bucket]--;
    table->entryCount--;

    void *data = entry->data;
    table->release(entry);
    return data;
}

uint32_t hash_table_size(const hash_table *table) { return table ? table->entryCount : 0; }

void *hash_table_first(const hash_table *table, hash_iterator *iterator,
                       const unsigned char **keyOut, uint32_t *keyLengthOut)
{
    return scan_from(table, iterator, 0, keyOut, keyLengthOut);
}

void *hash_table_next(const hash_table *table, hash_iterator *iterator,
                      const unsigned char **keyOut, uint32_t *keyLengthOut)
{
    hash_entry *entry = iterator->following;
    if (entry == nullptr) {
        if (iterator->current == nullptr) return scan_from(table, iterator, table->bucketCount, keyOut, keyLengthOut);
        return scan_from(table, iterator, (uint32_t)iterator->bucket + 1, keyOut, keyLengthOut);
    }
    iterator->current = entry;
    iterator->following = entry->next;
    if (keyOut) *keyOut = entry->key;
    if (keyLengthOut) *keyLengthOut = entry->keyLength;
    return entry->data;
}

// Every key of the table as text, in iteration order
std::vector<std::string> hash_table_keys(const hash_table *table)
{
    std::vector<std::string> keys;
    if (table == nullptr) return keys;
    hash_iterator it = {};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    for (hash_table_first(table, &it, &key, &length); key != nullptr; hash_table_next(table, &it, &key, &length))
        keys.emplace_back((const char *)key, length);
    return keys;
}

void hash_table_destroy(hash_table *table)
{
    if (table == nullptr) return;
    for (uint32_t bucket = 0; bucket < table->bucketCount; bucket++) {
        hash_entry *entry = table->buckets[bucket];
        while (entry != nullptr) {
            hash_entry *next = entry->next;
            table->release(entry);
            entry = next;
        }
    }
    free(table->buckets);
    free(table->bucketSizes);
    free(table);
}

pair_node *list_append(pair_node **head, void *value)
{
    pair_node *node = (pair_node *)calloc(1, sizeof(pair_node));
    if (node == nullptr) return nullptr;
    node->value = value;
    pair_node **tail = head;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = node;
    return node;
}

int list_length(const pair_node *head)
{
    int count = 0;
    for (; head != nullptr; head = head->next) count++;
    return count;
}

void list_free(pair_node **head)
{
    pair_node *node = *head;
    while (node != nullptr) {
        pair_node *next = node->next;
        free(node);
        node = next;
    }
    *head = nullptr;
}
