#pragma once
// Splitting a looping time (in units of the loop or of one key interval)
// into its whole and fractional parts, the same way for negative times as
// for positive ones, so that playing backwards wraps into the loop.

#include <cstdint>

namespace keln::velm {

// For finite x with |x| < 2^63: whole = x rounded toward minus infinity and
// fraction = x - whole in [0, 1] (1 only when a negative x lies within
// rounding of a whole number), returning true. For non-negative x the
// fraction is exactly fmod(x, 1). For larger |x| (always whole numbers) it
// returns false with fraction 0 and whole untouched. x must not be NaN.
inline bool split_loop_time(float x, std::int64_t& whole, float& fraction) {
  constexpr float int64_limit = 9.2233720e18f;  // 2^63
  if (!(x > -int64_limit && x < int64_limit)) {
    fraction = 0.0f;
    return false;
  }
  std::int64_t w = static_cast<std::int64_t>(x);  // toward zero
  float f = x - static_cast<float>(w);             // exact: the fractional bits of x
  if (f < 0.0f) {
    f += 1.0f;
    --w;
  }
  whole = w;
  fraction = f;
  return true;
}

}  // namespace keln::velm
