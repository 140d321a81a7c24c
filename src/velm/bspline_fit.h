#pragma once
// Fitting a clamped cubic B-spline curve to K evenly spaced keys (key k at
// parameter t_k = t_(k-1) + h, t_0 = 0, h = 1 / (K - 1), all in float) by
// linear least squares through a singular value decomposition (GSL, double
// precision), adding knots where a key is missed by more than
// bspline_fit_tolerance. The result depends only on the keys: the same keys
// give the same control points and knots bit for bit.
//
// Driver, for K >= 4 keys:
//   knots 0 0 0 0 1 1 1 1 and 4 control points; fit; refine;
//   while a refinement added a knot and there are fewer control points than
//   keys: one control point more; fit; refine.
// The fit solves for all control points and then sets the first and last to
// the first and last key, so the curve starts and ends exactly on them.
// Refinement finds the key with the largest squared error above the
// tolerance (the earliest of equal ones) and inserts the midpoint of its knot
// span. When the control points reach K while a knot was still added, the
// curve keeps one knot more than control points + 4.
//
// A knot after which the keys no longer determine the control points (the
// design matrix is numerically singular: knots crowded into a gap between
// two keys) is taken out again and the fit before it is kept; the refinement
// stops there.
//
// Fewer than 4 keys never reach the numerical library: 1 to 3 keys give 4
// control points on knots 0 0 0 0 1 1 1 1 (the polynomial of lowest degree
// through the keys, which it meets up to rounding); no key leaves the curve
// empty.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/auto_ptr.h"
#include "velm/bspline_curve.h"

namespace keln::velm {

// Largest squared distance between a key and the fitted curve that needs no
// further knot.
constexpr float bspline_fit_tolerance = 0.0001f;

// Smallest ratio of the smallest to the largest singular value of a design
// matrix that still counts as determined by the keys. Sound fits stay above
// 1e-3; a knot crowded into a gap between keys gives about 1e-15.
constexpr double bspline_min_singular_ratio = 1e-6;

// Decompositions of design matrices already met (private to the fitting).
struct bspline_svd_cache_t;

// Working storage of the fitting, kept between curves so that fitting does
// not allocate per step. Holds nothing of a result: a fit gives the same
// curve with a fresh scratch as with one used before.
//
// It keeps the singular value decompositions of small design matrices: the
// design matrix depends only on the key count, the knots and the control
// point count, and the curves of a motion share the first fits (every curve
// starts from the same knots, and the first refinements insert the same
// midpoints), so a matrix met again is solved with the decomposition made
// the first time (the same numbers GSL would compute again).
struct bspline_fit_scratch_t {
  bspline_fit_scratch_t();
  ~bspline_fit_scratch_t();
  bspline_fit_scratch_t(const bspline_fit_scratch_t&) = delete;
  bspline_fit_scratch_t& operator=(const bspline_fit_scratch_t&) = delete;

  array_dyn_t<float> parameters;       // t_k per key
  array_dyn_t<bspline_basis_t> basis;  // per key, for the current knots
  auto_ptr_t<bspline_svd_cache_t> decompositions;
};

// Replaces the curve's control points and knots by the fit to keys.
template <typename E>
void bspline_fit(bspline_curve_t<E>& curve, const array_t<E>& keys, bspline_fit_scratch_t& scratch);

}  // namespace keln::velm
