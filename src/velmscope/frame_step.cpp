#include "velmscope/frame_step.h"

#include <algorithm>
#include <cfloat>

#include "velmscope/scene_math.h"

namespace keln::velmscope {

void frame_step_t::prepare(velmscope_model_t& model, viewer_settings_t& settings) {
  settings.model_angle += model.frame_step() * turn_degrees_per_step;
  // The readout and the colouring compare both playbacks, drawn or not.
  const bool compare = shows_difference_readout(settings);
  if (compare || (settings.render_mode & RENDER_BSPLINE)) model.bspline_instance().update();
  if (compare || (settings.render_mode & RENDER_KEYFRAME)) model.keyframe_instance().update();
  if (compare) model.compare_playbacks();

  m_coloured = settings.show_skin && settings.difference_colouring && model.mesh();
  if (!settings.show_skin) return;
  model.skin_playbacks(m_coloured || (settings.render_mode & RENDER_BSPLINE) != 0,
                       m_coloured || (settings.render_mode & RENDER_KEYFRAME) != 0);
  if (!m_coloured) return;
  // A skeleton without height (no bones) leaves the skins identical: any
  // positive scale then colours them blue.
  const float full_scale = std::max(static_cast<float>(difference_full_scale * model.rest_height()), FLT_MIN);
  colour_differences(m_colours, model.mesh()->skinned_positions, model.keyframe_positions(), full_scale,
                     skin_alpha(settings.show_skeleton));
}

}  // namespace keln::velmscope
