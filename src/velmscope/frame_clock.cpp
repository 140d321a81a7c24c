#include "velmscope/frame_clock.h"

namespace keln::velmscope {

float frame_clock_t::step(std::uint64_t now_us, float time_scale) {
  if (!m_started) {
    m_watch.start(now_us);
    m_started = true;
  } else {
    m_watch.tick(now_us);
  }
  return static_cast<float>(m_watch.delta) * time_scale;
}

}  // namespace keln::velmscope
