// The difference colouring's scale: blue, yellow at half the full scale, red
// from the full scale on.
#include "velmscope/difference_colours.h"

#include <gtest/gtest.h>

namespace keln::velmscope {
namespace {

constexpr float colour_tolerance = 1e-6f;
constexpr int byte_tolerance = 1;  // a packed component may round either way
constexpr float alpha = 0.6f;

struct scale_case_t {
  float distance;  // with a full scale of 0.04
  colour_t colour;
};

TEST(difference_colours, the_scale_runs_from_blue_through_yellow_to_red) {
  const scale_case_t cases[] = {
      {0.0f, {0.2f, 0.2f, 1.0f, alpha}},  {0.01f, {0.6f, 0.6f, 0.5f, alpha}}, {0.02f, {1.0f, 1.0f, 0.0f, alpha}},
      {0.03f, {1.0f, 0.5f, 0.0f, alpha}}, {0.04f, {1.0f, 0.0f, 0.0f, alpha}}, {1.0f, {1.0f, 0.0f, 0.0f, alpha}},
  };
  array_dyn_t<vec3_t> coloured, reference;
  for (const scale_case_t& c : cases) {
    coloured.push_back(vec3_t{{0.0f, c.distance, 0.0f}});
    reference.push_back(vec3_t{{0.0f, 0.0f, 0.0f}});
  }
  // Six vertices: four coloured together, two one by one.
  array_dyn_t<vertex_colour_t> colours;
  colour_differences(colours, coloured, reference, 0.04f, alpha);
  ASSERT_EQ(colours.size(), coloured.size());
  for (std::uint32_t v = 0; v < colours.size(); ++v) {
    SCOPED_TRACE(cases[v].distance);
    const colour_t expected = cases[v].colour;
    const colour_t scale = difference_colour(cases[v].distance / 0.04f, alpha);
    EXPECT_NEAR(scale.r, expected.r, colour_tolerance);
    EXPECT_NEAR(scale.g, expected.g, colour_tolerance);
    EXPECT_NEAR(scale.b, expected.b, colour_tolerance);
    EXPECT_EQ(scale.a, alpha);
    const float components[4] = {expected.r, expected.g, expected.b, expected.a};
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(static_cast<int>((colours[v] >> (8 * c)) & 0xFF), components[c] * 255.0f, byte_tolerance)
          << "component " << c;
  }
}

}  // namespace
}  // namespace keln::velmscope
