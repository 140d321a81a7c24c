#pragma once
// Clamped cubic B-spline basis on the parameter interval [0, 1]. A knot
// vector of n knots begins with four knots 0, ends with four knots 1 and is
// non-decreasing; a curve on it has (normally) n - 4 control points. All
// arithmetic is float, rounded at every step, so fitting and playback give
// the same numbers on every run.

#include <cstdint>

namespace keln::velm {

constexpr unsigned bspline_order = 4;  // degree 3: four non-zero basis functions

// The four non-zero basis values at a parameter and the index of the first
// control point they weigh.
struct bspline_basis_t {
  std::uint32_t first = 0;
  float n[bspline_order] = {1.0f, 0.0f, 0.0f, 0.0f};
};

// Knot span of t among count knots: count - 4 when count <= 7; otherwise
// i - 1 for the first i in 4 .. count - 4 with t < knots[i], and count - 4
// when there is none (so also for t >= 1 and for NaN).
//
// hint: a span found earlier for this knot vector (any value is accepted).
// The scan starts after it when t is at or beyond that span's left knot, so
// playing forward costs one comparison or two; the result never depends on
// the hint.
std::uint32_t bspline_knot_span(const float* knots, std::uint32_t count, float t, std::uint32_t hint = 0);

// Basis at t for control_count control points (at least 4):
//   t <= 0, or fewer than 8 knots: first 0, values (1, 0, 0, 0);
//   t >= 1: first control_count - 4, values (0, 0, 0, 1);
//   otherwise the Cox-de Boor recursion of degree 3 on span s (first s - 3),
//   every ratio and every value rounded to float.
// span_hint is the hint of bspline_knot_span and receives the span used.
void bspline_basis(const float* knots, std::uint32_t count, std::uint32_t control_count, float t,
                   std::uint32_t& span_hint, bspline_basis_t& out);

}  // namespace keln::velm
