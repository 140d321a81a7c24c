#pragma once
// Skeleton bones. A skeleton is an array_dyn_t<bone_node_t> in document
// order; a bone's index in it is its bone index everywhere in the library
// (channels, influences, matrix arrays). Parents must stand before their
// children (skeleton_is_ordered).

#include <cstdint>

#include "kelncore/collections/arrays/arrays_base_impl.h"
#include "velm/bone_name_token.h"

namespace keln::velm {

// Bone index meaning "no bone": the parent of a root, the bone of a channel
// that names no bone of the skeleton.
constexpr std::uint32_t no_bone = 0xFFFFFFFFu;

struct bone_node_t {
  std::uint64_t name = bone_name_token_of("unnamed");  // bone_name_token.h
  std::uint32_t parent = no_bone;                        // index of the parent bone, or no_bone
};

// True when every parent index is no_bone or lower than its child's index:
// the condition under which concatenate_hierarchy gives global matrices.
bool skeleton_is_ordered(const array_t<bone_node_t>& skeleton);

}  // namespace keln::velm
