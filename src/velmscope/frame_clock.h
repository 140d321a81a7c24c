// The frame clock: the time step of each frame.
#pragma once

#include <cstdint>

#include "kelncore/system/clock.h"

namespace keln::velmscope {

// Turns one clock reading per frame into that frame's step.
class frame_clock_t {
 public:
  // Step of the frame whose reading is now_us (microseconds, time_us()):
  // the seconds since the previous frame's reading, as float, times
  // time_scale. The first frame's step is 0.
  float step(std::uint64_t now_us, float time_scale);

 private:
  stopwatch_t m_watch;
  bool m_started = false;
};

}  // namespace keln::velmscope
