#include "velmscope/overlay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_catalog.h"
#include "velmscope/commands.h"

namespace keln::velmscope {
namespace {

using testing::fake_catalog_t;

struct expected_text_t {
  float x;
  float y;
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

// Item indices of the values that describe the current character.
constexpr std::uint32_t model_name_item = 1;
constexpr std::uint32_t base_animation_item = 13;
constexpr std::uint32_t side_animation_item = 15;

// Text of the item at index i.
std::string text_at(const overlay_t& overlay, std::uint32_t i) { return overlay.items()[i].text; }

void expect_character_values(const overlay_t& overlay, const std::string& name, const std::string& base,
                             const std::string& side) {
  EXPECT_EQ(text_at(overlay, model_name_item), name);
  EXPECT_EQ(text_at(overlay, base_animation_item), base);
  EXPECT_EQ(text_at(overlay, side_animation_item), side);
}

TEST(Overlay, ColoursAreWhiteLabelsAndGreenValues) {
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const float green[4] = {0.2f, 1.0f, 0.2f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(overlay_label_colour[i], white[i]);
    EXPECT_EQ(overlay_value_colour[i], green[i]);
  }
}

TEST(Overlay, InitialSettingsWithoutCharacters) {
  overlay_t overlay;
  overlay.build(viewer_settings_t{}, nullptr);
  expect_items(overlay, {
                            {10, 35, false, "M. Change model:"},
                            {130, 35, true, ""},
                            {10, 50, false, "+/- Change time scale:"},
                            {130, 50, true, "1.000"},
                            {10, 65, false, "S. Skinning:"},
                            {130, 65, true, "ON"},
                            {10, 80, false, "K. Skeleton:"},
                            {130, 80, true, "ON"},
                            {10, 95, false, "R. Render mode:"},
                            {130, 95, true, "B-spline only"},
                            {10, 110, false, "P. Skin polygon mode:"},
                            {130, 110, true, "Fill"},
                            {10, 125, false, "1. Base animation:"},
                            {130, 125, true, "NONE"},
                            {10, 140, false, "2. Side animation:"},
                            {130, 140, true, "NONE"},
                            {10, 155, false, "C. Background color"},
                            {10, 170, false, "F. Fullscreen mode"},
                            {10, 185, false, "Mouse - rotate and zoom"},
                            {10, 200, false, "Q. Quit"},
                            {800, 766, false, "Velmscope - skinned animation viewer"},
                        });
}

TEST(Overlay, EmptyCatalogShowsLikeNoCatalog) {
  fake_catalog_t empty;
  overlay_t overlay;
  overlay.build(viewer_settings_t{}, &empty);
  expect_character_values(overlay, "", "NONE", "NONE");
}

TEST(Overlay, ValuesFollowTheSettings) {
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

  settings.time_scale = time_scale_max;
  overlay.build(settings, nullptr);
  EXPECT_EQ(text_at(overlay, 3), "2.000");
  EXPECT_EQ(overlay.items().size(), 21u);
}

TEST(Overlay, RenderModeNamesFollowTheRKey) {
  viewer_settings_t settings;
  overlay_t overlay;
  for (const char* name : {"Keyframe only", "B-spline (left) & Keyframe (right)", "B-spline only"}) {
    apply_key('r', settings, nullptr);
    overlay.build(settings, nullptr);
    EXPECT_EQ(text_at(overlay, 9), name);
  }
}

TEST(Overlay, NamesComeFromTheCurrentCharacter) {
  fake_catalog_t catalog;
  catalog.models.resize(2);
  catalog.models[0].name = "HUNTER";
  catalog.models[0].base = "RUN";
  catalog.models[1].name = "HORSE";
  catalog.models[1].base = "GALLOP";
  catalog.models[1].side = "GRAZING";
  viewer_settings_t settings;
  settings.current_model = 1;
  overlay_t overlay;
  overlay.build(settings, &catalog);
  expect_character_values(overlay, "HORSE", "GALLOP", "GRAZING");
}

// A catalog that has no texts to give: the overlay shows them empty.
class textless_catalog_t : public fake_catalog_t {
 public:
  const char* name(std::uint32_t) const override { return nullptr; }
  const char* base_animation_name(std::uint32_t) const override { return nullptr; }
  const char* side_animation_name(std::uint32_t) const override { return nullptr; }
};

TEST(Overlay, MissingTextsAreShownEmpty) {
  textless_catalog_t catalog;
  catalog.models.resize(1);
  overlay_t overlay;
  overlay.build(viewer_settings_t{}, &catalog);
  expect_character_values(overlay, "", "", "");
}

TEST(Overlay, RebuildingReplacesTheItems) {
  overlay_t overlay;
  viewer_settings_t settings;
  overlay.build(settings, nullptr);
  settings.time_scale = 0.5f;
  overlay.build(settings, nullptr);
  EXPECT_EQ(overlay.items().size(), 21u);
  EXPECT_EQ(text_at(overlay, 3), "0.500");
  EXPECT_EQ(overlay.items()[0].y, 35.0f);
}

}  // namespace
}  // namespace keln::velmscope
