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
inline std::uint32_t remainder_by_magic(std::uint32_t a, std::uint32_t d, std::uint64_t magic) {
  const std::uint64_t low = magic * a;
  return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * d) >> 64);
}

// Key interval k and fraction f of x for the times the fast path of sample
// leaves out: negative, 2^32 frames or more, not finite. False when x is not
// finite.
bool locate_slowly(float x, std::uint32_t intervals, std::uint32_t& k, float& f) {
  if (!std::isfinite(x)) return false;
  std::int64_t whole = 0;
  if (split_loop_time(x, whole, f)) {
    if (whole >= 0) {
      k = static_cast<std::uint32_t>(whole) % intervals;  // the low 32 bits, as for smaller times
    } else {
      const std::int64_t r = whole % static_cast<std::int64_t>(intervals);
      k = static_cast<std::uint32_t>(r < 0 ? r + intervals : r);
    }
    return true;
  }
  // |x| >= 2^63: a whole number; its exact floor remainder.
  const double r = std::fmod(static_cast<double>(x), static_cast<double>(intervals));
  k = static_cast<std::uint32_t>(r < 0.0 ? r + intervals : r);
  return true;
}

}  // namespace

void bone_channel_t::refresh_sampling_constants(std::uint32_t duration_bits) const {
  const std::uint32_t n = size();
  m_sampling.count = n;
  m_sampling.duration_bits = duration_bits;
  m_sampling.usable = n >= 2 && duration > 0.0f;
  if (m_sampling.usable) {
    m_sampling.frame = duration / static_cast<float>(n - 1);
    m_sampling.modulo_magic = UINT64_MAX / (n - 1) + 1;
  }
}

void bone_channel_t::sample(float time, bone_t& out) const {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &duration, sizeof bits);
  if (size() != m_sampling.count || bits != m_sampling.duration_bits) refresh_sampling_constants(bits);
  const bone_t* keys = data();
  if (!m_sampling.usable) {
    out = empty() ? bone_t() : keys[0];
    return;
  }
  const std::uint32_t intervals = m_sampling.count - 1;
  const float x = time / m_sampling.frame;
  std::uint32_t k = 0;
  float f = 0.0f;
  if (x >= 0.0f && x < 4294967296.0f) {
    // The usual case: the whole part fits 32 bits, f = fmod(x, 1) exactly.
    const std::uint32_t whole = static_cast<std::uint32_t>(x);
    f = x - static_cast<float>(whole);
    k = remainder_by_magic(whole, intervals, m_sampling.modulo_magic);
  } else if (!locate_slowly(x, intervals, k, f)) {
    out = keys[0];
    return;
  }
  interpolate(out, keys[k], keys[k + 1], f);
}

}  // namespace keln::velm
