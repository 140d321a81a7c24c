// Fitting the channels of a motion on several threads gives the serial fit
// bit for bit, for short (dense solve) and long (banded solve) channels.
#include "velm/bspline_fit_channels.h"

#include <gtest/gtest.h>

#include <cstring>

#include "smooth_motion.h"

namespace keln::velm {
namespace {

template <typename E>
bool same_bits(const bspline_curve_t<E>& a, const bspline_curve_t<E>& b) {
  return a.control.size() == b.control.size() && a.knots.size() == b.knots.size() &&
         std::memcmp(a.control.data(), b.control.data(), a.control.size() * sizeof(E)) == 0 &&
         std::memcmp(a.knots.data(), b.knots.data(), a.knots.size() * sizeof(float)) == 0;
}

TEST(bspline_fit_channels, any_thread_count_fits_the_serial_curves_bit_for_bit) {
  motion_t motion = sample::smooth_motion(5, 5, 300, 10.0f);
  const motion_t short_motion = sample::smooth_motion(6, 4, 40, 1.0f);
  for (const bone_channel_t& c : short_motion.channels) motion.channels.push_back(c);
  array_dyn_t<bspline_bone_channel_t> serial;
  bspline_fit_channels(motion.channels, serial, 1);
  for (unsigned threads : {2u, 3u, 16u}) {
    array_dyn_t<bspline_bone_channel_t> parallel;
    bspline_fit_channels(motion.channels, parallel, threads);
    ASSERT_EQ(parallel.size(), serial.size());
    for (std::uint32_t i = 0; i < serial.size(); ++i) {
      SCOPED_TRACE(testing::Message() << threads << " threads, channel " << i);
      EXPECT_EQ(parallel[i].bone, serial[i].bone);
      EXPECT_TRUE(same_bits(parallel[i].position, serial[i].position));
      EXPECT_TRUE(same_bits(parallel[i].rotation, serial[i].rotation));
      EXPECT_TRUE(same_bits(parallel[i].stretch, serial[i].stretch));
    }
  }
}

}  // namespace
}  // namespace keln::velm
