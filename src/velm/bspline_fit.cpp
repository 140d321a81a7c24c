#include "velm/bspline_fit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include <gsl/gsl_linalg.h>
#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>

namespace keln::velm {

// The decomposition A = U S Vᵀ of one design matrix, identified by what A
// is made of.
struct bspline_svd_t {
  bspline_svd_t() = default;
  bspline_svd_t(bspline_svd_t&& other) noexcept { *this = std::move(other); }
  bspline_svd_t& operator=(bspline_svd_t&& other) noexcept {
    std::swap(key_count, other.key_count);
    std::swap(control_count, other.control_count);
    knots = std::move(other.knots);
    std::swap(u, other.u);
    std::swap(v, other.v);
    std::swap(s, other.s);
    return *this;
  }
  ~bspline_svd_t() {
    if (s) gsl_vector_free(s);
    if (v) gsl_matrix_free(v);
    if (u) gsl_matrix_free(u);
  }

  std::uint32_t key_count = 0;
  std::uint32_t control_count = 0;
  array_dyn_t<float> knots;
  gsl_matrix* u = nullptr;  // key_count x control_count
  gsl_matrix* v = nullptr;  // control_count x control_count
  gsl_vector* s = nullptr;  // control_count singular values
};

struct bspline_svd_cache_t {
  // Only small systems are kept: they are the ones the curves share, and a
  // bounded number of them bounds the memory.
  static constexpr std::uint32_t max_control_count = 16;
  static constexpr std::uint32_t max_entries = 128;

  const bspline_svd_t* find(std::uint32_t key_count, std::uint32_t control_count, const array_t<float>& knots) const {
    for (const bspline_svd_t& e : entries)
      if (e.key_count == key_count && e.control_count == control_count && e.knots.size() == knots.size() &&
          std::memcmp(e.knots.data(), knots.data(), knots.size() * sizeof(float)) == 0)
        return &e;
    return nullptr;
  }

  array_dyn_t<bspline_svd_t> entries;
};

bspline_fit_scratch_t::bspline_fit_scratch_t() : decompositions(new bspline_svd_cache_t) {}
bspline_fit_scratch_t::~bspline_fit_scratch_t() = default;

namespace {


// t_0 = 0, t_(k+1) = t_k + h with h = 1 / (K - 1), rounded to float at each step.
void set_parameters(std::uint32_t key_count, array_t<float>& parameters) {
  parameters.resize(key_count);
  const float h = 1.0f / static_cast<float>(key_count - 1);
  float t = 0.0f;
  for (float& p : parameters) {
    p = t;
    t = t + h;
  }
}

// Basis of every key for the curve's current knots and control point count.
template <typename E>
void compute_basis(const bspline_curve_t<E>& curve, bspline_fit_scratch_t& scratch) {
  const std::uint32_t key_count = scratch.parameters.size();
  scratch.basis.resize(key_count);
  std::uint32_t span = 0;
  for (std::uint32_t k = 0; k < key_count; ++k)
    bspline_basis(curve.knots.data(), curve.knots.size(), curve.control.size(), scratch.parameters.data()[k], span,
                  scratch.basis.data()[k]);
}

// Least-squares control points through one Jacobi SVD of the dense K x P
// design matrix A (made now, or kept from an earlier fit to the same
// matrix), for each component c: A x_c = b_c. Writes control points 1 .. P-2.
// False, writing nothing, when the smallest singular value is below
// bspline_min_singular_ratio times the largest.
template <typename E>
bool dense_least_squares(bspline_curve_t<E>& curve, const array_t<E>& keys, bspline_fit_scratch_t& scratch) {
  constexpr unsigned d = bspline_element<E>::components;
  const std::uint32_t key_count = keys.size();
  const std::uint32_t control_count = curve.control.size();
  const bspline_basis_t* basis = scratch.basis.data();

  bspline_svd_cache_t& cache = *scratch.decompositions;
  const bspline_svd_t* svd = cache.find(key_count, control_count, curve.knots);
  bspline_svd_t fresh;
  if (!svd) {
    fresh.u = gsl_matrix_alloc(key_count, control_count);
    gsl_matrix_set_zero(fresh.u);
    for (std::uint32_t k = 0; k < key_count; ++k)
      for (unsigned m = 0; m < bspline_order; ++m) {
        const std::uint32_t column = basis[k].first + m;
        if (column >= control_count) break;
        gsl_matrix_set(fresh.u, k, column, basis[k].n[m]);
      }
    fresh.s = gsl_vector_alloc(control_count);
    fresh.v = gsl_matrix_alloc(control_count, control_count);
    gsl_linalg_SV_decomp_jacobi(fresh.u, fresh.v, fresh.s);  // the design matrix becomes U
    svd = &fresh;
    if (control_count <= bspline_svd_cache_t::max_control_count &&
        cache.entries.size() < bspline_svd_cache_t::max_entries) {
      fresh.key_count = key_count;
      fresh.control_count = control_count;
      fresh.knots = curve.knots;
      svd = cache.entries.push_back(std::move(fresh));
    }
  }

  double largest = 0.0, smallest = HUGE_VAL;
  for (std::uint32_t i = 0; i < control_count; ++i) {
    const double value = gsl_vector_get(svd->s, i);
    largest = std::max(largest, value);
    smallest = std::min(smallest, value);
  }
  if (!(smallest >= bspline_min_singular_ratio * largest)) return false;

  E* control = curve.control.data();
  gsl_vector* b = gsl_vector_alloc(key_count);
  gsl_vector* x = gsl_vector_alloc(control_count);
  for (unsigned c = 0; c < d; ++c) {
    for (std::uint32_t k = 0; k < key_count; ++k)
      gsl_vector_set(b, k, bspline_element<E>::data(keys.data()[k])[c]);
    gsl_linalg_SV_solve(svd->u, svd->v, svd->s, b, x);
    for (std::uint32_t i = 1; i + 1 < control_count; ++i)
      bspline_element<E>::data(control[i])[c] = static_cast<float>(gsl_vector_get(x, i));
  }
  gsl_vector_free(x);
  gsl_vector_free(b);
  return true;
}

// The same through the banded normal equations; false, writing nothing,
// when their estimated reciprocal condition number is below the square of
// bspline_min_singular_ratio.
template <typename E>
bool banded_least_squares(bspline_curve_t<E>& curve, const array_t<E>& keys, bspline_fit_scratch_t& scratch) {
  constexpr unsigned d = bspline_element<E>::components;
  const std::uint32_t control_count = curve.control.size();
  if (!scratch.band.factor(scratch.basis.data(), keys.size(), control_count,
                           bspline_min_singular_ratio * bspline_min_singular_ratio))
    return false;
  scratch.solution.resize(control_count);
  scratch.component.resize(keys.size());
  double* x = scratch.solution.data();
  float* b = scratch.component.data();
  for (unsigned c = 0; c < d; ++c) {
    for (std::uint32_t k = 0; k < keys.size(); ++k) b[k] = bspline_element<E>::data(keys.data()[k])[c];
    scratch.band.solve(b, x);
    for (std::uint32_t i = 1; i + 1 < control_count; ++i)
      bspline_element<E>::data(curve.control[i])[c] = static_cast<float>(x[i]);
  }
  return true;
}

// Least-squares control points for the current knots and control point
// count, the dense solve up to bspline_dense_key_limit keys and
// bspline_dense_control_limit control points and the banded one beyond;
// then the end control points are set to the end keys.
//
// Returns false, leaving the control points as they were, when the keys do
// not determine the control points (the design matrix is numerically
// singular): solving anyway would give control points of 1e12 and a curve
// that meets the keys but runs wild between them.
template <typename E>
bool least_squares(bspline_curve_t<E>& curve, const array_t<E>& keys, bspline_fit_scratch_t& scratch) {
  compute_basis(curve, scratch);
  const bool dense = keys.size() <= bspline_dense_key_limit && curve.control.size() <= bspline_dense_control_limit;
  const bool solved = dense ? dense_least_squares(curve, keys, scratch) : banded_least_squares(curve, keys, scratch);
  if (!solved) return false;
  curve.control[0] = keys.data()[0];
  curve.control[curve.control.size() - 1] = keys.data()[keys.size() - 1];
  return true;
}

// Index that no_knot_inserted stands for: refinement found every key close
// enough.
constexpr std::uint32_t no_knot_inserted = UINT32_MAX;

// True when the midpoint of knot span `span` leaves at least one key on
// each side of it among the keys of that span: the last key before the
// midpoint and the first from it on both lie in the span (the parameters
// increase, and so does the span of a parameter).
bool midpoint_splits_keys(const array_t<float>& knots, const array_t<float>& parameters, std::uint32_t span,
                          float midpoint) {
  const float* t = parameters.data();
  const std::uint32_t right = static_cast<std::uint32_t>(std::lower_bound(t, t + parameters.size(), midpoint) - t);
  return right > 0 && right < parameters.size() &&
         bspline_knot_span(knots.data(), knots.size(), t[right - 1], span) == span &&
         bspline_knot_span(knots.data(), knots.size(), t[right], span) == span;
}

// Inserts a knot at the midpoint of the knot span of the key the curve
// misses most, among the keys missed by more than the tolerance whose span
// that midpoint splits into two spans with keys (the earliest of equal
// ones), and returns the new knot's index; no_knot_inserted when there is no
// such key. Uses the basis of the last fit (the knots have not changed
// since).
//
// A span is never split into one without keys: there the keys would no
// longer pin the curve down, and it would swing far from them between two
// keys it meets (on real motion capture by 10 % of the figure's height and
// more, up to control points of 1e12 where float midpoints crowd).
template <typename E>
std::uint32_t refine(bspline_curve_t<E>& curve, const array_t<E>& keys, const bspline_fit_scratch_t& scratch) {
  constexpr unsigned d = bspline_element<E>::components;
  const std::uint32_t key_count = keys.size();
  array_t<float>& knots = curve.knots;
  float largest = 0.0f;
  std::uint32_t worst_span = UINT32_MAX;
  std::uint32_t span = 0;
  for (std::uint32_t k = 0; k < key_count; ++k) {
    E value;
    bspline_combine(scratch.basis.data()[k], curve.control.data(), curve.control.size(), value);
    const float* want = bspline_element<E>::data(keys.data()[k]);
    const float* got = bspline_element<E>::data(value);
    float e = 0.0f;
    for (unsigned c = 0; c < d; ++c) {
      const float diff = want[c] - got[c];
      e += diff * diff;
    }
    if (!(e > bspline_fit_tolerance && e > largest)) continue;
    span = bspline_knot_span(knots.data(), knots.size(), scratch.parameters.data()[k], span);
    if (!midpoint_splits_keys(knots, scratch.parameters, span, (knots[span] + knots[span + 1]) * 0.5f)) continue;
    largest = e;
    worst_span = span;
  }
  if (worst_span == UINT32_MAX) return no_knot_inserted;

  const float knot = (knots[worst_span] + knots[worst_span + 1]) * 0.5f;
  knots.grow_by(1);
  float* kv = knots.data();
  for (std::uint32_t i = knots.size() - 1; i > worst_span + 1; --i) kv[i] = kv[i - 1];
  kv[worst_span + 1] = knot;
  return worst_span + 1;
}

void set_single_span_knots(array_t<float>& knots) {
  knots.resize(2 * bspline_order);
  for (std::uint32_t i = 0; i < 2 * bspline_order; ++i) knots[i] = i < bspline_order ? 0.0f : 1.0f;
}

// 1 to 3 keys at t = 0, (0.5,) 1: the polynomial of degree K - 1 through
// them, in Bezier form, raised to degree 3 (four control points).
template <typename E>
void fit_few_keys(bspline_curve_t<E>& curve, const array_t<E>& keys) {
  constexpr unsigned d = bspline_element<E>::components;
  const std::uint32_t key_count = keys.size();
  set_single_span_knots(curve.knots);
  curve.control.resize(bspline_order);
  for (unsigned c = 0; c < d; ++c) {
    float q[bspline_order] = {};
    for (std::uint32_t k = 0; k < key_count; ++k) q[k] = bspline_element<E>::data(keys.data()[k])[c];
    // Quadratic through three keys: its middle Bezier point.
    if (key_count == 3) q[1] = 2.0f * q[1] - 0.5f * (q[0] + q[2]);
    // Degree elevation: q'_i = i/(g+1) q_(i-1) + (1 - i/(g+1)) q_i.
    for (unsigned degree = key_count - 1; degree < 3; ++degree) {
      const float g1 = static_cast<float>(degree + 1);
      q[degree + 1] = q[degree];
      for (unsigned i = degree; i > 0; --i) q[i] = (i / g1) * q[i - 1] + (1.0f - i / g1) * q[i];
    }
    for (unsigned i = 0; i < bspline_order; ++i) bspline_element<E>::data(curve.control[i])[c] = q[i];
  }
}

}  // namespace

template <typename E>
void bspline_fit(bspline_curve_t<E>& curve, const array_t<E>& keys, bspline_fit_scratch_t& scratch) {
  const std::uint32_t key_count = keys.size();
  curve.control.clear();
  curve.knots.clear();
  if (key_count == 0) return;
  if (key_count < bspline_order) {
    fit_few_keys(curve, keys);
    return;
  }
  set_parameters(key_count, scratch.parameters);
  set_single_span_knots(curve.knots);
  curve.control.resize(bspline_order);
  least_squares(curve, keys, scratch);
  std::uint32_t inserted = refine(curve, keys, scratch);
  while (inserted != no_knot_inserted && curve.control.size() < key_count) {
    curve.control.grow_by(1);
    if (!least_squares(curve, keys, scratch)) {
      // The last knot left a control point the keys cannot determine: keep
      // the previous fit, which is as close as the keys allow there.
      curve.control.resize(curve.control.size() - 1);
      curve.knots.erase(inserted);
      return;
    }
    inserted = refine(curve, keys, scratch);
  }
}

template void bspline_fit(bspline_curve_t<vec_t<float, 3>>&, const array_t<vec_t<float, 3>>&, bspline_fit_scratch_t&);
template void bspline_fit(bspline_curve_t<vec_t<float, 4>>&, const array_t<vec_t<float, 4>>&, bspline_fit_scratch_t&);
template void bspline_fit(bspline_curve_t<mat_sq_t<float, 3>>&, const array_t<mat_sq_t<float, 3>>&,
                          bspline_fit_scratch_t&);

}  // namespace keln::velm
