#pragma once
// Deterministic smooth random keyframe motions for tests and benchmarks:
// every key component a sum of sinusoids of the key time (one to four
// periods over the channel), rotations turning about one axis per channel
// so that consecutive keys stay in one hemisphere.

#include <cmath>
#include <cstdint>
#include <random>

#include "kelncore/math/quat.h"
#include "velm/bone_channel.h"
#include "velm/motion.h"

namespace keln::velm::sample {

inline bone_channel_t smooth_channel(std::mt19937& engine, std::uint32_t key_count, float duration) {
  auto uniform = [&engine](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(engine); };
  constexpr int waves = 13;  // 3 position, 1 rotation angle, 9 stretch components
  float amp[waves], freq[waves], phase[waves];
  for (int i = 0; i < waves; ++i) {
    amp[i] = uniform(0.05f, 1.0f);
    freq[i] = uniform(1.0f, 4.0f);
    phase[i] = uniform(0.0f, 6.2831853f);
  }
  const vec3_t axis{{uniform(-1, 1), uniform(-1, 1), uniform(0.1f, 1)}};
  bone_channel_t channel;
  channel.duration = duration;
  channel.bone = 0;
  for (std::uint32_t k = 0; k < key_count; ++k) {
    const float t = key_count > 1 ? static_cast<float>(k) / static_cast<float>(key_count - 1) : 0.0f;
    auto wave = [&](int i) { return amp[i] * std::sin(6.2831853f * freq[i] * t + phase[i]); };
    bone_t b;
    b.position = vec3_t{{10 * wave(0), 10 * wave(1), 10 * wave(2)}};
    b.rotation = quat_from_axis_angle(axis, 1.5f * wave(3));
    for (unsigned e = 0; e < 9; ++e) b.stretch[e] = (e % 4 == 0 ? 1.0f : 0.0f) + 0.2f * wave(4 + static_cast<int>(e));
    channel.push_back(b);
  }
  return channel;
}

// channel_count channels of key_count keys; channel c drives bone c.
inline motion_t smooth_motion(unsigned seed, std::uint32_t channel_count, std::uint32_t key_count, float duration) {
  std::mt19937 engine(seed);
  motion_t motion;
  for (std::uint32_t c = 0; c < channel_count; ++c) {
    bone_channel_t channel = smooth_channel(engine, key_count, duration);
    channel.bone = c;
    motion.channels.push_back(channel);
  }
  return motion;
}

}  // namespace keln::velm::sample
