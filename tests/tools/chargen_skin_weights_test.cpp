// Skin weights where limbs touch: the shipped characters are checked for
// full weighting; this checks that a limb never takes weight from a
// separate limb lying against it, while a joint shares its vertices.
#include <gtest/gtest.h>

#include <cmath>

#include "field.h"
#include "polygonise.h"
#include "skin_weights.h"
#include "../support/tolerances.h"

namespace keln::chargen {
namespace {

using test::tol_double;

// An arm (root -> upper -> lower) and a separate leg close to the lower arm.
rig_t limbs() {
  rig_t rig;
  rig.add_bone("root", "", {0, 0, 0});
  rig.add_bone("upper", "root", {0, 0, 0});
  rig.add_bone("lower", "upper", {0.4, 0, 0});
  rig.add_bone("leg", "root", {0.4, -0.2, 0});
  rig.capsule("upper", {0, 0, 0}, {0.4, 0, 0}, 0.06, 0.06);
  rig.capsule("lower", {0.4, 0, 0}, {0.8, 0, 0}, 0.06, 0.06);
  rig.capsule("leg", {0.4, -0.2, 0}, {0.8, -0.2, 0}, 0.06, 0.06);
  return rig;
}

TEST(chargen_weights, joints_share_vertices_smoothly_and_touching_limbs_never_do) {
  rig_t rig = limbs();
  field_t field(rig, 0.005);
  mesh_t m = polygonise(field, 0.015);
  assign_weights(m, rig, field, 0.05, 3);
  ASSERT_EQ(m.skin.size(), m.positions.size());
  const int upper = rig.bone("upper"), lower = rig.bone("lower"), leg = rig.bone("leg");
  for (size_t v = 0; v < m.positions.size(); ++v) {
    const influences_t& s = m.skin[v];
    ASSERT_GE(s.count, 1);
    ASSERT_LE(s.count, 4);
    double sum = 0;
    bool arm = false, on_leg = false;
    for (int k = 0; k < s.count; ++k) {
      sum += s.weight[k];
      arm = arm || s.bone[k] == upper || s.bone[k] == lower;
      on_leg = on_leg || s.bone[k] == leg;
    }
    EXPECT_NEAR(sum, 1.0, tol_double);
    EXPECT_FALSE(arm && on_leg) << "vertex " << v;
    const dvec3& p = m.positions[v];
    const bool arm_surface = p.y > -0.1;
    if (arm_surface && std::fabs(p.x - 0.4) < 0.01) {
      EXPECT_EQ(s.count, 2);  // at the elbow: shared
    }
    if (arm_surface && p.x > 0.1 && p.x < 0.25) {
      EXPECT_EQ(s.bone[0], upper);  // mid upper arm: its own
    }
  }
}

}  // namespace
}  // namespace keln::chargen
