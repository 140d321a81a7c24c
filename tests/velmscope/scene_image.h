// Reading the viewer's screenshots: what the 3D view shows (the characters'
// skin and bones) and the overlay's value texts.
#pragma once

#include <vector>

#include "rgb_image.h"

namespace keln::velmscope::testing {

// The part of the window that only the 3D view draws into: below the
// overlay's lines and above its credit line.
constexpr int scene_top = 215;
constexpr int scene_bottom = 745;

// What the 3D view drew in the scene part of a screenshot, against a plain
// background of one colour.
struct scene_pixels_t {
  int count = 0;      // pixels that differ from the background
  int reddish = 0;    // of them, pixels with more red than green: a bone shows
                      // (the skin's colour has equal red and green)
  int min_x = 0;      // bounding box of the drawn pixels (valid when count > 0)
  int max_x = -1;
  int min_y = 0;
  int max_y = -1;
  double mean_x = 0;  // mean column of the drawn pixels

  int width() const { return max_x - min_x + 1; }
  int height() const { return max_y - min_y + 1; }
};

// Drawn pixels of columns [x0, x1) of the scene part.
scene_pixels_t scene_pixels(const rgb_image_t& image, const rgb_t& background, int x0 = 0, int x1 = -1);

// The green value text of the overlay line whose baseline is at y: the
// positions of its pixels, row by row from 10 rows above the baseline
// ((row - baseline + 10) * width + column), comparable between screenshots
// and between lines.
std::vector<int> overlay_value(const rgb_image_t& image, int baseline);

// Pixels drawn (not background) in both screenshots, each taken over its
// own background, and the mean absolute difference of their green
// components: about 0 where opaque surfaces cover the background, large
// where it shows through.
struct background_change_t {
  int pixels = 0;
  double mean_green_change = 0;
};
background_change_t background_change(const rgb_image_t& first, const rgb_t& first_background,
                                      const rgb_image_t& second, const rgb_t& second_background);

}  // namespace keln::velmscope::testing
