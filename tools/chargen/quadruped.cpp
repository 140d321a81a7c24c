#include "quadruped.h"

namespace keln::chargen {

void add_leg_bones(rig_t& rig, const char* parent, const std::string& name, dvec3 top, dvec3 knee,
                   dvec3 foot) {
  rig.add_bone(name + "1", parent, top);
  rig.add_bone(name + "2", name + "1", knee);
  rig.add_bone(name + "3", name + "2", foot);
}

std::array<leg_t, 4> quadruped_legs(const rig_t& rig) {
  std::array<leg_t, 4> legs;
  const char* names[4] = {"leg_FL", "leg_FR", "leg_HL", "leg_HR"};
  for (int i = 0; i < 4; ++i) {
    std::string n = names[i];
    legs[i] = {rig.bone(n + "1"), rig.bone(n + "2"), rig.bone(n + "3"), {0, 0, i < 2 ? 1.0 : -1.0}};
  }
  return legs;
}

void step_legs(const rig_t& rig, rig_pose_t& pose, const quadruped_gait_t& gait, double p) {
  std::array<leg_t, 4> legs = quadruped_legs(rig);
  for (int i = 0; i < 4; ++i) {
    foot_cycle_t cycle{gait.touchdown[i], gait.duty, gait.stride, gait.lift};
    foot_state_t f = foot_at(cycle, p);
    double curl = gait.flex * bump(f.swing);
    place_foot(rig, pose, legs[i], f.offset, rot_x(curl));
  }
}

}  // namespace keln::chargen
