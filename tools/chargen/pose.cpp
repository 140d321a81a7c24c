#include "pose.h"

#include <algorithm>
#include <cmath>

namespace keln::chargen {

std::vector<placement_t> globals(const rig_t& rig, const rig_pose_t& pose) {
  const std::vector<bone_def_t>& bones = rig.bones();
  std::vector<placement_t> g(bones.size());
  for (size_t i = 0; i < bones.size(); ++i) {
    dvec3 local = rig.rest_offset(int(i)) + pose.shift[i];
    int p = bones[i].parent;
    if (p < 0) {
      g[i] = {local, pose.rotation[i]};
    } else {
      g[i] = {g[p].position + rotate(g[p].rotation, local), g[p].rotation * pose.rotation[i]};
    }
  }
  return g;
}

namespace {

dquat parent_rotation(const rig_t& rig, const rig_pose_t& pose, int i) {
  dquat r;
  for (int p = rig.bones()[i].parent; p >= 0; p = rig.bones()[p].parent) r = pose.rotation[p] * r;
  return r;
}

}  // namespace

void set_global_rotation(const rig_t& rig, rig_pose_t& pose, int i, dquat g) {
  pose.rotation[i] = conjugate(parent_rotation(rig, pose, i)) * g;
}

void solve_two_bone(const rig_t& rig, rig_pose_t& pose, int upper, int lower, int end, dvec3 target,
                    dvec3 pole, dvec3 rest_pole) {
  std::vector<placement_t> g = globals(rig, pose);
  dquat end_rotation = g[end].rotation;
  dvec3 top = g[upper].position;
  dvec3 rest_upper = rig.rest_offset(lower), rest_lower = rig.rest_offset(end);
  double l1 = length(rest_upper), l2 = length(rest_lower);

  dvec3 reach = target - top;
  double d = std::clamp(length(reach), std::fabs(l1 - l2) + 1e-6, (l1 + l2) * 0.999);
  dvec3 n = normalized(reach);
  dvec3 m = normalized(pole - n * dot(pole, n));
  double c = std::clamp((l1 * l1 + d * d - l2 * l2) / (2 * l1 * d), -1.0, 1.0);
  dvec3 middle = top + n * (l1 * c) + m * (l1 * std::sqrt(1 - c * c));
  dvec3 tip = top + n * d;

  set_global_rotation(rig, pose, upper, frame_rotation(rest_upper, rest_pole, middle - top, m));
  set_global_rotation(rig, pose, lower, frame_rotation(rest_lower, rest_pole, tip - middle, m));
  set_global_rotation(rig, pose, end, end_rotation);
}

}  // namespace keln::chargen
