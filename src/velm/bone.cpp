#include "velm/bone.h"

#include "kelncore/math/decompose.h"
#include "kelncore/math/mat4_routines.h"

namespace keln::velm {

bone_t::bone_t(const mat4_t& m) {
  const affine_parts_t parts = decompose(m);
  position = parts.t;
  rotation = parts.q;
  mat4_t u, ut, k, x, s;
  mat4_from_quat(u, parts.u);
  mat4_transpose(ut, u);
  mat4_scale(k, parts.k);
  mat4_mul(x, ut, k);
  mat4_mul(s, x, u);
  for (unsigned r = 0; r < 3; ++r)
    for (unsigned c = 0; c < 3; ++c) stretch.at(r, c) = s.at(r, c);
}

void bone_t::to_matrix(mat4_t& out) const {
  mat4_t s4(1.0f), r, t, tmp;
  for (unsigned row = 0; row < 3; ++row)
    for (unsigned c = 0; c < 3; ++c) s4.at(row, c) = stretch.at(row, c);
  mat4_from_quat(r, rotation);
  mat4_translation(t, position);
  mat4_mul(tmp, s4, r);
  mat4_mul(out, tmp, t);
}

}  // namespace keln::velm
