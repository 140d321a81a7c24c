#pragma once
// Shared parts of the SIMD skinning loops (skin_vertices_fast.h): the
// prepared input of one call and the batching of its vertices. Internal to
// the loops.

#include <cstdint>

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

}  // namespace keln::velm
