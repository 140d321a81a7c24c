// Placement of characters of any size and place (those given on the
// command line): the camera stays where it is, and each playback stands far
// enough along the camera's viewing axis, and the two far enough apart, that
// both are whole in the window however they turn. Built from the rest pose;
// the built-in characters keep their fixed placement (scene_math.h).
#pragma once

#include <cstdint>

#include "kelncore/math/mat_sq.h"
#include "kelncore/math/vec.h"
#include "velm/skeletal_instance.h"
#include "velm/skinned_mesh.h"
#include "velmscope/scene_math.h"

namespace keln::velmscope {

struct stage_framing_t {
  vec3_t centre;        // the point placed on the viewing axis, in model space
  float radius = 1.0f;  // half the rest box's diagonal: the character turns within it
};

// The box around the rest joints of instance and, when there is one, the
// bind-pose vertices of mesh gives the radius (1 for a box of no size). The
// centre is the box's middle moved as far as the instance's current pose
// moves the root from its rest place, so that a character whose motion
// starts away from the origin (motion capture keeps the root's path) stands
// in view at the start. The current pose is the one the last update made.
stage_framing_t rest_framing(const velm::skeletal_instance_t& instance, const velm::skinned_mesh_t* mesh);

// Where a playback's centre stands: on the camera's viewing axis (zoom 0)
// at 14 radii (so that the pair fills at most 85 % of the 20-degree field of
// view), moved 1.1 radii left (B-spline) or right (keyframe) when both show.
vec3_t framed_position(playback_t playback, std::uint32_t render_mode, const stage_framing_t& framing);

// The world matrix of an instance so framed: its centre moved to position,
// turned model_angle degrees about the vertical axis through it.
void framed_world(mat4_t& out, const vec3_t& position, float model_angle, const stage_framing_t& framing);

}  // namespace keln::velmscope
