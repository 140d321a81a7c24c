#pragma once
// Keyframe motion: per animated bone a channel of evenly spaced keys,
// sampled by interpolating the two keys around the pose's time and looping
// with period duration.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bone_channel.h"
#include "velm/pose.h"

namespace keln::velm {

class motion_t : public pose_t {
 public:
  // Channel i sampled at the current time (bone_channel_t::sample) into a
  // record shared by every motion_t, valid until the next sampling of any
  // motion_t.
  const bone_t* transform(std::uint32_t i) const override;
  std::uint32_t channel_count() const override;
  std::uint32_t bone_index(std::uint32_t i) const override;

  array_dyn_t<bone_channel_t> channels;  // one per animated bone, in document order

 private:
  static bone_t& shared_result();
};

}  // namespace keln::velm
