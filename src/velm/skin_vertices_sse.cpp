#include "velm/skin_vertices_sse.h"

#if defined(__SSE__)

#include <xmmintrin.h>

namespace keln::velm {

namespace {

// A 4 x 4 matrix in four registers: its columns, or its rows before the
// blend is transposed.
struct blend_t {
  __m128 v0, v1, v2, v3;
};

// b += weight * m, component by component, for m given as 16 consecutive
// floats (rows or columns, as b holds them).
inline void add_weighted(blend_t& b, const float* m, float weight) {
  const __m128 w = _mm_set1_ps(weight);
  b.v0 = _mm_add_ps(b.v0, _mm_mul_ps(w, _mm_loadu_ps(m)));
  b.v1 = _mm_add_ps(b.v1, _mm_mul_ps(w, _mm_loadu_ps(m + 4)));
  b.v2 = _mm_add_ps(b.v2, _mm_mul_ps(w, _mm_loadu_ps(m + 8)));
  b.v3 = _mm_add_ps(b.v3, _mm_mul_ps(w, _mm_loadu_ps(m + 12)));
}

// Every row of the blend (given by its columns) applied to (p, 1) and to
// (n, 0): the columns summed in the order 0..3, as the routine table does,
// the last product kept for directions so that signed zeros come out alike.
inline __m128 apply(const blend_t& c, const float* p, __m128 last) {
  __m128 s = _mm_add_ps(_mm_mul_ps(c.v0, _mm_set1_ps(p[0])), _mm_mul_ps(c.v1, _mm_set1_ps(p[1])));
  s = _mm_add_ps(s, _mm_mul_ps(c.v2, _mm_set1_ps(p[2])));
  return _mm_add_ps(s, last);
}

// q times 1 / q.w, or q as it is when q.w is 0.
inline __m128 divide_by_last_unless_zero(__m128 q) {
  if (_mm_movemask_ps(_mm_cmpeq_ps(q, _mm_setzero_ps())) & 0x8) return q;
  return _mm_mul_ps(q, _mm_div_ps(_mm_set1_ps(1.0f), _mm_shuffle_ps(q, q, _MM_SHUFFLE(3, 3, 3, 3))));
}

// Writes the low three lanes of q to out[0..2]. When the next element follows
// (more_follow), all four lanes are written at once: the fourth lands on the
// next element's first component, which is written afterwards.
inline void store_xyz(float* out, __m128 q, bool more_follow) {
  if (more_follow) {
    _mm_storeu_ps(out, q);
  } else {
    _mm_storel_pi(reinterpret_cast<__m64*>(out), q);
    _mm_store_ss(out + 2, _mm_movehl_ps(q, q));
  }
}

// The skinning loop. matrices holds 16 floats per bone: the columns of each
// skinning matrix when columns is true, else its rows (the blend of each
// vertex is then transposed).
template <bool columns>
void skin_loop(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices, const float* matrices) {
  const std::uint32_t count = mesh.positions.size();
  const float* positions = mesh.positions.data()->c;
  const float* normals = mesh.normals.data()->c;
  float* out_positions = mesh.skinned_positions.data()->c;
  float* out_normals = mesh.skinned_normals.data()->c;
  const skin_vertex_t* vertices = mesh.skin_vertices.data();
  const __m128 zero = _mm_setzero_ps();
  for (std::uint32_t v = 0; v < count; ++v) {
    blend_t b = {zero, zero, zero, zero};
    for (const skin_t& influence : vertices[v].influences) {
      (void)skin_matrices[influence.bone];  // the bone check of the array
      add_weighted(b, matrices + 16 * influence.bone, influence.weight);
    }
    if (!columns) _MM_TRANSPOSE4_PS(b.v0, b.v1, b.v2, b.v3);
    const std::uint32_t at = 3 * v;
    const bool more_follow = v + 1 < count;
    store_xyz(out_positions + at, divide_by_last_unless_zero(apply(b, positions + at, b.v3)), more_follow);
    store_xyz(out_normals + at, divide_by_last_unless_zero(apply(b, normals + at, _mm_mul_ps(b.v3, zero))),
              more_follow);
  }
}

}  // namespace

void skin_vertices_sse(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
  const std::uint32_t count = mesh.positions.size();
  mesh.skinned_positions.resize(count);
  mesh.skinned_normals.resize(mesh.normals.size());
  if (count == 0) return;
  // The checks of the first element that would be out of range.
  (void)mesh.normals[count - 1];
  (void)mesh.skin_vertices[count - 1];

  const std::uint32_t bones = skin_matrices.size();
  if (bones > SKIN_SSE_STACK_BONES) {
    skin_loop<false>(mesh, skin_matrices, skin_matrices.data()->m);
    return;
  }
  float columns[SKIN_SSE_STACK_BONES * 16];
  for (std::uint32_t b = 0; b < bones; ++b) {
    const float* m = skin_matrices.data()[b].m;
    for (unsigned r = 0; r < 4; ++r)
      for (unsigned c = 0; c < 4; ++c) columns[16 * b + 4 * c + r] = m[4 * r + c];
  }
  skin_loop<true>(mesh, skin_matrices, columns);
}

}  // namespace keln::velm

#endif
