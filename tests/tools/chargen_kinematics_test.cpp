// The generator's rig and kinematics where the generated characters do not
// reach: the regeneration test pins everything the characters use, byte for
// byte, so these cover malformed rigs, targets out of reach and rotations
// given with the other sign.
#include <gtest/gtest.h>

#include "clip.h"
#include "pose.h"
#include "../support/tolerances.h"

namespace keln::chargen {
namespace {

using test::tol_double;

rig_t leg() {
  rig_t rig;
  rig.add_bone("root", "", {0, 1, 0});
  rig.add_bone("thigh", "root", {0, 1, 0});
  rig.add_bone("shin", "thigh", {0, 0.5, 0});
  rig.add_bone("foot", "shin", {0, 0, 0});
  return rig;
}

TEST(chargen_rig_death, malformed_rigs_stop_the_generator) {
  rig_t rig = leg();
  EXPECT_DEATH(rig.add_bone("a_name_too_long", "root", {}), "bad or repeated bone name");
  EXPECT_DEATH(rig.add_bone("shin", "root", {}), "bad or repeated bone name");
  EXPECT_DEATH(rig.add_bone("knee", "nothing", {}), "unknown bone: nothing");
  EXPECT_DEATH(rig.add_bone("other", "", {}), "second root bone");
}

TEST(chargen_kinematics, a_target_out_of_reach_stretches_the_chain_toward_it) {
  rig_t rig = leg();
  rig_pose_t pose(rig);
  solve_two_bone(rig, pose, 1, 2, 3, {0, -5, 0}, {0, 0, 1}, {0, 0, 1});
  EXPECT_NEAR(length(globals(rig, pose)[3].position - dvec3{0, 1 - 0.999, 0}), 0.0, tol_double);
}

TEST(chargen_rotations, slerp_takes_the_shorter_arc_whatever_the_sign) {
  const dquat a = rot_y(deg(10)), b = rot_y(deg(70)), nb{-b.w, -b.x, -b.y, -b.z};
  for (const dquat& end : {b, nb})
    EXPECT_NEAR(length(rotate(slerp(a, end, 0.5), {1, 0, 0}) - rotate(rot_y(deg(40)), {1, 0, 0})), 0.0, tol_double);
}

}  // namespace
}  // namespace keln::chargen
