#pragma once
// The portable (plain scalar) implementations of every slot of the matrix
// routine table (mat4_routines.h documents each result). They are also the
// reference that processor-specific versions are tested against. Products
// form each element as the sum of four products in the order k = 0..3,
// rounded to float.

#include "kelncore/math/mat4_routines.h"

namespace keln::portable {

void mat4_identity(mat4_t& out);
void mat4_translation(mat4_t& out, const vec3_t& v);
void mat4_translation_neg(mat4_t& out, const vec3_t& v);
void mat4_scale(mat4_t& out, const vec3_t& v);
void mat4_scale_uniform(mat4_t& out, float s);
void mat4_rotation_euler(mat4_t& out, const vec3_t& degrees);
void mat4_rotation_euler_inv(mat4_t& out, const vec3_t& degrees);
void mat4_from_quat(mat4_t& out, const vec4_t& q);
void mat4_reflection(mat4_t& out, const vec4_t& plane);

void transform_points_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                           std::size_t in_stride);
void transform_points(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                      std::size_t in_stride);
void transform_points_depth(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                            std::size_t in_stride);
void transform_dirs_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                         std::size_t in_stride);
void transform_dirs(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                    std::size_t in_stride);
void transform_vec4(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                    std::size_t in_stride);

void mat4_mul(mat4_t& out, const mat4_t& a, const mat4_t& b);
void mat4_mul_alias_a(mat4_t& out, const mat4_t& a, const mat4_t& b);
void mat4_mul_alias_b(mat4_t& out, const mat4_t& a, const mat4_t& b);
void mat4_transpose_inplace(mat4_t& m);
void mat4_transpose(mat4_t& out, const mat4_t& m);
bool mat4_inverse(mat4_t& out, const mat4_t& m);

}  // namespace keln::portable
