#include "velm/skin_vertices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "velm_fixture.h"

namespace keln::velm {
namespace {

// Bone 0 turns a quarter about z, then moves by (1, 2, 3); bone 1 scales by
// 2, then lifts by 5.
array_dyn_t<mat4_t> two_bones() {
  const float rows[2][16] = {{0, -1, 0, 1, 1, 0, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1}, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 5, 0, 0, 0, 1}};
  array_dyn_t<mat4_t> m;
  m.resize(2);
  for (unsigned b = 0; b < 2; ++b)
    for (unsigned k = 0; k < 16; ++k) m[b].at(k / 4, k % 4) = rows[b][k];
  return m;
}

// One vertex at (1, 0, 0) with normal (0, 0, 1) under each influence list;
// outputs filled with garbage so that a missing write shows.
TEST(skin_vertices, weights_blend_the_matrices_and_divide_the_position_by_their_sum) {
  const struct {
    std::vector<skin_t> influences;
    vec3_t position, normal;
  } rows[] = {
      {{{0, 1.0f}}, {{1, 3, 3}}, {{0, 0, 1}}},
      {{{1, 1.0f}}, {{2, 0, 5}}, {{0, 0, 2}}},  // the normal stretched, not renormalised
      {{{0, 0.5f}, {0, 0.5f}}, {{1, 3, 3}}, {{0, 0, 1}}},
      {{{0, 2.0f}}, {{1, 3, 3}}, {{0, 0, 2}}},
      {{{0, 1.0f}, {1, 3.0f}}, {{7.0f / 4, 3.0f / 4, 18.0f / 4}}, {{0, 0, 7}}},
      {{{0, 1.0f}, {1, -1.0f}}, {{-1, 3, -2}}, {{0, 0, -1}}},  // a zero sum is not divided by
      {{}, {{0, 0, 0}}, {{0, 0, 0}}},
  };
  skinned_mesh_t mesh;
  for (const auto& row : rows) {
    mesh.positions.push_back(vec3_t{{1, 0, 0}});
    mesh.normals.push_back(vec3_t{{0, 0, 1}});
    skin_vertex_t* vertex = mesh.skin_vertices.push_back(skin_vertex_t{});
    for (const skin_t& s : row.influences) vertex->influences.push_back(s);
  }
  for (std::uint32_t v = 0; v < 9; ++v) mesh.skinned_normals.push_back(vec3_t{{NAN, NAN, NAN}});
  mesh.skinned_positions.push_back(vec3_t{{NAN, NAN, NAN}});
  skin_vertices(mesh, two_bones());
  ASSERT_EQ(mesh.skinned_positions.size(), std::size(rows));
  ASSERT_EQ(mesh.skinned_normals.size(), std::size(rows));
  for (std::uint32_t v = 0; v < std::size(rows); ++v)
    for (unsigned i = 0; i < 3; ++i) {
      EXPECT_NEAR(mesh.skinned_positions[v][i], rows[v].position[i], keln::test::tol_float) << "vertex " << v;
      EXPECT_NEAR(mesh.skinned_normals[v][i], rows[v].normal[i], keln::test::tol_float) << "vertex " << v;
    }
  mesh.skin_vertices[0].influences[0].bone = 2;
  EXPECT_INDEX_CHECK_FAILS(skin_vertices(mesh, two_bones()));
}

}  // namespace
}  // namespace keln::velm
