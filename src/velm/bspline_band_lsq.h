#pragma once
// Least squares for a cubic B-spline curve through its banded normal
// equations: with the basis of every key (at most four non-zero values in
// consecutive columns), N = AᵀA is symmetric with three sub-diagonals and is
// factored N = L Lᵀ by a banded Cholesky factorization, so assembling,
// factoring and solving cost O(keys + control points) instead of the dense
// O(keys · control points²).
//
// All sums are formed in a fixed order (keys ascending, then columns), so
// the result depends only on the basis and the keys. The factor keeps the
// layout of GSL's banded Cholesky (row i: L(i,i), L(i+1,i), L(i+2,i),
// L(i+3,i); the 1-norm of N in the unused last slot), so that GSL estimates
// its condition.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bspline_basis.h"

namespace keln::velm {

class bspline_band_lsq_t {
 public:
  // Forms N from basis[0 .. key_count) for control_count (>= 4) columns and
  // factors it. False when N is not numerically positive definite or its
  // estimated reciprocal 1-norm condition number is below min_rcond; the
  // solve is then not to be used.
  bool factor(const bspline_basis_t* basis, std::uint32_t key_count, std::uint32_t control_count,
              double min_rcond);

  // The least-squares solution x (control_count values) of A x = b for the
  // right-hand side b = values[0 .. key_count), with the basis and sizes of
  // the last successful factor.
  void solve(const float* values, double* x);

  // Reciprocal 1-norm condition number of N estimated by GSL for the last
  // factor (0 when the factorization itself failed).
  double rcond() const { return m_rcond; }

 private:
  static constexpr unsigned width = bspline_order;  // diagonal and three sub-diagonals

  const bspline_basis_t* m_basis = nullptr;
  std::uint32_t m_keys = 0;
  std::uint32_t m_columns = 0;
  double m_rcond = 0.0;
  array_dyn_t<double> m_band;  // m_columns x width, row-major, GSL's banded layout
  array_dyn_t<double> m_work;  // 3 · m_columns, for the estimate
};

}  // namespace keln::velm
