// One animation of the scene resampled to evenly spaced keys: per bone, its
// local transform (relative to its parent bone) at every key.
#pragma once

#include <assimp/scene.h>
#include <string>
#include <vector>

#include "import_options.h"
#include "import_skeleton.h"

namespace keln::qiximport {

struct import_clip_t {
  const aiAnimation* source = nullptr;
  double fps = 0.0;           // keys per second
  double first_ticks = 0.0;   // source time of key 0, in the animation's ticks
  double ticks_per_key = 0.0;
  std::uint32_t key_count = 0;
  // keys[bone][key]: the bone's local transform, lengths in output units.
  std::vector<std::vector<dmat4_t>> keys;

  // Source time of key k, in ticks.
  double ticks_at(std::uint32_t k) const { return first_ticks + k * ticks_per_key; }
};

// Ticks per second of animation; the animation's own, or 1 when the file
// gives none (its ticks are then taken as seconds).
double ticks_per_second(const aiAnimation& animation);

// Resamples animation for skeleton at fps keys per second (keys 0 .. last
// covering its duration, or the keys options.first_frame .. last_frame of
// that range). Bones the animation does not move keep their node transform
// at every key. False with problem set when the frame range lies outside the
// animation.
bool resample_animation(const aiAnimation& animation, const import_skeleton_t& skeleton, double fps,
                        const import_options_t& options, import_clip_t& clip, std::string& problem);

}  // namespace keln::qiximport
