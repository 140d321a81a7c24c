#include "velm/bone_channel.h"

#include <cmath>
#include <cstring>

#include "velm/loop_time.h"

namespace keln::velm {

namespace {

// a mod d for any 32-bit a and d >= 1, with magic = 2^64 / d rounded up
// (2^64 - 1 divided by d, plus one): an integer division costs more than the
// rest of a sample (Lemire, Kaser and Kurz, "Faster remainder by direct
// computation", 2019).
std::uint32_t remainder_by_magic(std::uint32_t a, std::uint32_t d, std::uint64_t magic) {
  const std::uint64_t low = magic * a;
  return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * d) >> 64);
}

}  // namespace

const bone_channel_t::sampling_constants_t& bone_channel_t::sampling_constants() const {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &duration, sizeof bits);
  const std::uint32_t n = size();
  if (n != m_sampling.count || bits != m_sampling.duration_bits) {
    m_sampling.count = n;
    m_sampling.duration_bits = bits;
    m_sampling.usable = n >= 2 && duration > 0.0f;
    if (m_sampling.usable) {
      m_sampling.frame = duration / static_cast<float>(n - 1);
      m_sampling.modulo_magic = UINT64_MAX / (n - 1) + 1;
    }
  }
  return m_sampling;
}

void bone_channel_t::sample(float time, bone_t& out) const {
  if (empty()) {
    out = bone_t();
    return;
  }
  const bone_t* keys = data();
  const sampling_constants_t& c = sampling_constants();
  const float x = c.usable ? time / c.frame : 0.0f;
  if (!c.usable || !std::isfinite(x)) {
    out = keys[0];
    return;
  }
  const std::uint32_t intervals = c.count - 1;
  std::int64_t whole = 0;
  float f = 0.0f;
  std::uint32_t k = 0;
  if (split_loop_time(x, whole, f)) {
    if (whole >= 0) {
      k = remainder_by_magic(static_cast<std::uint32_t>(whole), intervals, c.modulo_magic);
    } else {
      const std::int64_t r = whole % static_cast<std::int64_t>(intervals);
      k = static_cast<std::uint32_t>(r < 0 ? r + intervals : r);
    }
  } else {
    // |x| >= 2^63: a whole number; its exact floor remainder.
    const double r = std::fmod(static_cast<double>(x), static_cast<double>(intervals));
    k = static_cast<std::uint32_t>(r < 0.0 ? r + intervals : r);
  }
  interpolate(out, keys[k], keys[k + 1], f);
}

}  // namespace keln::velm
