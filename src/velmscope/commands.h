// Keyboard and mouse commands: their effect on the viewer settings and the
// characters. Window-system actions are handed back to the caller, so that this
// logic runs without a window.
#pragma once

#include <cstdint>

#include "velmscope/model_catalog.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

// Limits of viewer_settings_t::time_scale.
constexpr float time_scale_min = 0.001f;
constexpr float time_scale_max = 2.0f;
// "+" multiplies the time scale by the float 1.1 (bits 0x3F8CCCCD); "-" by the
// float with bits 0x3F68BA2E, one bit below the float nearest 1/1.1.
constexpr float time_scale_up = 1.1f;
constexpr float time_scale_down = 0.90909088f;

// What a key asks of the window system, which the caller does.
enum class window_request_t {
  none,
  full_screen,      // switch to full screen (there is no way back)
  leave_main_loop,  // quit: the main loop returns
};

// scale * factor, rounded to float, then held within [time_scale_min,
// time_scale_max].
float scaled_time_scale(float scale, float factor);

// Applies the command of one key. Only the exact characters of the command
// table act ("+" "=" "-" "_" "1" "2", C D F K M P Q R S in either case, and
// Space, "." and ","); any other key changes nothing. Space pauses or
// resumes (dropping steps not yet taken); "." and "," ask, while paused, for
// one step forward or back (playback_step.h); D toggles the difference
// colouring and readout. The character commands ("1", "2", "M") act on
// catalog, which may be null or empty: then they do nothing.
window_request_t apply_key(unsigned char key, viewer_settings_t& settings, model_catalog_t* catalog);

// A mouse button went down at (x, y), any button: the next drag starts there.
void mouse_press(viewer_settings_t& settings, std::int32_t x, std::int32_t y);

// The pointer moved to (x, y) with a button held: a drag to the right turns
// the characters by +0.5 degree per pixel, a drag down adds 0.1 per pixel to
// the camera zoom. Neither is limited.
void mouse_drag(viewer_settings_t& settings, std::int32_t x, std::int32_t y);

}  // namespace keln::velmscope
