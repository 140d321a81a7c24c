#include "kelncore/math/mat4_routines.h"

#include "math_test_support.h"

namespace keln {
namespace {

using namespace test;  // the comparisons, random inputs and tolerances

vec3_t apply_point(const mat4_t& m, const vec3_t& p) {
  vec3_t out;
  g_mat4.transform_points(&out, &p, m, 1, sizeof(vec3_t), sizeof(vec3_t));
  return out;
}

TEST(mat4_inverse, times_the_matrix_is_the_identity_or_fails_leaving_the_adjugate) {
  test::random_source_t rnd(13);
  for (int n = 0; n < 30; ++n) {
    mat4_t m = rnd.affine(-2, 2);
    for (unsigned i = 12; i < 15; ++i) m[i] = rnd.uniform(-0.5f, 0.5f);  // full matrices, not only affine ones
    mat4_t inv, product;
    ASSERT_TRUE(mat4_inverse(inv, m));
    mat4_mul(product, m, inv);
    expect_mat4_near(product, mat4_t(1.0f), tol_chain);
    mat4_t in_place = m;  // may write over its input
    ASSERT_TRUE(mat4_inverse(in_place, in_place));
    for (unsigned i = 0; i < 16; ++i) EXPECT_EQ(in_place[i], inv[i]);
  }
  mat4_t m(1.0f);
  m[5] = 0.0f;  // flattens y
  m[3] = 2.0f;
  mat4_t out;
  EXPECT_FALSE(mat4_inverse(out, m));
  // The adjugate of diag(1, 0, 1, 1) with a translation: m · adj = det I = 0.
  mat4_t zero;
  mat4_mul(zero, out, m);
  expect_mat4_near(zero, mat4_t(0.0f), tol_exact);
  EXPECT_FALSE(mat4_inverse(out, mat4_t(0.0f)));
}

TEST(mat4_constructors, negated_translations_scales_and_reflections) {
  mat4_t m;
  mat4_translation_neg(m, vec3_t{{1, 2, 3}});
  expect_vec3_near(apply_point(m, vec3_t{{1, 2, 3}}), vec3_t{}, tol_none);
  mat4_scale_uniform(m, 5.0f);
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{5, 5, 5}}, tol_none);
  EXPECT_EQ(m[15], 1.0f);
  // Reflection in the plane y = 1 as (n, d) with n·p + d = 0.
  mat4_reflection(m, vec4_t{{0, 1, 0, -1}});
  expect_vec3_near(apply_point(m, vec3_t{{5, 3, -2}}), vec3_t{{5, -1, -2}}, tol_none);
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{1, 1, 1}}, tol_none);
}

TEST(mat4_transforms, depth_walks_strided_arrays) {
  const float v[12] = {0, 0, 0, 7, 1, 1, 1, 8, 2, 2, 2, 9};  // interleaved: a position and a tag
  mat4_t m;
  mat4_translation(m, vec3_t{{0, 0, -10}});
  float depth[3];
  g_mat4.transform_points_depth(depth, v, m, 3, sizeof(float), 4 * sizeof(float));
  EXPECT_EQ(depth[0], -10.0f);
  EXPECT_EQ(depth[2], -8.0f);
}

}  // namespace
}  // namespace keln
