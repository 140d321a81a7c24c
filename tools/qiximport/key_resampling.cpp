#include "key_resampling.h"

#include <algorithm>
#include <cmath>

namespace keln::qiximport {

namespace {

// Below this the sine of the angle between two rotations is too small to
// divide by, and linear interpolation is as exact.
constexpr double slerp_linear_threshold = 1e-6;

dvec3_t to_double(const aiVector3D& v) { return dvec3_t(v.x, v.y, v.z); }
// A rotation key of zero length (which no rotation has) reads as no turn.
dquat_t to_double(const aiQuaternion& q) {
  dquat_t r(q.w, q.x, q.y, q.z);
  return r.w * r.w + r.x * r.x + r.y * r.y + r.z * r.z > 0.0 ? r.Normalize() : dquat_t();
}

dvec3_t blend(const dvec3_t& a, const dvec3_t& b, double t) { return a + (b - a) * t; }
dquat_t blend(const dquat_t& a, const dquat_t& b, double t) { return slerp(a, b, t); }

// The keys' value at ticks; fallback without keys.
template <typename Value, typename Key>
Value sample(const Key* keys, unsigned count, double ticks, const Value& fallback) {
  if (count == 0) return fallback;
  const Key* end = keys + count;
  // First key later than ticks.
  const Key* after = std::upper_bound(keys, end, ticks, [](double t, const Key& k) { return t < k.mTime; });
  if (after == keys) return to_double(keys[0].mValue);
  if (after == end) return to_double(end[-1].mValue);
  const Key& before = after[-1];
  const double span = after->mTime - before.mTime;
  const double t = span > 0.0 ? (ticks - before.mTime) / span : 0.0;
  return blend(to_double(before.mValue), to_double(after->mValue), t);
}

}  // namespace

dquat_t slerp(const dquat_t& a, dquat_t b, double t) {
  double cosine = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
  if (cosine < 0.0) {
    cosine = -cosine;
    b = dquat_t(-b.w, -b.x, -b.y, -b.z);
  }
  double from_a = 1.0 - t, from_b = t;
  const double angle = std::acos(std::min(cosine, 1.0));
  const double sine = std::sin(angle);
  if (sine > slerp_linear_threshold) {
    from_a = std::sin(from_a * angle) / sine;
    from_b = std::sin(from_b * angle) / sine;
  }
  dquat_t q(from_a * a.w + from_b * b.w, from_a * a.x + from_b * b.x, from_a * a.y + from_b * b.y,
            from_a * a.z + from_b * b.z);
  return q.Normalize();
}

dmat4_t channel_transform(const aiNodeAnim& channel, double ticks, const dmat4_t& rest) {
  dvec3_t rest_scaling, rest_position;
  dquat_t rest_rotation;
  rest.Decompose(rest_scaling, rest_rotation, rest_position);
  const dvec3_t position = sample(channel.mPositionKeys, channel.mNumPositionKeys, ticks, rest_position);
  dquat_t rotation = sample(channel.mRotationKeys, channel.mNumRotationKeys, ticks, rest_rotation);
  const dvec3_t scaling = sample(channel.mScalingKeys, channel.mNumScalingKeys, ticks, rest_scaling);
  return dmat4_t(scaling, rotation.Normalize(), position);
}

}  // namespace keln::qiximport
