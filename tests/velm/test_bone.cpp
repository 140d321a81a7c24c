#include "velm/bone.h"

#include "kelncore/math/mat4_routines.h"
#include "motion_test_support.h"

namespace keln::velm {
namespace {

using keln::test::expect_mat4_near;
using keln::test::tol_chain;
using keln::test::tol_float;
using test::bitwise_equal;
using test::key;

TEST(bone, default_is_the_identity_transform) {
  const bone_t b;
  mat4_t m;
  b.to_matrix(m);
  expect_mat4_near(m, mat4_t(1.0f), 0.0f);
}

TEST(bone, matrix_stretches_then_rotates_then_translates) {
  bone_t b = key(5, 0, 0, quat_from_axis_angle(vec3_t{{0, 0, 1}}, 1.5707964f), 2.0f);
  mat4_t m;
  b.to_matrix(m);
  const vec3_t p{{1, 0, 0}};
  vec3_t out;
  g_mat4.transform_points(&out, &p, m, 1, sizeof(vec3_t), sizeof(vec3_t));
  // (1,0,0) stretched to (2,0,0), turned to (0,2,0), moved to (5,2,0).
  keln::test::expect_vec3_near(out, vec3_t{{5, 2, 0}}, tol_float);
}

TEST(bone, from_matrix_round_trips_rotation_stretch_and_translation) {
  keln::test::random_source_t rnd(30);
  for (int n = 0; n < 100; ++n) {
    mat4_t m = rnd.affine(-2, 2);
    const float det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
                      m[2] * (m[4] * m[9] - m[5] * m[8]);
    if (det < 0) {  // reflections lose their sign in a bone_t
      for (unsigned c = 0; c < 3; ++c) m.at(0, c) = -m.at(0, c);
    }
    const bone_t b(m);
    mat4_t back;
    b.to_matrix(back);
    expect_mat4_near(back, m, tol_chain);
    // The stretch is symmetric.
    for (unsigned r = 0; r < 3; ++r)
      for (unsigned c = 0; c < 3; ++c) EXPECT_NEAR(b.stretch.at(r, c), b.stretch.at(c, r), tol_float);
  }
}

TEST(bone, from_a_rotation_has_the_identity_stretch) {
  const quat_t q = quat_from_angles(vec3_t{{20, 40, 60}});
  mat4_t m;
  mat4_from_quat(m, q);
  const bone_t b(m);
  keln::test::expect_quat_near(b.rotation, q, tol_float);
  keln::test::expect_mat3_near(b.stretch, mat3_t(1.0f), tol_float);
}

class interpolate_test : public ::testing::Test {
 protected:
  const bone_t a = key(0, 0, 0, quat_identity(), 2.0f);
  const bone_t b = key(10, 20, 30, quat_from_axis_angle(vec3_t{{0, 1, 0}}, 1.0f), 3.0f);
  bone_t out = key(-7, -7, -7, quat_t{{9, 9, 9, 9}}, 9.0f);  // garbage
};

TEST_F(interpolate_test, below_the_lower_threshold_copies_the_left_record) {
  interpolate(out, a, b, 0.0f);
  EXPECT_TRUE(bitwise_equal(out, a));
  interpolate(out, a, b, 9.9e-6f);
  EXPECT_TRUE(bitwise_equal(out, a));
}

TEST_F(interpolate_test, above_the_upper_threshold_copies_the_right_record) {
  interpolate(out, a, b, 1.0f);
  EXPECT_TRUE(bitwise_equal(out, b));
  interpolate(out, a, b, 0.999995f);
  EXPECT_TRUE(bitwise_equal(out, b));
}

TEST_F(interpolate_test, between_blends_position_and_rotation_but_keeps_the_left_stretch) {
  interpolate(out, a, b, 0.25f);
  keln::test::expect_vec3_near(out.position, vec3_t{{2.5f, 5, 7.5f}}, tol_float);
  quat_t expected;
  quat_blend(expected, a.rotation, b.rotation, 0.25f);
  for (unsigned c = 0; c < 4; ++c) EXPECT_EQ(out.rotation[c], expected[c]);
  EXPECT_LT(keln::test::quat_length(out.rotation), 1.0f);
  EXPECT_EQ(out.stretch[0], 2.0f);
  interpolate(out, a, b, 0.99f);
  EXPECT_EQ(out.stretch[0], 2.0f);
}

TEST_F(interpolate_test, may_write_into_either_operand) {
  bone_t expected, into_a = a, into_b = b;
  interpolate(expected, a, b, 0.6f);
  interpolate(into_a, into_a, b, 0.6f);
  interpolate(into_b, a, into_b, 0.6f);
  EXPECT_TRUE(bitwise_equal(into_a, expected));
  EXPECT_TRUE(bitwise_equal(into_b, expected));
}

}  // namespace
}  // namespace keln::velm
