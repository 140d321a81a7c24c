// The animations of ELEPHANT: walk (slow four-beat lateral walk with a
// swinging trunk), gallop (the fast amble: no moment of suspension),
// grazing (trunk, head and ears only: trunk to the ground and to the mouth)
// and shake (head, ears and trunk only: a head shake with flapping ears).
#pragma once

#include "clip.h"

namespace keln::chargen {

std::vector<clip_t> elephant_clips(const rig_t& rig);

}  // namespace keln::chargen
