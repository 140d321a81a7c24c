#include "velm/skin_vertices_fast.h"

#if defined(__SSE__)

#include <immintrin.h>

#include "velm/skin_avx2_parts.h"
#include "velm/skin_batch.h"

namespace keln::velm {

namespace {

// c01, c23 (columns 0 and 1, 2 and 3) += weight * the columns of the
// influence's bone.
SKIN_AVX2 inline void add_influence(const skin_job_t& job, const skin_t& influence, __m256& c01, __m256& c23) {
  const float* m = job.bone_columns(influence.bone);
  const __m256 w = _mm256_broadcast_ss(&influence.weight);
  c01 = _mm256_add_ps(c01, _mm256_mul_ps(w, _mm256_load_ps(m)));
  c23 = _mm256_add_ps(c23, _mm256_mul_ps(w, _mm256_load_ps(m + 8)));
}

// The first n influences of in, with n known at compile time so that the
// loop disappears.
template <unsigned n>
SKIN_AVX2 inline void add_influences(const skin_job_t& job, const skin_t* in, __m256& c01, __m256& c23) {
  for (unsigned i = 0; i < n; ++i) add_influence(job, in[i], c01, c23);
}

// Blend of vertex v: the weighted sum of its bones' columns, in influence
// order, into blend[0..15] (32-byte aligned), two columns per register. The
// common counts of one to four influences run without a loop.
SKIN_AVX2 inline void blend_vertex(const skin_job_t& job, std::uint32_t v, float* blend) {
  __m256 c01 = _mm256_setzero_ps(), c23 = c01;
  const array_dyn_t<skin_t>& influences = job.vertices[v].influences;
  const skin_t* in = influences.data();
  switch (influences.size()) {
    case 1:
      add_influences<1>(job, in, c01, c23);
      break;
    case 2:
      add_influences<2>(job, in, c01, c23);
      break;
    case 3:
      add_influences<3>(job, in, c01, c23);
      break;
    case 4:
      add_influences<4>(job, in, c01, c23);
      break;
    default:
      for (const skin_t& influence : influences) add_influence(job, influence, c01, c23);
  }
  _mm256_store_ps(blend, c01);
  _mm256_store_ps(blend + 8, c23);
}

// Transforms two vertices: blends a and b (16 floats each), points and
// normals from p and n (6 floats each), results to out_p and out_n (6 floats
// each). The sums run as in the routine table: columns 0..2 in order, then
// column 3 (times 0 for the normals).
SKIN_AVX2 inline void transform_pair(const float* a, const float* b, const float* p, const float* n, float* out_p,
                                     float* out_n) {
  const __m256 c0 = side_by_side(_mm_load_ps(a), _mm_load_ps(b));
  const __m256 c1 = side_by_side(_mm_load_ps(a + 4), _mm_load_ps(b + 4));
  const __m256 c2 = side_by_side(_mm_load_ps(a + 8), _mm_load_ps(b + 8));
  const __m256 c3 = side_by_side(_mm_load_ps(a + 12), _mm_load_ps(b + 12));
  const spread_t point = spread(p);
  __m256 q = _mm256_add_ps(_mm256_mul_ps(c0, point.x), _mm256_mul_ps(c1, point.y));
  q = _mm256_add_ps(_mm256_add_ps(q, _mm256_mul_ps(c2, point.z)), c3);
  store_pair(out_p, divide_by_last_unless_zero(q));
  const spread_t normal = spread(n);
  __m256 d = _mm256_add_ps(_mm256_mul_ps(c0, normal.x), _mm256_mul_ps(c1, normal.y));
  d = _mm256_add_ps(_mm256_add_ps(d, _mm256_mul_ps(c2, normal.z)), _mm256_mul_ps(c3, _mm256_setzero_ps()));
  store_pair(out_n, divide_by_last_unless_zero(d));
}

// The vertices of a batch two by two, and the last one alone when the
// batch's count is odd.
SKIN_AVX2 inline void transform_batch(const skin_job_t& job, std::uint32_t first, std::uint32_t end,
                                      const float* blends) {
  std::uint32_t v = first;
  for (; v + 2 <= end; v += 2) {
    const float* blend = blends + 16 * (v - first);
    const std::uint32_t at = 3 * v;
    transform_pair(blend, blend + 16, job.positions + at, job.normals + at, job.out_positions + at,
                   job.out_normals + at);
  }
  if (v < end) {
    const std::uint32_t at = 3 * v;
    const float* blend = blends + 16 * (v - first);
    transform_single(job.positions + at, job.normals + at, job.out_positions + at, job.out_normals + at,
                     [blend](const float* p, const float* n, float* op, float* on) SKIN_AVX2 {
                       transform_pair(blend, blend, p, n, op, on);
                     });
  }
}

}  // namespace

SKIN_AVX2 __attribute__((flatten)) void skin_vertices_avx2(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
  skin_in_batches<blend_vertex, transform_batch>(mesh, skin_matrices);
}

}  // namespace keln::velm

#endif
