// Skeleton document (.qis): the bone list in index order with a name index.
#pragma once

#include <cstdint>

#include "documents/qix_node.h"
#include "kelncore/math/mat_sq.h"
#include "kelncore/system/hash_ptr_table.h"

namespace keln {

class qis_global_t : public qix_node_t {
 public:
  std::uint32_t bone_count = 0;  // as declared
};

struct qis_bone_t {
  qix_string_t name;
  qix_string_t parent;  // the parent bone's name; empty for a root
  mat4_t matrix;        // the bone's transform in skeleton space, row by row
  mat4_t inverse;       // mat4_inverse of matrix (for a singular matrix: what that routine leaves)
};

class qis_bones_t : public qix_node_t {
 public:
  // Appends a bone (its index is its position in bone_list) and indexes its
  // name; a later bone of the same name takes the name over. Needs the
  // matrix routine table (core_startup).
  virtual void add_bone(const char* name, const char* parent, const float matrix[16]);

  // The index of the bone called name, or -1. found is false only for a name
  // that is not empty and names no bone (an empty name means "no parent").
  std::int32_t find_bone(const char* name, bool& found) const;

  array_dyn_t<qis_bone_t> bone_list;
  vptrhash_t name_index;  // name bytes -> index + 1
};

class qis_t : public qix_node_t {
 public:
  qix_header_t* header = nullptr;
  qis_global_t* global = nullptr;
  qis_bones_t* bones = nullptr;
  string_dyn file_name;
};

}  // namespace keln
