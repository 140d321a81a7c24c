#include "velm/pose_matrices.h"

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat4_routines.h"
#include "velm/dynamic_pose.h"
#include "motion_test_support.h"

namespace keln::velm {
namespace {

using keln::test::expect_mat4_near;
using keln::test::tol_chain;
using keln::test::tol_float;

array_dyn_t<bone_node_t> chain(std::uint32_t count) {
  array_dyn_t<bone_node_t> skeleton;
  for (std::uint32_t i = 0; i < count; ++i) {
    bone_node_t node;
    node.parent = i == 0 ? no_bone : i - 1;
    skeleton.push_back(node);
  }
  return skeleton;
}

dynamic_pose_t pose_of(std::initializer_list<bone_t> bones) {
  dynamic_pose_t pose;
  for (const bone_t& b : bones) pose.bones.push_back(b);
  return pose;
}

mat4_t translation(float x, float y, float z) {
  mat4_t m;
  mat4_translation(m, vec3_t{{x, y, z}});
  return m;
}

// A pose with explicit channel-to-bone mapping.
class mapped_pose_t : public pose_t {
 public:
  const bone_t* transform(std::uint32_t i) const override { return &bones[i]; }
  std::uint32_t channel_count() const override { return bones.size(); }
  std::uint32_t bone_index(std::uint32_t i) const override { return targets[i]; }
  array_dyn_t<bone_t> bones;
  array_dyn_t<std::uint32_t> targets;
};

TEST(dynamic_pose, channel_i_drives_bone_i) {
  const dynamic_pose_t pose = pose_of({test::key(1, 0, 0), test::key(2, 0, 0)});
  EXPECT_EQ(pose.channel_count(), 2u);
  EXPECT_EQ(pose.bone_index(1), 1u);
  EXPECT_EQ(pose.transform(1)->position[0], 2.0f);
}

TEST(pose, advance_moves_the_time_both_ways_without_limit) {
  dynamic_pose_t pose;
  EXPECT_EQ(pose.time, 0.0f);
  pose.advance(2.5f);
  pose.advance(-4.0f);
  EXPECT_EQ(pose.time, -1.5f);
}

TEST(pose_to_matrices, leaves_undriven_bones_and_lets_the_later_channel_win) {
  mapped_pose_t pose;
  pose.bones.push_back(test::key(1, 0, 0));
  pose.bones.push_back(test::key(2, 0, 0));
  pose.targets.push_back(2);
  pose.targets.push_back(2);
  array_dyn_t<mat4_t> matrices;
  matrices.resize(3);
  matrices[0] = mat4_t(7.0f);
  pose_to_matrices(matrices, pose);
  expect_mat4_near(matrices[0], mat4_t(7.0f), 0.0f);
  expect_mat4_near(matrices[1], mat4_t(0.0f), 0.0f);
  expect_mat4_near(matrices[2], translation(2, 0, 0), 0.0f);
}

TEST(pose_to_matrices, checks_the_bone_index) {
  mapped_pose_t pose;
  pose.bones.push_back(bone_t());
  pose.targets.push_back(no_bone);
  array_dyn_t<mat4_t> matrices;
  matrices.resize(2);
  EXPECT_INDEX_CHECK_FAILS(pose_to_matrices(matrices, pose));
}

TEST(concatenate_hierarchy, keeps_a_single_root_as_it_is) {
  const array_dyn_t<bone_node_t> skeleton = chain(1);
  array_dyn_t<mat4_t> m;
  global_matrices(skeleton, pose_of({test::key(1, 2, 3, quat_from_angles(vec3_t{{10, 20, 30}}), 2.0f)}), m);
  mat4_t local;
  test::key(1, 2, 3, quat_from_angles(vec3_t{{10, 20, 30}}), 2.0f).to_matrix(local);
  expect_mat4_near(m[0], local, 0.0f);
}

TEST(concatenate_hierarchy, composes_a_chain_child_first) {
  const array_dyn_t<bone_node_t> skeleton = chain(3);
  array_dyn_t<mat4_t> m;
  global_matrices(skeleton, pose_of({test::key(1, 0, 0), test::key(1, 0, 0), test::key(1, 0, 0)}), m);
  expect_mat4_near(m[2], translation(3, 0, 0), 0.0f);
  // A turned parent carries its child's offset round with it.
  const quat_t quarter = quat_from_axis_angle(vec3_t{{0, 0, 1}}, 1.5707964f);
  global_matrices(skeleton, pose_of({test::key(0, 0, 0, quarter), test::key(1, 0, 0), test::key(1, 0, 0)}), m);
  const vec3_t origin{};
  vec3_t p;
  g_mat4.transform_points(&p, &origin, m[2], 1, sizeof(vec3_t), sizeof(vec3_t));
  keln::test::expect_vec3_near(p, vec3_t{{0, 2, 0}}, tol_float);
}

TEST(concatenate_hierarchy, a_bone_that_is_its_own_parent_composes_its_local_matrix_twice) {
  array_dyn_t<bone_node_t> skeleton = chain(1);
  skeleton[0].parent = 0;
  array_dyn_t<mat4_t> m;
  m.push_back(translation(1, 2, 3));
  concatenate_hierarchy(skeleton, m);
  expect_mat4_near(m[0], translation(2, 4, 6), 0.0f);
}

TEST(concatenate_hierarchy, checks_parents_against_the_matrices) {
  array_dyn_t<bone_node_t> skeleton = chain(2);
  skeleton[1].parent = 5;
  array_dyn_t<mat4_t> m;
  m.resize(2);
  EXPECT_INDEX_CHECK_FAILS(concatenate_hierarchy(skeleton, m));
}

TEST(inverse_bind_matrices, undo_the_global_rest_matrices) {
  const array_dyn_t<bone_node_t> skeleton = chain(3);
  const dynamic_pose_t rest = pose_of({test::key(1, 2, 3, quat_from_angles(vec3_t{{30, 0, 0}})),
                                       test::key(0, 4, 0, quat_from_angles(vec3_t{{0, 45, 0}}), 1.5f),
                                       test::key(2, 0, 0)});
  array_dyn_t<mat4_t> inverse, global;
  inverse_bind_matrices(skeleton, rest, inverse);
  global_matrices(skeleton, rest, global);
  ASSERT_EQ(inverse.size(), 3u);
  for (std::uint32_t i = 0; i < 3; ++i) {
    mat4_t product;
    mat4_mul(product, inverse[i], global[i]);
    expect_mat4_near(product, mat4_t(1.0f), tol_chain);
  }
}

}  // namespace
}  // namespace keln::velm
