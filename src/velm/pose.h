#pragma once
// Poses: anything that yields, per channel, the transform of one bone at its
// own current time (the rest pose, keyframe motions, B-spline motions), and
// the weighted reference by which an instance blends them.

#include <cstdint>

#include "velm/bone.h"

namespace keln::velm {

class pose_t {
 public:
  pose_t() = default;
  virtual ~pose_t() = default;

  // Transform of channel i at the current time. The record may be storage
  // shared by every pose of the same class and overwritten by the next call:
  // use or copy it first. i is bounds-checked (the process ends on failure).
  virtual const bone_t* transform(std::uint32_t i) const = 0;
  virtual std::uint32_t channel_count() const = 0;
  // Skeleton bone driven by channel i, or no_bone; i is bounds-checked.
  virtual std::uint32_t bone_index(std::uint32_t i) const = 0;

  // Moves the time by dt (which may be negative). Nothing wraps or clamps
  // the time here; motions wrap it when they sample.
  void advance(float dt) { time = time + dt; }

  float time = 0.0f;  // playback time, in the time unit of the motion's document
};

// A pose attached to an instance with a weight. Does not own the pose.
struct pose_binding_t {
  pose_t* pose = nullptr;
  float weight = 0.0f;
};

}  // namespace keln::velm
