#pragma once
// SSE versions of the matrix routine table slots (mat4_routines.h documents
// each result): the constructors, transposes, products and transforms that
// run most often (transform_dirs_proj is the one skinning uses for normals). They give bit-identical results to the
// portable routines: the same products and sums in the same order, rounded to float at the same points, the same
// division (never a reciprocal estimate), and the divisions of the projecting transforms skipped when w (or s) is 0.
// Matrices and vectors need no particular alignment; the transforms read and write exactly 12 bytes per vec3_t, so they
// never touch memory beyond an element.

#include <cstdint>

#include "kelncore/math/mat4_routines.h"

namespace keln {

#if defined(__SSE__)
namespace sse {

void mat4_identity(mat4_t& out);
void mat4_translation(mat4_t& out, const vec3_t& v);
void mat4_scale(mat4_t& out, const vec3_t& v);
void mat4_transpose_inplace(mat4_t& m);
void mat4_transpose(mat4_t& out, const mat4_t& m);

// a then b. Both matrices are read whole before out is written, so this one
// routine fills all three product slots: out may be a or b.
void mat4_mul(mat4_t& out, const mat4_t& a, const mat4_t& b);

void transform_points_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                           std::size_t in_stride);
void transform_points(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                      std::size_t in_stride);
void transform_dirs_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                         std::size_t in_stride);
void transform_dirs(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                    std::size_t in_stride);

}  // namespace sse
#endif

// Puts the SSE versions into their slots of g_mat4 when features (CPU_FEAT_*
// bits) holds both the floating-point unit and SSE; otherwise, and in builds
// without SSE code generation, the table is left as it is.
void mat4_install_for_features(std::uint32_t features);

}  // namespace keln
