#pragma once
// The skinning loop for the processor: skin_vertices (skin_vertices.h)
// rewritten for SIMD registers, with the same contract and the same results,
// bit for bit, for finite matrices and vectors.
//
// Each blended component is the same sum of weighted matrix components in
// influence order, and the point and direction transforms are those of the
// routine table (same products in the same order, a true division by w or s,
// skipped when it is 0). What differs is only the speed: the skinning
// matrices are transposed once per call into columns on the stack, the
// blends of a batch of vertices run first and their transforms after (so
// that many vertices are in flight at once), and nothing goes through the
// routine table per vertex.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_base_impl.h"
#include "kelncore/math/mat_sq.h"
#include "velm/skinned_mesh.h"

namespace keln::velm {

// Most skinning matrices the SIMD loops take (their columns live on the
// stack); with more bones skin_vertices_fast runs skin_vertices.
constexpr std::uint32_t SKIN_FAST_MAX_BONES = 256;

// The fastest loop this processor runs: the AVX2 loop where the processor
// and the operating system run AVX2 and the start-up found SSE
// (cpu_features), else the SSE loop where the start-up found SSE, else
// skin_vertices.
void skin_vertices_fast(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);

#if defined(__SSE__)
// The loops themselves; with more than SKIN_FAST_MAX_BONES matrices they run
// skin_vertices instead. skin_vertices_avx2 may run only where
// skin_avx2_available() holds.
void skin_vertices_sse(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);
void skin_vertices_avx2(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);
// Whether the processor and the operating system run AVX2.
bool skin_avx2_available();
#endif

}  // namespace keln::velm
