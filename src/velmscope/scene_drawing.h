// The 3D view with OpenGL: the fixed drawing state and light, the camera and
// the current character's playbacks with their skeletons and skin. Needs a
// current OpenGL context; the overlay is drawn afterwards by the shell.
#pragma once

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat_sq.h"
#include "velmscope/difference_colours.h"
#include "velmscope/scene_math.h"
#include "velmscope/stage_framing.h"
#include "velmscope/velmscope_model.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

// Depth test, normalised normals, clockwise front faces, colour material,
// and one directional white light from above, fixed to the eye. Set every
// frame before the camera.
void set_scene_state();

class scene_view_t {
 public:
  // Recomputes the view matrix for the settings' camera zoom.
  void set_camera(const viewer_settings_t& settings);

  // Draws model's B-spline playback (render mode bit 0) and keyframe
  // playback (bit 1) in their current poses, side by side when both show,
  // each with its skeleton as red cones when show_skeleton and its skin as
  // frame_step_t::prepare left it when show_skin and the model has a mesh:
  // blue, translucent while the skeleton shows, as lines when
  // wireframe_skin. bspline_colours, when given, colour the B-spline skin
  // vertex by vertex instead of the blue. A model without a mesh is drawn as
  // its skeleton whatever show_skeleton says. With framing the playbacks
  // stand where it places them (stage_framing.h), else at the fixed places
  // of scene_math.h.
  void draw_model(const velmscope_model_t& model, const viewer_settings_t& settings,
                  const array_t<vertex_colour_t>* bspline_colours, const stage_framing_t* framing = nullptr);

 private:
  // Places the playback's instance (turned by model_angle) and draws its
  // skeleton when skeleton is set.
  void place_instance(const velm::skeletal_instance_t& instance, playback_t playback, const stage_framing_t* framing,
                      bool skeleton, const viewer_settings_t& settings);
  void draw_skeleton(const velm::skeletal_instance_t& instance);
  // Loads view · world · local, transposed, as OpenGL's model-view matrix.
  void load_model_view() const;

  mat4_t m_view = mat4_t(1.0f);
  mat4_t m_world = mat4_t(1.0f);
  mat4_t m_local = mat4_t(1.0f);  // the identity except while bones are drawn
  array_dyn_t<mat4_t> m_cones;
};

}  // namespace keln::velmscope
