#include "horse_motions.h"

#include <cmath>

#include "quadruped.h"

namespace keln::chargen {

namespace {

std::vector<int> chain(const rig_t& rig, std::initializer_list<const char*> names) {
  std::vector<int> out;
  for (const char* n : names) out.push_back(rig.bone(n));
  return out;
}

std::vector<int> tail(const rig_t& rig) { return chain(rig, {"tail1", "tail2", "tail3", "tail4"}); }
std::vector<int> neck(const rig_t& rig) { return chain(rig, {"neck1", "neck2", "neck3", "head"}); }

// Sets the pelvis height and pitch; the rest of the body hangs from it.
void body(const rig_t& rig, rig_pose_t& pose, double drop, double pitch, double sway) {
  int pelvis = rig.bone("pelvis");
  pose.shift[pelvis] = {sway, -drop, 0};
  pose.rotation[pelvis] = rot_x(pitch);
}

void walk(const rig_t& rig, double p, rig_pose_t& pose) {
  // Left hind, left fore, right hind, right fore, a quarter cycle apart.
  const quadruped_gait_t gait{{0.25, 0.75, 0.0, 0.5}, 0.62, 0.2, 0.05, deg(55)};
  body(rig, pose, 0.03 + 0.004 * wave_c(2 * p), deg(1) * wave(2 * p), 0.004 * wave(p));
  pose.rotation[rig.bone("spine2")] = rot_y(deg(2) * wave(p));
  ripple(pose, neck(rig), 0.05, [&](double lag) { return rot_x(deg(3) * wave(2 * (p - lag))); });
  ripple(pose, tail(rig), 0.07, [&](double lag) { return rot_z(deg(7) * wave(p - lag)); });
  for (int side : {-1, 1}) pose.rotation[rig.bone(side_name("ear1", side))] = rot_x(deg(-8));
  step_legs(rig, pose, gait, p);
}

void gallop(const rig_t& rig, double p, rig_pose_t& pose) {
  // Hind left, hind right, fore left, fore right, then all four in the air
  // from 0.77 to 1.
  const quadruped_gait_t gait{{0.35, 0.47, 0.0, 0.12}, 0.3, 0.28, 0.1, deg(70)};
  double flight = 0.5 + 0.5 * wave_c(p - 0.88);
  body(rig, pose, 0.08 - 0.02 * flight * flight, deg(2.5) * wave(p - 0.15), 0);
  pose.rotation[rig.bone("spine1")] = rot_x(deg(-2) * wave(p - 0.15));
  ripple(pose, neck(rig), 0.06, [&](double lag) { return rot_x(deg(8) * wave(p + 0.1 - lag)); });
  ripple(pose, tail(rig), 0.06, [&](double lag) { return rot_x(deg(-10) + deg(6) * wave(p - lag)); });
  pose.rotation[rig.bone("tail1")] = rot_x(deg(-25)) * pose.rotation[rig.bone("tail1")];
  for (int side : {-1, 1}) pose.rotation[rig.bone(side_name("ear1", side))] = rot_x(deg(-25));
  step_legs(rig, pose, gait, p);
}

void stand_idle(const rig_t& rig, double p, rig_pose_t& pose) {
  const quadruped_gait_t planted{{0, 0, 0, 0}, 1.0, 0, 0, 0};
  double breath = wave(3 * p);
  body(rig, pose, 0.012 + 0.002 * breath, deg(0.5) * breath, 0.012 * wave(p));
  pose.rotation[rig.bone("spine2")] = rot_x(deg(-0.8) * breath) * rot_z(deg(1.5) * wave(p));
  pose.rotation[rig.bone("chest")] = rot_x(deg(0.6) * breath);
  ripple(pose, neck(rig), 0.04,
         [&](double lag) { return rot_y(deg(6) * wave(p - 0.1 - lag)) * rot_x(deg(4) * wave(2 * p - lag)); });
  ripple(pose, tail(rig), 0.05, [&](double lag) {
    return rot_z(deg(25) * bump((p - (0.55 + lag * 0.3)) / 0.2) - deg(4) * wave(p));
  });
  pose.rotation[rig.bone("ear1_L")] = rot_y(deg(40) * bump((p - 0.2) / 0.12)) * rot_x(deg(-10));
  pose.rotation[rig.bone("ear1_R")] = rot_y(deg(-40) * bump((p - 0.7) / 0.12)) * rot_x(deg(-10));
  pose.rotation[rig.bone("ear2_L")] = rot_x(deg(-15) * bump((p - 0.22) / 0.1));
  pose.rotation[rig.bone("ear2_R")] = rot_x(deg(-15) * bump((p - 0.72) / 0.1));
  step_legs(rig, pose, planted, p);
}

void grazing(const rig_t& rig, double p, rig_pose_t& pose) {
  double down = ease(p / 0.2) * (1 - ease((p - 0.8) / 0.2));
  // Down, each segment of neck and head points along a fixed direction in
  // the body's upright plane (degrees below the horizon), reached by
  // turning smoothly from its rest direction.
  const double below[4] = {62, 68, 76, 88};
  const dvec3 across{1, 0, 0};
  std::vector<int> n = neck(rig);
  for (size_t k = 0; k < n.size(); ++k) {
    // The head's own direction runs from its joint to the muzzle.
    dvec3 rest = k + 1 < n.size() ? rig.rest_offset(n[k + 1]) : dvec3{0, -0.1, 0.145};
    dvec3 target{0, -std::sin(deg(below[k])), std::cos(deg(below[k]))};
    set_global_rotation(rig, pose, n[k], slerp(dquat{}, frame_rotation(rest, across, target, across), down));
  }
  double chew = down * deg(4) * wave(p * 12);
  pose.rotation[rig.bone("head")] = pose.rotation[rig.bone("head")] * rot_x(chew);
  for (int side : {-1, 1}) {
    pose.rotation[rig.bone(side_name("ear1", side))] = rot_z(side * deg(20) * down) * rot_x(deg(10) * down);
    pose.rotation[rig.bone(side_name("ear2", side))] = rot_x(deg(3) * wave(p * 6));
  }
}

void shake(const rig_t& rig, double p, rig_pose_t& pose) {
  double envelope = std::sin(pi * p);
  auto swing = [&](double amplitude, double lag) { return amplitude * envelope * wave(3 * p - lag); };
  ripple(pose, neck(rig), 0.06, [&](double lag) {
    return rot_z(swing(deg(9) + deg(4) * lag * 10, lag)) * rot_x(deg(8) * envelope);
  });
  std::vector<int> mane = chain(rig, {"mane1", "mane2", "mane3"});
  ripple(pose, mane, 0.05, [&](double lag) { return rot_z(swing(deg(-18), lag + 0.12)); });
  for (int side : {-1, 1}) {
    pose.rotation[rig.bone(side_name("ear1", side))] =
        rot_z(swing(deg(-25), 0.15)) * rot_x(deg(-15) * envelope);
    pose.rotation[rig.bone(side_name("ear2", side))] = rot_z(swing(deg(-20), 0.25));
  }
}

}  // namespace

std::vector<clip_t> horse_clips(const rig_t& rig) {
  return {
      {"walk", 36, {}, walk},
      {"gallop", 21, {}, gallop},
      {"stand_idle", 90, {}, stand_idle},
      {"grazing", 120, bones_with_prefix(rig, {"neck", "head", "ear"}), grazing},
      {"shake", 36, bones_with_prefix(rig, {"neck", "head", "ear", "mane"}), shake},
  };
}

}  // namespace keln::chargen
