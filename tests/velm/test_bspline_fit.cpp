#include "velm/bspline_fit.h"

#include <cstring>

#include "motion_test_support.h"

namespace keln::velm {
namespace {

using keln::test::tol_chain;
using keln::test::tol_float;
using keln::test::random_source_t;

// Squared distance of two elements, as the refinement measures it.
template <typename E>
float squared_distance(const E& a, const E& b) {
  float e = 0;
  for (unsigned c = 0; c < bspline_element<E>::components; ++c) {
    const float d = bspline_element<E>::data(a)[c] - bspline_element<E>::data(b)[c];
    e += d * d;
  }
  return e;
}

// Evaluates the curve at every key parameter (float accumulation as fitted).
template <typename E>
float worst_key_error(const bspline_curve_t<E>& curve, const array_t<E>& keys) {
  const float h = 1.0f / static_cast<float>(keys.size() - 1);
  float t = 0, worst = 0;
  for (std::uint32_t k = 0; k < keys.size(); ++k) {
    E value;
    curve.evaluate(t, value);
    const float e = squared_distance(value, keys[k]);
    if (e > worst) worst = e;
    t = t + h;
  }
  return worst;
}

array_dyn_t<vec3_t> positions(std::uint32_t count, float (*f)(float)) {
  array_dyn_t<vec3_t> keys;
  for (std::uint32_t k = 0; k < count; ++k) {
    const float t = static_cast<float>(k) / static_cast<float>(count - 1);
    keys.push_back(vec3_t{{f(t), 0.5f * t, -1.0f}});
  }
  return keys;
}

void expect_clamped_and_increasing(const array_t<float>& knots) {
  ASSERT_GE(knots.size(), 8u);
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(knots[i], 0.0f);
    EXPECT_EQ(knots[knots.size() - 1 - i], 1.0f);
  }
  for (std::uint32_t i = 3; i + 4 < knots.size(); ++i) EXPECT_LT(knots[i], knots[i + 1]) << "knot " << i;
}

TEST(bspline_fit, keys_on_one_cubic_need_no_refinement) {
  const array_dyn_t<vec3_t> keys = positions(31, [](float t) { return t * t * t; });
  bspline_curve_t<vec3_t> curve;
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  EXPECT_EQ(curve.control.size(), 4u);
  EXPECT_EQ(curve.knots.size(), 8u);
  EXPECT_LE(worst_key_error(curve, keys), 1e-8f);
}

TEST(bspline_fit, four_keys_are_interpolated) {
  array_dyn_t<quat_t> keys;
  keys.push_back(quat_identity());
  keys.push_back(quat_from_axis_angle(vec3_t{{0, 1, 0}}, 0.7f));
  keys.push_back(quat_from_axis_angle(vec3_t{{1, 1, 0}}, -0.4f));
  keys.push_back(quat_from_axis_angle(vec3_t{{0, 0, 1}}, 2.0f));
  bspline_curve_t<quat_t> curve;
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  EXPECT_EQ(curve.control.size(), 4u);
  EXPECT_EQ(curve.knots.size(), 8u);
  EXPECT_LE(worst_key_error(curve, keys), tol_float * tol_float);
}

TEST(bspline_fit, curve_starts_and_ends_exactly_on_the_end_keys) {
  std::mt19937 engine(50);
  const bone_channel_t channel = sample::smooth_channel(engine, 61, 2.0f);
  array_dyn_t<mat3_t> keys;
  for (const bone_t& b : channel) keys.push_back(b.stretch);
  bspline_curve_t<mat3_t> curve;
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  mat3_t start, end;
  curve.evaluate(0.0f, start);
  curve.evaluate(1.0f, end);
  EXPECT_EQ(std::memcmp(&start, &keys[0], sizeof(mat3_t)), 0);
  EXPECT_EQ(std::memcmp(&end, &keys[keys.size() - 1], sizeof(mat3_t)), 0);
}

TEST(bspline_fit, each_refinement_adds_one_knot_and_one_control_point) {
  // A sharp bump needs several refinements; the knot count tells how many.
  const array_dyn_t<vec3_t> keys = positions(41, [](float t) { return 1.0f / (1.0f + 400.0f * (t - 0.3f) * (t - 0.3f)); });
  bspline_curve_t<vec3_t> curve;
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  EXPECT_GT(curve.control.size(), 4u);
  EXPECT_LE(curve.control.size(), keys.size());
  if (curve.control.size() < keys.size()) {
    EXPECT_EQ(curve.knots.size(), curve.control.size() + 4);
  }
  expect_clamped_and_increasing(curve.knots);
  EXPECT_LE(worst_key_error(curve, keys), bspline_fit_tolerance);
}

TEST(bspline_fit, noise_exhausts_the_control_points_with_one_extra_knot_at_most) {
  random_source_t rnd(51);
  array_dyn_t<vec3_t> keys;
  for (int k = 0; k < 12; ++k) keys.push_back(rnd.vec3(-5, 5));
  bspline_curve_t<vec3_t> curve;
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  EXPECT_EQ(curve.control.size(), keys.size());
  EXPECT_GE(curve.knots.size(), curve.control.size() + 4);
  EXPECT_LE(curve.knots.size(), curve.control.size() + 5);
  expect_clamped_and_increasing(curve.knots);
}

TEST(bspline_fit, the_same_keys_give_the_same_curve_bit_for_bit) {
  std::mt19937 engine(52);
  const bone_channel_t channel = sample::smooth_channel(engine, 121, 4.0f);
  array_dyn_t<vec3_t> keys;
  for (const bone_t& b : channel) keys.push_back(b.position);
  bspline_curve_t<vec3_t> first, second;
  bspline_fit_scratch_t scratch, fresh;
  bspline_fit(first, keys, scratch);
  bspline_fit(second, keys, scratch);  // reused scratch
  bspline_fit(first, keys, fresh);     // refit into a used curve
  ASSERT_EQ(first.control.size(), second.control.size());
  ASSERT_EQ(first.knots.size(), second.knots.size());
  EXPECT_EQ(std::memcmp(first.control.data(), second.control.data(), first.control.size() * sizeof(vec3_t)), 0);
  EXPECT_EQ(std::memcmp(first.knots.data(), second.knots.data(), first.knots.size() * sizeof(float)), 0);
}

// One to three keys: four control points through every key.
class bspline_fit_few_keys : public ::testing::TestWithParam<int> {};

TEST_P(bspline_fit_few_keys, pass_through_every_key) {
  const int count = GetParam();
  array_dyn_t<vec3_t> keys;
  keys.push_back(vec3_t{{1, 2, 3}});
  if (count > 1) keys.push_back(vec3_t{{-4, 0.5f, 8}});
  if (count > 2) keys.push_back(vec3_t{{2, 2, -6}});
  bspline_curve_t<vec3_t> curve;
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  EXPECT_EQ(curve.control.size(), 4u);
  EXPECT_EQ(curve.knots.size(), 8u);
  expect_clamped_and_increasing(curve.knots);
  for (int k = 0; k < count; ++k) {
    vec3_t value;
    curve.evaluate(count == 1 ? 0.5f : static_cast<float>(k) / static_cast<float>(count - 1), value);
    keln::test::expect_vec3_near(value, keys[k], tol_float);
  }
  vec3_t start;
  curve.evaluate(0.0f, start);
  EXPECT_EQ(std::memcmp(&start, &keys[0], sizeof(vec3_t)), 0);
}

INSTANTIATE_TEST_SUITE_P(counts, bspline_fit_few_keys, ::testing::Values(1, 2, 3));

TEST(bspline_fit, no_key_leaves_an_empty_curve) {
  array_dyn_t<vec3_t> keys;
  bspline_curve_t<vec3_t> curve;
  curve.control.resize(4);
  bspline_fit_scratch_t scratch;
  bspline_fit(curve, keys, scratch);
  EXPECT_EQ(curve.control.size(), 0u);
  EXPECT_EQ(curve.knots.size(), 0u);
}

// Property over many random smooth motions: every key close to the curve,
// knots clamped with strictly increasing interior, never more control
// points than keys. A key alone in its knot span may stay missed (the span
// is not split into one without keys), on smooth keys by little more than
// the tolerance.
constexpr float lone_key_error = 4.0f * bspline_fit_tolerance;

TEST(bspline_fit, random_smooth_channels_meet_every_key_closely) {
  std::mt19937 engine(53);
  bspline_fit_scratch_t scratch;
  for (int n = 0; n < 40; ++n) {
    const std::uint32_t key_count = 4 + engine() % 120;
    const bone_channel_t channel = sample::smooth_channel(engine, key_count, 1.0f);
    array_dyn_t<vec3_t> p;
    array_dyn_t<quat_t> r;
    array_dyn_t<mat3_t> s;
    for (const bone_t& b : channel) {
      p.push_back(b.position);
      r.push_back(b.rotation);
      s.push_back(b.stretch);
    }
    bspline_curve_t<vec3_t> cp;
    bspline_curve_t<quat_t> cr;
    bspline_curve_t<mat3_t> cs;
    bspline_fit(cp, p, scratch);
    bspline_fit(cr, r, scratch);
    bspline_fit(cs, s, scratch);
    SCOPED_TRACE(testing::Message() << "motion " << n << ", " << key_count << " keys");
    EXPECT_LE(worst_key_error(cp, p), lone_key_error);
    EXPECT_LE(worst_key_error(cr, r), lone_key_error);
    EXPECT_LE(worst_key_error(cs, s), lone_key_error);
    for (const array_t<float>* knots : {&cp.knots, &cr.knots, &cs.knots}) expect_clamped_and_increasing(*knots);
    EXPECT_LE(cp.control.size(), key_count);
    EXPECT_LE(cr.control.size(), key_count);
    EXPECT_LE(cs.control.size(), key_count);
  }
}

}  // namespace
}  // namespace keln::velm
