#include "velm/dynamic_pose.h"

namespace keln::velm {

const bone_t* dynamic_pose_t::transform(std::uint32_t i) const { return &bones[i]; }

std::uint32_t dynamic_pose_t::channel_count() const { return bones.size(); }

std::uint32_t dynamic_pose_t::bone_index(std::uint32_t i) const {
  static_cast<void>(bones[i]);
  return i;
}

}  // namespace keln::velm
