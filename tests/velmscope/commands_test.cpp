#include "velmscope/commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "fake_catalog.h"

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

fake_catalog_t three_characters() {
  fake_catalog_t catalog;
  catalog.models.resize(3);
  catalog.models[0].name = "HUNTER";
  catalog.models[1].name = "HORSE";
  catalog.models[2].name = "ELEPHANT";
  return catalog;
}

// --- time scale -----------------------------------------------------------

TEST(TimeScale, FactorsHaveTheirExactBits) {
  EXPECT_EQ(bits_of(time_scale_up), 0x3F8CCCCDu);
  EXPECT_EQ(bits_of(time_scale_down), 0x3F68BA2Eu);
  // One bit below the float nearest 1/1.1.
  EXPECT_EQ(bits_of(static_cast<float>(1.0 / 1.1)) - 1, 0x3F68BA2Eu);
}

TEST(TimeScale, PlusAndEqualsMultiplyByTheFloatOneDotOne) {
  for (char key : {'+', '='}) {
    viewer_settings_t settings;
    press(settings, std::string(1, key));
    EXPECT_EQ(bits_of(settings.time_scale), bits_of(1.0f * 1.1f)) << key;
  }
}

TEST(TimeScale, MinusAndUnderscoreMultiplyByTheDownFactor) {
  for (char key : {'-', '_'}) {
    viewer_settings_t settings;
    press(settings, std::string(1, key));
    EXPECT_EQ(bits_of(settings.time_scale), bits_of(0.90909088f)) << key;
  }
}

TEST(TimeScale, EighthPlusFromOneReachesTheUpperLimit) {
  viewer_settings_t settings;
  press(settings, "+++++++");
  EXPECT_LT(settings.time_scale, 2.0f);
  EXPECT_GT(settings.time_scale, 1.9f);
  press(settings, "+");
  EXPECT_EQ(settings.time_scale, 2.0f);
  press(settings, "+=+");
  EXPECT_EQ(settings.time_scale, 2.0f);
}

TEST(TimeScale, MinusStopsAtExactlyTheLowerLimit) {
  viewer_settings_t settings;
  press(settings, std::string(200, '-'));
  EXPECT_EQ(bits_of(settings.time_scale), bits_of(0.001f));
  press(settings, "_");
  EXPECT_EQ(bits_of(settings.time_scale), bits_of(0.001f));
}

TEST(TimeScale, PlusFromTheLowerLimitGivesTheFloatProductNearZeroDotZeroZeroOneOne) {
  viewer_settings_t settings;
  settings.time_scale = time_scale_min;
  press(settings, "+");
  // 0.001f * 1.1f rounds to 0x3A902DE1, one bit above the float nearest 0.0011.
  EXPECT_EQ(bits_of(settings.time_scale), 0x3A902DE1u);
  EXPECT_NEAR(settings.time_scale, 0.0011, 2e-10);
}

TEST(TimeScale, ClampKeepsEveryProductWithinTheLimits) {
  EXPECT_EQ(scaled_time_scale(0.0010001f, time_scale_down), time_scale_min);
  EXPECT_EQ(scaled_time_scale(1.9f, time_scale_up), time_scale_max);
  EXPECT_EQ(scaled_time_scale(1.0f, 0.5f), 0.5f);
  EXPECT_EQ(scaled_time_scale(time_scale_min, 1.0f), time_scale_min);
  EXPECT_EQ(scaled_time_scale(time_scale_max, 1.0f), time_scale_max);
}

// --- toggles and cycles -----------------------------------------------------

TEST(Commands, RenderModeCyclesOneTwoThreeOne) {
  for (char key : {'R', 'r'}) {
    viewer_settings_t settings;
    EXPECT_EQ(settings.render_mode, 1u);
    press(settings, std::string(1, key));
    EXPECT_EQ(settings.render_mode, 2u);
    press(settings, std::string(1, key));
    EXPECT_EQ(settings.render_mode, 3u);
    press(settings, std::string(1, key));
    EXPECT_EQ(settings.render_mode, 1u);
  }
}

TEST(Commands, BackgroundTogglesAndTwiceRestores) {
  for (char key : {'C', 'c'}) {
    viewer_settings_t settings;
    press(settings, std::string(1, key));
    EXPECT_EQ(settings.background_index, 1u);
    press(settings, std::string(1, key));
    EXPECT_EQ(settings.background_index, 0u);
  }
}

TEST(Commands, SkeletonSkinAndPolygonModeToggleEachTheirOwnSetting) {
  viewer_settings_t settings;
  press(settings, "K");
  EXPECT_FALSE(settings.show_skeleton);
  press(settings, "k");
  EXPECT_TRUE(settings.show_skeleton);
  press(settings, "S");
  EXPECT_FALSE(settings.show_skin);
  press(settings, "s");
  EXPECT_TRUE(settings.show_skin);
  press(settings, "P");
  EXPECT_TRUE(settings.wireframe_skin);
  press(settings, "p");
  EXPECT_FALSE(settings.wireframe_skin);
  expect_same(settings, viewer_settings_t{});
}

TEST(Commands, FullScreenAndQuitAreHandedToTheWindow) {
  viewer_settings_t settings;
  EXPECT_EQ(press(settings, "F"), window_request_t::full_screen);
  EXPECT_EQ(press(settings, "f"), window_request_t::full_screen);
  EXPECT_EQ(press(settings, "Q"), window_request_t::leave_main_loop);
  EXPECT_EQ(press(settings, "q"), window_request_t::leave_main_loop);
  expect_same(settings, viewer_settings_t{});
}

TEST(Commands, KeysOutsideTheTableChangeNothing) {
  const std::string table = "+=-_12CcFfKkMmPpQqRrSs";
  fake_catalog_t catalog = three_characters();
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
  for (const auto& model : catalog.models) {
    EXPECT_EQ(model.next_base_calls, 0);
    EXPECT_EQ(model.next_side_calls, 0);
  }
}

// --- character commands -----------------------------------------------------

TEST(Commands, CharacterKeysDoNothingWithoutCharacters) {
  fake_catalog_t empty;
  for (model_catalog_t* catalog : {static_cast<model_catalog_t*>(nullptr), static_cast<model_catalog_t*>(&empty)}) {
    viewer_settings_t settings;
    EXPECT_EQ(press(settings, "Mm12", catalog), window_request_t::none);
    expect_same(settings, viewer_settings_t{});
  }
}

TEST(Commands, ModelKeyCyclesThroughTheCatalog) {
  fake_catalog_t catalog = three_characters();
  viewer_settings_t settings;
  press(settings, "M", &catalog);
  EXPECT_EQ(settings.current_model, 1u);
  press(settings, "m", &catalog);
  EXPECT_EQ(settings.current_model, 2u);
  press(settings, "M", &catalog);
  EXPECT_EQ(settings.current_model, 0u);
}

TEST(Commands, AnimationKeysActOnTheCurrentCharacterOnly) {
  fake_catalog_t catalog = three_characters();
  viewer_settings_t settings;
  settings.current_model = 1;
  press(settings, "1", &catalog);
  press(settings, "22", &catalog);
  EXPECT_EQ(catalog.models[1].next_base_calls, 1);
  EXPECT_EQ(catalog.models[1].next_side_calls, 2);
  EXPECT_EQ(catalog.models[0].next_base_calls + catalog.models[2].next_base_calls, 0);
  EXPECT_EQ(catalog.models[0].next_side_calls + catalog.models[2].next_side_calls, 0);
  EXPECT_EQ(settings.current_model, 1u);
}

// --- mouse ------------------------------------------------------------------

TEST(Mouse, PressRemembersThePosition) {
  viewer_settings_t settings;
  mouse_press(settings, 300, 200);
  EXPECT_EQ(settings.last_mouse.x, 300);
  EXPECT_EQ(settings.last_mouse.y, 200);
  EXPECT_EQ(settings.model_angle, 0.0f);
  EXPECT_EQ(settings.camera_zoom, 0.0f);
}

TEST(Mouse, DragRightTurnsAndDragDownZoomsOut) {
  viewer_settings_t settings;
  mouse_press(settings, 300, 200);
  mouse_drag(settings, 310, 220);  // 10 right, 20 down
  EXPECT_FLOAT_EQ(settings.model_angle, 5.0f);
  EXPECT_FLOAT_EQ(settings.camera_zoom, 2.0f);
  EXPECT_EQ(settings.last_mouse.x, 310);
  EXPECT_EQ(settings.last_mouse.y, 220);
  mouse_drag(settings, 290, 200);  // 20 left, 20 up
  EXPECT_FLOAT_EQ(settings.model_angle, -5.0f);
  EXPECT_FLOAT_EQ(settings.camera_zoom, 0.0f);
}

TEST(Mouse, FirstDragAfterAPressStartsAtThePressNotTheLastDrag) {
  viewer_settings_t settings;
  mouse_press(settings, 0, 0);
  mouse_drag(settings, 100, 0);
  mouse_press(settings, 500, 500);
  mouse_drag(settings, 502, 500);
  EXPECT_FLOAT_EQ(settings.model_angle, 51.0f);  // 50 + 1, no jump of 400 pixels
}

TEST(Mouse, AnglesAndZoomAreNotLimited) {
  viewer_settings_t settings;
  for (int i = 0; i < 100; ++i) {
    mouse_press(settings, 0, 0);
    mouse_drag(settings, 1000, 1000);
  }
  EXPECT_FLOAT_EQ(settings.model_angle, 50000.0f);
  EXPECT_FLOAT_EQ(settings.camera_zoom, 10000.0f);
}

}  // namespace
}  // namespace keln::velmscope
