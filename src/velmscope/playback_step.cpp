#include "velmscope/playback_step.h"

namespace keln::velmscope {

float playback_step(viewer_settings_t& settings, float running_step, float key_interval) {
  if (!settings.paused) return running_step;
  const float step = static_cast<float>(settings.pending_steps) * key_interval * settings.time_scale;
  settings.pending_steps = 0;
  return step;
}

}  // namespace keln::velmscope
