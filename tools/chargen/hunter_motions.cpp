#include "hunter_motions.h"

#include <cmath>

#include "gait.h"

namespace keln::chargen {

namespace {

struct stride_t {
  double duty, stride, lift;  // foot cycle (gait.h)
  double crouch, bob;         // pelvis lowered by crouch, bobbing by bob
  double lean;                // forward lean of the spine, radians
  double arm_swing, elbow;    // arm swing amplitude and elbow bend, radians
};

constexpr stride_t walking{0.62, 0.26, 0.045, 0.035, 0.011, deg(3), deg(22), deg(18)};
constexpr stride_t running{0.38, 0.36, 0.08, 0.09, 0.022, deg(12), deg(40), deg(85)};

class biped_t {
 public:
  explicit biped_t(const rig_t& rig) : rig_(rig) {}

  // Whole-body locomotion at phase p; the left foot lands at p = 0 and the
  // right foot at p = 0.5.
  void locomotion(const stride_t& s, double p, rig_pose_t& pose) const {
    // The pelvis is lowest when the body passes over a bent stance leg.
    double low = s.duty < 0.5 ? s.duty * 0.5 : 0.0;
    pose.shift[b("pelvis")] = {0, -s.crouch - s.bob * wave_c(2 * (p - low)), 0};
    pose.rotation[b("pelvis")] = rot_y(deg(6) * wave_c(p)) * rot_z(deg(2) * wave(p));
    pose.rotation[b("spine1")] = rot_x(s.lean * 0.5);
    pose.rotation[b("spine2")] = rot_y(-deg(5) * wave_c(p)) * rot_x(s.lean * 0.5);
    pose.rotation[b("chest")] = rot_y(-deg(4) * wave_c(p));
    pose.rotation[b("neck")] = rot_x(-s.lean * 0.5);
    pose.rotation[b("head")] = rot_x(-s.lean * 0.5) * rot_y(deg(3) * wave_c(p));
    for (int side : {-1, 1}) {
      // Each arm swings against the leg of its own side.
      double swing = s.arm_swing * wave_c(p + (side < 0 ? 0.5 : 0));
      pose.rotation[b(side_name("clavicle", side))] = rot_x(swing * 0.15);
      pose.rotation[b(side_name("upperarm", side))] = rot_x(swing) * rot_z(-side * deg(4));
      pose.rotation[b(side_name("forearm", side))] = rot_x(-s.elbow - s.elbow * 0.3 * (1 - wave_c(p)));
      pose.rotation[b(side_name("hand", side))] = rot_x(-deg(5));
    }
    for (int side : {-1, 1}) {
      foot_cycle_t cycle{side < 0 ? 0.5 : 0.0, s.duty, s.stride, s.lift};
      foot_state_t f = foot_at(cycle, p);
      // The heel rises as the foot pushes off, the toes lift before landing.
      double pitch = deg(45) * bump(f.swing) * (1 - 1.6 * f.swing);
      leg_t leg{
          b(side_name("thigh", side)), b(side_name("shin", side)), b(side_name("foot", side)), {0, 0, 1}};
      place_foot(rig_, pose, leg, f.offset, rot_x(pitch));
      pose.rotation[b(side_name("toe", side))] = rot_x(-pitch * 0.6);
    }
  }

 private:
  int b(const std::string& name) const { return rig_.bone(name); }

  const rig_t& rig_;
};

// The right arm raised above the shoulder, the forearm waving side to side
// twice a second.
void wave_arm(const rig_t& rig, double p, rig_pose_t& pose) {
  int upper = rig.bone("upperarm_R"), fore = rig.bone("forearm_R"), hand = rig.bone("hand_R");
  dvec3 rest_upper = rig.rest_offset(fore), rest_fore = rig.rest_offset(hand);
  dvec3 z{0, 0, 1};
  set_global_rotation(rig, pose, upper, frame_rotation(rest_upper, z, {-0.92, 0.3, 0.1}, z));
  double a = deg(28) * wave(2 * p);
  dvec3 fore_dir{-0.1 + std::sin(a), std::cos(a), 0.2};
  dquat g = frame_rotation(rest_fore, z, fore_dir, z);
  set_global_rotation(rig, pose, fore, g);
  set_global_rotation(rig, pose, hand, g * rot_z(deg(10) * wave(2 * p - 0.1)));
}

// Both hands bring the binoculars to the eyes, hold them while the head
// turns left and right, and lower them again.
void binoculars(const rig_t& rig, double p, rig_pose_t& pose) {
  double raise = ease(p / 0.15) * (1 - ease((p - 0.85) / 0.15));
  double scan = raise * deg(32) * wave(p < 0.15 ? 0 : (p - 0.15) / 0.7 * 1.5);
  int head = rig.bone("head");
  dquat head_rotation = rot_y(scan) * rot_x(-deg(6) * raise);
  set_global_rotation(rig, pose, head, head_rotation);
  dvec3 head_joint = rig.bones()[head].joint;
  // Where the binoculars sit in front of the eyes, turned with the head.
  dvec3 eyes = head_joint + rotate(head_rotation, dvec3{0.0, 0.052, 0.105});
  for (int side : {-1, 1}) {
    int upper = rig.bone(side_name("upperarm", side)), fore = rig.bone(side_name("forearm", side));
    int hand = rig.bone(side_name("hand", side));
    dvec3 wrist = rig.bones()[hand].joint;
    dvec3 rest_hand = rig.rest_offset(hand);
    // Hands point up with the palms around the barrels: the left hand
    // holds the binoculars from below, the right one steadies them.
    dquat up = head_rotation * frame_rotation(rest_hand, {0, 0, 1}, {side * 0.15, 1, 0.1}, {0, 0, 1});
    dvec3 grip = eyes - rotate(up, normalized(rest_hand) * 0.055) +
                 rotate(head_rotation, dvec3{side * 0.03, -0.015, -0.005});
    dvec3 target = lerp(wrist, grip, raise) + dvec3{0, 0, 0.12 * std::sin(pi * raise)};
    dvec3 rest_pole{0, 0, -1};
    dvec3 pole = lerp(rest_pole, {side * 0.45, -0.9, 0.05}, raise);
    solve_two_bone(rig, pose, upper, fore, hand, target, pole, rest_pole);
    set_global_rotation(rig, pose, hand, slerp(dquat{}, up, raise));
  }
}

}  // namespace

std::vector<clip_t> hunter_clips(const rig_t& rig) {
  auto run = [](const rig_t& r, double p, rig_pose_t& pose) { biped_t(r).locomotion(running, p, pose); };
  auto walk = [](const rig_t& r, double p, rig_pose_t& pose) { biped_t(r).locomotion(walking, p, pose); };
  auto back = [](const rig_t& r, double p, rig_pose_t& pose) { biped_t(r).locomotion(walking, 1 - p, pose); };
  return {
      {"run", 24, {}, run},
      {"walk", 33, {}, walk},
      {"backwalk", 36, {}, back},
      {"shake", 30, bones_with_prefix(rig, {"upperarm_R", "forearm_R", "hand_R"}), wave_arm},
      {"binoc_hld", 120, bones_with_prefix(rig, {"upperarm", "forearm", "hand", "head"}), binoculars},
  };
}

}  // namespace keln::chargen
