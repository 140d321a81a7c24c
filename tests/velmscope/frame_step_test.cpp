#include "velmscope/frame_step.h"

#include <gtest/gtest.h>

#include "velmscope/velmscope_catalog.h"
#include "velmscope_fixture.h"

namespace keln::velmscope::testing {
namespace {

// The skin of the playback shown follows its motions; the characters turn
// with the frame step; the colouring colours every vertex of the B-spline
// skin while the skin shows.
TEST(frame_step, poses_and_skins_the_playback_shown) {
  for (const std::uint32_t mode : {RENDER_BSPLINE, RENDER_KEYFRAME}) {
    test_character_t character;
    velmscope_catalog_t catalog;
    message_log_t quiet;
    catalog.build(&character.entry(), 1);
    velmscope_model_t& model = catalog.model(0);
    viewer_settings_t settings;
    settings.render_mode = mode;
    frame_step_t step;
    step.prepare(model, settings);
    auto skin = [&]() -> const array_t<vec3_t>& {
      return mode == RENDER_BSPLINE ? model.mesh()->skinned_positions : model.keyframe_positions();
    };
    std::vector<vec3_t> at_start(&skin()[0], &skin()[0] + skin().size());
    model.advance(0.25f);
    step.prepare(model, settings);
    float moved = 0.0f;
    for (std::uint32_t v = 0; v < at_start.size(); ++v)
      for (int i = 0; i < 3; ++i) moved += std::abs(skin()[v][i] - at_start[v][i]);
    EXPECT_GT(moved, keln::test::tol_unit_length) << mode;
    EXPECT_GT(settings.model_angle, 0.0f);
    EXPECT_EQ(step.bspline_colours(), nullptr);
    settings.difference_colouring = true;
    step.prepare(model, settings);
    ASSERT_NE(step.bspline_colours(), nullptr);
    EXPECT_EQ(step.bspline_colours()->size(), at_start.size());
    settings.show_skin = false;
    step.prepare(model, settings);
    EXPECT_EQ(step.bspline_colours(), nullptr);
  }
}

}  // namespace
}  // namespace keln::velmscope::testing
