#pragma once
// One animated bone of a keyframe motion: evenly spaced key transforms (the
// array elements), key k at time k · duration / (count - 1).

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bone.h"
#include "velm/bone_node.h"

namespace keln::velm {

class bone_channel_t : public array_dyn_t<bone_t> {
 public:
  std::uint32_t bone = no_bone;  // skeleton bone driven, no_bone when the skeleton has none of that name
  float duration = 0.0f;         // time from the first to the last key
};

}  // namespace keln::velm
