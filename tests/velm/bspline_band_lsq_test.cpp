// The banded normal-equation solve against GSL's dense Jacobi SVD solve on
// the same B-spline design matrices, up to the control point count where
// the dense solve is sound: well-conditioned knot vectors and the knots of
// every curve fitted to the shipped animations agree to 1e-6 relative, and
// knots crowded between two keys trip the guard where the dense solve finds
// the keys no longer determine the control points.
#include "velm/bspline_band_lsq.h"

#include <gtest/gtest.h>
#include <gsl/gsl_linalg.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "velm/bspline_fit.h"
#include "velm/bspline_motion.h"
#include "velm/skeletal_instance.h"

namespace keln::velm {
namespace {

constexpr double agreement = 1e-6;  // largest difference over the largest solution value
constexpr double guard = bspline_min_singular_ratio * bspline_min_singular_ratio;

// Basis of K evenly spaced keys for the knots (P = knots - 4).
std::vector<bspline_basis_t> key_basis(const array_t<float>& knots, std::uint32_t key_count) {
  std::vector<bspline_basis_t> basis(key_count);
  std::uint32_t hint = 0;
  for (std::uint32_t k = 0; k < key_count; ++k)
    bspline_basis(knots.data(), knots.size(), knots.size() - 4, static_cast<float>(k) / (key_count - 1), hint,
                  basis[k]);
  return basis;
}

struct dense_t {
  std::vector<double> x;
  double singular_ratio = 0.0;
};

dense_t dense_solve(const std::vector<bspline_basis_t>& basis, std::uint32_t columns, const std::vector<float>& b) {
  const std::uint32_t rows = basis.size();
  gsl_matrix* a = gsl_matrix_calloc(rows, columns);
  for (std::uint32_t k = 0; k < rows; ++k)
    for (unsigned m = 0; m < bspline_order && basis[k].first + m < columns; ++m)
      gsl_matrix_set(a, k, basis[k].first + m, basis[k].n[m]);
  gsl_matrix* v = gsl_matrix_alloc(columns, columns);
  gsl_vector* s = gsl_vector_alloc(columns);
  gsl_vector* rhs = gsl_vector_alloc(rows);
  gsl_vector* x = gsl_vector_alloc(columns);
  gsl_linalg_SV_decomp_jacobi(a, v, s);
  for (std::uint32_t k = 0; k < rows; ++k) gsl_vector_set(rhs, k, b[k]);
  gsl_linalg_SV_solve(a, v, s, rhs, x);
  dense_t out;
  out.singular_ratio = gsl_vector_min(s) / gsl_vector_max(s);
  for (std::uint32_t i = 0; i < columns; ++i) out.x.push_back(gsl_vector_get(x, i));
  for (gsl_vector* w : {s, rhs, x}) gsl_vector_free(w);
  gsl_matrix_free(v);
  gsl_matrix_free(a);
  return out;
}

// Clamped knots with `spans` interior spans of random width, the first
// `crowded` of the interior knots after `gap` halving toward it.
array_dyn_t<float> random_knots(std::mt19937& engine, std::uint32_t spans, std::uint32_t crowded, float gap) {
  std::uniform_real_distribution<float> width(0.5f, 1.5f);
  std::vector<float> interior(spans - 1);
  float sum = width(engine);
  for (float& knot : interior) knot = (sum += width(engine));
  sum += width(engine);
  array_dyn_t<float> knots;
  for (int i = 0; i < 4; ++i) knots.push_back(0.0f);
  for (float knot : interior) knots.push_back(knot / sum);
  for (std::uint32_t i = 0; i < crowded; ++i) knots.push_back(gap + std::ldexp(1.0f / 64.0f, -static_cast<int>(i)));
  for (int i = 0; i < 4; ++i) knots.push_back(1.0f);
  std::sort(knots.data(), knots.data() + knots.size());
  return knots;
}

// The banded solution for b against the dense one, relative to its largest value.
void expect_agreement(bspline_band_lsq_t& band, const std::vector<float>& b, const std::vector<double>& dense) {
  std::vector<double> x(dense.size());
  band.solve(b.data(), x.data());
  double largest = 0.0, difference = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    largest = std::max(largest, std::fabs(dense[i]));
    difference = std::max(difference, std::fabs(dense[i] - x[i]));
  }
  EXPECT_LE(difference, agreement * largest);
}

struct band_case_t {
  const char* name;
  std::uint32_t keys, spans, crowded;
  bool determined;  // the guard lets the solve through
};

class bspline_band_lsq : public testing::TestWithParam<band_case_t> {};

TEST_P(bspline_band_lsq, agrees_with_the_dense_solve_or_trips_the_guard) {
  const band_case_t& c = GetParam();
  std::mt19937 engine(c.keys * 31 + c.spans);
  std::uniform_real_distribution<float> value(-2.0f, 2.0f);
  for (int trial = 0; trial < 5; ++trial) {
    const array_dyn_t<float> knots = random_knots(engine, c.spans, c.crowded, 0.5f);
    const std::uint32_t columns = knots.size() - 4;
    const std::vector<bspline_basis_t> basis = key_basis(knots, c.keys);
    std::vector<float> b(c.keys);
    for (float& v : b) v = value(engine);
    const dense_t dense = dense_solve(basis, columns, b);
    bspline_band_lsq_t band;
    const bool solved = band.factor(basis.data(), c.keys, columns, guard);
    SCOPED_TRACE(testing::Message() << c.name << " trial " << trial << ", singular ratio " << dense.singular_ratio
                                    << ", rcond " << band.rcond());
    EXPECT_EQ(solved, c.determined);
    EXPECT_EQ(dense.singular_ratio >= bspline_min_singular_ratio, c.determined);
    if (solved) expect_agreement(band, b, dense.x);
  }
}

INSTANTIATE_TEST_SUITE_P(systems, bspline_band_lsq,
                         testing::Values(band_case_t{"square", 12, 9, 0, true},
                                         band_case_t{"few_knots", 200, 6, 0, true},
                                         band_case_t{"many_knots", 600, 60, 0, true},
                                         band_case_t{"knots_beside_a_gap", 200, 20, 3, true},
                                         band_case_t{"knots_crowded_in_a_gap", 200, 20, 20, false}),
                         [](const testing::TestParamInfo<band_case_t>& row) { return row.param.name; });

// Both solves of every component of a fitted curve's keys on its final knots.
template <typename E>
void expect_both_solves_agree(const bspline_curve_t<E>& curve, const array_t<E>& keys) {
  const std::uint32_t columns = curve.control.size();
  if (curve.knots.size() != columns + 4 || keys.size() < columns) return;  // not a least-squares fit
  const std::vector<bspline_basis_t> basis = key_basis(curve.knots, keys.size());
  bspline_band_lsq_t band;
  ASSERT_TRUE(band.factor(basis.data(), keys.size(), columns, guard));
  for (unsigned c = 0; c < bspline_element<E>::components; ++c) {
    std::vector<float> b;
    for (const E& key : keys) b.push_back(bspline_element<E>::data(key)[c]);
    expect_agreement(band, b, dense_solve(basis, columns, b).x);
  }
}

TEST(bspline_band_lsq, agrees_with_the_dense_solve_on_every_shipped_curve) {
  namespace fs = std::filesystem;
  for (const fs::directory_entry& character : fs::directory_iterator(VELM_DATA_DIR)) {
    std::vector<fs::path> skeletons, animations;
    for (const fs::directory_entry& file : fs::directory_iterator(character.path()))
      (file.path().extension() == ".qis" ? skeletons : animations).push_back(file.path());
    if (skeletons.size() != 1) continue;
    skeletal_instance_t instance(skeletons[0].c_str());
    for (const fs::path& path : animations) {
      if (path.extension() != ".qia") continue;
      std::unique_ptr<motion_t> motion(instance.load_motion(path.c_str()));
      ASSERT_TRUE(motion);
      const bspline_motion_t fitted(*motion);
      for (std::uint32_t i = 0; i < motion->channels.size(); ++i) {
        SCOPED_TRACE(testing::Message() << path << ", channel " << i);
        array_dyn_t<vec3_t> positions;
        array_dyn_t<quat_t> rotations;
        array_dyn_t<mat3_t> stretches;
        for (const bone_t& key : motion->channels[i]) {
          positions.push_back(key.position);
          rotations.push_back(key.rotation);
          stretches.push_back(key.stretch);
        }
        expect_both_solves_agree(fitted.channels[i].position, positions);
        expect_both_solves_agree(fitted.channels[i].rotation, rotations);
        expect_both_solves_agree(fitted.channels[i].stretch, stretches);
      }
    }
  }
}

}  // namespace
}  // namespace keln::velm
