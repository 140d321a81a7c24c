#include "velm/playback_difference.h"

#include <algorithm>
#include <cmath>

#include "velm/pose_matrices.h"

namespace keln::velm {

double joint_distance(const mat4_t& a, const mat4_t& b) {
  const double dx = double{a.m[3]} - b.m[3];
  const double dy = double{a.m[7]} - b.m[7];
  const double dz = double{a.m[11]} - b.m[11];
  const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
  return std::isnan(d) ? INFINITY : d;
}

void playback_difference_t::measure(const array_t<bone_node_t>& skeleton, const pose_t& a, const pose_t& b) {
  global_matrices(skeleton, a, m_joints_a);
  global_matrices(skeleton, b, m_joints_b);
  m_distances.resize(skeleton.size());
  for (std::uint32_t bone = 0; bone < m_distances.size(); ++bone)
    m_distances[bone] = joint_distance(m_joints_a[bone], m_joints_b[bone]);
}

joint_gap_t playback_difference_t::largest() const {
  joint_gap_t gap;
  for (std::uint32_t bone = 0; bone < m_distances.size(); ++bone)
    if (m_distances[bone] > gap.distance) {
      gap.distance = m_distances[bone];
      gap.bone = bone;
    }
  return gap;
}

double rest_height(const skeletal_instance_t& instance) {
  if (instance.bone_count() == 0) return 0.0;
  array_dyn_t<mat4_t> joints;
  global_matrices(instance.skeleton(), instance.rest_pose(), joints);
  float low = joints[0].m[7], high = low;
  for (const mat4_t& joint : joints) {
    low = std::min(low, joint.m[7]);
    high = std::max(high, joint.m[7]);
  }
  return double{high} - low;
}

float motion_loop_t::key_interval() const {
  if (keys < 2 || !(duration > 0.0f) || !std::isfinite(duration)) return 0.0f;
  return duration / static_cast<float>(keys - 1);
}

motion_loop_t motion_loop(const motion_t& motion) {
  motion_loop_t loop;
  for (const bone_channel_t& channel : motion.channels)
    if (channel.size() > loop.keys) {
      loop.keys = channel.size();
      loop.duration = channel.duration;
    }
  return loop;
}

}  // namespace keln::velm
