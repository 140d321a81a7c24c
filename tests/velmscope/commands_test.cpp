#include "velmscope/commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "velmscope_fixture.h"

namespace keln::velmscope {
namespace {

using testing::fake_catalog_t;

std::uint32_t bits_of(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void expect_same(const viewer_settings_t& a, const viewer_settings_t& b) {
  EXPECT_EQ(a.current_model, b.current_model);
  EXPECT_EQ(bits_of(a.time_scale), bits_of(b.time_scale));
  EXPECT_EQ(a.show_skin, b.show_skin);
  EXPECT_EQ(a.show_skeleton, b.show_skeleton);
  EXPECT_EQ(a.render_mode, b.render_mode);
  EXPECT_EQ(a.wireframe_skin, b.wireframe_skin);
  EXPECT_EQ(a.background_index, b.background_index);
  EXPECT_EQ(bits_of(a.model_angle), bits_of(b.model_angle));
  EXPECT_EQ(bits_of(a.camera_zoom), bits_of(b.camera_zoom));
  EXPECT_EQ(a.last_mouse.x, b.last_mouse.x);
  EXPECT_EQ(a.last_mouse.y, b.last_mouse.y);
}

window_request_t press(viewer_settings_t& settings, const std::string& keys, model_catalog_t* catalog = nullptr) {
  window_request_t last = window_request_t::none;
  for (char key : keys) last = apply_key(static_cast<unsigned char>(key), settings, catalog);
  return last;
}

// Each key of a row, pressed presses times from the start settings, makes
// the change given and the request of its last press; letters in either
// case alike.
TEST(commands, keys_change_their_own_setting_only) {
  using change_t = std::function<void(viewer_settings_t&)>;
  const struct {
    const char* keys;
    int presses;
    change_t change;
    window_request_t request;
  } rows[] = {
      {"Rr", 1, [](viewer_settings_t& s) { s.render_mode = 2; }, window_request_t::none},
      {"Rr", 2, [](viewer_settings_t& s) { s.render_mode = 3; }, window_request_t::none},
      {"Rr", 3, [](viewer_settings_t&) {}, window_request_t::none},
      {"Cc", 1, [](viewer_settings_t& s) { s.background_index = 1; }, window_request_t::none},
      {"Cc", 2, [](viewer_settings_t&) {}, window_request_t::none},
      {"Kk", 1, [](viewer_settings_t& s) { s.show_skeleton = false; }, window_request_t::none},
      {"Kk", 2, [](viewer_settings_t&) {}, window_request_t::none},
      {"Ss", 1, [](viewer_settings_t& s) { s.show_skin = false; }, window_request_t::none},
      {"Ss", 2, [](viewer_settings_t&) {}, window_request_t::none},
      {"Pp", 1, [](viewer_settings_t& s) { s.wireframe_skin = true; }, window_request_t::none},
      {"Pp", 2, [](viewer_settings_t&) {}, window_request_t::none},
      {"Ff", 1, [](viewer_settings_t&) {}, window_request_t::full_screen},
      {"Qq", 1, [](viewer_settings_t&) {}, window_request_t::leave_main_loop},
      {"+=", 1, [](viewer_settings_t& s) { s.time_scale = 1.1f; }, window_request_t::none},
      {"-_", 1, [](viewer_settings_t& s) { s.time_scale = 0.90909088f; }, window_request_t::none},
      {"Mm12", 1, [](viewer_settings_t&) {}, window_request_t::none},  // no catalog: nothing
  };
  for (const auto& row : rows)
    for (const char* key = row.keys; *key; ++key) {
      SCOPED_TRACE(::testing::Message() << "'" << *key << "' " << row.presses << " times");
      viewer_settings_t settings, expected;
      row.change(expected);
      EXPECT_EQ(press(settings, std::string(row.presses, *key)), row.request);
      expect_same(settings, expected);
    }
}

TEST(commands, keys_outside_the_table_change_nothing) {
  const std::string table = "+=-_12CcFfKkMmPpQqRrSs";
  fake_catalog_t catalog;
  catalog.models.resize(3);
  viewer_settings_t changed;
  changed.time_scale = 0.5f;
  changed.current_model = 1;
  changed.render_mode = 3;
  changed.background_index = 1;
  changed.show_skin = false;
  changed.model_angle = 12.5f;
  changed.camera_zoom = -3.0f;
  changed.last_mouse = {7, 9};
  for (int key = 0; key < 256; ++key) {
    if (key != 0 && table.find(static_cast<char>(key)) != std::string::npos) continue;
    viewer_settings_t settings = changed;
    EXPECT_EQ(apply_key(static_cast<unsigned char>(key), settings, &catalog), window_request_t::none) << key;
    expect_same(settings, changed);
  }
  for (const auto& model : catalog.models) EXPECT_EQ(model.next_base_calls + model.next_side_calls, 0);
}

// "+" multiplies by the float 1.1, "-" by one bit below the float nearest
// 1/1.1; the products are rounded to float and held within [0.001, 2].
TEST(commands, the_time_scale_moves_by_its_factors_within_its_limits) {
  EXPECT_EQ(bits_of(time_scale_up), 0x3F8CCCCDu);
  EXPECT_EQ(bits_of(time_scale_down), bits_of(static_cast<float>(1.0 / 1.1)) - 1);
  viewer_settings_t settings;
  press(settings, "+++++++");
  EXPECT_LT(settings.time_scale, 2.0f);
  press(settings, "+=+");
  EXPECT_EQ(settings.time_scale, 2.0f);
  press(settings, std::string(200, '-'));
  EXPECT_EQ(settings.time_scale, 0.001f);
  press(settings, "+");
  EXPECT_EQ(bits_of(settings.time_scale), 0x3A902DE1u);  // 0.001f * 1.1f, one bit above the float nearest 0.0011
  EXPECT_EQ(scaled_time_scale(0.0010001f, time_scale_down), time_scale_min);
  EXPECT_EQ(scaled_time_scale(1.9f, time_scale_up), time_scale_max);
  EXPECT_EQ(scaled_time_scale(1.0f, 0.5f), 0.5f);
}

TEST(commands, character_keys_act_on_the_current_character_of_a_catalog) {
  fake_catalog_t catalog;
  catalog.models.resize(3);
  viewer_settings_t settings;
  for (std::uint32_t expected : {1u, 2u, 0u, 1u}) {  // "M" cycles
    press(settings, expected % 2 ? "M" : "m", &catalog);
    EXPECT_EQ(settings.current_model, expected);
  }
  press(settings, "122", &catalog);
  EXPECT_EQ(catalog.models[1].next_base_calls, 1);
  EXPECT_EQ(catalog.models[1].next_side_calls, 2);
  EXPECT_EQ(catalog.models[0].next_base_calls + catalog.models[2].next_side_calls, 0);
  fake_catalog_t empty;
  viewer_settings_t untouched;
  EXPECT_EQ(press(untouched, "Mm12", &empty), window_request_t::none);
  expect_same(untouched, viewer_settings_t{});
}

// A press remembers where a drag starts; a drag turns by 0.5 degree per
// pixel to the right and zooms out by 0.1 per pixel down, without limits.
TEST(commands, mouse_drags_turn_and_zoom_from_the_last_position) {
  viewer_settings_t settings;
  const struct {
    bool press;
    int x, y;
    float angle, zoom;
  } steps[] = {{true, 300, 200, 0, 0},  {false, 310, 220, 5, 2},   {false, 290, 200, -5, 0},
               {true, 500, 500, -5, 0}, {false, 502, 500, -4, 0},  {true, 0, 0, -4, 0},
               {false, 2000, 10000, 996, 1000}};
  for (const auto& step : steps) {
    (step.press ? mouse_press : mouse_drag)(settings, step.x, step.y);
    EXPECT_FLOAT_EQ(settings.model_angle, step.angle) << step.x;
    EXPECT_FLOAT_EQ(settings.camera_zoom, step.zoom) << step.y;
    EXPECT_EQ(settings.last_mouse.x, step.x);
    EXPECT_EQ(settings.last_mouse.y, step.y);
  }
}

}  // namespace
}  // namespace keln::velmscope
