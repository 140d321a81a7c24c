// HUNTER: a walking man in a wide-brimmed hat, a rifle slung across his
// back and binoculars in his left hand. Designed about 1 unit tall.
#include <cmath>

#include "character.h"
#include "hunter_motions.h"

namespace keln::chargen {

namespace {

// Arms hang 20 degrees out from the body.
dvec3 arm_direction(int side) { return normalized({side * std::sin(deg(20)), -std::cos(deg(20)), 0}); }

void add_arm(rig_t& rig, int side) {
  dvec3 dir = arm_direction(side);
  dvec3 shoulder{side * 0.10, 0.815, 0};
  dvec3 elbow = shoulder + dir * 0.17, wrist = elbow + dir * 0.15;
  rig.add_bone(side_name("clavicle", side), "chest", {side * 0.025, 0.815, 0});
  rig.add_bone(side_name("upperarm", side), side_name("clavicle", side), shoulder);
  rig.add_bone(side_name("forearm", side), side_name("upperarm", side), elbow);
  rig.add_bone(side_name("hand", side), side_name("forearm", side), wrist);
  rig.capsule(side_name("clavicle", side), {side * 0.03, 0.80, 0}, shoulder, 0.045, 0.042);
  rig.limb(side_name("upperarm", side), side_name("forearm", side), 0.037, 0.029);
  rig.limb(side_name("forearm", side), side_name("hand", side), 0.028, 0.021);
  rig.capsule(side_name("hand", side), wrist + dir * 0.012, wrist + dir * 0.055, 0.022, 0.019);
}

void add_leg(rig_t& rig, int side) {
  double x = side * 0.055;
  rig.add_bone(side_name("thigh", side), "pelvis", {x, 0.50, 0});
  rig.add_bone(side_name("shin", side), side_name("thigh", side), {x, 0.27, 0.005});
  rig.add_bone(side_name("foot", side), side_name("shin", side), {x, 0.05, 0});
  rig.add_bone(side_name("toe", side), side_name("foot", side), {x, 0.024, 0.065});
  rig.limb(side_name("thigh", side), side_name("shin", side), 0.058, 0.04);
  rig.limb(side_name("shin", side), side_name("foot", side), 0.039, 0.026);
  rig.capsule(side_name("foot", side), {x, 0.03, -0.02}, {x, 0.026, 0.065}, 0.03, 0.026);
  rig.capsule(side_name("toe", side), {x, 0.024, 0.065}, {x, 0.021, 0.095}, 0.024, 0.021);
}

rig_t hunter_rig() {
  rig_t rig;
  // The root sits at the pelvis and never moves; the pelvis carries the body.
  rig.add_bone("root", "", {0, 0.53, 0});
  rig.add_bone("pelvis", "root", {0, 0.53, 0});
  rig.add_bone("spine1", "pelvis", {0, 0.60, 0});
  rig.add_bone("spine2", "spine1", {0, 0.68, 0});
  rig.add_bone("chest", "spine2", {0, 0.76, 0});
  rig.add_bone("neck", "chest", {0, 0.85, 0});
  rig.add_bone("head", "neck", {0, 0.895, 0.005});
  for (int side : {-1, 1}) add_arm(rig, side);
  for (int side : {-1, 1}) add_leg(rig, side);

  // Trunk: hips, belly, rib cage.
  rig.ellipsoid("pelvis", {0, 0.53, -0.005}, {0.095, 0.07, 0.062});
  rig.capsule("spine1", {0, 0.59, 0}, {0, 0.66, 0}, 0.075, 0.075);
  rig.ellipsoid("spine2", {0, 0.69, 0.005}, {0.09, 0.06, 0.062});
  rig.ellipsoid("chest", {0, 0.755, 0}, {0.105, 0.08, 0.066});
  rig.capsule("neck", {0, 0.82, 0}, {0, 0.90, 0.005}, 0.031, 0.03);
  // Head, nose, and the hat: crown and brim.
  rig.ellipsoid("head", {0, 0.94, 0.008}, {0.049, 0.06, 0.056});
  rig.ellipsoid("head", {0, 0.933, 0.061}, {0.011, 0.017, 0.013});
  rig.ellipsoid("head", {0, 0.994, 0.0}, {0.053, 0.036, 0.058});
  rig.ellipsoid("head", {0, 0.975, 0.0}, {0.105, 0.012, 0.11});
  // Rifle across the back: stock at the right hip, muzzle over the left
  // shoulder; it touches the back, so the skin joins it.
  dvec3 stock{-0.075, 0.58, -0.078}, grip{-0.02, 0.68, -0.078}, muzzle{0.115, 0.99, -0.082};
  rig.capsule("chest", stock, grip, 0.027, 0.02);
  rig.capsule("chest", grip, muzzle, 0.015, 0.012);
  // Binoculars in the left hand: two barrels pointing forward.
  dvec3 hold = rig.bones()[rig.bone("hand_L")].joint + arm_direction(1) * 0.055;
  for (double dx : {-0.018, 0.018})
    rig.capsule("hand_L", hold + dvec3{dx, 0, -0.02}, hold + dvec3{dx, 0, 0.04}, 0.017, 0.018);
  return rig;
}

}  // namespace

character_design_t hunter_design() {
  return {"hunter", "hunter", hunter_rig(), 0.0085, 0.008, 0.03, 8, 9000, hunter_clips};
}

}  // namespace keln::chargen
