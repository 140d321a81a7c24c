#pragma once
// How closely the fitted curves meet the keys they were fitted to.

#include "velm/bspline_motion.h"
#include "velm/motion.h"

namespace keln::velmfit {

// Largest squared distance between a key and its curve, over every key of
// every channel, per curve kind: the quantity the fit holds below its
// tolerance wherever it has control points to spare. Distances are summed
// over the components (3 for positions, in document units squared; 4 for
// rotation quaternions; 9 for stretch matrices), in float, with key k at the
// fit's parameter t_k = t_(k-1) + 1 / (K - 1).
struct key_errors_t {
  float position = 0.0f;
  float rotation = 0.0f;
  float stretch = 0.0f;
};

// bspline must have been fitted to keyframe (one channel per channel).
key_errors_t largest_key_errors(const velm::motion_t& keyframe, const velm::bspline_motion_t& bspline);

}  // namespace keln::velmfit
