#include "velm/bspline_basis.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "velm/bspline_curve.h"

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

// The recursion as written, one ratio at a time, with a plain knot scan:
// the reference for the library's basis, which forms its ratios side by
// side, skips the divisions of the single span and starts from a hint.
bspline_basis_t reference_basis(const std::vector<float>& k, std::uint32_t control_count, float t) {
  bspline_basis_t b;
  const std::uint32_t n = static_cast<std::uint32_t>(k.size());
  if (t <= 0.0f) return b;
  if (t >= 1.0f) {
    b.first = control_count - 4;
    b.n[0] = 0.0f;
    b.n[3] = 1.0f;
    return b;
  }
  std::uint32_t s = n - 4;
  for (std::uint32_t i = 4; i <= n - 4; ++i)
    if (t < k[i]) {
      s = i - 1;
      break;
    }
  float* N = b.n;
  N[3] = 1.0f;
  for (std::uint32_t j = 1; j <= 3; ++j) {
    N[3 - j] = (k[s + 1] - t) / (k[s + 1] - k[s - j + 1]) * N[3 - j + 1];
    for (std::uint32_t m = 1; m < j; ++m) {
      const std::uint32_t i = s - j + m;
      N[3 - j + m] = (t - k[i]) / (k[i + j] - k[i]) * N[3 - j + m] +
                     (k[i + j + 1] - t) / (k[i + j + 1] - k[i + 1]) * N[3 - j + m + 1];
    }
    N[3] = (t - k[s]) / (k[s + j] - k[s]) * N[3];
  }
  b.first = s - 3;
  return b;
}

std::vector<float> random_knots(std::mt19937& engine, std::uint32_t interior) {
  std::vector<float> k(4, 0.0f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (std::uint32_t i = 0; i < interior; ++i) k.push_back(unit(engine));
  std::sort(k.begin() + 4, k.end());
  k.insert(k.end(), 4, 1.0f);
  return k;
}

TEST(bspline_basis, equals_the_plain_recursion_bit_for_bit) {
  std::mt19937 engine(42);
  std::uniform_real_distribution<float> unit(-0.05f, 1.05f);
  for (std::uint32_t interior = 0; interior < 12; ++interior) {
    const std::vector<float> k = random_knots(engine, interior);
    const std::uint32_t count = static_cast<std::uint32_t>(k.size()), control_count = count - 4;
    std::uint32_t hint = engine() % count;
    std::vector<float> ts;
    for (int n = 0; n < 300; ++n) ts.push_back(unit(engine));
    ts.insert(ts.end(), k.begin(), k.end());  // exactly on every knot
    for (float t : ts) {
      bspline_basis_t b;
      bspline_basis(k.data(), count, control_count, t, hint, b);
      const bspline_basis_t r = reference_basis(k, control_count, t);
      ASSERT_EQ(b.first, r.first) << t;
      ASSERT_EQ(std::memcmp(b.n, r.n, sizeof b.n), 0) << "t = " << t << ", " << interior << " interior knots";
    }
  }
}

// Weighted sum as written: from zero, term by term, skipping missing points.
template <typename E>
E reference_combine(const bspline_basis_t& b, const std::vector<E>& control) {
  E out;
  for (unsigned j = 0; j < bspline_element<E>::components; ++j) {
    float sum = 0.0f;
    for (std::uint32_t m = 0; m < bspline_order; ++m)
      if (b.first + m < control.size()) sum += b.n[m] * bspline_element<E>::data(control[b.first + m])[j];
    bspline_element<E>::data(out)[j] = sum;
  }
  return out;
}

template <typename E>
void check_combine(std::mt19937& engine) {
  std::uniform_real_distribution<float> value(-100.0f, 100.0f), unit(0.0f, 1.0f);
  std::vector<E> control(9);
  for (E& c : control)
    for (unsigned j = 0; j < bspline_element<E>::components; ++j) bspline_element<E>::data(c)[j] = value(engine);
  for (std::uint32_t first = 0; first < 9; ++first) {
    bspline_basis_t b;
    b.first = first;
    for (float& n : b.n) n = unit(engine);
    E out;
    bspline_combine(b, control.data(), 9, out);
    const E expected = reference_combine(b, control);
    EXPECT_EQ(std::memcmp(&out, &expected, sizeof(E)), 0) << "first " << first;
  }
}

TEST(bspline_combine, equals_the_plain_sum_bit_for_bit) {
  std::mt19937 engine(43);
  for (int n = 0; n < 20; ++n) {
    check_combine<vec3_t>(engine);
    check_combine<quat_t>(engine);
    check_combine<mat3_t>(engine);
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
