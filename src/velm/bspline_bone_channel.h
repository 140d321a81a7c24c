#pragma once
// One channel of a B-spline motion: three curves fitted to the keys of a
// keyframe channel (position, rotation quaternion with its four components
// fitted independently, and the nine stretch components), evaluated at the
// normalised looping time.

#include <cstddef>
#include <cstdint>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bone.h"
#include "velm/bone_channel.h"
#include "velm/bspline_curve.h"
#include "velm/bspline_fit.h"
#include "velm/bspline_span_cache.h"

namespace keln::velm {

// The inherited array of bone_t stays empty; it is kept so that channels of
// both motion kinds share their base.
class bspline_bone_channel_t : public array_dyn_t<bone_t> {
 public:
  // Copies bone and duration and fits the three curves to the keys (in the
  // order position, rotation, stretch), then notes which curves share their
  // knots. scratch is working storage only. The curves are not to be changed
  // afterwards except by another fit (sampling relies on what fit noted).
  void fit(const bone_channel_t& keys, bspline_fit_scratch_t& scratch);

  // The transform at time: u = fmod(time / duration, 1) (each step rounded
  // to float), wrapped into [0, 1] for negative times; u = 0 when the
  // duration is zero, negative or not finite, or the quotient is not
  // finite. Evaluates position, stretch and rotation at u (the rotation is
  // not renormalised). A channel fitted to no key yields the default bone_t.
  // Curves that fit found on the same knots share one basis (the same
  // values). With the processor's basis (bspline_basis_fast_available) the
  // values agree with the portable ones up to rounding; the portable basis
  // gives them bit for bit. Not reentrant: it keeps each curve's span.
  void sample(float time, bone_t& out) const;

  // Bytes of curve data: 4 · (3, 4 and 9 floats per position, rotation and
  // stretch control point + one float per knot of each curve).
  std::size_t byte_size() const;

  std::uint32_t bone = no_bone;  // skeleton bone driven, as in the keyframe channel
  float duration = 0.0f;         // as in the keyframe channel
  bspline_curve_t<vec3_t> position;
  bspline_curve_t<quat_t> rotation;
  bspline_curve_t<mat3_t> stretch;

  // Bytes kept for the speed of sampling besides the curve data (the span
  // caches): the same for every channel.
  static constexpr std::size_t cache_byte_size() { return sizeof m_caches; }

 private:
  // The three curves at u, their bases from basis(curve, cache index, out).
  template <typename Basis>
  void evaluate(bone_t& out, Basis basis) const;
  // The processor's evaluation of the three curves at u together, their
  // bases and weighted sums in registers (bspline_bone_channel_sse.cpp);
  // false, with out untouched, where a curve has no whole cubic span at u
  // (u is 0 or 1, or the curve's end with fewer than four control points).
  bool evaluate_fast(float u, bone_t& out) const;

  // Noted by fit: curves on bit for bit the same knots as another.
  bool m_stretch_shares_position = false;
  bool m_rotation_shares_position = false;
  bool m_rotation_shares_stretch = false;
  // The processor's basis state of position, stretch and rotation.
  mutable bspline_span_cache_t m_caches[3];
};

}  // namespace keln::velm
