// The animations of HUNTER: run, walk, backwalk (whole body), shake (the
// right arm waves above the shoulder) and binoc_hld (both arms raise the
// binoculars to the eyes while the head scans).
#pragma once

#include "clip.h"

namespace keln::chargen {

std::vector<clip_t> hunter_clips(const rig_t& rig);

}  // namespace keln::chargen
