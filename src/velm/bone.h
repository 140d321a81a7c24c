#pragma once
// The bone transform record shared by keys, poses and B-spline evaluations:
// the 4 x 4 transform T(position) · R(rotation) · S(stretch), i.e. points are
// stretched first, then rotated, then translated.

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
void interpolate(bone_t& out, const bone_t& a, const bone_t& b, float t);

}  // namespace keln::velm
