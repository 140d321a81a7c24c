#include "figures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace keln::velmfit {

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

double percent_of(double distance, double height) { return height > 0.0 ? 100.0 * distance / height : not_a_number; }

}  // namespace

double figures_t::ratio() const {
  return bspline_bytes != 0 ? static_cast<double>(keyframe_bytes) / static_cast<double>(bspline_bytes) : not_a_number;
}

figures_t measure_animation(fit_character_t& character, std::size_t index, playback_error_t& error) {
  const fitted_animation_t& animation = character.animations.at(index);
  const velm::motion_t& keyframe = *animation.keyframe;
  figures_t f;
  f.name = animation.name;
  f.channels = keyframe.channels.size();
  const velm::motion_loop_t loop = velm::motion_loop(keyframe);
  f.keys = loop.keys;
  f.duration = loop.duration;
  for (const velm::bone_channel_t& channel : keyframe.channels)
    f.keyframe_bytes += sizeof(velm::bone_t) * channel.size();
  for (const velm::bspline_bone_channel_t& channel : animation.bspline->channels) {
    f.bspline_bytes += channel.byte_size();
    f.cache_bytes += velm::bspline_bone_channel_t::cache_byte_size();
  }
  f.fit_ms = animation.fit_ms;
  f.key_errors = largest_key_errors(keyframe, *animation.bspline);

  error = measure_playback(character, index);
  f.rest_height = velm::rest_height(character.keyframe_instance);
  f.largest = error.largest;
  f.mean = error.mean;
  f.largest_percent = percent_of(error.largest, f.rest_height);
  f.mean_percent = percent_of(error.mean, f.rest_height);
  f.worst_bone = error.worst_bone == velm::no_bone ? "-" : character.bone_name(error.worst_bone);
  f.worst_animation = f.name;
  f.worst_time = error.worst_time;
  f.joint_samples = error.joint_samples;
  return f;
}

figures_t total_of(const std::vector<figures_t>& rows) {
  figures_t total;
  total.name = "total";
  total.worst_bone = "-";
  total.worst_animation = "-";
  total.largest_percent = not_a_number;
  double mean_sum = 0.0, percent_sum = 0.0;
  std::uint64_t percent_samples = 0;
  for (const figures_t& row : rows) {
    total.channels += row.channels;
    total.duration += row.duration;
    total.keyframe_bytes += row.keyframe_bytes;
    total.bspline_bytes += row.bspline_bytes;
    total.cache_bytes += row.cache_bytes;
    total.fit_ms += row.fit_ms;
    total.key_errors.position = std::max(total.key_errors.position, row.key_errors.position);
    total.key_errors.rotation = std::max(total.key_errors.rotation, row.key_errors.rotation);
    total.key_errors.stretch = std::max(total.key_errors.stretch, row.key_errors.stretch);
    if (row.largest > total.largest) {
      total.largest = row.largest;
      total.worst_bone = row.worst_bone;
      total.worst_animation = row.name;
    }
    // fmax keeps the number when one side is NaN (no rest height).
    total.largest_percent = std::fmax(total.largest_percent, row.largest_percent);
    mean_sum += row.mean * static_cast<double>(row.joint_samples);
    if (!std::isnan(row.mean_percent)) {
      percent_sum += row.mean_percent * static_cast<double>(row.joint_samples);
      percent_samples += row.joint_samples;
    }
    total.joint_samples += row.joint_samples;
  }
  total.mean = total.joint_samples ? mean_sum / static_cast<double>(total.joint_samples) : 0.0;
  total.mean_percent = percent_samples ? percent_sum / static_cast<double>(percent_samples) : not_a_number;
  return total;
}

}  // namespace keln::velmfit
