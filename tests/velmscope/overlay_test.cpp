#include "velmscope/overlay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velmscope_fixture.h"
#include "velmscope/commands.h"

namespace keln::velmscope {
namespace {

using testing::fake_catalog_t;

struct expected_text_t {
  float x, y;
  bool value;  // green value, else white label
  std::string text;
};

void expect_items(const overlay_t& overlay, const std::vector<expected_text_t>& expected) {
  const array_t<overlay_text_t>& items = overlay.items();
  ASSERT_EQ(items.size(), expected.size());
  for (std::uint32_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(expected[i].text);
    EXPECT_EQ(items[i].x, expected[i].x);
    EXPECT_EQ(items[i].y, expected[i].y);
    EXPECT_EQ(items[i].colour, expected[i].value ? overlay_value_colour : overlay_label_colour);
    ASSERT_NE(items[i].text, nullptr);
    EXPECT_EQ(std::string(items[i].text), expected[i].text);
  }
}

// The labels and the values of the start settings, without characters.
TEST(overlay, start_settings_without_characters) {
  overlay_t overlay;
  overlay.build(viewer_settings_t{}, nullptr);
  expect_items(overlay, {
      {10, 35, false, "M. Change model:"}, {130, 35, true, ""},
      {10, 50, false, "+/- Change time scale:"}, {130, 50, true, "1.000"},
      {10, 65, false, "S. Skinning:"}, {130, 65, true, "ON"},
      {10, 80, false, "K. Skeleton:"}, {130, 80, true, "ON"},
      {10, 95, false, "R. Render mode:"}, {130, 95, true, "B-spline only"},
      {10, 110, false, "P. Skin polygon mode:"}, {130, 110, true, "Fill"},
      {10, 125, false, "1. Base animation:"}, {130, 125, true, "NONE"},
      {10, 140, false, "2. Side animation:"}, {130, 140, true, "NONE"},
      {10, 155, false, "C. Background color"},
      {10, 170, false, "F. Fullscreen mode"},
      {10, 185, false, "Mouse - rotate and zoom"},
      {10, 200, false, "Q. Quit"},
      {800, 766, false, "Velmscope - skinned animation viewer"},
  });
}

// Text of the item at index i.
std::string text_at(const overlay_t& overlay, std::uint32_t i) { return overlay.items()[i].text; }

TEST(overlay, values_follow_the_settings_and_each_build_replaces_the_items) {
  viewer_settings_t settings;
  settings.time_scale = 0.0011f;
  settings.show_skin = false;
  settings.show_skeleton = false;
  settings.wireframe_skin = true;
  overlay_t overlay;
  overlay.build(settings, nullptr);
  EXPECT_EQ(text_at(overlay, 3), "0.001");
  EXPECT_EQ(text_at(overlay, 5), "OFF");
  EXPECT_EQ(text_at(overlay, 7), "OFF");
  EXPECT_EQ(text_at(overlay, 11), "Wireframe");
  for (const char* name : {"Keyframe only", "B-spline (left) & Keyframe (right)", "B-spline only"}) {
    apply_key('r', settings, nullptr);
    settings.time_scale = time_scale_max;
    overlay.build(settings, nullptr);
    EXPECT_EQ(text_at(overlay, 9), name);
    EXPECT_EQ(text_at(overlay, 3), "2.000");
    EXPECT_EQ(overlay.items().size(), 21u);
  }
  EXPECT_STREQ(render_mode_name(0), "");
  EXPECT_STREQ(render_mode_name(4), "");
}

// A catalog that has no texts to give.
class textless_catalog_t : public fake_catalog_t {
 public:
  const char* name(std::uint32_t) const override { return nullptr; }
  const char* base_animation_name(std::uint32_t) const override { return nullptr; }
  const char* side_animation_name(std::uint32_t) const override { return nullptr; }
};

// The name of the current character (item 1) and of its base and side
// animations (items 13 and 15); missing texts show empty.
TEST(overlay, names_come_from_the_current_character) {
  fake_catalog_t empty, two;
  two.models.resize(2);
  two.models[1] = {"HORSE", "GALLOP", "GRAZING"};
  textless_catalog_t textless;
  textless.models.resize(1);
  viewer_settings_t second;
  second.current_model = 1;
  const struct {
    model_catalog_t* catalog;
    const viewer_settings_t settings;
    const char* names[3];
  } rows[] = {{&empty, {}, {"", "NONE", "NONE"}}, {&two, second, {"HORSE", "GALLOP", "GRAZING"}},
              {&textless, {}, {"", "", ""}}};
  for (const auto& row : rows) {
    overlay_t overlay;
    overlay.build(row.settings, row.catalog);
    EXPECT_EQ(text_at(overlay, 1), row.names[0]);
    EXPECT_EQ(text_at(overlay, 13), row.names[1]);
    EXPECT_EQ(text_at(overlay, 15), row.names[2]);
  }
}

}  // namespace
}  // namespace keln::velmscope
