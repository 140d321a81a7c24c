#include "kelncore/system/clock.h"

#include <time.h>

namespace keln {

std::uint64_t time_us() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const std::uint64_t ms =
      static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(ms)) * 1000u;
}

void stopwatch_t::start(std::uint64_t now) {
  previous = now;
  current = now;
  total = 0.0;
  delta = 0.0;
}

void stopwatch_t::tick(std::uint64_t now) {
  previous = current;
  current = now;
  delta = static_cast<double>(current - previous) / 1000000.0;
  total += delta;
}

}  // namespace keln
