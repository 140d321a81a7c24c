#include "velm/pose_matrices.h"

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat4_routines.h"
#include "velm/dynamic_pose.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::key;

array_dyn_t<bone_node_t> chain(std::uint32_t count) {
  array_dyn_t<bone_node_t> skeleton;
  for (std::uint32_t i = 0; i < count; ++i) skeleton.push_back(bone_node_t{0, i == 0 ? no_bone : i - 1});
  return skeleton;
}

dynamic_pose_t pose_of(std::initializer_list<bone_t> bones) {
  dynamic_pose_t pose;
  for (const bone_t& b : bones) pose.bones.push_back(b);
  return pose;
}

vec3_t origin_of(const mat4_t& m) {
  const vec3_t origin{};
  vec3_t p;
  g_mat4.transform_points(&p, &origin, m, 1, sizeof(vec3_t), sizeof(vec3_t));
  return p;
}

void expect_origin(const mat4_t& m, float x, float y, float z) {
  const vec3_t p = origin_of(m);
  EXPECT_NEAR(p[0], x, keln::test::tol_float);
  EXPECT_NEAR(p[1], y, keln::test::tol_float);
  EXPECT_NEAR(p[2], z, keln::test::tol_float);
}

TEST(pose_matrices, undriven_bones_stay_and_the_later_channel_wins) {
  velm_test::test_pose_t pose;
  pose.add(2, key(1));
  pose.add(2, key(2));
  array_dyn_t<mat4_t> matrices;
  matrices.resize(3);
  matrices[0] = mat4_t(7.0f);
  pose_to_matrices(matrices, pose);
  for (unsigned i = 0; i < 16; ++i) {
    EXPECT_EQ(matrices[0][i], i % 5 == 0 ? 7.0f : 0.0f);
    EXPECT_EQ(matrices[1][i], 0.0f);
  }
  expect_origin(matrices[2], 2, 0, 0);
}

TEST(pose_matrices, a_chain_composes_child_first_and_a_turned_parent_carries_its_children) {
  array_dyn_t<mat4_t> m;
  global_matrices(chain(3), pose_of({key(1), key(1), key(1)}), m);
  expect_origin(m[2], 3, 0, 0);
  const quat_t quarter = quat_from_axis_angle(vec3_t{{0, 0, 1}}, 1.5707964f);
  global_matrices(chain(3), pose_of({key(0, 0, 0, quarter), key(1), key(1)}), m);
  expect_origin(m[2], 0, 2, 0);
  // A bone that is its own parent composes its local matrix twice.
  array_dyn_t<bone_node_t> own = chain(1);
  own[0].parent = 0;
  global_matrices(chain(1), pose_of({key(1, 2, 3)}), m);
  concatenate_hierarchy(own, m);
  expect_origin(m[0], 2, 4, 6);
}

TEST(pose_matrices, inverse_bind_matrices_undo_the_global_rest_matrices) {
  const dynamic_pose_t rest = pose_of({key(1, 2, 3, quat_from_angles(vec3_t{{30, 0, 0}})),
                                       key(0, 4, 0, quat_from_angles(vec3_t{{0, 45, 0}}), 1.5f), key(2)});
  array_dyn_t<mat4_t> inverse, global;
  inverse_bind_matrices(chain(3), rest, inverse);
  global_matrices(chain(3), rest, global);
  ASSERT_EQ(inverse.size(), 3u);
  for (std::uint32_t b = 0; b < 3; ++b) {
    mat4_t product;
    mat4_mul(product, inverse[b], global[b]);
    for (unsigned i = 0; i < 16; ++i) EXPECT_NEAR(product[i], i % 5 == 0 ? 1.0f : 0.0f, keln::test::tol_chain);
  }
}

TEST(pose_matrices, bone_and_parent_indices_are_checked) {
  velm_test::test_pose_t pose;
  pose.add(no_bone, bone_t());
  array_dyn_t<mat4_t> matrices;
  matrices.resize(2);
  EXPECT_INDEX_CHECK_FAILS(pose_to_matrices(matrices, pose));
  array_dyn_t<bone_node_t> skeleton = chain(2);
  skeleton[1].parent = 5;
  EXPECT_INDEX_CHECK_FAILS(concatenate_hierarchy(skeleton, matrices));
}

}  // namespace
}  // namespace keln::velm
