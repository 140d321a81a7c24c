// The difference colouring's scale: blue, yellow at half the full scale, red
// from the full scale on.
#include "velmscope/difference_colours.h"

#include <gtest/gtest.h>

namespace keln::velmscope {
namespace {

constexpr float colour_tolerance = 1e-6f;
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
  array_dyn_t<colour_t> colours;
  colour_differences(colours, coloured, reference, 0.04f, alpha);
  ASSERT_EQ(colours.size(), coloured.size());
  for (std::uint32_t v = 0; v < colours.size(); ++v) {
    SCOPED_TRACE(cases[v].distance);
    EXPECT_NEAR(colours[v].r, cases[v].colour.r, colour_tolerance);
    EXPECT_NEAR(colours[v].g, cases[v].colour.g, colour_tolerance);
    EXPECT_NEAR(colours[v].b, cases[v].colour.b, colour_tolerance);
    EXPECT_EQ(colours[v].a, alpha);
  }
}

}  // namespace
}  // namespace keln::velmscope
