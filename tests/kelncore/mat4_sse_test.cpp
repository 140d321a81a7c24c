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
// in the same order), so results are compared byte for byte. Outputs start
// filled with a pattern no routine writes, so a missing or stray write shows.
constexpr int RANDOM_CASES = 2000;
constexpr float GARBAGE = -12345.5f;

template <typename T>
::testing::AssertionResult same(const T* a, const T* b, std::size_t count = 1) {
  if (std::memcmp(a, b, count * sizeof(T)) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "results differ";
}

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

mat4_t garbage() {
  mat4_t m;
  for (float& c : m.m) c = GARBAGE;
  return m;
}

using make_fn = void (*)(mat4_t&, const vec3_t&);
using transform_fn = void (*)(void*, const void*, const mat4_t&, std::size_t, std::size_t, std::size_t);

TEST_F(mat4_sse_test, constructors_transposes_and_products_match_the_portable_ones) {
  mat4_t a = garbage(), b = garbage();
  sse::mat4_identity(a);
  portable::mat4_identity(b);
  EXPECT_TRUE(same(&a, &b));
  const std::pair<make_fn, make_fn> makers[] = {{&sse::mat4_translation, &portable::mat4_translation},
                                                {&sse::mat4_scale, &portable::mat4_scale}};
  for (int i = 0; i < RANDOM_CASES; ++i) {
    const vec3_t v = vec3();
    for (const auto& [fast, reference] : makers) {
      a = b = garbage();
      fast(a, v);
      reference(b, v);
      EXPECT_TRUE(same(&a, &b));
    }
    const mat4_t m = matrix(), n = matrix();
    a = b = garbage();
    sse::mat4_transpose(a, m);
    portable::mat4_transpose(b, m);
    EXPECT_TRUE(same(&a, &b));
    a = b = m;
    sse::mat4_transpose_inplace(a);
    portable::mat4_transpose_inplace(b);
    EXPECT_TRUE(same(&a, &b));

    mat4_t expected = garbage(), got = garbage();
    portable::mat4_mul(expected, m, n);
    sse::mat4_mul(got, m, n);
    ASSERT_TRUE(same(&got, &expected));
    mat4_t in_a = m, in_a_portable = m, in_b = n, in_b_portable = n;
    sse::mat4_mul(in_a, in_a, n);
    portable::mat4_mul_alias_a(in_a_portable, in_a_portable, n);
    sse::mat4_mul(in_b, m, in_b);
    portable::mat4_mul_alias_b(in_b_portable, m, in_b_portable);
    for (const mat4_t* in_place : {&in_a, &in_a_portable, &in_b, &in_b_portable})
      EXPECT_TRUE(same(in_place, &expected));
  }
}

// Interleaved vertex records: the transforms read and write one vec3_t at
// the start of each record and must leave the rest alone.
struct vertex_t {
  vec3_t v;
  float tail[3];
};

void compare_transform(transform_fn fast, transform_fn reference, const mat4_t& m, const std::vector<vertex_t>& input) {
  const std::size_t count = input.size() - 1;  // the last record is a guard
  std::vector<vertex_t> expected(input.size(), vertex_t{{{GARBAGE, GARBAGE, GARBAGE}}, {77.0f, 77.0f, 77.0f}});
  std::vector<vertex_t> got = expected;
  reference(expected.data(), input.data(), m, count, sizeof(vertex_t), sizeof(vertex_t));
  fast(got.data(), input.data(), m, count, sizeof(vertex_t), sizeof(vertex_t));
  ASSERT_TRUE(same(got.data(), expected.data(), got.size()));
  EXPECT_EQ(got.back().v[0], GARBAGE);
  EXPECT_EQ(got.front().tail[0], 77.0f);

  // In place, packed vec3_t (stride 12).
  std::vector<vec3_t> packed_expected, packed_got;
  for (std::size_t i = 0; i < count; ++i) packed_expected.push_back(input[i].v);
  packed_got = packed_expected;
  reference(packed_expected.data(), packed_expected.data(), m, count, sizeof(vec3_t), sizeof(vec3_t));
  fast(packed_got.data(), packed_got.data(), m, count, sizeof(vec3_t), sizeof(vec3_t));
  EXPECT_TRUE(same(packed_got.data(), packed_expected.data(), count));
}

const std::pair<transform_fn, transform_fn> TRANSFORMS[] = {
    {&sse::transform_points, &portable::transform_points},
    {&sse::transform_dirs, &portable::transform_dirs},
    {&sse::transform_points_proj, &portable::transform_points_proj},
    {&sse::transform_dirs_proj, &portable::transform_dirs_proj}};

TEST_F(mat4_sse_test, transforms_match_the_portable_ones) {
  for (int i = 0; i < RANDOM_CASES / 10; ++i) {
    const mat4_t m = matrix();
    std::vector<vertex_t> input(33);
    for (vertex_t& v : input) v = {vec3(), {1.0f, 2.0f, 3.0f}};
    for (const auto& [fast, reference] : TRANSFORMS) compare_transform(fast, reference, m, input);
  }
  // Directions keep signed zeros like the portable one.
  mat4_t m(0.0f);
  m.at(0, 0) = -1.0f;
  const vec3_t d{{0.0f, 0.0f, 0.0f}};
  vec3_t a, b;
  sse::transform_dirs(&a, &d, m, 1, sizeof a, sizeof a);
  portable::transform_dirs(&b, &d, m, 1, sizeof b, sizeof b);
  EXPECT_TRUE(same(&a, &b));
}

TEST_F(mat4_sse_test, projections_skip_the_division_where_the_divisor_is_zero) {
  // Points: w = x - 1, 0 where x is 1. Directions: s = x - y, 0 where x
  // equals y; the 5 never counts for directions.
  const struct {
    transform_fn fast, reference, plain;
    float last_row[4];
  } cases[] = {{&sse::transform_points_proj, &portable::transform_points_proj, &portable::transform_points,
                {1.0f, 0.0f, 0.0f, -1.0f}},
               {&sse::transform_dirs_proj, &portable::transform_dirs_proj, &portable::transform_dirs,
                {1.0f, -1.0f, 0.0f, 5.0f}}};
  for (const auto& c : cases) {
    mat4_t m = matrix();
    for (unsigned col = 0; col < 4; ++col) m.at(3, col) = c.last_row[col];
    std::vector<vertex_t> input(9);
    for (vertex_t& v : input) v = {vec3(), {}};
    input[0].v[0] = input[0].v[1] = input[4].v[0] = 1.0f;
    compare_transform(c.fast, c.reference, m, input);
    vec3_t projected, unprojected;
    c.fast(&projected, &input[0].v, m, 1, sizeof projected, sizeof projected);
    c.plain(&unprojected, &input[0].v, m, 1, sizeof unprojected, sizeof unprojected);
    EXPECT_TRUE(same(&projected, &unprojected));
  }
}

TEST(mat4_install_for_features, needs_both_the_fpu_and_sse) {
  for (std::uint32_t features : {CPU_FEAT_FPU, CPU_FEAT_SSE}) {
    mat4_install_for_features(features);
    EXPECT_EQ(g_mat4.mat4_mul, &portable::mat4_mul);
  }
  mat4_install_for_features(CPU_FEAT_CPUID | CPU_FEAT_FPU | CPU_FEAT_SSE);
  EXPECT_EQ(g_mat4.mat4_identity, &sse::mat4_identity);
  EXPECT_EQ(g_mat4.mat4_translation, &sse::mat4_translation);
  EXPECT_EQ(g_mat4.mat4_scale, &sse::mat4_scale);
  EXPECT_EQ(g_mat4.mat4_transpose, &sse::mat4_transpose);
  EXPECT_EQ(g_mat4.mat4_transpose_inplace, &sse::mat4_transpose_inplace);
  for (auto slot : {g_mat4.mat4_mul, g_mat4.mat4_mul_alias_a, g_mat4.mat4_mul_alias_b}) EXPECT_EQ(slot, &sse::mat4_mul);
  EXPECT_EQ(g_mat4.transform_points_proj, &sse::transform_points_proj);
  EXPECT_EQ(g_mat4.transform_points, &sse::transform_points);
  EXPECT_EQ(g_mat4.transform_dirs, &sse::transform_dirs);
  EXPECT_EQ(g_mat4.transform_dirs_proj, &sse::transform_dirs_proj);
  EXPECT_EQ(g_mat4.mat4_inverse, &portable::mat4_inverse);  // the rest stays portable
  EXPECT_EQ(g_mat4.transform_vec4, &portable::transform_vec4);
  mat4_install_portable();
}

}  // namespace
}  // namespace keln
