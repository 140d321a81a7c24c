#include "velmscope/scene_math.h"
#include "velmscope/projections.h"

#include <gtest/gtest.h>

#include <cmath>

#include "kelncore/math/mat4_routines.h"
#include "support/tolerances.h"
#include "velm/dynamic_pose.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {
namespace {

void expect_maps(const mat4_t& m, const vec3_t& p, const vec3_t& expected, float within = keln::test::tol_chain) {
  vec3_t out;
  g_mat4.transform_points_proj(&out, &p, m, 1, sizeof(vec3_t), sizeof(vec3_t));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], expected[i], within) << i;
}

// Placements scale, turn, move; model-view is view * world * local; the
// camera stands 1.5 up and back looking 5 degrees down, zoom moves it back;
// one playback stands in the middle, two side by side (+90 degrees: +x to -z).
TEST(scene_math, placements_the_camera_and_the_playbacks_positions) {
  const placement_t placement{{{1.0f, 2.0f, 3.0f}}, {{2.0f, 1.0f, 1.0f}},
                              quat_from_axis_angle(vec3_t{{0.0f, 0.0f, 1.0f}}, 90.0f * degrees_to_radians)};
  mat4_t m, local, world, view, model_view;
  placement_matrix(m, placement);
  expect_maps(m, {{1.0f, 0.0f, 0.0f}}, {{1.0f, 4.0f, 3.0f}});
  mat4_translation(local, vec3_t{{1.0f, 0.0f, 0.0f}});
  mat4_scale(world, vec3_t{{2.0f, 2.0f, 2.0f}});
  mat4_translation(view, vec3_t{{0.0f, 0.0f, -5.0f}});
  model_view_matrix(model_view, view, world, local);
  expect_maps(model_view, {{0.0f, 0.0f, 0.0f}}, {{2.0f, 0.0f, -5.0f}});
  const float down = 5.0f * degrees_to_radians;
  for (float zoom : {0.0f, 2.0f}) {
    camera_view(view, zoom);
    expect_maps(view, {{0.0f, 1.5f, 1.5f}}, {{0.0f, 0.0f, -zoom}});
    expect_maps(view, {{0.0f, 1.5f - 10.0f * std::sin(down), 1.5f - 10.0f * std::cos(down)}}, {{0.0f, 0.0f, -10.0f - zoom}});
  }
  EXPECT_EQ(instance_position(playback_t::bspline, RENDER_BSPLINE)[0], 0.0f);
  EXPECT_EQ(instance_position(playback_t::keyframe, RENDER_KEYFRAME)[0], 0.0f);
  instance_world(world, instance_position(playback_t::keyframe, RENDER_BSPLINE | RENDER_KEYFRAME), 90.0f);
  expect_maps(world, {{1.0f, 0.0f, 0.0f}}, {{0.5f, -0.3f, -7.0f}});
  instance_world(world, instance_position(playback_t::bspline, RENDER_BSPLINE | RENDER_KEYFRAME), 0.0f);
  expect_maps(world, {{0.0f, 0.0f, 0.0f}}, {{-0.5f, -0.3f, -6.0f}});
  EXPECT_EQ(std::make_pair(skin_alpha(true), skin_alpha(false)), std::make_pair(0.6f, 1.0f));
}

// Heading and pitch (degrees) turn -z onto a direction; short ones give 0.
TEST(scene_math, heading_and_pitch_turn_minus_z_onto_the_direction) {
  for (const vec3_t& d : {vec3_t{{0.3f, 0.4f, -0.5f}}, vec3_t{{-0.7f, -0.2f, 0.4f}}, vec3_t{{0.1f, 0.9f, 0.2f}},
                          vec3_t{{2.0f, -1.0f, 0.5f}}, vec3_t{{0.0f, 2.0f, 0.0f}}, vec3_t{{1.0f, 0.0f, 0.0f}}}) {
    const heading_pitch_t angles = heading_pitch(d);
    mat4_t turn;
    placement_matrix(turn, placement_t{{}, {{1.0f, 1.0f, 1.0f}}, quat_from_angles(vec3_t{{angles.heading, angles.pitch, 0.0f}})});
    expect_maps(turn, {{0.0f, 0.0f, -std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2])}}, d);
  }
  const heading_pitch_t short_one = heading_pitch(vec3_t{{1e-6f, 0.0f, 0.0f}});
  EXPECT_EQ(short_one.heading + short_one.pitch, 0.0f);
}

// Every bone but the root: a cone from its parent's joint to its own, a fifth
// of its length wide, turned with its parent; none without channels. The
// unit cone: base centre at 0, apex at z 0.01, base radius 0.01.
TEST(scene_math, bone_cones_run_from_the_parents_joint_to_the_bones_own) {
  array_dyn_t<velm::bone_node_t> skeleton;
  skeleton.resize(3);
  skeleton[1].parent = 0;
  skeleton[2].parent = 1;
  velm::dynamic_pose_t pose;
  pose.bones.resize(3);
  pose.bones[0].position = {{0.5f, 0.0f, 0.0f}};
  pose.bones[1].position = {{0.0f, 2.0f, 0.0f}};
  pose.bones[2].position = {{1.0f, 0.0f, 0.0f}};
  array_dyn_t<mat4_t> cones;
  bone_cone_matrices(skeleton, pose, cones);
  ASSERT_EQ(cones.size(), 2u);
  expect_maps(cones[0], {{0.0f, 0.0f, 0.0f}}, {{0.5f, 0.0f, 0.0f}});
  expect_maps(cones[0], {{0.0f, 0.0f, 0.01f}}, {{0.5f, 2.0f, 0.0f}});
  expect_maps(cones[0], {{0.01f, 0.0f, 0.0f}}, {{0.6f, 0.0f, 0.0f}});  // 2 long: radius 0.1
  expect_maps(cones[0], {{0.0f, 0.01f, 0.0f}}, {{0.5f, 0.0f, -0.1f}});
  expect_maps(cones[1], {{0.0f, 0.0f, 0.01f}}, {{1.5f, 2.0f, 0.0f}});
  pose.bones[1].rotation = quat_from_axis_angle(vec3_t{{0.0f, 0.0f, 1.0f}}, 90.0f * degrees_to_radians);
  bone_cone_matrices(skeleton, pose, cones);
  expect_maps(cones[1], {{0.0f, 0.0f, 0.01f}}, {{0.5f, 3.0f, 0.0f}});
  velm::dynamic_pose_t empty;
  bone_cone_matrices(skeleton, empty, cones);
  EXPECT_EQ(cones.size(), 0u);
}

// (x, y, z, 1) under m (row-major, column vectors), divided by w.
std::array<float, 3> project(const float m[16], float x, float y, float z) {
  const float w = m[12] * x + m[13] * y + m[14] * z + m[15];
  return {(m[0] * x + m[1] * y + m[2] * z + m[3]) / w, (m[4] * x + m[5] * y + m[6] * z + m[7]) / w,
          (m[8] * x + m[9] * y + m[10] * z + m[11]) / w};
}

// The overlay's 1024 x 768 pixels from the top left fill the viewport; the
// scene is a 20-degree symmetric frustum, aspect 1, depths 0.1 to 5000.
TEST(projections, the_overlay_maps_top_down_and_the_scene_is_the_twenty_degree_frustum) {
  float overlay[16], scene[16];
  overlay_projection(overlay);
  scene_projection(scene);
  const float edge = 6.0f * std::tan(10.0f * 0.017453293f);
  const struct {
    const float* m;
    float x, y, z;
    std::array<float, 3> expected;
  } rows[] = {{overlay, 0, 0, 0, {-1, 1, 0}},          {overlay, 1024, 768, 0, {1, -1, 0}},
              {scene, 0, 0, -0.1f, {0, 0, -1}},       {scene, 0, 0, -5000.0f, {0, 0, 1}},
              {scene, edge, -edge, -6.0f, {1, -1, 0.966706f}}};  // (f + n) / (f - n) + 2 f n / ((f - n) z)
  for (const auto& row : rows)
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(project(row.m, row.x, row.y, row.z)[i], row.expected[i], keln::test::tol_chain) << row.x << " " << i;
}

}  // namespace
}  // namespace keln::velmscope
