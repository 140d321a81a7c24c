#include "velm/bspline_fit.h"

#include <cstring>
#include <random>
#include <vector>

#include "velm_fixture.h"

namespace keln::velm {
namespace {

// Keys at t = 0 .. 1: (f(t), t / 2, -1).
std::vector<vec3_t> keys_of(std::uint32_t count, float (*f)(float)) {
  std::vector<vec3_t> keys;
  for (std::uint32_t k = 0; k < count; ++k) {
    const float t = static_cast<float>(k) / static_cast<float>(count - 1);
    keys.push_back(vec3_t{{f(t), 0.5f * t, -1.0f}});
  }
  return keys;
}

// Every fit is clamped on [0, 1] with strictly increasing interior knots,
// starts and ends exactly on the end keys and meets the keys within the
// error (the worst squared distance at the key parameters, accumulated in
// float as the fitting does). Up to four keys or keys on one cubic need one
// span; each refinement adds one knot and one control point; noise exhausts
// the control points with one extra knot at most.
TEST(bspline_fit, curves_are_well_formed_and_meet_their_keys) {
  std::mt19937 engine(51);
  std::uniform_real_distribution<float> value(-5, 5);
  std::vector<vec3_t> noise;
  for (int k = 0; k < 12; ++k) noise.push_back(vec3_t{{value(engine), value(engine), value(engine)}});
  const float one_span = keln::test::tol_float * keln::test::tol_float;
  const std::vector<vec3_t> points = {{{1, 2, 3}}, {{-4, 0.5f, 8}}, {{2, 2, -6}}, {{0, 1, 7}}};
  const struct {
    std::vector<vec3_t> keys;
    std::uint32_t min_control, max_control, extra_knots;  // knots beyond control points + 4
    float error;
  } rows[] = {{{points[0]}, 4, 4, 0, INFINITY},
              {{points[0], points[1]}, 4, 4, 0, one_span},
              {{points[0], points[1], points[2]}, 4, 4, 0, one_span},
              {points, 4, 4, 0, one_span},
              {keys_of(31, [](float t) { return t * t * t; }), 4, 4, 0, keln::test::tol_chain * keln::test::tol_chain},
              {keys_of(41, [](float t) { return 1.0f / (1.0f + 400.0f * (t - 0.3f) * (t - 0.3f)); }), 5, 40, 0,
               bspline_fit_tolerance},
              {noise, 12, 12, 1, INFINITY}};
  for (const auto& row : rows) {
    array_dyn_t<vec3_t> keys;
    for (const vec3_t& p : row.keys) keys.push_back(p);
    SCOPED_TRACE(testing::Message() << keys.size() << " keys");
    bspline_curve_t<vec3_t> curve;
    bspline_fit_scratch_t scratch;
    bspline_fit(curve, keys, scratch);
    const array_t<float>& knots = curve.knots;
    EXPECT_GE(curve.control.size(), row.min_control);
    EXPECT_LE(curve.control.size(), row.max_control);
    ASSERT_GE(knots.size(), curve.control.size() + 4);
    EXPECT_LE(knots.size(), curve.control.size() + 4 + row.extra_knots);
    for (std::uint32_t i = 0; i < 4; ++i) {
      EXPECT_EQ(knots[i], 0.0f);
      EXPECT_EQ(knots[knots.size() - 1 - i], 1.0f);
    }
    for (std::uint32_t i = 3; i + 4 < knots.size(); ++i) EXPECT_LT(knots[i], knots[i + 1]) << "knot " << i;
    const float h = 1.0f / static_cast<float>(keys.size() - 1);
    float t = 0, worst = 0;
    for (std::uint32_t k = 0; k < keys.size(); ++k, t = t + h) {
      vec3_t p;
      curve.evaluate(k + 1 == keys.size() ? 1.0f : t, p);
      if (k == 0 || k + 1 == keys.size()) {
        EXPECT_EQ(std::memcmp(&p, &keys[k], sizeof p), 0) << "end key " << k;
      }
      const vec3_t d{{p[0] - keys[k][0], p[1] - keys[k][1], p[2] - keys[k][2]}};
      worst = std::max(worst, d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    }
    EXPECT_LE(worst, row.error);
  }
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
