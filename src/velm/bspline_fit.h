#pragma once
// Fitting a clamped cubic B-spline curve to K evenly spaced keys (key k at
// parameter t_k = t_(k-1) + h, t_0 = 0, h = 1 / (K - 1), all in float) by
// linear least squares in double precision, adding knots where a key is
// missed by more than bspline_fit_tolerance. The result depends only on the
// keys: the same keys give the same control points and knots bit for bit,
// whatever was fitted before with the same scratch and on whatever thread.
//
// Driver, for K >= 4 keys:
//   knots 0 0 0 0 1 1 1 1 and 4 control points; fit; refine;
//   while a refinement added a knot and there are fewer control points than
//   keys: one control point more; fit; refine.
// The fit solves for all control points and then sets the first and last to
// the first and last key, so the curve starts and ends exactly on them.
// Refinement finds the key with the largest squared error above the
// tolerance (the earliest of equal ones) among the keys whose knot span the
// midpoint splits into two spans that both hold keys, and inserts that
// midpoint. When the control points reach K while a knot was still added,
// the curve keeps one knot more than control points + 4.
//
// Why no span without keys: repeated halving around a key the curve cannot
// meet makes spans narrower than the key spacing, and then knots outnumber
// keys locally. The least-squares problem stays solvable (its singular
// values stay far above the guard below) but the control points there are
// held only by the smoothness of the curve, which then meets every key and
// swings between them: on real motion capture by 10 % of the figure's
// height, and, where float midpoints crowd, to control points of 1e12.
// With every span holding a key no span is narrower than half the key
// spacing. A key alone in its span may stay missed by more than the
// tolerance.
//
// Solvers. Up to bspline_dense_key_limit keys and bspline_dense_control_limit
// control points (every shipped curve) the K x P design matrix A is
// decomposed by GSL's one-sided Jacobi SVD and each component solved
// through it (O(K P²) per fit; small decompositions are kept in the scratch
// and reused by later curves with the same knots). Larger systems solve the
// normal equations AᵀA x = Aᵀb, which are banded (a row of A has at most
// four neighbouring non-zeros), by a banded Cholesky factorization
// (bspline_band_lsq_t): O(K + P) per fit, so O(K P) for a curve refined to
// P control points instead of O(K P³). The switch keeps the shipped fits
// as they were (the viewer's log and the catalog's errors unchanged) and
// stays far below the size where GSL's Jacobi decomposition goes wrong (see
// the limits below); both solves agree to 1e-6 relative where both are
// sound.
// Measured on the 22.9 s capture clip of 31 bones (Release, processor time
// of both threads, docs/performance.md): 688 keys (30 per second) 0.28 s,
// 2,752 keys (120 per second) 1.16 s, before 1,133 s and out of reach. The
// time grows about as K from 120 to 2,752 keys, but as K^1.9 along a clip
// at a fixed key rate: each refinement step refits and re-checks every key,
// and a longer clip needs proportionally more steps.
//
// A knot after which the keys no longer determine the control points is
// taken out again and the fit before it is kept; the refinement stops
// there. The dense solve tests the smallest against the largest singular
// value (bspline_min_singular_ratio); the banded one tests GSL's estimate
// of the reciprocal 1-norm condition number of AᵀA against the square of
// that ratio (the same test up to the norm's factor of at most 7 √P), and a
// Cholesky pivot that is not positive.
//
// Memory: the scratch keeps the per-key arrays, the band and the cached
// decompositions between curves; a dense fit still allocates its GSL
// matrices and vectors, and every added knot grows the curve's arrays.
//
// Fewer than 4 keys never reach the numerical library: 1 to 3 keys give 4
// control points on knots 0 0 0 0 1 1 1 1 (the polynomial of lowest degree
// through the keys, which it meets up to rounding); no key leaves the curve
// empty.

#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/auto_ptr.h"
#include "velm/bspline_band_lsq.h"
#include "velm/bspline_curve.h"

namespace keln::velm {

// Largest squared distance between a key and the fitted curve that needs no
// further knot.
constexpr float bspline_fit_tolerance = 0.0001f;

// Smallest ratio of the smallest to the largest singular value of a design
// matrix that still counts as determined by the keys. Sound fits stay above
// 1e-3; a knot crowded into a gap between keys gives about 1e-15.
constexpr double bspline_min_singular_ratio = 1e-6;

// Largest key and control point counts solved through the dense singular
// value decomposition; larger systems use the banded normal equations. Up
// to 16 control points the decompositions are shared by the curves of a
// motion (and kept in the scratch); above, the banded solve is much faster
// (a 121-key capture cut fits in 0.02 s instead of 0.6 s). Far above, from
// about 85 control points, GSL's Jacobi decomposition of these matrices
// returns without any error a U that is not orthogonal (0.5 off in UᵀU for
// 121 keys and 100 control points) and solutions off by the size of the keys.
constexpr std::uint32_t bspline_dense_key_limit = 128;  // every shipped animation
constexpr std::uint32_t bspline_dense_control_limit = 16;

// Decompositions of design matrices already met (private to the fitting).
struct bspline_svd_cache_t;

// Working storage of the fitting, kept between curves so that the per-key
// and banded arrays are sized once per curve length rather than per step.
// Holds nothing of a result: a fit gives the same curve with a fresh
// scratch as with one used before. One scratch per thread.
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
  bspline_band_lsq_t band;          // the banded solve
  array_dyn_t<float> component;     // one component of every key
  array_dyn_t<double> solution;     // one component of every control point
};

// Replaces the curve's control points and knots by the fit to keys.
template <typename E>
void bspline_fit(bspline_curve_t<E>& curve, const array_t<E>& keys, bspline_fit_scratch_t& scratch);

}  // namespace keln::velm
