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

// The aliasing forms and the SSE routines are compared with these in
// mat4_sse_test.
TEST(mat4_mul, applies_the_first_operand_first) {
  test::random_source_t rnd(11);
  for (int n = 0; n < 30; ++n) {
    const vec3_t p = rnd.vec3(-1, 1);
    const mat4_t a = rnd.affine(-2, 2), b = rnd.affine(-2, 2);
    mat4_t both;
    mat4_mul(both, a, b);
    expect_vec3_near(apply_point(both, p), apply_point(b, apply_point(a, p)), tol_chain);
  }
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
  // A singular matrix fails and leaves the adjugate.
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
  mat4_scale(m, vec3_t{{2, 3, 4}});
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{2, 3, 4}}, tol_none);
  mat4_scale_uniform(m, 5.0f);
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{5, 5, 5}}, tol_none);
  EXPECT_EQ(m[15], 1.0f);
  // Reflection in the plane y = 1 as (n, d) with n·p + d = 0.
  mat4_reflection(m, vec4_t{{0, 1, 0, -1}});
  expect_vec3_near(apply_point(m, vec3_t{{5, 3, -2}}), vec3_t{{5, -1, -2}}, tol_none);
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{1, 1, 1}}, tol_none);
}

// Interleaved vertex record.
struct vertex_t {
  vec3_t position;
  float tag;
};

TEST(mat4_transforms, depth_walks_strided_arrays_and_directions_ignore_translation) {
  vertex_t v[3] = {{vec3_t{{0, 0, 0}}, 7}, {vec3_t{{1, 1, 1}}, 8}, {vec3_t{{2, 2, 2}}, 9}};
  mat4_t m;
  mat4_translation(m, vec3_t{{0, 0, -10}});
  vec3_t dirs[3];
  g_mat4.transform_dirs(dirs, &v[0].position, m, 3, sizeof(vec3_t), sizeof(vertex_t));
  expect_vec3_near(dirs[2], v[2].position, tol_none);
  float depth[3];
  g_mat4.transform_points_depth(depth, &v[0].position, m, 3, sizeof(float), sizeof(vertex_t));
  EXPECT_EQ(depth[0], -10.0f);
  EXPECT_EQ(depth[2], -8.0f);
}

TEST(mat4_transforms, projective_forms_divide_unless_w_is_zero) {
  mat4_t m(1.0f);
  m[14] = 1.0f;  // w = z
  m[15] = 0.0f;
  const vec3_t p[2] = {vec3_t{{2, 4, 2}}, vec3_t{{2, 4, 0}}};
  vec3_t out[2];
  g_mat4.transform_points_proj(out, p, m, 2, sizeof(vec3_t), sizeof(vec3_t));
  expect_vec3_near(out[0], vec3_t{{1, 2, 1}}, tol_none);
  expect_vec3_near(out[1], vec3_t{{2, 4, 0}}, tol_none);  // w = 0: left undivided
  g_mat4.transform_dirs_proj(out, p, m, 2, sizeof(vec3_t), sizeof(vec3_t));
  expect_vec3_near(out[0], vec3_t{{1, 2, 1}}, tol_none);
  expect_vec3_near(out[1], vec3_t{{2, 4, 0}}, tol_none);
}

}  // namespace
}  // namespace keln
