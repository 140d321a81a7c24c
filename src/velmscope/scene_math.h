// The arithmetic of the 3D view, apart from OpenGL: placements, the camera,
// the model-view product, where each playback stands and the bone cones.
// Matrices follow mat_sq.h (row-major, column vectors, "a then b" products)
// and are computed through the matrix routine table, so the core must be
// started. Angles are in degrees unless a name says radians.
#pragma once

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat_sq.h"
#include "kelncore/math/quat.h"
#include "kelncore/math/vec.h"
#include "velm/bone_node.h"
#include "velm/pose.h"

namespace keln::velmscope {

// Where and how an object stands: its matrix is T(position) · R(rotation) ·
// S(scale), i.e. scaled first, then rotated, then moved.
struct placement_t {
  vec3_t position;
  vec3_t scale = {{1.0f, 1.0f, 1.0f}};
  quat_t rotation = quat_identity();  // (w, x, y, z)
};

void placement_matrix(mat4_t& out, const placement_t& placement);

// The matrix OpenGL's model-view gets (before its transposition):
// view · world · local, local applied first.
void model_view_matrix(mat4_t& out, const mat4_t& view, const mat4_t& world, const mat4_t& local);

// The camera's view matrix for a zoom (its offset along its own viewing axis,
// positive backwards): the camera stands at (0, 1.5, 1.5) plus the rotated
// offset and looks along -z turned 5 degrees down; the view is the inverse of
// that placement.
void camera_view(mat4_t& out, float camera_zoom);

// Heading and pitch (degrees) of a direction: the quaternion of the three
// angles (heading, pitch, 0) turns the -z axis onto d. A direction shorter
// than 1e-5 gives (0, 0); heading lies in [0, 360).
struct heading_pitch_t {
  float heading = 0.0f;
  float pitch = 0.0f;
};
heading_pitch_t heading_pitch(const vec3_t& d);

// Which playback an instance plays.
enum class playback_t { bspline, keyframe };

// Position of a playback's instance in the view: x -0.5 (B-spline) and 0.5
// (keyframe) when render_mode shows both, x 0 when it shows one; always
// 0.3 below the eye's height and 6 in front.
vec3_t instance_position(playback_t playback, std::uint32_t render_mode);

// An instance's world matrix: at position, turned model_angle degrees about
// the vertical axis.
void instance_world(mat4_t& out, const vec3_t& position, float model_angle);

// The automatic turn of the characters: 3 degrees per unit of frame step.
constexpr float turn_degrees_per_step = 3.0f;

// Alpha of the skin: translucent (0.6) while the skeleton shows, else opaque.
float skin_alpha(bool show_skeleton);

// The bone drawing of a pose, as local matrices of a unit cone: one cone per
// channel except the first (the root, which draws none), from the joint of
// the channel's parent bone to the channel's bone's joint. A cone of height
// 0.01 and base radius 0.01 along +z, placed by such a matrix, reaches
// exactly from joint to joint with base radius 0.05 times the bone's length.
// cones[i - 1] belongs to channel i. The pass relies on channels listing
// parents before children (true of an instance's current pose). A channel's
// bone and its parent must be bones of skeleton (checked: the process ends
// otherwise).
void bone_cone_matrices(const array_t<velm::bone_node_t>& skeleton, const velm::pose_t& pose,
                        array_dyn_t<mat4_t>& cones);

}  // namespace keln::velmscope
