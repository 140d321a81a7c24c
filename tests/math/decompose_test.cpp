#include "kelncore/math/decompose.h"

#include "math_test_support.h"

namespace keln {
namespace {

using namespace test;  // the comparisons, random inputs and tolerances

mat4_t product(const mat4_t& first, const mat4_t& second) {
  mat4_t out;
  mat4_mul(out, first, second);
  return out;
}

mat4_t scale(float x, float y, float z) {
  mat4_t m;
  mat4_scale(m, vec3_t{{x, y, z}});
  return m;
}

mat4_t rotation(const quat_t& q) {
  mat4_t m;
  mat4_from_quat(m, q);
  return m;
}

// Checks the invariants of the parts and the round trip to m through
// T(t) F R(q) R(u) K(k) R(u)ᵀ ("a then b": R(u)ᵀ first).
affine_parts_t decompose_checked(const mat4_t& m) {
  const affine_parts_t p = decompose(m);
  EXPECT_NEAR(test::quat_length(p.q), 1.0f, tol_float);
  EXPECT_NEAR(test::quat_length(p.u), 1.0f, tol_float);
  EXPECT_GE(p.u[0], 0.0f);
  EXPECT_TRUE(p.f == 1.0f || p.f == -1.0f);
  mat4_t ut, t;
  mat4_transpose(ut, rotation(p.u));
  mat4_translation(t, p.t);
  const mat4_t stretch = product(product(ut, scale(p.k[0], p.k[1], p.k[2])), rotation(p.u));
  expect_mat4_near(product(product(product(stretch, rotation(p.q)), scale(p.f, p.f, p.f)), t), m, tol_chain);
  return p;
}

// The scale k along the axes turned by q: R(q)ᵀ K R(q).
mat4_t turned_scale(const quat_t& q, float x, float y, float z) {
  mat4_t rt;
  mat4_transpose(rt, rotation(q));
  return product(product(rt, scale(x, y, z)), rotation(q));
}

TEST(decompose, rotations_with_translations_and_uniform_scales) {
  test::random_source_t rnd(20);
  for (int n = 0; n < 100; ++n) {
    const quat_t q = rnd.unit_quat();
    const float s = rnd.uniform(0.5f, 3.0f);
    mat4_t m = product(scale(s, s, s), rotation(q));
    m[3] = rnd.uniform(-5, 5);
    m[11] = rnd.uniform(-5, 5);
    const affine_parts_t p = decompose_checked(m);
    expect_quat_near(p.q, q, tol_float);
    expect_vec3_near(p.k, vec3_t{{s, s, s}}, tol_chain);
    expect_vec3_near(p.t, vec3_t{{m[3], m[7], m[11]}}, tol_none);
    EXPECT_EQ(p.f, 1.0f);
  }
}

TEST(decompose, stretch_along_turned_axes_finds_the_smallest_turn) {
  // diag(2, 3, 4) turned by 30 degrees about z: every equivalent axis order
  // turns by 60 degrees or more.
  const quat_t turn = quat_from_axis_angle(vec3_t{{0, 0, 1}}, 30 * degrees_to_radians);
  const affine_parts_t p = decompose_checked(turned_scale(turn, 2, 3, 4));
  expect_quat_near(p.q, quat_identity(), tol_float);
  expect_quat_near(p.u, turn, tol_float);
  expect_vec3_near(p.k, vec3_t{{2, 3, 4}}, tol_float);
  // diag(2, 2, 5) turned by 40 degrees about x: only the z axis matters, and
  // the smallest turn that carries it is the one about x.
  const quat_t tilt = quat_from_axis_angle(vec3_t{{1, 0, 0}}, 40 * degrees_to_radians);
  const affine_parts_t two = decompose_checked(turned_scale(tilt, 2, 2, 5));
  expect_quat_near(two.u, tilt, tol_float);
  expect_vec3_near(two.k, vec3_t{{2, 2, 5}}, tol_float);
}

TEST(decompose, random_affine_matrices_round_trip_with_f_the_sign_of_the_determinant) {
  test::random_source_t rnd(22);
  for (int n = 0; n < 300; ++n) {
    const mat4_t m = rnd.affine(-2, 2);
    const affine_parts_t p = decompose_checked(m);
    const float det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
                      m[2] * (m[4] * m[9] - m[5] * m[8]);
    EXPECT_EQ(p.f, det < 0 ? -1.0f : 1.0f);
    for (unsigned i = 0; i < 3; ++i) EXPECT_GT(p.k[i], 0.0f);
  }
}

TEST(decompose, singular_matrices_round_trip) {
  test::random_source_t rnd(23);
  const mat4_t turn = rotation(rnd.unit_quat());
  // Rank 2: one axis flattened, before and after a rotation, also with a
  // reflection inside the remaining plane; rank 1 and the zero matrix.
  for (const mat4_t& m : {product(scale(2, 0, 3), turn), product(turn, scale(2, 3, 0)), product(scale(-2, 0, 3), turn),
                          product(scale(0, 0, 4), turn), product(scale(0, -4, 0), turn)})
    decompose_checked(m);
  mat4_t flat(0.0f);
  flat[15] = 1.0f;
  expect_vec3_near(decompose_checked(flat).k, vec3_t{}, tol_none);
}

}  // namespace
}  // namespace keln
