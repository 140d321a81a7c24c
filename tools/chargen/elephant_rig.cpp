// ELEPHANT: massive body on four column legs, a big head with wide ears,
// a long trunk and two tusks, a short tail. Designed about 1 unit long,
// facing +z.
#include "character.h"
#include "elephant_motions.h"
#include "quadruped.h"

namespace keln::chargen {

namespace {

void add_leg(rig_t& rig, const char* parent, const std::string& name, dvec3 top, dvec3 knee, dvec3 ankle) {
  add_leg_bones(rig, parent, name, top, knee, ankle);
  rig.capsule(name + "1", top + dvec3{0, 0.08, 0}, knee, 0.085, 0.07);
  rig.limb(name + "2", name + "3", 0.068, 0.064);
  // The broad round foot, its sole on the ground.
  rig.ellipsoid(name + "3", {ankle.x, 0.045, ankle.z + 0.008}, {0.074, 0.046, 0.078});
}

rig_t elephant_rig() {
  rig_t rig;
  // The root sits at the pelvis and never moves; the pelvis carries the body.
  rig.add_bone("root", "", {0, 0.60, -0.22});
  rig.add_bone("pelvis", "root", {0, 0.60, -0.22});
  rig.add_bone("spine1", "pelvis", {0, 0.62, -0.09});
  rig.add_bone("spine2", "spine1", {0, 0.64, 0.04});
  rig.add_bone("chest", "spine2", {0, 0.65, 0.16});
  rig.add_bone("neck", "chest", {0, 0.66, 0.26});
  rig.add_bone("head", "neck", {0, 0.67, 0.33});
  const dvec3 trunk[7] = {{0, 0.57, 0.46},  {0, 0.47, 0.50},  {0, 0.38, 0.52}, {0, 0.29, 0.53},
                          {0, 0.21, 0.535}, {0, 0.135, 0.54}, {0, 0.07, 0.545}};
  const double trunk_radius[7] = {0.062, 0.05, 0.042, 0.036, 0.031, 0.027, 0.024};
  for (int k = 0; k < 6; ++k) {
    std::string name = "trunk" + std::to_string(k + 1);
    rig.add_bone(name, k == 0 ? "head" : "trunk" + std::to_string(k), trunk[k]);
    rig.capsule(name, trunk[k], trunk[k + 1], trunk_radius[k], trunk_radius[k + 1]);
  }
  for (int side : {-1, 1}) {
    rig.add_bone(side_name("ear1", side), "head", {side * 0.12, 0.72, 0.33});
    rig.add_bone(side_name("ear2", side), side_name("ear1", side), {side * 0.22, 0.66, 0.29});
  }
  rig.add_bone("tail1", "pelvis", {0, 0.62, -0.36});
  rig.add_bone("tail2", "tail1", {0, 0.54, -0.40});
  rig.add_bone("tail3", "tail2", {0, 0.45, -0.415});
  for (int side : {-1, 1}) {
    double x = side * 0.135;
    add_leg(rig, "chest", side < 0 ? "leg_FR" : "leg_FL", {x, 0.47, 0.16}, {x, 0.265, 0.17},
            {x, 0.085, 0.165});
    add_leg(rig, "pelvis", side < 0 ? "leg_HR" : "leg_HL", {x, 0.47, -0.23}, {x, 0.265, -0.24},
            {x, 0.085, -0.225});
  }

  // Body: rump, belly, ribs, shoulders, one smooth mass.
  rig.capsule("pelvis", {0, 0.585, -0.25}, {0, 0.565, -0.12}, 0.19, 0.215);
  rig.capsule("spine1", {0, 0.565, -0.12}, {0, 0.56, 0.0}, 0.215, 0.225);
  rig.capsule("spine2", {0, 0.56, 0.0}, {0, 0.575, 0.1}, 0.225, 0.215);
  rig.capsule("chest", {0, 0.575, 0.1}, {0, 0.6, 0.19}, 0.215, 0.18);
  rig.limb("neck", "head", 0.14, 0.13);
  // Head: domed skull and the base of the trunk.
  rig.ellipsoid("head", {0, 0.69, 0.38}, {0.125, 0.14, 0.12});
  rig.ellipsoid("head", {0, 0.61, 0.44}, {0.085, 0.1, 0.075});
  // Tusks curve forward and up from under the cheeks.
  for (int side : {-1, 1}) {
    dvec3 root{side * 0.065, 0.55, 0.45}, bend{side * 0.085, 0.47, 0.56}, tip{side * 0.075, 0.49, 0.64};
    rig.capsule("head", root, bend, 0.023, 0.017);
    rig.capsule("head", bend, tip, 0.017, 0.008);
  }
  // Ears: wide flat flaps swept back against the side of the head.
  for (int side : {-1, 1}) {
    dquat flap = rot_y(side * deg(28));
    rig.ellipsoid(side_name("ear1", side), {side * 0.16, 0.67, 0.32}, {0.075, 0.14, 0.018}, flap);
    rig.ellipsoid(side_name("ear2", side), {side * 0.245, 0.63, 0.275}, {0.075, 0.125, 0.016}, flap);
  }
  rig.limb("tail1", "tail2", 0.022, 0.016);
  rig.limb("tail2", "tail3", 0.016, 0.012);
  rig.capsule("tail3", {0, 0.45, -0.415}, {0, 0.37, -0.42}, 0.016, 0.02);
  return rig;
}

}  // namespace

character_design_t elephant_design() {
  return {"elephant", "animal", elephant_rig(), 0.009, 0.01, 0.04, 8, 10000, elephant_clips};
}

}  // namespace keln::chargen
