#pragma once
// Keyframe motion: per animated bone a channel of evenly spaced keys (in
// document order), sampled by interpolating the two keys around the pose's
// time and looping with period duration (bone_channel_t::sample). The
// channels are filled by the animation loader.

#include "velm/bone_channel.h"
#include "velm/channel_motion.h"

namespace keln::velm {

class motion_t : public channel_motion_t<bone_channel_t> {};

}  // namespace keln::velm
