#pragma once
// The figures of one measured animation, and of all of them together: one
// row of the table, one object of the JSON document.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fit_character.h"
#include "key_errors.h"
#include "playback_error.h"

namespace keln::velmfit {

struct figures_t {
  std::string name;
  std::uint32_t channels = 0;
  std::uint32_t keys = 0;          // keys of the longest channel (not part of a total)
  double duration = 0.0;           // of the longest channel; a total sums them
  std::size_t keyframe_bytes = 0;  // 64 per key
  std::size_t bspline_bytes = 0;   // control points and knots, 4 per float
  std::size_t cache_bytes = 0;     // kept beside the curves for the speed of playback; not in the ratio
  double fit_ms = 0.0;
  key_errors_t key_errors;          // largest squared errors at the keys
  double largest = 0.0;             // largest joint distance between the playbacks, document units
  double mean = 0.0;                // mean joint distance, document units
  double largest_percent = 0.0;     // of the rest height; NaN when the rest height is 0
  double mean_percent = 0.0;        // of the rest height; NaN when the rest height is 0
  std::string worst_bone;           // where largest occurs; "-" when nowhere
  std::string worst_animation;      // a total: the animation of largest; a row: its own name
  double worst_time = 0.0;          // when largest occurs (rows only)
  double rest_height = 0.0;         // rows only
  std::uint64_t joint_samples = 0;  // the weight of mean in a total

  // keyframe_bytes / bspline_bytes; NaN when there are no B-spline bytes.
  double ratio() const;
};

// The figures of animation index of character, its playback error measured
// (measure_playback) into error, which the plots use.
figures_t measure_animation(fit_character_t& character, std::size_t index, playback_error_t& error);

// The total of rows: sums of channels, durations, bytes (of each kind) and fit times; the
// largest of the key errors, of the largest distances (with their bone and
// animation) and of the largest percentages; the means weighted by joint
// samples. No keys, worst time or rest height.
figures_t total_of(const std::vector<figures_t>& rows);

}  // namespace keln::velmfit
