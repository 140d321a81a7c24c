#pragma once
// B-spline motion: the compact approximation of a keyframe motion, one
// bspline_bone_channel_t per keyframe channel, fitted when constructed.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bspline_bone_channel.h"
#include "velm/motion.h"
#include "velm/pose.h"

namespace keln::velm {

class bspline_motion_t : public pose_t {
 public:
  // Fits every channel of source, in order (time starts at 0), then reports
  // the memory of both forms through msg_info:
  //   "^ motion_t size in bytes         : <64 per key>"
  //   "^ bspline_motion_t size in bytes : <curve bytes>"
  // source is only read and may be destroyed afterwards.
  explicit bspline_motion_t(const motion_t& source);

  // Channel i evaluated at the current time (bspline_bone_channel_t::evaluate)
  // into a record shared by every bspline_motion_t (valid until the next
  // evaluation of any of them; distinct from the one of motion_t).
  const bone_t* transform(std::uint32_t i) const override;
  std::uint32_t channel_count() const override;
  std::uint32_t bone_index(std::uint32_t i) const override;

  array_dyn_t<bspline_bone_channel_t> channels;  // one per source channel, same order

 private:
  static bone_t& shared_result();
};

}  // namespace keln::velm
