// The figures of small animations whose fit and playback are known: keys on
// one cubic, four keys, a constant channel, and a skeleton that did not load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "figures.h"
#include "fit_character.h"
#include "../support/tolerances.h"

namespace {

using keln::velmfit::figures_t;
using keln::velmfit::fit_character_t;
using keln::velmfit::playback_error_t;
using keln::test::tol_double;
using keln::test::tol_exact;
using keln::test::tol_float;

std::string document(const char* name) { return std::string(VELMFIT_TEST_DOCUMENTS) + name; }

// The line skeleton (root, and tip 2 units above it) with one animation.
class measured_t {
 public:
  explicit measured_t(const char* animation, const char* skeleton = "line.qis")
      : character(document(skeleton).c_str()) {
    std::unique_ptr<keln::velm::motion_t> motion(
        character.keyframe_instance.load_motion(document(animation).c_str()));
    EXPECT_NE(motion, nullptr);
    if (motion) character.add_animation(animation, std::move(motion));
  }
  figures_t measure() { return keln::velmfit::measure_animation(character, 0, error); }
  const keln::velm::bspline_bone_channel_t& curves() const {
    return character.animations[0].bspline->channels[0];
  }

  fit_character_t character;
  playback_error_t error;
};

TEST(velmfit_figures, keys_on_one_cubic_are_met_by_four_control_points_and_chords_stray_the_known_amount) {
  measured_t m("cubic.qia");
  const figures_t f = m.measure();
  EXPECT_EQ(m.curves().position.control.size(), 4u);
  EXPECT_EQ(m.curves().position.knots.size(), 8u);
  EXPECT_EQ(f.channels, 1u);
  EXPECT_EQ(f.keys, 7u);
  EXPECT_FLOAT_EQ(f.duration, 0.6f);
  EXPECT_EQ(f.keyframe_bytes, 7u * 64u);
  // Three curves of 4 control points (3 + 4 + 9 floats each) and 8 knots each.
  EXPECT_EQ(f.bspline_bytes, 4u * (4u * (3u + 4u + 9u) + 3u * 8u));
  EXPECT_NEAR(f.ratio(), 448.0 / 352.0, tol_double);
  EXPECT_LT(f.key_errors.position, tol_double);
  EXPECT_EQ(f.key_errors.rotation, 0.0f);
  EXPECT_EQ(f.key_errors.stretch, 0.0f);
  EXPECT_GE(f.fit_ms, 0.0);
  // The keyframe playback runs along the chords of x = u^3 between keys
  // h = 1/6 apart; a chord misses the cubic at its middle m by 3/4 m h^2,
  // most in the last interval (m = 11/12), sampled at u = 22/24.
  const double h = 1.0 / 6.0, middle = 11.0 / 12.0;
  EXPECT_NEAR(f.largest, 0.75 * middle * h * h, tol_exact);
  EXPECT_EQ(f.worst_bone, "root");  // the tip strays as far, but later in bone order
  EXPECT_NEAR(f.worst_time, 0.55, tol_exact);
  EXPECT_DOUBLE_EQ(f.rest_height, 2.0);
  EXPECT_NEAR(f.largest_percent, 100.0 * f.largest / 2.0, tol_double);
  EXPECT_NEAR(f.mean_percent, 100.0 * f.mean / 2.0, tol_double);
  // Four samples per key interval over one loop; both joints move.
  EXPECT_EQ(m.error.trace.times.size(), 24u);
  EXPECT_EQ(f.joint_samples, 48u);
  EXPECT_DOUBLE_EQ(m.error.bone_largest[0], m.error.bone_largest[1]);
  // At the keys both playbacks agree.
  for (std::size_t s = 0; s < 24; s += 4) EXPECT_LT(m.error.trace.largest[s], tol_exact) << "sample " << s;
  EXPECT_GT(f.mean, 0.0);
  EXPECT_LT(f.mean, f.largest);
}

TEST(velmfit_figures, four_keys_are_interpolated_and_a_constant_channel_plays_the_same_in_both_forms) {
  measured_t four("four_keys.qia");
  figures_t f = four.measure();
  EXPECT_EQ(four.curves().rotation.control.size(), 4u);
  EXPECT_EQ(four.curves().stretch.control.size(), 4u);
  EXPECT_EQ(f.keys, 4u);
  EXPECT_LT(std::max({f.key_errors.position, f.key_errors.rotation, f.key_errors.stretch}), tol_double);
  // Between the keys the cubic through them leaves the keyframes' straight
  // lines; at the keys the playbacks meet.
  EXPECT_GT(f.largest, 0.1);
  for (std::size_t s = 0; s < four.error.trace.times.size(); s += 4)
    EXPECT_LT(four.error.trace.largest[s], tol_float) << "sample " << s;

  measured_t constant("constant.qia");
  f = constant.measure();
  EXPECT_EQ(constant.curves().position.control.size(), 4u);
  EXPECT_EQ(f.keys, 5u);
  EXPECT_LT(std::max({f.key_errors.position, f.key_errors.rotation, f.key_errors.stretch}), tol_double);
  EXPECT_LT(f.largest, tol_exact);
  EXPECT_EQ(constant.error.trace.times.size(), 16u);
  // The tip has no channel: it keeps its rest transform under the moving
  // root in both playbacks, 2 units above the root's origin in root space.
  EXPECT_FLOAT_EQ(constant.character.keyframe_instance.pose().bones[1].position[1], 2.0f);
  EXPECT_FLOAT_EQ(constant.character.bspline_instance.pose().bones[1].position[1], 2.0f);
}

TEST(velmfit_figures, without_a_skeleton_there_is_no_playback_error) {
  measured_t m("cubic.qia", "no_such_skeleton.qis");
  const figures_t f = m.measure();
  EXPECT_EQ(m.character.keyframe_instance.bone_count(), 0u);
  EXPECT_EQ(f.keyframe_bytes, 448u);
  EXPECT_EQ(f.largest, 0.0);
  EXPECT_EQ(f.mean, 0.0);
  EXPECT_EQ(f.worst_bone, "-");
  EXPECT_EQ(f.rest_height, 0.0);
  EXPECT_TRUE(std::isnan(f.largest_percent));
  EXPECT_TRUE(std::isnan(f.mean_percent));
  EXPECT_EQ(f.joint_samples, 0u);
}

TEST(velmfit_figures, bone_names_and_play_only_weighting_one_animation_in_both_instances) {
  measured_t m("cubic.qia");
  EXPECT_EQ(m.character.bone_name(0), "root");  // names come from the skeleton document
  EXPECT_EQ(m.character.bone_name(1), "tip");
  EXPECT_EQ(m.character.bone_name(2), "#2");
  std::unique_ptr<keln::velm::motion_t> second(
      m.character.keyframe_instance.load_motion(document("constant.qia").c_str()));
  m.character.add_animation("constant", std::move(second));
  m.character.play_only(1);
  for (auto* instance : {&m.character.keyframe_instance, &m.character.bspline_instance}) {
    ASSERT_EQ(instance->binding_count(), 2u);
    EXPECT_EQ(instance->binding(0).weight, 0.0f);
    EXPECT_EQ(instance->binding(1).weight, 1.0f);
  }
}

}  // namespace
