#pragma once
// The processor's evaluation of the cubic B-spline basis (bspline_basis.h):
// the divisions of the recursion replaced by products with reciprocals of
// the knot differences, kept per knot span when the span is entered, and the
// three levels of the recursion run on four float lanes at once. The values
// equal bspline_basis's up to rounding (a few units in the last place):
// each right ratio is formed as 1 minus the left ratio of the same
// difference, and each ratio as a difference times a reciprocal.

#include <cstdint>

#include "velm/bspline_basis.h"

namespace keln::velm {

// The reciprocals of the span last entered for one knot vector, 48 bytes
// (read without alignment requirements, so that containers of any alignment
// may hold it).
// It belongs to one evaluating object and holds no state of the curve
// itself: it is refilled whenever the knot vector's address or count
// changes, or t leaves the span. Knots changed in place under an unchanged
// address and count are not noticed.
struct bspline_span_cache_t {
  // Lanes (1 / (k1 - k0), 0, 1 / (k1 - k-1), 1 / (k2 - k0)) and
  // (0, 1 / (k1 - k-2), 1 / (k2 - k-1), 1 / (k3 - k0)), kj = knots[span + j].
  alignas(16) float levels12[4] = {};
  alignas(16) float level3[4] = {};
  const float* knots = nullptr;  // the knot vector they belong to; none yet
  std::uint32_t count = 0;
  std::uint32_t span = 0;
};

// Whether bspline_basis_fast runs the processor's version: the start-up found
// SSE2 (cpu_features), in builds that generate SSE2 code. Without it
// bspline_basis_fast is bspline_basis.
bool bspline_basis_fast_available();

// The basis at t as bspline_basis gives it (the same cases: t <= 0 or fewer
// than 8 knots, t >= 1, the span's recursion), the span's recursion up to
// rounding. Runs only where bspline_basis_fast_available() holds.
void bspline_basis_fast(const float* knots, std::uint32_t count, std::uint32_t control_count, float t,
                        bspline_span_cache_t& cache, bspline_basis_t& out);

}  // namespace keln::velm
