#include "velm/skin_vertices_fast.h"

#if defined(__SSE__)

#include <immintrin.h>

#include "velm/skin_avx2_parts.h"
#include "velm/skin_batch.h"

// Every function here runs AVX2 and FMA instructions; only these functions
// are compiled for them.
#define SKIN_FMA __attribute__((target("avx2,fma")))

namespace keln::velm {

namespace {

// The blend of one vertex in two registers: columns 0 and 1, columns 2 and 3.
struct blend_t {
  __m256 c01, c23;
};

SKIN_FMA inline void add_influence(const skin_job_t& job, const skin_t& influence, blend_t& b) {
  const float* m = job.bone_columns(influence.bone);
  const __m256 w = _mm256_broadcast_ss(&influence.weight);
  b.c01 = _mm256_fmadd_ps(w, _mm256_load_ps(m), b.c01);
  b.c23 = _mm256_fmadd_ps(w, _mm256_load_ps(m + 8), b.c23);
}

// The first n influences of in, with n known at compile time so that the
// loop disappears.
template <unsigned n>
SKIN_FMA inline void add_influences(const skin_job_t& job, const skin_t* in, blend_t& b) {
  for (unsigned i = 0; i < n; ++i) add_influence(job, in[i], b);
}

// The weighted sum of vertex v's bone columns, fused multiply-adds in
// influence order. The common counts of one to four influences run without
// a loop.
SKIN_FMA inline blend_t blend_vertex(const skin_job_t& job, std::uint32_t v) {
  blend_t b = {_mm256_setzero_ps(), _mm256_setzero_ps()};
  const array_dyn_t<skin_t>& influences = job.vertices[v].influences;
  const skin_t* in = influences.data();
  switch (influences.size()) {
    case 1:
      add_influences<1>(job, in, b);
      break;
    case 2:
      add_influences<2>(job, in, b);
      break;
    case 3:
      add_influences<3>(job, in, b);
      break;
    case 4:
      add_influences<4>(job, in, b);
      break;
    default:
      for (const skin_t& influence : influences) add_influence(job, influence, b);
  }
  return b;
}

// Transforms the vertices a and b (their blends) side by side: points and
// normals from p and n (6 floats each), results to out_p and out_n.
SKIN_FMA inline void transform_pair(const blend_t& a, const blend_t& b, const float* p, const float* n, float* out_p,
                                    float* out_n) {
  const __m256 c0 = _mm256_permute2f128_ps(a.c01, b.c01, 0x20);
  const __m256 c1 = _mm256_permute2f128_ps(a.c01, b.c01, 0x31);
  const __m256 c2 = _mm256_permute2f128_ps(a.c23, b.c23, 0x20);
  const __m256 c3 = _mm256_permute2f128_ps(a.c23, b.c23, 0x31);
  const spread_t point = spread(p);
  const __m256 q = _mm256_fmadd_ps(c0, point.x, _mm256_fmadd_ps(c1, point.y, _mm256_fmadd_ps(c2, point.z, c3)));
  store_pair(out_p, divide_by_last_unless_zero(q));
  const spread_t normal = spread(n);
  const __m256 d = _mm256_fmadd_ps(c0, normal.x, _mm256_fmadd_ps(c1, normal.y, _mm256_mul_ps(c2, normal.z)));
  store_pair(out_n, divide_by_last_unless_zero(d));
}

}  // namespace

SKIN_FMA __attribute__((flatten)) void skin_vertices_fma(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
  if (skin_matrices.size() > SKIN_FAST_MAX_BONES) {
    skin_vertices(mesh, skin_matrices);
    return;
  }
  const skin_job_t job(mesh, skin_matrices);
  std::uint32_t v = 0;
  for (; v + 2 <= job.count; v += 2) {
    const std::uint32_t at = 3 * v;
    transform_pair(blend_vertex(job, v), blend_vertex(job, v + 1), job.positions + at, job.normals + at,
                   job.out_positions + at, job.out_normals + at);
  }
  if (v < job.count) {
    const std::uint32_t at = 3 * v;
    const blend_t blend = blend_vertex(job, v);
    transform_single(job.positions + at, job.normals + at, job.out_positions + at, job.out_normals + at,
                     [&blend](const float* p, const float* n, float* op, float* on) SKIN_FMA {
                       transform_pair(blend, blend, p, n, op, on);
                     });
  }
}

}  // namespace keln::velm

#endif
