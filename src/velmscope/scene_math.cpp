#include "velmscope/scene_math.h"

#include <cmath>

#include "kelncore/math/mat4_routines.h"
#include "velm/bone.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

namespace {

constexpr float radians_to_degrees = 57.29578f;
constexpr float tiny_length = 1e-5f;

// Camera: its position without zoom and its downward tilt (-5 degrees about x).
constexpr vec3_t camera_base = {{0.0f, 1.5f, 1.5f}};
constexpr float camera_tilt_radians = -0.08726647f;

// Instances stand 0.3 below the eye's height and 6 in front of it; apart by
// 0.5 to either side when both playbacks show.
constexpr float instance_y = -0.3f;
constexpr float instance_z = -6.0f;
constexpr float instance_side_x = 0.5f;

// The bone drawing's unit cone has height and base radius 0.01: scaled by
// 100 L along its axis and 5 L across it reaches a joint at distance L.
constexpr float cone_length_scale = 100.0f;
constexpr float cone_width_scale = 5.0f;

float length(const vec3_t& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

}  // namespace

void placement_matrix(mat4_t& out, const placement_t& placement) {
  mat4_t scale, rotation, translation, scaled_rotated;
  mat4_scale(scale, placement.scale);
  mat4_from_quat(rotation, placement.rotation);
  mat4_translation(translation, placement.position);
  mat4_mul(scaled_rotated, scale, rotation);
  mat4_mul(out, scaled_rotated, translation);
}

void model_view_matrix(mat4_t& out, const mat4_t& view, const mat4_t& world, const mat4_t& local) {
  mat4_t placed;
  mat4_mul(placed, local, world);
  mat4_mul(out, placed, view);
}

void camera_view(mat4_t& out, float camera_zoom) {
  const quat_t tilt = quat_from_axis_angle(vec3_t{{1.0f, 0.0f, 0.0f}}, camera_tilt_radians);
  const vec3_t offset = quat_rotate(tilt, vec3_t{{0.0f, 0.0f, camera_zoom}});
  const vec3_t position = {{camera_base[0] + offset[0], camera_base[1] + offset[1], camera_base[2] + offset[2]}};
  mat4_t back, unturn;
  mat4_translation_neg(back, position);
  quat_to_mat4_transposed(unturn, tilt);
  mat4_mul(out, back, unturn);
}

heading_pitch_t heading_pitch(const vec3_t& d) {
  heading_pitch_t angles;
  const float len = length(d);
  if (len < tiny_length) return angles;
  const float sine = std::fmin(1.0f, std::fmax(-1.0f, d[1] / len));
  angles.pitch = std::asin(sine) * radians_to_degrees;
  if (std::fabs(d[2]) < tiny_length) {
    angles.heading = d[0] < 0.0f ? 90.0f : d[0] > 0.0f ? 270.0f : 0.0f;
  } else {
    const float h = std::atan(d[0] / d[2]) * radians_to_degrees;
    if (d[2] > 0.0f) {
      angles.heading = h + 180.0f;
    } else {
      angles.heading = h < 0.0f ? h + 360.0f : h;
    }
  }
  return angles;
}

vec3_t instance_position(playback_t playback, std::uint32_t render_mode) {
  float x = 0.0f;
  if (render_mode == (RENDER_BSPLINE | RENDER_KEYFRAME))
    x = playback == playback_t::bspline ? -instance_side_x : instance_side_x;
  return vec3_t{{x, instance_y, instance_z}};
}

void instance_world(mat4_t& out, const vec3_t& position, float model_angle) {
  placement_t placement;
  placement.position = position;
  placement.rotation = quat_from_axis_angle(vec3_t{{0.0f, 1.0f, 0.0f}}, model_angle * degrees_to_radians);
  placement_matrix(out, placement);
}

float skin_alpha(bool show_skeleton) { return show_skeleton ? 0.6f : 1.0f; }

void bone_cone_matrices(const array_t<velm::bone_node_t>& skeleton, const velm::pose_t& pose,
                        array_dyn_t<mat4_t>& cones) {
  const std::uint32_t channels = pose.channel_count();
  cones.resize(channels > 0 ? channels - 1 : 0);
  // Global matrix of every bone reached so far.
  array_dyn_t<mat4_t> globals;
  globals.resize(skeleton.size());
  const mat4_t identity(1.0f);

  for (std::uint32_t i = 0; i < channels; ++i) {
    const velm::bone_t t = *pose.transform(i);
    const std::uint32_t k = pose.bone_index(i);
    const std::uint32_t parent_index = skeleton[k].parent;
    const mat4_t& parent = parent_index == velm::no_bone ? identity : globals[parent_index];

    if (i > 0) {
      const float bone_length = length(t.position);
      const heading_pitch_t angles =
          heading_pitch(vec3_t{{-t.position[0], -t.position[1], -t.position[2]}});
      placement_t cone;
      cone.scale = {{cone_width_scale * bone_length, cone_width_scale * bone_length, cone_length_scale * bone_length}};
      cone.rotation = quat_from_angles(vec3_t{{angles.heading, angles.pitch, 0.0f}});
      mat4_t cone_matrix;
      placement_matrix(cone_matrix, cone);
      mat4_mul(cones[i - 1], cone_matrix, parent);
    }

    mat4_t local;
    t.to_matrix(local);
    mat4_t global;
    mat4_mul(global, local, parent);
    globals[k] = global;
  }
}

}  // namespace keln::velmscope
