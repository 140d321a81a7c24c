#pragma once
// The SSE version of the per-vertex part of CPU skinning.

#include "kelncore/collections/arrays/arrays_base_impl.h"
#include "kelncore/math/mat_sq.h"
#include "velm/skinned_mesh.h"

namespace keln::velm {

#if defined(__SSE__)
// skin_vertices (skin_vertices.h) with the same contract and bit-identical
// results for finite inputs: every blended component is the same sum of
// weighted matrix components in influence order, and the point and direction
// transforms are those of the SSE routine table (same products, same order,
// a true division by w or s, skipped when it is 0). It differs only in speed:
// the blend runs on whole columns of the skinning matrices in 16-byte
// registers and nothing goes through the routine table per vertex.
//
// Up to SKIN_SSE_STACK_BONES matrices are transposed once per call into a
// buffer on the stack; with more bones the blend of every vertex is
// transposed instead (slower, same results). Allocates nothing beyond what
// resizing the output arrays needs.
void skin_vertices_sse(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices);

constexpr unsigned SKIN_SSE_STACK_BONES = 256;
#endif

}  // namespace keln::velm
