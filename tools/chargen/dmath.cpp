#include "dmath.h"

namespace keln::chargen {

namespace {

// Quaternion of a proper rotation matrix given by its three columns
// (the images of the x, y and z axes). Chooses the numerically largest
// component first so that no division by a tiny value occurs.
dquat from_columns(dvec3 cx, dvec3 cy, dvec3 cz) {
  double m00 = cx.x, m10 = cx.y, m20 = cx.z;
  double m01 = cy.x, m11 = cy.y, m21 = cy.z;
  double m02 = cz.x, m12 = cz.y, m22 = cz.z;
  double trace = m00 + m11 + m22;
  dquat q;
  if (trace > 0) {
    double s = std::sqrt(trace + 1.0) * 2;
    q = {0.25 * s, (m21 - m12) / s, (m02 - m20) / s, (m10 - m01) / s};
  } else if (m00 > m11 && m00 > m22) {
    double s = std::sqrt(1.0 + m00 - m11 - m22) * 2;
    q = {(m21 - m12) / s, 0.25 * s, (m01 + m10) / s, (m02 + m20) / s};
  } else if (m11 > m22) {
    double s = std::sqrt(1.0 + m11 - m00 - m22) * 2;
    q = {(m02 - m20) / s, (m01 + m10) / s, 0.25 * s, (m12 + m21) / s};
  } else {
    double s = std::sqrt(1.0 + m22 - m00 - m11) * 2;
    q = {(m10 - m01) / s, (m02 + m20) / s, (m12 + m21) / s, 0.25 * s};
  }
  return q;
}

// Columns of the orthonormal frame built on dir with the twist fixed by up.
void frame(dvec3 dir, dvec3 up, dvec3& c0, dvec3& c1, dvec3& c2) {
  c2 = normalized(dir);
  c1 = normalized(up - c2 * dot(up, c2));
  c0 = cross(c1, c2);
}

}  // namespace

dquat slerp(dquat a, dquat b, double t) {
  double c = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
  if (c < 0) {
    b = {-b.w, -b.x, -b.y, -b.z};
    c = -c;
  }
  double ka = 1 - t, kb = t;
  if (c < 0.9999) {
    double angle = std::acos(c), s = std::sin(angle);
    ka = std::sin((1 - t) * angle) / s;
    kb = std::sin(t * angle) / s;
  }
  dquat q{a.w * ka + b.w * kb, a.x * ka + b.x * kb, a.y * ka + b.y * kb, a.z * ka + b.z * kb};
  double len = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  return {q.w / len, q.x / len, q.y / len, q.z / len};
}

dquat frame_rotation(dvec3 from_dir, dvec3 from_up, dvec3 to_dir, dvec3 to_up) {
  dvec3 a0, a1, a2, b0, b1, b2;
  frame(from_dir, from_up, a0, a1, a2);
  frame(to_dir, to_up, b0, b1, b2);
  // R = B * A^T: the columns of R are the images of the unit axes.
  auto image = [&](dvec3 e) { return b0 * dot(a0, e) + b1 * dot(a1, e) + b2 * dot(a2, e); };
  return from_columns(image({1, 0, 0}), image({0, 1, 0}), image({0, 0, 1}));
}

}  // namespace keln::chargen
