// vptrhash_t: a hash table from byte-string keys to pointers the table does
// not own. Each entry's value is a node of the table's value list; value nodes
// come from a process-wide pool, 4 to a heap allocation.
#pragma once

#include <cstdint>

#include "kelncore/system/hash_table.h"

namespace keln {

class vptrhash_t : public vhash_base_t {
 public:
  vptrhash_t();
  ~vptrhash_t() override;

  // Maps the key (length bytes) to pointer: replaces the value of a present
  // key without adding an entry, otherwise adds one. The first set creates
  // 17 buckets. Does nothing only when the arena cannot store the key.
  void set(const void* key, std::uint32_t length, void* pointer);
  // The pointer set for the key, or null when the key is absent (so a table
  // that is to tell absent keys apart stores no null pointers).
  void* get(const void* key, std::uint32_t length) const;

 protected:
  void release_value(void* value) override;

 private:
  block_pool_list_t m_values;  // one node per entry, newest first
};

}  // namespace keln
