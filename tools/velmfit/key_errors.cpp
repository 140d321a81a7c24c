#include "key_errors.h"

#include <algorithm>

namespace keln::velmfit {

namespace {

template <typename E>
float squared_distance(const E& a, const E& b) {
  constexpr unsigned d = velm::bspline_element<E>::components;
  const float* pa = velm::bspline_element<E>::data(a);
  const float* pb = velm::bspline_element<E>::data(b);
  float sum = 0.0f;
  for (unsigned c = 0; c < d; ++c) {
    const float diff = pa[c] - pb[c];
    sum += diff * diff;
  }
  return sum;
}

template <typename E>
float key_error(const velm::bspline_curve_t<E>& curve, const E& key, float t) {
  E value;
  curve.evaluate(t, value);
  return squared_distance(key, value);
}

}  // namespace

key_errors_t largest_key_errors(const velm::motion_t& keyframe, const velm::bspline_motion_t& bspline) {
  key_errors_t largest;
  for (std::uint32_t c = 0; c < keyframe.channels.size(); ++c) {
    const velm::bone_channel_t& keys = keyframe.channels[c];
    const velm::bspline_bone_channel_t& curves = bspline.channels[c];
    const std::uint32_t count = keys.size();
    if (count == 0) continue;
    const float h = count > 1 ? 1.0f / static_cast<float>(count - 1) : 0.0f;
    float t = 0.0f;
    for (std::uint32_t k = 0; k < count; ++k, t = t + h) {
      const velm::bone_t& key = keys[k];
      largest.position = std::max(largest.position, key_error(curves.position, key.position, t));
      largest.rotation = std::max(largest.rotation, key_error(curves.rotation, key.rotation, t));
      largest.stretch = std::max(largest.stretch, key_error(curves.stretch, key.stretch, t));
    }
  }
  return largest;
}

}  // namespace keln::velmfit
