// The processor's evaluation of a channel's three curves: each basis formed
// in a register (bspline_basis_sse.h), its four weights broadcast from there,
// and the weighted sums of the control points taken four components at a
// time with whole-register loads, summed as (w0 c0 + w1 c1) + (w2 c2 + w3 c3).
// The values equal the portable evaluation's up to rounding.
#include "velm/bspline_bone_channel.h"

#include <cstddef>

#include "velm/bspline_basis_sse.h"

namespace keln::velm {

#if defined(__SSE2__)

namespace {

// The record is written as 16 floats: position 0-2, rotation 3-6, stretch 7-15.
static_assert(sizeof(bone_t) == 16 * sizeof(float), "bone_t is written as 16 floats");
static_assert(offsetof(bone_t, rotation) == 3 * sizeof(float) && offsetof(bone_t, stretch) == 7 * sizeof(float),
              "bone_t's members follow each other without padding");

// A curve's basis at u: its four weights, each broadcast over the lanes, and
// the first control point they weigh.
struct span_weights_t {
  __m128 w0, w1, w2, w3;
  std::uint32_t first;
};

// False where curve has no whole cubic span at u (0 < u < 1): fewer than 8
// knots, or fewer than four control points from the span's first.
template <typename E>
bool span_weights(const bspline_curve_t<E>& curve, float u, bspline_span_cache_t& cache, span_weights_t& w) {
  const std::uint32_t count = curve.knots.size();
  if (count < 2 * bspline_order) return false;
  const __m128 n = bspline_basis_lanes(curve.knots.data(), count, u, cache);
  w.first = cache.span - 3;
  w.w0 = _mm_shuffle_ps(n, n, _MM_SHUFFLE(0, 0, 0, 0));
  w.w1 = _mm_shuffle_ps(n, n, _MM_SHUFFLE(1, 1, 1, 1));
  w.w2 = _mm_shuffle_ps(n, n, _MM_SHUFFLE(2, 2, 2, 2));
  w.w3 = _mm_shuffle_ps(n, n, _MM_SHUFFLE(3, 3, 3, 3));
  return w.first + bspline_order <= curve.control.size();
}

inline __m128 weighted(const span_weights_t& w, __m128 c0, __m128 c1, __m128 c2, __m128 c3) {
  return _mm_add_ps(_mm_add_ps(_mm_mul_ps(w.w0, c0), _mm_mul_ps(w.w1, c1)),
                    _mm_add_ps(_mm_mul_ps(w.w2, c2), _mm_mul_ps(w.w3, c3)));
}

// Four components of the weighted sum, from c in each of the four control
// points stride floats apart.
inline __m128 weighted_at(const span_weights_t& w, const float* c, unsigned stride) {
  return weighted(w, _mm_loadu_ps(c), _mm_loadu_ps(c + stride), _mm_loadu_ps(c + 2 * stride),
                  _mm_loadu_ps(c + 3 * stride));
}

}  // namespace

bool bspline_bone_channel_t::evaluate_fast(float u, bone_t& out) const {
  if (!(u > 0.0f && u < 1.0f)) return false;
  span_weights_t p, s, r;
  if (!span_weights(position, u, m_caches[0], p)) return false;
  if (m_stretch_shares_position)
    s = p;
  else if (!span_weights(stretch, u, m_caches[1], s))
    return false;
  if (m_rotation_shares_position)
    r = p;
  else if (m_rotation_shares_stretch)
    r = s;
  else if (!span_weights(rotation, u, m_caches[2], r))
    return false;

  float* o = reinterpret_cast<float*>(&out);
  // Position: the last control point's three floats are read as the last
  // three of the four ending with it (a fourth after it may not exist).
  const float* c = position.control.data()[p.first].c;
  const __m128 last = _mm_loadu_ps(c + 8);
  _mm_storeu_ps(o, weighted(p, _mm_loadu_ps(c), _mm_loadu_ps(c + 3), _mm_loadu_ps(c + 6),
                            _mm_shuffle_ps(last, last, _MM_SHUFFLE(3, 3, 2, 1))));
  // Rotation over the position's fourth lane, then the stretch in three
  // overlapping quarters (components 0-3, 4-7, 5-8).
  _mm_storeu_ps(o + 3, weighted_at(r, rotation.control.data()[r.first].c, 4));
  const float* m = stretch.control.data()[s.first].m;
  _mm_storeu_ps(o + 7, weighted_at(s, m, 9));
  _mm_storeu_ps(o + 11, weighted_at(s, m + 4, 9));
  _mm_storeu_ps(o + 12, weighted_at(s, m + 5, 9));
  return true;
}

#else

bool bspline_bone_channel_t::evaluate_fast(float, bone_t&) const { return false; }

#endif

}  // namespace keln::velm
