#include "velm/skin_vertices_fast.h"

#if defined(__SSE__)

#include <xmmintrin.h>

#include "velm/skin_batch.h"

namespace keln::velm {

namespace {

// Blend of vertex v: the weighted sum of its bones' columns, in influence
// order, into blend[0..15] (16-byte aligned).
inline void blend_vertex(const skin_job_t& job, std::uint32_t v, float* blend) {
  __m128 c0 = _mm_setzero_ps(), c1 = c0, c2 = c0, c3 = c0;
  for (const skin_t& influence : job.vertices[v].influences) {
    const float* m = job.bone_columns(influence.bone);
    const __m128 w = _mm_set1_ps(influence.weight);
    c0 = _mm_add_ps(c0, _mm_mul_ps(w, _mm_load_ps(m)));
    c1 = _mm_add_ps(c1, _mm_mul_ps(w, _mm_load_ps(m + 4)));
    c2 = _mm_add_ps(c2, _mm_mul_ps(w, _mm_load_ps(m + 8)));
    c3 = _mm_add_ps(c3, _mm_mul_ps(w, _mm_load_ps(m + 12)));
  }
  _mm_store_ps(blend, c0);
  _mm_store_ps(blend + 4, c1);
  _mm_store_ps(blend + 8, c2);
  _mm_store_ps(blend + 12, c3);
}

// Every row of the blend applied to (p, 1) or (p, 0): columns 0..2 times
// p's components summed in order, then last (column 3, or column 3 times 0
// for directions, so that signed zeros come out as the routine table's).
inline __m128 apply(const float* blend, const float* p, __m128 last) {
  __m128 s = _mm_add_ps(_mm_mul_ps(_mm_load_ps(blend), _mm_set1_ps(p[0])),
                        _mm_mul_ps(_mm_load_ps(blend + 4), _mm_set1_ps(p[1])));
  s = _mm_add_ps(s, _mm_mul_ps(_mm_load_ps(blend + 8), _mm_set1_ps(p[2])));
  return _mm_add_ps(s, last);
}

// q times 1 / q.w, or q as it is when q.w is 0.
inline __m128 divide_by_last_unless_zero(__m128 q) {
  if (_mm_movemask_ps(_mm_cmpeq_ps(q, _mm_setzero_ps())) & 0x8) return q;
  return _mm_mul_ps(q, _mm_div_ps(_mm_set1_ps(1.0f), _mm_shuffle_ps(q, q, _MM_SHUFFLE(3, 3, 3, 3))));
}

// Writes the low three lanes of q to out[0..2]. When another element follows
// (more_follow) all four lanes go at once: the fourth lands on the next
// element's first component, which is written afterwards.
inline void store_xyz(float* out, __m128 q, bool more_follow) {
  if (more_follow) {
    _mm_storeu_ps(out, q);
  } else {
    _mm_storel_pi(reinterpret_cast<__m64*>(out), q);
    _mm_store_ss(out + 2, _mm_movehl_ps(q, q));
  }
}

inline void transform_batch(const skin_job_t& job, std::uint32_t first, std::uint32_t end, const float* blends) {
  for (std::uint32_t v = first; v < end; ++v) {
    const float* blend = blends + 16 * (v - first);
    const std::uint32_t at = 3 * v;
    const bool more_follow = v + 1 < job.count;
    const __m128 column3 = _mm_load_ps(blend + 12);
    store_xyz(job.out_positions + at, divide_by_last_unless_zero(apply(blend, job.positions + at, column3)),
              more_follow);
    store_xyz(job.out_normals + at,
              divide_by_last_unless_zero(apply(blend, job.normals + at, _mm_mul_ps(column3, _mm_setzero_ps()))),
              more_follow);
  }
}

}  // namespace

__attribute__((flatten)) void skin_vertices_sse(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
  skin_in_batches<blend_vertex, transform_batch>(mesh, skin_matrices);
}

}  // namespace keln::velm

#endif
