#include "velmscope/commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <tuple>

#include "velmscope_fixture.h"

namespace keln::velmscope {
namespace {

auto fields(const viewer_settings_t& s) {
  return std::make_tuple(s.current_model, s.time_scale, s.show_skin, s.show_skeleton, s.render_mode, s.wireframe_skin,
                         s.background_index, s.model_angle, s.camera_zoom, s.last_mouse.x, s.last_mouse.y,
                         s.difference_colouring, s.paused, s.pending_steps);
}

window_request_t press(viewer_settings_t& settings, const std::string& keys, model_catalog_t* catalog = nullptr) {
  window_request_t last = window_request_t::none;
  for (char key : keys) last = apply_key(static_cast<unsigned char>(key), settings, catalog);
  return last;
}

// Each key of a row, pressed `presses` times from the start, makes the change
// and the request given (either case alike); any other key changes nothing.
TEST(commands, keys_change_their_own_setting_only) {
  using change_t = std::function<void(viewer_settings_t&)>;
  const change_t none = [](viewer_settings_t&) {};
  const struct {
    const char* keys;
    int presses;
    change_t change;
    window_request_t request = window_request_t::none;
  } rows[] = {
      {"Rr", 1, [](auto& s) { s.render_mode = 2; }}, {"Rr", 2, [](auto& s) { s.render_mode = 3; }}, {"Rr", 3, none},
      {"Cc", 1, [](auto& s) { s.background_index = 1; }}, {"Cc", 2, none},
      {"Kk", 1, [](auto& s) { s.show_skeleton = false; }}, {"Kk", 2, none},
      {"Ss", 1, [](auto& s) { s.show_skin = false; }}, {"Ss", 2, none},
      {"Pp", 1, [](auto& s) { s.wireframe_skin = true; }}, {"Pp", 2, none},
      {"Dd", 1, [](auto& s) { s.difference_colouring = true; }}, {"Dd", 2, none},
      {" ", 1, [](auto& s) { s.paused = true; }}, {" ", 2, none}, {".,", 1, none},  // steps only while paused
      {"+=", 1, [](auto& s) { s.time_scale = 1.1f; }}, {"-_", 1, [](auto& s) { s.time_scale = 0.90909088f; }},
      {"Ff", 1, none, window_request_t::full_screen}, {"Qq", 1, none, window_request_t::leave_main_loop},
      {"Mm12", 1, none},  // no catalog: nothing
  };
  for (const auto& row : rows)
    for (const char* key = row.keys; *key; ++key) {
      SCOPED_TRACE(::testing::Message() << "'" << *key << "' " << row.presses << " times");
      viewer_settings_t settings, expected;
      row.change(expected);
      EXPECT_EQ(press(settings, std::string(row.presses, *key)), row.request);
      EXPECT_EQ(fields(settings), fields(expected));
    }
  testing::fake_catalog_t catalog;
  catalog.models.resize(3);
  viewer_settings_t changed;
  changed.current_model = changed.render_mode = 2;
  changed.last_mouse = {7, 9};
  for (int key = 1; key < 256; ++key) {
    if (std::strchr("+=-_12CcDdFfKkMmPpQqRrSs .,", key)) continue;
    viewer_settings_t settings = changed;
    EXPECT_EQ(apply_key(static_cast<unsigned char>(key), settings, &catalog), window_request_t::none) << key;
    EXPECT_EQ(fields(settings), fields(changed)) << key;
  }
  for (const auto& model : catalog.models) EXPECT_EQ(model.next_base_calls + model.next_side_calls, 0);
}

// "+" and "-" scale the time scale, rounded to float, within [0.001, 2].
TEST(commands, the_time_scale_moves_by_its_factors_within_its_limits) {
  viewer_settings_t settings;
  press(settings, "+++++++");
  EXPECT_LT(settings.time_scale, 2.0f);
  press(settings, "+=+");
  EXPECT_EQ(settings.time_scale, 2.0f);
  press(settings, std::string(200, '-'));
  EXPECT_EQ(settings.time_scale, 0.001f);
  press(settings, "+");
  EXPECT_EQ(settings.time_scale, 0x1.205bc2p-10f);  // 0.001f * 1.1f, one bit above the float nearest 0.0011
}

TEST(commands, character_keys_act_on_the_current_character_of_a_catalog) {
  testing::fake_catalog_t catalog;
  catalog.models.resize(3);
  viewer_settings_t settings;
  for (std::uint32_t expected : {1u, 2u, 0u, 1u})  // "M" cycles
    EXPECT_EQ((press(settings, expected % 2 ? "M" : "m", &catalog), settings.current_model), expected);
  press(settings, "122", &catalog);
  EXPECT_EQ(std::tie(catalog.models[1].next_base_calls, catalog.models[1].next_side_calls), std::tuple(1, 2));
  EXPECT_EQ(catalog.models[0].next_base_calls + catalog.models[2].next_side_calls, 0);
}

// A press remembers where a drag starts; a drag turns by 0.5 degree per
// pixel to the right and zooms out by 0.1 per pixel down, without limits.
TEST(commands, mouse_drags_turn_and_zoom_from_the_last_position) {
  viewer_settings_t settings;
  for (const auto& [press, x, y, angle, zoom] : {std::tuple{true, 300, 200, 0.f, 0.f}, {false, 310, 220, 5.f, 2.f},
         {false, 290, 200, -5.f, 0.f}, {true, 500, 500, -5.f, 0.f}, {false, 502, 500, -4.f, 0.f},
         {false, 2002, 10500, 746.f, 1000.f}}) {
    (press ? mouse_press : mouse_drag)(settings, x, y);
    EXPECT_EQ(std::tie(settings.model_angle, settings.camera_zoom, settings.last_mouse.x, settings.last_mouse.y),
              std::tie(angle, zoom, x, y));
  }
}

}  // namespace
}  // namespace keln::velmscope
