#include "velm/bone_channel.h"

#include <cmath>

#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::key;
using velm_test::same_bone;

// Keys k = 0 .. 6 at x = k^2 with stretch k + 1 along x.
bone_channel_t seven_keys(float duration) {
  bone_channel_t channel;
  channel.bone = 4;
  channel.duration = duration;
  for (int k = 0; k < 7; ++k) channel.push_back(key(static_cast<float>(k * k), 0, 0, quat_identity(), k + 1.0f));
  return channel;
}

bone_t sample(const bone_channel_t& channel, float time) {
  bone_t out = key(-99, -99, -99, quat_t{{5, 5, 5, 5}}, 9.0f);  // garbage
  channel.sample(time, out);
  return out;
}

// Duration 6: one second per key interval, looping both ways; times beyond
// 2^32 frames use the low 32 bits of their whole part (2^32 + 2560: key
// 2560 mod 6 = 4, where the true remainder would give key 2).
TEST(bone_channel, samples_blend_the_keys_around_the_time_and_loop) {
  const bone_channel_t channel = seven_keys(6.0f);
  const struct {
    float time;
    int k;    // the key returned bit for bit, or the left key of a blend
    bool copy;
    float x;  // the blended position
  } rows[] = {{0.0f, 0, true, 0},      {0.5f, 0, false, 0.5f},   {1.25f, 1, false, 1.75f}, {1.0f, 1, true, 0},
              {1.000001f, 1, true, 0}, {5.999999f, 6, true, 0},  {6.0f, 0, true, 0},       {6.5f, 0, false, 0.5f},
              {-0.5f, 5, false, 30.5f}, {-6.0f, 0, true, 0},     {-7.25f, 4, false, 22.75f}, {NAN, 0, true, 0},
              {INFINITY, 0, true, 0},  {-INFINITY, 0, true, 0}, {4294969856.0f, 4, true, 0}};
  for (const auto& row : rows) {
    const bone_t b = sample(channel, row.time);
    if (row.copy) {
      EXPECT_TRUE(same_bone(b, channel[row.k])) << row.time;
      continue;
    }
    EXPECT_FLOAT_EQ(b.position[0], row.x) << row.time;
    EXPECT_EQ(b.stretch[0], channel[row.k].stretch[0]) << "the left key's stretch at " << row.time;
  }
  for (float t : {1e12f, 1e19f, 3e38f, -1e19f, -3e38f}) {
    const float x = sample(channel, t).position[0];
    EXPECT_TRUE(x >= 0.0f && x <= 36.0f) << t;
  }
}

TEST(bone_channel, unusable_durations_and_short_channels_give_the_first_key) {
  for (float duration : {0.0f, -2.0f, NAN, 1e-45f, INFINITY}) {
    const bone_channel_t channel = seven_keys(duration);
    EXPECT_TRUE(same_bone(sample(channel, 0.5f), channel[0])) << duration;
  }
  bone_channel_t channel = seven_keys(12.0f);  // two seconds per interval, read anew
  EXPECT_FLOAT_EQ(sample(channel, 3.0f).position[0], 2.5f);
  channel.resize(1);
  EXPECT_TRUE(same_bone(sample(channel, -3.0f), channel[0]));
  channel.clear();
  EXPECT_TRUE(same_bone(sample(channel, 0.5f), bone_t()));
}

}  // namespace
}  // namespace keln::velm
