#include "kelncore/math/quat.h"

#include <cmath>

namespace keln {

void quat_mul(quat_t& out, const quat_t& a, const quat_t& b) {
  const float aw = a[0], ax = a[1], ay = a[2], az = a[3];
  const float bw = b[0], bx = b[1], by = b[2], bz = b[3];
  out[0] = aw * bw - ax * bx - ay * by - az * bz;
  out[1] = aw * bx + ax * bw + ay * bz - az * by;
  out[2] = aw * by - ax * bz + ay * bw + az * bx;
  out[3] = aw * bz + ax * by - ay * bx + az * bw;
}

void quat_mul_inplace(quat_t& a, const quat_t& b) { quat_mul(a, a, b); }

void quat_conjugate(quat_t& q) {
  q[1] = -q[1];
  q[2] = -q[2];
  q[3] = -q[3];
}

void quat_negate(quat_t& q) {
  for (float& c : q.c) c = -c;
}

float quat_distance(const quat_t& a, const quat_t& b) {
  float sum = 0.0f;
  for (unsigned i = 0; i < 4; ++i) {
    const float d = a[i] - b[i];
    sum += d * d;
  }
  return std::sqrt(sum);
}

void quat_to_mat4(mat4_t& out, const quat_t& q) {
  const float w = q[0], x = q[1], y = q[2], z = q[3];
  out = mat4_t(1.0f);
  out[0] = 1.0f - 2.0f * (y * y + z * z);
  out[1] = 2.0f * (x * y - w * z);
  out[2] = 2.0f * (x * z + w * y);
  out[4] = 2.0f * (x * y + w * z);
  out[5] = 1.0f - 2.0f * (x * x + z * z);
  out[6] = 2.0f * (y * z - w * x);
  out[8] = 2.0f * (x * z - w * y);
  out[9] = 2.0f * (y * z + w * x);
  out[10] = 1.0f - 2.0f * (x * x + y * y);
}

void quat_to_mat4_transposed(mat4_t& out, const quat_t& q) {
  mat4_t m;
  quat_to_mat4(m, q);
  out = mat4_t(1.0f);
  for (unsigned r = 0; r < 3; ++r)
    for (unsigned c = 0; c < 3; ++c) out.at(r, c) = m.at(c, r);
}

void quat_to_mat4_both(mat4_t& out, mat4_t& out_transposed, const quat_t& q) {
  quat_to_mat4(out, q);
  quat_to_mat4_transposed(out_transposed, q);
}

vec3_t quat_rotate(const quat_t& q, const vec3_t& v) {
  const float w = q[0], ux = q[1], uy = q[2], uz = q[3];
  const float a = w * w - 0.5f;
  const float d = ux * v[0] + uy * v[1] + uz * v[2];
  const float cx = uy * v[2] - uz * v[1];
  const float cy = uz * v[0] - ux * v[2];
  const float cz = ux * v[1] - uy * v[0];
  return vec3_t{{2.0f * (a * v[0] + d * ux + w * cx),
                 2.0f * (a * v[1] + d * uy + w * cy),
                 2.0f * (a * v[2] + d * uz + w * cz)}};
}

quat_t quat_from_axis_angle(const vec3_t& axis, float angle) {
  vec3_t n = axis;
  vec3_normalize(n);
  const float half = angle * 0.5f;
  const float s = std::sin(half);
  return quat_t{{std::cos(half), n[0] * s, n[1] * s, n[2] * s}};
}

quat_t quat_from_angles(const vec3_t& degrees) {
  const quat_t qy = quat_from_axis_angle(vec3_t{{0.0f, 1.0f, 0.0f}}, degrees[0] * degrees_to_radians);
  const quat_t qx = quat_from_axis_angle(vec3_t{{1.0f, 0.0f, 0.0f}}, degrees[1] * degrees_to_radians);
  const quat_t qz = quat_from_axis_angle(vec3_t{{0.0f, 0.0f, 1.0f}}, degrees[2] * degrees_to_radians);
  quat_t q;
  quat_mul(q, qy, qx);
  quat_mul_inplace(q, qz);
  return q;
}

void vec3_normalize(vec3_t& v) {
  const float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  for (float& c : v.c) c /= len;
}

}  // namespace keln
