#include "kelncore/math/mat4_portable.h"

#include "kelncore/math/quat.h"

namespace keln::portable {

namespace {

// Element (r, c) of "a then b": row r of b times column c of a (a0..a3),
// summed in the order k = 0..3.
inline float product_element(const float* b_row, float a0, float a1, float a2, float a3) {
  return b_row[0] * a0 + b_row[1] * a1 + b_row[2] * a2 + b_row[3] * a3;
}

// Strided walk over count input and output elements.
template <typename In, typename Out, typename Fn>
void for_each_strided(void* out, const void* in, std::size_t count, std::size_t out_stride, std::size_t in_stride,
                      Fn fn) {
  auto* dst = static_cast<unsigned char*>(out);
  const auto* src = static_cast<const unsigned char*>(in);
  for (std::size_t i = 0; i < count; ++i, dst += out_stride, src += in_stride)
    fn(*reinterpret_cast<Out*>(dst), *reinterpret_cast<const In*>(src));
}

// Row r of m applied to (p, w).
inline float row_dot(const mat4_t& m, unsigned r, const vec3_t& p, float w) {
  return m[r * 4] * p[0] + m[r * 4 + 1] * p[1] + m[r * 4 + 2] * p[2] + m[r * 4 + 3] * w;
}

// Rows 0-2 of M applied to (v, w) for points (w = 1) or directions (w = 0);
// with project, divided by row 3 applied to (v, w) unless that is 0.
void transform_vec3s(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                     std::size_t in_stride, float w, bool project) {
  for_each_strided<vec3_t, vec3_t>(out, in, count, out_stride, in_stride, [&](vec3_t& o, const vec3_t& v) {
    vec3_t q{{row_dot(m, 0, v, w), row_dot(m, 1, v, w), row_dot(m, 2, v, w)}};
    const float d = project ? row_dot(m, 3, v, w) : 0.0f;
    if (d != 0.0f) {
      const float inv = 1.0f / d;
      for (float& c : q.c) c *= inv;
    }
    o = q;
  });
}

}  // namespace

void mat4_identity(mat4_t& out) { out = mat4_t(1.0f); }

void mat4_translation(mat4_t& out, const vec3_t& v) {
  out = mat4_t(1.0f);
  out[3] = v[0];
  out[7] = v[1];
  out[11] = v[2];
}

void mat4_translation_neg(mat4_t& out, const vec3_t& v) {
  portable::mat4_translation(out, vec3_t{{-v[0], -v[1], -v[2]}});
}

void mat4_scale(mat4_t& out, const vec3_t& v) {
  out = mat4_t(1.0f);
  out[0] = v[0];
  out[5] = v[1];
  out[10] = v[2];
}

void mat4_scale_uniform(mat4_t& out, float s) { portable::mat4_scale(out, vec3_t{{s, s, s}}); }

void mat4_rotation_euler(mat4_t& out, const vec3_t& degrees) { quat_to_mat4(out, quat_from_angles(degrees)); }

void mat4_rotation_euler_inv(mat4_t& out, const vec3_t& degrees) {
  quat_to_mat4_transposed(out, quat_from_angles(degrees));
}

void mat4_from_quat(mat4_t& out, const vec4_t& q) { quat_to_mat4(out, q); }

void mat4_reflection(mat4_t& out, const vec4_t& plane) {
  out = mat4_t(1.0f);
  for (unsigned r = 0; r < 3; ++r) {
    for (unsigned c = 0; c < 3; ++c) out.at(r, c) -= 2.0f * plane[r] * plane[c];
    out.at(r, 3) = -2.0f * plane[3] * plane[r];
  }
}

void transform_points_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                           std::size_t in_stride) {
  transform_vec3s(out, in, m, count, out_stride, in_stride, 1.0f, true);
}

void transform_points(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                      std::size_t in_stride) {
  transform_vec3s(out, in, m, count, out_stride, in_stride, 1.0f, false);
}

void transform_points_depth(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                            std::size_t in_stride) {
  for_each_strided<vec3_t, float>(out, in, count, out_stride, in_stride,
                                  [&m](float& o, const vec3_t& p) { o = row_dot(m, 2, p, 1.0f); });
}

void transform_dirs_proj(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                         std::size_t in_stride) {
  transform_vec3s(out, in, m, count, out_stride, in_stride, 0.0f, true);
}

void transform_dirs(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                    std::size_t in_stride) {
  transform_vec3s(out, in, m, count, out_stride, in_stride, 0.0f, false);
}

void transform_vec4(void* out, const void* in, const mat4_t& m, std::size_t count, std::size_t out_stride,
                    std::size_t in_stride) {
  for_each_strided<vec4_t, vec4_t>(out, in, count, out_stride, in_stride, [&m](vec4_t& o, const vec4_t& v) {
    const vec3_t p{{v[0], v[1], v[2]}};
    o = vec4_t{{row_dot(m, 0, p, v[3]), row_dot(m, 1, p, v[3]), row_dot(m, 2, p, v[3]), row_dot(m, 3, p, v[3])}};
  });
}

void mat4_mul(mat4_t& out, const mat4_t& a, const mat4_t& b) {
  for (unsigned r = 0; r < 4; ++r)
    for (unsigned c = 0; c < 4; ++c) out[r * 4 + c] = product_element(&b[r * 4], a[c], a[4 + c], a[8 + c], a[12 + c]);
}

void mat4_mul_alias_a(mat4_t& out, const mat4_t& a, const mat4_t& b) {
  for (unsigned c = 0; c < 4; ++c) {
    const float a0 = a[c], a1 = a[4 + c], a2 = a[8 + c], a3 = a[12 + c];
    for (unsigned r = 0; r < 4; ++r) out[r * 4 + c] = product_element(&b[r * 4], a0, a1, a2, a3);
  }
}

void mat4_mul_alias_b(mat4_t& out, const mat4_t& a, const mat4_t& b) {
  for (unsigned r = 0; r < 4; ++r) {
    const float row[4] = {b[r * 4], b[r * 4 + 1], b[r * 4 + 2], b[r * 4 + 3]};
    for (unsigned c = 0; c < 4; ++c) out[r * 4 + c] = product_element(row, a[c], a[4 + c], a[8 + c], a[12 + c]);
  }
}

void mat4_transpose_inplace(mat4_t& m) {
  for (unsigned r = 0; r < 4; ++r)
    for (unsigned c = r + 1; c < 4; ++c) {
      const float t = m.at(r, c);
      m.at(r, c) = m.at(c, r);
      m.at(c, r) = t;
    }
}

void mat4_transpose(mat4_t& out, const mat4_t& m) {
  for (unsigned r = 0; r < 4; ++r)
    for (unsigned c = 0; c < 4; ++c) out.at(r, c) = m.at(c, r);
}

bool mat4_inverse(mat4_t& out, const mat4_t& m) {
  // 2 x 2 minors of the top two rows (s) and of the bottom two rows (c).
  const float s0 = m[0] * m[5] - m[4] * m[1];
  const float s1 = m[0] * m[6] - m[4] * m[2];
  const float s2 = m[0] * m[7] - m[4] * m[3];
  const float s3 = m[1] * m[6] - m[5] * m[2];
  const float s4 = m[1] * m[7] - m[5] * m[3];
  const float s5 = m[2] * m[7] - m[6] * m[3];
  const float c5 = m[10] * m[15] - m[14] * m[11];
  const float c4 = m[9] * m[15] - m[13] * m[11];
  const float c3 = m[9] * m[14] - m[13] * m[10];
  const float c2 = m[8] * m[15] - m[12] * m[11];
  const float c1 = m[8] * m[14] - m[12] * m[10];
  const float c0 = m[8] * m[13] - m[12] * m[9];

  mat4_t adj;
  adj[0] = m[5] * c5 - m[6] * c4 + m[7] * c3;
  adj[1] = -m[1] * c5 + m[2] * c4 - m[3] * c3;
  adj[2] = m[13] * s5 - m[14] * s4 + m[15] * s3;
  adj[3] = -m[9] * s5 + m[10] * s4 - m[11] * s3;
  adj[4] = -m[4] * c5 + m[6] * c2 - m[7] * c1;
  adj[5] = m[0] * c5 - m[2] * c2 + m[3] * c1;
  adj[6] = -m[12] * s5 + m[14] * s2 - m[15] * s1;
  adj[7] = m[8] * s5 - m[10] * s2 + m[11] * s1;
  adj[8] = m[4] * c4 - m[5] * c2 + m[7] * c0;
  adj[9] = -m[0] * c4 + m[1] * c2 - m[3] * c0;
  adj[10] = m[12] * s4 - m[13] * s2 + m[15] * s0;
  adj[11] = -m[8] * s4 + m[9] * s2 - m[11] * s0;
  adj[12] = -m[4] * c3 + m[5] * c1 - m[6] * c0;
  adj[13] = m[0] * c3 - m[1] * c1 + m[2] * c0;
  adj[14] = -m[12] * s3 + m[13] * s1 - m[14] * s0;
  adj[15] = m[8] * s3 - m[9] * s1 + m[10] * s0;

  const float det = adj[0] * m[0] + adj[4] * m[1] + adj[8] * m[2] + adj[12] * m[3];
  if (det == 0.0f) {
    out = adj;
    return false;
  }
  for (unsigned i = 0; i < 16; ++i) out[i] = adj[i] / det;
  return true;
}

}  // namespace keln::portable
