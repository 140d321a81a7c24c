// An 8-bit RGB image read back from an X window, for checking what the viewer
// drew.
#pragma once

#include <cstdint>
#include <vector>

namespace keln::velmscope::testing {

struct rgb_t {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;

  bool operator==(const rgb_t& other) const { return r == other.r && g == other.g && b == other.b; }
};

// Pixels row by row from the top-left corner.
struct rgb_image_t {
  int width = 0;
  int height = 0;
  std::vector<rgb_t> pixels;

  bool empty() const { return pixels.empty(); }
  // (x, y) must lie inside the image.
  const rgb_t& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The 8-bit value OpenGL writes for a colour component c in [0, 1].
inline std::uint8_t colour_byte(float c) { return static_cast<std::uint8_t>(c * 255.0f + 0.5f); }

// True when every component of a differs from b by at most tolerance.
inline bool near_colour(const rgb_t& a, const rgb_t& b, int tolerance = 2) {
  auto close = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
  return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

}  // namespace keln::velmscope::testing
