#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

const char* render_mode_name(std::uint32_t render_mode) {
  switch (render_mode) {
    case RENDER_BSPLINE:
      return "B-spline only";
    case RENDER_KEYFRAME:
      return "Keyframe only";
    case RENDER_BSPLINE | RENDER_KEYFRAME:
      return "B-spline (left) & Keyframe (right)";
    default:
      return "";
  }
}

const float* background_colour(std::uint32_t background_index) {
  static const float colours[2][4] = {
      {0.1f, 0.1f, 0.1f, 1.0f},
      {0.5f, 0.5f, 0.5f, 1.0f},
  };
  return colours[background_index & 1];
}

}  // namespace keln::velmscope
