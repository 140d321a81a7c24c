#pragma once
// How far the processor-specific routines (fused multiply-adds, reciprocals,
// other orders of summation) may stray from the portable ones, and the
// comparison that applies it: per element (a vector, a quaternion, a
// matrix), the largest component difference against the element's largest
// component.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velm_test {

constexpr float skinned_relative_tolerance = 1e-5f;    // skinned positions and normals
constexpr float transform_relative_tolerance = 1e-6f;  // evaluated bone transforms

// count elements of n floats each, from a and from the reference b.
inline ::testing::AssertionResult near_relative(const float* a, const float* b, std::uint32_t count, unsigned n,
                                                float tolerance) {
  for (std::uint32_t e = 0; e < count; ++e) {
    float scale = 0.0f, difference = 0.0f;
    for (unsigned i = 0; i < n; ++i) {
      scale = std::max(scale, std::fabs(b[e * n + i]));
      const float d = std::fabs(a[e * n + i] - b[e * n + i]);
      difference = std::isnan(d) ? INFINITY : std::max(difference, d);
    }
    if (difference > tolerance * scale) {
      ::testing::AssertionResult failure = ::testing::AssertionFailure();
      failure << "element " << e << " is off by " << difference << " at scale " << scale << ":";
      for (unsigned i = 0; i < n; ++i) failure << " " << a[e * n + i] << "/" << b[e * n + i];
      return failure;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace velm_test
