// The distance between two playbacks' joints, as the viewer's readout and
// velmfit measure it, on a small chain with a side branch.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "velm/dynamic_pose.h"
#include "velm/playback_difference.h"

namespace keln::velm {
namespace {

constexpr float distance_tolerance = 1e-6f;

// root 0, spine 1 under it, head 2 under the spine, arm 3 under the root.
array_dyn_t<bone_node_t> skeleton() {
  array_dyn_t<bone_node_t> bones;
  for (const std::uint32_t parent : {no_bone, 0u, 1u, 0u}) {
    bone_node_t bone;
    bone.parent = parent;
    bones.push_back(bone);
  }
  return bones;
}

dynamic_pose_t pose_of(const array_t<bone_node_t>& bones) {
  dynamic_pose_t pose;
  pose.bones.resize(bones.size());
  for (std::uint32_t b = 0; b < bones.size(); ++b) pose.bones[b].position = {{0.1f * b, 0.5f, -0.2f}};
  pose.bones[1].rotation = {{0.8660254f, 0.0f, 0.5f, 0.0f}};  // 60 degrees about y: the offset must not depend on it
  return pose;
}

struct offset_case_t {
  const char* what;
  std::uint32_t bone;  // the bone moved in the second pose
  vec3_t offset;
  std::vector<float> expected;  // distance at each bone
};

TEST(playback_difference, a_bone_moved_by_an_offset_moves_itself_and_its_children_by_it) {
  const std::vector<offset_case_t> cases = {
      {"nothing moved", 0, {{0.0f, 0.0f, 0.0f}}, {0, 0, 0, 0}},
      {"the root", 0, {{0.0f, 0.3f, 0.4f}}, {0.5f, 0.5f, 0.5f, 0.5f}},
      {"the spine", 1, {{0.2f, 0.0f, 0.0f}}, {0, 0.2f, 0.2f, 0}},
      {"the head", 2, {{0.0f, -0.06f, 0.08f}}, {0, 0, 0.1f, 0}},
      {"the arm", 3, {{1.0f, 0.0f, 0.0f}}, {0, 0, 0, 1.0f}},
  };
  const array_dyn_t<bone_node_t> bones = skeleton();
  playback_difference_t difference;
  for (const offset_case_t& c : cases) {
    SCOPED_TRACE(c.what);
    const dynamic_pose_t a = pose_of(bones);
    dynamic_pose_t b = pose_of(bones);
    for (unsigned k = 0; k < 3; ++k) b.bones[c.bone].position[k] += c.offset[k];
    difference.measure(bones, a, b);
    ASSERT_EQ(difference.bone_count(), bones.size());
    for (std::uint32_t bone = 0; bone < bones.size(); ++bone)
      EXPECT_NEAR(difference.distance(bone), c.expected[bone], distance_tolerance) << "bone " << bone;
    const joint_gap_t largest = difference.largest();
    const float length = std::sqrt(c.offset[0] * c.offset[0] + c.offset[1] * c.offset[1] + c.offset[2] * c.offset[2]);
    EXPECT_NEAR(largest.distance, length, distance_tolerance);
    EXPECT_EQ(largest.bone, length == 0.0f ? no_bone : c.bone);  // the moved bone: the first of equal distances
  }
}

TEST(playback_difference, a_joint_that_is_not_a_number_is_infinitely_far) {
  const array_dyn_t<bone_node_t> bones = skeleton();
  const dynamic_pose_t a = pose_of(bones);
  dynamic_pose_t b = pose_of(bones);
  b.bones[3].position[0] = NAN;
  playback_difference_t difference;
  difference.measure(bones, a, b);
  EXPECT_EQ(difference.largest().distance, INFINITY);
  EXPECT_EQ(difference.largest().bone, 3u);
}

TEST(playback_difference, the_key_interval_of_a_loop_needs_two_keys_and_a_positive_duration) {
  const struct {
    motion_loop_t loop;
    float interval;
  } cases[] = {{{5, 2.0f}, 0.5f}, {{2, 0.25f}, 0.25f}, {{1, 2.0f}, 0.0f}, {{5, 0.0f}, 0.0f}, {{5, INFINITY}, 0.0f}};
  for (const auto& c : cases) EXPECT_EQ(c.loop.key_interval(), c.interval) << c.loop.keys << " keys";
}

}  // namespace
}  // namespace keln::velm
