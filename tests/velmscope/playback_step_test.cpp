// Pausing and stepping the small HUNTER of documents/: its base animation RUN
// has 5 keys over 1 second, a key interval of 0.25 s.
#include "velmscope/playback_step.h"

#include <gtest/gtest.h>

#include "velmscope/commands.h"
#include "velmscope/velmscope_catalog.h"
#include "velmscope_fixture.h"

namespace keln::velmscope::testing {
namespace {

TEST(playback_step, steps_are_whole_key_intervals_and_wrap_back_past_zero) {
  const struct {
    const char* keys;  // typed after the viewer started
    float time_scale;
    float motion_time;  // of RUN's motions afterwards
    float base_time;    // the time the overlay shows: within the loop
  } cases[] = {
      {" .", 1.0f, 0.25f, 0.25f},    {" ...", 1.0f, 0.75f, 0.75f},    {" .,", 1.0f, 0.0f, 0.0f},
      {" ,", 1.0f, -0.25f, 0.75f},   {" ,,,,,", 1.0f, -1.25f, 0.75f}, {" .", 0.5f, 0.125f, 0.125f},
      {".,.", 1.0f, 0.1f, 0.1f},  // playing: the keys do nothing, the clock's step of 0.1 runs
      {" . ", 1.0f, 0.1f, 0.1f},  // resumed before the frame: the step is dropped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("keys \"") + c.keys + "\" at time scale " + std::to_string(c.time_scale));
    test_character_t character;
    velmscope_catalog_t catalog;
    message_log_t quiet;
    catalog.build(&character.entry(), 1);
    velmscope_model_t& model = catalog.model(0);
    viewer_settings_t settings;
    settings.time_scale = c.time_scale;
    for (const char* key = c.keys; *key; ++key) apply_key(static_cast<unsigned char>(*key), settings, &catalog);
    model.advance(playback_step(settings, 0.1f, model.base_key_interval()));
    EXPECT_EQ(settings.pending_steps, 0);
    EXPECT_EQ(model.keyframe_instance().binding(0).pose->time, c.motion_time);
    EXPECT_EQ(model.bspline_instance().binding(0).pose->time, c.motion_time);
    EXPECT_FLOAT_EQ(model.base_time(), c.base_time);
  }
}

}  // namespace
}  // namespace keln::velmscope::testing
