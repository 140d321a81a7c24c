#include "velmscope/stage_framing.h"

#include <algorithm>
#include <cmath>

#include "kelncore/math/mat4_routines.h"
#include "velm/pose_matrices.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

namespace {

// Distance of a playback from the camera, in radii: the pair spans 4.2
// radii, which at this distance is 85 % of the view's width (tan 10 degrees
// is 0.1763).
constexpr float distance_in_radii = 14.0f;
// Half the spacing of the two playbacks, in radii: a tenth of a radius
// between them at the closest.
constexpr float side_offset_in_radii = 1.1f;

// The camera of zoom 0 (scene_math.h): at (0, 1.5, 1.5), looking along -z
// turned 5 degrees down.
const vec3_t camera_position = {{0.0f, 1.5f, 1.5f}};
constexpr float camera_pitch_radians = 0.08726647f;

void widen(vec3_t& low, vec3_t& high, const vec3_t& p) {
  for (unsigned i = 0; i < 3; ++i) {
    low[i] = std::min(low[i], p[i]);
    high[i] = std::max(high[i], p[i]);
  }
}

}  // namespace

stage_framing_t rest_framing(const velm::skeletal_instance_t& instance, const velm::skinned_mesh_t* mesh) {
  stage_framing_t framing;
  if (instance.bone_count() == 0) return framing;
  array_dyn_t<mat4_t> rest, current;
  velm::global_matrices(instance.skeleton(), instance.rest_pose(), rest);
  velm::global_matrices(instance.skeleton(), instance.pose(), current);
  array_dyn_t<vec3_t> points;
  for (const mat4_t& m : rest) points.push_back(vec3_t{{m.m[3], m.m[7], m.m[11]}});
  if (mesh)
    for (const vec3_t& p : mesh->positions) points.push_back(p);
  vec3_t low = points[0], high = points[0];
  for (const vec3_t& p : points) widen(low, high, p);
  float squared = 0.0f;
  for (unsigned i = 0; i < 3; ++i) {
    const float root_shift = current[0].m[4 * i + 3] - rest[0].m[4 * i + 3];
    framing.centre[i] = 0.5f * (low[i] + high[i]) + root_shift;
    squared += (high[i] - low[i]) * (high[i] - low[i]);
  }
  const float radius = 0.5f * std::sqrt(squared);
  if (radius > 0.0f && std::isfinite(radius)) framing.radius = radius;
  return framing;
}

vec3_t framed_position(playback_t playback, std::uint32_t render_mode, const stage_framing_t& framing) {
  const float distance = distance_in_radii * framing.radius;
  float x = 0.0f;
  if (render_mode == (RENDER_BSPLINE | RENDER_KEYFRAME))
    x = (playback == playback_t::bspline ? -side_offset_in_radii : side_offset_in_radii) * framing.radius;
  return vec3_t{{x, camera_position[1] - distance * std::sin(camera_pitch_radians),
                 camera_position[2] - distance * std::cos(camera_pitch_radians)}};
}

void framed_world(mat4_t& out, const vec3_t& position, float model_angle, const stage_framing_t& framing) {
  mat4_t to_centre, turned;
  mat4_translation_neg(to_centre, framing.centre);
  instance_world(turned, position, model_angle);
  mat4_mul(out, to_centre, turned);
}

}  // namespace keln::velmscope
