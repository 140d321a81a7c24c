// Pausing and stepping: the time step of each frame's motions.
#pragma once

#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

// The step of this frame's motions, in scaled seconds: running_step (the
// frame clock's) while playing; while paused, the steps asked for since the
// last frame (settings.pending_steps), each key_interval (the selected base
// animation's) times the time scale, which are then used up. Stepping back
// past 0 gives negative times, which the motions wrap into their loops.
float playback_step(viewer_settings_t& settings, float running_step, float key_interval);

}  // namespace keln::velmscope
