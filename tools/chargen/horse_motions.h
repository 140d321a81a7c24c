// The animations of HORSE: walk (four-beat lateral walk), gallop
// (transverse gallop with a moment of suspension), stand_idle (breathing,
// weight shifts, ear and tail flicks), grazing (neck, head and ears only:
// down to the grass and chewing) and shake (neck, head, ears and mane only).
#pragma once

#include "clip.h"

namespace keln::chargen {

std::vector<clip_t> horse_clips(const rig_t& rig);

}  // namespace keln::chargen
