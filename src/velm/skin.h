#pragma once
// Bone influences of skinned vertices.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bone_node.h"

namespace keln::velm {

// One bone influence of a vertex.
struct skin_t {
  // Index of a skeleton bone (skeleton-document order); no_bone means none.
  std::uint32_t bone = no_bone;
  // Weight as read from the document: not normalised, any sign.
  float weight = 0.0f;
};

// The influences of one vertex, in document order. Weights need not sum to 1:
// skinning divides the blended position by their sum (see skin_vertices.h).
// A vertex without influences is skinned to the origin with a zero normal.
struct skin_vertex_t {
  array_dyn_t<skin_t> influences;
};

}  // namespace keln::velm
