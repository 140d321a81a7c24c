#pragma once
// Rotation quaternions as vec_t<float,4> read as (w, x, y, z), scalar first;
// the identity is (1, 0, 0, 0). Rotations are expected to be of unit length,
// but no operation here renormalises: callers that need a unit quaternion
// normalise it themselves. All arithmetic is single precision.

#include "kelncore/math/mat_sq.h"
#include "kelncore/math/vec.h"

namespace keln {

using quat_t = vec4_t;

inline constexpr float degrees_to_radians = 0.017453293f;

inline quat_t quat_identity() { return quat_t{{1.0f, 0.0f, 0.0f, 0.0f}}; }

// Hamilton product a ⊗ b (the rotation b applied first, then a).
void quat_mul(quat_t& out, const quat_t& a, const quat_t& b);
// a = a ⊗ b.
void quat_mul_inplace(quat_t& a, const quat_t& b);

// Negates x, y, z (the inverse rotation of a unit quaternion).
void quat_conjugate(quat_t& q);
// Negates all four components (the same rotation).
void quat_negate(quat_t& q);

// Component-wise a (1 - t) + b t, with (1 - t) rounded to float first. The
// result is not renormalised and is shorter than 1 between distinct rotations.
// Inline: it is part of every keyframe sample.
inline void quat_blend(quat_t& out, const quat_t& a, const quat_t& b, float t) {
  const float s = 1.0f - t;
  for (unsigned i = 0; i < 4; ++i) out[i] = a[i] * s + b[i] * t;
}

// Euclidean distance of the four components, accumulated in float.
float quat_distance(const quat_t& a, const quat_t& b);

// Rotation matrix of a unit quaternion (column vectors, zero translation,
// last row (0, 0, 0, 1)); the transposed form is the inverse rotation.
void quat_to_mat4(mat4_t& out, const quat_t& q);
void quat_to_mat4_transposed(mat4_t& out, const quat_t& q);
void quat_to_mat4_both(mat4_t& out, mat4_t& out_transposed, const quat_t& q);

// v rotated by q: 2 ((w² - 0.5) v + (u·v) u + w (u × v)), u = (x, y, z).
vec3_t quat_rotate(const quat_t& q, const vec3_t& v);

// Rotation by angle radians about axis. The axis is divided by its length
// without a zero test: a zero axis gives non-numbers.
quat_t quat_from_axis_angle(const vec3_t& axis, float angle);

// q_y(a0) ⊗ q_x(a1) ⊗ q_z(a2) for angles (a0, a1, a2) in degrees about the
// y, x and z axes.
quat_t quat_from_angles(const vec3_t& degrees);

// Divides v by its length; no zero test.
void vec3_normalize(vec3_t& v);

}  // namespace keln
