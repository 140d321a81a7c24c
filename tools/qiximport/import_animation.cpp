#include "import_animation.h"

#include <cmath>
#include <map>

#include "key_resampling.h"

namespace keln::qiximport {

namespace {

// Slack when counting whole key intervals in a duration, so that a duration
// of exactly n intervals computed in floating point is not cut to n - 1.
constexpr double key_count_slack = 1e-6;

// Largest number of keys times bones of one animation: keeps the memory, the
// document and the loaded motion within reason whatever duration a file
// claims.
constexpr double max_bone_keys = 2e6;

}  // namespace

double ticks_per_second(const aiAnimation& animation) {
  return animation.mTicksPerSecond > 0.0 ? animation.mTicksPerSecond : 1.0;
}

bool resample_animation(const aiAnimation& animation, const import_skeleton_t& skeleton, double fps,
                        const import_options_t& options, import_clip_t& clip, std::string& problem) {
  const double seconds = std::max(animation.mDuration, 0.0) / ticks_per_second(animation);
  const double intervals = std::floor(seconds * fps + key_count_slack);
  if ((intervals + 1.0) * static_cast<double>(skeleton.bones.size()) > max_bone_keys) {
    problem = "animation \"" + std::string(animation.mName.C_Str()) + "\" would need more than 2000000 bone keys";
    return false;
  }
  const auto available = static_cast<std::uint32_t>(intervals) + 1;
  std::uint32_t first = 0, last = available - 1;
  if (options.has_frames) {
    if (options.last_frame >= available) {
      problem = "frames " + std::to_string(options.first_frame) + ":" + std::to_string(options.last_frame) +
                " lie outside the animation's keys 0:" + std::to_string(available - 1);
      return false;
    }
    first = options.first_frame;
    last = options.last_frame;
  }
  clip.source = &animation;
  clip.fps = fps;
  clip.ticks_per_key = ticks_per_second(animation) / fps;
  clip.first_ticks = first * clip.ticks_per_key;
  clip.key_count = last - first + 1;

  std::map<const aiNode*, const aiNodeAnim*> channels;
  for (unsigned c = 0; c < animation.mNumChannels; ++c) {
    const std::uint32_t bone = skeleton.find_bone(animation.mChannels[c]->mNodeName.C_Str());
    if (bone != no_parent) channels.emplace(skeleton.bones[bone].node, animation.mChannels[c]);
  }
  clip.keys.assign(skeleton.bones.size(), std::vector<dmat4_t>(clip.key_count));
  for (std::size_t b = 0; b < skeleton.bones.size(); ++b) {
    const dmat4_t rest(skeleton.bones[b].node->mTransformation);
    const auto channel = channels.find(skeleton.bones[b].node);
    for (std::uint32_t k = 0; k < clip.key_count; ++k) {
      const dmat4_t local =
          channel == channels.end() ? rest : channel_transform(*channel->second, clip.ticks_at(k), rest);
      clip.keys[b][k] = scaled_translation(local, options.scale);
    }
  }
  return true;
}

}  // namespace keln::qiximport
