#include "kelncore/system/cpu_clock.h"

#include <limits>

namespace keln {

std::uint32_t cpu_clock_rate(const cpu_sample_t& start, const cpu_sample_t& end) {
  constexpr std::uint64_t MAX64 = std::numeric_limits<std::uint64_t>::max();
  if (end.ticks < start.ticks) return CPU_CLOCK_RATE_OVERFLOW;
  const std::uint64_t ticks = end.ticks - start.ticks;
  if (ticks > MAX64 / 1000u) return CPU_CLOCK_RATE_OVERFLOW;
  const std::uint64_t us = end.us - start.us;
  if (us == 0) return CPU_CLOCK_RATE_OVERFLOW;
  const std::uint64_t rate = ticks * 1000u / us;
  if (rate > std::numeric_limits<std::uint32_t>::max()) return CPU_CLOCK_RATE_OVERFLOW;
  return static_cast<std::uint32_t>(rate);
}

std::uint32_t cpu_mhz_from_rates(const cpu_rates_t& rates) {
  unsigned int largest = 0;
  for (unsigned int rate : rates) {
    if (rate > largest) largest = rate;
  }
  // The factor is the single-precision 0.8 widened to double, as the
  // threshold has always been computed.
  const auto threshold = static_cast<std::uint32_t>(static_cast<double>(largest) * static_cast<double>(0.8f));
  std::uint64_t sum = 0;
  std::uint64_t counted = 0;
  for (unsigned int rate : rates) {
    if (rate > threshold) {
      sum += rate;
      ++counted;
    }
  }
  if (counted == 0) return 1;
  return static_cast<std::uint32_t>(sum / counted / 1000u);
}

void cpu_measure_rates(cpu_sampler_fn sample, unsigned rounds, cpu_rates_t& rates) {
  if (rounds == 0 || rounds > CPU_CLOCK_ROUNDS) rounds = CPU_CLOCK_ROUNDS;
  // time_us already steps in whole milliseconds; there is no timer
  // resolution to raise around the measurement.
  const cpu_sample_t first = sample();
  cpu_sample_t start = first;
  while (start.us == first.us) start = sample();
  for (unsigned round = 0; round < rounds; ++round) {
    cpu_sample_t end = sample();
    while (end.us - start.us < CPU_CLOCK_ROUND_US) end = sample();
    rates.push_back(cpu_clock_rate(start, end));
    start = end;
  }
}

std::uint32_t cpu_measure_mhz(cpu_sampler_fn sample, unsigned rounds) {
  cpu_rates_t rates;
  cpu_measure_rates(sample, rounds, rates);
  return cpu_mhz_from_rates(rates);
}

}  // namespace keln
