#include "velm/bspline_motion.h"

#include <cstddef>

#include "kelncore/system/messages.h"

namespace keln::velm {

static_assert(sizeof(bone_t) == 64, "a key takes 64 bytes");

bspline_motion_t::bspline_motion_t(const motion_t& source) {
  const std::uint32_t count = source.channels.size();
  channels.resize(count);
  bspline_fit_scratch_t scratch;
  std::size_t key_bytes = 0, curve_bytes = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const bone_channel_t& keys = source.channels[i];
    channels[i].fit(keys, scratch);
    key_bytes += sizeof(bone_t) * std::size_t{keys.size()};
    curve_bytes += channels[i].byte_size();
  }
  msg_info("^ motion_t size in bytes         : %zu", key_bytes);
  msg_info("^ bspline_motion_t size in bytes : %zu", curve_bytes);
}

}  // namespace keln::velm
