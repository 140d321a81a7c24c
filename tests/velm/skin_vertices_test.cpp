#include "velm/skin_vertices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "kelncore/math/mat4_routines.h"
#include "test_pose.h"

namespace keln::velm {
namespace {

// Scale by 2, then translation by (0, 0, 5).
mat4_t grow_and_lift() {
  mat4_t m(2.0f);
  m.at(3, 3) = 1.0f;
  m.at(2, 3) = 5.0f;
  return m;
}

skin_vertex_t influences(std::initializer_list<skin_t> list) {
  skin_vertex_t vertex;
  for (const skin_t& s : list) vertex.influences.push_back(s);
  return vertex;
}

// A mesh of one vertex at (1, 0, 0) with normal (0, 0, 1) per influence
// list, outputs filled with garbage so that a missing write shows.
skinned_mesh_t mesh_of(std::initializer_list<skin_vertex_t> vertices) {
  skinned_mesh_t mesh;
  for (const skin_vertex_t& v : vertices) {
    mesh.positions.push_back(vec3_t{{1.0f, 0.0f, 0.0f}});
    mesh.normals.push_back(vec3_t{{0.0f, 0.0f, 1.0f}});
    mesh.skin_vertices.push_back(v);
    mesh.skinned_positions.push_back(vec3_t{{NAN, NAN, NAN}});
    mesh.skinned_normals.push_back(vec3_t{{NAN, NAN, NAN}});
  }
  return mesh;
}

array_dyn_t<mat4_t> bone_matrices() {
  array_dyn_t<mat4_t> matrices;
  matrices.push_back(velm_test::quarter_turn_then_move(1.0f, 2.0f, 3.0f));
  matrices.push_back(grow_and_lift());
  return matrices;
}

void expect_vec(const vec3_t& v, float x, float y, float z) {
  EXPECT_FLOAT_EQ(v[0], x);
  EXPECT_FLOAT_EQ(v[1], y);
  EXPECT_FLOAT_EQ(v[2], z);
}

void expect_same(const vec3_t& a, const vec3_t& b) {
  for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(a[i], b[i]) << "component " << i;
}

TEST(skin_vertices, one_influence_of_weight_one_applies_its_matrix) {
  skinned_mesh_t mesh = mesh_of({influences({{0, 1.0f}}), influences({{1, 1.0f}})});
  skin_vertices(mesh, bone_matrices());
  expect_vec(mesh.skinned_positions[0], 1.0f, 3.0f, 3.0f);
  expect_vec(mesh.skinned_normals[0], 0.0f, 0.0f, 1.0f);
  expect_vec(mesh.skinned_positions[1], 2.0f, 0.0f, 5.0f);
  expect_vec(mesh.skinned_normals[1], 0.0f, 0.0f, 2.0f);  // stretched, not renormalised
}

TEST(skin_vertices, two_halves_on_one_bone_equal_one_whole) {
  skinned_mesh_t mesh = mesh_of({influences({{0, 1.0f}}), influences({{0, 0.5f}, {0, 0.5f}})});
  skin_vertices(mesh, bone_matrices());
  expect_same(mesh.skinned_positions[1], mesh.skinned_positions[0]);
  expect_same(mesh.skinned_normals[1], mesh.skinned_normals[0]);
}

TEST(skin_vertices, weight_two_divides_the_position_but_doubles_the_normal) {
  skinned_mesh_t mesh = mesh_of({influences({{0, 1.0f}}), influences({{0, 2.0f}})});
  skin_vertices(mesh, bone_matrices());
  expect_same(mesh.skinned_positions[1], mesh.skinned_positions[0]);
  for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(mesh.skinned_normals[1][i], 2.0f * mesh.skinned_normals[0][i]);
}

TEST(skin_vertices, vertex_without_influences_ends_at_the_origin_with_zero_normal) {
  skinned_mesh_t mesh = mesh_of({influences({})});
  skin_vertices(mesh, bone_matrices());
  expect_vec(mesh.skinned_positions[0], 0.0f, 0.0f, 0.0f);
  expect_vec(mesh.skinned_normals[0], 0.0f, 0.0f, 0.0f);
}

TEST(skin_vertices, weights_blend_matrices_and_the_position_is_divided_by_their_sum) {
  // 1 * (1, 3, 3) + 3 * (2, 0, 5) over the weight sum 4; normal (0, 0, 1 + 3 * 2).
  skinned_mesh_t mesh = mesh_of({influences({{0, 1.0f}, {1, 3.0f}})});
  skin_vertices(mesh, bone_matrices());
  expect_vec(mesh.skinned_positions[0], 7.0f / 4.0f, 3.0f / 4.0f, 18.0f / 4.0f);
  expect_vec(mesh.skinned_normals[0], 0.0f, 0.0f, 7.0f);
}

TEST(skin_vertices, weights_summing_to_zero_are_not_divided) {
  skinned_mesh_t mesh = mesh_of({influences({{0, 1.0f}, {1, -1.0f}})});
  skin_vertices(mesh, bone_matrices());
  expect_vec(mesh.skinned_positions[0], -1.0f, 3.0f, -2.0f);
}

TEST(skin_vertices, outputs_take_the_sizes_of_the_inputs) {
  skinned_mesh_t mesh = mesh_of({influences({{0, 1.0f}}), influences({{1, 1.0f}})});
  mesh.skinned_positions.clear();
  mesh.skinned_normals.resize(5);
  skin_vertices(mesh, bone_matrices());
  EXPECT_EQ(mesh.skinned_positions.size(), 2u);
  EXPECT_EQ(mesh.skinned_normals.size(), 2u);
}

// The defining computation, one vertex at a time: the blend summed from the
// zero matrix in influence order, then both transforms of the routine table.
void reference_skin(const skinned_mesh_t& mesh, const array_t<mat4_t>& matrices, std::uint32_t v, vec3_t& position,
                    vec3_t& normal) {
  mat4_t blend;
  for (const skin_t& influence : mesh.skin_vertices[v].influences)
    for (unsigned k = 0; k < 16; ++k) blend[k] += influence.weight * matrices[influence.bone][k];
  g_mat4.transform_points_proj(&position, &mesh.positions[v], blend, 1, sizeof(vec3_t), sizeof(vec3_t));
  g_mat4.transform_dirs_proj(&normal, &mesh.normals[v], blend, 1, sizeof(vec3_t), sizeof(vec3_t));
}

TEST(skin_vertices, many_vertices_match_the_reference_exactly) {
  // Enough vertices for several blocks and a partial last one, with zero to
  // four influences of random bones and weights.
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> value(-2.0f, 2.0f);
  array_dyn_t<mat4_t> matrices;
  for (int b = 0; b < 5; ++b) {
    mat4_t m(1.0f);
    for (unsigned k = 0; k < 12; ++k) m[k] = value(rng);
    matrices.push_back(m);
  }
  skinned_mesh_t mesh;
  for (std::uint32_t v = 0; v < 203; ++v) {
    mesh.positions.push_back(vec3_t{{value(rng), value(rng), value(rng)}});
    mesh.normals.push_back(vec3_t{{value(rng), value(rng), value(rng)}});
    skin_vertex_t vertex;
    for (std::uint32_t i = 0; i < v % 5; ++i) vertex.influences.push_back(skin_t{static_cast<std::uint32_t>(rng() % 5u), value(rng)});
    mesh.skin_vertices.push_back(vertex);
  }
  skin_vertices(mesh, matrices);
  for (std::uint32_t v = 0; v < 203; ++v) {
    vec3_t position, normal;
    reference_skin(mesh, matrices, v, position, normal);
    expect_same(mesh.skinned_positions[v], position);
    expect_same(mesh.skinned_normals[v], normal);
  }
}

TEST(skin_vertices_death, influence_of_a_missing_bone_ends_the_process) {
  skinned_mesh_t mesh = mesh_of({influences({{2, 1.0f}})});
  EXPECT_DEATH(skin_vertices(mesh, bone_matrices()), "boundary check failed");
}

}  // namespace
}  // namespace keln::velm
