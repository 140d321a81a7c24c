#pragma once
// Clamped cubic B-spline curves over [0, 1] whose elements are float
// vectors or matrices (vec3_t positions, quat_t rotations, mat3_t stretches),
// each component treated independently.

#include <cstdint>
#include <cstring>

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

// Four float lanes (a GCC and Clang vector type): each lane is rounded like
// a scalar float, so sums formed lane-wise equal the scalar ones bit for bit.
typedef float bspline_float4_t __attribute__((vector_size(16)));

// The lanes components j .. j + lanes - 1 of one control point.
template <unsigned lanes>
inline bspline_float4_t bspline_load(const float* c) {
  bspline_float4_t v = {0.0f, 0.0f, 0.0f, 0.0f};
  std::memcpy(&v, c, lanes * sizeof(float));
  return v;
}

// Components J .. J + 3 (at most D) of the sum of the four weighted control
// points c0 .. c3, accumulated from zero in that order; then the next four.
template <unsigned D, unsigned J>
inline void bspline_combine_lanes(const float* c0, const float* c1, const float* c2, const float* c3,
                                  const float* n, float* out) {
  constexpr unsigned lanes = D - J < 4 ? D - J : 4;
  bspline_float4_t sum = {0.0f, 0.0f, 0.0f, 0.0f};
  sum = sum + n[0] * bspline_load<lanes>(c0 + J);
  sum = sum + n[1] * bspline_load<lanes>(c1 + J);
  sum = sum + n[2] * bspline_load<lanes>(c2 + J);
  sum = sum + n[3] * bspline_load<lanes>(c3 + J);
  std::memcpy(out + J, &sum, lanes * sizeof(float));
  if constexpr (J + 4 < D) bspline_combine_lanes<D, J + 4>(c0, c1, c2, c3, n, out);
}

// Weighted sum of the four control points of a basis: components
// accumulated in float from zero in the order of the basis, every term whose
// control point index is not below control_count skipped.
template <typename E>
void bspline_combine(const bspline_basis_t& basis, const E* control, std::uint32_t control_count, E& out) {
  constexpr unsigned d = bspline_element<E>::components;
  const std::uint32_t first = basis.first;
  float* o = bspline_element<E>::data(out);
  if (first < control_count && control_count - first >= bspline_order) {
    const E* c = control + first;
    bspline_combine_lanes<d, 0>(bspline_element<E>::data(c[0]), bspline_element<E>::data(c[1]),
                                bspline_element<E>::data(c[2]), bspline_element<E>::data(c[3]), basis.n, o);
    return;
  }
  // Fewer than four terms (a curve with one knot more than usual, at its end).
  float sum[d] = {};
  for (std::uint32_t index = first; index < control_count && index - first < bspline_order; ++index) {
    const float* c = bspline_element<E>::data(control[index]);
    for (unsigned j = 0; j < d; ++j) sum[j] += basis.n[index - first] * c[j];
  }
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
    bspline_basis_t b;
    basis(t, b);
    combine(b, out);
  }

  // The two halves of evaluate, for curves that share their basis.
  void basis(float t, bspline_basis_t& out) const {
    bspline_basis(knots.data(), knots.size(), control.size(), t, m_span_hint, out);
  }
  void combine(const bspline_basis_t& b, E& out) const { bspline_combine(b, control.data(), control.size(), out); }

  // True when other has the same control point count and bit for bit the
  // same knots: both curves then have the same basis at every t.
  template <typename F>
  bool has_basis_of(const bspline_curve_t<F>& other) const {
    // Empty curves have no knot storage to compare (and memcmp takes no null).
    return control.size() == other.control.size() && knots.size() == other.knots.size() &&
           (knots.size() == 0 || std::memcmp(knots.data(), other.knots.data(), knots.size() * sizeof(float)) == 0);
  }

 private:
  mutable std::uint32_t m_span_hint = 0;
};

}  // namespace keln::velm
