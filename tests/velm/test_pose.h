#pragma once
// A pose for tests: fixed transforms per channel, the bone of each channel
// chosen freely, and a count of the samples taken; and the transforms the
// tests build their poses and matrices from.

#include <cstdint>
#include <vector>

#include "velm/pose.h"

namespace velm_test {

class test_pose_t : public keln::velm::pose_t {
 public:
  const keln::velm::bone_t* transform(std::uint32_t i) const override {
    ++samples;
    return &transforms.at(i);
  }
  std::uint32_t channel_count() const override { return static_cast<std::uint32_t>(transforms.size()); }
  std::uint32_t bone_index(std::uint32_t i) const override { return bones.at(i); }

  void add(std::uint32_t bone, const keln::velm::bone_t& transform) {
    bones.push_back(bone);
    transforms.push_back(transform);
  }

  std::vector<std::uint32_t> bones;
  std::vector<keln::velm::bone_t> transforms;
  mutable int samples = 0;
};

// A transform with every member away from its default: position
// (seed, 2 seed, 3 seed), a unit rotation depending on seed, and a stretch
// with seed on the diagonal and a shear.
keln::velm::bone_t distinct_bone(float seed);

// Rotation by 90 degrees about z, then translation by (x, y, z).
keln::mat4_t quarter_turn_then_move(float x, float y, float z);

// Component-wise equality of every member.
bool same_bone(const keln::velm::bone_t& a, const keln::velm::bone_t& b);

}  // namespace velm_test
