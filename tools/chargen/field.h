// The implicit surface of a rig: every primitive's signed distance,
// combined by a smooth minimum so that neighbouring solids melt into one
// organic skin instead of meeting at creases.
#pragma once

#include <vector>

#include "rig.h"

namespace keln::chargen {

// Approximate signed distance from p to one primitive: negative inside,
// about the Euclidean distance near the surface.
double primitive_distance(const primitive_t& prim, dvec3 p);

class field_t {
 public:
  // blend: radius of the smooth minimum, in model units; larger values
  // give fuller joins (two touching solids swell by about 0.7 blend).
  field_t(const rig_t& rig, double blend);

  // Field value at p: negative inside the skin, positive outside.
  double value(dvec3 p) const;

  // Per bone, the distance from p to the nearest of its primitives
  // (a large value for bones without primitives); out is resized to the
  // bone count.
  void bone_distances(dvec3 p, std::vector<double>& out) const;

  // Box that holds every primitive, grown by margin on each side.
  void bounds(double margin, dvec3& lo, dvec3& hi) const;

 private:
  const rig_t& rig_;
  double blend_;
};

}  // namespace keln::chargen
