#pragma once
// Clamped cubic B-spline curves over [0, 1] whose elements are float
// vectors or matrices (vec3_t positions, quat_t rotations, mat3_t stretches),
// each component treated independently.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat_sq.h"
#include "kelncore/math/vec.h"
#include "velm/bspline_basis.h"

namespace keln::velm {

// Flat access to the float components of a curve element.
template <typename E>
struct bspline_element;

template <unsigned N>
struct bspline_element<vec_t<float, N>> {
  static constexpr unsigned components = N;
  static float* data(vec_t<float, N>& e) { return e.c; }
  static const float* data(const vec_t<float, N>& e) { return e.c; }
};

template <unsigned N>
struct bspline_element<mat_sq_t<float, N>> {
  static constexpr unsigned components = N * N;
  static float* data(mat_sq_t<float, N>& e) { return e.m; }
  static const float* data(const mat_sq_t<float, N>& e) { return e.m; }
};

// Weighted sum of the four control points of a basis: components
// accumulated in float from zero in the order of the basis, every term whose
// control point index is not below control_count skipped.
template <typename E>
void bspline_combine(const bspline_basis_t& basis, const E* control, std::uint32_t control_count, E& out) {
  constexpr unsigned d = bspline_element<E>::components;
  float sum[d] = {};
  for (unsigned m = 0; m < bspline_order; ++m) {
    const std::uint32_t index = basis.first + m;
    if (index >= control_count) break;
    const float* c = bspline_element<E>::data(control[index]);
    for (unsigned j = 0; j < d; ++j) sum[j] += basis.n[m] * c[j];
  }
  float* o = bspline_element<E>::data(out);
  for (unsigned j = 0; j < d; ++j) o[j] = sum[j];
}

template <typename E>
struct bspline_curve_t {
  // After fitting: at least 4 control points, and as many knots as control
  // points plus 4 (plus 5 when the fit ran out of control points while
  // still refining). An empty curve has neither.
  array_dyn_t<E> control;
  array_dyn_t<float> knots;  // clamped, non-decreasing, interior knots strictly increasing

  // Value at t (t <= 0 gives the first control point, t >= 1 the last).
  // Needs at least 4 control points. Not reentrant: it remembers the last
  // knot span to find the next one quickly (the value never depends on it).
  void evaluate(float t, E& out) const {
    bspline_basis_t basis;
    bspline_basis(knots.data(), knots.size(), control.size(), t, m_span_hint, basis);
    bspline_combine(basis, control.data(), control.size(), out);
  }

 private:
  mutable std::uint32_t m_span_hint = 0;
};

}  // namespace keln::velm
