#pragma once
// The processor's cubic basis on four float lanes (SSE2 builds only), shared
// by the sources that evaluate curves with it: the basis of
// bspline_span_cache.h for a parameter strictly inside (0, 1), kept in a
// register so that the weighted sums of control points can broadcast its
// lanes without going through memory. Internal to the motion library.

#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>

#include "velm/bspline_span_cache.h"

namespace keln::velm {

// Enters the span of t (0 < t < 1, at least 8 knots): finds it from the
// cached one and computes its six reciprocals (the only divisions).
void bspline_enter_span(const float* knots, std::uint32_t count, float t, bspline_span_cache_t& cache);

// v moved down one lane: (v1, v2, v3, 0).
inline __m128 bspline_next_lanes(__m128 v) { return _mm_castsi128_ps(_mm_srli_si128(_mm_castps_si128(v), 4)); }

// One level of the recursion on the lanes n0..n3 of the previous level:
// n'm = pm nm + (1 - p(m+1)) n(m+1), where p holds the level's left ratios
// (t - k(m-3)) / (k(m-3+level) - k(m-3)) in the lanes that are in use, 0 in
// the others.
inline __m128 bspline_basis_level(__m128 p, __m128 n) {
  const __m128 right = _mm_sub_ps(_mm_set1_ps(1.0f), bspline_next_lanes(p));
  return _mm_add_ps(_mm_mul_ps(p, n), _mm_mul_ps(right, bspline_next_lanes(n)));
}

// The four basis values at t (0 < t < 1, count >= 8) in lanes 0..3; they
// weigh control points cache.span - 3 onwards. Playing forward stays in the
// cached span or enters the next one, which costs no search.
inline __m128 bspline_basis_lanes(const float* knots, std::uint32_t count, float t, bspline_span_cache_t& cache) {
  if (cache.knots != knots || cache.count != count ||
      !(t >= knots[cache.span] && t < knots[cache.span + 1]))
    bspline_enter_span(knots, count, t, cache);
  const std::uint32_t s = cache.span;
  // left = t - (k-3, k-2, k-1, k0); knots[s - 3] exists since s >= 3.
  const __m128 left = _mm_sub_ps(_mm_set1_ps(t), _mm_loadu_ps(knots + s - 3));
  const __m128 levels12 = _mm_loadu_ps(cache.levels12);
  // Level 1: (0, 0, 1 - p, p), p = (t - k0) / (k1 - k0).
  const __m128 p1 = _mm_mul_ps(left, _mm_shuffle_ps(levels12, levels12, _MM_SHUFFLE(0, 1, 1, 1)));
  const __m128 n1 = _mm_add_ps(p1, _mm_sub_ps(_mm_setr_ps(0.0f, 0.0f, 1.0f, 0.0f), bspline_next_lanes(p1)));
  const __m128 n2 = bspline_basis_level(_mm_mul_ps(left, _mm_move_ss(levels12, _mm_setzero_ps())), n1);
  return bspline_basis_level(_mm_mul_ps(left, _mm_loadu_ps(cache.level3)), n2);
}

}  // namespace keln::velm

#endif
