// Blending of weighted bindings into an instance's current pose.
#include <gtest/gtest.h>

#include <cmath>

#include "test_pose.h"
#include "velm/skeletal_instance.h"
#include "velm_test_support.h"

namespace keln::velm {
namespace {

using velm_test::distinct_bone;
using velm_test::same_bone;
using velm_test::test_pose_t;

class instance_update : public ::testing::Test {
 protected:
  instance_update() : instance(velm_test::document_path("chain.qis").c_str()) {}

  // A pose driving every bone of the chain with distinct_bone(seed + bone).
  static test_pose_t pose_of_all_bones(float seed) {
    test_pose_t pose;
    for (std::uint32_t b = 0; b < 3; ++b) pose.add(b, distinct_bone(seed + static_cast<float>(b)));
    return pose;
  }

  void bind(test_pose_t& pose, float weight) { instance.binding(instance.add_pose(&pose)).weight = weight; }

  bool all_default() const {
    for (const bone_t& bone : instance.pose().bones)
      if (!same_bone(bone, bone_t())) return false;
    return true;
  }

  void expect_finite_pose() const {
    for (const bone_t& bone : instance.pose().bones) {
      for (unsigned i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(bone.position[i]));
      for (unsigned i = 0; i < 4; ++i) EXPECT_TRUE(std::isfinite(bone.rotation[i]));
      for (unsigned i = 0; i < 9; ++i) EXPECT_TRUE(std::isfinite(bone.stretch[i]));
    }
  }

  skeletal_instance_t instance;
};

TEST_F(instance_update, bindings_are_numbered_in_order_and_start_at_weight_zero) {
  test_pose_t a, b;
  EXPECT_EQ(instance.add_pose(&a), 0u);
  EXPECT_EQ(instance.add_pose(&b), 1u);
  EXPECT_EQ(instance.binding(1).pose, &b);
  EXPECT_EQ(instance.binding(1).weight, 0.0f);
  EXPECT_EQ(instance.binding_count(), 2u);
}

TEST_F(instance_update, before_any_positive_weight_every_bone_stays_default) {
  ASSERT_EQ(instance.pose().bones.size(), 3u);
  EXPECT_TRUE(all_default());
  test_pose_t pose = pose_of_all_bones(1.0f);
  bind(pose, 0.0f);
  instance.update();
  EXPECT_TRUE(all_default());
}

TEST_F(instance_update, one_binding_of_weight_one_reproduces_the_sample_with_its_stretch) {
  test_pose_t pose = pose_of_all_bones(1.0f);
  bind(pose, 1.0f);
  instance.update();
  for (std::uint32_t b = 0; b < 3; ++b) EXPECT_TRUE(same_bone(instance.pose().bones[b], pose.transforms[b])) << b;
}

TEST_F(instance_update, equal_weights_interpolate_at_one_half_whatever_their_size) {
  for (const float weight : {1.0f, 2.0f, 1e-3f}) {
    test_pose_t first = pose_of_all_bones(1.0f), second = pose_of_all_bones(5.0f);
    skeletal_instance_t fresh(velm_test::document_path("chain.qis").c_str());
    fresh.binding(fresh.add_pose(&first)).weight = weight;
    fresh.binding(fresh.add_pose(&second)).weight = weight;
    fresh.update();
    for (std::uint32_t b = 0; b < 3; ++b) {
      bone_t expected;
      interpolate(expected, first.transforms[b], second.transforms[b], 0.5f);
      EXPECT_TRUE(same_bone(fresh.pose().bones[b], expected)) << weight << " " << b;
      EXPECT_FLOAT_EQ(fresh.pose().bones[b].position[0], 0.5f * (1.0f + 5.0f) + b);
    }
  }
}

TEST_F(instance_update, side_weight_one_thousand_mixes_in_the_base_and_keeps_its_stretch) {
  test_pose_t base = pose_of_all_bones(1.0f), side = pose_of_all_bones(5.0f);
  bind(base, 1.0f);
  bind(side, 1000.0f);
  instance.update();
  const float base_share = 1.0f / 1001.0f, side_share = 1000.0f / 1001.0f;
  const float t = side_share / (base_share + side_share);
  EXPECT_NEAR(t, 1000.0f / 1001.0f, 1e-6f);
  for (std::uint32_t b = 0; b < 3; ++b) {
    const bone_t& result = instance.pose().bones[b];
    bone_t expected;
    interpolate(expected, base.transforms[b], side.transforms[b], t);
    EXPECT_TRUE(same_bone(result, expected)) << b;
    for (unsigned i = 0; i < 9; ++i) EXPECT_EQ(result.stretch[i], base.transforms[b].stretch[i]);
    EXPECT_NEAR(result.position[0], (1.0f + b) / 1001.0f + (5.0f + b) * 1000.0f / 1001.0f, 1e-5f);
  }
}

TEST_F(instance_update, a_binding_of_weight_zero_is_not_sampled) {
  test_pose_t active = pose_of_all_bones(1.0f), idle = pose_of_all_bones(5.0f);
  bind(active, 1.0f);
  bind(idle, 0.0f);
  instance.update();
  EXPECT_EQ(active.samples, 3);
  EXPECT_EQ(idle.samples, 0);
  for (std::uint32_t b = 0; b < 3; ++b) EXPECT_TRUE(same_bone(instance.pose().bones[b], active.transforms[b]));
}

TEST_F(instance_update, a_bone_driven_only_by_one_binding_takes_it_outright) {
  test_pose_t base = pose_of_all_bones(1.0f), side;
  side.add(1, distinct_bone(9.0f));
  bind(base, 1.0f);
  bind(side, 1000.0f);
  instance.update();
  EXPECT_TRUE(same_bone(instance.pose().bones[0], base.transforms[0]));
  EXPECT_TRUE(same_bone(instance.pose().bones[2], base.transforms[2]));
  bone_t expected;
  interpolate(expected, base.transforms[1], side.transforms[0], (1000.0f / 1001.0f) / (1.0f / 1001.0f + 1000.0f / 1001.0f));
  EXPECT_TRUE(same_bone(instance.pose().bones[1], expected));
}

TEST_F(instance_update, a_bone_keeps_its_last_value_when_its_weights_drop_to_zero) {
  test_pose_t pose = pose_of_all_bones(1.0f);
  bind(pose, 1.0f);
  instance.update();
  instance.binding(0).weight = 0.0f;
  pose.transforms[0] = distinct_bone(7.0f);
  instance.update();
  EXPECT_TRUE(same_bone(instance.pose().bones[0], distinct_bone(1.0f)));
  expect_finite_pose();
}

TEST_F(instance_update, channels_of_bones_outside_the_skeleton_are_skipped) {
  test_pose_t pose;
  pose.add(no_bone, distinct_bone(3.0f));
  pose.add(3, distinct_bone(4.0f));
  pose.add(2, distinct_bone(5.0f));
  bind(pose, 1.0f);
  instance.update();
  EXPECT_EQ(pose.samples, 1);
  EXPECT_TRUE(same_bone(instance.pose().bones[2], distinct_bone(5.0f)));
  EXPECT_TRUE(same_bone(instance.pose().bones[0], bone_t()));
}

TEST_F(instance_update, weights_that_cancel_or_are_not_numbers_leave_no_non_number) {
  test_pose_t plus = pose_of_all_bones(1.0f), minus = pose_of_all_bones(2.0f), odd = pose_of_all_bones(3.0f);
  bind(plus, 1.0f);
  bind(minus, -1.0f);  // bone totals 0: every share 1 / 0 or -1 / 0
  instance.update();
  EXPECT_TRUE(all_default());
  bind(odd, NAN);
  instance.update();
  EXPECT_TRUE(all_default());
  instance.binding(0).weight = 3e38f;
  instance.binding(1).weight = 3e38f;  // total overflows to infinity: shares 0
  instance.binding(2).weight = 0.0f;
  instance.update();
  expect_finite_pose();
}

TEST_F(instance_update, a_binding_without_a_pose_is_ignored) {
  test_pose_t pose = pose_of_all_bones(1.0f);
  instance.binding(instance.add_pose(nullptr)).weight = 1.0f;
  bind(pose, 1.0f);
  instance.update();
  EXPECT_TRUE(same_bone(instance.pose().bones[1], pose.transforms[1]));
}

TEST(instance_update_death, binding_index_is_checked) {
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  EXPECT_DEATH(instance.binding(0), "boundary check failed");
}

}  // namespace
}  // namespace keln::velm
