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
  // Channel i sampled at the current time T, into a record shared by every
  // motion_t (valid until the next sampling of any motion_t):
  //   frame = duration / (n - 1), x = T / frame (both rounded to float),
  //   k = whole part of x modulo (n - 1), f = fractional part of x,
  //   result interpolate(key k, key k + 1, f) (bone.h).
  // Negative times wrap like positive ones (the whole part is taken toward
  // minus infinity and f lies in [0, 1)). A channel with one key, or whose
  // duration is zero, negative or not finite, or whose x is not finite,
  // yields its first key; a channel without keys yields the default bone_t.
  const bone_t* transform(std::uint32_t i) const override;
  std::uint32_t channel_count() const override;
  std::uint32_t bone_index(std::uint32_t i) const override;

  array_dyn_t<bone_channel_t> channels;  // one per animated bone, in document order

 private:
  static bone_t& shared_result();
};

// Samples one channel at time into out (the rules of motion_t::transform).
void sample_channel(bone_t& out, const bone_channel_t& channel, float time);

}  // namespace keln::velm
