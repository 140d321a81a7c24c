#include "velm/motion.h"

namespace keln::velm {

bone_t& motion_t::shared_result() {
  static bone_t result;
  return result;
}

const bone_t* motion_t::transform(std::uint32_t i) const {
  bone_t& result = shared_result();
  channels[i].sample(time, result);
  return &result;
}

std::uint32_t motion_t::channel_count() const { return channels.size(); }

std::uint32_t motion_t::bone_index(std::uint32_t i) const { return channels[i].bone; }

}  // namespace keln::velm
