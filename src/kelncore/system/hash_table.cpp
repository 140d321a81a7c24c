#include "kelncore/system/hash_table.h"

#include <cstring>

#include "kelncore/system/hash_key.h"

namespace keln {

namespace {

// Entries of every table, 4 to a heap allocation, until program exit.
block_pool& entry_pool() {
  static block_pool pool(sizeof(hash_entry), 4);
  return pool;
}

hash_entry* previous_entry(const hash_entry* entry) { return static_cast<hash_entry*>(entry->previous); }

constexpr std::uint32_t k_max_chain = 4;

}  // namespace

const std::uint32_t vhash_base_t::hash_primes[k_size_count] = {
    17, 31, 61, 127, 257, 509, 1021, 2053, 4093, 8191, 16381, 32771, 65537};

vhash_base_t::vhash_base_t() : m_entries(entry_pool()) {}

vhash_base_t::~vhash_base_t() { delete[] m_buckets; }

std::uint32_t vhash_base_t::bucket_count() const {
  return m_size_index < 0 ? 0 : hash_primes[m_size_index];
}

std::uint32_t vhash_base_t::bucket_of(const void* key, std::uint32_t length) const {
  return hash_key(key, length) % bucket_count();
}

hash_entry* vhash_base_t::find(const void* key, std::uint32_t length) const {
  if (!m_buckets) return nullptr;
  const std::uint32_t bucket = bucket_of(key, length);
  for (hash_entry* e = m_buckets[bucket]; e && e->bucket == bucket; e = previous_entry(e)) {
    if (e->key_length == length && std::memcmp(key_bytes(e), key, length) == 0) return e;
  }
  return nullptr;
}

hash_entry* vhash_base_t::insert(const void* key, std::uint32_t length) {
  if (!m_buckets) grow();
  std::uint32_t bucket = bucket_of(key, length);
  if (m_buckets[bucket]) {
    std::uint32_t count = 0;
    for (hash_entry* e = m_buckets[bucket]; e && e->bucket == bucket; e = previous_entry(e)) ++count;
    if (count >= k_max_chain) {
      grow();
      bucket = bucket_of(key, length);
    }
  }

  chunk_desc* stored = m_keys.store(key, length);
  if (!stored) return nullptr;

  auto* entry = static_cast<hash_entry*>(m_entries.take());
  if (m_buckets[bucket])
    m_entries.insert_after(m_buckets[bucket], entry);
  else
    m_entries.push_front(entry);
  m_buckets[bucket] = entry;
  entry->bucket = bucket;
  entry->key = stored;
  entry->key_length = length;
  entry->value = nullptr;
  return entry;
}

void vhash_base_t::grow() {
  if (m_size_index + 1 >= static_cast<std::int32_t>(k_size_count)) return;
  delete[] m_buckets;
  ++m_size_index;
  const std::uint32_t count = bucket_count();
  m_buckets = new hash_entry*[count]();

  // Re-bucket in list order. An entry whose bucket already has entries moves
  // right after that bucket's last one (which lies before it in the list), so
  // each bucket's entries stay neighbours.
  for (auto* e = static_cast<hash_entry*>(m_entries.head()); e;) {
    auto* next = static_cast<hash_entry*>(e->next);
    const std::uint32_t bucket = bucket_of(key_bytes(e), e->key_length);
    if (hash_entry* last = m_buckets[bucket]) {
      m_entries.unlink(e);
      m_entries.insert_after(last, e);
    }
    e->bucket = bucket;
    m_buckets[bucket] = e;
    e = next;
  }
}

void vhash_base_t::clear() {
  if (!m_buckets) return;
  std::memset(m_buckets, 0, sizeof(hash_entry*) * bucket_count());
  while (auto* e = static_cast<hash_entry*>(m_entries.tail())) {
    release_value(e->value);
    m_keys.release(e->key);
    m_entries.erase(e);
  }
}

}  // namespace keln
