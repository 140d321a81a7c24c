#include "velm/skin_vertices.h"

#include <cstring>

#include "kelncore/math/mat4_portable.h"
#include "kelncore/math/mat4_routines.h"

namespace keln::velm {

namespace {

// Four float lanes (a GCC and Clang vector type): each lane is rounded like
// a scalar float, so sums formed lane-wise equal the scalar ones bit for bit.
typedef float float4_t __attribute__((vector_size(16)));

inline float4_t load4(const float* p) {
  float4_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The weighted sum of one vertex's skinning matrices, accumulated row by row
// in four lanes (each component the same sum as one scalar accumulation),
// and stored as its four columns.
inline void blend_influences(float4_t columns[4], const skin_vertex_t& vertex,
                             const array_t<mat4_t>& skin_matrices) {
  float4_t r0 = {}, r1 = {}, r2 = {}, r3 = {};
  for (const skin_t& influence : vertex.influences) {
    // weight * m component by component: the product of m with the scalar
    // matrix weight * I without its zero terms, which gives the same numbers.
    const float* m = skin_matrices[influence.bone].m;
    const float weight = influence.weight;
    r0 += weight * load4(m);
    r1 += weight * load4(m + 4);
    r2 += weight * load4(m + 8);
    r3 += weight * load4(m + 12);
  }
  for (unsigned c = 0; c < 4; ++c) columns[c] = float4_t{r0[c], r1[c], r2[c], r3[c]};
}

// The portable transform_points_proj (w = 1) and transform_dirs_proj (w = 0)
// of v by the matrix of columns c, bit for bit: lane r of
// c0 x + c1 y + c2 z + c3 w is row r applied to (x, y, z, w) with the same
// products summed in the same order, and the division is the same reciprocal
// of row 3's value (unless 0) times each component.
inline void transform_columns(vec3_t& out, const float4_t c[4], const vec3_t& v, float w) {
  float4_t q = c[0] * v[0] + c[1] * v[1] + c[2] * v[2] + c[3] * w;
  const float d = q[3];
  if (d != 0.0f) q *= 1.0f / d;
  out = vec3_t{{q[0], q[1], q[2]}};
}

// The vertices of mesh in blocks: all blends of a block first, then all
// transforms, transform(v, columns) writing vertex v's position and normal.
// A vertex's work is one long chain of dependent operations (blend, then the
// transforms reading the blend); separating the two phases lets the
// processor overlap the chains of many vertices, and the transforms read
// blends written well before instead of just now. 64 blends take 4 KiB.
template <typename Transform>
void skin_blocks(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices, Transform transform) {
  const std::uint32_t count = mesh.positions.size();
  constexpr std::uint32_t block = 64;
  float4_t blends[block][4];
  for (std::uint32_t first = 0; first < count; first += block) {
    const std::uint32_t n = count - first < block ? count - first : block;
    for (std::uint32_t i = 0; i < n; ++i) blend_influences(blends[i], mesh.skin_vertices[first + i], skin_matrices);
    for (std::uint32_t i = 0; i < n; ++i) transform(first + i, blends[i]);
  }
}

}  // namespace

void skin_vertices(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
  const std::uint32_t count = mesh.positions.size();
  mesh.skinned_positions.resize(count);
  mesh.skinned_normals.resize(mesh.normals.size());
  const mat4_transform_fn transform_point = g_mat4.transform_points_proj;
  const mat4_transform_fn transform_dir = g_mat4.transform_dirs_proj;
  if (transform_point == &portable::transform_points_proj && transform_dir == &portable::transform_dirs_proj) {
    // The table holds the portable routines: their arithmetic inline, the
    // same numbers without two calls per vertex. The arrays are checked once
    // at their last element, then read without a check per vertex.
    if (count != 0) (void)mesh.normals[count - 1], (void)mesh.skin_vertices[count - 1];
    const vec3_t* positions = mesh.positions.data();
    const vec3_t* normals = mesh.normals.data();
    vec3_t* out_positions = mesh.skinned_positions.data();
    vec3_t* out_normals = mesh.skinned_normals.data();
    skin_blocks(mesh, skin_matrices, [&](std::uint32_t v, const float4_t columns[4]) {
      transform_columns(out_positions[v], columns, positions[v], 1.0f);
      transform_columns(out_normals[v], columns, normals[v], 0.0f);
    });
    return;
  }
  skin_blocks(mesh, skin_matrices, [&](std::uint32_t v, const float4_t columns[4]) {
    mat4_t blend;
    for (unsigned r = 0; r < 4; ++r)
      for (unsigned c = 0; c < 4; ++c) blend.m[4 * r + c] = columns[c][r];
    transform_point(&mesh.skinned_positions[v], &mesh.positions[v], blend, 1, sizeof(vec3_t), sizeof(vec3_t));
    transform_dir(&mesh.skinned_normals[v], &mesh.normals[v], blend, 1, sizeof(vec3_t), sizeof(vec3_t));
  });
}

}  // namespace keln::velm
