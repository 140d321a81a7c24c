#include "kelncore/math/mat4_routines.h"

#include <cstddef>

#include "kelncore/math/mat4_portable.h"
#include "math_test_support.h"

namespace keln {
namespace {

using test::expect_mat4_near;
using test::expect_vec3_near;
using test::tol_chain;
using test::tol_exact;
using test::tol_float;
using test::tol_none;

vec3_t apply_point(const mat4_t& m, const vec3_t& p) {
  vec3_t out;
  g_mat4.transform_points(&out, &p, m, 1, sizeof(vec3_t), sizeof(vec3_t));
  return out;
}

TEST(mat_sq, scalar_construction_fills_the_diagonal) {
  const mat4_t id(1.0f), zero(0.0f);
  for (unsigned r = 0; r < 4; ++r)
    for (unsigned c = 0; c < 4; ++c) {
      EXPECT_EQ(id.at(r, c), r == c ? 1.0f : 0.0f);
      EXPECT_EQ(zero.at(r, c), 0.0f);
    }
  const mat3_t two(2.0f);
  EXPECT_EQ(two[4], 2.0f);
  EXPECT_EQ(two[1], 0.0f);
}

TEST(mat4_mul, applies_the_first_operand_first_also_in_place) {
  mat4_t move, turn, both;
  mat4_translation(move, vec3_t{{1, 0, 0}});
  mat4_from_quat(turn, quat_from_axis_angle(vec3_t{{0, 0, 1}}, 1.5707964f));
  mat4_mul(both, move, turn);
  expect_vec3_near(apply_point(both, vec3_t{}), vec3_t{{0, 1, 0}}, tol_float);
  mat4_mul(both, turn, move);
  expect_vec3_near(apply_point(both, vec3_t{}), vec3_t{{1, 0, 0}}, tol_float);
  // Equal to applying one after the other; the aliasing forms give the plain
  // result in place.
  test::random_source_t rnd(11);
  for (int n = 0; n < 30; ++n) {
    const vec3_t p = rnd.vec3(-1, 1);
    mat4_t a = rnd.affine(-2, 2), b = rnd.affine(-2, 2), expected;
    mat4_mul(expected, a, b);
    expect_vec3_near(apply_point(expected, p), apply_point(b, apply_point(a, p)), tol_chain);
    a[12] = rnd.uniform(-1, 1);  // full matrices, not only affine ones
    b[14] = rnd.uniform(-1, 1);
    mat4_t into_a = a, into_b = b;
    mat4_mul(expected, a, b);
    mat4_mul_alias_a(into_a, into_a, b);
    mat4_mul_alias_b(into_b, a, into_b);
    for (unsigned i = 0; i < 16; ++i) {
      EXPECT_EQ(into_a[i], expected[i]);
      EXPECT_EQ(into_b[i], expected[i]);
    }
  }
}

TEST(mat4_transpose, both_forms_swap_rows_and_columns) {
  test::random_source_t rnd(12);
  mat4_t m = rnd.affine(-1, 1), t, in_place = m;
  mat4_transpose(t, m);
  mat4_transpose_inplace(in_place);
  for (unsigned r = 0; r < 4; ++r)
    for (unsigned c = 0; c < 4; ++c) {
      EXPECT_EQ(t.at(r, c), m.at(c, r));
      EXPECT_EQ(in_place.at(r, c), m.at(c, r));
    }
}

TEST(mat4_inverse, times_the_matrix_is_the_identity_also_for_full_matrices) {
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
}

TEST(mat4_inverse, of_a_singular_matrix_fails_and_leaves_the_adjugate) {
  mat4_t m(1.0f);
  m[5] = 0.0f;  // flattens y
  m[3] = 2.0f;
  mat4_t out;
  EXPECT_FALSE(mat4_inverse(out, m));
  // The adjugate of diag(1, 0, 1, 1) with a translation: m · adj = det I = 0.
  mat4_t product;
  mat4_mul(product, out, m);
  expect_mat4_near(product, mat4_t(0.0f), tol_exact);
  EXPECT_EQ(out[5], 1.0f);  // the cofactor of the missing entry
  EXPECT_FALSE(mat4_inverse(out, mat4_t(0.0f)));
}

TEST(mat4_constructors, translations_scales_and_identity) {
  mat4_t m;
  mat4_identity(m);
  expect_mat4_near(m, mat4_t(1.0f), tol_none);
  mat4_translation(m, vec3_t{{1, 2, 3}});
  EXPECT_EQ(m[3], 1.0f);
  EXPECT_EQ(m[7], 2.0f);
  EXPECT_EQ(m[11], 3.0f);
  mat4_translation_neg(m, vec3_t{{1, 2, 3}});
  expect_vec3_near(apply_point(m, vec3_t{{1, 2, 3}}), vec3_t{}, tol_none);
  mat4_scale(m, vec3_t{{2, 3, 4}});
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{2, 3, 4}}, tol_none);
  EXPECT_EQ(m[15], 1.0f);
  mat4_scale_uniform(m, 5.0f);
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{5, 5, 5}}, tol_none);
  EXPECT_EQ(m[15], 1.0f);
}

TEST(mat4_rotation_euler, matches_the_three_angle_quaternion_and_inverts) {
  const vec3_t angles{{30, -45, 70}};
  mat4_t rot, inv, expected, product;
  mat4_rotation_euler(rot, angles);
  mat4_rotation_euler_inv(inv, angles);
  quat_to_mat4(expected, quat_from_angles(angles));
  expect_mat4_near(rot, expected, tol_none);
  mat4_mul(product, rot, inv);
  expect_mat4_near(product, mat4_t(1.0f), tol_float);
}

TEST(mat4_reflection, mirrors_points_in_the_plane) {
  // Plane y = 1 as (n, d) with n·p + d = 0.
  mat4_t m;
  mat4_reflection(m, vec4_t{{0, 1, 0, -1}});
  expect_vec3_near(apply_point(m, vec3_t{{5, 3, -2}}), vec3_t{{5, -1, -2}}, tol_none);
  expect_vec3_near(apply_point(m, vec3_t{{1, 1, 1}}), vec3_t{{1, 1, 1}}, tol_none);
}

// Interleaved vertex record: the transforms must touch only their field.
struct vertex_t {
  vec3_t position;
  float tag;
};

TEST(mat4_transforms, walk_strided_arrays_and_leave_other_fields) {
  mat4_t m;
  mat4_translation(m, vec3_t{{1, 0, 0}});
  vertex_t v[3] = {{vec3_t{{0, 0, 0}}, 7}, {vec3_t{{1, 1, 1}}, 8}, {vec3_t{{2, 2, 2}}, 9}};
  g_mat4.transform_points(&v[0].position, &v[0].position, m, 3, sizeof(vertex_t), sizeof(vertex_t));
  expect_vec3_near(v[2].position, vec3_t{{3, 2, 2}}, tol_none);
  EXPECT_EQ(v[1].tag, 8.0f);
  vec3_t dirs[3];
  g_mat4.transform_dirs(dirs, &v[0].position, m, 3, sizeof(vec3_t), sizeof(vertex_t));
  expect_vec3_near(dirs[2], v[2].position, tol_none);  // translation does not move directions
  float depth[3];
  mat4_translation(m, vec3_t{{0, 0, -10}});
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

TEST(mat4_transforms, vec4_slots_multiply_whole_vectors) {
  test::random_source_t rnd(15);
  mat4_t m = rnd.affine(-1, 1);
  m[13] = 0.5f;
  const vec4_t v{{1, 2, 3, 4}};
  vec4_t a, b;
  g_mat4.transform_vec4(&a, &v, m, 1, sizeof(vec4_t), sizeof(vec4_t));
  g_mat4.transform_vec4_homogeneous(&b, &v, m, 1, sizeof(vec4_t), sizeof(vec4_t));
  for (unsigned r = 0; r < 4; ++r) {
    const float expected = m.at(r, 0) * 1 + m.at(r, 1) * 2 + m.at(r, 2) * 3 + m.at(r, 3) * 4;
    EXPECT_FLOAT_EQ(a[r], expected);
    EXPECT_EQ(b[r], a[r]);
  }
}

TEST(mat4_routines_table, install_portable_restores_every_slot) {
  const mat4_routines_t saved = g_mat4;
  g_mat4.mat4_mul = nullptr;
  g_mat4.mat4_inverse = nullptr;
  mat4_install_portable();
  EXPECT_EQ(g_mat4.mat4_mul, &portable::mat4_mul);
  EXPECT_EQ(g_mat4.mat4_inverse, &portable::mat4_inverse);
  EXPECT_EQ(g_mat4.transform_vec4, g_mat4.transform_vec4_homogeneous);
  g_mat4 = saved;
}

}  // namespace
}  // namespace keln
