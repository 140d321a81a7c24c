// The distance between two playbacks' joints, as the viewer's readout and
// velmfit measure it, on a small chain with a side branch.
#include "velm/playback_difference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/tolerances.h"
#include "velm/dynamic_pose.h"

namespace keln::velm {

// root 0, spine 1 under it, head 2 under the spine, arm 3 under the root;
// the spine turned 60 degrees about y, which the offsets must not depend on.
// The moved bone is the first of equal distances; a joint that is not a
// number is infinitely far.
TEST(playback_difference, a_bone_moved_by_an_offset_moves_itself_and_its_children_by_it) {
  const struct {
    std::uint32_t bone;  // the bone moved in the second pose
    vec3_t offset;
    std::vector<float> expected;  // distance at each bone
    float largest;
  } rows[] = {{0, {{0.0f, 0.0f, 0.0f}}, {0, 0, 0, 0}, 0},          {0, {{0.0f, 0.3f, 0.4f}}, {0.5f, 0.5f, 0.5f, 0.5f}, 0.5f},
              {1, {{0.2f, 0.0f, 0.0f}}, {0, 0.2f, 0.2f, 0}, 0.2f}, {2, {{0.0f, -0.06f, 0.08f}}, {0, 0, 0.1f, 0}, 0.1f},
              {3, {{1.0f, 0.0f, 0.0f}}, {0, 0, 0, 1.0f}, 1.0f},    {3, {{NAN, 0.0f, 0.0f}}, {0, 0, 0, INFINITY}, INFINITY}};
  array_dyn_t<bone_node_t> bones;
  for (const std::uint32_t parent : {no_bone, 0u, 1u, 0u}) bones.push_back(bone_node_t{0, parent});
  playback_difference_t difference;
  for (const auto& row : rows) {
    dynamic_pose_t a;
    a.bones.resize(bones.size());
    for (std::uint32_t b = 0; b < bones.size(); ++b) a.bones[b].position = {{0.1f * b, 0.5f, -0.2f}};
    a.bones[1].rotation = {{0.8660254f, 0.0f, 0.5f, 0.0f}};
    dynamic_pose_t b = a;
    for (unsigned k = 0; k < 3; ++k) b.bones[row.bone].position[k] += row.offset[k];
    difference.measure(bones, a, b);
    ASSERT_EQ(difference.bone_count(), bones.size());
    for (std::uint32_t bone = 0; bone < bones.size(); ++bone)
      EXPECT_FLOAT_EQ(difference.distance(bone), row.expected[bone]) << "bone " << bone << " of row " << row.largest;
    EXPECT_FLOAT_EQ(difference.largest().distance, row.largest);
    EXPECT_EQ(difference.largest().bone, row.largest == 0.0f ? no_bone : row.bone) << row.largest;
  }
}

TEST(playback_difference, the_key_interval_of_a_loop_needs_two_keys_and_a_positive_duration) {
  const struct {
    motion_loop_t loop;
    float interval;
  } cases[] = {{{5, 2.0f}, 0.5f}, {{2, 0.25f}, 0.25f}, {{1, 2.0f}, 0.0f}, {{5, 0.0f}, 0.0f}, {{5, INFINITY}, 0.0f}};
  for (const auto& c : cases) EXPECT_EQ(c.loop.key_interval(), c.interval) << c.loop.keys << " keys";
}

}  // namespace keln::velm
