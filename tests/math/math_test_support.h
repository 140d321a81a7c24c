#pragma once
// Comparisons and random inputs shared by the math and animation tests. Quaternions compare equal up to sign (q and -q are one rotation).

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "../support/tolerances.h"
#include "kelncore/math/mat4_routines.h"
#include "kelncore/math/quat.h"

namespace keln::test {

inline void expect_vec3_near(const vec3_t& a, const vec3_t& b, float tol) {
  for (unsigned i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], tol) << "component " << i;
}

inline void expect_mat4_near(const mat4_t& a, const mat4_t& b, float tol) {
  for (unsigned i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], tol) << "component " << i;
}

inline void expect_quat_near(const quat_t& q, const quat_t& r, float tol) {
  quat_t neg = r;
  quat_negate(neg);
  const float d = std::fmin(quat_distance(q, r), quat_distance(q, neg));
  EXPECT_LE(d, tol) << "q = (" << q[0] << ", " << q[1] << ", " << q[2] << ", " << q[3] << "), expected ("
                    << r[0] << ", " << r[1] << ", " << r[2] << ", " << r[3] << ") up to sign";
}

inline float quat_length(const quat_t& q) { return std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]); }

// Deterministic random inputs.
class random_source_t {
 public:
  explicit random_source_t(unsigned seed) : m_engine(seed) {}

  float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_engine); }

  vec3_t vec3(float lo, float hi) { return vec3_t{{uniform(lo, hi), uniform(lo, hi), uniform(lo, hi)}}; }

  quat_t unit_quat() {
    for (;;) {
      quat_t q{{uniform(-1, 1), uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)}};
      const float len = quat_length(q);
      if (len > 0.1f && len <= 1.0f) {
        for (float& c : q.c) c /= len;
        return q;
      }
    }
  }

  mat4_t affine(float lo, float hi) {
    mat4_t m(1.0f);
    for (unsigned r = 0; r < 3; ++r)
      for (unsigned c = 0; c < 4; ++c) m.at(r, c) = uniform(lo, hi);
    return m;
  }

 private:
  std::mt19937 m_engine;
};

}  // namespace keln::test
