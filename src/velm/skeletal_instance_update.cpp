// Blending the bound poses into the current pose.
#include <cfloat>

#include "velm/skeletal_instance.h"

namespace keln::velm {

void skeletal_instance_t::update() {
  const std::uint32_t n = m_skeleton.size();
  for (blend_sums_t& sums : m_blend_sums) sums = blend_sums_t();

  // Per bone, the total weight of the bindings that drive it.
  for (const pose_binding_t& binding : m_bindings) {
    if (binding.pose == nullptr) continue;
    const std::uint32_t channels = binding.pose->channel_count();
    for (std::uint32_t i = 0; i < channels; ++i) {
      const std::uint32_t bone = binding.pose->bone_index(i);
      if (bone < n) m_blend_sums[bone].total += binding.weight;
    }
  }

  // Incremental weighted average: each channel comes in at its share of the
  // bone's total over the sum of the shares so far, so the first contributing
  // binding replaces the bone's transform (t = 1).
  for (const pose_binding_t& binding : m_bindings) {
    if (binding.pose == nullptr) continue;
    const std::uint32_t channels = binding.pose->channel_count();
    for (std::uint32_t i = 0; i < channels; ++i) {
      const std::uint32_t bone = binding.pose->bone_index(i);
      if (bone >= n) continue;
      blend_sums_t& sums = m_blend_sums[bone];
      const float share = binding.weight / sums.total;
      // Weight 0, a bone total of 0 (0 / 0), negative shares and overflow are
      // all left out, so that no non-number can reach the pose.
      if (!(share > 0.0f && share <= FLT_MAX)) continue;
      sums.accumulated += share;
      const float t = share / sums.accumulated;
      // Sample before interpolating: transform may return a record that the
      // next sampling of any pose of its class overwrites.
      const bone_t sample = *binding.pose->transform(i);
      bone_t& current = m_pose.bones[bone];
      interpolate(current, current, sample, t);
    }
  }
}

}  // namespace keln::velm
