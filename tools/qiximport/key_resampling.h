// A node's local transform at any time of an animation channel: positions
// and scalings interpolated linearly between the two keys around the time,
// rotations spherically along the shorter arc; before the first key the
// first key holds, after the last the last. A channel without keys of one
// kind takes that part from the node's own transform.
#pragma once

#include <assimp/anim.h>

#include "node_table.h"

namespace keln::qiximport {

// The transform T · R · S of channel at ticks (the animation's time unit);
// rest is the node's own transform, the source of missing parts.
dmat4_t channel_transform(const aiNodeAnim& channel, double ticks, const dmat4_t& rest);

// Spherical interpolation from a to b by t in [0, 1], through the shorter
// arc (b is negated when the two lie in opposite hemispheres); normalised.
dquat_t slerp(const dquat_t& a, dquat_t b, double t);

}  // namespace keln::qiximport
