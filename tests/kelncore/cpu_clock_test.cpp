#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "kelncore/system/cpu_clock.h"

namespace keln {
namespace {

TEST(cpu_mhz_from_rates, averages_in_integers_the_rates_above_eight_tenths_of_the_largest) {
  const std::uint32_t big = 4000000000u;
  const struct {
    std::vector<unsigned> rates;
    std::uint32_t mhz;
  } cases[] = {
      {{2000000, 2000100, 1000000, 1000000, 1000000, 1000000, 1000000}, 2000},  // mean of the first two
      // 2 000 100 * 0.8f = 1 600 080.02...: the truncated threshold itself is left out.
      {{2000100, 1600080}, 2000},
      {{2000100, 1600081}, 1800},
      {{big, big, big, big, big, big, big}, 4000000},  // the sum does not wrap at 32 bits
      {{}, 1},
  };
  for (const auto& c : cases) {
    cpu_rates_t rates;
    for (unsigned v : c.rates) rates.push_back(v);
    EXPECT_EQ(cpu_mhz_from_rates(rates), c.mhz) << ::testing::PrintToString(c.rates);
  }
}

TEST(cpu_clock_rate, is_ticks_per_millisecond_or_1337_when_it_does_not_fit) {
  const struct {
    cpu_sample_t start, end;
    std::uint32_t rate;
  } cases[] = {
      {{1000, 5}, {21000, 40000005}, 2000000},
      {{0, 0}, {1000, 0xFFFFFFFFull}, 0xFFFFFFFFu},        // the largest rate that fits
      {{0, 0}, {1000, 0x100000000ull}, 1337},
      {{0, 0}, {20000, 0xFFFFFFFFFFFFFFFFull}, 1337},      // the product with 1000 overflows 64 bits
      {{0, 100}, {20000, 50}, 1337},                       // the counter ran backwards
      {{5000, 0}, {5000, 100}, 1337},                      // no time passed
  };
  for (const auto& c : cases) EXPECT_EQ(cpu_clock_rate(c.start, c.end), c.rate) << c.end.ticks;
}

}  // namespace
}  // namespace keln
