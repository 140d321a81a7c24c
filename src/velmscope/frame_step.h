// What a frame does to the shown character between advancing its motions and
// drawing it, apart from OpenGL.
#pragma once

#include "velmscope/velmscope_model.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

// Turns the characters by the model's frame step (settings.model_angle grows
// by turn_degrees_per_step per unit of step) and updates the playbacks that
// settings.render_mode shows: each blends its weighted motions into its
// current pose, which drawing then reads.
void pose_frame(velmscope_model_t& model, viewer_settings_t& settings);

}  // namespace keln::velmscope
