// The 3D view with OpenGL: the fixed drawing state and light, the camera and
// the current character's playbacks with their skeletons and skin. Needs a
// current OpenGL context; the overlay is drawn afterwards by the shell.
#pragma once

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat_sq.h"
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

  // Draws model with the frame step it was last advanced by: turns the
  // characters (settings.model_angle grows by 3 degrees per unit of step),
  // then draws the B-spline playback (render mode bit 0) and the keyframe
  // playback (bit 1), side by side when both show, each updated, with its
  // skeleton as red cones when show_skeleton and its skinned mesh (blue,
  // translucent while the skeleton shows, as lines when wireframe_skin) when
  // show_skin and the model has a mesh. A model without a mesh is drawn as
  // its skeleton whatever show_skeleton says. With framing the playbacks
  // stand where it places them (stage_framing.h), else at the fixed places
  // of scene_math.h.
  void draw_model(velmscope_model_t& model, viewer_settings_t& settings, const stage_framing_t* framing = nullptr);

 private:
  void draw_instance(velm::skeletal_instance_t& instance, velm::skinned_mesh_t* mesh, playback_t playback,
                     const stage_framing_t* framing, const viewer_settings_t& settings);
  void draw_skeleton(const velm::skeletal_instance_t& instance);
  // Loads view · world · local, transposed, as OpenGL's model-view matrix.
  void load_model_view() const;

  mat4_t m_view = mat4_t(1.0f);
  mat4_t m_world = mat4_t(1.0f);
  mat4_t m_local = mat4_t(1.0f);  // the identity except while bones are drawn
  array_dyn_t<mat4_t> m_cones;
};

}  // namespace keln::velmscope
