#include "velm/bspline_band_lsq.h"

#include <algorithm>
#include <cmath>

#include <gsl/gsl_linalg.h>

namespace keln::velm {

bool bspline_band_lsq_t::factor(const bspline_basis_t* basis, std::uint32_t key_count, std::uint32_t control_count,
                                double min_rcond) {
  m_basis = basis;
  m_keys = key_count;
  m_columns = control_count;
  m_rcond = 0.0;
  m_band.resize(control_count * width);
  double* band = m_band.data();
  std::fill(band, band + m_band.size(), 0.0);
  // N(f+b, f+a) = sum over keys of n[a] n[b], stored in row f+a at offset b-a.
  for (std::uint32_t k = 0; k < key_count; ++k) {
    const std::uint32_t first = basis[k].first;
    const float* n = basis[k].n;
    for (unsigned a = 0; a < width && first + a < control_count; ++a)
      for (unsigned b = a; b < width && first + b < control_count; ++b)
        band[(first + a) * width + (b - a)] += static_cast<double>(n[a]) * n[b];
  }

  double norm = 0.0;  // 1-norm: largest column sum of |N|
  for (std::uint32_t j = 0; j < control_count; ++j) {
    double sum = 0.0;
    for (unsigned o = 0; o < width; ++o) sum += std::fabs(band[j * width + o]);
    for (unsigned o = 1; o < width && o <= j; ++o) sum += std::fabs(band[(j - o) * width + o]);
    norm = std::max(norm, sum);
  }

  // Column by column: L(j,j) = sqrt(N(j,j) - sum L(j,k)²), then
  // L(i,j) = (N(i,j) - sum L(i,k) L(j,k)) / L(j,j) for the three rows below,
  // k running over the earlier columns inside the band.
  for (std::uint32_t j = 0; j < control_count; ++j) {
    double* column = band + j * width;
    for (unsigned o = 0; o < width && j + o < control_count; ++o) {
      const std::uint32_t i = j + o;
      double sum = column[o];
      for (std::uint32_t k = i >= width - 1 ? i - (width - 1) : 0; k < j; ++k)
        sum -= band[k * width + (i - k)] * band[k * width + (j - k)];
      if (o == 0) {
        if (!(sum > 0.0)) return false;
        column[0] = std::sqrt(sum);
      } else {
        column[o] = sum / column[0];
      }
    }
  }
  band[(control_count - 1) * width + width - 1] = norm;  // where GSL's estimate reads it

  m_work.resize(3 * control_count);
  gsl_matrix_view factor_view = gsl_matrix_view_array(band, control_count, width);
  gsl_vector_view work_view = gsl_vector_view_array(m_work.data(), m_work.size());
  gsl_linalg_cholesky_band_rcond(&factor_view.matrix, &m_rcond, &work_view.vector);
  return m_rcond >= min_rcond;
}

void bspline_band_lsq_t::solve(const float* values, double* x) {
  const double* band = m_band.data();
  const std::uint32_t count = m_columns;
  // Aᵀb, summed key by key.
  std::fill(x, x + count, 0.0);
  for (std::uint32_t k = 0; k < m_keys; ++k) {
    const double v = values[k];
    const std::uint32_t first = m_basis[k].first;
    for (unsigned a = 0; a < width && first + a < count; ++a) x[first + a] += m_basis[k].n[a] * v;
  }
  // L y = Aᵀb, then Lᵀ x = y, in place.
  for (std::uint32_t i = 0; i < count; ++i) {
    double sum = x[i];
    for (std::uint32_t k = i >= width - 1 ? i - (width - 1) : 0; k < i; ++k) sum -= band[k * width + (i - k)] * x[k];
    x[i] = sum / band[i * width];
  }
  for (std::uint32_t i = count; i-- > 0;) {
    double sum = x[i];
    for (std::uint32_t k = i + 1; k < count && k < i + width; ++k) sum -= band[i * width + (k - i)] * x[k];
    x[i] = sum / band[i * width];
  }
}

}  // namespace keln::velm
