#include "kelncore/system/hash_ptr_table.h"

namespace keln {

namespace {

// The value of one entry, linked into its table's value list.
struct value_node : block_pool_link_t {
  void* pointer;
};

// Value nodes of every pointer table, 4 to a heap allocation, until program
// exit.
block_pool& value_pool() {
  static block_pool pool(sizeof(value_node), 4);
  return pool;
}

}  // namespace

vptrhash_t::vptrhash_t() : m_values(value_pool()) {}

vptrhash_t::~vptrhash_t() { clear(); }

void vptrhash_t::set(const void* key, std::uint32_t length, void* pointer) {
  if (hash_entry* found = find(key, length)) {
    static_cast<value_node*>(found->value)->pointer = pointer;
    return;
  }
  hash_entry* entry = insert(key, length);
  if (!entry) return;
  auto* node = static_cast<value_node*>(m_values.take());
  node->pointer = pointer;
  m_values.push_front(node);
  entry->value = node;
}

void* vptrhash_t::get(const void* key, std::uint32_t length) const {
  const hash_entry* entry = find(key, length);
  return entry ? static_cast<value_node*>(entry->value)->pointer : nullptr;
}

void vptrhash_t::release_value(void* value) {
  if (value) m_values.erase(static_cast<value_node*>(value));
}

}  // namespace keln
