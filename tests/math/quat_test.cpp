#include "kelncore/math/quat.h"

#include "math_test_support.h"

namespace keln {
namespace {

using namespace test;  // the comparisons, random inputs and tolerances

const vec3_t x_axis{{1, 0, 0}}, y_axis{{0, 1, 0}}, z_axis{{0, 0, 1}};

TEST(quat_product, follows_the_hamilton_rules_composes_right_operand_first_and_conjugates_invert) {
  const quat_t i{{0, 1, 0, 0}}, j{{0, 0, 1, 0}}, k{{0, 0, 0, 1}};
  quat_t r;
  quat_mul(r, i, j);
  expect_quat_near(r, k, tol_none);
  EXPECT_EQ(r[3], 1.0f);
  quat_mul(r, j, i);
  EXPECT_EQ(r[3], -1.0f);
  // a ⊗ b applied to v equals a applied to (b applied to v), in place too.
  test::random_source_t rnd(2);
  for (int n = 0; n < 50; ++n) {
    const quat_t a = rnd.unit_quat(), b = rnd.unit_quat();
    const vec3_t v = rnd.vec3(-2, 2);
    quat_t ab, in_place = a;
    quat_mul(ab, a, b);
    quat_mul_inplace(in_place, b);
    for (unsigned c = 0; c < 4; ++c) EXPECT_EQ(ab[c], in_place[c]);
    expect_vec3_near(quat_rotate(ab, v), quat_rotate(a, quat_rotate(b, v)), tol_float);
    // The conjugate is the inverse rotation, the negation the same one.
    quat_t inv = a, neg = a;
    quat_conjugate(inv);
    quat_negate(neg);
    expect_vec3_near(quat_rotate(inv, quat_rotate(a, v)), v, tol_float);
    expect_vec3_near(quat_rotate(neg, v), quat_rotate(a, v), tol_float);
  }
}

TEST(quat_distance, is_the_euclidean_distance_of_the_components) {
  EXPECT_FLOAT_EQ(quat_distance(quat_t{{1, 0, 0, 0}}, quat_t{{0, 0, 3, 4}}), std::sqrt(26.0f));
}

TEST(quat_to_mat4, rotates_like_the_quaternion_and_its_transpose_undoes_it) {
  test::random_source_t rnd(5);
  for (int n = 0; n < 50; ++n) {
    const quat_t q = rnd.unit_quat();
    const vec3_t v = rnd.vec3(-3, 3);
    mat4_t m, mt, both, both_t;
    quat_to_mat4(m, q);
    quat_to_mat4_transposed(mt, q);
    quat_to_mat4_both(both, both_t, q);
    vec3_t mv;
    g_mat4.transform_points(&mv, &v, m, 1, sizeof(vec3_t), sizeof(vec3_t));
    expect_vec3_near(mv, quat_rotate(q, v), tol_float);
    mat4_t t;
    mat4_transpose(t, m);
    for (unsigned i = 0; i < 16; ++i) EXPECT_TRUE(mt[i] == t[i] && both[i] == m[i] && both_t[i] == t[i]) << i;
  }
}

TEST(quat_rotate, by_angles_about_y_x_and_z_applies_z_then_x_then_y_and_axes_are_normalised) {
  const struct {
    quat_t q;
    vec3_t from, to;
  } cases[] = {
      {quat_from_angles({{90, 0, 0}}), x_axis, {{0, 0, -1}}},
      {quat_from_angles({{0, 90, 0}}), y_axis, z_axis},
      {quat_from_angles({{0, 0, 90}}), x_axis, y_axis},
      {quat_from_angles({{90, 90, 0}}), y_axis, x_axis},  // q_y ⊗ q_x: y to z by x first, then z to x by y
      {quat_from_angles({{90, 0, 90}}), x_axis, y_axis},  // x to y by z first, then y stays under y
      {quat_from_axis_angle({{0, 0, 5}}, 1.5707964f), x_axis, y_axis},
  };
  for (const auto& c : cases) {
    expect_vec3_near(quat_rotate(c.q, c.from), c.to, tol_float);
    EXPECT_NEAR(test::quat_length(c.q), 1.0f, tol_exact);
  }
}

}  // namespace
}  // namespace keln
