#include "velmscope/projections.h"

#include <gtest/gtest.h>

#include <cmath>

namespace keln::velmscope {
namespace {

constexpr float tolerance = 1e-6f;

struct clip_t {
  float x, y, z, w;
};

// m (row-major, column vectors) times (x, y, z, 1).
clip_t transform(const float m[16], float x, float y, float z) {
  return {m[0] * x + m[1] * y + m[2] * z + m[3], m[4] * x + m[5] * y + m[6] * z + m[7],
          m[8] * x + m[9] * y + m[10] * z + m[11], m[12] * x + m[13] * y + m[14] * z + m[15]};
}

TEST(OverlayProjection, MapsOverlaySpaceOntoTheViewportTopDown) {
  float m[16];
  overlay_projection(m);
  const clip_t top_left = transform(m, 0, 0, 0);
  EXPECT_NEAR(top_left.x, -1.0f, tolerance);
  EXPECT_NEAR(top_left.y, 1.0f, tolerance);
  EXPECT_NEAR(top_left.w, 1.0f, tolerance);
  const clip_t bottom_right = transform(m, 1024, 768, 0);
  EXPECT_NEAR(bottom_right.x, 1.0f, tolerance);
  EXPECT_NEAR(bottom_right.y, -1.0f, tolerance);
  const clip_t centre = transform(m, 512, 384, 0);
  EXPECT_NEAR(centre.x, 0.0f, tolerance);
  EXPECT_NEAR(centre.y, 0.0f, tolerance);
  EXPECT_NEAR(centre.z, 0.0f, tolerance);
}

TEST(OverlayProjection, MatchesTheOrthographicMatrix) {
  float m[16];
  overlay_projection(m);
  const float expected[16] = {2.0f / 1024, 0, 0, -1, 0, -2.0f / 768, 0, 1, 0, 0, -1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m[i], expected[i]) << i;
}

TEST(SceneProjection, IsTheSymmetricTwentyDegreeFrustum) {
  float m[16];
  scene_projection(m);
  const float n = 0.1f, f = 5000.0f;
  const float a = n * std::tan(10.0f * 0.017453293f);
  for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) EXPECT_EQ(m[i], 0.0f) << i;
  EXPECT_FLOAT_EQ(m[0], n / a);
  EXPECT_FLOAT_EQ(m[5], n / a);  // aspect ratio 1
  EXPECT_FLOAT_EQ(m[10], (f + n) / (n - f));
  EXPECT_FLOAT_EQ(m[11], 2 * f * n / (n - f));
  EXPECT_EQ(m[14], -1.0f);
}

TEST(SceneProjection, NearAndFarPlanesMapToTheDepthRange) {
  float m[16];
  scene_projection(m);
  const clip_t near_point = transform(m, 0, 0, -0.1f);
  EXPECT_NEAR(near_point.z / near_point.w, -1.0f, 1e-4f);
  const clip_t far_point = transform(m, 0, 0, -5000.0f);
  EXPECT_NEAR(far_point.z / far_point.w, 1.0f, 1e-4f);
  // A point on the 10-degree edge of the field of view lands on the border.
  const clip_t edge = transform(m, 6.0f * std::tan(10.0f * 0.017453293f), 0, -6.0f);
  EXPECT_NEAR(edge.x / edge.w, 1.0f, 1e-5f);
}

}  // namespace
}  // namespace keln::velmscope
