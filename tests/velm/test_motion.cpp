#include "velm/motion.h"

#include <limits>

#include "motion_test_support.h"

namespace keln::velm {
namespace {

using keln::test::tol_float;
using test::bitwise_equal;
using test::key;

// Keys 0, 1, 2 at positions x = 0, 10, 40 with stretches 1, 2, 3 on x.
bone_channel_t three_keys(float duration) {
  bone_channel_t channel;
  channel.bone = 4;
  channel.duration = duration;
  channel.push_back(key(0, 0, 0, quat_identity(), 1.0f));
  channel.push_back(key(10, 0, 0, quat_identity(), 2.0f));
  channel.push_back(key(40, 0, 0, quat_identity(), 3.0f));
  return channel;
}

bone_t sample(const bone_channel_t& channel, float time) {
  bone_t out = key(-99, -99, -99, quat_t{{5, 5, 5, 5}}, 9.0f);  // garbage
  channel.sample(time, out);
  return out;
}

TEST(motion_sampling, blends_the_keys_around_the_time) {
  const bone_channel_t channel = three_keys(2.0f);
  const bone_t mid = sample(channel, 0.5f);
  EXPECT_FLOAT_EQ(mid.position[0], 5.0f);
  EXPECT_EQ(mid.stretch[0], 1.0f);  // the left key's stretch
  EXPECT_FLOAT_EQ(sample(channel, 1.25f).position[0], 17.5f);
}

TEST(motion_sampling, wraps_with_period_duration) {
  const bone_channel_t channel = three_keys(2.0f);
  EXPECT_TRUE(bitwise_equal(sample(channel, 2.5f), sample(channel, 0.5f)));
  EXPECT_FLOAT_EQ(sample(channel, 2.5f).position[0], 5.0f);
  // At T = duration the loop starts again: key 0, not the last key.
  EXPECT_TRUE(bitwise_equal(sample(channel, 2.0f), channel[0]));
  EXPECT_TRUE(bitwise_equal(sample(channel, 0.0f), channel[0]));
}

TEST(motion_sampling, returns_keys_exactly_at_their_times) {
  const bone_channel_t channel = three_keys(2.0f);
  EXPECT_TRUE(bitwise_equal(sample(channel, 1.0f), channel[1]));
  EXPECT_TRUE(bitwise_equal(sample(channel, 1.000001f), channel[1]));  // f below 1e-5
  EXPECT_TRUE(bitwise_equal(sample(channel, 1.999999f), channel[2]));  // f above 1 - 1e-5
}

TEST(motion_sampling, negative_times_wrap_like_positive_ones) {
  const bone_channel_t channel = three_keys(2.0f);
  EXPECT_TRUE(bitwise_equal(sample(channel, -0.5f), sample(channel, 1.5f)));
  EXPECT_TRUE(bitwise_equal(sample(channel, -1.5f), sample(channel, 0.5f)));
  EXPECT_TRUE(bitwise_equal(sample(channel, -2.0f), channel[0]));
  EXPECT_TRUE(bitwise_equal(sample(channel, -7.25f), sample(channel, 0.75f)));
}

TEST(motion_sampling, long_running_times_stay_in_range) {
  const bone_channel_t channel = three_keys(2.0f);
  for (float t : {1e6f, 3.3e9f, 1e12f, 1e19f, 3e38f, -1e19f, -3e38f}) {
    const bone_t b = sample(channel, t);
    EXPECT_TRUE(std::isfinite(b.position[0])) << t;
    EXPECT_GE(b.position[0], 0.0f);
    EXPECT_LE(b.position[0], 40.0f);
  }
}

TEST(motion_sampling, whole_parts_use_their_low_32_bits_modulo_the_intervals) {
  bone_channel_t channel;
  channel.duration = 6.0f;
  for (int k = 0; k < 7; ++k) channel.push_back(key(static_cast<float>(k), 0, 0));
  // 2^32 + 2560 frames: the low 32 bits are 2560, key 2560 mod 6 = 4 (the
  // true remainder by 6 would give key 2).
  EXPECT_TRUE(bitwise_equal(sample(channel, 4294969856.0f), channel[4]));
  EXPECT_TRUE(bitwise_equal(sample(channel, 3300000000.0f), channel[3300000000u % 6]));
}

TEST(motion_sampling, follows_changes_of_keys_and_duration) {
  bone_channel_t channel = three_keys(2.0f);
  EXPECT_FLOAT_EQ(sample(channel, 0.5f).position[0], 5.0f);
  channel.duration = 4.0f;  // frame 2: T = 0.5 is a quarter of the way to key 1
  EXPECT_FLOAT_EQ(sample(channel, 0.5f).position[0], 2.5f);
  channel.push_back(key(100, 0, 0));  // frame 4/3
  EXPECT_FLOAT_EQ(sample(channel, 2.0f).position[0], 25.0f);
  channel.resize(1);
  EXPECT_TRUE(bitwise_equal(sample(channel, 2.0f), channel[0]));
}

TEST(motion_sampling, one_key_gives_that_key) {
  bone_channel_t channel;
  channel.duration = 1.0f;
  channel.push_back(key(3, 4, 5));
  EXPECT_TRUE(bitwise_equal(sample(channel, 0.7f), channel[0]));
  EXPECT_TRUE(bitwise_equal(sample(channel, -3.0f), channel[0]));
}

TEST(motion_sampling, no_key_gives_the_default_bone) {
  bone_channel_t channel;
  channel.duration = 1.0f;
  EXPECT_TRUE(bitwise_equal(sample(channel, 0.5f), bone_t()));
}

TEST(motion_sampling, unusable_durations_or_times_give_the_first_key) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float duration : {0.0f, -2.0f, nan, 1e-45f}) {
    const bone_channel_t channel = three_keys(duration);
    EXPECT_TRUE(bitwise_equal(sample(channel, 0.5f), channel[0])) << duration;
  }
  const bone_channel_t channel = three_keys(2.0f);
  for (float time : {nan, inf, -inf}) EXPECT_TRUE(bitwise_equal(sample(channel, time), channel[0])) << time;
  // An infinite duration never leaves the first key.
  EXPECT_TRUE(bitwise_equal(sample(three_keys(inf), 5.0f), three_keys(inf)[0]));
}

TEST(motion_t, samples_its_channels_at_its_time_into_one_shared_record) {
  motion_t a, b;
  a.channels.push_back(three_keys(2.0f));
  b.channels.push_back(three_keys(2.0f));
  a.advance(0.5f);
  b.advance(1.0f);
  EXPECT_EQ(a.channel_count(), 1u);
  EXPECT_EQ(a.bone_index(0), 4u);
  const bone_t* first = a.transform(0);
  EXPECT_FLOAT_EQ(first->position[0], 5.0f);
  const bone_t* second = b.transform(0);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->position[0], 10.0f);
}

TEST(motion_t, checks_the_channel_index) {
  motion_t motion;
  EXPECT_INDEX_CHECK_FAILS(motion.transform(0));
  EXPECT_INDEX_CHECK_FAILS(motion.bone_index(0));
}

}  // namespace
}  // namespace keln::velm
