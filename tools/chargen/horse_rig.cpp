// HORSE: long neck with a mane, head with ears, four slender legs with
// hooves, a hanging tail. Designed about 1 unit long, facing +z.
#include "character.h"
#include "horse_motions.h"
#include "quadruped.h"

namespace keln::chargen {

namespace {

void add_leg(rig_t& rig, const char* parent, const std::string& name, dvec3 top, dvec3 knee, dvec3 fetlock,
             double thickness) {
  add_leg_bones(rig, parent, name, top, knee, fetlock);
  rig.capsule(name + "1", top + dvec3{0, 0.06, 0}, knee, thickness, 0.03);
  rig.limb(name + "2", name + "3", 0.024, 0.019);
  // Fetlock and hoof: the hoof's sole is on the ground.
  dvec3 hoof{fetlock.x, 0.03, fetlock.z + 0.012};
  rig.capsule(name + "3", fetlock, hoof, 0.022, 0.03);
}

// The mane: one upright crest along the top of each neck segment, its bone
// at the crest's base.
void add_mane(rig_t& rig) {
  const char* neck[4] = {"neck1", "neck2", "neck3", "head"};
  for (int k = 0; k < 3; ++k) {
    dvec3 a = rig.bones()[rig.bone(neck[k])].joint, b = rig.bones()[rig.bone(neck[k + 1])].joint;
    dvec3 along = normalized(b - a), up{0, along.z, -along.y};  // up and back, across the neck
    dvec3 base = lerp(a, b, 0.5) + up * (0.05 - 0.006 * k);
    std::string name = "mane" + std::to_string(k + 1);
    rig.add_bone(name, neck[k], base);
    rig.ellipsoid(name, base + up * 0.012, {0.012, 0.034 - 0.004 * k, 0.5 * length(b - a) + 0.01},
                  frame_rotation({0, 1, 0}, {0, 0, 1}, up, along));
  }
}

rig_t horse_rig() {
  rig_t rig;
  // The root sits at the pelvis and never moves; the pelvis carries the body.
  rig.add_bone("root", "", {0, 0.58, -0.20});
  rig.add_bone("pelvis", "root", {0, 0.58, -0.20});
  rig.add_bone("spine1", "pelvis", {0, 0.585, -0.08});
  rig.add_bone("spine2", "spine1", {0, 0.59, 0.04});
  rig.add_bone("chest", "spine2", {0, 0.60, 0.16});
  rig.add_bone("neck1", "chest", {0, 0.63, 0.22});
  rig.add_bone("neck2", "neck1", {0, 0.73, 0.29});
  rig.add_bone("neck3", "neck2", {0, 0.83, 0.345});
  rig.add_bone("head", "neck3", {0, 0.90, 0.38});
  for (int side : {-1, 1}) {
    rig.add_bone(side_name("ear1", side), "head", {side * 0.03, 0.93, 0.375});
    rig.add_bone(side_name("ear2", side), side_name("ear1", side), {side * 0.037, 0.97, 0.37});
  }
  add_mane(rig);
  rig.add_bone("tail1", "pelvis", {0, 0.60, -0.32});
  rig.add_bone("tail2", "tail1", {0, 0.55, -0.39});
  rig.add_bone("tail3", "tail2", {0, 0.45, -0.43});
  rig.add_bone("tail4", "tail3", {0, 0.34, -0.44});
  for (int side : {-1, 1}) {
    double x = side * 0.075;
    add_leg(rig, "chest", side < 0 ? "leg_FR" : "leg_FL", {x, 0.48, 0.17}, {x, 0.28, 0.175},
            {x, 0.075, 0.165}, 0.045);
    add_leg(rig, "pelvis", side < 0 ? "leg_HR" : "leg_HL", {x, 0.49, -0.21}, {x, 0.27, -0.265},
            {x, 0.075, -0.245}, 0.05);
  }

  // Barrel: rump, belly, ribs and withers, one smooth tube.
  rig.capsule("pelvis", {0, 0.575, -0.25}, {0, 0.56, -0.12}, 0.112, 0.125);
  rig.capsule("spine1", {0, 0.56, -0.12}, {0, 0.555, 0.0}, 0.125, 0.132);
  rig.capsule("spine2", {0, 0.555, 0.0}, {0, 0.565, 0.11}, 0.132, 0.127);
  rig.capsule("chest", {0, 0.565, 0.11}, {0, 0.585, 0.19}, 0.127, 0.105);
  // Neck, thick at the shoulders, and the crest of the mane on top.
  rig.limb("neck1", "neck2", 0.075, 0.058);
  rig.limb("neck2", "neck3", 0.058, 0.048);
  rig.limb("neck3", "head", 0.048, 0.045);
  // Head: skull, long face, muzzle.
  rig.ellipsoid("head", {0, 0.89, 0.40}, {0.045, 0.05, 0.06});
  rig.capsule("head", {0, 0.88, 0.41}, {0, 0.78, 0.555}, 0.042, 0.034);
  rig.ellipsoid("head", {0, 0.775, 0.56}, {0.036, 0.035, 0.04});
  for (int side : {-1, 1}) {
    rig.limb(side_name("ear1", side), side_name("ear2", side), 0.017, 0.013);
    rig.capsule(side_name("ear2", side), {side * 0.037, 0.97, 0.37}, {side * 0.04, 1.005, 0.365}, 0.013,
                0.006);
  }
  // Tail hair: thick near the root, thinning to the end.
  rig.limb("tail1", "tail2", 0.026, 0.03);
  rig.limb("tail2", "tail3", 0.03, 0.033);
  rig.limb("tail3", "tail4", 0.033, 0.028);
  rig.capsule("tail4", {0, 0.34, -0.44}, {0, 0.23, -0.435}, 0.028, 0.014);
  return rig;
}

}  // namespace

character_design_t horse_design() {
  return {"horse", "vehicle", horse_rig(), 0.0085, 0.009, 0.035, 8, 10000, horse_clips};
}

}  // namespace keln::chargen
