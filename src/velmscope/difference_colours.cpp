#include "velmscope/difference_colours.h"

#include <emmintrin.h>

#include <cmath>

namespace keln::velmscope {

namespace {

// Four vertex colours at once: lane i of x (fractions of the full scale)
// gives colour i, packed as in vertex_colour_t. A lane that is not a number
// counts as 0 (the clamps return their second operand then).
inline __m128i pack_colours(__m128 x, __m128i alpha_bits) {
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), twice = _mm_add_ps(x, x);
  const __m128 rise = _mm_min_ps(_mm_max_ps(twice, zero), one);
  const __m128 fall = _mm_min_ps(_mm_max_ps(_mm_sub_ps(twice, one), zero), one);
  const __m128 red = _mm_add_ps(_mm_set1_ps(0.2f), _mm_mul_ps(_mm_set1_ps(0.8f), rise));
  const __m128 green = _mm_sub_ps(red, fall);
  const __m128 blue = _mm_sub_ps(one, rise);
  const __m128 to_byte = _mm_set1_ps(255.0f);
  const __m128i r = _mm_cvtps_epi32(_mm_mul_ps(red, to_byte));  // rounds to nearest
  const __m128i g = _mm_cvtps_epi32(_mm_mul_ps(green, to_byte));
  const __m128i b = _mm_cvtps_epi32(_mm_mul_ps(blue, to_byte));
  return _mm_or_si128(_mm_or_si128(r, _mm_slli_epi32(g, 8)), _mm_or_si128(_mm_slli_epi32(b, 16), alpha_bits));
}

// Squared distances of four consecutive vertices, from the squared
// coordinate differences s0, s1, s2 as they lie in memory: x0 y0 z0 x1 |
// y1 z1 x2 y2 | z2 x3 y3 z3.
inline __m128 sum_per_vertex(__m128 s0, __m128 s1, __m128 s2) {
  const __m128 x = _mm_shuffle_ps(s0, _mm_shuffle_ps(s1, s2, _MM_SHUFFLE(1, 1, 2, 2)), _MM_SHUFFLE(2, 0, 3, 0));
  const __m128 y = _mm_shuffle_ps(_mm_shuffle_ps(s0, s1, _MM_SHUFFLE(0, 0, 1, 1)),
                                  _mm_shuffle_ps(s1, s2, _MM_SHUFFLE(2, 2, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0));
  const __m128 z = _mm_shuffle_ps(_mm_shuffle_ps(s0, s1, _MM_SHUFFLE(1, 1, 2, 2)),
                                  _mm_shuffle_ps(s2, s2, _MM_SHUFFLE(3, 3, 0, 0)), _MM_SHUFFLE(2, 0, 2, 0));
  return _mm_add_ps(_mm_add_ps(x, y), z);
}

}  // namespace

void colour_differences(array_dyn_t<vertex_colour_t>& colours, const array_t<vec3_t>& coloured,
                        const array_t<vec3_t>& reference, float full_scale, float alpha) {
  const std::uint32_t count = coloured.size();
  colours.resize(count);
  if (count == 0) return;
  (void)reference[count - 1];  // the one bounds check for the whole loop
  const float* a = coloured.data()->c;
  const float* b = reference.data()->c;
  vertex_colour_t* out = colours.data();
  const __m128 inverse = _mm_set1_ps(1.0f / full_scale);
  const __m128i alpha_bits = _mm_slli_epi32(_mm_set1_epi32(static_cast<int>(std::lround(alpha * 255.0f))), 24);
  std::uint32_t v = 0;
  for (; v + 4 <= count; v += 4, a += 12, b += 12) {
    const __m128 d0 = _mm_sub_ps(_mm_loadu_ps(a), _mm_loadu_ps(b));
    const __m128 d1 = _mm_sub_ps(_mm_loadu_ps(a + 4), _mm_loadu_ps(b + 4));
    const __m128 d2 = _mm_sub_ps(_mm_loadu_ps(a + 8), _mm_loadu_ps(b + 8));
    const __m128 squared = sum_per_vertex(_mm_mul_ps(d0, d0), _mm_mul_ps(d1, d1), _mm_mul_ps(d2, d2));
    // The distance as squared / sqrt(squared) through the approximate
    // reciprocal square root (12 bits, far finer than a colour byte): much
    // faster than the square root. A distance of 0 gives 0 * infinity, not a
    // number, which pack_colours' clamps turn into 0.
    const __m128 distance = _mm_mul_ps(squared, _mm_rsqrt_ps(squared));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + v), pack_colours(_mm_mul_ps(distance, inverse), alpha_bits));
  }
  // The last vertices one by one, in the first lane.
  for (; v < count; ++v, a += 3, b += 3) {
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    const __m128 x = _mm_set_ss(std::sqrt(dx * dx + dy * dy + dz * dz) / full_scale);
    out[v] = static_cast<vertex_colour_t>(_mm_cvtsi128_si32(pack_colours(x, alpha_bits)));
  }
}

}  // namespace keln::velmscope
