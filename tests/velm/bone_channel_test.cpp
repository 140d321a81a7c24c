#include "velm/bone_channel.h"

#include <cmath>
#include <limits>

#include "velm/motion.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::key;
using velm_test::same_bone;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// Keys 0, 1, 2 at x = 0, 10, 40 with stretches 1, 2, 3 along x.
bone_channel_t three_keys(float duration) {
  bone_channel_t channel;
  channel.bone = 4;
  channel.duration = duration;
  const float x[] = {0, 10, 40};
  for (int k = 0; k < 3; ++k) channel.push_back(key(x[k], 0, 0, quat_identity(), k + 1.0f));
  return channel;
}

bone_t sample(const bone_channel_t& channel, float time) {
  bone_t out = key(-99, -99, -99, quat_t{{5, 5, 5, 5}}, 9.0f);  // garbage
  channel.sample(time, out);
  return out;
}

// Duration 2 over three keys: one second per key interval, looping.
TEST(bone_channel, samples_blend_the_keys_around_the_time_and_loop) {
  const bone_channel_t channel = three_keys(2.0f);
  const struct {
    float time;
    bool copy;   // key k returned bit for bit, else a blend after key k
    int k;
    float x;     // the blended position
  } rows[] = {{0.0f, true, 0, 0},      {0.5f, false, 0, 5},    {1.25f, false, 1, 17.5f}, {1.0f, true, 1, 0},
              {1.000001f, true, 1, 0}, {1.999999f, true, 2, 0}, {2.0f, true, 0, 0},      {2.5f, false, 0, 5},
              {-0.5f, false, 1, 25},   {-1.5f, false, 0, 5},   {-2.0f, true, 0, 0},     {-7.25f, false, 0, 7.5f},
              {nan, true, 0, 0},       {inf, true, 0, 0},      {-inf, true, 0, 0}};
  for (const auto& row : rows) {
    const bone_t b = sample(channel, row.time);
    if (row.copy) {
      EXPECT_TRUE(same_bone(b, channel[row.k])) << row.time;
      continue;
    }
    EXPECT_FLOAT_EQ(b.position[0], row.x) << row.time;
    EXPECT_EQ(b.stretch[0], channel[row.k].stretch[0]) << "the left key's stretch at " << row.time;
  }
}

TEST(bone_channel, long_running_times_use_the_low_32_bits_of_their_whole_part) {
  bone_channel_t channel;
  channel.duration = 6.0f;
  for (int k = 0; k < 7; ++k) channel.push_back(key(static_cast<float>(k)));
  // 2^32 + 2560 frames: the low 32 bits are 2560, key 2560 mod 6 = 4 (the
  // true remainder by 6 would give key 2).
  EXPECT_TRUE(same_bone(sample(channel, 4294969856.0f), channel[4]));
  EXPECT_TRUE(same_bone(sample(channel, 3300000000.0f), channel[3300000000u % 6]));
  for (float t : {1e12f, 1e19f, 3e38f, -1e19f, -3e38f}) {
    const float x = sample(channel, t).position[0];
    EXPECT_TRUE(x >= 0.0f && x <= 6.0f) << t;
  }
}

TEST(bone_channel, unusable_durations_and_short_channels_give_the_first_key) {
  for (float duration : {0.0f, -2.0f, nan, 1e-45f, inf}) {
    const bone_channel_t channel = three_keys(duration);
    EXPECT_TRUE(same_bone(sample(channel, 0.5f), channel[0])) << duration;
  }
  bone_channel_t channel = three_keys(4.0f);  // two seconds per interval, read anew
  EXPECT_FLOAT_EQ(sample(channel, 0.5f).position[0], 2.5f);
  channel.resize(1);
  EXPECT_TRUE(same_bone(sample(channel, -3.0f), channel[0]));
  channel.clear();
  EXPECT_TRUE(same_bone(sample(channel, 0.5f), bone_t()));
}

TEST(motion, samples_its_channels_at_its_time_into_one_shared_record) {
  motion_t a, b;
  a.channels.push_back(three_keys(2.0f));
  b.channels.push_back(three_keys(2.0f));
  a.advance(0.5f);
  b.advance(1.0f);
  EXPECT_EQ(a.bone_index(0), 4u);
  const bone_t* first = a.transform(0);
  EXPECT_FLOAT_EQ(first->position[0], 5.0f);
  EXPECT_EQ(first, b.transform(0));
  EXPECT_EQ(first->position[0], 10.0f);
  motion_t empty;
  EXPECT_INDEX_CHECK_FAILS(empty.transform(0));
  EXPECT_INDEX_CHECK_FAILS(empty.bone_index(0));
}

}  // namespace
}  // namespace keln::velm
