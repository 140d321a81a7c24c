// What a frame computes for the shown character between advancing its
// motions and drawing it, apart from OpenGL.
#pragma once

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velmscope/difference_colours.h"
#include "velmscope/velmscope_model.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

class frame_step_t {
 public:
  // Turns the characters by the model's frame step (settings.model_angle
  // grows by turn_degrees_per_step per unit of step); updates the playbacks
  // that render_mode shows, which blend their weighted motions into their
  // current poses, and while shows_difference_readout both, and compares
  // them (velmscope_model_t::compare_playbacks). With show_skin
  // it skins the playbacks that render_mode shows, and both while the
  // difference colouring is on; the colouring then colours the B-spline skin
  // by its distance from the keyframe skin, full red at
  // difference_full_scale of the rest height. Allocates nothing once the
  // model has been prepared with the colouring on and off.
  void prepare(velmscope_model_t& model, viewer_settings_t& settings);

  // The B-spline skin's vertex colours of the last prepare, or null when it
  // coloured none.
  const array_t<vertex_colour_t>* bspline_colours() const { return m_coloured ? &m_colours : nullptr; }

 private:
  array_dyn_t<vertex_colour_t> m_colours;
  bool m_coloured = false;
};

}  // namespace keln::velmscope
