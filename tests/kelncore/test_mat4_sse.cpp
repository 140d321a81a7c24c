#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "kelncore/math/mat4_portable.h"
#include "kelncore/math/mat4_sse.h"
#include "kelncore/system/cpu.h"

namespace keln {
namespace {

// The SSE routines promise the portable results bit for bit (same operations
// in the same order), so results are compared byte for byte: the tolerance is
// zero.
constexpr int RANDOM_CASES = 2000;

class mat4_sse_test : public ::testing::Test {
 protected:
  float value() { return std::uniform_real_distribution<float>(-10.0f, 10.0f)(rng); }
  mat4_t matrix() {
    mat4_t m;
    for (float& c : m.m) c = value();
    return m;
  }
  vec3_t vec3() { return vec3_t{{value(), value(), value()}}; }

  std::mt19937 rng{20261206};
};

::testing::AssertionResult same_bytes(const void* a, const void* b, std::size_t size) {
  if (std::memcmp(a, b, size) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "results differ";
}

template <typename T>
::testing::AssertionResult same(const T& a, const T& b) {
  return same_bytes(&a, &b, sizeof(T));
}

// Filled with a pattern that no routine writes, so a missing or stray write
// shows.
mat4_t garbage() {
  mat4_t m;
  for (float& c : m.m) c = -12345.5f;
  return m;
}

TEST_F(mat4_sse_test, constructors_match_the_portable_ones) {
  mat4_t a = garbage(), b = garbage();
  sse::mat4_identity(a);
  portable::mat4_identity(b);
  EXPECT_TRUE(same(a, b));
  for (int i = 0; i < RANDOM_CASES; ++i) {
    const vec3_t v = vec3();
    a = garbage();
    b = garbage();
    sse::mat4_translation(a, v);
    portable::mat4_translation(b, v);
    EXPECT_TRUE(same(a, b));
    a = garbage();
    b = garbage();
    sse::mat4_scale(a, v);
    portable::mat4_scale(b, v);
    EXPECT_TRUE(same(a, b));
  }
}

TEST_F(mat4_sse_test, transposes_match_the_portable_ones) {
  for (int i = 0; i < RANDOM_CASES; ++i) {
    const mat4_t m = matrix();
    mat4_t a = garbage(), b = garbage();
    sse::mat4_transpose(a, m);
    portable::mat4_transpose(b, m);
    EXPECT_TRUE(same(a, b));
    a = m;
    b = m;
    sse::mat4_transpose_inplace(a);
    portable::mat4_transpose_inplace(b);
    EXPECT_TRUE(same(a, b));
  }
}

TEST_F(mat4_sse_test, product_matches_all_three_portable_products_also_in_place) {
  for (int i = 0; i < RANDOM_CASES; ++i) {
    const mat4_t a = matrix(), b = matrix();
    mat4_t expected = garbage(), got = garbage();
    portable::mat4_mul(expected, a, b);
    sse::mat4_mul(got, a, b);
    ASSERT_TRUE(same(got, expected));

    mat4_t in_a = a;
    sse::mat4_mul(in_a, in_a, b);
    EXPECT_TRUE(same(in_a, expected));
    mat4_t in_a_portable = a;
    portable::mat4_mul_alias_a(in_a_portable, in_a_portable, b);
    EXPECT_TRUE(same(in_a_portable, expected));

    mat4_t in_b = b;
    sse::mat4_mul(in_b, a, in_b);
    EXPECT_TRUE(same(in_b, expected));
    mat4_t in_b_portable = b;
    portable::mat4_mul_alias_b(in_b_portable, a, in_b_portable);
    EXPECT_TRUE(same(in_b_portable, expected));
  }
}

TEST_F(mat4_sse_test, product_applies_a_first) {
  mat4_t shift, turn, both;
  sse::mat4_translation(shift, vec3_t{{1.0f, 0.0f, 0.0f}});
  turn = mat4_t(0.0f);
  turn.at(0, 1) = -1.0f;
  turn.at(1, 0) = 1.0f;
  turn.at(2, 2) = 1.0f;
  turn.at(3, 3) = 1.0f;
  sse::mat4_mul(both, shift, turn);
  const vec3_t origin{};
  vec3_t p;
  sse::transform_points(&p, &origin, both, 1, sizeof p, sizeof p);
  EXPECT_EQ(p[0], 0.0f);
  EXPECT_EQ(p[1], 1.0f);
  EXPECT_EQ(p[2], 0.0f);
}

// Interleaved vertex records: the transforms read and write one vec3_t at
// the start of each record and must leave the rest alone.
struct vertex_t {
  vec3_t v;
  float tail[3];
};

using transform_fn = void (*)(void*, const void*, const mat4_t&, std::size_t, std::size_t, std::size_t);

void compare_transform(transform_fn fast, transform_fn reference, const mat4_t& m, const std::vector<vertex_t>& input) {
  const std::size_t count = input.size() - 1;  // the last record is a guard
  std::vector<vertex_t> expected(input.size()), got(input.size());
  for (std::size_t i = 0; i < input.size(); ++i) {
    for (float& c : expected[i].v.c) c = -999.0f;
    for (float& c : expected[i].tail) c = 77.0f;
  }
  got = expected;
  reference(expected.data(), input.data(), m, count, sizeof(vertex_t), sizeof(vertex_t));
  fast(got.data(), input.data(), m, count, sizeof(vertex_t), sizeof(vertex_t));
  ASSERT_TRUE(same_bytes(got.data(), expected.data(), got.size() * sizeof(vertex_t)));
  EXPECT_EQ(got.back().v[0], -999.0f);
  EXPECT_EQ(got.front().tail[0], 77.0f);

  // In place, packed vec3_t (stride 12).
  std::vector<vec3_t> packed_expected, packed_got;
  for (std::size_t i = 0; i < count; ++i) packed_expected.push_back(input[i].v);
  packed_got = packed_expected;
  reference(packed_expected.data(), packed_expected.data(), m, count, sizeof(vec3_t), sizeof(vec3_t));
  fast(packed_got.data(), packed_got.data(), m, count, sizeof(vec3_t), sizeof(vec3_t));
  EXPECT_TRUE(same_bytes(packed_got.data(), packed_expected.data(), count * sizeof(vec3_t)));
}

TEST_F(mat4_sse_test, transforms_match_the_portable_ones) {
  for (int i = 0; i < RANDOM_CASES / 10; ++i) {
    const mat4_t m = matrix();
    std::vector<vertex_t> input(33);
    for (vertex_t& v : input) v = {vec3(), {1.0f, 2.0f, 3.0f}};
    compare_transform(&sse::transform_points, &portable::transform_points, m, input);
    compare_transform(&sse::transform_dirs, &portable::transform_dirs, m, input);
    compare_transform(&sse::transform_points_proj, &portable::transform_points_proj, m, input);
    compare_transform(&sse::transform_dirs_proj, &portable::transform_dirs_proj, m, input);
  }
}

// A random matrix whose last row is (a, b, c, d), and random vertex records.
class mat4_sse_projection_test : public mat4_sse_test {
 protected:
  mat4_t with_last_row(float a, float b, float c, float d) {
    mat4_t m = matrix();
    m.at(3, 0) = a;
    m.at(3, 1) = b;
    m.at(3, 2) = c;
    m.at(3, 3) = d;
    return m;
  }
  std::vector<vertex_t> vertices(std::size_t count) {
    std::vector<vertex_t> out(count);
    for (vertex_t& v : out) v = {vec3(), {}};
    return out;
  }
};

// The projecting routine leaves v as the plain one does.
::testing::AssertionResult not_divided(transform_fn projecting, transform_fn plain, const mat4_t& m, const vec3_t& v) {
  vec3_t projected, unprojected;
  projecting(&projected, &v, m, 1, sizeof projected, sizeof v);
  plain(&unprojected, &v, m, 1, sizeof unprojected, sizeof v);
  return same(projected, unprojected);
}

TEST_F(mat4_sse_projection_test, points_skip_the_division_when_w_is_zero) {
  // w = x - 1: 0 exactly where x is 1.
  const mat4_t m = with_last_row(1.0f, 0.0f, 0.0f, -1.0f);
  std::vector<vertex_t> input = vertices(9);
  input[0].v[0] = 1.0f;
  input[4].v[0] = 1.0f;
  compare_transform(&sse::transform_points_proj, &portable::transform_points_proj, m, input);
  EXPECT_TRUE(not_divided(&sse::transform_points_proj, &portable::transform_points, m, input[0].v));
}

TEST_F(mat4_sse_projection_test, directions_skip_the_division_when_s_is_zero) {
  // s = x - y: 0 exactly where x equals y; the 5 never counts for directions.
  const mat4_t m = with_last_row(1.0f, -1.0f, 0.0f, 5.0f);
  std::vector<vertex_t> input = vertices(9);
  input[2].v[1] = input[2].v[0];
  compare_transform(&sse::transform_dirs_proj, &portable::transform_dirs_proj, m, input);
  EXPECT_TRUE(not_divided(&sse::transform_dirs_proj, &portable::transform_dirs, m, input[2].v));
}

TEST_F(mat4_sse_test, directions_keep_signed_zeros_like_the_portable_one) {
  mat4_t m(0.0f);
  m.at(0, 0) = -1.0f;
  const vec3_t d{{0.0f, 0.0f, 0.0f}};
  vec3_t a, b;
  sse::transform_dirs(&a, &d, m, 1, sizeof a, sizeof a);
  portable::transform_dirs(&b, &d, m, 1, sizeof b, sizeof b);
  EXPECT_TRUE(same(a, b));
}

TEST(mat4_install_for_features, needs_both_the_fpu_and_sse) {
  mat4_install_portable();
  mat4_install_for_features(CPU_FEAT_FPU);
  EXPECT_EQ(g_mat4.mat4_mul, &portable::mat4_mul);
  mat4_install_for_features(CPU_FEAT_SSE);
  EXPECT_EQ(g_mat4.mat4_mul, &portable::mat4_mul);

  mat4_install_for_features(CPU_FEAT_CPUID | CPU_FEAT_FPU | CPU_FEAT_SSE);
  EXPECT_EQ(g_mat4.mat4_identity, &sse::mat4_identity);
  EXPECT_EQ(g_mat4.mat4_translation, &sse::mat4_translation);
  EXPECT_EQ(g_mat4.mat4_scale, &sse::mat4_scale);
  EXPECT_EQ(g_mat4.mat4_transpose, &sse::mat4_transpose);
  EXPECT_EQ(g_mat4.mat4_transpose_inplace, &sse::mat4_transpose_inplace);
  EXPECT_EQ(g_mat4.mat4_mul, &sse::mat4_mul);
  EXPECT_EQ(g_mat4.mat4_mul_alias_a, &sse::mat4_mul);
  EXPECT_EQ(g_mat4.mat4_mul_alias_b, &sse::mat4_mul);
  EXPECT_EQ(g_mat4.transform_points_proj, &sse::transform_points_proj);
  EXPECT_EQ(g_mat4.transform_points, &sse::transform_points);
  EXPECT_EQ(g_mat4.transform_dirs, &sse::transform_dirs);
  EXPECT_EQ(g_mat4.transform_dirs_proj, &sse::transform_dirs_proj);
  // The rest stays portable.
  EXPECT_EQ(g_mat4.mat4_inverse, &portable::mat4_inverse);
  EXPECT_EQ(g_mat4.transform_vec4, &portable::transform_vec4);
  mat4_install_portable();
}

}  // namespace
}  // namespace keln
