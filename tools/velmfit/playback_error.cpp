#include "playback_error.h"

#include <algorithm>
#include <cmath>

namespace keln::velmfit {

namespace {

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

playback_error_t measure_playback(fit_character_t& character, std::size_t index) {
  character.play_only(index);
  fitted_animation_t& animation = character.animations.at(index);
  const array_dyn_t<velm::bone_node_t>& skeleton = character.keyframe_instance.skeleton();
  const std::vector<bool> moved = moved_bones(*animation.keyframe, skeleton);
  const std::uint32_t bones = skeleton.size();

  playback_error_t error;
  error.bone_largest.assign(bones, 0.0);
  const velm::motion_loop_t loop = velm::motion_loop(*animation.keyframe);
  const bool loops = loop.keys >= 2 && loop.duration > 0.0f && std::isfinite(loop.duration);
  const std::uint32_t samples = loops ? 4 * (loop.keys - 1) : 1;

  velm::playback_difference_t difference;
  double sum = 0.0;
  for (std::uint32_t s = 0; s < samples; ++s) {
    const float time = loops ? static_cast<float>(double{loop.duration} * s / samples) : 0.0f;
    animation.keyframe->time = time;
    animation.bspline->time = time;
    character.keyframe_instance.update();
    character.bspline_instance.update();
    difference.measure(skeleton, character.keyframe_instance.pose(), character.bspline_instance.pose());

    double sample_largest = 0.0, sample_sum = 0.0;
    std::uint32_t sample_joints = 0;
    for (std::uint32_t b = 0; b < bones; ++b) {
      if (!moved[b]) continue;
      const double d = difference.distance(b);
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

}  // namespace keln::velmfit
