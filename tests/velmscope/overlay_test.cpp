#include "velmscope/overlay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velmscope/commands.h"
#include "velmscope_fixture.h"

namespace keln::velmscope {
namespace {

using testing::fake_catalog_t;

// Every item's text, with a "|" before a green value.
std::vector<std::string> texts(const overlay_t& overlay) {
  std::vector<std::string> out;
  for (const overlay_text_t& item : overlay.items())
    out.push_back((item.colour == overlay_value_colour ? "|" : "") + std::string(item.text));
  return out;
}

// Labels at x 10, values at x 130, lines 15 apart from 35, credit bottom right.
TEST(overlay, start_settings_without_characters) {
  overlay_t overlay;
  overlay.build(viewer_settings_t{}, nullptr);
  EXPECT_EQ(texts(overlay),
            (std::vector<std::string>{"M. Change model:", "|", "+/- Change time scale:", "|1.000", "S. Skinning:", "|ON",
                                      "K. Skeleton:", "|ON", "R. Render mode:", "|B-spline only",
                                      "P. Skin polygon mode:", "|Fill", "1. Base animation:", "|NONE",
                                      "2. Side animation:", "|NONE", "C. Background color", "F. Fullscreen mode",
                                      "Mouse - rotate and zoom", "Q. Quit", "Velmscope - skinned animation viewer"}));
  const array_t<overlay_text_t>& items = overlay.items();
  for (std::uint32_t i = 0; i + 1 < items.size(); ++i) {
    const std::uint32_t line = i < 16 ? i / 2 : i - 8;
    EXPECT_EQ(items[i].x, i < 16 && i % 2 ? 130.0f : 10.0f) << i;
    EXPECT_EQ(items[i].y, 35.0f + 15.0f * line) << i;
  }
  EXPECT_EQ(std::make_pair(items[20].x, items[20].y), std::make_pair(800.0f, 766.0f));
}

// A missing text shows empty; the difference readout (percentages of the
// rest height) while colouring or paused, and the colouring's legend.
TEST(overlay, values_follow_the_settings_and_the_current_character) {
  class textless_catalog_t : public fake_catalog_t {
    const char* name(std::uint32_t) const override { return nullptr; }
    const char* base_animation_name(std::uint32_t) const override { return nullptr; }
    const char* side_animation_name(std::uint32_t) const override { return nullptr; }
  } textless;
  fake_catalog_t two;
  two.models.resize(2);
  two.models[1] = {"HORSE", "GALLOP", "GRAZING", 0, 0, {0.012, "knee", 0.05, 2.0, 0.25f}};
  textless.models.resize(1);
  viewer_settings_t changed, paused, coloured;
  changed.current_model = paused.current_model = 1;
  changed.time_scale = 0.0011f;
  changed.show_skin = changed.show_skeleton = false;
  changed.render_mode = RENDER_KEYFRAME;
  paused.paused = coloured.difference_colouring = changed.wireframe_skin = true;
  paused.time_scale = 2.0f;
  paused.render_mode = RENDER_BSPLINE | RENDER_KEYFRAME;
  const struct {
    const viewer_settings_t& settings;
    model_catalog_t* catalog;
    std::vector<std::string> values;  // the values, then any further lines
  } rows[] = {
      {changed, &two, {"|HORSE", "|0.001", "|OFF", "|OFF", "|Keyframe only", "|Wireframe", "|GALLOP", "|GRAZING"}},
      {coloured, &textless, {"|", "|1.000", "|ON", "|ON", "|B-spline only", "|Fill", "|", "|", "D. Difference:",
                             "|0.0000 (0.00 %) at -, largest 0.0000 (0.00 %)",
                             "Space. Pause   . and , Step while paused", "0", "2 % of the rest height"}},
      {paused, &two, {"|HORSE", "|2.000", "|ON", "|ON", "|B-spline (left) & Keyframe (right)", "|Fill", "|GALLOP", "|GRAZING",
                      "D. Difference:", "|0.0120 (0.60 %) at knee, largest 0.0500 (2.50 %)   PAUSED 0.250 s",
                      "Space. Pause   . and , Step while paused"}},
      {coloured, nullptr, {"|", "|1.000", "|ON", "|ON", "|B-spline only", "|Fill", "|NONE", "|NONE",
                           "D. Difference:", "|", "Space. Pause   . and , Step while paused", "0",
                           "2 % of the rest height"}},
  };
  overlay_t overlay;
  for (const auto& row : rows) {
    overlay.build(row.settings, row.catalog);
    const std::vector<std::string> all = texts(overlay);
    std::vector<std::string> values;
    for (std::size_t i = 0; i + 1 < all.size(); ++i)  // the last is the credit
      if (i >= 20 || all[i][0] == '|') values.push_back(all[i]);
    EXPECT_EQ(values, row.values);
  }
  EXPECT_EQ(std::string(render_mode_name(0)) + render_mode_name(4), "");
}

}  // namespace
}  // namespace keln::velmscope
