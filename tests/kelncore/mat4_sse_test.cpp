#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

#include "kelncore/math/mat4_portable.h"
#include "kelncore/math/mat4_sse.h"
#include "kelncore/system/cpu.h"

namespace keln {
namespace {

// The SSE routines promise the portable results bit for bit, and the portable
// aliasing forms the plain product: compared byte for byte on random matrices
// (bottom rows not affine), outputs filled with a pattern no routine writes.
constexpr int RANDOM_CASES = 2000;
constexpr float GARBAGE = -12345.5f;

template <typename T>
bool same(const T* a, const T* b, std::size_t count = 1) { return std::memcmp(a, b, count * sizeof(T)) == 0; }

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

const mat4_t GARBAGE_MATRIX = [] { mat4_t m; std::fill(std::begin(m.m), std::end(m.m), GARBAGE); return m; }();

// Every matrix routine in one form: out from the operands a and b.
using matrix_fn = void (*)(mat4_t& out, const mat4_t& a, const mat4_t& b);
template <void (*F)(mat4_t&)>
void fill(mat4_t& out, const mat4_t&, const mat4_t&) { F(out); }
template <void (*F)(mat4_t&, const vec3_t&)>
void from_vec3(mat4_t& out, const mat4_t& a, const mat4_t&) { F(out, vec3_t{{a[0], a[1], a[2]}}); }
template <void (*F)(mat4_t&, const mat4_t&)>
void unary(mat4_t& out, const mat4_t& a, const mat4_t&) { F(out, a); }
template <void (*F)(mat4_t&)>
void in_place(mat4_t& out, const mat4_t& a, const mat4_t&) { out = a; F(out); }
template <void (*F)(mat4_t&, const mat4_t&, const mat4_t&)>
void binary(mat4_t& out, const mat4_t& a, const mat4_t& b) { F(out, a, b); }
template <void (*F)(mat4_t&, const mat4_t&, const mat4_t&)>
void into_a(mat4_t& out, const mat4_t& a, const mat4_t& b) { out = a; F(out, out, b); }
template <void (*F)(mat4_t&, const mat4_t&, const mat4_t&)>
void into_b(mat4_t& out, const mat4_t& a, const mat4_t& b) { out = b; F(out, a, out); }

const std::pair<matrix_fn, matrix_fn> MATRIX_ROUTINES[] = {
    {&fill<sse::mat4_identity>, &fill<portable::mat4_identity>},
    {&from_vec3<sse::mat4_translation>, &from_vec3<portable::mat4_translation>},
    {&from_vec3<sse::mat4_scale>, &from_vec3<portable::mat4_scale>},
    {&unary<sse::mat4_transpose>, &unary<portable::mat4_transpose>},
    {&in_place<sse::mat4_transpose_inplace>, &in_place<portable::mat4_transpose_inplace>},
    {&binary<sse::mat4_mul>, &binary<portable::mat4_mul>},
    {&into_a<sse::mat4_mul>, &binary<portable::mat4_mul>},
    {&into_b<sse::mat4_mul>, &binary<portable::mat4_mul>},
    {&into_a<portable::mat4_mul_alias_a>, &binary<portable::mat4_mul>},
    {&into_b<portable::mat4_mul_alias_b>, &binary<portable::mat4_mul>},
};

TEST_F(mat4_sse_test, matrix_routines_match_the_portable_ones) {
  for (int i = 0; i < RANDOM_CASES; ++i) {
    const mat4_t a = matrix(), b = matrix();
    for (std::size_t k = 0; k < std::size(MATRIX_ROUTINES); ++k) {
      mat4_t got = GARBAGE_MATRIX, expected = GARBAGE_MATRIX;
      MATRIX_ROUTINES[k].first(got, a, b);
      MATRIX_ROUTINES[k].second(expected, a, b);
      ASSERT_TRUE(same(&got, &expected)) << "routine " << k;
    }
  }
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

// Last rows: random, or zero divisors where x is 1 (points: w = x - 1) or
// where x equals y (directions: s = x - y; the 5 never counts).
constexpr float RANDOM_ROW = 1e30f;
const struct {
  transform_fn fast, reference;
  float last_row[4];
} TRANSFORMS[] = {
    {&sse::transform_points, &portable::transform_points, {RANDOM_ROW}},
    {&sse::transform_dirs, &portable::transform_dirs, {RANDOM_ROW}},
    {&sse::transform_points_proj, &portable::transform_points_proj, {RANDOM_ROW}},
    {&sse::transform_dirs_proj, &portable::transform_dirs_proj, {RANDOM_ROW}},
    {&sse::transform_points_proj, &portable::transform_points_proj, {1.0f, 0.0f, 0.0f, -1.0f}},
    {&sse::transform_dirs_proj, &portable::transform_dirs_proj, {1.0f, -1.0f, 0.0f, 5.0f}},
};

TEST_F(mat4_sse_test, transforms_match_the_portable_ones) {
  for (int i = 0; i < RANDOM_CASES / 10; ++i)
    for (const auto& t : TRANSFORMS) {
      mat4_t m = matrix();
      if (t.last_row[0] != RANDOM_ROW)
        for (unsigned col = 0; col < 4; ++col) m.at(3, col) = t.last_row[col];
      std::vector<vertex_t> input(33);
      for (vertex_t& v : input) v = {vec3(), {1.0f, 2.0f, 3.0f}};
      input[0].v[0] = input[0].v[1] = input[4].v[0] = 1.0f;  // the zero divisors
      compare_transform(t.fast, t.reference, m, input);
    }
}

TEST(mat4_install_for_features, needs_both_the_fpu_and_sse_and_keeps_the_rest_portable) {
  for (std::uint32_t features : {CPU_FEAT_FPU, CPU_FEAT_SSE}) {
    mat4_install_for_features(features);
    EXPECT_EQ(g_mat4.mat4_mul, &portable::mat4_mul);
  }
  mat4_install_for_features(CPU_FEAT_CPUID | CPU_FEAT_FPU | CPU_FEAT_SSE);
  EXPECT_EQ(g_mat4.mat4_transpose_inplace, &sse::mat4_transpose_inplace);
  for (auto slot : {g_mat4.mat4_mul, g_mat4.mat4_mul_alias_a, g_mat4.mat4_mul_alias_b}) EXPECT_EQ(slot, &sse::mat4_mul);
  EXPECT_EQ(g_mat4.transform_points, &sse::transform_points);
  EXPECT_EQ(g_mat4.transform_dirs_proj, &sse::transform_dirs_proj);
  EXPECT_EQ(g_mat4.mat4_inverse, &portable::mat4_inverse);
  mat4_install_portable();
  EXPECT_EQ(g_mat4.mat4_mul, &portable::mat4_mul);
}

}  // namespace
}  // namespace keln
