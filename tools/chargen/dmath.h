// Double-precision vectors and rotations for modelling the characters.
//
// The generator builds its surfaces and motions in double precision and
// rounds to float only when it writes documents, so that the shapes do not
// depend on the order in which float errors pile up. Conventions match the
// runtime maths: right-handed, y up, column vectors, quaternions (w, x, y, z).
#pragma once

#include <cmath>

namespace keln::chargen {

struct dvec3 {
  double x = 0, y = 0, z = 0;
};

inline dvec3 operator+(dvec3 a, dvec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline dvec3 operator-(dvec3 a, dvec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline dvec3 operator-(dvec3 a) { return {-a.x, -a.y, -a.z}; }
inline dvec3 operator*(dvec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline dvec3 operator*(double s, dvec3 a) { return a * s; }
inline dvec3& operator+=(dvec3& a, dvec3 b) { return a = a + b; }
inline double dot(dvec3 a, dvec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline dvec3 cross(dvec3 a, dvec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(dvec3 a) { return std::sqrt(dot(a, a)); }
// Unit vector along a; a zero vector stays zero.
inline dvec3 normalized(dvec3 a) {
  double l = length(a);
  return l > 0 ? a * (1.0 / l) : a;
}
inline dvec3 lerp(dvec3 a, dvec3 b, double t) { return a + (b - a) * t; }

// Unit quaternion (w, x, y, z) used as a rotation.
struct dquat {
  double w = 1, x = 0, y = 0, z = 0;
};

// Hamilton product: the rotation b applied first, then a.
inline dquat operator*(dquat a, dquat b) {
  return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
          a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}
inline dquat conjugate(dquat q) { return {q.w, -q.x, -q.y, -q.z}; }

// Rotation by angle radians about axis (any length but zero).
inline dquat axis_angle(dvec3 axis, double angle) {
  dvec3 n = normalized(axis);
  double s = std::sin(angle * 0.5);
  return {std::cos(angle * 0.5), n.x * s, n.y * s, n.z * s};
}
inline dquat rot_x(double a) { return axis_angle({1, 0, 0}, a); }
inline dquat rot_y(double a) { return axis_angle({0, 1, 0}, a); }
inline dquat rot_z(double a) { return axis_angle({0, 0, 1}, a); }

inline dvec3 rotate(dquat q, dvec3 v) {
  dvec3 u{q.x, q.y, q.z};
  dvec3 t = cross(u, v) * 2.0;
  return v + t * q.w + cross(u, t);
}

// Spherical interpolation from a (t = 0) to b (t = 1) along the shorter arc.
dquat slerp(dquat a, dquat b, double t);

// Rotation that maps the orthonormal frame (from_dir, from_up) onto
// (to_dir, to_up); the up vectors are made orthogonal to their directions
// first, so they only fix the twist about the direction.
dquat frame_rotation(dvec3 from_dir, dvec3 from_up, dvec3 to_dir, dvec3 to_up);

constexpr double pi = 3.14159265358979323846;

// Degrees to radians.
constexpr double deg(double d) { return d * (pi / 180); }

}  // namespace keln::chargen
