#include "velmscope/difference_colours.h"

#include <gtest/gtest.h>

#include "support/tolerances.h"

namespace keln::velmscope {
namespace {

// Blue, yellow at half the full scale (0.04 here), red from the full scale
// on, packed as bytes r, g, b, a from the lowest; a packed component may
// round either way.
TEST(difference_colours, the_scale_runs_from_blue_through_yellow_to_red) {
  const struct {
    float distance, r, g, b;
  } cases[] = {{0.0f, 0.2f, 0.2f, 1.0f}, {0.01f, 0.6f, 0.6f, 0.5f}, {0.02f, 1.0f, 1.0f, 0.0f},
               {0.03f, 1.0f, 0.5f, 0.0f}, {0.04f, 1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f, 0.0f}};
  array_dyn_t<vec3_t> coloured, reference;
  for (const auto& c : cases) {
    coloured.push_back(vec3_t{{0.0f, c.distance, 0.0f}});
    reference.push_back(vec3_t{{0.0f, 0.0f, 0.0f}});
  }
  array_dyn_t<vertex_colour_t> colours;
  colour_differences(colours, coloured, reference, 0.04f, 0.6f);
  ASSERT_EQ(colours.size(), coloured.size());
  for (std::uint32_t v = 0; v < colours.size(); ++v) {
    const float expected[4] = {cases[v].r, cases[v].g, cases[v].b, 0.6f};
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(static_cast<int>((colours[v] >> (8 * c)) & 0xFF), expected[c] * 255.0f, keln::test::tol_colour_byte) << v << " " << c;
  }
}

}  // namespace
}  // namespace keln::velmscope
