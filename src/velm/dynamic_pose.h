#pragma once
// The simplest pose: one stored transform per skeleton bone, channel i
// driving bone i. Used for rest poses and for an instance's current pose.

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/pose.h"

namespace keln::velm {

class dynamic_pose_t : public pose_t {
 public:
  // &bones[i] (bounds-checked).
  const bone_t* transform(std::uint32_t i) const override;
  std::uint32_t channel_count() const override;
  // i itself, after checking that bone i exists.
  std::uint32_t bone_index(std::uint32_t i) const override;

  array_dyn_t<bone_t> bones;  // one per skeleton bone, in bone order
};

}  // namespace keln::velm
