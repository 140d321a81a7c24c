#include "kelncore/math/decompose.h"

#include "math_test_support.h"

namespace keln {
namespace {

using test::expect_mat4_near;
using test::expect_quat_near;
using test::expect_vec3_near;
using test::tol_chain;
using test::tol_float;
using test::tol_none;

// T(t) F R(q) R(u) K(k) R(u)ᵀ, built with the routine table ("a then b").
mat4_t recompose(const affine_parts_t& p) {
  mat4_t u, ut, k, r, f, t, x, y;
  mat4_from_quat(u, p.u);
  mat4_transpose(ut, u);
  mat4_scale(k, p.k);
  mat4_from_quat(r, p.q);
  mat4_scale_uniform(f, p.f);
  mat4_translation(t, p.t);
  mat4_mul(x, ut, k);  // uᵀ first
  mat4_mul(y, x, u);
  mat4_mul(x, y, r);
  mat4_mul(y, x, f);
  mat4_mul(x, y, t);
  return x;
}

// Checks the invariants of the parts and the round trip to m.
affine_parts_t decompose_checked(const mat4_t& m, float tol = tol_chain) {
  const affine_parts_t p = decompose(m);
  EXPECT_NEAR(test::quat_length(p.q), 1.0f, tol_float);
  EXPECT_NEAR(test::quat_length(p.u), 1.0f, tol_float);
  EXPECT_GE(p.u[0], 0.0f);
  EXPECT_TRUE(p.f == 1.0f || p.f == -1.0f);
  expect_mat4_near(recompose(p), m, tol);
  return p;
}

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

TEST(decompose, identity_gives_identity_parts) {
  const affine_parts_t p = decompose_checked(mat4_t(1.0f));
  expect_quat_near(p.q, quat_identity(), tol_float);
  expect_quat_near(p.u, quat_identity(), tol_float);
  expect_vec3_near(p.k, vec3_t{{1, 1, 1}}, tol_float);
  expect_vec3_near(p.t, vec3_t{}, tol_none);
  EXPECT_EQ(p.f, 1.0f);
}

TEST(decompose, rotation_with_translation_round_trips) {
  test::random_source_t rnd(20);
  for (int n = 0; n < 100; ++n) {
    const quat_t q = rnd.unit_quat();
    mat4_t m = rotation(q);
    m[3] = rnd.uniform(-5, 5);
    m[7] = rnd.uniform(-5, 5);
    m[11] = rnd.uniform(-5, 5);
    const affine_parts_t p = decompose_checked(m);
    expect_quat_near(p.q, q, tol_float);
    expect_vec3_near(p.k, vec3_t{{1, 1, 1}}, tol_float);
    expect_vec3_near(p.t, vec3_t{{m[3], m[7], m[11]}}, tol_none);
    EXPECT_EQ(p.f, 1.0f);
  }
}

TEST(decompose, axis_scales_keep_the_identity_stretch_rotation) {
  const affine_parts_t p = decompose_checked(scale(2, 3, 4));
  expect_quat_near(p.q, quat_identity(), tol_float);
  expect_quat_near(p.u, quat_identity(), tol_float);
  expect_vec3_near(p.k, vec3_t{{2, 3, 4}}, tol_float);
}

TEST(decompose, uniform_scale_of_a_rotation_has_no_stretch_rotation) {
  const quat_t q = quat_from_angles(vec3_t{{10, 20, 30}});
  const affine_parts_t p = decompose_checked(product(scale(3, 3, 3), rotation(q)));
  expect_quat_near(p.q, q, tol_float);
  expect_vec3_near(p.k, vec3_t{{3, 3, 3}}, tol_chain);
}

// R K Rᵀ: the scale k along the axes turned by q.
mat4_t turned_scale(const quat_t& q, float x, float y, float z) {
  mat4_t rt;
  mat4_transpose(rt, rotation(q));
  return product(product(rt, scale(x, y, z)), rotation(q));
}

TEST(decompose, stretch_along_turned_axes_finds_the_smallest_turn) {
  // S = R diag(2, 3, 4) Rᵀ with R a 30 degree turn about z: every
  // equivalent axis order turns by 60 degrees or more.
  const quat_t turn = quat_from_axis_angle(vec3_t{{0, 0, 1}}, 30 * degrees_to_radians);
  const affine_parts_t p = decompose_checked(turned_scale(turn, 2, 3, 4));
  expect_quat_near(p.q, quat_identity(), tol_float);
  expect_quat_near(p.u, turn, tol_float);
  expect_vec3_near(p.k, vec3_t{{2, 3, 4}}, tol_float);
}

TEST(decompose, two_equal_factors_turn_only_the_distinct_axis) {
  // diag(2, 2, 5) turned by 40 degrees about x: only the z axis matters, and
  // the smallest turn that carries it is the one about x.
  const quat_t turn = quat_from_axis_angle(vec3_t{{1, 0, 0}}, 40 * degrees_to_radians);
  const affine_parts_t p = decompose_checked(turned_scale(turn, 2, 2, 5));
  expect_quat_near(p.u, turn, tol_float);
  expect_vec3_near(p.k, vec3_t{{2, 2, 5}}, tol_float);
  // Turned about the distinct axis itself the stretch is the plain scale.
  const quat_t spin = quat_from_axis_angle(vec3_t{{0, 0, 1}}, 40 * degrees_to_radians);
  const affine_parts_t q = decompose_checked(turned_scale(spin, 2, 2, 5));
  expect_quat_near(q.u, quat_identity(), tol_float);
}

TEST(decompose, shears_round_trip) {
  for (unsigned entry : {1u, 2u, 4u, 6u, 8u, 9u}) {
    mat4_t m(1.0f);
    m[entry] = 0.75f;
    decompose_checked(m);
  }
}

TEST(decompose, reflections_move_the_sign_into_f) {
  const affine_parts_t mirror = decompose_checked(scale(-1, 1, 1));
  EXPECT_EQ(mirror.f, -1.0f);
  const affine_parts_t negative = decompose_checked(scale(-2, -3, -4));
  EXPECT_EQ(negative.f, -1.0f);
  expect_vec3_near(negative.k, vec3_t{{2, 3, 4}}, tol_float);
  test::random_source_t rnd(21);
  const affine_parts_t turned = decompose_checked(product(scale(1, -2, 1), rotation(rnd.unit_quat())));
  EXPECT_EQ(turned.f, -1.0f);
}

TEST(decompose, random_affine_matrices_round_trip) {
  test::random_source_t rnd(22);
  for (int n = 0; n < 300; ++n) {
    const mat4_t m = rnd.affine(-2, 2);
    const affine_parts_t p = decompose_checked(m);
    mat4_t inv;
    const bool regular = mat4_inverse(inv, m);
    ASSERT_TRUE(regular);
    // f follows the sign of the 3 x 3 determinant.
    const float det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
                      m[2] * (m[4] * m[9] - m[5] * m[8]);
    EXPECT_EQ(p.f, det < 0 ? -1.0f : 1.0f);
    for (unsigned i = 0; i < 3; ++i) EXPECT_GT(p.k[i], 0.0f);
  }
}

TEST(decompose, singular_matrices_round_trip) {
  test::random_source_t rnd(23);
  const mat4_t turn = rotation(rnd.unit_quat());
  // Rank 2: one axis flattened, before and after a rotation.
  decompose_checked(product(scale(2, 0, 3), turn));
  decompose_checked(product(turn, scale(2, 3, 0)));
  // Rank 2 with a reflection inside the remaining plane.
  decompose_checked(product(scale(-2, 0, 3), turn));
  // Rank 1 and the zero matrix.
  decompose_checked(product(scale(0, 0, 4), turn));
  mat4_t flat(0.0f);
  flat[15] = 1.0f;
  const affine_parts_t zero = decompose_checked(flat);
  expect_vec3_near(zero.k, vec3_t{}, tol_none);
}

}  // namespace
}  // namespace keln
