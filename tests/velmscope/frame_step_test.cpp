// One frame of the viewer, on the HUNTER of documents/ (base animation RUN:
// 5 keys over 1 second, a key interval of 0.25 s).
#include "velmscope/frame_step.h"

#include <gtest/gtest.h>

#include <utility>

#include "velmscope/commands.h"
#include "velmscope/frame_clock.h"
#include "velmscope/playback_step.h"
#include "velmscope/velmscope_catalog.h"
#include "velmscope_fixture.h"

namespace keln::velmscope::testing {
namespace {

// Readings in microseconds; the first step is zero.
TEST(frame_clock, steps_are_elapsed_seconds_times_the_scale) {
  frame_clock_t clock;
  const struct {
    unsigned long long reading;
    float scale, step;
  } rows[] = {{5'000'000, 1, 0}, {5'016'000, 1, 0.016f}, {5'516'000, 2, 1}, {6'516'000, 0.001f, 0.001f}, {6'516'000, 1, 0}};
  for (const auto& row : rows) EXPECT_FLOAT_EQ(clock.step(row.reading, row.scale), row.step) << row.reading;
}

// Blue, yellow at half the full scale (0.04 here), red from it on; bytes r,
// g, b, a from the lowest, each may round either way.
TEST(difference_colours, the_scale_runs_from_blue_through_yellow_to_red) {
  const struct {
    float distance, r, g, b;
  } cases[] = {{0.0f, 0.2f, 0.2f, 1.0f}, {0.01f, 0.6f, 0.6f, 0.5f}, {0.02f, 1.0f, 1.0f, 0.0f},
               {0.03f, 1.0f, 0.5f, 0.0f}, {0.04f, 1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f, 0.0f}};
  array_dyn_t<vec3_t> coloured, reference;
  for (const auto& c : cases) coloured.push_back(vec3_t{{0.0f, c.distance, 0.0f}}), reference.push_back(vec3_t{});
  array_dyn_t<vertex_colour_t> colours;
  colour_differences(colours, coloured, reference, 0.04f, 0.6f);
  ASSERT_EQ(colours.size(), coloured.size());
  for (std::uint32_t v = 0; v < colours.size(); ++v)
    for (const float expected : {cases[v].r, cases[v].g, cases[v].b, 0.6f})
      EXPECT_NEAR(std::exchange(colours[v], colours[v] >> 8) & 0xFF, expected * 255.0f, keln::test::tol_colour_byte) << v;
}

// The test character in a catalog of its own, built quietly.
struct hunter_t {
  test_character_t character;
  velmscope_catalog_t catalog;
  velmscope_model_t& model() { return catalog.model(0); }
  hunter_t() { message_log_t quiet; catalog.build(&character.entry(), 1); }
};

TEST(playback_step, steps_are_whole_key_intervals_and_wrap_back_past_zero) {
  const struct {
    const char* keys;
    float time_scale, motion_time /* of RUN's motions */, base_time /* shown: within the loop */;
  } cases[] = {
      {" .", 1.0f, 0.25f, 0.25f},    {" ...", 1.0f, 0.75f, 0.75f},    {" .,", 1.0f, 0.0f, 0.0f},
      {" ,", 1.0f, -0.25f, 0.75f},   {" ,,,,,", 1.0f, -1.25f, 0.75f}, {" .", 0.5f, 0.125f, 0.125f},
      {".,.", 1.0f, 0.1f, 0.1f},  // playing: the keys do nothing, the clock's step of 0.1 runs
      {" . ", 1.0f, 0.1f, 0.1f},  // resumed before the frame: the step is dropped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("keys \"") + c.keys + "\" at time scale " + std::to_string(c.time_scale));
    hunter_t hunter;
    velmscope_model_t& model = hunter.model();
    viewer_settings_t settings;
    settings.time_scale = c.time_scale;
    for (const char* key = c.keys; *key; ++key) apply_key(static_cast<unsigned char>(*key), settings, &hunter.catalog);
    model.advance(playback_step(settings, 0.1f, model.base_key_interval()));
    EXPECT_EQ(settings.pending_steps, 0);
    for (auto* instance : {&model.keyframe_instance(), &model.bspline_instance()})
      EXPECT_EQ(instance->binding(0).pose->time, c.motion_time);
    EXPECT_FLOAT_EQ(model.base_time(), c.base_time);
  }
}

// The shown skin follows its motions, the characters turn, and colouring
// colours every B-spline skin vertex while the skin shows.
TEST(frame_step, poses_and_skins_the_playback_shown) {
  for (const std::uint32_t mode : {RENDER_BSPLINE, RENDER_KEYFRAME}) {
    hunter_t hunter;
    velmscope_model_t& model = hunter.model();
    viewer_settings_t settings;
    settings.render_mode = mode;
    frame_step_t step;
    step.prepare(model, settings);
    const array_t<vec3_t>& skin = mode == RENDER_BSPLINE ? model.mesh()->skinned_positions : model.keyframe_positions();
    const std::vector<vec3_t> at_start(&skin[0], &skin[0] + skin.size());
    model.advance(0.25f);
    step.prepare(model, settings);
    float moved = 0.0f;
    for (std::uint32_t v = 0; v < at_start.size(); ++v)
      for (int i = 0; i < 3; ++i) moved += std::abs(skin[v][i] - at_start[v][i]);
    EXPECT_GT(moved, keln::test::tol_unit_length) << mode;
    EXPECT_GT(settings.model_angle, 0.0f);
    EXPECT_EQ(step.bspline_colours(), nullptr);
    settings.difference_colouring = true;
    step.prepare(model, settings);
    ASSERT_NE(step.bspline_colours(), nullptr);
    EXPECT_EQ(step.bspline_colours()->size(), at_start.size());
    settings.show_skin = false;
    EXPECT_EQ((step.prepare(model, settings), step.bspline_colours()), nullptr);
  }
}

}  // namespace
}  // namespace keln::velmscope::testing
