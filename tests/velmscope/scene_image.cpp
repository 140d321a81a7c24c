#include "scene_image.h"

#include <cstdlib>

namespace keln::velmscope::testing {

namespace {

const rgb_t value_green = {colour_byte(0.2f), 255, colour_byte(0.2f)};

// Some red over the green of the pixel: bones are red (1, 0.1, 0.1); the skin
// (0.2, 0.2, 1) lit by white light has equal red and green.
constexpr int red_margin = 12;

bool drawn(const rgb_t& pixel, const rgb_t& background) { return !near_colour(pixel, background, 3); }

}  // namespace

scene_pixels_t scene_pixels(const rgb_image_t& image, const rgb_t& background, int x0, int x1) {
  if (x1 < 0) x1 = image.width;
  scene_pixels_t result;
  double sum_x = 0;
  for (int y = scene_top; y < scene_bottom && y < image.height; ++y) {
    for (int x = x0; x < x1; ++x) {
      const rgb_t& pixel = image.at(x, y);
      if (!drawn(pixel, background)) continue;
      if (result.count == 0) {
        result.min_x = result.max_x = x;
        result.min_y = result.max_y = y;
      }
      ++result.count;
      sum_x += x;
      result.reddish += pixel.r > pixel.g + red_margin;
      if (x < result.min_x) result.min_x = x;
      if (x > result.max_x) result.max_x = x;
      if (y > result.max_y) result.max_y = y;
    }
  }
  if (result.count > 0) result.mean_x = sum_x / result.count;
  return result;
}

std::vector<int> overlay_value(const rgb_image_t& image, int baseline) {
  constexpr int value_x = 130;
  std::vector<int> positions;
  for (int y = baseline - 10; y < baseline + 4; ++y) {
    for (int x = value_x; x < image.width; ++x) {
      if (near_colour(image.at(x, y), value_green, 1)) positions.push_back((y - baseline + 10) * image.width + x);
    }
  }
  return positions;
}

background_change_t background_change(const rgb_image_t& first, const rgb_t& first_background,
                                      const rgb_image_t& second, const rgb_t& second_background) {
  background_change_t result;
  long sum = 0;
  for (int y = scene_top; y < scene_bottom; ++y) {
    for (int x = 0; x < first.width; ++x) {
      const rgb_t& a = first.at(x, y);
      const rgb_t& b = second.at(x, y);
      if (!drawn(a, first_background) || !drawn(b, second_background)) continue;
      ++result.pixels;
      sum += std::abs(a.g - b.g);
    }
  }
  if (result.pixels > 0) result.mean_green_change = static_cast<double>(sum) / result.pixels;
  return result;
}

}  // namespace keln::velmscope::testing
