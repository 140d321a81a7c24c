#include "velm/skin_vertices.h"

#include "kelncore/math/mat4_routines.h"

namespace keln::velm {

namespace {

// The weighted sum of one vertex's skinning matrices. It is accumulated in a
// local array that never escapes, so that the compiler keeps it in registers
// over the influence loop, and copied into a matrix once at the end.
inline void blend_influences(mat4_t& blend, const skin_vertex_t& vertex, const array_t<mat4_t>& skin_matrices) {
  float sum[16] = {};
  for (const skin_t& influence : vertex.influences) {
    // weight * m component by component: the product of m with the scalar
    // matrix weight * I without its zero terms, which gives the same numbers.
    const float* m = skin_matrices[influence.bone].m;
    const float weight = influence.weight;
#pragma GCC unroll 16
    for (unsigned k = 0; k < 16; ++k) sum[k] += weight * m[k];
  }
  for (unsigned k = 0; k < 16; ++k) blend.m[k] = sum[k];
}

}  // namespace

void skin_vertices(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
  const std::uint32_t count = mesh.positions.size();
  mesh.skinned_positions.resize(count);
  mesh.skinned_normals.resize(mesh.normals.size());
  const mat4_transform_fn transform_point = g_mat4.transform_points_proj;
  const mat4_transform_fn transform_dir = g_mat4.transform_dirs_proj;
  for (std::uint32_t v = 0; v < count; ++v) {
    mat4_t blend;
    blend_influences(blend, mesh.skin_vertices[v], skin_matrices);
    transform_point(&mesh.skinned_positions[v], &mesh.positions[v], blend, 1, sizeof(vec3_t), sizeof(vec3_t));
    transform_dir(&mesh.skinned_normals[v], &mesh.normals[v], blend, 1, sizeof(vec3_t), sizeof(vec3_t));
  }
}

}  // namespace keln::velm
