#include "velm/bspline_fit.h"

#include <cstring>
#include <random>

#include "velm_fixture.h"

namespace keln::velm {
namespace {

// The worst squared distance of the curve from the keys at the key
// parameters (accumulated in float, as the fitting does).
template <typename E>
float worst_key_error(const bspline_curve_t<E>& curve, const array_t<E>& keys) {
  const float h = 1.0f / static_cast<float>(keys.size() - 1);
  float t = 0, worst = 0;
  for (std::uint32_t k = 0; k < keys.size(); ++k, t = t + h) {
    E value;
    curve.evaluate(t, value);
    float e = 0;
    for (unsigned c = 0; c < bspline_element<E>::components; ++c) {
      const float d = bspline_element<E>::data(value)[c] - bspline_element<E>::data(keys[k])[c];
      e += d * d;
    }
    worst = std::max(worst, e);
  }
  return worst;
}

// Clamped on [0, 1], interior strictly increasing; the curve starts and
// ends exactly on the end keys.
template <typename E>
void expect_well_formed(const bspline_curve_t<E>& curve, const array_t<E>& keys) {
  const array_t<float>& knots = curve.knots;
  ASSERT_GE(knots.size(), 8u);
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(knots[i], 0.0f);
    EXPECT_EQ(knots[knots.size() - 1 - i], 1.0f);
  }
  for (std::uint32_t i = 3; i + 4 < knots.size(); ++i) EXPECT_LT(knots[i], knots[i + 1]) << "knot " << i;
  EXPECT_LE(curve.control.size(), std::max(keys.size(), 4u));
  E start, end;
  curve.evaluate(0.0f, start);
  curve.evaluate(1.0f, end);
  EXPECT_EQ(std::memcmp(&start, &keys[0], sizeof(E)), 0);
  if (keys.size() > 1) {
    EXPECT_EQ(std::memcmp(&end, &keys[keys.size() - 1], sizeof(E)), 0);
  }
}

template <typename E>
bspline_curve_t<E> fit(const array_t<E>& keys) {
  bspline_curve_t<E> curve;
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  return curve;
}

array_dyn_t<vec3_t> positions(std::uint32_t count, float (*f)(float)) {
  array_dyn_t<vec3_t> keys;
  for (std::uint32_t k = 0; k < count; ++k) {
    const float t = static_cast<float>(k) / static_cast<float>(count - 1);
    keys.push_back(vec3_t{{f(t), 0.5f * t, -1.0f}});
  }
  return keys;
}

TEST(bspline_fit, up_to_four_keys_or_keys_on_one_cubic_need_one_span) {
  const vec3_t points[] = {{{1, 2, 3}}, {{-4, 0.5f, 8}}, {{2, 2, -6}}, {{0, 1, 7}}};
  for (std::uint32_t count = 1; count <= 4; ++count) {
    array_dyn_t<vec3_t> keys;
    for (std::uint32_t k = 0; k < count; ++k) keys.push_back(points[k]);
    const bspline_curve_t<vec3_t> curve = fit<vec3_t>(keys);
    EXPECT_EQ(curve.control.size(), 4u);
    EXPECT_EQ(curve.knots.size(), 8u);
    expect_well_formed(curve, keys);
    if (count > 1) {
      EXPECT_LE(worst_key_error(curve, keys), keln::test::tol_float * keln::test::tol_float) << count;
    }
  }
  const array_dyn_t<vec3_t> cubic = positions(31, [](float t) { return t * t * t; });
  const bspline_curve_t<vec3_t> curve = fit<vec3_t>(cubic);
  EXPECT_EQ(curve.control.size(), 4u);
  EXPECT_LE(worst_key_error(curve, cubic), keln::test::tol_chain * keln::test::tol_chain);
}

TEST(bspline_fit, each_refinement_adds_one_knot_and_one_control_point) {
  const array_dyn_t<vec3_t> keys =
      positions(41, [](float t) { return 1.0f / (1.0f + 400.0f * (t - 0.3f) * (t - 0.3f)); });
  const bspline_curve_t<vec3_t> curve = fit<vec3_t>(keys);
  EXPECT_GT(curve.control.size(), 4u);
  EXPECT_LT(curve.control.size(), keys.size());
  EXPECT_EQ(curve.knots.size(), curve.control.size() + 4);
  expect_well_formed(curve, keys);
  EXPECT_LE(worst_key_error(curve, keys), bspline_fit_tolerance);
}

TEST(bspline_fit, noise_exhausts_the_control_points_with_one_extra_knot_at_most) {
  std::mt19937 engine(51);
  std::uniform_real_distribution<float> value(-5, 5);
  array_dyn_t<vec3_t> keys;
  for (int k = 0; k < 12; ++k) keys.push_back(vec3_t{{value(engine), value(engine), value(engine)}});
  const bspline_curve_t<vec3_t> curve = fit<vec3_t>(keys);
  EXPECT_EQ(curve.control.size(), keys.size());
  EXPECT_LE(curve.knots.size(), curve.control.size() + 5);
  expect_well_formed(curve, keys);
}

TEST(bspline_fit, no_key_leaves_an_empty_curve) {
  bspline_curve_t<vec3_t> curve;
  curve.control.resize(4);
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, array_dyn_t<vec3_t>(), scratch);
  EXPECT_EQ(curve.control.size() + curve.knots.size(), 0u);
}

}  // namespace
}  // namespace keln::velm
