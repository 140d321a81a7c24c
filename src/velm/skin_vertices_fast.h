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

// The fastest loop that the start-up chose for this processor: the AVX2
// and FMA loop where it found both (cpu_vector_sets), else the AVX2 loop
// where it found AVX2, else the SSE loop where it found SSE (cpu_features),
// else skin_vertices. Only the FMA loop rounds differently from
// skin_vertices (skin_vertices_fma).
void skin_vertices_fast(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);

#if defined(__SSE__)
// The loops themselves; with more than SKIN_FAST_MAX_BONES matrices they run
// skin_vertices instead. skin_vertices_avx2 may run only where
// skin_avx2_available() holds, skin_vertices_fma only where
// skin_fma_available() does.
void skin_vertices_sse(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);
void skin_vertices_avx2(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);
// The contract of skin_vertices up to rounding, for speed: each vertex's
// blend formed with fused multiply-adds (the same terms in the same order),
// and the point and direction transforms with fused multiply-adds summing
// column 3 first (the division by w and s as in the routine table). For affine bones and unit-scale weights the results stay within a
// relative 1e-5 of skin_vertices'. No per-vertex batching: two vertices are
// blended and transformed side by side in registers.
void skin_vertices_fma(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);
// Whether the processor and the operating system run AVX2, and AVX2 with
// FMA (whatever the start-up chose).
bool skin_avx2_available();
bool skin_fma_available();
#endif

}  // namespace keln::velm
