#pragma once
// The process-wide table of 4 x 4 matrix routines.
//
// Every slot holds a function pointer; `g_mat4` starts out (constant
// initialisation, before any code runs) with the portable routines of
// mat4_portable.h, and `core_startup` first calls `mat4_install_portable()`
// and then lets processor identification overwrite single slots with faster
// versions. After start-up the table is never changed. Every version of a
// slot must give the results documented here (up to rounding), including
// the special cases (skipped divisions by zero).
//
// Conventions (see mat_sq.h): row-major storage, column vectors. "a then b"
// is the product that applies a first and b second, b · a in matrix
// notation. Angles are in degrees. Strides are in bytes, so the transform
// routines can walk interleaved vertex arrays; in may equal out when both
// use the same stride.
//
// Callers use the inline functions below (`mat4_mul(out, a, b)` and so on),
// which call through the table.

#include <cstddef>

#include "kelncore/math/mat_sq.h"
#include "kelncore/math/vec.h"

namespace keln {

using mat4_transform_fn = void (*)(void* out, const void* in, const mat4_t& m, std::size_t count,
                                   std::size_t out_stride, std::size_t in_stride);
using mat4_mul_fn = void (*)(mat4_t& out, const mat4_t& a, const mat4_t& b);

struct mat4_routines_t {
  void (*mat4_identity)(mat4_t& out);
  // Identity with v (or -v) in components 3, 7, 11.
  void (*mat4_translation)(mat4_t& out, const vec3_t& v);
  void (*mat4_translation_neg)(mat4_t& out, const vec3_t& v);
  // Diagonal (v.x, v.y, v.z, 1) and (s, s, s, 1).
  void (*mat4_scale)(mat4_t& out, const vec3_t& v);
  void (*mat4_scale_uniform)(mat4_t& out, float s);
  // Rotation of quat_from_angles(degrees) (quat.h) and its transpose.
  void (*mat4_rotation_euler)(mat4_t& out, const vec3_t& degrees);
  void (*mat4_rotation_euler_inv)(mat4_t& out, const vec3_t& degrees);
  // Rotation matrix of the unit quaternion q (w, x, y, z).
  void (*mat4_from_quat)(mat4_t& out, const vec4_t& q);
  // Reflection in the plane (nx, ny, nz, d) with unit normal n:
  // upper 3 x 3 = I - 2 n nᵀ, translation -2 d n.
  void (*mat4_reflection)(mat4_t& out, const vec4_t& plane);

  // vec3_t points p: q = M (p, 1); x, y, z divided by q.w unless q.w is 0.
  mat4_transform_fn transform_points_proj;
  // vec3_t points: rows 0-2 of M applied to (p, 1).
  mat4_transform_fn transform_points;
  // vec3_t points to one float each: row 2 of M applied to (p, 1).
  mat4_transform_fn transform_points_depth;
  // vec3_t directions d: upper 3 x 3 times d, divided by s = (row 3, first
  // three components) · d unless s is 0.
  mat4_transform_fn transform_dirs_proj;
  // vec3_t directions: upper 3 x 3 times d.
  mat4_transform_fn transform_dirs;
  // vec4_t values v: M v. Two slots hold the same routine (one for general
  // vectors, one for planes and homogeneous points).
  mat4_transform_fn transform_vec4;
  mat4_transform_fn transform_vec4_homogeneous;

  // a then b. out must be neither a nor b.
  mat4_mul_fn mat4_mul;
  // a then b, computed column by column: out may be a (not b).
  mat4_mul_fn mat4_mul_alias_a;
  // a then b, computed row by row: out may be b (not a).
  mat4_mul_fn mat4_mul_alias_b;

  void (*mat4_transpose_inplace)(mat4_t& m);
  // out must not be m.
  void (*mat4_transpose)(mat4_t& out, const mat4_t& m);
  // Adjugate divided by the determinant (determinant = first column of the
  // adjugate dotted with row 0 of m). When the determinant is exactly 0 it
  // returns false and leaves the undivided adjugate in out. out may be m.
  bool (*mat4_inverse)(mat4_t& out, const mat4_t& m);
};

extern mat4_routines_t g_mat4;

// Puts the portable routine into every slot of g_mat4.
void mat4_install_portable();

inline void mat4_identity(mat4_t& out) { g_mat4.mat4_identity(out); }
inline void mat4_translation(mat4_t& out, const vec3_t& v) { g_mat4.mat4_translation(out, v); }
inline void mat4_translation_neg(mat4_t& out, const vec3_t& v) { g_mat4.mat4_translation_neg(out, v); }
inline void mat4_scale(mat4_t& out, const vec3_t& v) { g_mat4.mat4_scale(out, v); }
inline void mat4_scale_uniform(mat4_t& out, float s) { g_mat4.mat4_scale_uniform(out, s); }
inline void mat4_rotation_euler(mat4_t& out, const vec3_t& degrees) { g_mat4.mat4_rotation_euler(out, degrees); }
inline void mat4_rotation_euler_inv(mat4_t& out, const vec3_t& degrees) {
  g_mat4.mat4_rotation_euler_inv(out, degrees);
}
inline void mat4_from_quat(mat4_t& out, const vec4_t& q) { g_mat4.mat4_from_quat(out, q); }
inline void mat4_reflection(mat4_t& out, const vec4_t& plane) { g_mat4.mat4_reflection(out, plane); }
inline void mat4_mul(mat4_t& out, const mat4_t& a, const mat4_t& b) { g_mat4.mat4_mul(out, a, b); }
inline void mat4_mul_alias_a(mat4_t& out, const mat4_t& a, const mat4_t& b) { g_mat4.mat4_mul_alias_a(out, a, b); }
inline void mat4_mul_alias_b(mat4_t& out, const mat4_t& a, const mat4_t& b) { g_mat4.mat4_mul_alias_b(out, a, b); }
inline void mat4_transpose_inplace(mat4_t& m) { g_mat4.mat4_transpose_inplace(m); }
inline void mat4_transpose(mat4_t& out, const mat4_t& m) { g_mat4.mat4_transpose(out, m); }
inline bool mat4_inverse(mat4_t& out, const mat4_t& m) { return g_mat4.mat4_inverse(out, m); }

}  // namespace keln
