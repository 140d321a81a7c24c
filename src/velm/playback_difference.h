#pragma once
// How far two playbacks of one skeleton stand apart: the distances between
// the joints of two poses, the joints being the translations of the bones'
// global matrices (model space, document units). The viewer's readout and
// the velmfit tool measure with this.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat_sq.h"
#include "velm/bone_node.h"
#include "velm/motion.h"
#include "velm/pose.h"
#include "velm/skeletal_instance.h"

namespace keln::velm {

// Distance between the translations of two global matrices, in double;
// infinite when it is not a number (a pose that overflowed is as far off as a
// pose can be).
double joint_distance(const mat4_t& a, const mat4_t& b);

// The largest joint distance of a measurement and the bone where it occurs.
struct joint_gap_t {
  double distance = 0.0;        // document units
  std::uint32_t bone = no_bone;  // the earliest bone of that distance; no_bone while it is 0
};

// Measures two poses of one skeleton against each other, bone by bone. Its
// working storage is sized by the first measurement and reused: measuring the
// same skeleton again allocates nothing.
class playback_difference_t {
 public:
  // The global matrices of both poses (global_matrices) and, for every bone
  // of skeleton, the distance between its joints in a and b.
  void measure(const array_t<bone_node_t>& skeleton, const pose_t& a, const pose_t& b);

  // Distance at bone by the last measurement; bone must be below bone_count
  // (checked: the process ends otherwise).
  double distance(std::uint32_t bone) const { return m_distances[bone]; }
  std::uint32_t bone_count() const { return m_distances.size(); }

  // The largest distance of the last measurement over every bone.
  joint_gap_t largest() const;

 private:
  array_dyn_t<mat4_t> m_joints_a;
  array_dyn_t<mat4_t> m_joints_b;
  array_dyn_t<double> m_distances;
};

// Extent along y of the rest pose's joints (model space, document units): the
// measure distances are compared with. 0 without bones.
double rest_height(const skeletal_instance_t& instance);

// The loop of a keyframe motion as its longest channel plays it: that
// channel's key count and duration (the first of channels with equally many
// keys).
struct motion_loop_t {
  std::uint32_t keys = 0;
  float duration = 0.0f;  // time from the first to the last key, document time units

  // Time between two keys: duration / (keys - 1); 0 unless there are at
  // least two keys and the duration is positive and finite.
  float key_interval() const;
};
motion_loop_t motion_loop(const motion_t& motion);

}  // namespace keln::velm
