#include "velmscope/frame_clock.h"

#include <gtest/gtest.h>

namespace keln::velmscope {
namespace {

TEST(FrameClock, FirstFrameStepIsZeroWhateverTheReading) {
  frame_clock_t clock;
  EXPECT_EQ(clock.step(123456789, 1.0f), 0.0f);
}

TEST(FrameClock, LaterStepsAreElapsedSecondsTimesTheScale) {
  frame_clock_t clock;
  clock.step(5'000'000, 1.0f);
  EXPECT_FLOAT_EQ(clock.step(5'016'000, 1.0f), 0.016f);
  EXPECT_FLOAT_EQ(clock.step(5'516'000, 2.0f), 1.0f);
  EXPECT_FLOAT_EQ(clock.step(6'516'000, 0.001f), 0.001f);
}

TEST(FrameClock, EqualReadingsGiveZeroStep) {
  frame_clock_t clock;
  clock.step(1000, 1.0f);
  clock.step(2000, 1.0f);
  EXPECT_EQ(clock.step(2000, 1.0f), 0.0f);
}

}  // namespace
}  // namespace keln::velmscope
