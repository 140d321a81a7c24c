// The banded normal-equation solve against GSL's dense Jacobi SVD solve: they
// agree, and crowded knots trip the guard where the dense solve is singular.
#include "velm/bspline_band_lsq.h"

#include <gtest/gtest.h>
#include <gsl/gsl_linalg.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "support/tolerances.h"
#include "velm/bspline_fit.h"

namespace keln::velm {
namespace {

// The least-squares solution of a x = b; the ratio of a's extreme singular values.
double dense_solve(const std::vector<bspline_basis_t>& basis, std::uint32_t columns, const std::vector<float>& b,
                   std::vector<double>& solution) {
  const std::uint32_t rows = basis.size();
  gsl_matrix *a = gsl_matrix_calloc(rows, columns), *v = gsl_matrix_alloc(columns, columns);
  gsl_vector *s = gsl_vector_alloc(columns), *rhs = gsl_vector_alloc(rows), *x = gsl_vector_alloc(columns);
  for (std::uint32_t k = 0; k < rows; ++k) {
    gsl_vector_set(rhs, k, b[k]);
    for (unsigned m = 0; m < bspline_order && basis[k].first + m < columns; ++m)
      gsl_matrix_set(a, k, basis[k].first + m, basis[k].n[m]);
  }
  gsl_linalg_SV_decomp_jacobi(a, v, s);
  gsl_linalg_SV_solve(a, v, s, rhs, x);
  const double ratio = gsl_vector_min(s) / gsl_vector_max(s);
  solution.assign(x->data, x->data + columns);
  for (gsl_vector* w : {s, rhs, x}) gsl_vector_free(w);
  for (gsl_matrix* w : {a, v}) gsl_matrix_free(w);
  return ratio;
}

struct band_case_t {
  const char* name;
  std::uint32_t keys, spans, crowded;  // keys evenly spaced; crowded knots halving toward 0.5
  bool determined;                     // the guard lets the solve through
};

class bspline_band_lsq : public testing::TestWithParam<band_case_t> {};

TEST_P(bspline_band_lsq, agrees_with_the_dense_solve_or_trips_the_guard) {
  const band_case_t& c = GetParam();
  std::mt19937 engine(c.keys * 31 + c.spans);
  std::uniform_real_distribution<float> value(-2.0f, 2.0f), width(0.5f, 1.5f);
  for (int trial = 0; trial < 3; ++trial) {
    std::vector<float> knots(4, 0.0f);  // clamped, interior spans of random width
    float sum = 0;
    for (std::uint32_t i = 0; i < c.spans; ++i) knots.push_back(sum += width(engine));
    for (std::uint32_t i = 4; i < knots.size(); ++i) knots[i] /= sum;
    knots.insert(knots.end(), 3, 1.0f);
    for (std::uint32_t i = 0; i < c.crowded; ++i) knots.push_back(0.5f + std::ldexp(1.0f / 64.0f, -static_cast<int>(i)));
    std::sort(knots.begin(), knots.end());
    const std::uint32_t columns = knots.size() - 4;
    std::vector<bspline_basis_t> basis(c.keys);
    std::uint32_t hint = 0;
    for (std::uint32_t k = 0; k < c.keys; ++k)
      bspline_basis(knots.data(), knots.size(), columns, static_cast<float>(k) / (c.keys - 1), hint, basis[k]);
    std::vector<float> b(c.keys);
    for (float& v : b) v = value(engine);
    std::vector<double> dense, x(columns);
    const double ratio = dense_solve(basis, columns, b, dense);
    bspline_band_lsq_t band;
    const bool solved = band.factor(basis.data(), c.keys, columns, bspline_min_singular_ratio * bspline_min_singular_ratio);
    SCOPED_TRACE(testing::Message() << c.name << " trial " << trial << ", singular ratio " << ratio << ", rcond " << band.rcond());
    EXPECT_EQ(solved, c.determined);
    EXPECT_EQ(ratio >= bspline_min_singular_ratio, c.determined);
    if (!solved) continue;
    band.solve(b.data(), x.data());
    double largest = 0.0, difference = 0.0;  // relative to the largest value of the solution
    for (std::size_t i = 0; i < x.size(); ++i) {
      largest = std::max(largest, std::fabs(dense[i]));
      difference = std::max(difference, std::fabs(dense[i] - x[i]));
    }
    EXPECT_LE(difference, keln::test::tol_exact * largest);
  }
}

INSTANTIATE_TEST_SUITE_P(systems, bspline_band_lsq,
                         testing::Values(band_case_t{"square", 12, 9, 0, true}, band_case_t{"few_knots", 200, 6, 0, true},
                                         band_case_t{"many_knots", 600, 60, 0, true},
                                         band_case_t{"knots_beside_a_gap", 200, 20, 3, true},
                                         band_case_t{"knots_crowded_in_a_gap", 200, 20, 20, false}),
                         [](const testing::TestParamInfo<band_case_t>& row) { return row.param.name; });

}  // namespace
}  // namespace keln::velm
