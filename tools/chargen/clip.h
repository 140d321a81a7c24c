// Animations as the generator defines them, and their sampling into
// parent-relative matrix keys.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kelncore/math/mat_sq.h"
#include "pose.h"

namespace keln::chargen {

// Keys per second of every animation.
constexpr int keys_per_second = 30;

struct clip_t {
  std::string file;        // document name without directory and extension
  int frames;              // key intervals; the duration is frames / 30 s
  std::vector<int> bones;  // the driven bones, in bone order; empty: every bone
  // Writes the pose of rig at phase p in [0, 1] into a rest pose. Must be
  // periodic: phase 1 must give the pose of phase 0.
  std::function<void(const rig_t& rig, double phase, rig_pose_t& pose)> pose;
};

struct channel_keys_t {
  int bone;
  std::vector<mat4_t> keys;  // bone transform relative to its parent, per key
};

struct motion_keys_t {
  float step;      // seconds between keys
  float duration;  // frames * step
  std::vector<channel_keys_t> channels;
};

// Samples frames + 1 keys at phases k / frames. The last key is a copy of
// the first, so the loop closes exactly.
motion_keys_t sample_clip(const rig_t& rig, const clip_t& clip);

// The matrix T(rest offset + shift) R(rotation) of bone i in pose, rounded
// to float (row-major, translation in components 3, 7, 11).
mat4_t local_matrix(const rig_t& rig, const rig_pose_t& pose, int i);

// Indices, in bone order, of the bones whose names start with any of the
// prefixes: the channel lists of animations that drive part of a body.
std::vector<int> bones_with_prefix(const rig_t& rig, const std::vector<std::string>& prefixes);

}  // namespace keln::chargen
