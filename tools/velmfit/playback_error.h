#pragma once
// How far the B-spline playback strays from the keyframe playback: both
// motions of an animation played through their instances' update, side by
// side, and compared by the model-space positions of the joints.

#include <cstdint>
#include <vector>

#include "fit_character.h"
#include "velm/bone_node.h"
#include "velm/playback_difference.h"

namespace keln::velmfit {

// Largest and mean distance over the joints at each sampled time.
struct playback_trace_t {
  std::vector<float> times;    // in the animation document's time unit
  std::vector<float> largest;  // document units
  std::vector<float> mean;     // document units
};

struct playback_error_t {
  double largest = 0.0;                      // document units
  double mean = 0.0;                         // over every moved joint at every sample
  std::uint32_t worst_bone = velm::no_bone;  // where largest occurs (the earliest such)
  float worst_time = 0.0f;                   // when it occurs
  std::uint64_t joint_samples = 0;           // moved joints times samples: the weight of mean
  std::vector<double> bone_largest;          // per bone, the largest distance of its joint
  playback_trace_t trace;
};

// Plays animation index of character alone (play_only) at four samples per
// key interval of its longest channel over one loop, t = 0, step, ...,
// duration - step (a single sample at 0 when it has fewer than 2 keys or no
// positive duration), setting both motions' time to t and updating both
// instances. At every sample the joints are compared by
// velm::playback_difference_t (a joint that is not a number in either
// playback is infinitely far off). Only moved joints count: bones driven by a
// channel of the animation and their descendants. With no bones every figure
// is 0.
playback_error_t measure_playback(fit_character_t& character, std::size_t index);

}  // namespace keln::velmfit
