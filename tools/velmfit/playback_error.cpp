#include "playback_error.h"

#include <algorithm>
#include <cmath>

#include "velm/pose_matrices.h"

namespace keln::velmfit {

namespace {

// Distance between two joints; infinite when either position is not a
// number (a pose that overflowed is as wrong as a pose can be).
double joint_distance(const mat4_t& a, const mat4_t& b) {
  const double dx = double{a.m[3]} - b.m[3];
  const double dy = double{a.m[7]} - b.m[7];
  const double dz = double{a.m[11]} - b.m[11];
  const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
  return std::isnan(d) ? INFINITY : d;
}

// Bones whose joint the motion moves: driven by one of its channels, or below
// such a bone (parents stand before their children).
std::vector<bool> moved_bones(const velm::motion_t& motion, const array_t<velm::bone_node_t>& skeleton) {
  std::vector<bool> moved(skeleton.size(), false);
  for (const velm::bone_channel_t& channel : motion.channels)
    if (channel.bone < moved.size()) moved[channel.bone] = true;
  for (std::uint32_t b = 0; b < moved.size(); ++b) {
    const std::uint32_t parent = skeleton[b].parent;
    if (parent < b && moved[parent]) moved[b] = true;
  }
  return moved;
}

}  // namespace

loop_t animation_loop(const velm::motion_t& motion) {
  loop_t loop;
  for (const velm::bone_channel_t& channel : motion.channels)
    if (channel.size() > loop.keys) {
      loop.keys = channel.size();
      loop.duration = channel.duration;
    }
  return loop;
}

playback_error_t measure_playback(fit_character_t& character, std::size_t index) {
  character.play_only(index);
  fitted_animation_t& animation = character.animations.at(index);
  const array_dyn_t<velm::bone_node_t>& skeleton = character.keyframe_instance.skeleton();
  const std::vector<bool> moved = moved_bones(*animation.keyframe, skeleton);
  const std::uint32_t bones = skeleton.size();

  playback_error_t error;
  error.bone_largest.assign(bones, 0.0);
  const loop_t loop = animation_loop(*animation.keyframe);
  const bool loops = loop.keys >= 2 && loop.duration > 0.0f && std::isfinite(loop.duration);
  const std::uint32_t samples = loops ? 4 * (loop.keys - 1) : 1;

  array_dyn_t<mat4_t> keyframe_joints, bspline_joints;
  double sum = 0.0;
  for (std::uint32_t s = 0; s < samples; ++s) {
    const float time = loops ? static_cast<float>(double{loop.duration} * s / samples) : 0.0f;
    animation.keyframe->time = time;
    animation.bspline->time = time;
    character.keyframe_instance.update();
    character.bspline_instance.update();
    velm::global_matrices(skeleton, character.keyframe_instance.pose(), keyframe_joints);
    velm::global_matrices(character.bspline_instance.skeleton(), character.bspline_instance.pose(), bspline_joints);

    double sample_largest = 0.0, sample_sum = 0.0;
    std::uint32_t sample_joints = 0;
    for (std::uint32_t b = 0; b < bones; ++b) {
      if (!moved[b]) continue;
      const double d = joint_distance(keyframe_joints[b], bspline_joints[b]);
      error.bone_largest[b] = std::max(error.bone_largest[b], d);
      if (d > error.largest) {
        error.largest = d;
        error.worst_bone = b;
        error.worst_time = time;
      }
      sample_largest = std::max(sample_largest, d);
      sample_sum += d;
      ++sample_joints;
    }
    sum += sample_sum;
    error.joint_samples += sample_joints;
    error.trace.times.push_back(time);
    error.trace.largest.push_back(static_cast<float>(sample_largest));
    error.trace.mean.push_back(sample_joints ? static_cast<float>(sample_sum / sample_joints) : 0.0f);
  }
  if (error.joint_samples != 0) error.mean = sum / static_cast<double>(error.joint_samples);
  return error;
}

double rest_height(const velm::skeletal_instance_t& instance) {
  if (instance.bone_count() == 0) return 0.0;
  array_dyn_t<mat4_t> joints;
  velm::global_matrices(instance.skeleton(), instance.rest_pose(), joints);
  float low = joints[0].m[7], high = low;
  for (const mat4_t& joint : joints) {
    low = std::min(low, joint.m[7]);
    high = std::max(high, joint.m[7]);
  }
  return double{high} - low;
}

}  // namespace keln::velmfit
