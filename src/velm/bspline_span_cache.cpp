#include "velm/bspline_span_cache.h"

#include "kelncore/system/cpu.h"

#include "velm/bspline_basis_sse.h"

namespace keln::velm {

#if defined(__SSE2__)

void bspline_enter_span(const float* knots, std::uint32_t count, float t, bspline_span_cache_t& cache) {
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

#endif

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
    _mm_storeu_ps(out.n, bspline_basis_lanes(knots, count, t, cache));
    out.first = cache.span - 3;
    return;
  }
#endif
  // The cases without a span, which touch no knot (and every case in builds
  // without SSE2): the reference. The cache is left as it is.
  std::uint32_t hint = cache.span;
  bspline_basis(knots, count, control_count, t, hint, out);
}

}  // namespace keln::velm
