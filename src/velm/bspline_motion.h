#pragma once
// B-spline motion: the compact approximation of a keyframe motion, one
// bspline_bone_channel_t per keyframe channel (same order), fitted when
// constructed; sampled by evaluating the channels' curves at the pose's
// looping time (bspline_bone_channel_t::sample). Its shared result record is
// distinct from the keyframe motion's.

#include "velm/bspline_bone_channel.h"
#include "velm/channel_motion.h"
#include "velm/motion.h"

namespace keln::velm {

class bspline_motion_t : public channel_motion_t<bspline_bone_channel_t> {
 public:
  // Fits every channel of source (on every processor, bit for bit as one
  // after the other; time starts at 0), then reports the memory of both
  // forms through msg_info:
  //   "^ motion_t size in bytes         : <64 per key>"
  //   "^ bspline_motion_t size in bytes : <curve bytes>"
  // source is only read and may be destroyed afterwards.
  explicit bspline_motion_t(const motion_t& source);
};

}  // namespace keln::velm
