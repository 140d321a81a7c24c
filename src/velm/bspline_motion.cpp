#include "velm/bspline_motion.h"

#include <cstddef>

#include "kelncore/system/messages.h"
#include "velm/bspline_fit_channels.h"

namespace keln::velm {

static_assert(sizeof(bone_t) == 64, "a key takes 64 bytes");

bspline_motion_t::bspline_motion_t(const motion_t& source) {
  bspline_fit_channels(source.channels, channels, bspline_fit_thread_count());
  std::size_t key_bytes = 0, curve_bytes = 0;
  for (std::uint32_t i = 0; i < channels.size(); ++i) {
    key_bytes += sizeof(bone_t) * std::size_t{source.channels[i].size()};
    curve_bytes += channels[i].byte_size();
  }
  msg_info("^ motion_t size in bytes         : %zu", key_bytes);
  msg_info("^ bspline_motion_t size in bytes : %zu", curve_bytes);
}

}  // namespace keln::velm
