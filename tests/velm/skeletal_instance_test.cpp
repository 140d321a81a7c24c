// Blending weighted bindings into an instance's pose, on the chain of three
// bones in documents/.
#include "velm/skeletal_instance.h"

#include <gtest/gtest.h>

#include <cmath>

#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::distinct_bone;
using velm_test::same_bone;
using velm_test::test_pose_t;

struct skeletal_instance : ::testing::Test {
  // A pose driving every bone of the chain with distinct_bone(seed + bone).
  static test_pose_t all_bones(float seed) {
    test_pose_t pose;
    for (std::uint32_t b = 0; b < 3; ++b) pose.add(b, distinct_bone(seed + static_cast<float>(b)));
    return pose;
  }

  void bind(test_pose_t& pose, float weight) { instance.binding(instance.add_pose(&pose)).weight = weight; }
  bool is_default(std::uint32_t b) const { return same_bone(instance.pose().bones[b], bone_t()); }

  velm_test::message_log_t quiet;
  skeletal_instance_t instance{velm_test::document_path("chain.qis").c_str()};
};

// Seeds 1 and 5 blend at the second's share, keeping the first's stretch.
TEST_F(skeletal_instance, two_bindings_blend_at_the_share_of_the_second) {
  const struct {
    float first, second;
  } rows[] = {{1, 1}, {1e-3f, 1e-3f}, {1, 1000}, {1, 0}, {0, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "weights " << row.first << ", " << row.second);
    skeletal_instance_t fresh(velm_test::document_path("chain.qis").c_str());
    test_pose_t first = all_bones(1.0f), second = all_bones(5.0f);
    fresh.binding(fresh.add_pose(&first)).weight = row.first;
    fresh.binding(fresh.add_pose(&second)).weight = row.second;
    fresh.update();
    const float t = row.second / (row.first + row.second);
    for (std::uint32_t b = 0; b < 3; ++b) {
      const bone_t& result = fresh.pose().bones[b];
      EXPECT_NEAR(result.position[0], (1.0f + b) * (1 - t) + (5.0f + b) * t, keln::test::tol_chain) << b;
      bone_t expected;
      interpolate(expected, first.transforms[b], second.transforms[b], t);
      velm_test::expect_bone_near(result, expected, keln::test::tol_float);
      const bone_t& stretch_of = row.first > 0 ? first.transforms[b] : second.transforms[b];
      for (unsigned i = 0; i < 9; ++i) EXPECT_EQ(result.stretch[i], stretch_of.stretch[i]);
    }
    EXPECT_EQ(row.first > 0 ? 3 : 0, first.samples) << "a binding of weight zero is not sampled";
  }
}

TEST_F(skeletal_instance, a_bone_driven_by_one_binding_only_takes_it_outright) {
  test_pose_t base = all_bones(1.0f), side;
  side.add(1, distinct_bone(9.0f));
  side.add(no_bone, distinct_bone(3.0f));  // outside the skeleton: skipped
  side.add(3, distinct_bone(4.0f));
  bind(base, 1.0f);
  EXPECT_EQ(instance.add_pose(&side), 1u);
  EXPECT_EQ(instance.binding(1).pose, &side);
  EXPECT_EQ(instance.binding(1).weight, 0.0f);
  instance.binding(1).weight = 1000.0f;
  instance.binding(instance.add_pose(nullptr)).weight = 1.0f;  // no pose: ignored
  EXPECT_INDEX_CHECK_FAILS(instance.binding(3));
  instance.update();
  EXPECT_TRUE(same_bone(instance.pose().bones[0], base.transforms[0]));
  EXPECT_TRUE(same_bone(instance.pose().bones[2], base.transforms[2]));
  EXPECT_EQ(side.samples, 1);
  bone_t expected;
  interpolate(expected, base.transforms[1], side.transforms[0], 1000.0f / 1001.0f);
  velm_test::expect_bone_near(instance.pose().bones[1], expected, keln::test::tol_float);
}

TEST_F(skeletal_instance, weights_that_drop_to_zero_cancel_or_are_not_numbers_keep_the_last_value) {
  test_pose_t plus = all_bones(1.0f), minus = all_bones(2.0f), odd = all_bones(3.0f);
  bind(plus, 1.0f);
  bind(minus, -1.0f);  // bone totals 0: every share 1 / 0 or -1 / 0
  instance.update();
  for (std::uint32_t b = 0; b < 3; ++b) EXPECT_TRUE(is_default(b));
  bind(odd, NAN);
  instance.update();
  for (std::uint32_t b = 0; b < 3; ++b) EXPECT_TRUE(is_default(b));
  instance.binding(1).weight = 0.0f;
  instance.binding(2).weight = 0.0f;
  instance.update();
  plus.transforms[0] = distinct_bone(7.0f);
  instance.binding(0).weight = 0.0f;
  instance.update();
  EXPECT_TRUE(same_bone(instance.pose().bones[0], distinct_bone(1.0f)));
  instance.binding(0).weight = instance.binding(1).weight = 3e38f;  // the total overflows: shares 0
  instance.update();
  for (std::uint32_t b = 0; b < 3; ++b)  // bone_t is 16 floats
    for (unsigned i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(reinterpret_cast<const float*>(&instance.pose().bones[b])[i]));
}

}  // namespace
}  // namespace keln::velm
