#include "velm/bspline_bone_channel.h"

#include <cmath>

#include "velm/loop_time.h"

namespace keln::velm {

namespace {

// Gathers one member of every key into values and fits curve to them.
template <typename E, typename Member>
void fit_member(bspline_curve_t<E>& curve, const bone_channel_t& keys, Member member, array_dyn_t<E>& values,
                bspline_fit_scratch_t& scratch) {
  values.resize(keys.size());
  for (std::uint32_t k = 0; k < keys.size(); ++k) values.data()[k] = keys.data()[k].*member;
  bspline_fit(curve, values, scratch);
}

// Normalised looping time in [0, 1].
float curve_parameter(float time, float duration) {
  if (!(duration > 0.0f)) return 0.0f;
  const float q = time / duration;
  if (!std::isfinite(q)) return 0.0f;
  std::int64_t whole = 0;
  float u = 0.0f;
  split_loop_time(q, whole, u);
  return u;
}

}  // namespace

void bspline_bone_channel_t::fit(const bone_channel_t& keys, bspline_fit_scratch_t& scratch) {
  bone = keys.bone;
  duration = keys.duration;
  array_dyn_t<vec3_t> positions;
  fit_member(position, keys, &bone_t::position, positions, scratch);
  array_dyn_t<quat_t> rotations;
  fit_member(rotation, keys, &bone_t::rotation, rotations, scratch);
  array_dyn_t<mat3_t> stretches;
  fit_member(stretch, keys, &bone_t::stretch, stretches, scratch);
  m_stretch_shares_position = stretch.has_basis_of(position);
  m_rotation_shares_position = rotation.has_basis_of(position);
  m_rotation_shares_stretch = rotation.has_basis_of(stretch);
  for (bspline_span_cache_t& cache : m_caches) cache = bspline_span_cache_t();
}

template <typename Basis>
void bspline_bone_channel_t::evaluate(bone_t& out, Basis basis) const {
  bspline_basis_t position_basis, stretch_basis, rotation_basis;
  basis(position, 0, position_basis);
  position.combine(position_basis, out.position);
  const bspline_basis_t* sb = &position_basis;
  if (!m_stretch_shares_position) {
    basis(stretch, 1, stretch_basis);
    sb = &stretch_basis;
  }
  stretch.combine(*sb, out.stretch);
  const bspline_basis_t* rb = &position_basis;
  if (!m_rotation_shares_position) {
    rb = sb;
    if (!m_rotation_shares_stretch) {
      basis(rotation, 2, rotation_basis);
      rb = &rotation_basis;
    }
  }
  rotation.combine(*rb, out.rotation);
}

void bspline_bone_channel_t::sample(float time, bone_t& out) const {
  if (position.control.size() == 0) {
    out = bone_t();
    return;
  }
  const float u = curve_parameter(time, duration);
  if (bspline_basis_fast_available()) {
    if (evaluate_fast(u, out)) return;
    evaluate(out, [u, this](const auto& curve, unsigned cache, bspline_basis_t& b) {
      bspline_basis_fast(curve.knots.data(), curve.knots.size(), curve.control.size(), u, m_caches[cache], b);
    });
  } else {
    evaluate(out, [u](const auto& curve, unsigned, bspline_basis_t& b) { curve.basis(u, b); });
  }
}

std::size_t bspline_bone_channel_t::byte_size() const {
  const std::size_t floats = 3 * std::size_t{position.control.size()} + 4 * std::size_t{rotation.control.size()} +
                             9 * std::size_t{stretch.control.size()} + position.knots.size() +
                             rotation.knots.size() + stretch.knots.size();
  return 4 * floats;
}

}  // namespace keln::velm
