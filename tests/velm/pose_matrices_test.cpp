#include "velm/pose_matrices.h"

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

void expect_origin(const mat4_t& m, float x, float y, float z) {
  EXPECT_NEAR(m.at(0, 3), x, keln::test::tol_float);
  EXPECT_NEAR(m.at(1, 3), y, keln::test::tol_float);
  EXPECT_NEAR(m.at(2, 3), z, keln::test::tol_float);
}

TEST(pose_matrices, undriven_bones_stay_and_the_later_channel_wins) {
  velm_test::test_pose_t pose;
  pose.add(2, key(1));
  pose.add(2, key(2));
  array_dyn_t<mat4_t> matrices;
  matrices.resize(3);
  matrices[0] = mat4_t(7.0f);
  pose_to_matrices(matrices, pose);
  for (unsigned i = 0; i < 16; ++i) EXPECT_EQ(matrices[0][i] + matrices[1][i], i % 5 == 0 ? 7.0f : 0.0f);
  expect_origin(matrices[2], 2, 0, 0);
  pose.bones[0] = no_bone;
  EXPECT_INDEX_CHECK_FAILS(pose_to_matrices(matrices, pose));
}

// A turned root carries its children; the inverse bind matrices undo the
// global ones; a bone that is its own parent composes its matrix twice.
TEST(pose_matrices, a_chain_composes_child_first_under_its_parents) {
  const quat_t quarter = quat_from_axis_angle(vec3_t{{0, 0, 1}}, 1.5707964f);
  const dynamic_pose_t rest = pose_of({key(0, 0, 0, quarter), key(1, 0, 0, quarter, 1.5f), key(1)});
  array_dyn_t<mat4_t> m, inverse;
  global_matrices(chain(3), rest, m);
  expect_origin(m[2], -1.5f, 1, 0);
  inverse_bind_matrices(chain(3), rest, inverse);
  for (std::uint32_t b = 0; b < 3; ++b) {
    mat4_t product;
    mat4_mul(product, inverse[b], m[b]);
    for (unsigned i = 0; i < 16; ++i) EXPECT_NEAR(product[i], i % 5 == 0 ? 1.0f : 0.0f, keln::test::tol_chain);
  }
  array_dyn_t<bone_node_t> own = chain(1);
  own[0].parent = 0;
  global_matrices(chain(1), pose_of({key(1, 2, 3)}), m);
  concatenate_hierarchy(own, m);
  expect_origin(m[0], 2, 4, 6);
  own[0].parent = 5;
  EXPECT_INDEX_CHECK_FAILS(concatenate_hierarchy(own, m));
}

}  // namespace
}  // namespace keln::velm
