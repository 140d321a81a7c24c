#include "field.h"

#include <algorithm>
#include <cmath>

namespace keln::chargen {

namespace {

constexpr double far_away = 1e9;

double capsule_distance(const primitive_t& c, dvec3 p) {
  dvec3 ab = c.b - c.a;
  double len2 = dot(ab, ab);
  double t = len2 > 0 ? std::clamp(dot(p - c.a, ab) / len2, 0.0, 1.0) : 0.0;
  return length(p - (c.a + ab * t)) - (c.ra + (c.rb - c.ra) * t);
}

// Distance bound of an ellipsoid: exact on the surface and at its axes,
// close enough elsewhere for a smooth union.
double ellipsoid_distance(const primitive_t& e, dvec3 p) {
  dvec3 q = rotate(conjugate(e.orientation), p - e.a);
  dvec3 r = e.radii;
  dvec3 s{q.x / r.x, q.y / r.y, q.z / r.z};
  dvec3 s2{q.x / (r.x * r.x), q.y / (r.y * r.y), q.z / (r.z * r.z)};
  double k0 = length(s), k1 = length(s2);
  if (k1 <= 0) return -std::min({r.x, r.y, r.z});
  return k0 * (k0 - 1.0) / k1;
}

void grow(dvec3& lo, dvec3& hi, dvec3 p, double r) {
  lo = {std::min(lo.x, p.x - r), std::min(lo.y, p.y - r), std::min(lo.z, p.z - r)};
  hi = {std::max(hi.x, p.x + r), std::max(hi.y, p.y + r), std::max(hi.z, p.z + r)};
}

}  // namespace

double primitive_distance(const primitive_t& prim, dvec3 p) {
  return prim.kind == primitive_t::capsule ? capsule_distance(prim, p) : ellipsoid_distance(prim, p);
}

field_t::field_t(const rig_t& rig, double blend) : rig_(rig), blend_(blend) {}

double field_t::value(dvec3 p) const {
  // Smooth minimum -k log(sum exp(-d/k)), shifted by the true minimum so
  // that the exponentials stay in range; independent of primitive order.
  const std::vector<primitive_t>& prims = rig_.primitives();
  double dmin = far_away;
  std::vector<double> d(prims.size());
  for (size_t i = 0; i < prims.size(); ++i) {
    d[i] = primitive_distance(prims[i], p);
    dmin = std::min(dmin, d[i]);
  }
  double sum = 0;
  for (double di : d) sum += std::exp(-(di - dmin) / blend_);
  return dmin - blend_ * std::log(sum);
}

void field_t::bone_distances(dvec3 p, std::vector<double>& out) const {
  out.assign(rig_.bones().size(), far_away);
  for (const primitive_t& prim : rig_.primitives())
    out[prim.bone] = std::min(out[prim.bone], primitive_distance(prim, p));
}

void field_t::bounds(double margin, dvec3& lo, dvec3& hi) const {
  lo = {far_away, far_away, far_away};
  hi = -lo;
  for (const primitive_t& prim : rig_.primitives()) {
    if (prim.kind == primitive_t::capsule) {
      grow(lo, hi, prim.a, prim.ra + margin);
      grow(lo, hi, prim.b, prim.rb + margin);
    } else {
      double r = std::max({prim.radii.x, prim.radii.y, prim.radii.z});
      grow(lo, hi, prim.a, r + margin);
    }
  }
}

}  // namespace keln::chargen
