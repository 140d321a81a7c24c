#pragma once
// Shared parts of the SIMD skinning loops (skin_vertices_fast.h): the
// prepared input of one call and the batching of its vertices. Internal to
// the loops.

#include <cstdint>

#include "velm/skin_vertices.h"
#include "velm/skin_vertices_fast.h"

namespace keln::velm {

// Vertices blended before any of them is transformed.
constexpr std::uint32_t SKIN_BATCH = 16;

// One skinning call, checked and prepared: the output arrays sized, the
// skinning matrices transposed into columns (16 floats per bone, 32-byte
// aligned: column c of bone b at columns[16 b + 4 c]).
struct skin_job_t {
  // Resizes the outputs and checks, as skin_vertices does, that normals and
  // skin vertices cover every position (the array check ends the process
  // otherwise). skin_matrices holds at most SKIN_FAST_MAX_BONES matrices.
  skin_job_t(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);

  // The columns of the skinning matrix of bone, after the array check of
  // its index.
  const float* bone_columns(std::uint32_t bone) const {
    (void)matrices[bone];
    return columns + 16 * bone;
  }

  const array_t<mat4_t>& matrices;
  std::uint32_t count;
  const float* positions;
  const float* normals;
  float* out_positions;
  float* out_normals;
  const skin_vertex_t* vertices;
  alignas(32) float columns[SKIN_FAST_MAX_BONES * 16];
};

// Per-vertex blend of a loop: the blend of vertex v into blend[0..15]
// (32-byte aligned, the columns of the blended matrix).
using skin_blend_fn = void (*)(const skin_job_t& job, std::uint32_t v, float* blend);
// Per-batch transform of a loop: the vertices first..end - 1 from their
// blends (16 floats each, from blends[0]).
using skin_transform_fn = void (*)(const skin_job_t& job, std::uint32_t first, std::uint32_t end, const float* blends);

// The body of every SIMD loop: skin_vertices beyond SKIN_FAST_MAX_BONES
// matrices, else the job prepared and its vertices in batches of SKIN_BATCH,
// all blended before any is transformed. The loops call it from a function
// compiled for their instruction set and inline it whole (flatten), so that
// blend and transform run inline.
template <skin_blend_fn blend, skin_transform_fn transform>
inline void skin_in_batches(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
  if (skin_matrices.size() > SKIN_FAST_MAX_BONES) {
    skin_vertices(mesh, skin_matrices);
    return;
  }
  const skin_job_t job(mesh, skin_matrices);
  alignas(32) float blends[SKIN_BATCH * 16];
  for (std::uint32_t first = 0; first < job.count; first += SKIN_BATCH) {
    const std::uint32_t end = job.count - first < SKIN_BATCH ? job.count : first + SKIN_BATCH;
    for (std::uint32_t v = first; v < end; ++v) blend(job, v, blends + 16 * (v - first));
    transform(job, first, end, blends);
  }
}

}  // namespace keln::velm
