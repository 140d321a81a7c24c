// The 3D view's arithmetic: placements, the camera, where the playbacks
// stand, heading and pitch, and the bone cones.
#include <gtest/gtest.h>

#include <cmath>

#include "kelncore/math/mat4_routines.h"
#include "velmscope_fixture.h"
#include "velm/dynamic_pose.h"
#include "velmscope/scene_math.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope::testing {
namespace {

vec3_t transform(const mat4_t& m, const vec3_t& p) {
  vec3_t out;
  g_mat4.transform_points_proj(&out, &p, m, 1, sizeof(vec3_t), sizeof(vec3_t));
  return out;
}

void expect_near(const vec3_t& actual, float x, float y, float z, float within = keln::test::tol_float) {
  EXPECT_NEAR(actual[0], x, within);
  EXPECT_NEAR(actual[1], y, within);
  EXPECT_NEAR(actual[2], z, within);
}

// Placements scale, then turn, then move; the model-view matrix applies
// the local matrix, then the world's, then the view's.
TEST(scene_math, placement_and_model_view_compose_in_order) {
  placement_t placement;
  placement.position = {{1.0f, 2.0f, 3.0f}};
  placement.scale = {{2.0f, 1.0f, 1.0f}};
  placement.rotation = quat_from_axis_angle(vec3_t{{0.0f, 0.0f, 1.0f}}, 90.0f * degrees_to_radians);
  mat4_t m;
  placement_matrix(m, placement);
  // (1, 0, 0) scaled to (2, 0, 0), turned to (0, 2, 0), moved.
  expect_near(transform(m, vec3_t{{1.0f, 0.0f, 0.0f}}), 1.0f, 4.0f, 3.0f);
  mat4_t local, world, view, model_view;
  mat4_translation(local, vec3_t{{1.0f, 0.0f, 0.0f}});
  mat4_scale(world, vec3_t{{2.0f, 2.0f, 2.0f}});
  mat4_translation(view, vec3_t{{0.0f, 0.0f, -5.0f}});
  model_view_matrix(model_view, view, world, local);
  expect_near(transform(model_view, vec3_t{{0.0f, 0.0f, 0.0f}}), 2.0f, 0.0f, -5.0f);
}

// The camera stands 1.5 up and 1.5 back, looks 5 degrees down, and zoom
// moves it back along its viewing axis.
TEST(scene_math, the_camera_looks_down_from_up_and_back_and_zooms_along_its_axis) {
  mat4_t view, far_view;
  camera_view(view, 0.0f);
  camera_view(far_view, 2.0f);
  expect_near(transform(view, vec3_t{{0.0f, 1.5f, 1.5f}}), 0.0f, 0.0f, 0.0f);
  const float down = 5.0f * degrees_to_radians;
  const vec3_t ahead = {{0.0f, 1.5f - 10.0f * std::sin(down), 1.5f - 10.0f * std::cos(down)}};
  expect_near(transform(view, ahead), 0.0f, 0.0f, -10.0f, keln::test::tol_chain);
  const vec3_t near_eye = transform(view, ahead), far_eye = transform(far_view, ahead);
  expect_near(far_eye, near_eye[0], near_eye[1], near_eye[2] - 2.0f, keln::test::tol_chain);
}

// One playback stands in the middle, two side by side; the world matrix
// turns about the vertical axis at the position.
TEST(scene_math, playbacks_stand_in_the_middle_or_side_by_side_turned_about_the_vertical) {
  expect_near(instance_position(playback_t::bspline, RENDER_BSPLINE), 0.0f, -0.3f, -6.0f);
  expect_near(instance_position(playback_t::keyframe, RENDER_KEYFRAME), 0.0f, -0.3f, -6.0f);
  const std::uint32_t both = RENDER_BSPLINE | RENDER_KEYFRAME;
  expect_near(instance_position(playback_t::bspline, both), -0.5f, -0.3f, -6.0f);
  expect_near(instance_position(playback_t::keyframe, both), 0.5f, -0.3f, -6.0f);
  mat4_t world;
  instance_world(world, vec3_t{{0.5f, -0.3f, -6.0f}}, 90.0f);
  expect_near(transform(world, vec3_t{{0.0f, 0.0f, 0.0f}}), 0.5f, -0.3f, -6.0f);
  // Turning +90 degrees about y takes +x to -z.
  expect_near(transform(world, vec3_t{{1.0f, 0.0f, 0.0f}}), 0.5f, -0.3f, -7.0f);
  EXPECT_EQ(skin_alpha(true), 0.6f);
  EXPECT_EQ(skin_alpha(false), 1.0f);
}

// Heading and pitch in degrees of directions, short ones giving zero.
TEST(scene_math, heading_and_pitch_of_axes_and_quadrants) {
  struct row_t {
    vec3_t d;
    float heading;
    float pitch;
  };
  const row_t rows[] = {
      {{{0.0f, 0.0f, -1.0f}}, 0.0f, 0.0f},    {{{0.0f, 0.0f, 1.0f}}, 180.0f, 0.0f},
      {{{-1.0f, 0.0f, 0.0f}}, 90.0f, 0.0f},   {{{1.0f, 0.0f, 0.0f}}, 270.0f, 0.0f},
      {{{0.0f, 2.0f, 0.0f}}, 0.0f, 90.0f},    {{{0.0f, -2.0f, 0.0f}}, 0.0f, -90.0f},
      {{{1.0f, 0.0f, -1.0f}}, 315.0f, 0.0f},  {{{-1.0f, 0.0f, -1.0f}}, 45.0f, 0.0f},
      {{{1.0f, 0.0f, 1.0f}}, 225.0f, 0.0f},   {{{-1.0f, 0.0f, 1.0f}}, 135.0f, 0.0f},
      {{{0.0f, 1.0f, -1.0f}}, 0.0f, 45.0f},   {{{0.0f, 0.0f, 0.0f}}, 0.0f, 0.0f},
      {{{1e-6f, 0.0f, 0.0f}}, 0.0f, 0.0f},
  };
  for (const row_t& row : rows) {
    SCOPED_TRACE(std::to_string(row.d[0]) + ", " + std::to_string(row.d[1]) + ", " + std::to_string(row.d[2]));
    const heading_pitch_t angles = heading_pitch(row.d);
    EXPECT_NEAR(angles.heading, row.heading, keln::test::tol_degrees);
    EXPECT_NEAR(angles.pitch, row.pitch, keln::test::tol_degrees);
  }
}

TEST(scene_math, heading_and_pitch_turn_minus_z_onto_the_direction) {
  const vec3_t directions[] = {{{0.3f, 0.4f, -0.5f}}, {{-0.7f, -0.2f, 0.4f}}, {{0.1f, 0.9f, 0.2f}}, {{2.0f, -1.0f, 0.5f}}};
  for (const vec3_t& d : directions) {
    const heading_pitch_t angles = heading_pitch(d);
    const vec3_t turned = quat_rotate(quat_from_angles(vec3_t{{angles.heading, angles.pitch, 0.0f}}),
                                      vec3_t{{0.0f, 0.0f, -1.0f}});
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    expect_near(turned, d[0] / length, d[1] / length, d[2] / length, keln::test::tol_chain);
  }
}

// A skeleton of three bones: a root, a child 2 above it and a grandchild 1
// to the side of the child, at their rest places.
class bone_cones : public ::testing::Test {
 protected:
  void SetUp() override {
    skeleton.resize(3);
    skeleton[1].parent = 0;
    skeleton[2].parent = 1;
    pose.bones.resize(3);
    pose.bones[0].position = {{0.5f, 0.0f, 0.0f}};
    pose.bones[1].position = {{0.0f, 2.0f, 0.0f}};
    pose.bones[2].position = {{1.0f, 0.0f, 0.0f}};
  }

  array_dyn_t<velm::bone_node_t> skeleton;
  velm::dynamic_pose_t pose;
  array_dyn_t<mat4_t> cones;
};

// Every bone but the root gets a cone from its parent's joint to its own, a
// fifth of its length wide at the base; none without channels.
TEST_F(bone_cones, run_from_the_parents_joint_to_the_bones_own) {
  bone_cone_matrices(skeleton, pose, cones);
  ASSERT_EQ(cones.size(), 2u);
  // The unit cone: base centre at the origin, apex at z 0.01, base radius 0.01.
  const vec3_t base = {{0.0f, 0.0f, 0.0f}};
  const vec3_t apex = {{0.0f, 0.0f, 0.01f}};
  expect_near(transform(cones[0], base), 0.5f, 0.0f, 0.0f);
  expect_near(transform(cones[0], apex), 0.5f, 2.0f, 0.0f);
  expect_near(transform(cones[1], base), 0.5f, 2.0f, 0.0f);
  expect_near(transform(cones[1], apex), 1.5f, 2.0f, 0.0f);
  // Bone 1 is 2 long: base radius 0.05 * 2.
  const vec3_t rim = transform(cones[0], vec3_t{{0.01f, 0.0f, 0.0f}});
  const vec3_t centre = transform(cones[0], vec3_t{{0.0f, 0.0f, 0.0f}});
  const float dx = rim[0] - centre[0], dy = rim[1] - centre[1], dz = rim[2] - centre[2];
  EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 0.1f, keln::test::tol_float);
  velm::dynamic_pose_t empty;
  bone_cone_matrices(skeleton, empty, cones);
  EXPECT_EQ(cones.size(), 0u);
}

// A cone follows its parent's turn; a bone at its parent's joint gets one of
// no size.
TEST_F(bone_cones, follow_the_parents_turn_and_vanish_at_the_joint) {
  pose.bones[2].position = {{0.0f, 0.0f, 0.0f}};
  bone_cone_matrices(skeleton, pose, cones);
  expect_near(transform(cones[1], vec3_t{{0.01f, 0.01f, 0.01f}}), 0.5f, 2.0f, 0.0f);
  pose.bones[2].position = {{1.0f, 0.0f, 0.0f}};
  pose.bones[1].rotation = quat_from_axis_angle(vec3_t{{0.0f, 0.0f, 1.0f}}, 90.0f * degrees_to_radians);
  bone_cone_matrices(skeleton, pose, cones);
  // Bone 2 lies 1 along the child's x axis, which the child's turn of 90
  // degrees about z points along +y.
  expect_near(transform(cones[1], vec3_t{{0.0f, 0.0f, 0.01f}}), 0.5f, 3.0f, 0.0f);
}

}  // namespace
}  // namespace keln::velmscope::testing
