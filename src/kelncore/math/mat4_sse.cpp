#include "kelncore/math/mat4_sse.h"

#include "kelncore/system/cpu.h"

#if defined(__SSE__)

#include <xmmintrin.h>

namespace keln::sse {

namespace {

inline __m128 load_row(const mat4_t& m, unsigned r) { return _mm_loadu_ps(&m[r * 4]); }
inline void store_row(mat4_t& m, unsigned r, __m128 v) { _mm_storeu_ps(&m[r * 4], v); }

inline void store_rows(mat4_t& out, __m128 r0, __m128 r1, __m128 r2, __m128 r3) {
  store_row(out, 0, r0);
  store_row(out, 1, r1);
  store_row(out, 2, r2);
  store_row(out, 3, r3);
}

// The diagonal (x, y, z, 1) with the last column (t, 1).
inline void store_affine_diagonal(mat4_t& out, float x, float y, float z, const float* t) {
  const float tx = t ? t[0] : 0.0f;
  const float ty = t ? t[1] : 0.0f;
  const float tz = t ? t[2] : 0.0f;
  store_rows(out, _mm_setr_ps(x, 0.0f, 0.0f, tx), _mm_setr_ps(0.0f, y, 0.0f, ty), _mm_setr_ps(0.0f, 0.0f, z, tz),
             _mm_setr_ps(0.0f, 0.0f, 0.0f, 1.0f));
}

// The columns of m: c[k] = (m[k], m[4 + k], m[8 + k], m[12 + k]).
struct columns_t {
  __m128 c[4];
};

inline columns_t columns_of(const mat4_t& m) {
  columns_t t = {{load_row(m, 0), load_row(m, 1), load_row(m, 2), load_row(m, 3)}};
  _MM_TRANSPOSE4_PS(t.c[0], t.c[1], t.c[2], t.c[3]);
  return t;
}

// (x, y, z) of a vec3_t, reading exactly its 12 bytes.
struct xyz_t {
  __m128 x, y, z;
};

inline xyz_t splat(const unsigned char* p) {
  const float* f = reinterpret_cast<const float*>(p);
  return {_mm_set1_ps(f[0]), _mm_set1_ps(f[1]), _mm_set1_ps(f[2])};
}

// Writes the low three lanes of v as a vec3_t (12 bytes).
inline void store_xyz(unsigned char* p, __m128 v) {
  float* f = reinterpret_cast<float*>(p);
  _mm_storel_pi(reinterpret_cast<__m64*>(f), v);
  _mm_store_ss(f + 2, _mm_movehl_ps(v, v));
}

// Every row of M applied to (p, w): the sums run over the columns in the
// order 0..3, as the portable row dot product does; the last term is the
// product of column 3 with w (1 for points, 0 for directions), kept even when
// w is 0 so that signed zeros and non-finite values come out alike.
inline __m128 apply(const columns_t& m, const xyz_t& p, __m128 w) {
  __m128 s = _mm_add_ps(_mm_mul_ps(m.c[0], p.x), _mm_mul_ps(m.c[1], p.y));
  s = _mm_add_ps(s, _mm_mul_ps(m.c[2], p.z));
  return _mm_add_ps(s, _mm_mul_ps(m.c[3], w));
}

// q times 1 / q.w (a true division, as the portable routines do), or q as it
// is when q.w is 0.
inline __m128 divide_by_last_unless_zero(__m128 q) {
  const __m128 w = _mm_shuffle_ps(q, q, _MM_SHUFFLE(3, 3, 3, 3));
  if (_mm_cvtss_f32(w) == 0.0f) return q;
  return _mm_mul_ps(q, _mm_div_ps(_mm_set1_ps(1.0f), w));
}

// Every vec3_t of in (at in_stride bytes) as the point (v, 1) or the
// direction (v, 0) through m, projected (divided by the fourth row's result
// unless it is 0) or not, to out (at out_stride bytes). Each element is read
// whole before its result is written, so in may be out.
template <bool point, bool project>
void transform(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
               std::size_t in_stride) {
  const columns_t mc = columns_of(m);
  const __m128 w = _mm_set1_ps(point ? 1.0f : 0.0f);
  auto* dst = static_cast<unsigned char*>(out);
  const auto* src = static_cast<const unsigned char*>(in);
  for (std::size_t i = 0; i < count; ++i, dst += out_stride, src += in_stride) {
    const __m128 q = apply(mc, splat(src), w);
    store_xyz(dst, project ? divide_by_last_unless_zero(q) : q);
  }
}

}  // namespace

void mat4_identity(mat4_t& out) { store_affine_diagonal(out, 1.0f, 1.0f, 1.0f, nullptr); }

void mat4_translation(mat4_t& out, const vec3_t& v) { store_affine_diagonal(out, 1.0f, 1.0f, 1.0f, v.c); }

void mat4_scale(mat4_t& out, const vec3_t& v) { store_affine_diagonal(out, v[0], v[1], v[2], nullptr); }

void mat4_transpose_inplace(mat4_t& m) { sse::mat4_transpose(m, m); }

void mat4_transpose(mat4_t& out, const mat4_t& m) {
  const columns_t t = columns_of(m);
  store_rows(out, t.c[0], t.c[1], t.c[2], t.c[3]);
}

void mat4_mul(mat4_t& out, const mat4_t& a, const mat4_t& b) {
  // Row r of the result is the sum over k of b(r, k) times row k of a.
  const __m128 a0 = load_row(a, 0), a1 = load_row(a, 1), a2 = load_row(a, 2), a3 = load_row(a, 3);
  __m128 rows[4];
  for (unsigned r = 0; r < 4; ++r) {
    const float* br = &b[r * 4];
    __m128 s = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(br[0]), a0), _mm_mul_ps(_mm_set1_ps(br[1]), a1));
    s = _mm_add_ps(s, _mm_mul_ps(_mm_set1_ps(br[2]), a2));
    rows[r] = _mm_add_ps(s, _mm_mul_ps(_mm_set1_ps(br[3]), a3));
  }
  store_rows(out, rows[0], rows[1], rows[2], rows[3]);
}

void transform_points_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                           std::size_t in_stride) {
  transform<true, true>(out, in, m, count, out_stride, in_stride);
}

void transform_dirs_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                         std::size_t in_stride) {
  transform<false, true>(out, in, m, count, out_stride, in_stride);
}

void transform_points(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                      std::size_t in_stride) {
  transform<true, false>(out, in, m, count, out_stride, in_stride);
}

void transform_dirs(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                    std::size_t in_stride) {
  transform<false, false>(out, in, m, count, out_stride, in_stride);
}

}  // namespace keln::sse

#endif

namespace keln {

void mat4_install_for_features(std::uint32_t features) {
#if defined(__SSE__)
  constexpr std::uint32_t needed = CPU_FEAT_FPU | CPU_FEAT_SSE;
  if ((features & needed) != needed) return;
  g_mat4.mat4_identity = &sse::mat4_identity;
  g_mat4.mat4_translation = &sse::mat4_translation;
  g_mat4.mat4_scale = &sse::mat4_scale;
  g_mat4.mat4_transpose_inplace = &sse::mat4_transpose_inplace;
  g_mat4.mat4_transpose = &sse::mat4_transpose;
  g_mat4.mat4_mul = &sse::mat4_mul;
  g_mat4.mat4_mul_alias_a = &sse::mat4_mul;
  g_mat4.mat4_mul_alias_b = &sse::mat4_mul;
  g_mat4.transform_points_proj = &sse::transform_points_proj;
  g_mat4.transform_points = &sse::transform_points;
  g_mat4.transform_dirs = &sse::transform_dirs;
  g_mat4.transform_dirs_proj = &sse::transform_dirs_proj;
#else
  (void)features;
#endif
}

}  // namespace keln
