// Fits to real motion capture stay with the keys between them (refinement
// once split knot spans down to spans without keys, where the curve swung).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "../../bench/bvh_clip.h"
#include "velm/bspline_motion.h"

namespace keln::velm {
namespace {

constexpr std::uint32_t samples_per_interval = 8;
// Between keys k and k+1 a component may leave the range of keys k-1 .. k+2
// by at most this many times that range, plus the tolerance's distance.
constexpr float local_overshoot = 2.0f;
constexpr float tolerance_distance = 0.01f;  // square root of the fitting tolerance

// Largest excess beyond that bound over components and key intervals.
template <typename E>
float worst_excess(const bspline_curve_t<E>& curve, const array_t<E>& keys) {
  constexpr unsigned d = bspline_element<E>::components;
  const std::uint32_t intervals = keys.size() - 1;
  float worst = -1.0f;
  for (std::uint32_t k = 1; k + 2 < keys.size(); ++k)
    for (std::uint32_t j = 1; j < samples_per_interval; ++j) {
      E value;
      curve.evaluate((k + static_cast<float>(j) / samples_per_interval) / intervals, value);
      for (unsigned c = 0; c < d; ++c) {
        float lo = HUGE_VALF, hi = -HUGE_VALF;
        for (std::uint32_t n = k - 1; n <= k + 2; ++n) {
          lo = std::min(lo, bspline_element<E>::data(keys[n])[c]);
          hi = std::max(hi, bspline_element<E>::data(keys[n])[c]);
        }
        const float v = bspline_element<E>::data(value)[c];
        const float outside = std::max(v - hi, lo - v);
        worst = std::max(worst, outside - local_overshoot * (hi - lo) - tolerance_distance);
      }
    }
  return worst;
}

struct cut_t {
  const char* name;
  std::uint32_t channels, first, step, keys;  // the first channels; frames of the 120 per second capture
};

class bspline_real_clip : public testing::TestWithParam<cut_t> {};

TEST_P(bspline_real_clip, curves_keep_to_their_keys_between_keys) {
  const cut_t& cut = GetParam();
  motion_t motion;
  if (!bench::load_bvh_clip(VELM_REALDATA_DIR "/cmu_01_01.bvh", cut.channels, cut.first, cut.step, cut.keys, motion))
    GTEST_SKIP() << "the motion capture file is not readable";
  const bspline_motion_t fitted(motion);
  for (std::uint32_t i = 0; i < motion.channels.size(); ++i) {
    array_dyn_t<vec3_t> positions;
    array_dyn_t<quat_t> rotations;
    for (const bone_t& key : motion.channels[i]) {
      positions.push_back(key.position);
      rotations.push_back(key.rotation);
    }
    EXPECT_LE(worst_excess(fitted.channels[i].position, positions), 0.0f) << "position of channel " << i;
    EXPECT_LE(worst_excess(fitted.channels[i].rotation, rotations), 0.0f) << "rotation of channel " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(cuts, bspline_real_clip,
                         testing::Values(cut_t{"jump_at_30_keys_per_second", 10, 600, 4, 121},
                                         cut_t{"start_at_120_keys_per_second", 31, 100, 1, 500}),
                         [](const testing::TestParamInfo<cut_t>& row) { return row.param.name; });

}  // namespace
}  // namespace keln::velm
