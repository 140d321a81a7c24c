// The program clock: a microsecond reading in millisecond steps, and a frame
// delta accumulator.
#pragma once

#include <cstdint>

namespace keln {

// Microseconds of a monotonic millisecond counter: the 32-bit millisecond count
// times 1000, so the reading wraps with the millisecond count (about every
// 49.7 days).
std::uint64_t time_us();

// Turns successive clock readings into the last delta and a running total.
struct stopwatch_t {
  std::uint64_t previous = 0;  // µs
  std::uint64_t current = 0;   // µs
  double total = 0.0;          // s
  double delta = 0.0;          // s

  // Both readings = now, total and delta 0: the first tick after it gives the
  // time since start.
  void start(std::uint64_t now);
  // previous = current; current = now; delta = (current - previous) / 1e6 s
  // (unsigned 64-bit difference); total += delta.
  void tick(std::uint64_t now);
};

}  // namespace keln
