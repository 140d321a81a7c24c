// vhash_base_t: a hash table from byte-string keys to values that a derived
// table owns. Keys are copied into the table's arena (chunk_space); entries
// come from a process-wide pool, 4 to a heap allocation. Buckets are chains of
// neighbouring entries in one entry list; a table grows through the bucket
// counts of hash_primes whenever a fifth key would join a bucket, until the
// largest count, after which chains just get longer.
#pragma once

#include <cstdint>

#include "kelncore/system/block_pool_list.h"
#include "kelncore/system/chunk_space.h"

namespace keln {

// One key of a table, linked (as block_pool_link_t) into its entry list.
struct hash_entry : block_pool_link_t {
  chunk_desc* key;           // the key bytes in the table's arena
  std::uint32_t key_length;  // bytes
  std::uint32_t bucket;      // index into the current bucket array
  void* value;               // the derived table's value, null until it sets one
};

class vhash_base_t {
 public:
  // Bucket counts by size index 0 to 12.
  static constexpr std::uint32_t k_size_count = 13;
  static const std::uint32_t hash_primes[k_size_count];

  // Starts without buckets and without key storage.
  vhash_base_t();
  // Frees the buckets and the keys. A derived table calls clear() in its own
  // destructor, since release_value cannot be reached from here.
  virtual ~vhash_base_t();
  vhash_base_t(const vhash_base_t&) = delete;
  vhash_base_t& operator=(const vhash_base_t&) = delete;

  // The entry whose key has exactly these length bytes, or null. Keys of equal
  // bytes but different lengths differ.
  hash_entry* find(const void* key, std::uint32_t length) const;
  // Adds an entry for a key that the caller has checked is absent; its value
  // is null. Creates the first buckets when there are none and grows the table
  // first when the key's bucket already holds 4 or more entries. Null (nothing
  // added) only when the arena cannot store the key.
  hash_entry* insert(const void* key, std::uint32_t length);
  // Moves to the next bucket count and re-buckets every entry; does nothing
  // at the largest count.
  void grow();
  // Removes every entry (values go to release_value); the bucket count stays.
  void clear();

  // Current number of buckets, 0 before the first use.
  std::uint32_t bucket_count() const;
  std::uint32_t size() const { return m_entries.size(); }
  // The key bytes of an entry of this table.
  static const std::uint8_t* key_bytes(const hash_entry* entry) { return entry->key->address; }

 protected:
  // Disposes of a value that an entry being removed holds (may be null).
  virtual void release_value(void* value) = 0;

 private:
  std::uint32_t bucket_of(const void* key, std::uint32_t length) const;

  block_pool_list_t m_entries;  // every entry; each bucket's entries are neighbours
  std::int32_t m_size_index = -1;
  chunk_space m_keys;
  hash_entry** m_buckets = nullptr;  // each bucket's last entry in list order
};

}  // namespace keln
