// Measurement of the processor clock: the time-stamp counter is read against
// the microsecond clock (time_us) over several rounds.
#pragma once

#include <cstdint>

#include "kelncore/collections/arrays/arrays_local.h"

namespace keln {

// One simultaneous reading of both clocks.
struct cpu_sample_t {
  std::uint64_t us;     // time_us
  std::uint64_t ticks;  // time-stamp counter
};

using cpu_sampler_fn = cpu_sample_t (*)();

constexpr unsigned CPU_CLOCK_ROUNDS = 7;
// Shortest duration of one round, in µs.
constexpr std::uint64_t CPU_CLOCK_ROUND_US = 20000;
// Stands in for a rate that does not fit in 32 bits.
constexpr std::uint32_t CPU_CLOCK_RATE_OVERFLOW = 1337;

// The rates of the rounds, in counter ticks per millisecond.
using cpu_rates_t = array_local_t<unsigned int, CPU_CLOCK_ROUNDS>;

// The rate between two samples: (tick difference * 1000) / µs difference, in
// ticks per millisecond; CPU_CLOCK_RATE_OVERFLOW when the result (or the
// product) does not fit, when the counter ran backwards or when no time
// passed.
std::uint32_t cpu_clock_rate(const cpu_sample_t& start, const cpu_sample_t& end);

// The clock in MHz from measured rates: the integer mean of the rates strictly
// above the threshold (the largest rate times 0.8f, truncated), divided by
// 1000. The mean is summed in 64 bits. 1 when no rate is above the threshold
// (for example when every rate is 0).
std::uint32_t cpu_mhz_from_rates(const cpu_rates_t& rates);

// Measures rounds rates with sample (0 or more than 7 rounds mean 7): waits
// for the microsecond reading to change so that the first round starts on a
// timer tick, then samples each round until at least CPU_CLOCK_ROUND_US have
// passed; each round starts at the previous round's end sample.
void cpu_measure_rates(cpu_sampler_fn sample, unsigned rounds, cpu_rates_t& rates);

// cpu_measure_rates followed by cpu_mhz_from_rates. Takes at least rounds
// times 20 ms.
std::uint32_t cpu_measure_mhz(cpu_sampler_fn sample, unsigned rounds = CPU_CLOCK_ROUNDS);

}  // namespace keln
