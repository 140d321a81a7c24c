#include "velm/bspline_motion.h"

#include <cmath>
#include <memory>

#include "smooth_motion.h"
#include "velm/bspline_fit_channels.h"
#include "velm/skeletal_instance.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::key;
using velm_test::message_log_t;
using velm_test::same_bone;

// A motion of channels with the given key counts, keys on a straight line.
motion_t motion_of(std::initializer_list<int> key_counts) {
  motion_t motion;
  for (int count : key_counts) {
    bone_channel_t channel;
    channel.duration = 1.0f;
    for (int k = 0; k < count; ++k) channel.push_back(key(0.1f * k, 1, 2));
    motion.channels.push_back(channel);
  }
  return motion;
}

// 64 bytes per key, 352 per fitted line (4 control points, 8 knots a curve).
// Fewer than four keys are fitted without the numerical library: no key gives
// the default bone, one key that key, three keys a curve through them.
TEST(bspline_motion, logs_the_sizes_of_both_forms_and_fits_short_channels) {
  const struct {
    motion_t motion;
    const char* keyframes;
    const char* fitted;
  } rows[] = {{motion_of({}), "0", "0"}, {motion_of({10, 10}), "1280", "704"}, {motion_of({0, 1, 3, 2}), "384", "1056"}};
  for (const auto& row : rows) {
    message_log_t log;
    bspline_motion_t fitted(row.motion);
    EXPECT_EQ(log.lines, (std::vector<std::string>{std::string("I: ^ motion_t size in bytes         : ") + row.keyframes,
                                                   std::string("I: ^ bspline_motion_t size in bytes : ") + row.fitted}));
    if (row.motion.channels.size() != 4) continue;
    fitted.time = 0.5f;
    EXPECT_TRUE(same_bone(*fitted.transform(0), bone_t()));
    EXPECT_TRUE(same_bone(*fitted.transform(1), row.motion.channels[1][0]));
    velm_test::expect_bone_near(*fitted.transform(2), row.motion.channels[2][1], keln::test::tol_float);
    EXPECT_INDEX_CHECK_FAILS(fitted.transform(4));
  }
}

TEST(bspline_motion, follows_the_keyframes_exactly_at_zero_and_closely_at_every_key) {
  motion_t motion = sample::smooth_motion(61, 3, 41, 40.0f);
  message_log_t quiet;
  bspline_motion_t fitted(motion);
  ASSERT_EQ(fitted.channel_count(), 3u);
  for (int k = 0; k < 40; ++k) {
    motion.time = fitted.time = static_cast<float>(k);
    for (std::uint32_t i = 0; i < 3; ++i) {
      EXPECT_EQ(fitted.bone_index(i), i);
      EXPECT_TRUE(k > 0 || same_bone(*fitted.transform(i), *motion.transform(i))) << "channel " << i;
      velm_test::expect_bone_near(*fitted.transform(i), *motion.transform(i), 2 * std::sqrt(bspline_fit_tolerance));
    }
  }
}

// Unusable durations evaluate at the start; a channel samples what each of
// its curves gives alone (duration 1: the time is the parameter), and so
// does its copy; time loops both ways.
TEST(bspline_motion, channels_sample_their_curves_at_the_looped_time) {
  motion_t motion = sample::smooth_motion(63, 4, 25, 1.0f);
  motion.channels[0].duration = 0.0f;
  motion.channels[1].duration = -1.0f;
  motion.channels[2].duration = NAN;
  message_log_t quiet;
  bspline_motion_t fitted(motion);
  const bspline_bone_channel_t copy = fitted.channels[3];
  for (float u : {0.375f, 0.8125f}) {
    bone_t alone, copied;
    copy.position.evaluate(u, alone.position);
    copy.stretch.evaluate(u, alone.stretch);
    copy.rotation.evaluate(u, alone.rotation);
    copy.sample(u, copied);
    EXPECT_TRUE(same_bone(copied, alone));
    for (float time : {u, u + 2.0f, u - 3.0f, INFINITY}) {
      fitted.time = time;
      for (std::uint32_t i = 0; i < 3; ++i) EXPECT_TRUE(same_bone(*fitted.transform(i), motion.channels[i][0]));
      EXPECT_TRUE(same_bone(*fitted.transform(3), std::isinf(time) ? motion.channels[3][0] : alone)) << time;
    }
  }
}

// FNV-1a over the bytes of every control point and knot of the channels.
std::uint64_t hash_curves(const array_t<bspline_bone_channel_t>& channels) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](const void* data, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) h = (h ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
  };
  auto curve = [&mix](const auto& c) {
    mix(c.control.data(), c.control.size() * sizeof c.control[0]);
    mix(c.knots.data(), c.knots.size() * sizeof(float));
  };
  for (const bspline_bone_channel_t& c : channels) curve(c.position), curve(c.rotation), curve(c.stretch);
  return h;
}

// The hash is of the fit made by the straightforward version of the fitting
// (every design matrix decomposed anew, one sum at a time, no knot span split
// into one without keys; GSL 2.7): the speed-ups must not change a single
// bit. Any thread count fits the serial curves, short (dense solve) and long
// (banded solve) channels alike.
TEST(bspline_motion, fits_exactly_what_the_plain_algorithm_fits_on_any_thread_count) {
  message_log_t quiet;
  EXPECT_EQ(hash_curves(bspline_motion_t(sample::smooth_motion(70, 8, 40, 1.0f)).channels), 0xd022b7d20e1c436ull);
  motion_t motion = sample::smooth_motion(5, 5, 300, 10.0f);
  for (const bone_channel_t& c : sample::smooth_motion(6, 4, 40, 1.0f).channels) motion.channels.push_back(c);
  array_dyn_t<bspline_bone_channel_t> serial;
  bspline_fit_channels(motion.channels, serial, 1);
  for (unsigned threads : {2u, 3u, 16u}) {
    array_dyn_t<bspline_bone_channel_t> parallel;
    bspline_fit_channels(motion.channels, parallel, threads);
    EXPECT_EQ(hash_curves(parallel), hash_curves(serial)) << threads << " threads";
  }
}

// Refinement crowds knots into a gap between two keys of this motion: every
// control point must stay determined by the keys, or the curve runs off.
TEST(bspline_motion, crowded_knots_keep_the_curve_near_the_keys_between_them) {
  message_log_t quiet;
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  std::unique_ptr<motion_t> knee(instance.load_motion(velm_test::document_path("kinked_knee.qia").c_str()));
  ASSERT_TRUE(knee);
  const bspline_motion_t fitted(*knee);
  // 16 samples per key interval; unit keys, neighbours less than 40 degrees apart.
  const std::uint32_t samples = 16 * (knee->channels[0].size() - 1);
  for (std::uint32_t i = 0; i <= samples; ++i) {
    quat_t q;
    fitted.channels[0].rotation.evaluate(static_cast<float>(i) / static_cast<float>(samples), q);
    EXPECT_NEAR(std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]), 1.0f, keln::test::tol_unit_length)
        << "sample " << i;
  }
}

}  // namespace
}  // namespace keln::velm
