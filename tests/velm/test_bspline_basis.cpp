#include "velm/bspline_basis.h"

#include <vector>

#include "motion_test_support.h"

namespace keln::velm {
namespace {

using keln::test::tol_exact;

const std::vector<float> clamped8 = {0, 0, 0, 0, 1, 1, 1, 1};
const std::vector<float> refined = {0, 0, 0, 0, 0.25f, 0.5f, 0.625f, 1, 1, 1, 1};

std::uint32_t span(const std::vector<float>& knots, float t, std::uint32_t hint = 0) {
  return bspline_knot_span(knots.data(), static_cast<std::uint32_t>(knots.size()), t, hint);
}

bspline_basis_t basis(const std::vector<float>& knots, float t) {
  bspline_basis_t b;
  std::uint32_t hint = 0;
  bspline_basis(knots.data(), static_cast<std::uint32_t>(knots.size()), static_cast<std::uint32_t>(knots.size()) - 4,
                t, hint, b);
  return b;
}

TEST(bspline_knot_span, short_vectors_give_count_minus_four) {
  const std::vector<float> seven = {0, 0, 0, 0, 1, 1, 1};
  EXPECT_EQ(span(seven, 0.5f), 3u);
}

TEST(bspline_knot_span, is_the_interval_holding_t) {
  EXPECT_EQ(span(clamped8, 0.0f), 3u);
  EXPECT_EQ(span(clamped8, 0.99f), 3u);
  EXPECT_EQ(span(clamped8, 1.0f), 4u);
  EXPECT_EQ(span(refined, 0.1f), 3u);
  EXPECT_EQ(span(refined, 0.25f), 4u);
  EXPECT_EQ(span(refined, 0.6f), 5u);
  EXPECT_EQ(span(refined, 0.625f), 6u);
  EXPECT_EQ(span(refined, 0.9999f), 6u);
  EXPECT_EQ(span(refined, 1.0f), 7u);
}

TEST(bspline_knot_span, never_depends_on_the_hint) {
  keln::test::random_source_t rnd(40);
  for (int n = 0; n < 2000; ++n) {
    const float t = rnd.uniform(-0.1f, 1.1f);
    const std::uint32_t hint = static_cast<std::uint32_t>(rnd.uniform(0, 12));
    EXPECT_EQ(span(refined, t, hint), span(refined, t)) << t << " " << hint;
  }
  EXPECT_EQ(span(refined, 0.3f, 0xFFFFFFFFu), 4u);
}

TEST(bspline_basis, ends_select_the_end_control_points) {
  const bspline_basis_t start = basis(refined, 0.0f);
  EXPECT_EQ(start.first, 0u);
  EXPECT_EQ(start.n[0], 1.0f);
  EXPECT_EQ(start.n[3], 0.0f);
  const bspline_basis_t end = basis(refined, 1.0f);
  EXPECT_EQ(end.first, 3u);  // 7 control points
  EXPECT_EQ(end.n[3], 1.0f);
  EXPECT_EQ(end.n[0], 0.0f);
}

TEST(bspline_basis, single_span_is_the_bernstein_basis) {
  const float t = 0.25f;
  const bspline_basis_t b = basis(clamped8, t);
  EXPECT_EQ(b.first, 0u);
  const float s = 1 - t;
  EXPECT_NEAR(b.n[0], s * s * s, tol_exact);
  EXPECT_NEAR(b.n[1], 3 * s * s * t, tol_exact);
  EXPECT_NEAR(b.n[2], 3 * s * t * t, tol_exact);
  EXPECT_NEAR(b.n[3], t * t * t, tol_exact);
}

TEST(bspline_basis, values_are_a_partition_of_unity) {
  keln::test::random_source_t rnd(41);
  for (int n = 0; n < 500; ++n) {
    const float t = rnd.uniform(0.0f, 1.0f);
    const bspline_basis_t b = basis(refined, t);
    EXPECT_EQ(b.first, span(refined, t) - 3);
    float sum = 0;
    for (float v : b.n) {
      EXPECT_GE(v, 0.0f);
      sum += v;
    }
    EXPECT_NEAR(sum, 1.0f, tol_exact);
  }
}

TEST(bspline_basis, too_few_knots_read_no_knot) {
  const std::vector<float> four = {0, 0, 1, 1};
  bspline_basis_t b;
  std::uint32_t hint = 0;
  bspline_basis(four.data(), 4, 0, 0.5f, hint, b);
  EXPECT_EQ(b.first, 0u);
  EXPECT_EQ(b.n[0], 1.0f);
}

}  // namespace
}  // namespace keln::velm
