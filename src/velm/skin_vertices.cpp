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
  // Vertices go in blocks: all blends of a block first, then all transforms.
  // A vertex's work is one long chain of dependent operations (blend, then
  // the transforms reading the blend); separating the two phases lets the
  // processor overlap the chains of many vertices, and the transforms read
  // blends written well before instead of just now. 64 blends take 4 KiB.
  constexpr std::uint32_t block = 64;
  mat4_t blends[block];
  for (std::uint32_t first = 0; first < count; first += block) {
    const std::uint32_t n = count - first < block ? count - first : block;
    for (std::uint32_t i = 0; i < n; ++i) blend_influences(blends[i], mesh.skin_vertices[first + i], skin_matrices);
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t v = first + i;
      transform_point(&mesh.skinned_positions[v], &mesh.positions[v], blends[i], 1, sizeof(vec3_t), sizeof(vec3_t));
      transform_dir(&mesh.skinned_normals[v], &mesh.normals[v], blends[i], 1, sizeof(vec3_t), sizeof(vec3_t));
    }
  }
}

}  // namespace keln::velm
