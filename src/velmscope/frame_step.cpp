#include "velmscope/frame_step.h"

#include "velmscope/scene_math.h"

namespace keln::velmscope {

void pose_frame(velmscope_model_t& model, viewer_settings_t& settings) {
  settings.model_angle += model.frame_step() * turn_degrees_per_step;
  if (settings.render_mode & RENDER_BSPLINE) model.bspline_instance().update();
  if (settings.render_mode & RENDER_KEYFRAME) model.keyframe_instance().update();
}

}  // namespace keln::velmscope
