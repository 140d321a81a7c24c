#pragma once
// The part that keyframe and B-spline motions share: a pose over an array of
// channels, each channel driving one bone and sampled at the pose's time.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/pose.h"

namespace keln::velm {

// Channel must provide `bone` (the bone it drives) and
// `sample(time, bone_t& out) const`.
template <typename Channel>
class channel_motion_t : public pose_t {
 public:
  // Channel i sampled at the current time into a record shared by every
  // motion of this class (one record per channel type), valid until the
  // next sampling of any of them. i is bounds-checked.
  const bone_t* transform(std::uint32_t i) const override {
    bone_t& result = shared_result();
    channels[i].sample(time, result);
    return &result;
  }
  std::uint32_t channel_count() const override { return channels.size(); }
  std::uint32_t bone_index(std::uint32_t i) const override { return channels[i].bone; }

  array_dyn_t<Channel> channels;  // one per animated bone

 private:
  static bone_t& shared_result() {
    static bone_t result;
    return result;
  }
};

}  // namespace keln::velm
