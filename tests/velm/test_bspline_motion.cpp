#include "velm/bspline_motion.h"

#include <gsl/gsl_errno.h>

#include <limits>

#include "motion_test_support.h"

namespace keln::velm {
namespace {

using test::bitwise_equal;
using test::message_log_t;

TEST(bspline_motion, empty_motion_logs_two_sizes_of_zero) {
  message_log_t log;
  const motion_t motion;
  const bspline_motion_t fitted(motion);
  EXPECT_EQ(fitted.channel_count(), 0u);
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], "^ motion_t size in bytes         : 0");
  EXPECT_EQ(log.lines[1], "^ bspline_motion_t size in bytes : 0");
  EXPECT_EQ(log.levels[0], ML_INFO);
  EXPECT_EQ(log.levels[1], ML_INFO);
}

TEST(bspline_motion, logs_64_bytes_per_key_and_4_per_curve_float) {
  // Keys on one cubic fit 4 control points and 8 knots per curve:
  // 4 (3·4 + 4·4 + 9·4 + 3·8) = 352 bytes per channel.
  motion_t motion;
  for (int c = 0; c < 2; ++c) {
    bone_channel_t channel;
    channel.duration = 1.0f;
    for (int k = 0; k < 10; ++k) channel.push_back(test::key(0.1f * k, 0, 0));
    motion.channels.push_back(channel);
  }
  message_log_t log;
  const bspline_motion_t fitted(motion);
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], "^ motion_t size in bytes         : 1280");
  EXPECT_EQ(log.lines[1], "^ bspline_motion_t size in bytes : 704");
}

TEST(bspline_motion, agrees_exactly_with_the_keyframes_at_time_zero) {
  const motion_t motion = sample::smooth_motion(60, 5, 31, 30.0f);
  message_log_t quiet;
  const bspline_motion_t fitted(motion);
  ASSERT_EQ(fitted.channel_count(), 5u);
  for (std::uint32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(fitted.bone_index(i), i);
    const bone_t spline = *fitted.transform(i);
    EXPECT_TRUE(bitwise_equal(spline, *motion.transform(i))) << "channel " << i;
  }
}

TEST(bspline_motion, follows_the_keyframes_at_the_key_times) {
  motion_t motion = sample::smooth_motion(61, 3, 41, 40.0f);
  message_log_t quiet;
  bspline_motion_t fitted(motion);
  const float tol = 2 * std::sqrt(bspline_fit_tolerance);
  for (int k = 0; k < 40; ++k) {
    motion.time = fitted.time = static_cast<float>(k);
    for (std::uint32_t i = 0; i < 3; ++i) {
      const bone_t key = *motion.transform(i);
      test::expect_bone_near(*fitted.transform(i), key, tol);
    }
  }
}

TEST(bspline_motion, loops_and_plays_backwards) {
  const motion_t motion = sample::smooth_motion(62, 1, 21, 2.0f);
  message_log_t quiet;
  bspline_motion_t fitted(motion);
  fitted.time = 0.5f;
  const bone_t forward = *fitted.transform(0);
  fitted.time = 2.5f;
  EXPECT_TRUE(bitwise_equal(*fitted.transform(0), forward));
  fitted.time = -1.5f;
  EXPECT_TRUE(bitwise_equal(*fitted.transform(0), forward));
}

TEST(bspline_motion, unusable_durations_and_times_evaluate_at_the_start) {
  motion_t motion = sample::smooth_motion(63, 4, 9, 1.0f);
  motion.channels[0].duration = 0.0f;
  motion.channels[1].duration = -1.0f;
  motion.channels[2].duration = std::numeric_limits<float>::quiet_NaN();
  message_log_t quiet;
  bspline_motion_t fitted(motion);
  fitted.time = 0.3f;
  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_TRUE(bitwise_equal(*fitted.transform(i), motion.channels[i][0]));
  fitted.time = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(bitwise_equal(*fitted.transform(3), motion.channels[3][0]));
}

int gsl_errors = 0;
void count_gsl_error(const char*, const char*, int, int) { ++gsl_errors; }

TEST(bspline_motion, short_channels_are_fitted_without_the_numerical_library) {
  // GSL's default handler would abort; this one counts, for this test only.
  gsl_errors = 0;
  gsl_error_handler_t* const default_handler = gsl_set_error_handler(count_gsl_error);
  motion_t motion;
  for (int count = 0; count < 4; ++count) {
    bone_channel_t channel;
    channel.duration = 1.0f;
    for (int k = 0; k < count; ++k) channel.push_back(test::key(static_cast<float>(k), 1, 2));
    motion.channels.push_back(channel);
  }
  message_log_t log;
  bspline_motion_t fitted(motion);
  EXPECT_TRUE(bitwise_equal(*fitted.transform(0), bone_t()));  // no key
  fitted.time = 0.5f;
  EXPECT_TRUE(bitwise_equal(*fitted.transform(0), bone_t()));
  EXPECT_TRUE(bitwise_equal(*fitted.transform(1), motion.channels[1][0]));  // one key: constant
  test::expect_bone_near(*fitted.transform(3), motion.channels[3][1], keln::test::tol_float);
  // 64 (1 + 2 + 3) bytes of keys; three channels of 4 control points and 8 knots.
  EXPECT_EQ(log.lines[0], "^ motion_t size in bytes         : 384");
  EXPECT_EQ(log.lines[1], "^ bspline_motion_t size in bytes : 1056");
  gsl_set_error_handler(default_handler);
  EXPECT_EQ(gsl_errors, 0);
}

TEST(bspline_motion, has_its_own_shared_result_record) {
  const motion_t motion = sample::smooth_motion(64, 1, 8, 1.0f);
  message_log_t quiet;
  const bspline_motion_t a(motion), b(motion);
  EXPECT_EQ(a.transform(0), b.transform(0));
  EXPECT_NE(static_cast<const void*>(a.transform(0)), static_cast<const void*>(motion.transform(0)));
}

TEST(bspline_bone_channel, copies_hold_the_same_curves) {
  const motion_t motion = sample::smooth_motion(65, 1, 30, 1.0f);
  message_log_t quiet;
  const bspline_motion_t fitted(motion);
  const bspline_bone_channel_t copy = fitted.channels[0];
  EXPECT_EQ(copy.bone, fitted.channels[0].bone);
  EXPECT_EQ(copy.duration, fitted.channels[0].duration);
  EXPECT_EQ(copy.byte_size(), fitted.channels[0].byte_size());
  bone_t from_copy, from_original;
  copy.sample(0.37f, from_copy);
  fitted.channels[0].sample(0.37f, from_original);
  EXPECT_TRUE(bitwise_equal(from_copy, from_original));
}

TEST(bspline_bone_channel, shared_bases_give_what_each_curve_gives_alone) {
  // Real-looking channels: most curves keep the single span, some refine.
  const motion_t motion = sample::smooth_motion(66, 6, 25, 1.0f);
  message_log_t quiet;
  const bspline_motion_t fitted(motion);
  std::mt19937 engine(67);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (const bspline_bone_channel_t& channel : fitted.channels)
    for (int n = 0; n < 50; ++n) {
      const float u = unit(engine);
      bone_t together, alone;
      channel.sample(u, together);  // duration 1: u is the curve parameter
      channel.position.evaluate(u, alone.position);
      channel.stretch.evaluate(u, alone.stretch);
      channel.rotation.evaluate(u, alone.rotation);
      EXPECT_TRUE(bitwise_equal(together, alone));
    }
}

// FNV-1a over the bytes of every control point and knot.
template <typename E>
void hash_curve(const bspline_curve_t<E>& curve, std::uint64_t& h) {
  auto mix = [&h](const void* data, std::size_t bytes) {
    const auto* b = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < bytes; ++i) h = (h ^ b[i]) * 1099511628211ull;
  };
  mix(curve.control.data(), curve.control.size() * sizeof(E));
  mix(curve.knots.data(), curve.knots.size() * sizeof(float));
}

TEST(bspline_motion, fits_exactly_what_the_plain_algorithm_fits) {
  // The hash of this fit as made by the straightforward version of the
  // fitting (every design matrix decomposed anew, one sum at a time, no
  // knot span split into one without keys): the speed-ups must not change a
  // single bit. Made with GSL 2.7.
  const motion_t motion = sample::smooth_motion(70, 8, 40, 1.0f);
  message_log_t quiet;
  const bspline_motion_t fitted(motion);
  std::uint64_t h = 1469598103934665603ull;
  for (const bspline_bone_channel_t& c : fitted.channels) {
    hash_curve(c.position, h);
    hash_curve(c.rotation, h);
    hash_curve(c.stretch, h);
  }
  EXPECT_EQ(h, 0xd022b7d20e1c436ull);
}

TEST(bspline_motion, checks_the_channel_index) {
  message_log_t quiet;
  const bspline_motion_t fitted{motion_t()};
  EXPECT_INDEX_CHECK_FAILS(fitted.transform(0));
}

}  // namespace
}  // namespace keln::velm
