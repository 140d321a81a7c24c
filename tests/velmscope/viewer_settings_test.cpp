#include "velmscope/viewer_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace keln::velmscope {
namespace {

TEST(ViewerSettings, StartValues) {
  const viewer_settings_t settings;
  EXPECT_EQ(settings.current_model, 0u);
  EXPECT_EQ(settings.time_scale, 1.0f);
  EXPECT_TRUE(settings.show_skin);
  EXPECT_TRUE(settings.show_skeleton);
  EXPECT_EQ(settings.render_mode, 1u);
  EXPECT_FALSE(settings.wireframe_skin);
  EXPECT_EQ(settings.background_index, 0u);
  EXPECT_EQ(settings.model_angle, 0.0f);
  EXPECT_EQ(settings.camera_zoom, 0.0f);
  EXPECT_EQ(settings.last_mouse.x, 0);
  EXPECT_EQ(settings.last_mouse.y, 0);
}

TEST(ViewerSettings, RenderModeNames) {
  EXPECT_EQ(std::string(render_mode_name(1)), "B-spline only");
  EXPECT_EQ(std::string(render_mode_name(2)), "Keyframe only");
  EXPECT_EQ(std::string(render_mode_name(3)), "B-spline (left) & Keyframe (right)");
  EXPECT_EQ(std::string(render_mode_name(0)), "");
  EXPECT_EQ(std::string(render_mode_name(4)), "");
}

TEST(ViewerSettings, BackgroundColours) {
  const float* dark = background_colour(0);
  const float* grey = background_colour(1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(dark[i], 0.1f);
    EXPECT_EQ(grey[i], 0.5f);
  }
  EXPECT_EQ(dark[3], 1.0f);
  EXPECT_EQ(grey[3], 1.0f);
}

}  // namespace
}  // namespace keln::velmscope
