#include "velmscope/projections.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/tolerances.h"

namespace keln::velmscope {
namespace {

// x and y of (x, y, z, 1) under m (row-major, column vectors) after the
// division by w, and the depth.
std::array<float, 3> project(const float m[16], float x, float y, float z) {
  const float w = m[12] * x + m[13] * y + m[14] * z + m[15];
  return {(m[0] * x + m[1] * y + m[2] * z + m[3]) / w, (m[4] * x + m[5] * y + m[6] * z + m[7]) / w,
          (m[8] * x + m[9] * y + m[10] * z + m[11]) / w};
}

// The overlay's 1024 x 768 pixels from the top-left corner fill the
// viewport; the scene is a symmetric frustum of 20 degrees, aspect ratio 1,
// depths 0.1 to 5000.
TEST(projections, the_overlay_maps_top_down_and_the_scene_is_the_twenty_degree_frustum) {
  float overlay[16], scene[16];
  overlay_projection(overlay);
  scene_projection(scene);
  const float edge = 6.0f * std::tan(10.0f * 0.017453293f);
  const struct {
    const float* m;
    float x, y, z;
    std::array<float, 3> expected;
  } rows[] = {{overlay, 0, 0, 0, {-1, 1, 0}},          {overlay, 1024, 768, 0, {1, -1, 0}},
              {scene, 0, 0, -0.1f, {0, 0, -1}},       {scene, 0, 0, -5000.0f, {0, 0, 1}},
              {scene, edge, -edge, -6.0f, {1, -1, 0.966706f}}};  // (f + n) / (f - n) + 2 f n / ((f - n) z)
  for (const auto& row : rows)
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(project(row.m, row.x, row.y, row.z)[i], row.expected[i], keln::test::tol_chain) << row.x << " " << i;
}

}  // namespace
}  // namespace keln::velmscope
