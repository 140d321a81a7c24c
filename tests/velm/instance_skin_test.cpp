// Skinning through an instance: inverse bind matrices, global matrices of
// the pose, and the rest transform of bones the pose does not drive.
#include <gtest/gtest.h>

#include "kelncore/math/mat4_routines.h"
#include "test_pose.h"
#include "velm/pose_matrices.h"
#include "velm/skeletal_instance.h"
#include "velm_test_support.h"

namespace keln::velm {
namespace {

using velm_test::test_pose_t;

constexpr float tolerance = 1e-5f;

// One vertex per bone of the chain, each fully bound to its bone, at
// distinct places, with distinct normals.
skinned_mesh_t one_vertex_per_bone() {
  skinned_mesh_t mesh;
  for (std::uint32_t b = 0; b < 3; ++b) {
    const float f = static_cast<float>(b);
    mesh.positions.push_back(vec3_t{{1.0f + f, 2.0f - f, 0.5f * f}});
    mesh.normals.push_back(vec3_t{{0.0f, 0.6f, 0.8f}});
    skin_vertex_t vertex;
    vertex.influences.push_back(skin_t{b, 1.0f});
    mesh.skin_vertices.push_back(vertex);
  }
  return mesh;
}

void expect_near(const vec3_t& a, const vec3_t& b) {
  for (unsigned i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "component " << i;
}

class instance_skin : public ::testing::Test {
 protected:
  instance_skin() : instance(velm_test::document_path("chain.qis").c_str()) {}
  skeletal_instance_t instance;
};

TEST_F(instance_skin, the_rest_pose_leaves_the_mesh_where_it_was_bound) {
  skinned_mesh_t mesh = one_vertex_per_bone();
  instance.skin(mesh, instance.rest_pose());
  for (std::uint32_t v = 0; v < 3; ++v) {
    expect_near(mesh.skinned_positions[v], mesh.positions[v]);
    expect_near(mesh.skinned_normals[v], mesh.normals[v]);
  }
}

TEST_F(instance_skin, weight_one_applies_the_inverse_bind_matrix_then_the_global_matrix) {
  test_pose_t pose;
  for (std::uint32_t b = 0; b < 3; ++b) pose.add(b, velm_test::distinct_bone(1.0f + static_cast<float>(b)));
  skinned_mesh_t mesh = one_vertex_per_bone();
  instance.skin(mesh, pose);

  array_dyn_t<mat4_t> global;
  global_matrices(instance.skeleton(), pose, global);
  for (std::uint32_t b = 0; b < 3; ++b) {
    mat4_t skinning;
    mat4_mul(skinning, instance.inverse_bind()[b], global[b]);
    vec3_t expected;
    g_mat4.transform_points_proj(&expected, &mesh.positions[b], skinning, 1, sizeof(vec3_t), sizeof(vec3_t));
    expect_near(mesh.skinned_positions[b], expected);
    g_mat4.transform_dirs_proj(&expected, &mesh.normals[b], skinning, 1, sizeof(vec3_t), sizeof(vec3_t));
    expect_near(mesh.skinned_normals[b], expected);
  }
}

TEST_F(instance_skin, bones_the_pose_does_not_drive_keep_their_rest_transform) {
  // Only the root is driven, by its rest transform: nothing moves.
  test_pose_t pose;
  pose.add(0, instance.rest_pose().bones[0]);
  skinned_mesh_t mesh = one_vertex_per_bone();
  instance.skin(mesh, pose);
  for (std::uint32_t v = 0; v < 3; ++v) expect_near(mesh.skinned_positions[v], mesh.positions[v]);
}

TEST_F(instance_skin, moving_the_root_carries_every_bone_along) {
  test_pose_t pose;
  bone_t moved = instance.rest_pose().bones[0];
  moved.position[2] += 10.0f;  // the root's parent space is model space
  pose.add(0, moved);
  skinned_mesh_t mesh = one_vertex_per_bone();
  instance.skin(mesh, pose);
  for (std::uint32_t v = 0; v < 3; ++v) {
    vec3_t expected = mesh.positions[v];
    expected[2] += 10.0f;
    expect_near(mesh.skinned_positions[v], expected);
    expect_near(mesh.skinned_normals[v], mesh.normals[v]);
  }
}

TEST_F(instance_skin, skinning_twice_gives_the_same_result) {
  test_pose_t pose;
  pose.add(1, velm_test::distinct_bone(2.0f));
  skinned_mesh_t mesh = one_vertex_per_bone();
  instance.skin(mesh, pose);
  const array_dyn_t<vec3_t> first = mesh.skinned_positions;
  instance.skin(mesh, pose);
  for (std::uint32_t v = 0; v < 3; ++v)
    for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(mesh.skinned_positions[v][i], first[v][i]);
}

TEST_F(instance_skin, hierarchy_pass_composes_with_the_parent) {
  array_dyn_t<mat4_t> matrices;
  for (int b = 0; b < 3; ++b) {
    mat4_t step;
    mat4_translation(step, vec3_t{{1.0f, 0.0f, 0.0f}});
    matrices.push_back(step);
  }
  instance.concatenate_hierarchy(matrices);
  EXPECT_FLOAT_EQ(matrices[2].at(0, 3), 3.0f);
  EXPECT_FLOAT_EQ(matrices[1].at(0, 3), 2.0f);
}

TEST(instance_skin_death, a_pose_driving_a_bone_outside_the_skeleton_ends_the_process) {
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  test_pose_t pose;
  pose.add(3, bone_t());
  skinned_mesh_t mesh;
  EXPECT_DEATH(instance.skin(mesh, pose), "boundary check failed");
}

}  // namespace
}  // namespace keln::velm
