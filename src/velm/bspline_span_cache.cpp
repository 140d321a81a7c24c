#include "velm/bspline_span_cache.h"

#include "kelncore/system/cpu.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace keln::velm {

namespace {

#if defined(__SSE2__)

// Enters the span of t (0 < t < 1, at least 8 knots): finds it from the
// cached one and computes its six reciprocals (the only divisions).
void enter_span(const float* knots, std::uint32_t count, float t, bspline_span_cache_t& cache) {
  const std::uint32_t hint = cache.knots == knots && cache.count == count ? cache.span : 0;
  const std::uint32_t s = bspline_knot_span(knots, count, t, hint);
  const float* k = knots + s;
  cache.levels12[0] = 1.0f / (k[1] - k[0]);
  cache.levels12[1] = 0.0f;
  cache.levels12[2] = 1.0f / (k[1] - k[-1]);
  cache.levels12[3] = 1.0f / (k[2] - k[0]);
  cache.level3[0] = 0.0f;
  cache.level3[1] = 1.0f / (k[1] - k[-2]);
  cache.level3[2] = 1.0f / (k[2] - k[-1]);
  cache.level3[3] = 1.0f / (k[3] - k[0]);
  cache.knots = knots;
  cache.count = count;
  cache.span = s;
}

// v moved down one lane: (v1, v2, v3, 0).
inline __m128 next_lanes(__m128 v) { return _mm_castsi128_ps(_mm_srli_si128(_mm_castps_si128(v), 4)); }

// One level of the recursion on the lanes n0..n3 of the previous level:
// n'm = pm nm + (1 - p(m+1)) n(m+1), where p holds the level's left ratios
// (t - k(m-3)) / (k(m-3+level) - k(m-3)) in the lanes that are in use, 0 in
// the others.
inline __m128 level(__m128 p, __m128 n) {
  const __m128 right = _mm_sub_ps(_mm_set1_ps(1.0f), next_lanes(p));
  return _mm_add_ps(_mm_mul_ps(p, n), _mm_mul_ps(right, next_lanes(n)));
}

void basis_sse(const float* knots, std::uint32_t count, float t, bspline_span_cache_t& cache, bspline_basis_t& out) {
  std::uint32_t s = cache.span;
  if (cache.knots != knots || cache.count != count || !(t >= knots[s] && t < knots[s + 1])) {
    enter_span(knots, count, t, cache);
    s = cache.span;
  }
  // left = t - (k-3, k-2, k-1, k0); knots[s - 3] exists since s >= 3.
  const __m128 left = _mm_sub_ps(_mm_set1_ps(t), _mm_loadu_ps(knots + s - 3));
  const __m128 levels12 = _mm_loadu_ps(cache.levels12);
  // Level 1: (0, 0, 1 - p, p), p = (t - k0) / (k1 - k0).
  const __m128 p1 = _mm_mul_ps(left, _mm_shuffle_ps(levels12, levels12, _MM_SHUFFLE(0, 1, 1, 1)));
  const __m128 n1 = _mm_add_ps(p1, _mm_sub_ps(_mm_setr_ps(0.0f, 0.0f, 1.0f, 0.0f), next_lanes(p1)));
  const __m128 n2 = level(_mm_mul_ps(left, _mm_move_ss(levels12, _mm_setzero_ps())), n1);
  const __m128 n3 = level(_mm_mul_ps(left, _mm_loadu_ps(cache.level3)), n2);
  out.first = s - 3;
  _mm_storeu_ps(out.n, n3);
}

#endif

}  // namespace

bool bspline_basis_fast_available() {
#if defined(__SSE2__)
  return (cpu_features() & CPU_FEAT_SSE2) != 0;
#else
  return false;
#endif
}

void bspline_basis_fast(const float* knots, std::uint32_t count, std::uint32_t control_count, float t,
                        bspline_span_cache_t& cache, bspline_basis_t& out) {
#if defined(__SSE2__)
  if (t > 0.0f && t < 1.0f && count >= 2 * bspline_order) {
    basis_sse(knots, count, t, cache, out);
    return;
  }
#endif
  // The cases without a span, which touch no knot (and every case in builds
  // without SSE2): the reference. The cache is left as it is.
  std::uint32_t hint = cache.span;
  bspline_basis(knots, count, control_count, t, hint, out);
}

}  // namespace keln::velm
