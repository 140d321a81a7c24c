// A motion whose refinement crowds knots into a gap between two keys: the fit
// must keep every control point determined by the keys, so that the curve
// stays near the keys between them instead of running off to 1e12.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "velm/bspline_motion.h"
#include "velm/skeletal_instance.h"
#include "velm_test_support.h"

namespace keln::velm {
namespace {

float length(const quat_t& q) { return std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]); }

TEST(bspline_crowded_knots, the_curve_stays_near_the_keys_between_them) {
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  std::unique_ptr<motion_t> knee(instance.load_motion(velm_test::document_path("kinked_knee.qia").c_str()));
  ASSERT_TRUE(knee);
  bspline_motion_t fitted(*knee);
  const bspline_bone_channel_t& channel = fitted.channels[0];
  for (const quat_t& control : channel.rotation.control) EXPECT_LT(length(control), 2.0f);

  // Sixteen samples per key interval over the loop: every key is a unit
  // quaternion, and neighbouring keys differ by less than 40 degrees, so the
  // blended curve stays close to unit length.
  const std::uint32_t samples = 16 * (knee->channels[0].size() - 1);
  for (std::uint32_t i = 0; i <= samples; ++i) {
    quat_t q;
    channel.rotation.evaluate(static_cast<float>(i) / static_cast<float>(samples), q);
    EXPECT_NEAR(length(q), 1.0f, 0.25f) << "sample " << i;
  }
}

}  // namespace
}  // namespace keln::velm
