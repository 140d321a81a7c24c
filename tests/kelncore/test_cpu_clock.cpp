#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "kelncore/system/cpu_clock.h"

namespace keln {
namespace {

std::uint32_t mhz_of(std::initializer_list<unsigned int> values) {
  cpu_rates_t rates;
  for (unsigned int v : values) rates.push_back(v);
  return cpu_mhz_from_rates(rates);
}

TEST(cpu_mhz_from_rates, averages_the_rates_above_eight_tenths_of_the_largest) {
  // Threshold 1 600 080: only the first two count, mean 2 000 050.
  EXPECT_EQ(mhz_of({2000000, 2000100, 1000000, 1000000, 1000000, 1000000, 1000000}), 2000u);
}

TEST(cpu_mhz_from_rates, threshold_is_the_largest_times_single_precision_eight_tenths_truncated) {
  // 2 000 100 * 0.8f (widened) = 1 600 080.02...: a rate equal to the
  // truncated threshold is left out, one above it counts.
  EXPECT_EQ(mhz_of({2000100, 1600080}), 2000u);
  EXPECT_EQ(mhz_of({2000100, 1600081}), 1800u);
}

TEST(cpu_mhz_from_rates, mean_and_division_are_integer) {
  EXPECT_EQ(mhz_of({2999, 2998}), 2u);
  EXPECT_EQ(mhz_of({999}), 0u);
}

TEST(cpu_mhz_from_rates, sum_does_not_wrap_at_32_bits) {
  EXPECT_EQ(mhz_of({4000000000u, 4000000000u, 4000000000u, 4000000000u, 4000000000u, 4000000000u, 4000000000u}),
            4000000u);
}

TEST(cpu_mhz_from_rates, no_rate_above_the_threshold_gives_one) {
  EXPECT_EQ(mhz_of({0, 0, 0, 0, 0, 0, 0}), 1u);
  EXPECT_EQ(mhz_of({}), 1u);
}

TEST(cpu_clock_rate, is_ticks_per_millisecond) {
  EXPECT_EQ(cpu_clock_rate({1000, 5}, {21000, 40000005}), 2000000u);
  // Truncated.
  EXPECT_EQ(cpu_clock_rate({0, 0}, {3000, 1000}), 333u);
}

TEST(cpu_clock_rate, values_that_do_not_fit_count_as_1337) {
  // Exactly the largest 32-bit rate still fits.
  EXPECT_EQ(cpu_clock_rate({0, 0}, {1000, 0xFFFFFFFFull}), 0xFFFFFFFFu);
  EXPECT_EQ(cpu_clock_rate({0, 0}, {1000, 0x100000000ull}), 1337u);
  // The product with 1000 itself would overflow 64 bits.
  EXPECT_EQ(cpu_clock_rate({0, 0}, {20000, 0xFFFFFFFFFFFFFFFFull}), 1337u);
  // A counter that ran backwards, and no time passed.
  EXPECT_EQ(cpu_clock_rate({0, 100}, {20000, 50}), 1337u);
  EXPECT_EQ(cpu_clock_rate({5000, 0}, {5000, 100}), 1337u);
}

// A processor whose counter runs at 2 000 000 ticks per millisecond, sampled
// four times per millisecond; the first sample falls in the middle of a
// millisecond.
std::uint64_t fake_calls = 0;
cpu_sample_t fake_sample() {
  const std::uint64_t call = fake_calls++;
  return {(call + 2) / 4 * 1000, call * 500000};
}

TEST(cpu_measure_rates, starts_on_a_tick_and_measures_each_round_from_the_previous_end) {
  fake_calls = 0;
  cpu_rates_t rates;
  cpu_measure_rates(&fake_sample, 7, rates);
  ASSERT_EQ(rates.size(), 7u);
  for (unsigned int rate : rates) EXPECT_EQ(rate, 2000000u);
  // 3 samples up to the first tick, then 80 samples (20 ms) per round.
  EXPECT_EQ(fake_calls, 3u + 7u * 80u);
}

TEST(cpu_measure_rates, round_count_outside_one_to_seven_means_seven) {
  for (unsigned rounds : {0u, 8u, 100u}) {
    fake_calls = 0;
    cpu_rates_t rates;
    cpu_measure_rates(&fake_sample, rounds, rates);
    EXPECT_EQ(rates.size(), 7u) << rounds;
  }
  fake_calls = 0;
  cpu_rates_t rates;
  cpu_measure_rates(&fake_sample, 3, rates);
  EXPECT_EQ(rates.size(), 3u);
}

TEST(cpu_measure_mhz, gives_the_clock_of_the_sampled_counter) {
  fake_calls = 0;
  EXPECT_EQ(cpu_measure_mhz(&fake_sample), 2000u);
}

}  // namespace
}  // namespace keln
