// The generator's rig, rotations, kinematics, foot paths and key sampling.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "clip.h"
#include "gait.h"
#include "pose.h"

namespace keln::chargen {
namespace {

void expect_near(dvec3 a, dvec3 b, double tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(chargen_rotations, frame_rotation_maps_direction_and_up) {
  dvec3 from{0, -1, 0}, from_up{0, 0, 1}, to = normalized({1, 1, 0.5}), to_up{0, 0, 1};
  dquat q = frame_rotation(from, from_up, to, to_up);
  expect_near(rotate(q, from), to, 1e-12);
  dvec3 up = rotate(q, from_up);
  EXPECT_NEAR(dot(up, to), 0, 1e-12);
  EXPECT_GT(dot(up, to_up), 0.8);
  EXPECT_NEAR(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z, 1.0, 1e-12);
}

TEST(chargen_rotations, slerp_runs_from_a_to_b_at_constant_speed) {
  dquat a = rot_y(deg(10)), b = rot_y(deg(70));
  expect_near(rotate(slerp(a, b, 0), {1, 0, 0}), rotate(a, {1, 0, 0}), 1e-12);
  expect_near(rotate(slerp(a, b, 1), {1, 0, 0}), rotate(b, {1, 0, 0}), 1e-12);
  expect_near(rotate(slerp(a, b, 0.5), {1, 0, 0}), rotate(rot_y(deg(40)), {1, 0, 0}), 1e-12);
  // The shorter arc is taken even when b is given with the other sign.
  dquat nb{-b.w, -b.x, -b.y, -b.z};
  expect_near(rotate(slerp(a, nb, 0.5), {1, 0, 0}), rotate(rot_y(deg(40)), {1, 0, 0}), 1e-12);
}

rig_t leg() {
  rig_t rig;
  rig.add_bone("root", "", {0, 1, 0});
  rig.add_bone("thigh", "root", {0, 1, 0});
  rig.add_bone("shin", "thigh", {0, 0.5, 0});
  rig.add_bone("foot", "shin", {0, 0, 0});
  rig.add_bone("toe", "foot", {0, 0, 0.2});
  return rig;
}

TEST(chargen_rig, names_and_hierarchy) {
  rig_t rig = leg();
  EXPECT_EQ(side_name("arm", -1), "arm_R");
  EXPECT_EQ(side_name("arm", 1), "arm_L");
  EXPECT_EQ(rig.bone("shin"), 2);
  expect_near(rig.rest_offset(2), {0, -0.5, 0}, 0);
  EXPECT_TRUE(rig.has_bone("toe"));
  EXPECT_FALSE(rig.has_bone("knee"));
  rig.transform(2, {1, 0, 0});
  expect_near(rig.bones()[2].joint, {1, 1, 0}, 1e-12);
}

TEST(chargen_rig_death, malformed_rigs_stop_the_generator) {
  rig_t rig = leg();
  EXPECT_DEATH(rig.add_bone("a_name_too_long", "root", {}), "bad or repeated bone name");
  EXPECT_DEATH(rig.add_bone("shin", "root", {}), "bad or repeated bone name");
  EXPECT_DEATH(rig.add_bone("knee", "nothing", {}), "unknown bone: nothing");
  EXPECT_DEATH(rig.add_bone("other", "", {}), "second root bone");
}

TEST(chargen_kinematics, globals_compose_parent_rotations_and_offsets) {
  rig_t rig = leg();
  rig_pose_t pose(rig);
  pose.rotation[1] = rot_x(deg(90));  // the thigh swings the leg straight back
  pose.shift[0] = {0, 0.1, 0};
  std::vector<placement_t> g = globals(rig, pose);
  expect_near(g[1].position, {0, 1.1, 0}, 1e-12);
  expect_near(g[2].position, {0, 1.1, -0.5}, 1e-12);
  expect_near(g[3].position, {0, 1.1, -1.0}, 1e-12);
  expect_near(g[4].position, {0, 0.9, -1.0}, 1e-12);
}

TEST(chargen_kinematics, two_bone_chain_reaches_the_target_bending_toward_the_pole) {
  rig_t rig = leg();
  rig_pose_t pose(rig);
  pose.rotation[3] = rot_y(deg(30));
  dquat foot_before = globals(rig, pose)[3].rotation;
  dvec3 target{0.1, 0.3, 0.2};
  solve_two_bone(rig, pose, 1, 2, 3, target, {0, 0, 1}, {0, 0, 1});
  std::vector<placement_t> g = globals(rig, pose);
  expect_near(g[3].position, target, 1e-12);
  EXPECT_NEAR(length(g[2].position - g[1].position), 0.5, 1e-12);
  EXPECT_GT(g[2].position.z, 0.1);  // the knee points forward
  expect_near(rotate(g[3].rotation, {0, 0, 1}), rotate(foot_before, {0, 0, 1}), 1e-12);
}

TEST(chargen_kinematics, a_target_out_of_reach_stretches_the_chain_toward_it) {
  rig_t rig = leg();
  rig_pose_t pose(rig);
  solve_two_bone(rig, pose, 1, 2, 3, {0, -5, 0}, {0, 0, 1}, {0, 0, 1});
  std::vector<placement_t> g = globals(rig, pose);
  expect_near(g[3].position, {0, 1 - 0.999, 0}, 1e-9);
}

TEST(chargen_gait, planted_feet_slide_back_evenly_and_swinging_feet_return_above_the_ground) {
  foot_cycle_t c{0.25, 0.6, 0.4, 0.1};
  for (int k = 0; k <= 100; ++k) {
    double p = k / 100.0;
    foot_state_t f = foot_at(c, p);
    foot_state_t g = foot_at(c, p + 1);
    expect_near(f.offset, g.offset, 1e-12);
    EXPECT_GE(f.offset.y, 0);
    EXPECT_LE(f.offset.y, 0.1 + 1e-12);
    double u = std::fmod(p - 0.25 + 1, 1.0);
    if (u < 0.6) {
      EXPECT_EQ(f.swing, 0);
      EXPECT_EQ(f.offset.y, 0);
      EXPECT_NEAR(f.offset.z, 0.2 - 0.4 * u / 0.6, 1e-12);
    } else if (u > 0.61) {
      EXPECT_GT(f.swing, 0);
    }
  }
  // The swing joins the stance at both ends.
  expect_near(foot_at(c, 0.25 + 0.6 - 1e-9).offset, foot_at(c, 0.25 + 0.6 + 1e-9).offset, 1e-6);
  expect_near(foot_at(c, 0.25 - 1e-9).offset, foot_at(c, 0.25 + 1e-9).offset, 1e-6);
}

TEST(chargen_gait, ease_and_waves) {
  EXPECT_EQ(ease(-1), 0);
  EXPECT_EQ(ease(2), 1);
  EXPECT_EQ(ease(0.5), 0.5);
  EXPECT_NEAR(wave(0.25), 1, 1e-12);
  EXPECT_NEAR(wave_c(0.5), -1, 1e-12);
}

TEST(chargen_clip, sampling_gives_parent_relative_keys_and_closes_the_loop) {
  rig_t rig = leg();
  clip_t clip{"swing", 6, {1, 2}, [](const rig_t&, double p, rig_pose_t& pose) {
                pose.rotation[1] = rot_x(deg(40) * wave(p));
                pose.shift[2] = {0, 0.05 * wave(p), 0};
              }};
  motion_keys_t keys = sample_clip(rig, clip);
  EXPECT_FLOAT_EQ(keys.duration, 0.2f);
  EXPECT_EQ(keys.step, 1.0f / 30.0f);
  ASSERT_EQ(keys.channels.size(), 2u);
  EXPECT_EQ(keys.channels[0].bone, 1);
  for (const channel_keys_t& c : keys.channels) {
    ASSERT_EQ(c.keys.size(), 7u);
    EXPECT_EQ(std::memcmp(c.keys.front().m, c.keys.back().m, sizeof(mat4_t)), 0);
  }
  // Key 1 of the shin: its rest offset plus the shift, no rotation.
  const mat4_t& shin = keys.channels[1].keys[1];
  EXPECT_FLOAT_EQ(shin[7], float(-0.5 + 0.05 * wave(1.0 / 6)));
  EXPECT_FLOAT_EQ(shin[0], 1.0f);
  // Key 1 of the thigh: a rotation about x, stored row by row.
  const mat4_t& thigh = keys.channels[0].keys[1];
  double a = deg(40) * wave(1.0 / 6);
  EXPECT_NEAR(thigh.at(1, 1), std::cos(a), 1e-6);
  EXPECT_NEAR(thigh.at(2, 1), std::sin(a), 1e-6);
  EXPECT_NEAR(thigh.at(1, 2), -std::sin(a), 1e-6);
}

TEST(chargen_clip, prefixes_select_bones_in_bone_order) {
  rig_t rig = leg();
  EXPECT_EQ(bones_with_prefix(rig, {"toe", "sh"}), (std::vector<int>{2, 4}));
  EXPECT_TRUE(bones_with_prefix(rig, {"x"}).empty());
}

}  // namespace
}  // namespace keln::chargen
