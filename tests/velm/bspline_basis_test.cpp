#include "velm/bspline_basis.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "velm/bspline_curve.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

// The recursion as written, one ratio at a time, with a plain knot scan.
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

// Clamped knots on [0, 1] with interior random ones, sorted.
std::vector<float> random_knots(std::mt19937& engine, std::uint32_t interior) {
  std::vector<float> k(4, 0.0f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (std::uint32_t i = 0; i < interior; ++i) k.push_back(unit(engine));
  std::sort(k.begin() + 4, k.end());
  k.insert(k.end(), 4, 1.0f);
  return k;
}

TEST(bspline_basis, equals_the_plain_recursion_bit_for_bit_whatever_the_hint) {
  std::mt19937 engine(42);
  std::uniform_real_distribution<float> unit(-0.05f, 1.05f);
  for (std::uint32_t interior = 0; interior < 12; ++interior) {
    const std::vector<float> k = random_knots(engine, interior);
    const std::uint32_t count = static_cast<std::uint32_t>(k.size()), control_count = count - 4;
    std::vector<float> ts(k);  // exactly on every knot
    for (int n = 0; n < 100; ++n) ts.push_back(unit(engine));
    std::uint32_t hint = engine() % count;  // then the span used last, or beyond every knot
    for (std::size_t i = 0; i < ts.size(); ++i) {
      const float t = ts[i];
      if (i % 7 == 0) hint = 0xFFFFFFFFu;
      bspline_basis_t b;
      bspline_basis(k.data(), count, control_count, t, hint, b);
      const bspline_basis_t r = reference_basis(k, control_count, t);
      ASSERT_EQ(b.first, r.first) << t;
      ASSERT_EQ(std::memcmp(b.n, r.n, sizeof b.n), 0) << "t = " << t << ", " << interior << " interior knots";
    }
  }
}

TEST(bspline_basis, too_few_knots_read_no_knot) {
  const float four[] = {0, 0, 1, 1}, seven[] = {0, 0, 0, 0, 1, 1, 1};
  bspline_basis_t b;
  std::uint32_t hint = 0;
  bspline_basis(four, 4, 0, 0.5f, hint, b);
  EXPECT_EQ(b.first, 0u);
  EXPECT_EQ(b.n[0], 1.0f);
  EXPECT_EQ(bspline_knot_span(seven, 7, 0.5f, 0), 3u);
}

// The weighted sum term by term, skipping missing control points, against
// bspline_combine over garbage.
template <typename E>
void expect_plain_sums(std::mt19937& engine) {
  constexpr unsigned d = bspline_element<E>::components;
  std::uniform_real_distribution<float> value(-100.0f, 100.0f), unit(0.0f, 1.0f);
  std::vector<E> control(9);
  for (E& c : control)
    for (unsigned j = 0; j < d; ++j) bspline_element<E>::data(c)[j] = value(engine);
  for (std::uint32_t first = 0; first < 9; ++first) {
    bspline_basis_t b;
    b.first = first;
    for (float& n : b.n) n = unit(engine);
    E out, expected;
    for (unsigned j = 0; j < d; ++j) bspline_element<E>::data(out)[j] = NAN;
    bspline_combine(b, control.data(), 9, out);
    for (unsigned j = 0; j < d; ++j) {
      float sum = 0.0f;
      for (std::uint32_t m = 0; m < bspline_order && first + m < 9; ++m) sum += b.n[m] * bspline_element<E>::data(control[first + m])[j];
      bspline_element<E>::data(expected)[j] = sum;
    }
    EXPECT_EQ(std::memcmp(&out, &expected, sizeof(E)), 0) << "first " << first;
  }
}

TEST(bspline_combine, equals_the_plain_sum_bit_for_bit) {
  std::mt19937 engine(43);
  expect_plain_sums<vec3_t>(engine);
  expect_plain_sums<quat_t>(engine);
  expect_plain_sums<mat3_t>(engine);
}

}  // namespace
}  // namespace keln::velm
