#include "velm/motion.h"

#include <cmath>

#include "velm/loop_time.h"

namespace keln::velm {

namespace {

// Key interval and blend factor of x = time / frame, for intervals > 0:
// the whole part of x modulo intervals (for x >= 0 from the low 32 bits of
// the 64-bit whole part) and the fractional part of x.
void locate(float x, std::uint32_t intervals, std::uint32_t& k, float& f) {
  std::int64_t whole = 0;
  if (split_loop_time(x, whole, f)) {
    if (x >= 0.0f) {
      k = static_cast<std::uint32_t>(whole) % intervals;
      return;
    }
    std::int64_t r = whole % static_cast<std::int64_t>(intervals);
    if (r < 0) r += intervals;
    k = static_cast<std::uint32_t>(r);
    return;
  }
  double r = std::fmod(static_cast<double>(x), static_cast<double>(intervals));
  if (r < 0.0) r += intervals;
  k = static_cast<std::uint32_t>(r);
}

}  // namespace

void sample_channel(bone_t& out, const bone_channel_t& channel, float time) {
  const std::uint32_t n = channel.size();
  if (n == 0) {
    out = bone_t();
    return;
  }
  const bone_t* keys = channel.data();
  const std::uint32_t intervals = n - 1;
  if (intervals == 0 || !(channel.duration > 0.0f)) {
    out = keys[0];
    return;
  }
  const float frame = channel.duration / static_cast<float>(intervals);
  const float x = time / frame;
  if (!std::isfinite(x)) {
    out = keys[0];
    return;
  }
  std::uint32_t k = 0;
  float f = 0.0f;
  locate(x, intervals, k, f);
  interpolate(out, keys[k], keys[k + 1], f);
}

bone_t& motion_t::shared_result() {
  static bone_t result;
  return result;
}

const bone_t* motion_t::transform(std::uint32_t i) const {
  bone_t& result = shared_result();
  sample_channel(result, channels[i], time);
  return &result;
}

std::uint32_t motion_t::channel_count() const { return channels.size(); }

std::uint32_t motion_t::bone_index(std::uint32_t i) const { return channels[i].bone; }

}  // namespace keln::velm
