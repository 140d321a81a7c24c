// Blending weighted bindings into an instance's pose, and skinning through
// the instance, on the chain of three bones in documents/.
#include "velm/skeletal_instance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::distinct_bone;
using velm_test::same_bone;
using velm_test::test_pose_t;

class skeletal_instance : public ::testing::Test {
 protected:
  // A pose driving every bone of the chain with distinct_bone(seed + bone).
  static test_pose_t all_bones(float seed) {
    test_pose_t pose;
    for (std::uint32_t b = 0; b < 3; ++b) pose.add(b, distinct_bone(seed + static_cast<float>(b)));
    return pose;
  }

  void bind(test_pose_t& pose, float weight) { instance.binding(instance.add_pose(&pose)).weight = weight; }

  // Whether bone b of the pose is the default transform / every component a
  // number.
  bool is_default(std::uint32_t b) const { return same_bone(instance.pose().bones[b], bone_t()); }
  bool is_finite(std::uint32_t b) const {
    const bone_t& bone = instance.pose().bones[b];
    for (unsigned i = 0; i < 9; ++i)
      if (!std::isfinite(bone.stretch[i]) || !std::isfinite(bone.rotation[i % 4]) || !std::isfinite(bone.position[i % 3]))
        return false;
    return true;
  }

  velm_test::message_log_t quiet;
  skeletal_instance_t instance{velm_test::document_path("chain.qis").c_str()};
};

// Two bindings of all bones (seeds 1 and 5) blend at the second's share of
// the two weights, keeping the first's stretch.
TEST_F(skeletal_instance, two_bindings_blend_at_the_share_of_the_second) {
  const struct {
    float first, second;
  } rows[] = {{1, 1}, {2, 2}, {1e-3f, 1e-3f}, {1, 1000}, {1, 0}, {0, 1}};
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

TEST_F(skeletal_instance, bindings_are_numbered_in_order_and_start_at_weight_zero) {
  test_pose_t a, b;
  EXPECT_EQ(instance.add_pose(&a), 0u);
  EXPECT_EQ(instance.add_pose(&b), 1u);
  EXPECT_EQ(instance.binding(1).pose, &b);
  EXPECT_EQ(instance.binding(1).weight, 0.0f);
  instance.update();
  for (std::uint32_t bone = 0; bone < 3; ++bone) EXPECT_TRUE(is_default(bone));
  EXPECT_INDEX_CHECK_FAILS(instance.binding(2));
}

TEST_F(skeletal_instance, a_bone_driven_by_one_binding_only_takes_it_outright) {
  test_pose_t base = all_bones(1.0f), side;
  side.add(1, distinct_bone(9.0f));
  side.add(no_bone, distinct_bone(3.0f));  // outside the skeleton: skipped
  side.add(3, distinct_bone(4.0f));
  bind(base, 1.0f);
  bind(side, 1000.0f);
  instance.binding(instance.add_pose(nullptr)).weight = 1.0f;  // no pose: ignored
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
  for (std::uint32_t b = 0; b < 3; ++b) EXPECT_TRUE(is_finite(b));
}

void expect_positions(const skinned_mesh_t& mesh, std::uint32_t v, float x, float y, float z) {
  EXPECT_NEAR(mesh.skinned_positions[v][0], x, keln::test::tol_float) << "vertex " << v;
  EXPECT_NEAR(mesh.skinned_positions[v][1], y, keln::test::tol_float) << "vertex " << v;
  EXPECT_NEAR(mesh.skinned_positions[v][2], z, keln::test::tol_float) << "vertex " << v;
}

// The root stands at (1, 2, 3) turned by 90 degrees about z when the mesh is
// bound; vertex 0, bound at the origin, lies at (-2, 1, -3) in its space.
TEST_F(skeletal_instance, skins_through_the_inverse_bind_and_the_global_matrices) {
  std::unique_ptr<skinned_mesh_t> mesh(instance.load_skin(velm_test::document_path("two_pieces.qim").c_str()));
  std::unique_ptr<motion_t> walk(instance.load_motion(velm_test::document_path("walk.qia").c_str()));
  ASSERT_TRUE(mesh && walk);
  instance.skin(*mesh, instance.rest_pose());
  for (std::uint32_t v = 0; v < 7; ++v)
    expect_positions(*mesh, v, mesh->positions[v][0], mesh->positions[v][1], mesh->positions[v][2]);

  test_pose_t lifted;  // only the root, lifted by 10 in model space
  lifted.add(0, instance.rest_pose().bones[0]);
  lifted.transforms[0].position[2] += 10.0f;
  instance.skin(*mesh, lifted);
  for (std::uint32_t v = 0; v < 7; ++v)
    expect_positions(*mesh, v, mesh->positions[v][0], mesh->positions[v][1], mesh->positions[v][2] + 10.0f);

  // Half-way between the root's first two keys it stands at (0.5, 0, 0),
  // unturned; a whole loop later the pose is the same.
  instance.binding(instance.add_pose(walk.get())).weight = 1.0f;
  walk->advance(0.25f);
  instance.update();
  instance.skin(*mesh, instance.pose());
  expect_positions(*mesh, 0, -1.5f, 1.0f, -3.0f);
  EXPECT_NEAR(mesh->skinned_normals[0][2], 1.0f, keln::test::tol_float);
  const vec3_t before = mesh->skinned_positions[6];
  walk->advance(1.0f);
  instance.update();
  instance.skin(*mesh, instance.pose());
  expect_positions(*mesh, 6, before[0], before[1], before[2]);

  test_pose_t outside;
  outside.add(3, bone_t());
  EXPECT_INDEX_CHECK_FAILS(instance.skin(*mesh, outside));
}

}  // namespace
}  // namespace keln::velm
