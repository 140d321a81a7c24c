// A pose of a rig: per bone a rotation and a shift relative to its parent,
// and the forward and inverse kinematics the motions are built with.
#pragma once

#include <vector>

#include "rig.h"

namespace keln::chargen {

// Bone i's transform relative to its parent is
// T(rest offset + shift[i]) R(rotation[i]); a default pose is the rest pose.
struct rig_pose_t {
  explicit rig_pose_t(const rig_t& rig) : rotation(rig.bones().size()), shift(rig.bones().size()) {}
  std::vector<dquat> rotation;
  std::vector<dvec3> shift;
};

// A bone's transform in character space.
struct placement_t {
  dvec3 position;
  dquat rotation;
};

// Forward kinematics: every bone's placement in character space.
std::vector<placement_t> globals(const rig_t& rig, const rig_pose_t& pose);

// Sets bone i's local rotation so that its rotation in character space
// becomes g, its parent staying where it is.
void set_global_rotation(const rig_t& rig, rig_pose_t& pose, int i, dquat g);

// Two-bone inverse kinematics. Turns bone upper (whose joint stays put) and
// its child lower so that the joint of end (lower's child) reaches target,
// bending in the plane that holds the pole direction (character space; the
// middle joint moves toward the pole). rest_pole is the direction of the
// bend at rest; it fixes the twist. Targets out of reach are pulled in to
// 99.9 % of the chain's length. The end bone keeps its rotation in
// character space unchanged.
void solve_two_bone(const rig_t& rig, rig_pose_t& pose, int upper, int lower, int end, dvec3 target,
                    dvec3 pole, dvec3 rest_pole);

}  // namespace keln::chargen
