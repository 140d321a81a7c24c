#pragma once
// Keyframe motions cut from a motion-capture file in the BVH text format,
// for benchmarks and fitting tests on real movement. Only what they need is
// read: joint offsets, channel layout and the frame values; every joint
// becomes one channel whose keys are its local transforms (offset plus
// position channels, rotation channels composed in the order listed), with
// positions in metres.

#include <cstdint>
#include <string>

#include "velm/motion.h"

namespace keln::velm::bench {

// Metres per length unit of the capture files (the motion-capture unit of
// 1/0.45 inch).
constexpr float bvh_metres_per_unit = 0.0254f / 0.45f;

// Reads path and fills motion with the first channel_count joints, key_count
// keys taken every step-th frame from frame first on; durations are in
// seconds. Consecutive rotations are kept in one hemisphere. False (with
// motion untouched) when the file cannot be read or is too short.
bool load_bvh_clip(const std::string& path, std::uint32_t channel_count, std::uint32_t first, std::uint32_t step,
                   std::uint32_t key_count, motion_t& motion);

}  // namespace keln::velm::bench
