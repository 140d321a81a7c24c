#pragma once
// The bone transform record shared by keys, poses and B-spline evaluations:
// the 4 x 4 transform T(position) · R(rotation) · S(stretch), i.e. points are
// stretched first, then rotated, then translated.

#include <cstring>

#include "kelncore/math/quat.h"

namespace keln::velm {

struct bone_t {
  vec3_t position;                   // translation
  quat_t rotation = quat_identity();  // (w, x, y, z), used as given (not renormalised)
  mat3_t stretch = mat3_t(1.0f);      // row-major scale and shear the rotation cannot express

  bone_t() = default;
  // From an affine matrix through its polar decomposition: position t,
  // rotation q, stretch U K Uᵀ. A reflection's sign is dropped, so a matrix
  // with a negative determinant does not round-trip.
  explicit bone_t(const mat4_t& m);

  // The 4 x 4 transform, built with the matrix routine table.
  void to_matrix(mat4_t& out) const;
};

// Blend of a and b at t into out (out may be a or b):
//   t below 1e-5: a copy of a; t above 1 - 1e-5: a copy of b;
//   otherwise position a (1 - t) + b t, rotation the linear quaternion blend
//   (no renormalisation, no shortest-arc test) and stretch a copy of a's.
// Inline: keyframe sampling and pose blending call it per bone and frame.
inline void interpolate(bone_t& out, const bone_t& a, const bone_t& b, float t) {
  constexpr float lower = 1e-5f;
  constexpr float upper = 1.0f - lower;
  if (t < lower) {
    out = a;
    return;
  }
  if (t > upper) {
    out = b;
    return;
  }
  // The record as four groups of four floats: position and rotation are
  // floats 0-6, the stretch 7-15. Lane-wise blending rounds like the scalar
  // a (1 - t) + b t.
  typedef float float4_t __attribute__((vector_size(16)));
  static_assert(sizeof(bone_t) == 4 * sizeof(float4_t), "bone_t is read as 16 floats");
  float4_t va[4], vb[2];
  std::memcpy(va, &a, sizeof va);
  std::memcpy(vb, &b, sizeof vb);
  const float s = 1.0f - t;
  float4_t blended[4] = {va[0] * s + vb[0] * t, va[1] * s + vb[1] * t, va[2], va[3]};
  blended[1][3] = va[1][3];  // float 7, the first stretch element, stays a's
  std::memcpy(&out, blended, sizeof blended);
}

}  // namespace keln::velm
