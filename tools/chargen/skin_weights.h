// Bone influences of the skin's vertices.
#pragma once

#include "field.h"
#include "mesh.h"

namespace keln::chargen {

// Fills mesh.skin. Each vertex belongs fully to the bone whose primitives
// are nearest; the bone's parent and children share it where their own
// primitives are almost as near (within falloff, model units), fading
// quadratically. Only parent/child pairs share, so solids that merely touch
// (a hand resting near a thigh) never bind to each other. The weights are
// then averaged with the vertices' neighbours smoothing_passes times, cut to
// the four largest (ties to the lower bone index), stripped of weights
// below 1 %, and normalised to sum 1.
void assign_weights(mesh_t& mesh, const rig_t& rig, const field_t& field, double falloff,
                    int smoothing_passes);

}  // namespace keln::chargen
