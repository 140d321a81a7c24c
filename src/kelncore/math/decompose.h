#pragma once
// Polar decomposition of an affine 4 x 4 matrix (Shoemake and Duff's affine
// decomposition): m = T(t) F R(q) R(u) K(k) R(u)ᵀ, where
//   T(t)  translation by t (components 3, 7, 11 of m),
//   F     f I with f = +1, or -1 when the upper 3 x 3 has a negative
//         determinant (a reflection),
//   R(q)  the essential rotation,
//   R(u) K(k) R(u)ᵀ the symmetric stretch: scale factors k along the axes of
//         the stretch rotation u, which is chosen closest to the identity
//         among all equivalent ones (axis order and signs, and any rotation
//         about axes whose factors are equal).
// Quaternions are handed out w first. The last row of m is ignored.
// Singular matrices are handled: the missing directions get factor 0 and
// f = +1. Computation is in double precision internally.

#include "kelncore/math/quat.h"

namespace keln {

struct affine_parts_t {
  vec3_t t;                    // translation
  quat_t q = quat_identity();  // essential rotation
  quat_t u = quat_identity();  // stretch rotation, w >= 0
  vec3_t k;                    // stretch factors
  float f = 1.0f;              // sign of the determinant: +1 or -1
};

affine_parts_t decompose(const mat4_t& m);

}  // namespace keln
