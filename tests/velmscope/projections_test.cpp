#include "velmscope/projections.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/tolerances.h"

namespace keln::velmscope {
namespace {

// Normalised device coordinates of (x, y, z, 1) under m (row-major, column
// vectors).
struct ndc_t {
  float x, y, z;
};
ndc_t project(const float m[16], float x, float y, float z) {
  const float w = m[12] * x + m[13] * y + m[14] * z + m[15];
  return {(m[0] * x + m[1] * y + m[2] * z + m[3]) / w, (m[4] * x + m[5] * y + m[6] * z + m[7]) / w,
          (m[8] * x + m[9] * y + m[10] * z + m[11]) / w};
}

// Overlay space is 1024 x 768 pixels from the top-left corner.
TEST(projections, the_overlay_maps_onto_the_viewport_top_down) {
  float m[16];
  overlay_projection(m);
  const struct {
    float x, y;
    ndc_t expected;
  } rows[] = {{0, 0, {-1, 1, 0}}, {1024, 768, {1, -1, 0}}, {512, 384, {0, 0, 0}}};
  for (const auto& row : rows) {
    const ndc_t p = project(m, row.x, row.y, 0);
    EXPECT_NEAR(p.x, row.expected.x, keln::test::tol_exact);
    EXPECT_NEAR(p.y, row.expected.y, keln::test::tol_exact);
    EXPECT_NEAR(p.z, row.expected.z, keln::test::tol_exact);
  }
}

// A symmetric frustum of 20 degrees, aspect ratio 1, depths 0.1 to 5000.
TEST(projections, the_scene_is_the_twenty_degree_frustum) {
  float m[16];
  scene_projection(m);
  EXPECT_NEAR(project(m, 0, 0, -0.1f).z, -1.0f, keln::test::tol_chain);
  EXPECT_NEAR(project(m, 0, 0, -5000.0f).z, 1.0f, keln::test::tol_chain);
  const float edge = 6.0f * std::tan(10.0f * 0.017453293f);
  EXPECT_NEAR(project(m, edge, 0, -6.0f).x, 1.0f, keln::test::tol_float);
  EXPECT_NEAR(project(m, 0, -edge, -6.0f).y, -1.0f, keln::test::tol_float);
  EXPECT_NEAR(project(m, 0, 0, -6.0f).x, 0.0f, keln::test::tol_float);
}

}  // namespace
}  // namespace keln::velmscope
