#include "velmscope/commands.h"

namespace keln::velmscope {

float scaled_time_scale(float scale, float factor) {
  const float product = scale * factor;
  if (product < time_scale_min) return time_scale_min;
  if (product > time_scale_max) return time_scale_max;
  return product;
}

window_request_t apply_key(unsigned char key, viewer_settings_t& settings, model_catalog_t* catalog) {
  const std::uint32_t models = model_count(catalog);
  switch (key) {
    case '+':
    case '=':
      settings.time_scale = scaled_time_scale(settings.time_scale, time_scale_up);
      break;
    case '-':
    case '_':
      settings.time_scale = scaled_time_scale(settings.time_scale, time_scale_down);
      break;
    case '1':
      if (models != 0) catalog->next_base(settings.current_model);
      break;
    case '2':
      if (models != 0) catalog->next_side(settings.current_model);
      break;
    case 'C':
    case 'c':
      settings.background_index = settings.background_index == 0 ? 1 : 0;
      break;
    case 'D':
    case 'd':
      settings.difference_colouring = !settings.difference_colouring;
      break;
    case 'F':
    case 'f':
      return window_request_t::full_screen;
    case 'K':
    case 'k':
      settings.show_skeleton = !settings.show_skeleton;
      break;
    case 'M':
    case 'm':
      // With no characters there is nothing to switch to (and no modulus).
      if (models != 0) settings.current_model = (settings.current_model + 1) % models;
      break;
    case 'P':
    case 'p':
      settings.wireframe_skin = !settings.wireframe_skin;
      break;
    case 'Q':
    case 'q':
      return window_request_t::leave_main_loop;
    case 'R':
    case 'r':
      // B-spline only, keyframe only, both, and again B-spline only.
      if (settings.render_mode == RENDER_BSPLINE)
        settings.render_mode = RENDER_KEYFRAME;
      else if (settings.render_mode == RENDER_KEYFRAME)
        settings.render_mode = RENDER_BSPLINE | RENDER_KEYFRAME;
      else
        settings.render_mode = RENDER_BSPLINE;
      break;
    case 'S':
    case 's':
      settings.show_skin = !settings.show_skin;
      break;
    case ' ':
      settings.paused = !settings.paused;
      settings.pending_steps = 0;
      break;
    case '.':
      if (settings.paused) ++settings.pending_steps;
      break;
    case ',':
      if (settings.paused) --settings.pending_steps;
      break;
    default:
      break;
  }
  return window_request_t::none;
}

void mouse_press(viewer_settings_t& settings, std::int32_t x, std::int32_t y) {
  settings.last_mouse = {x, y};
}

void mouse_drag(viewer_settings_t& settings, std::int32_t x, std::int32_t y) {
  const float dx = static_cast<float>(settings.last_mouse.x - x);
  const float dy = static_cast<float>(settings.last_mouse.y - y);
  settings.last_mouse = {x, y};
  settings.model_angle -= dx * 0.5f;
  settings.camera_zoom -= dy * 0.1f;
}

}  // namespace keln::velmscope
