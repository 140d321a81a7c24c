#include "elephant_motions.h"

#include <cmath>

#include "quadruped.h"

namespace keln::chargen {

namespace {

std::vector<int> trunk(const rig_t& rig) { return bones_with_prefix(rig, {"trunk"}); }

// Ears swing out from the head (positive) and back against it.
void ears(const rig_t& rig, rig_pose_t& pose, double out, double tip) {
  for (int side : {-1, 1}) {
    pose.rotation[rig.bone(side_name("ear1", side))] = rot_y(-side * out);
    pose.rotation[rig.bone(side_name("ear2", side))] = rot_y(-side * tip);
  }
}

// Whole-body locomotion; the feet land in the order left hind, left fore,
// right hind, right fore. With a duty of at least one half there are always
// two feet on the ground.
void locomotion(const rig_t& rig, double p, rig_pose_t& pose, const quadruped_gait_t& gait, double drop,
                double bob, double trunk_swing, double trunk_curl) {
  int pelvis = rig.bone("pelvis");
  pose.shift[pelvis] = {0.006 * wave(p), -drop - bob * wave_c(2 * p), 0};
  pose.rotation[pelvis] = rot_z(deg(1.5) * wave(p)) * rot_x(deg(1) * wave(2 * p));
  pose.rotation[rig.bone("spine2")] = rot_y(deg(1.5) * wave(p));
  pose.rotation[rig.bone("head")] = rot_x(deg(3) * wave(2 * p + 0.2)) * rot_y(deg(3) * wave(p));
  ripple(pose, trunk(rig), 0.06, [&](double lag) {
    // The trunk curls forward a little, so its tip clears the ground while
    // the body is lowered.
    return rot_z(trunk_swing * wave(p - lag)) * rot_x(trunk_swing * 0.5 * wave(2 * p - lag) - trunk_curl);
  });
  ears(rig, pose, deg(10) + deg(8) * wave(2 * p), deg(6) * wave(2 * p - 0.1));
  ripple(pose, bones_with_prefix(rig, {"tail"}), 0.08,
         [&](double lag) { return rot_z(deg(12) * wave(p - lag)); });
  step_legs(rig, pose, gait, p);
}

void walk(const rig_t& rig, double p, rig_pose_t& pose) {
  const quadruped_gait_t gait{{0.25, 0.75, 0.0, 0.5}, 0.75, 0.2, 0.05, deg(25)};
  locomotion(rig, p, pose, gait, 0.032, 0.005, deg(7), deg(5));
}

void gallop(const rig_t& rig, double p, rig_pose_t& pose) {
  const quadruped_gait_t gait{{0.25, 0.75, 0.0, 0.5}, 0.52, 0.3, 0.08, deg(35)};
  locomotion(rig, p, pose, gait, 0.058, 0.012, deg(12), deg(9));
}

// Reaches the trunk to the ground, curls its tip round a tuft, lifts it to
// the mouth and lets it fall back.
void grazing(const rig_t& rig, double p, rig_pose_t& pose) {
  double reach = ease(p / 0.25) * (1 - ease((p - 0.35) / 0.15));
  double curl = ease((p - 0.3) / 0.1) * (1 - ease((p - 0.8) / 0.2));
  double lift = ease((p - 0.4) / 0.2) * (1 - ease((p - 0.8) / 0.2));
  pose.rotation[rig.bone("head")] = rot_x(deg(14) * reach - deg(12) * lift);
  std::vector<int> t = trunk(rig);
  for (size_t k = 0; k < t.size(); ++k) {
    double along = double(k) / (t.size() - 1);
    double angle = -deg(6) * (1 - reach)                 // carried clear of the ground
                   - deg(24) * reach * (k == 0 ? 1 : 0)  // swing forward from the root
                   + deg(9) * reach * (k >= 3 ? 1 : 0)   // the end lies down on the ground
                   - curl * deg(12) * along              // tip curls round the tuft
                   - lift * deg(38) * (0.4 + along);     // the whole trunk rolls up
    pose.rotation[t[k]] = rot_x(angle);
  }
  ears(rig, pose, deg(12) + deg(10) * wave(3 * p), deg(6) * wave(3 * p - 0.1));
}

void shake(const rig_t& rig, double p, rig_pose_t& pose) {
  double envelope = std::sin(pi * p);
  pose.rotation[rig.bone("head")] =
      rot_y(deg(22) * envelope * wave(3 * p)) * rot_z(deg(6) * envelope * wave(3 * p - 0.05));
  ears(rig, pose, deg(15) + deg(45) * envelope * (0.5 + 0.5 * wave(6 * p)),
       deg(25) * envelope * wave(6 * p - 0.15));
  ripple(pose, trunk(rig), 0.05,
         [&](double lag) { return rot_z(-deg(14) * envelope * wave(3 * p - 0.1 - lag)) * rot_x(-deg(6)); });
}

}  // namespace

std::vector<clip_t> elephant_clips(const rig_t& rig) {
  return {
      {"walk", 48, {}, walk},
      {"gallop", 24, {}, gallop},
      {"grazing", 90, bones_with_prefix(rig, {"trunk", "head", "ear"}), grazing},
      {"shake", 48, bones_with_prefix(rig, {"head", "ear", "trunk"}), shake},
  };
}

}  // namespace keln::chargen
