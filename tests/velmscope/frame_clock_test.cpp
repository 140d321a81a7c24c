#include "velmscope/frame_clock.h"

#include <gtest/gtest.h>

namespace keln::velmscope {
namespace {

// Readings in microseconds; the first step is zero whatever the reading,
// later ones the elapsed seconds times the scale.
TEST(frame_clock, steps_are_elapsed_seconds_times_the_scale) {
  frame_clock_t clock;
  const struct {
    unsigned long long reading;
    float scale, step;
  } rows[] = {{5'000'000, 1, 0}, {5'016'000, 1, 0.016f}, {5'516'000, 2, 1}, {6'516'000, 0.001f, 0.001f},
              {6'516'000, 1, 0}};
  for (const auto& row : rows) EXPECT_FLOAT_EQ(clock.step(row.reading, row.scale), row.step) << row.reading;
}

}  // namespace
}  // namespace keln::velmscope
