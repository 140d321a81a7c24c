// The viewer's process-wide settings: what the keyboard and mouse commands
// change and what the overlay and the 3D view read.
#pragma once

#include <cstdint>

namespace keln::velmscope {

// Bits of viewer_settings_t::render_mode: which playbacks are drawn.
constexpr std::uint32_t RENDER_BSPLINE = 1;   // the B-spline playback (left when both)
constexpr std::uint32_t RENDER_KEYFRAME = 2;  // the keyframe playback (right when both)

// A window position in pixels, origin at the top-left corner, y downward.
struct window_point_t {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// One instance exists for the whole run and is never reset. Members start at
// the values a new viewer shows.
struct viewer_settings_t {
  // Index of the character shown; below the number of characters whenever
  // there is at least one.
  std::uint32_t current_model = 0;
  // Factor applied to real time; always within [time_scale_min, time_scale_max]
  // (commands.h).
  float time_scale = 1.0f;
  bool show_skin = true;
  bool show_skeleton = true;
  // RENDER_BSPLINE, RENDER_KEYFRAME or both; never 0.
  std::uint32_t render_mode = RENDER_BSPLINE;
  // Skin polygons drawn as lines instead of filled.
  bool wireframe_skin = false;
  // 0 or 1: index into the background colour table.
  std::uint32_t background_index = 0;
  // Rotation of the characters about the vertical axis, degrees; unbounded.
  float model_angle = 0.0f;
  // Camera offset along its own viewing axis; positive moves it back; unbounded.
  float camera_zoom = 0.0f;
  // Position of the last mouse press or drag event.
  window_point_t last_mouse;
  // The B-spline skin coloured by its distance from the keyframe skin.
  bool difference_colouring = false;
  // Every motion of the shown character stands still; the mouse still acts.
  bool paused = false;
  // Key intervals to step while paused, asked for since the last frame:
  // positive forward, negative back.
  std::int32_t pending_steps = 0;
};

// Whether the overlay shows the readout of the difference between the
// playbacks: while the difference colouring is on or while paused.
inline bool shows_difference_readout(const viewer_settings_t& settings) {
  return settings.difference_colouring || settings.paused;
}

// Overlay name of a render mode: "B-spline only" (1), "Keyframe only" (2),
// "B-spline (left) & Keyframe (right)" (3); "" for any other value.
const char* render_mode_name(std::uint32_t render_mode);

// RGBA clear colour of a background index: 0 dark grey (0.1), 1 mid grey
// (0.5). Only bit 0 of the index is used.
const float* background_colour(std::uint32_t background_index);

}  // namespace keln::velmscope
