#pragma once
// Pieces shared by the AVX2 skinning loops (skin_vertices_avx2.cpp and
// skin_vertices_fma.cpp): two vertices side by side in one register, the
// low four lanes for the first, the high four for the second. Internal to
// the loops; every function runs AVX2 instructions.

#if defined(__SSE__)

#include <immintrin.h>

// Compiles a function for AVX2 only, so that nothing shared with the rest
// of the program is.
#define SKIN_AVX2 __attribute__((target("avx2")))

namespace keln::velm {

// Two vertices a and b side by side: a in the low four lanes, b in the high.
SKIN_AVX2 inline __m256 side_by_side(__m128 a, __m128 b) {
  return _mm256_insertf128_ps(_mm256_castps128_ps256(a), b, 1);
}

// The three components of two consecutive vec3_t (6 floats from p), each
// spread over the four lanes of its vertex.
struct spread_t {
  __m256 x, y, z;
};

SKIN_AVX2 inline spread_t spread(const float* p) {
  // Lanes: p0 p1 p2 p3 | p2 p3 p4 p5, that is ax ay az bx | az bx by bz.
  const __m256 both = side_by_side(_mm_loadu_ps(p), _mm_loadu_ps(p + 2));
  return {_mm256_permutevar8x32_ps(both, _mm256_setr_epi32(0, 0, 0, 0, 5, 5, 5, 5)),
          _mm256_permutevar8x32_ps(both, _mm256_setr_epi32(1, 1, 1, 1, 6, 6, 6, 6)),
          _mm256_permutevar8x32_ps(both, _mm256_setr_epi32(2, 2, 2, 2, 7, 7, 7, 7))};
}

// Writes the low three lanes of each half (a then b) as 6 floats to out.
SKIN_AVX2 inline void store_pair(float* out, __m256 q) {
  const __m256 packed = _mm256_permutevar8x32_ps(q, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 6, 6));
  _mm_storeu_ps(out, _mm256_castps256_ps128(packed));
  _mm_storel_pi(reinterpret_cast<__m64*>(out + 4), _mm256_extractf128_ps(packed, 1));
}

// Each half times 1 / its w (lane 3 of the half), or as it is where that w is
// 0 (a NaN w divides, as in the routine table). The division is skipped as
// a whole where no w of the pair divides (the normals of affine bones).
SKIN_AVX2 inline __m256 divide_by_last_unless_zero(__m256 q) {
  const __m256 w = _mm256_permute_ps(q, _MM_SHUFFLE(3, 3, 3, 3));
  const __m256 divides = _mm256_cmp_ps(w, _mm256_setzero_ps(), _CMP_NEQ_UQ);
  if (_mm256_movemask_ps(divides) == 0) return q;
  const __m256 one = _mm256_set1_ps(1.0f);
  return _mm256_mul_ps(q, _mm256_blendv_ps(one, _mm256_div_ps(one, w), divides));
}

// The last vertex of an odd count, with its point p and normal n: pair(p2,
// n2, op, on) transforms it as a pair with itself through local copies, so
// that nothing beyond its own 12 bytes is read or written.
template <typename Pair>
inline void transform_single(const float* p, const float* n, float* out_p, float* out_n, Pair pair) {
  const float p2[6] = {p[0], p[1], p[2], p[0], p[1], p[2]};
  const float n2[6] = {n[0], n[1], n[2], n[0], n[1], n[2]};
  float op[6], on[6];
  pair(p2, n2, op, on);
  for (unsigned i = 0; i < 3; ++i) {
    out_p[i] = op[i];
    out_n[i] = on[i];
  }
}

}  // namespace keln::velm

#endif
